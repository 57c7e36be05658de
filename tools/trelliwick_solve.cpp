// trelliwick-solve WORDLIST E O M [E O M ...]
//
// A developer tool for checking the solving core without a window. It performs
// one solve run per triple of essential letters, other letters and minimum length,
// all against one letter table and one set of lists and labels carried from run
// to run, and prints one JSON array with one object per run, each as soon as its
// run is over.

#include "letter_table.h"
#include "recording_window.h"
#include "solve_run.h"
#include "tool_main.h"

#include <cstdio>
#include <iostream>
#include <locale>
#include <string_view>
#include <vector>

namespace {

// Writes `text` (UTF-8) as a JSON string, byte by byte, allocating nothing.
void writeString(std::ostream& out, std::string_view text) {
    constexpr std::string_view kHex = "0123456789abcdef";
    out << '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (byte < 0x20) {
            out << "\\u00" << kHex[byte >> 4] << kHex[byte & 0xF];
        } else {
            out << c;
        }
    }
    out << '"';
}

void writeList(std::ostream& out, const std::vector<std::string>& words) {
    out << '[';
    for (std::size_t i = 0; i < words.size(); ++i) {
        out << (i == 0 ? "" : ",");
        writeString(out, words[i]);
    }
    out << ']';
}

// One run's object: its lists, its count captions and the message shown, if any.
void writeRun(std::ostream& out, const RecordingWindow& window) {
    out << "{\"label2\":";
    writeString(out, window.label2);
    out << ",\"label3\":";
    writeString(out, window.label3);
    out << ",\"list2\":";
    writeList(out, window.list2);
    out << ",\"list3\":";
    writeList(out, window.list3);
    out << ",\"message\":";
    if (window.message) {
        out << "{\"cause\":";
        writeString(out, window.message->cause);
        out << ",\"text\":";
        writeString(out, window.message->text);
        out << ",\"title\":";
        writeString(out, window.message->title);
        out << '}';
    } else {
        out << "null";
    }
    out << '}';
}

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

    std::cout << '[';
    for (int i = 2; i + 2 < argc; i += 3) {
        window.type(argv[i], argv[i + 1], argv[i + 2]);
        solve(window, table, wordList);
        std::cout << (i == 2 ? "" : ",");
        writeRun(std::cout, window);
    }
    std::cout << "]\n" << std::flush;  // so that a failed write shows in good()
    return std::cout.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // The runs themselves let nothing out; building their output may still fail.
    return runTool("trelliwick-solve", run, argc, argv);
}
