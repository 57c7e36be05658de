// trelliwick-solve WORDLIST E O M [E O M ...]
//
// A developer tool for checking the solving core without a window. It performs
// one solve run per triple of essential letters, other letters and minimum length,
// all against one letter table and one set of lists and labels carried from run
// to run, and prints one JSON array with one object per run, each as soon as its
// run is over.

#include "letter_table.h"
#include "solve_run.h"
#include "tool_main.h"
#include "window_side.h"

#include <cstring>
#include <iostream>
#include <locale>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Appends `text` (UTF-8) to `out` as a JSON string: only a quote, a backslash and
// the bytes below 0x20 are escaped, and the runs between them are copied whole.
void appendString(std::string& out, std::string_view text) {
    constexpr std::string_view kHex = "0123456789abcdef";
    out += '"';
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\') {
            continue;
        }
        out.append(text, plain, i - plain);
        if (byte >= 0x20) {
            out += '\\';
            out += text[i];
        } else {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
        plain = i + 1;
    }
    out.append(text, plain);
    out += '"';
}

// True when some byte of `text` must be escaped in a JSON string. It looks at every
// byte, without stopping early, which the compiler turns into a vector loop.
bool needsEscape(std::string_view text) {
    bool escaped = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        escaped |= byte < 0x20 || byte == '"' || byte == '\\';
    }
    return escaped;
}

// The tool's window side. It keeps each list as the JSON text of its entries,
// written a batch at a time as they are appended, in pieces that are each made at
// their size once, rather than as a string per entry, or one string that grows,
// which copies itself as it grows and touches many more pages of memory, each page
// new to the process a fault that a short run spends much of its time on.
class JsonWindow : public WindowSide {
public:
    explicit JsonWindow(char32_t decimalSeparator) : m_separator(decimalSeparator) {}

    /// Sets the three inputs and forgets the last message, as before a press of Solve.
    void type(std::string_view e, std::string_view o, std::string_view m) {
        m_texts[0] = e;
        m_texts[1] = o;
        m_texts[2] = m;
        m_message.clear();
    }

    /// Writes the last run's object: its lists, its count captions and the message
    /// shown, if any.
    void writeRun(std::ostream& out) const {
        std::string head = "{\"label2\":";
        appendString(head, m_captions[0]);
        head += ",\"label3\":";
        appendString(head, m_captions[1]);
        head += ",\"list2\":[";
        out << head;
        writePieces(out, m_lists[0].json);
        out << "],\"list3\":[";
        writePieces(out, m_lists[1].json);
        out << "],\"message\":" << (m_message.empty() ? "null" : m_message) << '}';
    }

    std::string text(InputField field) const override { return m_texts[static_cast<int>(field)]; }
    void clear(ResultList list) override { m_lists[static_cast<int>(list)] = {}; }
    void append(ResultList list, const EntryBatch& batch) override {
        List& entries = m_lists[static_cast<int>(list)];
        std::string piece;
        if (needsEscape(batch.bytes)) {
            for (std::size_t i = 0; i < batch.size(); ++i) {
                if (entries.count + i > 0) {
                    piece += ',';
                }
                appendString(piece, batch[i]);
            }
        } else {
            // Each word copied whole between its quotes, after a comma; a short one as
            // 16 bytes at once, where the batch has that many from its start, rather
            // than by a call that works out how to copy its length.
            constexpr std::size_t kAtOnce = 16;
            const bool first = entries.count == 0;
            const std::size_t size = batch.bytes.size() + 3 * batch.size() - (first ? 1 : 0);
            piece.resize(size + kAtOnce);
            char* out = piece.data();
            const char* const bytesEnd = batch.bytes.data() + batch.bytes.size();
            for (std::size_t i = 0; i < batch.size(); ++i) {
                if (!first || i > 0) {
                    *out++ = ',';
                }
                *out++ = '"';
                const std::string_view word = batch[i];
                if (word.size() <= kAtOnce && bytesEnd - word.data() >= std::ptrdiff_t{kAtOnce}) {
                    std::memcpy(out, word.data(), kAtOnce);
                } else if (!word.empty()) {
                    std::memcpy(out, word.data(), word.size());
                }
                out += word.size();
                *out++ = '"';
            }
            piece.resize(size);
        }
        entries.json.push_back(std::move(piece));
        entries.count += batch.size();
    }
    std::size_t entryCount(ResultList list) const override {
        return m_lists[static_cast<int>(list)].count;
    }
    void setCaption(CountLabel label, std::string_view caption) override {
        m_captions[static_cast<int>(label)] = caption;
    }
    void runEnded() override {}
    void showMessage(std::string_view title, std::string_view text,
                     std::string_view cause) override {
        m_message = "{\"cause\":";
        appendString(m_message, cause);
        m_message += ",\"text\":";
        appendString(m_message, text);
        m_message += ",\"title\":";
        appendString(m_message, title);
        m_message += '}';
    }
    char32_t decimalSeparator() const override { return m_separator; }

private:
    struct List {
        std::vector<std::string> json;  // the entries as JSON strings, separated by commas
        std::size_t count = 0;
    };

    static void writePieces(std::ostream& out, const std::vector<std::string>& pieces) {
        for (const std::string& piece : pieces) {
            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        }
    }

    char32_t m_separator;
    std::string m_texts[3];
    List m_lists[2];
    std::string m_captions[2];
    std::string m_message;  // the last message's JSON object, or empty
};

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
    JsonWindow window(userDecimalSeparator());
    LetterTable table;

    std::cout << '[';
    for (int i = 2; i + 2 < argc; i += 3) {
        window.type(argv[i], argv[i + 1], argv[i + 2]);
        solve(window, table, wordList);
        std::cout << (i == 2 ? "" : ",");
        window.writeRun(std::cout);
        std::cout << std::flush;  // each run's object as soon as the run is over
    }
    std::cout << "]\n" << std::flush;  // so that a failed write shows in good()
    return std::cout.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // The runs themselves let nothing out; building their output may still fail.
    return runTool("trelliwick-solve", run, argc, argv);
}
