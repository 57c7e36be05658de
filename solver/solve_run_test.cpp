#include "solve_run.h"

#include "fake_byte_source.h"
#include "letter_table.h"
#include "recording_window.h"
#include "scratch_file.h"
#include "word_list.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

// A window and its letter table, living across runs as the main window's do.
class SolveRunTest : public testing::Test {
protected:
    void solveWith(const std::filesystem::path& list, std::string e, std::string o, std::string m) {
        window.type(std::move(e), std::move(o), std::move(m));
        solve(window, table, list);
    }
    // The same with the list's bytes handed out by `source`.
    void solveWith(const FakeByteSource& source, std::string e, std::string o, std::string m) {
        window.type(std::move(e), std::move(o), std::move(m));
        solve(window, table, [&] { return std::make_unique<FakeByteSource>(source); });
    }
    void expectFailureShown() const {
        ASSERT_TRUE(window.message.has_value());
        EXPECT_EQ(window.message->title, "trelliwick");
        EXPECT_EQ(window.message->text, "File containing list of words - 'abc.txt' not found.");
    }

    RecordingWindow window;
    LetterTable table;
};

TEST_F(SolveRunTest, ListsEssentialMatchesAndSolutionsInFileOrder) {
    ScratchFile list("Tree\r\nRate\r\nAxe\r\nTax\r\nextra\r\nTERA\r\n");
    solveWith(list.path(), "e", "rtxa", "4");
    EXPECT_EQ(window.list2, (Words{"Tree", "Rate", "extra", "TERA"}));
    EXPECT_EQ(window.list3, (Words{"Rate", "extra", "TERA"}));
    EXPECT_EQ(window.label2, "4");
    EXPECT_EQ(window.label3, "3");
    EXPECT_FALSE(window.message);

    // The same inputs again give the same results.
    solveWith(list.path(), "e", "rtxa", "4");
    EXPECT_EQ(window.list2, (Words{"Tree", "Rate", "extra", "TERA"}));
    EXPECT_EQ(window.list3, (Words{"Rate", "extra", "TERA"}));
    EXPECT_EQ(window.label2, "4");
    EXPECT_EQ(window.label3, "3");

    // Words of many lengths, handed to the window in batches that fill by their
    // bytes, their number or one long word: each comes whole, in order.
    std::string many;
    Words manyWords(65'536 / 17, "w" + std::string(16, 'a'));  // a batch's bytes but one
    manyWords.emplace_back("w");
    for (const std::string& word : manyWords) {
        many += word + "\r\n";
    }
    for (std::size_t i = 0; i < 20'000; ++i) {
        const std::size_t length = i * 2'654'435'761U % 37 + (i % 1000 == 0 ? 70'000 : 0);
        manyWords.push_back("w" + std::string(length, static_cast<char>('a' + i % 26)));
        many += manyWords.back() + "\r\n";
    }
    ScratchFile manyList(many);
    solveWith(manyList.path(), "w", "", "0");
    EXPECT_EQ(window.list2, manyWords);
}

TEST_F(SolveRunTest, MinimumLengthDecidesBothLists) {
    ScratchFile list("Tree\r\nRate\r\nAxe\r\n\r\n");
    solveWith(list.path(), "e", "rtxa", "4.9");
    EXPECT_EQ(window.list2, (Words{"Tree", "Rate"}));
    solveWith(list.path(), "e", "rtxa", "3");
    EXPECT_EQ(window.list2, (Words{"Tree", "Rate", "Axe"}));
    EXPECT_EQ(window.list3, (Words{"Rate", "Axe"}));
    solveWith(list.path(), "e", "rtxa", "7");
    EXPECT_EQ(window.list2, Words{});
    EXPECT_EQ(window.label2, "0");
    EXPECT_EQ(window.label3, "0");
    // With no essential letters and no pool, only the empty line is a solution,
    // and only for a minimum of 0 or less.
    solveWith(list.path(), "", "", "0");
    EXPECT_EQ(window.list2, (Words{"Tree", "Rate", "Axe", ""}));
    EXPECT_EQ(window.list3, (Words{""}));
    solveWith(list.path(), "", "", "1");
    EXPECT_EQ(window.list3, Words{});
    EXPECT_EQ(window.label2, "3");

    // Long minimums, by which the lines too short are passed over unread.
    ScratchFile longer("ab\r\nabcdefg\r\nabcdefgh\r\nabcdefghi\nabcdefgh\rabcdefghij");
    solveWith(longer.path(), "", "", "8");
    EXPECT_EQ(window.list2, (Words{"abcdefgh", "abcdefghi", "abcdefgh", "abcdefghij"}));
    solveWith(longer.path(), "", "", "9");
    EXPECT_EQ(window.list2, (Words{"abcdefghi", "abcdefghij"}));
}

