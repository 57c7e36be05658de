#include "solve_run.h"

#include "characters.h"
#include "letter_table.h"
#include "minimum_length.h"
#include "window_side.h"
#include "word_list.h"

#include <optional>
#include <string>

std::filesystem::path wordListPath(const std::filesystem::path& executableDirectory) {
    return executableDirectory / kWordListName;
}

namespace {

// The letter of `essentials` that the fewest lines of a word list hold, for skipping
// the lines without it: any other character before the letters, and the letters by
// how rarely they occur in English words. With an essential letter that is not
// ASCII, no plain ASCII line can pass, and none is looked for.
std::optional<BytePair> rarestLetter(std::u32string_view essentials) {
    constexpr std::string_view kLettersByFrequency = "ESIARNTOLCDUGPMHBYFVKWZXQJ";
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

void run(WindowSide& window, LetterTable& table, const std::filesystem::path& wordList) {
    // The window does not respond during a run, so its texts are read once.
    const std::u32string essentials = upperCaseLetters(window.text(InputField::TextE));
    const std::u32string others = upperCaseLetters(window.text(InputField::TextO));
    const MinimumLength minimumLength(window.text(InputField::Combo1), window.decimalSeparator());
    const std::size_t poolSize = essentials.size() + others.size();

    WordListReader list(wordList);
    std::size_t essentialCount = 0;
    window.clear(ResultList::List2);
    window.clear(ResultList::List3);

    // A line that lacks an essential letter fails the EssentialTest, and nothing of
    // a failed test outlives the word, so plain ASCII lines without the rarest
    // essential letter are passed over unread. Every line read is tested in full.
    const bool skipping = !essentials.empty();
    const std::optional<BytePair> wanted = rarestLetter(essentials);

    Word word;
    while (!list.atEnd()) {
        const std::string_view line = list.readLine();
        if (list.lineIsAscii()) {
            word.assignAscii(line);
        } else {
            word.assign(line);
        }
        const auto length = static_cast<double>(word.length());

        table.fillEssentials(essentials);
        if (word.length() >= essentials.size() && table.EssentialTest(word, essentials.size())) {
            if (!(minimumLength.value() > length)) {
                window.append(ResultList::List2, word.text());
                ++essentialCount;
            }
            table.fillPool(essentials, others);
            // The length is decided before the PoolTest, which changes nothing that
            // outlives the word, so that a word too short to list is not tested.
            if (word.length() <= poolSize && !(minimumLength.value() > length) &&
                table.PoolTest(word, poolSize)) {
                window.append(ResultList::List3, word.text());
            }
        }
        if (skipping) {
            list.skipLinesWithout(wanted);
        }
    }

    window.setCaption(CountLabel::Label2, std::to_string(essentialCount));
    window.setCaption(CountLabel::Label3, std::to_string(window.entryCount(ResultList::List3)));
    window.runEnded();
}

}  // namespace

void solve(WindowSide& window, LetterTable& table, const std::filesystem::path& wordList) noexcept {
    try {
        run(window, table, wordList);
    } catch (...) {
        try {
            window.runEnded();
            window.showMessage(kFailureTitle, kFailureText);
        } catch (...) {
            // Not even the message could be shown; the window keeps what it has.
        }
    }
}
