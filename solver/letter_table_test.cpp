#include "letter_table.h"

#include "characters.h"
#include "solve_failure.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// The tests as a run calls them, on a word given as UTF-8.
class LetterTableTest : public testing::Test {
protected:
    bool essentialTest(std::u32string_view essentials, std::string_view word) {
        table.fillEssentials(essentials);
        return test(word, [&](const Word& w) { return table.EssentialTest(w, essentials.size()); });
    }
    bool poolTest(std::string_view word, std::size_t poolSize) {
        return test(word, [&](const Word& w) { return table.PoolTest(w, poolSize); });
    }

    LetterTable table;

private:
    template <typename Test>
    bool test(std::string_view bytes, Test&& run) {
        Word word;
        word.assign(bytes);
        return run(word);
    }
};

TEST_F(LetterTableTest, EssentialLettersMayShareOneLetterOfTheWord) {
    EXPECT_TRUE(essentialTest(U"AA", "BANK"));
    EXPECT_TRUE(essentialTest(U"AA", "bank"));
    EXPECT_FALSE(essentialTest(U"AE", "BANK"));
    EXPECT_TRUE(essentialTest(U"", ""));
    EXPECT_TRUE(essentialTest(U" ", "TO BE"));
    EXPECT_FALSE(essentialTest(U" ", "TOBE"));
    EXPECT_TRUE(essentialTest(U"\u00C9", "caf\xC3\xA9"));  // é in UTF-8
    EXPECT_TRUE(essentialTest(U"\u00C9", "caf\xE9"));      // and in windows-1252
    EXPECT_FALSE(essentialTest(U"E", "caf\xC3\xA9"));
}

