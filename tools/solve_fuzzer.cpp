// A libFuzzer target for the solve run. Each input becomes up to four runs on one
// letter table and one window side, carried from run to run: for each, texts for
// the essential letters, the other letters and the minimum length, and the bytes
// of the word list (or no list at all), handed out in pieces of a few sizes, with
// a read error at some byte now and then. Besides what the sanitizers catch, it
// checks each run against a plain model of the rules, which reads every line and
// fills and tests the table slot by slot, and checks that the word list reader,
// reading a few bytes at a time and passing over lines, keeps exactly the lines
// it should.

#include "characters.h"
#include "fake_byte_source.h"
#include "letter_table.h"
#include "minimum_length.h"
#include "plain_lines.h"
#include "recording_window.h"
#include "solve_run.h"
#include "word_list.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "solve_fuzzer: %s\n", what);
        std::abort();
    }
}

// True when every entry of `part` stands in `whole`, in the same order.
bool isSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    auto next = whole.begin();
    for (const auto& entry : part) {
        next = std::find(next, whole.end(), entry);
        if (next == whole.end()) {
            return false;
        }
        ++next;
    }
    return true;
}

// Reads `bytes` `blockSize` bytes at a time at most, handed out in pieces of the
// sizes `pieces` gives, passing over the lines that `passOver` names after the
// first, and checks the lines against a plain split of `bytes`.
void checkReader(const std::string& bytes, std::size_t blockSize,
                 const std::vector<std::size_t>& pieces,
                 const WordListReader::LinesToPassOver& passOver) {
    WordListReader reader(std::make_unique<FakeByteSource>(bytes, pieces), blockSize);
    std::vector<std::string> lines;
    for (auto batch = reader.readLines({}, 1); !batch.empty(); batch = reader.readLines(passOver)) {
        for (const WordListReader::Line& line : batch) {
            lines.emplace_back(line.text);
            const bool ascii = std::all_of(line.text.begin(), line.text.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x80;
            });
            require(line.ascii == ascii, "a line was taken for ASCII or not wrongly");
        }
    }
    require(lines == linesKept(bytes, passOver), "the reader kept the wrong lines");
}

// A line or a typed text as upper-case characters, and as UTF-8.
struct Decoded {
    std::u32string upper;
    std::string text;
};

Decoded decode(const std::string& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::u32string characters;
    bool valid = true;
    for (std::size_t i = 0; i < bytes.size();) {
        UChar32 c;
        U8_NEXT(data, i, bytes.size(), c);
        if (c < 0) {
            valid = false;
            break;
        }
        characters += static_cast<char32_t>(c);
    }
    if (!valid) {
        characters.clear();
        for (const char byte : bytes) {
            characters += fromWindows1252(static_cast<std::uint8_t>(byte));
        }
    }
    Decoded decoded;
    for (const char32_t c : characters) {
        decoded.upper += toUpper(c);
        std::uint8_t utf8[4];
        std::size_t size = 0;
        U8_APPEND_UNSAFE(utf8, size, c);
        decoded.text.append(reinterpret_cast<const char*>(utf8), size);
    }
    return decoded;
}

// The lines of `read` that a reader holds whole when reading fails after them: a
// line still open, or ended by a CR that an LF may follow, is not yet whole.
std::vector<std::string> wholeLines(std::string read) {
    if (!read.empty() && read.back() == '\r') {
        read.pop_back();
    }
    const std::size_t lastEnd = read.find_last_of("\r\n");
    return lastEnd == std::string::npos ? std::vector<std::string>{}
                                        : splitLines(read.substr(0, lastEnd + 1));
}