TEST_F(SolveRunTest, LettersCountAsOftenAsTheyAreTyped) {
    ScratchFile list("BANK\r\nbank\r\nkabab\r\na b\r\nab\r\n");
    solveWith(list.path(), "AA", "bnk", "1");
    EXPECT_EQ(window.list2, (Words{"BANK", "bank", "kabab", "a b", "ab"}));
    EXPECT_EQ(window.list3, (Words{"BANK", "bank", "ab"}));
    solveWith(list.path(), "AA", "b", "1");
    EXPECT_EQ(window.list3, (Words{"ab"}));
    solveWith(list.path(), "a b", "", "0");  // the blank is an essential letter
    EXPECT_EQ(window.list2, (Words{"a b"}));
    EXPECT_EQ(window.list3, (Words{"a b"}));
}

TEST_F(SolveRunTest, EveryKindOfLineEndAndEncodingIsRead) {
    // LF only, a bare CR, no final terminator, windows-1252 and UTF-8 side by side.
    ScratchFile list("caf\xE9\nCAF\xC3\x89\rf\xC3\xA9te\r\n\xC3\xA9tat");
    solveWith(list.path(), "\xC3\xA9", "fact", "3");  // é
    EXPECT_EQ(window.list2, (Words{"caf\xC3\xA9", "CAF\xC3\x89", "f\xC3\xA9te", "\xC3\xA9tat"}));
    EXPECT_EQ(window.list3, (Words{"caf\xC3\xA9", "CAF\xC3\x89"}));
}

TEST_F(SolveRunTest, OddBytesAreCharactersOfTheirWord) {
    // A byte-order mark is part of the first word, a NUL is a character, and a
    // file without any line end is one word.
    ScratchFile marked("\xEF\xBB\xBFword\r\nword\r\n");
    solveWith(marked.path(), "w", "ord", "4");
    EXPECT_EQ(window.list2, (Words{"\xEF\xBB\xBFword", "word"}));
    EXPECT_EQ(window.list3, (Words{"word"}));

    ScratchFile nul(std::string("a\0b\r\nab\0", 8));
    solveWith(nul.path(), "", "", "3");
    EXPECT_EQ(window.list2, (Words{std::string("a\0b", 3), std::string("ab\0", 3)}));

    ScratchFile unterminated("tree rate axe");
    solveWith(unterminated.path(), " ", "", "0");
    EXPECT_EQ(window.list2, (Words{"tree rate axe"}));
    EXPECT_EQ(window.label2, "1");
}

TEST_F(SolveRunTest, AnEmptyListClearsBothListsAndCountsZero) {
    ScratchFile words("rate\r\n");
    solveWith(words.path(), "e", "rta", "4");
    ScratchFile empty("", "empty.txt");
    // Even 199 essential letters do no harm when no word is read.
    solveWith(empty.path(), std::string(199, 'e'), "", "four");
    EXPECT_EQ(window.list2, Words{});
    EXPECT_EQ(window.list3, Words{});
    EXPECT_EQ(window.label2, "0");
    EXPECT_EQ(window.label3, "0");
    EXPECT_FALSE(window.message);
}

