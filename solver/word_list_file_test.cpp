#include "word_list_file.h"

#include "scratch_file.h"
#include "solve_failure.h"

#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

std::string readAll(WordListFile& file) {
    std::string bytes;
    char block[4];
    for (std::size_t count; (count = file.read(block, sizeof block)) > 0;) {
        bytes.append(block, count);
    }
    return bytes;
}

TEST(WordListFile, AMissingListOrADirectoryFailsToOpen) {
    const auto dir = ScratchFile::directory();
    EXPECT_THROW(WordListFile(dir / "no-such-list.txt"), SolveFailure);
    std::filesystem::create_directory(dir / "a-directory");
    EXPECT_THROW(WordListFile(dir / "a-directory"), SolveFailure);
}

#ifndef _WIN32
TEST(WordListFile, OnlyARegularFileIsAWordList) {
    // A pipe nobody writes to, and devices that never end, fail at once; a link to a
    // regular file is read, to its end.
    const auto dir = ScratchFile::directory();
    const auto fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(WordListFile{fifo}, SolveFailure);
    for (const std::string device : {"/dev/zero", "/dev/urandom", "/dev/null"}) {
        const auto link = dir / device.substr(5);
        std::filesystem::create_symlink(device, link);
        EXPECT_THROW(WordListFile{link}, SolveFailure) << device;
    }
    ScratchFile list("word\r\nlist", "list.txt");
    const auto link = dir / "link";
    std::filesystem::create_symlink(list.path(), link);
    WordListFile file(link);
    EXPECT_EQ(readAll(file), "word\r\nlist");
}
#endif

}  // namespace