// The run as its rules read, line by line and slot by slot, on a window side that
// holds what `before` held, over the bytes of `list`, after which reading fails when
// `readFails`: at once, when there are none, as when the list can't be opened.
RecordingWindow modelRun(const RecordingWindow& before, const std::optional<std::string>& list,
                         bool readFails) {
    RecordingWindow window = before;
    constexpr char32_t kEmpty = 0x110000;
    constexpr char32_t kUsed = 0x110001;
    constexpr char32_t kEnd = 0x110002;
    std::vector<char32_t> slots(201, kEmpty);
    const auto set = [&](std::size_t index, char32_t value) {
        if (index > 200) {
            throw std::out_of_range("slot");
        }
        slots[index] = value;
    };
    try {
        if (!list || (readFails && list->empty())) {
            throw std::runtime_error("no list");
        }
        const std::u32string e = decode(window.essentials).upper;
        const std::u32string o = decode(window.others).upper;
        const MinimumLength minimum(window.minimum, window.separator);
        const std::size_t le = e.size();
        const std::size_t lo = o.size();
        window.list2.clear();
        window.list3.clear();
        std::size_t count = 0;
        for (const std::string& line : readFails ? wholeLines(*list) : splitLines(*list)) {
            const Decoded word = decode(line);
            const std::u32string& w = word.upper;
            const auto lw = static_cast<double>(w.size());
            for (std::size_t i = 1; i <= le; ++i) {
                set(i, e[i - 1]);
            }
            set(le + 2, kEnd);
            if (w.size() < le) {
                continue;
            }
            bool essential = true;
            for (std::size_t i = 1; i <= le && essential; ++i) {
                essential = w.find(slots[i]) != std::u32string::npos;
                if (essential) {
                    slots[i] = kUsed;
                }
            }
            if (!essential) {
                continue;
            }
            if (!(minimum.value() > lw)) {
                window.list2.push_back(word.text);
                ++count;
            }
            for (std::size_t i = 1; i <= le; ++i) {
                set(i, e[i - 1]);
            }
            for (std::size_t k = 1; k <= lo + 1; ++k) {
                set(le + k, k <= lo ? o[k - 1] : kEmpty);
            }
            set(le + lo + 3, kEnd);
            if (le + lo < w.size()) {
                continue;
            }
            bool solution = true;
            for (std::size_t i = 0; i < w.size() && solution; ++i) {
                char32_t* const pool = slots.data() + 1;
                char32_t* const slot = std::find(pool, pool + le + lo, w[i]);
                solution = slot != pool + le + lo;
                if (solution) {
                    *slot = kUsed;
                }
            }
            if (solution && !(minimum.value() > lw)) {
                window.list3.push_back(word.text);
            }
        }
        if (readFails) {
            throw std::runtime_error("read error");
        }
        window.label2 = std::to_string(count);
        window.label3 = std::to_string(window.list3.size());
    } catch (...) {
        window.message = RecordingWindow::Message{"", "", "", 0};
    }
    return window;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    RecordingWindow window;
    LetterTable table;
    const int runs = data.ConsumeIntegralInRange(1, 4);
    for (int run = 0; run < runs; ++run) {
        std::string essentials = data.ConsumeRandomLengthString(250);
        std::string others = data.ConsumeRandomLengthString(250);
        std::string minimum = data.ConsumeRandomLengthString(16);
        window.separator = data.ConsumeBool() ? U',' : U'.';
        const bool hasList = data.ConsumeIntegralInRange(0, 7) != 0;
        std::vector<std::size_t> pieces(data.ConsumeIntegralInRange<std::size_t>(0, 3));
        for (std::size_t& piece : pieces) {
            piece = data.ConsumeIntegralInRange<std::size_t>(1, 100);
        }
        const auto failAt = data.ConsumeIntegralInRange<std::size_t>(0, 15) == 0
                                ? std::optional(data.ConsumeIntegral<std::uint16_t>())
                                : std::nullopt;
        const std::string list = run + 1 == runs ? data.ConsumeRemainingBytesAsString()
                                                 : data.ConsumeRandomLengthString(4096);

        if (hasList) {
            const auto blockSize = data.ConsumeIntegralInRange<std::size_t>(1, 200);
            WordListReader::LinesToPassOver passOver;
            passOver.lackingLetter = data.ConsumeBool();
            if (data.ConsumeBool()) {
                passOver.letter = BytePair{data.ConsumeIntegral<std::uint8_t>(),
                                           data.ConsumeIntegral<std::uint8_t>()};
            }
            // Short minimums mostly, and some longer than a chunk of the reader's scan.
            passOver.shorterThan =
                data.ConsumeIntegralInRange<std::size_t>(0, data.ConsumeBool() ? 12 : 150);
            checkReader(list, blockSize, pieces, passOver);
        }

        const RecordingWindow before = window;
        window.type(std::move(essentials), std::move(others), std::move(minimum));
        solve(window, table, [&]() -> std::unique_ptr<ByteSource> {
            if (!hasList) {
                throw std::runtime_error("no list");
            }
            return std::make_unique<FakeByteSource>(list, pieces, failAt);
        });

        RecordingWindow typed = before;
        typed.type(window.essentials, window.others, window.minimum);
        const std::optional<std::string> readable =
            hasList ? std::optional(list.substr(0, failAt.value_or(list.size()))) : std::nullopt;
        const RecordingWindow model = modelRun(typed, readable, failAt && *failAt < list.size());
        require(window.list2 == model.list2 && window.list3 == model.list3,
                "the lists differ from the model's");
        require(window.label2 == model.label2 && window.label3 == model.label3,
                "the counts differ from the model's");
        require(window.message.has_value() == model.message.has_value(),
                "the run failed where the model did not, or the other way round");
        require(isSubsequence(window.list3, window.list2), "a solution is missing from List2");
        if (window.message) {
            require(window.label2 == before.label2 && window.label3 == before.label3,
                    "a failed run changed the counts");
            if (!hasList) {
                require(window.list2 == before.list2 && window.list3 == before.list3,
                        "a run without a list changed the lists");
            }
        } else {
            require(hasList, "a run without a list completed");
            require(window.label2 == std::to_string(window.list2.size()) &&
                        window.label3 == std::to_string(window.list3.size()),
                    "the counts differ from the lists");
        }
    }
    return 0;
}