TEST_F(SolveRunTest, AMissingListChangesNothing) {
    ScratchFile list("rate\r\n");
    solveWith(list.path(), "e", "rta", "4");
    solveWith(ScratchFile::directory() / "missing.txt", "", "", "0");
    expectFailureShown();
    EXPECT_EQ(window.list2, (Words{"rate"}));
    EXPECT_EQ(window.list3, (Words{"rate"}));
    EXPECT_EQ(window.label2, "1");
    EXPECT_EQ(window.label3, "1");
    solveWith(ScratchFile::directory(), "", "", "0");  // a directory is no word list either
    expectFailureShown();
    EXPECT_EQ(window.list2, (Words{"rate"}));
#ifndef _WIN32
    // Nor is a pipe nobody writes to, or a device that never ends: both fail at once.
    const auto fifo = ScratchFile::directory() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    solveWith(fifo, "", "", "0");
    expectFailureShown();
    const auto zero = ScratchFile::directory() / "zero";
    std::filesystem::create_symlink("/dev/zero", zero);
    solveWith(zero, "", "", "0");
    expectFailureShown();
    EXPECT_EQ(window.list2, (Words{"rate"}));
    EXPECT_EQ(window.label2, "1");
#endif
}

TEST_F(SolveRunTest, ABadMinimumFailsAtTheFirstEssentialMatch) {
    ScratchFile list("tax\r\nrate\r\ntree\r\n");
    solveWith(list.path(), "e", "rta", "4");
    // No word contains a Q, so the text is never needed and the run completes.
    solveWith(list.path(), "q", "", "four");
    EXPECT_FALSE(window.message);
    EXPECT_EQ(window.label2, "0");

    solveWith(list.path(), "e", "rta", "4");
    solveWith(list.path(), "e", "rta", "");
    expectFailureShown();
    EXPECT_EQ(window.list2, Words{});  // cleared, and "rate" failed before joining
    EXPECT_EQ(window.label2, "2");     // the last completed run's counts stay
    EXPECT_EQ(window.label3, "1");

    solveWith(list.path(), "e", "rta", "4");  // corrected: a normal run
    EXPECT_FALSE(window.message);
    EXPECT_EQ(window.list2, (Words{"rate", "tree"}));
    EXPECT_EQ(window.list3, (Words{"rate"}));
}

TEST_F(SolveRunTest, TooManyLettersFailWhereTheTableOverflows) {
    ScratchFile list("tax\r\ntree\r\nrate\r\n");
    solveWith(list.path(), "e", "rta", "4");

    // 199 essential letters overflow the first fill, at the first word read.
    solveWith(list.path(), std::string(199, 'e'), "", "4");
    expectFailureShown();
    EXPECT_EQ(window.list2, Words{});
    EXPECT_EQ(window.label2, "2");
    // Even where no line holds the letter: no line is passed over before the fill.
    solveWith(FakeByteSource("tax\r\n"), std::string(199, 'e'), "", "4");
    expectFailureShown();

    // 198 letters in all overflow the second fill, at the first word that passes
    // the essential test, which already stands in List2.
    solveWith(list.path(), "e", std::string(197, 'x'), "4");
    expectFailureShown();
    EXPECT_EQ(window.list2, (Words{"tree"}));
    EXPECT_EQ(window.list3, Words{});
    EXPECT_EQ(window.label2, "2");

    // 197 letters fit.
    solveWith(list.path(), "e", "rta" + std::string(193, 'x'), "4");
    EXPECT_FALSE(window.message);
    EXPECT_EQ(window.list3, (Words{"rate"}));
}

TEST_F(SolveRunTest, AWordShorterThanTheEssentialLettersIsRejected) {
    // "a" holds the letter, but fewer characters than the two essential letters.
    ScratchFile list("a\r\naa\r\nbab\r\n");
    solveWith(list.path(), "aa", "b", "0");
    EXPECT_EQ(window.list2, (Words{"aa", "bab"}));
    EXPECT_EQ(window.list3, (Words{"aa"}));  // the pool has one B
}

