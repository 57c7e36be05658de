#include "word_list.h"

#include "scratch_file.h"
#include "solve_failure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> readAll(std::string_view bytes) {
    ScratchFile file(bytes);
    WordListReader reader(file.path());
    std::vector<std::string> lines;
    while (!reader.atEnd()) {
        lines.emplace_back(reader.readLine());
    }
    return lines;
}

using Lines = std::vector<std::string>;

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
    // Long lines, and a CRLF split between two blocks of the reader, at any block size
    // up to a few MB.
    const std::string longLine(3'000'000, 'x');
    EXPECT_EQ(readAll(longLine + "\r\nend"), (Lines{longLine, "end"}));
    EXPECT_EQ(readAll(longLine), (Lines{longLine}));
    for (std::size_t block : {4096u, 65536u, 262144u, 1048576u}) {
        const std::string first(block - 1, 'a');
        EXPECT_EQ(readAll(first + "\r\nb"), (Lines{first, "b"})) << block;
        EXPECT_EQ(readAll(first + "\r"), (Lines{first})) << block;
    }
}

TEST(WordListReader, AMissingOrUnreadableListFailsToOpen) {
    const auto dir = ScratchFile::directory();
    std::filesystem::create_directories(dir);
    EXPECT_THROW(WordListReader(dir / "no-such-list.txt"), SolveFailure);
    std::filesystem::create_directory(dir / "a-directory");
    EXPECT_THROW(WordListReader(dir / "a-directory"), SolveFailure);
}

}  // namespace
