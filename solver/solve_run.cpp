#include "solve_run.h"

#include "characters.h"
#include "letter_table.h"
#include "minimum_length.h"
#include "window_side.h"
#include "word_list.h"

#include <string>

std::filesystem::path wordListPath(const std::filesystem::path& executableDirectory) {
    return executableDirectory / kWordListName;
}

namespace {

void run(WindowSide& window, LetterTable& table, const std::filesystem::path& wordList) {
    // The window does not respond during a run, so its texts are read once.
    Word essentialText;
    const std::string essentialUtf8 = window.text(InputField::TextE);
    essentialText.assign(essentialUtf8);
    Word otherText;
    const std::string otherUtf8 = window.text(InputField::TextO);
    otherText.assign(otherUtf8);
    const std::u32string_view essentials = essentialText.upper();
    const std::u32string_view others = otherText.upper();
    const MinimumLength minimumLength(window.text(InputField::Combo1), window.decimalSeparator());

    WordListReader list(wordList);
    std::size_t essentialCount = 0;
    window.clear(ResultList::List2);
    window.clear(ResultList::List3);

    Word word;
    while (!list.atEnd()) {
        word.assignPadded(list.readLine());
        const double length = static_cast<double>(word.length());

        table.fillEssentials(essentials);
        if (word.length() < essentials.size()) {
            continue;
        }
        if (!table.EssentialTest(word.upper(), essentials.size())) {
            continue;
        }
        if (!(minimumLength.value() > length)) {
            window.append(ResultList::List2, word.text());
            ++essentialCount;
        }

        table.fillPool(essentials, others);
        if (essentials.size() + others.size() < word.length()) {
            continue;
        }
        if (!table.PoolTest(word.upper(), essentials.size() + others.size())) {
            continue;
        }
        if (!(minimumLength.value() > length)) {
            window.append(ResultList::List3, word.text());
        }
    }

    window.setCaption(CountLabel::Label2, std::to_string(essentialCount));
    window.setCaption(CountLabel::Label3, std::to_string(window.entryCount(ResultList::List3)));
}

}  // namespace

void solve(WindowSide& window, LetterTable& table, const std::filesystem::path& wordList) {
    try {
        run(window, table, wordList);
    } catch (...) {
        window.showMessage(kFailureTitle, kFailureText);
    }
}