TEST_F(SolveRunTest, LinesWithoutTheEssentialLettersArePassedOverAcrossBlocks) {
    // Most lines lack a Q; the ones that hold it stand across the reader's 256 KB
    // blocks, at their edges, and among lines that are not plain ASCII.
    std::string bytes;
    while (bytes.size() < 262'144 - 3) {
        bytes += "tax\r\n";
    }
    bytes.resize(262'144 - 3);
    bytes += "\r\nQuiet\r\n";  // Q is the block's last byte
    while (bytes.size() < 2 * 262'144 - 1) {
        bytes += "re\xCC\x81sume\xCC\x81\r\n";
    }
    bytes.resize(2 * 262'144 - 1);
    bytes += "\nquit\r\n" + std::string(300'000, 'e') + "q\r\n\xE9quipe\r\nquite";
    ScratchFile list(bytes);
    solveWith(list.path(), "q", "uiet", "4");
    const Words expected{"Quiet", "quit", std::string(300'000, 'e') + "q", "\xC3\xA9quipe",
                         "quite"};
    EXPECT_EQ(window.list2, expected);
    EXPECT_EQ(window.list3, (Words{"Quiet", "quit", "quite"}));
    EXPECT_EQ(window.label2, "5");

    // A failure still comes at the first word that passes the essential test.
    solveWith(list.path(), "q", "uiet", "four");
    expectFailureShown();
    EXPECT_EQ(window.list2, Words{});
    solveWith(list.path(), "q", std::string(197, 'u'), "4");
    expectFailureShown();
    EXPECT_EQ(window.list2, (Words{"Quiet"}));
    EXPECT_EQ(window.label2, "5");
}

TEST_F(SolveRunTest, AReadErrorEndsTheRunKeepingWhatItListed) {
    // Lines of 8 bytes, across the reader's first block edge and beyond.
    std::string list;
    for (int i = 0; i < 40'000; ++i) {
        list += "w" + std::to_string(10'000 + i) + "\r\n";
    }
    ASSERT_EQ(list.size(), 320'000u);
    solveWith(FakeByteSource(list), "w", "", "0");
    ASSERT_EQ(window.label2, "40000");

    const std::size_t block = WordListReader::kBlockSize;  // a whole number of lines
    const struct {
        std::size_t failAt;
        std::size_t listed;
    } failures[] = {
        {3, 0}, {block - 3, block / 8 - 1}, {block, block / 8}, {list.size() - 2, 39'999}};
    for (const int error : {EIO, EAGAIN}) {
        for (const auto& failure : failures) {
            solveWith(FakeByteSource(list, {}, failure.failAt, error), "w", "", "0");
            ASSERT_TRUE(window.message) << failure.failAt;
            EXPECT_EQ(window.message->text, "File containing list of words - 'abc.txt' not found.");
            EXPECT_EQ(window.message->cause,
                      "reading the word list: " + std::generic_category().message(error));
            EXPECT_EQ(window.message->runsEndedBefore, window.runsEnded);  // listed, then shown
            EXPECT_EQ(window.list2.size(), failure.listed) << failure.failAt;
            EXPECT_EQ(window.list3.size(), 0u);
            EXPECT_EQ(window.label2, "40000");
        }
    }
    // Failing at the first byte, before anything is read, leaves the lists as they were,
    // as a list that can't be opened does.
    solveWith(FakeByteSource("tree\r\n"), "e", "rte", "0");
    solveWith(FakeByteSource(list, {}, 0), "w", "", "0");
    EXPECT_TRUE(window.message);
    EXPECT_EQ(window.list2, (Words{"tree"}));
    EXPECT_EQ(window.list3, (Words{"tree"}));
}

TEST_F(SolveRunTest, EachFailureSaysItsCauseBesideTheOneMessage) {
    const auto expectCause = [&](const std::string& cause) {
        expectFailureShown();
        if (window.message) {
            EXPECT_EQ(window.message->cause, cause);
        }
    };
    const auto dir = ScratchFile::directory();
    const auto name = [](const std::filesystem::path& path) {
        const std::u8string bytes = path.u8string();
        return std::string(bytes.begin(), bytes.end());
    };
#ifdef _WIN32
    // The system's own words, which differ from one Windows to another.
    const std::string missing = std::system_category().message(2);  // ERROR_FILE_NOT_FOUND
#else
    const std::string missing = "No such file or directory";
#endif
    solveWith(dir / "missing.txt", "e", "", "4");
    expectCause(name(dir / "missing.txt") + ": " + missing);
    solveWith(dir, "e", "", "4");
    expectCause(name(dir) + ": Is a directory");
#ifdef _WIN32
    solveWith("NUL", "e", "", "4");  // a device
    expectCause("NUL: not a regular file");
#else
    std::filesystem::create_symlink("/dev/zero", dir / "zero");
    solveWith(dir / "zero", "e", "", "4");
    expectCause(name(dir / "zero") + ": not a regular file");
#endif
#ifdef __linux__
    // A regular file whose reading fails: the process's own memory, read at 0.
    solveWith("/proc/self/mem", "", "", "0");
    expectCause("/proc/self/mem: Input/output error");
    EXPECT_EQ(window.label2, "");
#endif

    ScratchFile list("tax\r\ntree\r\n");
    solveWith(list.path(), "e", "rt", "four");
    expectCause("the minimum length \"four\" is not a number");
    // A pasted page is quoted by its start, not cut inside a character.
    solveWith(list.path(), "e", "rt", std::string(59, 'x') + "\xC3\xA9" + std::string(5000, 'y'));
    expectCause("the minimum length \"" + std::string(59, 'x') + "\xE2\x80\xA6\" is not a number");
    solveWith(list.path(), std::string(199, 'e'), "", "4");
    expectCause("the letters need slot 201 of the letter table, which ends at slot 200");
    solveWith(list.path(), "e", std::string(197, 'r'), "4");
    expectCause("the letters need slot 201 of the letter table, which ends at slot 200");

    // Memory that runs out on the window's side of the run.
    struct FullWindow : RecordingWindow {
        void append(ResultList, const EntryBatch&) override { throw std::bad_alloc(); }
    };
    FullWindow full;
    full.type("e", "rt", "4");
    solve(full, table, list.path());
    ASSERT_TRUE(full.message);
    EXPECT_EQ(full.message->cause, "out of memory");
}

TEST_F(SolveRunTest, AFinalCrlfSplitBetweenReadsAddsNoWord) {
    // With nothing to pass over, every line is listed, an empty one too.
    const std::string list = "ab\r\n\r\ncd\r\n";
    for (std::size_t piece = 1; piece <= list.size(); ++piece) {
        solveWith(FakeByteSource(list, {piece}), "", "", "0");
        EXPECT_EQ(window.list2, (Words{"ab", "", "cd"})) << piece;
        EXPECT_EQ(window.label3, "1") << piece;
    }
}

TEST_F(SolveRunTest, ALineOfOtherLettersThatUpperCaseToTheEssentialOneIsListed) {
    // The long s upper-cases to S, so the line is read although it holds no S byte.
    solveWith(FakeByteSource("tax\r\n\xC5\xBFtar\r\nstar\r\n"), "s", "tar", "4");
    EXPECT_EQ(window.list2, (Words{"\xC5\xBFtar", "star"}));
    EXPECT_EQ(window.list3, (Words{"\xC5\xBFtar", "star"}));
    // And typed, it is an S that plain ASCII lines hold.
    solveWith(FakeByteSource("tax\r\nstar\r\nSTARS\r\n"), "\xC5\xBF", "tar", "4");
    EXPECT_EQ(window.list2, (Words{"star", "STARS"}));
    EXPECT_EQ(window.list3, (Words{"star"}));
}

TEST_F(SolveRunTest, TheMinimumTakesTheUsersDecimalSeparator) {
    window.separator = U',';
    solveWith(FakeByteSource("tea\r\nteam\r\nteams\r\n"), "t", "eams", "4,9");
    EXPECT_FALSE(window.message);
    EXPECT_EQ(window.list2, (Words{"team", "teams"}));
}

TEST_F(SolveRunTest, TheWindowHearsTheRunHasEndedBeforeAnyMessage) {
    ScratchFile list("rate\r\n");
    solveWith(list.path(), "e", "rta", "4");
    EXPECT_EQ(window.runsEnded, 1);
    solveWith(list.path(), "e", "rta", "four");
    ASSERT_TRUE(window.message);
    EXPECT_EQ(window.message->runsEndedBefore, 2);
    EXPECT_EQ(window.runsEnded, 2);
}

TEST(SolveRun, NothingEscapesWhenTheMessageCannotBeShown) {
    // A window side that runs out of memory while showing the message.
    struct FailingWindow : RecordingWindow {
        void showMessage(std::string_view, std::string_view, std::string_view) override {
            throw std::bad_alloc();
        }
    };
    ScratchFile list("rate\r\ntree\r\n");
    FailingWindow window;
    LetterTable table;
    window.type("e", std::string(197, 'x'), "4");
    solve(window, table, list.path());  // noexcept: a throw would end the test program
    EXPECT_EQ(window.list2, (Words{"rate"}));
    EXPECT_EQ(window.runsEnded, 1);

    // Nor when it cannot show what was listed; the message still shows.
    struct BlindWindow : RecordingWindow {
        void runEnded() override { throw std::bad_alloc(); }
    };
    BlindWindow blind;
    blind.type("e", std::string(197, 'x'), "4");
    solve(blind, table, list.path());
    EXPECT_TRUE(blind.message);
}

TEST_F(SolveRunTest, FindsTheSolutionsOfAQPuzzleInAListAsDictionariesAre) {
    // Capitals, accents in UTF-8, possessives and a CRLF file, as word lists come.
    ScratchFile list(
        "Albuquerque\r\naqua\r\nequip\r\nEquity\r\nQuito\r\nqu\xC3\xA9\r\nquiet\r\nquiet's\r\n"
        "quit\r\nquite\r\nquits\r\nQ\r\nsuit\r\ntequila\r\n\xC3\x89tude\r\n\xC3\xA9t\xC3\xA9\r\n");
    solveWith(list.path(), "q", "uiet", "4");
    EXPECT_EQ(window.list2, (Words{"Albuquerque", "aqua", "equip", "Equity", "Quito", "quiet",
                                   "quiet's", "quit", "quite", "quits", "tequila"}));
    EXPECT_EQ(window.list3, (Words{"quiet", "quit", "quite"}));
    EXPECT_EQ(window.label2, "11");
    EXPECT_EQ(window.label3, "3");

    solveWith(list.path(), "\xC3\x89", "t", "3");  // É matches é
    EXPECT_EQ(window.list2, (Words{"qu\xC3\xA9", "\xC3\x89tude", "\xC3\xA9t\xC3\xA9"}));
    EXPECT_EQ(window.list3, Words{});  // two É's, the pool has one
}

TEST_F(SolveRunTest, LengthsAreCountedInCharactersNotBytes) {
    // é takes two bytes. Against the essential letters É and É, "é" is one character,
    // too short for both; "éé" is as long as the pool of two, and "ééé" longer.
    const FakeByteSource list("\xC3\xA9\r\n\xC3\xA9\xC3\xA9\r\n\xC3\xA9\xC3\xA9\xC3\xA9\r\n");
    solveWith(list, "\xC3\xA9\xC3\xA9", "", "0");
    EXPECT_EQ(window.list2, (Words{"\xC3\xA9\xC3\xA9", "\xC3\xA9\xC3\xA9\xC3\xA9"}));
    EXPECT_EQ(window.list3, (Words{"\xC3\xA9\xC3\xA9"}));
    EXPECT_EQ(window.label2, "2");
    // The minimum of 3 counts characters too: "éé" is two, not four.
    solveWith(list, "\xC3\xA9", "\xC3\xA9\xC3\xA9", "3");
    EXPECT_EQ(window.list2, (Words{"\xC3\xA9\xC3\xA9\xC3\xA9"}));
    EXPECT_EQ(window.list3, (Words{"\xC3\xA9\xC3\xA9\xC3\xA9"}));
}

}  // namespace