TEST_F(LetterTableTest, LongWordsAndManyEssentialLettersGiveTheSameVerdicts) {
    std::string word(100'000, 'x');
    word += "ab\xC3\xA9\xF0\x9F\x98\x80";  // a, b, é and an emoji
    const std::u32string manyLetters = std::u32string(60, U'A') + U"B\u00C9\U0001F600X";
    EXPECT_TRUE(essentialTest(manyLetters, word));
    EXPECT_FALSE(essentialTest(manyLetters + U"C", word));
    // Nothing of one word's letters is left over for the next.
    EXPECT_FALSE(essentialTest(manyLetters, std::string(100'000, 'y')));
    EXPECT_TRUE(essentialTest(U"YYYY", std::string(100'000, 'y')));
}

TEST_F(LetterTableTest, EachPoolLetterServesOneLetterOfTheWord) {
    table.fillPool(U"E", U"RTXA");
    EXPECT_FALSE(poolTest("TREE", 5));  // two E's, one in the pool
    table.fillPool(U"E", U"RTXA");
    EXPECT_TRUE(poolTest("Rate", 5));
    // The letters RATE used up stay used until the next fill.
    EXPECT_FALSE(poolTest("RATE", 5));
    EXPECT_TRUE(poolTest("x", 5));
    table.fillPool(U"AA", U"BNK");
    EXPECT_TRUE(poolTest("BANK", 5));
    table.fillPool(U"\u00C9", U"T\u00C9");
    EXPECT_TRUE(poolTest("\xC3\xA9t\xC3\xA9", 3));
    table.fillPool(U"", U"");
    EXPECT_TRUE(poolTest("", 0));
    EXPECT_FALSE(poolTest("A", 0));
}

TEST_F(LetterTableTest, MarksAndEmptySlotsNeverEqualALetter) {
    // After a test has marked every slot, the slots beyond the pool hold the empty
    // string and the end mark; none of them may match, whatever the letter.
    table.fillPool(U"", U"AB");
    EXPECT_TRUE(poolTest("AB", 2));
    for (const std::string_view letter :
         {std::string_view("A"), std::string_view("B"), std::string_view("\0", 1),
          std::string_view("\xF4\x8F\xBF\xBF")}) {
        EXPECT_FALSE(poolTest(letter, 2));
        EXPECT_FALSE(poolTest(letter, 4));
    }
}

TEST_F(LetterTableTest, WritingPastSlot200Fails) {
    const std::u32string letters(199, U'A');
    EXPECT_NO_THROW(table.fillEssentials(letters.substr(0, 198)));
    EXPECT_THROW(table.fillEssentials(letters), SolveFailure);
    EXPECT_NO_THROW(table.fillPool(letters.substr(0, 100), letters.substr(0, 97)));
    EXPECT_THROW(table.fillPool(letters.substr(0, 100), letters.substr(0, 98)), SolveFailure);
    EXPECT_THROW(table.fillPool(U"", letters), SolveFailure);
    // A failed fill leaves a table that still works.
    table.fillPool(U"E", U"RTA");
    EXPECT_TRUE(poolTest("RATE", 4));
}

// What a fill says when it fails, or "no failure".
template <typename Fill>
std::string causeOf(Fill&& fill) {
    try {
        fill();
    } catch (const SolveFailure& failure) {
        return failure.what();
    }
    return "no failure";
}

TEST_F(LetterTableTest, AFillTooLongForTheTableNamesTheSlotItNeeds) {
    const auto slot = [](const char* index) {
        return std::string("the letters need slot ") + index +
               " of the letter table, which ends at slot 200";
    };
    const std::u32string a(201, U'A');
    // The first fill's end mark lies two slots past its letters, the second fill's
    // empty string one past them.
    EXPECT_EQ(causeOf([&] { table.fillEssentials(a.substr(0, 199)); }), slot("201"));
    EXPECT_EQ(causeOf([&] { table.fillEssentials(a.substr(0, 200)); }), slot("202"));
    EXPECT_EQ(causeOf([&] { table.fillPool(a.substr(0, 100), a.substr(0, 99)); }), slot("202"));
    EXPECT_EQ(causeOf([&] { table.fillPool(a.substr(0, 100), a.substr(0, 100)); }), slot("201"));
    // With more letters than slots, the letter that has none.
    EXPECT_EQ(causeOf([&] { table.fillEssentials(a); }), slot("201"));
    EXPECT_EQ(causeOf([&] { table.fillPool(a.substr(0, 200), U"A"); }), slot("201"));
}

TEST_F(LetterTableTest, AsciiWordsGetTheTablesVerdictsFromTheirBytes) {
    // Seeded words and letters, of few symbols so that both verdicts come often:
    // both cases, the first and last letters and the bytes beside them, a blank, a
    // digit and a control byte, and among the letters two
    // that no ASCII byte upper-cases to.
    std::mt19937 random(2025);
    std::uniform_int_distribution<std::size_t> pick(0, 99);
    const std::string wordBytes = "aAbBcCiIzZ`{ 7\x01";
    const std::u32string letters = U"ABCIZ{ 7\x01\u00C9\U0001F600";
    const auto randomWord = [&](std::size_t length) {
        std::string word;
        for (std::size_t i = 0; i < length; ++i) {
            word += wordBytes[pick(random) % wordBytes.size()];
        }
        return word;
    };
    const auto randomLetters = [&](std::size_t length) {
        std::u32string typed;
        for (std::size_t i = 0; i < length; ++i) {
            typed += letters[pick(random) % letters.size()];
        }
        return typed;
    };
    int passed[2] = {0, 0};
    int solutions[2] = {0, 0};
    for (int round = 0; round < 20'000; ++round) {
        const std::u32string essentials = randomLetters(pick(random) % 4);
        const std::u32string others = randomLetters(pick(random) % 9);
        // Each with the pool's letters looked up by the halves of the bytes, where the
        // processor can, and compared with each letter.
        const AsciiWordTests ascii(essentials, others);
        const AsciiWordTests byLetter(essentials, others, false);
        const std::string word = randomWord(pick(random) % 20);
        // What follows a short word, which the test reads, is no part of it.
        const std::string padded = word + "aAbBcCiI 7\x01" + "aAbBcC";
        const bool essential = essentialTest(essentials, word);
        const std::string_view inList(padded.data(), word.size());
        EXPECT_EQ(ascii.EssentialTest(inList), essential) << round << ": " << word;
        ++passed[essential ? 1 : 0];
        // A word longer than the pool fails the PoolTest.
        const std::size_t poolSize = essentials.size() + others.size();
        bool solution = false;
        if (word.size() <= poolSize) {
            table.fillPool(essentials, others);
            solution = poolTest(word, poolSize);
            ++solutions[solution ? 1 : 0];
        }
        EXPECT_EQ(ascii.PoolTest(inList), solution) << round << ": " << word;
        EXPECT_EQ(byLetter.PoolTest(inList), solution) << round << ": " << word;
    }
    // Both verdicts, many times each.
    EXPECT_GT(passed[0], 1000);
    EXPECT_GT(passed[1], 1000);
    EXPECT_GT(solutions[0], 1000);
    EXPECT_GT(solutions[1], 1000);
}

}  // namespace
