#include "letter_table.h"

#include "solve_failure.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LetterTable, EssentialLettersMayShareOneLetterOfTheWord) {
    LetterTable table;
    table.fillEssentials(U"AA");
    EXPECT_TRUE(table.EssentialTest(U"BANK", 2));
    table.fillEssentials(U"AE");
    EXPECT_FALSE(table.EssentialTest(U"BANK", 2));
    table.fillEssentials(U"");
    EXPECT_TRUE(table.EssentialTest(U"", 0));
    table.fillEssentials(U" ");
    EXPECT_TRUE(table.EssentialTest(U"TO BE", 1));
    EXPECT_FALSE(table.EssentialTest(U"TOBE", 1));
}

TEST(LetterTable, LongWordsAndManyEssentialLettersGiveTheSameVerdicts) {
    // Past a size the test looks letters up instead of searching for each.
    LetterTable table;
    std::u32string word(100'000, U'X');
    word += U"AB\u00C9\U0001F600";
    const std::u32string manyLetters = std::u32string(60, U'A') + U"B\u00C9\U0001F600X";
    table.fillEssentials(manyLetters);
    EXPECT_TRUE(table.EssentialTest(word, manyLetters.size()));
    table.fillEssentials(manyLetters + U"C");
    EXPECT_FALSE(table.EssentialTest(word, manyLetters.size() + 1));
    // Nothing of one word's letters is left over for the next.
    table.fillEssentials(manyLetters);
    EXPECT_FALSE(table.EssentialTest(std::u32string(100'000, U'Y'), manyLetters.size()));
    table.fillEssentials(U"YYYY");
    EXPECT_TRUE(table.EssentialTest(std::u32string(100'000, U'Y'), 4));
}

TEST(LetterTable, EachPoolLetterServesOneLetterOfTheWord) {
    LetterTable table;
    table.fillPool(U"E", U"RTXA");
    EXPECT_FALSE(table.PoolTest(U"TREE", 5));  // two E's, one in the pool
    table.fillPool(U"E", U"RTXA");
    EXPECT_TRUE(table.PoolTest(U"RATE", 5));
    // The letters RATE used up stay used until the next fill.
    EXPECT_FALSE(table.PoolTest(U"RATE", 5));
    EXPECT_TRUE(table.PoolTest(U"X", 5));
    table.fillPool(U"AA", U"BNK");
    EXPECT_TRUE(table.PoolTest(U"BANK", 5));
    table.fillPool(U"", U"");
    EXPECT_TRUE(table.PoolTest(U"", 0));
    EXPECT_FALSE(table.PoolTest(U"A", 0));
}

TEST(LetterTable, MarksAndEmptySlotsNeverEqualALetter) {
    // After a test has marked every slot, the slots beyond the pool hold the empty
    // string and the end mark; none of them may match, whatever the letter.
    LetterTable table;
    table.fillPool(U"", U"AB");
    EXPECT_TRUE(table.PoolTest(U"AB", 2));
    for (const char32_t letter : {U'A', U'B', U'\0', U'\U0010FFFF'}) {
        EXPECT_FALSE(table.PoolTest(std::u32string(1, letter), 2));
        EXPECT_FALSE(table.PoolTest(std::u32string(1, letter), 4));
    }
}

TEST(LetterTable, WritingPastSlot200Fails) {
    LetterTable table;
    const std::u32string letters(199, U'A');
    EXPECT_NO_THROW(table.fillEssentials(letters.substr(0, 198)));
    EXPECT_THROW(table.fillEssentials(letters), SolveFailure);
    EXPECT_NO_THROW(table.fillPool(letters.substr(0, 100), letters.substr(0, 97)));
    EXPECT_THROW(table.fillPool(letters.substr(0, 100), letters.substr(0, 98)), SolveFailure);
    EXPECT_THROW(table.fillPool(U"", letters), SolveFailure);
    // A failed fill leaves a table that still works.
    table.fillPool(U"E", U"RTA");
    EXPECT_TRUE(table.PoolTest(U"RATE", 4));
}

}  // namespace
