#include "word_list.h"

#include "scratch_file.h"
#include "solve_failure.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using Lines = std::vector<std::string>;

std::vector<std::string> readAll(std::string_view bytes,
                                 std::size_t readSize = WordListReader::kReadSize) {
    ScratchFile file(bytes);
    WordListReader reader(file.path(), readSize);
    std::vector<std::string> lines;
    while (!reader.atEnd()) {
        lines.emplace_back(reader.readLine());
    }
    return lines;
}

TEST(WordListReader, LinesEndAtCrCrlfOrLf) {
    EXPECT_EQ(readAll("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(readAll("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(readAll("a\n"), (Lines{"a"}));
    EXPECT_EQ(readAll("a\r"), (Lines{"a"}));
    EXPECT_EQ(readAll("a\r\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(readAll("a\n\r"), (Lines{"a", ""}));  // LF then a lone CR
    EXPECT_EQ(readAll("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(readAll(""), Lines{});
}

TEST(WordListReader, NothingButTheTerminatorIsRemoved) {
    EXPECT_EQ(readAll(" to be \t\r\n"), (Lines{" to be \t"}));
    EXPECT_EQ(readAll(std::string("a\0b\r\n", 5)), (Lines{std::string("a\0b", 3)}));
    EXPECT_EQ(readAll("\xEF\xBB\xBFword\r\n"), (Lines{"\xEF\xBB\xBFword"}));
}

TEST(WordListReader, LinesAcrossReadBlocks) {
    // Lines far longer than a block, and a CRLF split between two blocks.
    const std::string longLine(3'000'000, 'x');
    EXPECT_EQ(readAll(longLine + "\r\nend"), (Lines{longLine, "end"}));
    EXPECT_EQ(readAll(longLine), (Lines{longLine}));
    for (const std::size_t readSize : {1u, 2u, 3u, 63u, 64u, 65u, 4096u}) {
        EXPECT_EQ(readAll("ab\r\ncd\ref\n\n" + std::string(200, 'g'), readSize),
                  (Lines{"ab", "cd", "ef", "", std::string(200, 'g')}))
            << readSize;
        const std::string first(readSize - 1, 'a');
        EXPECT_EQ(readAll(first + "\r\nb", readSize), (Lines{first, "b"})) << readSize;
        EXPECT_EQ(readAll(first + "\r", readSize), (Lines{first})) << readSize;
    }
}

TEST(WordListReader, AMissingOrUnreadableListFailsToOpen) {
    const auto dir = ScratchFile::directory();
    std::filesystem::create_directories(dir);
    EXPECT_THROW(WordListReader(dir / "no-such-list.txt"), SolveFailure);
    std::filesystem::create_directory(dir / "a-directory");
    EXPECT_THROW(WordListReader(dir / "a-directory"), SolveFailure);
}

// Every line read, when the lines named by `passOver` are passed over after each
// line, `readSize` bytes read at a time.
std::vector<std::string> readPassingOver(std::string_view bytes,
                                         const WordListReader::LinesToPassOver& passOver,
                                         std::size_t readSize) {
    ScratchFile file(bytes);
    WordListReader reader(file.path(), readSize);
    std::vector<std::string> lines;
    while (!reader.atEnd()) {
        lines.emplace_back(reader.readLine());
        reader.passOver(passOver);
    }
    return lines;
}

std::vector<std::string> readSkipping(std::string_view bytes, std::optional<BytePair> wanted,
                                      std::size_t readSize) {
    return readPassingOver(bytes, {true, wanted, 0}, readSize);
}

TEST(WordListReader, PassesOverTheLinesWithoutTheLetterAtAnyBlockSize) {
    const BytePair q{'Q', 'q'};
    // The first line is always read; after it, only lines holding Q or q, or a byte
    // above 0x7F, wherever they start and end relative to the reader's blocks.
    const std::string list = "first\r\nab\r\nqa\r\nxyz\r\nbbQ\rcc\n" + std::string(150, 'x') + "q" +
                             std::string(150, 'y') + "\r\nd\xC3\xA9j\xC3\xA0\r\nzz\r\n\r\nq";
    const Lines expected{"first",
                         "qa",
                         "bbQ",
                         std::string(150, 'x') + "q" + std::string(150, 'y'),
                         "d\xC3\xA9j\xC3\xA0",
                         "q"};
    for (const std::size_t readSize : {1u, 2u, 3u, 7u, 63u, 64u, 65u, 4096u}) {
        EXPECT_EQ(readSkipping(list, q, readSize), expected) << readSize;
    }
    // A line without it that runs to the end, or past several blocks, is passed over.
    for (const std::size_t readSize : {1u, 5u, 64u, 4096u}) {
        EXPECT_EQ(readSkipping("a\r\n" + std::string(300, 'b') + "\r\nq\r\nc", q, readSize),
                  (Lines{"a", "q"}))
            << readSize;
        EXPECT_EQ(readSkipping("a\r\nb\r", q, readSize), (Lines{"a"})) << readSize;
    }
    // With no letter looked for, only the lines with bytes above 0x7F are read; a CR or
    // LF looked for is no byte of any line.
    EXPECT_EQ(readSkipping("a\nb\nc\xE9\nd\n", std::nullopt, 2), (Lines{"a", "c\xE9"}));
    EXPECT_EQ(readSkipping("a\r\nb\r\nc\r\n", BytePair{'\n', '\r'}, 1), (Lines{"a"}));
    // A NUL looked for is found in a line, never in the reader's padding.
    EXPECT_EQ(readSkipping(std::string("a\nb\0\nc", 6), BytePair{0, 0}, 4),
              (Lines{"a", std::string("b\0", 2)}));
}

TEST(WordListReader, PassesOverShortLinesAtAnyBlockSize) {
    const std::string list = "first\r\nab\r\nabc\r\n\r\nxq\nabcd\rq" + std::string(100, 'q') +
                             "\r\n\xC3\xA9\xC3\xA9\r\nab";
    for (const std::size_t readSize : {1u, 2u, 5u, 64u, 4096u}) {
        // Lines of fewer than 3 bytes; a line of 2 characters in 4 bytes is kept.
        EXPECT_EQ(readPassingOver(list, {false, std::nullopt, 3}, readSize),
                  (Lines{"first", "abc", "abcd", "q" + std::string(100, 'q'), "\xC3\xA9\xC3\xA9"}))
            << readSize;
        // Both at once: only lines of 3 bytes or more that hold a Q.
        EXPECT_EQ(readPassingOver(list, {true, BytePair{'Q', 'q'}, 3}, readSize),
                  (Lines{"first", "q" + std::string(100, 'q'), "\xC3\xA9\xC3\xA9"}))
            << readSize;
        EXPECT_EQ(readPassingOver(list, {false, std::nullopt, 1000}, readSize), (Lines{"first"}))
            << readSize;
    }
}

TEST(WordListReader, KnowsWhichLinesArePlainAscii) {
    ScratchFile file("ab\r\nc\xC3\xA9\r\n" + std::string(100, 'd') + "\x80\r\ne");
    for (const std::size_t readSize : {1u, 64u, 4096u}) {
        WordListReader reader(file.path(), readSize);
        std::vector<bool> ascii;
        while (!reader.atEnd()) {
            reader.readLine();
            ascii.push_back(reader.lineIsAscii());
        }
        EXPECT_EQ(ascii, (std::vector<bool>{true, false, false, true})) << readSize;
    }
}

#ifndef _WIN32
TEST(WordListReader, OnlyARegularFileIsAWordList) {
    // A pipe nobody writes to, and devices that never end, fail at once; a link to a
    // regular file is read.
    const auto dir = ScratchFile::directory();
    std::filesystem::create_directories(dir);
    const auto fifo = dir / "fifo";
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(WordListReader{fifo}, SolveFailure);
    std::filesystem::remove(fifo);
    for (const char* device : {"/dev/zero", "/dev/urandom", "/dev/null"}) {
        const auto link = dir / "device";
        std::filesystem::remove(link);
        std::filesystem::create_symlink(device, link);
        EXPECT_THROW(WordListReader{link}, SolveFailure) << device;
    }
    ScratchFile list("word\r\n", "list.txt");
    const auto link = dir / "link";
    std::filesystem::remove(link);
    std::filesystem::create_symlink(list.path(), link);
    WordListReader reader(link);
    ASSERT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.readLine(), "word");
}
#endif

}  // namespace
