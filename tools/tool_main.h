#pragma once

#include <exception>
#include <iostream>

#ifdef _WIN32
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

/// Runs a developer tool's `run(argc, argv)` and returns its exit code; anything
/// it throws is told on stderr, after the tool's `name`, and the exit code is 1.
/// The arguments reach `run` in UTF-8, and what it writes on stdout goes out byte
/// for byte, on every system.
template <typename Run>
int runTool(const char* name, Run run, int argc, char** argv) noexcept {
    try {
#ifdef _WIN32
        // Windows hands `main` its arguments in the system's code page, which may lack
        // some of their characters; the wide command line has them all. And its
        // stdout would write each line feed as CR LF.
        static_cast<void>(argc);
        static_cast<void>(argv);
        int count = 0;
        const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> wide(
            ::CommandLineToArgvW(::GetCommandLineW(), &count), &::LocalFree);
        if (!wide) {
            throw std::runtime_error("the command line cannot be read");
        }
        std::vector<std::string> arguments;
        std::vector<char*> pointers;
        for (int i = 0; i < count; ++i) {
            const int size =
                ::WideCharToMultiByte(CP_UTF8, 0, wide.get()[i], -1, nullptr, 0, nullptr, nullptr);
            std::string& argument = arguments.emplace_back(static_cast<std::size_t>(size), '\0');
            ::WideCharToMultiByte(CP_UTF8, 0, wide.get()[i], -1, argument.data(), size, nullptr,
                                  nullptr);
            argument.pop_back();  // the terminator that the size counts
        }
        for (std::string& argument : arguments) {
            pointers.push_back(argument.data());
        }
        pointers.push_back(nullptr);
        ::_setmode(::_fileno(stdout), _O_BINARY);
        return run(count, pointers.data());
#else
        return run(argc, argv);
#endif
    } catch (const std::exception& error) {
        std::cerr << name << ": " << error.what() << '\n';
    } catch (...) {
        std::cerr << name << ": failed\n";
    }
    return 1;
}
