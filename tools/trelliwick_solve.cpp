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

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <locale>
#include <string_view>
#include <vector>

namespace {

// Output gathered in a buffer of its own and written to `out` a block at a time:
// through the stream's own inserters, 62,000 words took 90 million instructions,
// and 11 million so (callgrind, trelliwick-solve big.txt q uizaeon 4).
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : m_out(out) {}
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;
    ~JsonWriter() { flush(); }

    void raw(std::string_view text) {
        if (text.size() > kSize - m_used) {
            flush();
            if (text.size() > kSize) {
                m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
                return;
            }
        }
        std::memcpy(m_buffer + m_used, text.data(), text.size());
        m_used += text.size();
    }

    // `text` (UTF-8) as a JSON string: only a quote, a backslash and the bytes below
    // 0x20 are escaped. A string that fits, escaped or not, is written straight into
    // the buffer in one pass.
    void string(std::string_view text) {
        if (kEscapedMost * text.size() + 2 > kSize - m_used) {
            flush();
            if (kEscapedMost * text.size() + 2 > kSize) {
                for (std::size_t from = 0; from < text.size(); from += kSize / kEscapedMost) {
                    stringPart(text.substr(from, kSize / kEscapedMost), from == 0, false);
                }
                raw("\"");
                return;
            }
        }
        stringPart(text, true, true);
    }

    void flush() {
        m_out.write(m_buffer, static_cast<std::streamsize>(m_used));
        m_used = 0;
    }

private:
    static constexpr std::size_t kSize = std::size_t{64} * 1024;
    static constexpr std::size_t kEscapedMost = 6;  // the bytes one byte may take: \u001f

    // `part` escaped, with the opening and closing quotes asked for; the buffer must
    // have room for it.
    void stringPart(std::string_view part, bool opening, bool closing) {
        constexpr std::string_view kHex = "0123456789abcdef";
        if (kEscapedMost * part.size() + 2 > kSize - m_used) {
            flush();
        }
        char* out = m_buffer + m_used;
        if (opening) {
            *out++ = '"';
        }
        for (const char c : part) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte != '"' && byte != '\\') {
                *out++ = c;
            } else if (byte >= 0x20) {
                *out++ = '\\';
                *out++ = c;
            } else {
                const char escaped[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xF]};
                out = std::copy(std::begin(escaped), std::end(escaped), out);
            }
        }
        if (closing) {
            *out++ = '"';
        }
        m_used = static_cast<std::size_t>(out - m_buffer);
    }

    std::ostream& m_out;
    char m_buffer[kSize];
    std::size_t m_used = 0;
};

void writeList(JsonWriter& out, const std::vector<std::string>& words) {
    out.raw("[");
    for (std::size_t i = 0; i < words.size(); ++i) {
        out.raw(i == 0 ? "" : ",");
        out.string(words[i]);
    }
    out.raw("]");
}

// One run's object: its lists, its count captions and the message shown, if any.
void writeRun(JsonWriter& out, const RecordingWindow& window) {
    out.raw("{\"label2\":");
    out.string(window.label2);
    out.raw(",\"label3\":");
    out.string(window.label3);
    out.raw(",\"list2\":");
    writeList(out, window.list2);
    out.raw(",\"list3\":");
    writeList(out, window.list3);
    out.raw(",\"message\":");
    if (window.message) {
        out.raw("{\"cause\":");
        out.string(window.message->cause);
        out.raw(",\"text\":");
        out.string(window.message->text);
        out.raw(",\"title\":");
        out.string(window.message->title);
        out.raw("}");
    } else {
        out.raw("null");
    }
    out.raw("}");
    out.flush();  // each run's object as soon as the run is over
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

    JsonWriter out(std::cout);
    out.raw("[");
    for (int i = 2; i + 2 < argc; i += 3) {
        window.type(argv[i], argv[i + 1], argv[i + 2]);
        solve(window, table, wordList);
        out.raw(i == 2 ? "" : ",");
        writeRun(out, window);
    }
    out.raw("]\n");
    out.flush();
    std::cout << std::flush;  // so that a failed write shows in good()
    return std::cout.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // The runs themselves let nothing out; building their output may still fail.
    return runTool("trelliwick-solve", run, argc, argv);
}
