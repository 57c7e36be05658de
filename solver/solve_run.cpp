#include "solve_run.h"

#include "characters.h"
#include "letter_table.h"
#include "minimum_length.h"
#include "window_side.h"
#include "word_list.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>

std::filesystem::path wordListPath(const std::filesystem::path& executableDirectory) {
    return executableDirectory / kWordListName;
}

namespace {

// The letters by how often they occur in English words, the most frequent first.
constexpr std::string_view kLettersByFrequency = "ESIARNTOLCDUGPMHBYFVKWZXQJ";

// The letter of `essentials` that the fewest lines of a word list hold, for skipping
// the lines without it: any other character before the letters, and the letters by
// how rarely they occur in English words. With an essential letter that is not
// ASCII, no plain ASCII line can pass, and none is looked for.
std::optional<BytePair> rarestLetter(std::u32string_view essentials) {
    std::optional<BytePair> rarest;
    std::size_t rarestRank = 0;
    for (const char32_t letter : essentials) {
        if (letter >= 0x80) {
            return std::nullopt;
        }
        const std::size_t found = kLettersByFrequency.find(static_cast<char>(letter));
        const std::size_t rank =
            found == std::string_view::npos ? kLettersByFrequency.size() : found;
        if (!rarest || rank > rarestRank) {
            const auto upper = static_cast<std::uint8_t>(letter);
            const bool isLetter = found != std::string_view::npos;
            rarest =
                BytePair{upper, static_cast<std::uint8_t>(isLetter ? upper + ('a' - 'A') : upper)};
            rarestRank = rank;
        }
    }
    return rarest;
}

// True for a letter that most 64-byte chunks of a word list hold, in either case:
// roughly the eleven most frequent, each in more than half of the chunks of a list
// of English words (which few others reach, and those barely).
bool inMostChunks(const std::optional<BytePair>& letter) {
    constexpr std::string_view kInMostChunks = kLettersByFrequency.substr(0, 11);
    return letter && kInMostChunks.find(static_cast<char>(letter->first)) != std::string_view::npos;
}

// The number of bytes below which a line is shorter than `minimum` characters, for
// passing over the lines too short to list; 0 when that would pass over too few of
// a word list's lines to be worth looking for them, for few words are that short.
std::size_t shortLinesToPassOver(double minimum) {
    constexpr double kFewerBytesThanMostWords = 8;
    if (!(minimum >= kFewerBytesThanMostWords)) {
        return 0;
    }
    constexpr double kLongerThanAnyLine = 0x1p62;
    return minimum >= kLongerThanAnyLine ? std::numeric_limits<std::size_t>::max()
                                         : static_cast<std::size_t>(minimum);
}

// The words listed for one result list, handed to the window in batches, so that
// a run that lists millions of words makes a call to the window for thousands of
// them. A word longer than a batch goes on its own, as the reader holds it.
class ListedWords {
public:
    ListedWords(WindowSide& window, ResultList list)
        : m_window(window),
          m_list(list),
          m_bytes(std::make_unique_for_overwrite<char[]>(kBytes)),
          m_ends(std::make_unique_for_overwrite<std::size_t[]>(kEntries)) {}

    void add(std::string_view word) {
        if (m_used + word.size() > kBytes || m_count == kEntries) {
            handOver();
            if (word.size() > kBytes) {
                const std::size_t end = word.size();
                m_window.append(m_list, {word, {&end, 1}});
                return;
            }
        }
        std::memcpy(m_bytes.get() + m_used, word.data(), word.size());
        m_used += word.size();
        m_ends[m_count++] = m_used;
    }

    /// The same for a word of which `kReadable` bytes from its start may be read, a
    /// line as the reader holds it: a short one is copied as that many bytes at once,
    /// rather than by a call that works out how to copy its length.
    static constexpr std::size_t kReadable = 16;
    void addReadable(std::string_view word) {
        if (word.size() > kReadable || m_used + kReadable > kBytes || m_count == kEntries) {
            add(word);
            return;
        }
        std::memcpy(m_bytes.get() + m_used, word.data(), kReadable);
        m_used += word.size();
        m_ends[m_count++] = m_used;
    }

    /// Hands the window the words added since the last time.
    void handOver() {
        if (m_count > 0) {
            const EntryBatch batch{{m_bytes.get(), m_used}, {m_ends.get(), m_count}};
            m_used = 0;
            m_count = 0;
            m_window.append(m_list, batch);
        }
    }

private:
    static constexpr std::size_t kBytes = std::size_t{64} * 1024;
    static constexpr std::size_t kEntries = 4096;

