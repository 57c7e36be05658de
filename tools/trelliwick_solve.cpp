// trelliwick-solve WORDLIST E O M [E O M ...]
//
// A developer tool for checking the solving core without a window. It performs
// one solve run per triple of essential letters, other letters and minimum length,
// all against one letter table and one set of lists and labels carried from run
// to run, and prints one JSON array with one object per run.

#include "letter_table.h"
#include "recording_window.h"
#include "solve_run.h"
#include "tool_main.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <locale>

namespace {

char32_t userDecimalSeparator() {
    try {
        return static_cast<unsigned char>(
            std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point());
    } catch (const std::runtime_error&) {
        return U'.';  // the environment names a locale that is not installed
    }
}

int run(int argc, char** argv) {
    if (argc < 2 || (argc - 2) % 3 != 0) {
        std::cerr << "usage: trelliwick-solve WORDLIST E O M [E O M ...]\n";
        return 2;
    }
    const std::filesystem::path wordList =
        std::filesystem::path(reinterpret_cast<const char8_t*>(argv[1]));
    RecordingWindow window;
    window.separator = userDecimalSeparator();
    LetterTable table;

    nlohmann::json runs = nlohmann::json::array();
    for (int i = 2; i + 2 < argc; i += 3) {
        window.type(argv[i], argv[i + 1], argv[i + 2]);
        solve(window, table, wordList);
        nlohmann::json message = nullptr;
        if (window.message) {
            message = {{"title", window.message->title}, {"text", window.message->text}};
        }
        runs.push_back({{"list2", window.list2},
                        {"list3", window.list3},
                        {"label2", window.label2},
                        {"label3", window.label3},
                        {"message", message}});
    }
    std::cout << runs.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n'
              << std::flush;  // so that a failed write shows in good()
    return std::cout.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // The runs themselves let nothing out; building their output may still fail.
    return runTool("trelliwick-solve", run, argc, argv);
}
