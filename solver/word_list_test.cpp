#include "word_list.h"

#include "fake_byte_source.h"
#include "plain_lines.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Every line read from `bytes`, `blockSize` bytes read at a time at most, handed out
// by the source in pieces of the sizes `pieces` gives: the first line by no rule,
// then the n-th by the rule `rules[(n - 2) % rules.size()]`, a line at a time; with
// one rule, all the lines after the first by it, as many at a time as the reader
// hands out.
std::vector<std::string> readPassingOver(std::string_view bytes,
                                         const std::vector<WordListReader::LinesToPassOver>& rules,
                                         std::size_t blockSize,
                                         std::vector<std::size_t> pieces = {}) {
    WordListReader reader(std::make_unique<FakeByteSource>(std::string(bytes), std::move(pieces)),
                          blockSize);
    std::vector<std::string> lines;
    const std::size_t most = rules.size() == 1 ? WordListReader::kLinesAtOnce : 1;
    for (auto batch = reader.readLines({}, 1); !batch.empty();
         batch = reader.readLines(rules[(lines.size() - 1) % rules.size()], most)) {
        for (const WordListReader::Line& line : batch) {
            lines.emplace_back(line.text);
        }
    }
    return lines;
}

std::vector<std::string> readPassingOver(std::string_view bytes,
                                         const WordListReader::LinesToPassOver& passOver,
                                         std::size_t blockSize,
                                         std::vector<std::size_t> pieces = {}) {
    return readPassingOver(bytes, std::vector{passOver}, blockSize, std::move(pieces));
}

// Every line of `bytes`, none passed over.
std::vector<std::string> readAll(const std::string& bytes, std::size_t blockSize,
                                 std::vector<std::size_t> pieces = {}) {
    return readPassingOver(bytes, WordListReader::LinesToPassOver{}, blockSize, std::move(pieces));
}

std::vector<std::string> readAll(const std::string& bytes) {
    return readAll(bytes, WordListReader::kBlockSize);
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
    for (const std::size_t blockSize : {1u, 2u, 3u, 63u, 64u, 65u, 4096u}) {
        EXPECT_EQ(readAll("ab\r\ncd\ref\n\n" + std::string(200, 'g'), blockSize),
                  (Lines{"ab", "cd", "ef", "", std::string(200, 'g')}))
            << blockSize;
        const std::string first(blockSize - 1, 'a');
        EXPECT_EQ(readAll(first + "\r\nb", blockSize), (Lines{first, "b"})) << blockSize;
        EXPECT_EQ(readAll(first + "\r", blockSize), (Lines{first})) << blockSize;
    }
}

TEST(WordListReader, ShortReadsOfEverySizeGiveTheSameLines) {
    // Every kind of line end, at every place relative to the edges of what one read
    // hands out, and a final CRLF split across the last two reads.
    const std::string list = "ab\r\ncd\ref\n\n\r\r\n" + std::string(150, 'g') + "\r\nh\r\n";
    const Lines expected{"ab", "cd", "ef", "", "", "", std::string(150, 'g'), "h"};
    for (std::size_t piece = 1; piece <= list.size(); ++piece) {
        EXPECT_EQ(readAll(list, WordListReader::kBlockSize, {piece}), expected) << piece;
        EXPECT_EQ(readAll(list, 64, {piece}), expected) << piece;
    }
    EXPECT_EQ(readAll(list, 100, {7, 1, 64, 2, 3}), expected);
    // The last line needs no terminator, at any piece size.
    for (std::size_t piece = 1; piece <= 4; ++piece) {
        EXPECT_EQ(readAll("ab\r\ncd", 2, {piece}), (Lines{"ab", "cd"})) << piece;
        EXPECT_EQ(readAll("ab\r", 2, {piece}), (Lines{"ab"})) << piece;
    }
}

std::vector<std::string> readSkipping(std::string_view bytes, std::optional<BytePair> wanted,
                                      std::size_t blockSize) {
    return readPassingOver(bytes, {true, wanted, 0}, blockSize);
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
    for (const std::size_t blockSize : {1u, 2u, 3u, 7u, 63u, 64u, 65u, 4096u}) {
        EXPECT_EQ(readSkipping(list, q, blockSize), expected) << blockSize;
    }
    // A line without it that runs to the end, or past several blocks, is passed over.
    for (const std::size_t blockSize : {1u, 5u, 64u, 4096u}) {
        EXPECT_EQ(readSkipping("a\r\n" + std::string(300, 'b') + "\r\nq\r\nc", q, blockSize),
                  (Lines{"a", "q"}))
            << blockSize;
        EXPECT_EQ(readSkipping("a\r\nb\r", q, blockSize), (Lines{"a"})) << blockSize;
    }
    // With no letter looked for, only the lines with bytes above 0x7F are read; a CR or
    // LF looked for is no byte of any line.
    EXPECT_EQ(readSkipping("a\nb\nc\xE9\nd\n", std::nullopt, 2), (Lines{"a", "c\xE9"}));
    EXPECT_EQ(readSkipping("a\r\nb\r\nc\r\n", BytePair{'\n', '\r'}, 1), (Lines{"a"}));
    EXPECT_EQ(readSkipping("a\r\nb\r\nc\rd\n", BytePair{'\r', '\r'}, 64), (Lines{"a"}));
    EXPECT_EQ(readSkipping("a\r\nb\r\nc\r\n", BytePair{'\r', 'c'}, 64), (Lines{"a", "c"}));
    // A NUL looked for is found in a line, never in the reader's padding.
    EXPECT_EQ(readSkipping(std::string("a\nb\0\nc", 6), BytePair{0, 0}, 4),
              (Lines{"a", std::string("b\0", 2)}));
}