    WindowSide& m_window;
    ResultList m_list;
    std::unique_ptr<char[]> m_bytes;
    std::unique_ptr<std::size_t[]> m_ends;
    std::size_t m_used = 0;
    std::size_t m_count = 0;
};

// Puts each line of `list` through both fills and tests, listing the words that pass
// in `list2` and `list3`, and counting those of List2 in `essentialCount`.
void testEachLine(WordListReader& list, LetterTable& table, const MinimumLength& minimumLength,
                  std::u32string_view essentials, std::u32string_view others, ListedWords& list2,
                  ListedWords& list3, std::size_t& essentialCount) {
    const std::size_t poolSize = essentials.size() + others.size();

    // Nothing of a word's tests outlives it but what is listed, so lines that can
    // be listed nowhere are passed over unread: once the first fill has worked, a
    // line of plain ASCII without the rarest essential letter fails the
    // EssentialTest, and once the minimum length is known and both fills have
    // worked, a line of fewer bytes than the minimum is too short for either list.
    // Every line read is tested in full.
    WordListReader::LinesToPassOver unlisted;
    const WordListReader::LinesToPassOver lackingLetter{!essentials.empty(),
                                                        rarestLetter(essentials), 0};

    // A line of plain ASCII is decided from its bytes; any other is decoded and
    // goes through the table slot by slot. Each fill gives the same slots for
    // every line and the tests read no other, so for ASCII lines each fill is done
    // only until it has once worked: a fill that overflows the table fails the run
    // at the first line that needs it, whichever kind that line is.
    const AsciiWordTests asciiTests(essentials, others);
    static_assert(AsciiWordTests::kShortWord <= WordListReader::kReadableAfterLine);
    static_assert(ListedWords::kReadable <= WordListReader::kReadableAfterLine);
    // A word longer than the pool fails the PoolTest, and its length rules it out
    // first; but a short one is tested whatever its length, for a branch on the
    // length of each word would often go the wrong way.
    const std::size_t poolTestedUpTo =
        poolSize == 0 ? 0 : std::max(poolSize, AsciiWordTests::kShortWord - 1);
    bool firstFillWorked = false;
    bool secondFillWorked = false;
    const auto fillEssentials = [&] {
        table.fillEssentials(essentials);
        if (!firstFillWorked) {
            firstFillWorked = true;
            unlisted = lackingLetter;
        }
    };
    const auto fillPool = [&](double minimum) {
        table.fillPool(essentials, others);
        if (!secondFillWorked) {
            secondFillWorked = true;
            unlisted.shorterThan = shortLinesToPassOver(minimum);
            // So few lines are this long that reading each of them costs less than
            // looking in every chunk for a letter that most of them hold: the length
            // alone passes lines over then.
            constexpr std::size_t kLongerThanMostWords = 20;
            if (unlisted.shorterThan >= kLongerThanMostWords && inMostChunks(unlisted.letter)) {
                unlisted.lackingLetter = false;
            }
        }
    };
    Word word;
    for (std::span lines = list.readLines(unlisted); !lines.empty();
         lines = list.readLines(unlisted)) {
        for (const WordListReader::Line& line : lines) {
            if (line.ascii) {
                if (!firstFillWorked) {
                    fillEssentials();
                }
                const std::size_t length = line.text.size();
                if (length >= essentials.size() && asciiTests.EssentialTest(line.text)) {
                    const double minimum = minimumLength.value();
                    const bool longEnough = !(minimum > static_cast<double>(length));
                    if (longEnough) {
                        list2.addReadable(line.text);
                        ++essentialCount;
                    }
                    if (!secondFillWorked) {
                        fillPool(minimum);
                    }
                    if (longEnough && length <= poolTestedUpTo && asciiTests.PoolTest(line.text)) {
                        list3.addReadable(line.text);
                    }
                }
                continue;
            }
            word.assign(line.text);
            const auto length = static_cast<double>(word.length());

            fillEssentials();
            if (word.length() >= essentials.size() &&
                table.EssentialTest(word, essentials.size())) {
                // Worked out here, where a text that is no number fails the run; both
                // decisions use it.
                const double minimum = minimumLength.value();
                if (!(minimum > length)) {
                    list2.add(word.text());
                    ++essentialCount;
                }
                fillPool(minimum);
                // The length is decided before the PoolTest, so that a word too short
                // to list is not tested.
                if (word.length() <= poolSize && !(minimum > length) &&
                    table.PoolTest(word, poolSize)) {
                    list3.add(word.text());
                }
            }
        }
    }
}

void run(WindowSide& window, LetterTable& table, const OpenWordList& openList) {
    // The window does not respond during a run, so its texts are read once.
    const std::u32string essentials = upperCaseLetters(window.text(InputField::TextE));
    const std::u32string others = upperCaseLetters(window.text(InputField::TextO));
    const MinimumLength minimumLength(window.text(InputField::Combo1), window.decimalSeparator());

    WordListReader list(openList());
    std::size_t essentialCount = 0;
    window.clear(ResultList::List2);
    window.clear(ResultList::List3);
    ListedWords list2(window, ResultList::List2);
    ListedWords list3(window, ResultList::List3);
    try {
        testEachLine(list, table, minimumLength, essentials, others, list2, list3, essentialCount);
    } catch (...) {
        // What was listed stays listed.
        list2.handOver();
        list3.handOver();
        throw;
    }
    list2.handOver();
    list3.handOver();

    window.setCaption(CountLabel::Label2, std::to_string(essentialCount));
    window.setCaption(CountLabel::Label3, std::to_string(window.entryCount(ResultList::List3)));
    window.runEnded();
}

// The run's one failure path: what was listed shows, then the message, with the
// cause for whoever diagnoses it. Each step on its own, for a window that cannot
// show what was listed must still show the message; what fails here is left as it is.
void fail(WindowSide& window, std::string_view cause) noexcept {
    try {
        window.runEnded();
    } catch (...) {
    }
    try {
        window.showMessage(kFailureTitle, kFailureText, cause);
    } catch (...) {
    }
}

}  // namespace

void solve(WindowSide& window, LetterTable& table, const OpenWordList& openList) noexcept {
    // The causes are taken from the exceptions as they stand, for memory may have
    // run out.
    try {
        run(window, table, openList);
    } catch (const std::bad_alloc&) {
        fail(window, "out of memory");
    } catch (const std::exception& error) {
        fail(window, error.what());
    } catch (...) {
        fail(window, "an unknown failure");
    }
}

void solve(WindowSide& window, LetterTable& table, const std::filesystem::path& wordList) noexcept {
    solve(window, table, [&wordList] { return std::make_unique<WordListFile>(wordList); });
}
