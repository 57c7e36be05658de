#pragma once

#include <exception>
#include <iostream>

/// Runs a developer tool's `run(argc, argv)` and returns its exit code; anything
/// it throws is told on stderr, after the tool's `name`, and the exit code is 1.
template <typename Run>
int runTool(const char* name, Run run, int argc, char** argv) noexcept {
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << name << ": " << error.what() << '\n';
    } catch (...) {
        std::cerr << name << ": failed\n";
    }
    return 1;
}