TEST(WordListReader, PassesOverShortLinesAtAnyBlockSize) {
    const std::string list = "first\r\nab\r\nabc\r\n\r\nxq\nabcd\rq" + std::string(100, 'q') +
                             "\r\n\xC3\xA9\xC3\xA9\r\nab";
    for (const std::size_t blockSize : {1u, 2u, 5u, 64u, 4096u}) {
        // Lines of fewer than 3 bytes; a line of 2 characters in 4 bytes is kept.
        EXPECT_EQ(readPassingOver(list, {false, std::nullopt, 3}, blockSize),
                  (Lines{"first", "abc", "abcd", "q" + std::string(100, 'q'), "\xC3\xA9\xC3\xA9"}))
            << blockSize;
        // Both at once: only lines of 3 bytes or more that hold a Q.
        EXPECT_EQ(readPassingOver(list, {true, BytePair{'Q', 'q'}, 3}, blockSize),
                  (Lines{"first", "q" + std::string(100, 'q'), "\xC3\xA9\xC3\xA9"}))
            << blockSize;
        EXPECT_EQ(readPassingOver(list, {false, std::nullopt, 1000}, blockSize), (Lines{"first"}))
            << blockSize;
    }
}

TEST(WordListReader, PassesOverLinesShorterOrLongerThanAChunkWhereverChunksBegin) {
    const std::string a63(63, 'a');
    const std::string b64(64, 'b');
    const std::string c65(65, 'c');
    const std::string d130(130, 'd');
    const std::string e10(10, 'e');
    const std::string f64(64, 'f');
    const std::string lines =
        a63 + "\r\n" + b64 + "\n" + c65 + "\r" + d130 + "\r\n" + e10 + "\r\n\r\n" + f64;
    const BytePair d{'D', 'd'};
    // The first line moves the others across the edges of the reader's chunks.
    for (std::size_t shift = 0; shift < 70; ++shift) {
        const std::string first(shift, 'x');
        std::string list = first;
        list += "\r\n";
        list += lines;
        for (const std::size_t blockSize : {7u, 64u, 4096u}) {
            EXPECT_EQ(readPassingOver(list, {false, std::nullopt, 64}, blockSize),
                      (Lines{first, b64, c65, d130, f64}))
                << shift << " " << blockSize;
            EXPECT_EQ(readPassingOver(list, {false, std::nullopt, 65}, blockSize),
                      (Lines{first, c65, d130}))
                << shift << " " << blockSize;
            EXPECT_EQ(readPassingOver(list, {false, std::nullopt, 131}, blockSize), (Lines{first}))
                << shift << " " << blockSize;
            EXPECT_EQ(readPassingOver(list, {false, std::nullopt, 10}, blockSize),
                      (Lines{first, a63, b64, c65, d130, e10, f64}))
                << shift << " " << blockSize;
            // Both rules: the letter, in a line long enough.
            EXPECT_EQ(readPassingOver(list, {true, d, 130}, blockSize), (Lines{first, d130}))
                << shift << " " << blockSize;
            EXPECT_EQ(readPassingOver(list, {true, BytePair{'f', 'f'}, 64}, blockSize),
                      (Lines{first, f64}))
                << shift << " " << blockSize;
            EXPECT_EQ(readPassingOver(list, {true, BytePair{'e', 'e'}, 11}, blockSize),
                      (Lines{first}))
                << shift << " " << blockSize;
        }
    }
}

// A list of about `size` bytes: mostly short lines, some longer than a chunk, a few
// empty, ending in CR, CRLF or LF at random, the last one now and then without; of
// the bytes a to e, with here and there a Q or q, a byte above 0x7F or a NUL.
std::string generatedList(std::mt19937& random, std::size_t size) {
    std::uniform_int_distribution<int> percent(0, 99);
    std::string list;
    while (list.size() < size) {
        const int kind = percent(random);
        const auto length = static_cast<std::size_t>(kind < 5    ? 0
                                                     : kind < 65 ? percent(random) % 12
                                                     : kind < 90 ? 12 + percent(random) % 60
                                                                 : 72 + percent(random) * 2);
        for (std::size_t i = 0; i < length; ++i) {
            const int pick = percent(random);
            list += pick < 2   ? 'q'
                    : pick < 3 ? 'Q'
                    : pick < 5 ? '\xE9'
                    : pick < 6 ? '\0'
                               : static_cast<char>('a' + pick % 5);
        }
        const int end = percent(random);
        list += end < 33 ? "\r" : end < 66 ? "\r\n" : "\n";
    }
    if (percent(random) < 50) {
        list.pop_back();
    }
    return list;
}

TEST(WordListReader, KeepsWhatAPlainSplitKeepsOverGeneratedLists) {
    // Seeded lists read a few bytes or a block at a time, so that lines lie across the
    // edges of reads and of the reader's 64-byte chunks; the long ones read whole,
    // across the runs of chunks whose masks are worked out together. Under each rule
    // the lines read are those that a plain split keeps.
    const BytePair q{'Q', 'q'};
    // Each rule, with the lines it passes over.
    const std::vector<WordListReader::LinesToPassOver> rules{
        {true, q, 0},               // ASCII lines without a Q
        {true, std::nullopt, 0},    // every ASCII line
        {true, BytePair{0, 0}, 0},  // ASCII lines without a NUL
        {false, std::nullopt, 5},   // lines of under 5 bytes
        {false, std::nullopt, 70},  // lines of under 70 bytes, more than a chunk
        {true, q, 4},               // both rules
        {true, q, 65},
    };
    std::mt19937 random(1234);
    std::uniform_int_distribution<std::size_t> smallBlock(1, 200);
    for (int round = 0; round < 150; ++round) {
        const bool isLong = round % 15 == 0;
        const std::string list = generatedList(random, isLong ? 200'000 : 2'000);
        const std::vector<std::size_t> blockSizes =
            isLong ? std::vector<std::size_t>{WordListReader::kBlockSize, 4096}
                   : std::vector<std::size_t>{smallBlock(random), 64, 4096};
        for (std::size_t rule = 0; rule < rules.size(); ++rule) {
            const std::vector<std::string> expected = linesKept(list, rules[rule]);
            for (const std::size_t blockSize : blockSizes) {
                EXPECT_EQ(readPassingOver(list, rules[rule], blockSize), expected)
                    << "round " << round << ", rule " << rule << ", block " << blockSize;
            }
            EXPECT_EQ(readPassingOver(list, rules[rule], WordListReader::kBlockSize,
                                      {smallBlock(random), smallBlock(random)}),
                      expected)
                << "round " << round << ", rule " << rule << " in pieces";
        }
        // Rules that change from line to line, and from one handful of lines to the
        // next, each taking up none of what the last one found: each line read is
        // the next one of the plain split that its rule does not name.
        const std::vector<WordListReader::LinesToPassOver> changing{
            rules[0], rules[2], rules[3], rules[1], rules[6], rules[5], rules[0], rules[4]};
        EXPECT_EQ(readPassingOver(list, changing, blockSizes.back()), linesKept(list, changing))
            << "round " << round << ", rules changing";
        const std::vector<std::string> split = splitLines(list);
        WordListReader reader(std::make_unique<FakeByteSource>(list), blockSizes.front());
        std::size_t next = 0;
        for (std::size_t call = 0;; ++call) {
            const WordListReader::LinesToPassOver& rule = changing[call % changing.size()];
            const auto lines = reader.readLines(rule, 1 + call % 7);
            const auto passOver = [&] {
                while (next < split.size() && namedBy(rule, split[next])) {
                    ++next;
                }
            };
            for (const WordListReader::Line& line : lines) {
                passOver();
                ASSERT_LT(next, split.size()) << "round " << round << ", call " << call;
                ASSERT_EQ(line.text, split[next]) << "round " << round << ", call " << call;
                ++next;
            }
            if (lines.empty()) {
                passOver();
                EXPECT_EQ(next, split.size()) << "round " << round;
                break;
            }
        }
    }
}

TEST(WordListReader, KnowsWhichLinesArePlainAscii) {
    const std::string list = "ab\r\nc\xC3\xA9\r\n" + std::string(100, 'd') + "\x80\r\ne";
    for (const std::size_t blockSize : {1u, 64u, 4096u}) {
        WordListReader reader(std::make_unique<FakeByteSource>(list), blockSize);
        std::vector<bool> ascii;
        for (auto lines = reader.readLines({}); !lines.empty(); lines = reader.readLines({})) {
            for (const WordListReader::Line& line : lines) {
                ascii.push_back(line.ascii);
            }
        }
        EXPECT_EQ(ascii, (std::vector<bool>{true, false, false, true})) << blockSize;
    }
}

TEST(WordListReader, ReadsTheListInWholeBlocks) {
    // A megabyte of short lines: each read asks for a block, less at most the part
    // of a line that the last one left over, so a few reads take the whole list.
    std::string list;
    while (list.size() < 1'000'000) {
        list += "word\r\n";
    }
    auto source = std::make_unique<FakeByteSource>(list);
    std::vector<std::size_t> requests;
    source->recordRequestsIn(requests);
    WordListReader reader(std::move(source));
    std::size_t lines = 0;
    for (auto batch = reader.readLines({}); !batch.empty(); batch = reader.readLines({})) {
        lines += batch.size();
    }
    EXPECT_EQ(lines, list.size() / 6);
    EXPECT_LE(requests.size(), list.size() / (WordListReader::kBlockSize - 6) + 2);
    for (const std::size_t size : requests) {
        EXPECT_GE(size, WordListReader::kBlockSize - 6);
    }
}

}  // namespace
