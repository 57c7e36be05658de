#include "word_list_file.h"

#include "scratch_file.h"
#include "solve_failure.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
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

TEST(WordListFile, AListInAFolderNamedInAnyScriptIsRead) {
    // Neither name fits a Western code page whole: only the wide name finds them.
    const auto folder = ScratchFile::directory() / std::filesystem::path(u8"Łukasz") / u8"Zoë";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / u8"abc.txt", std::ios::binary) << "Zoë\r\n";
    WordListFile file(folder / u8"abc.txt");
    EXPECT_EQ(readAll(file), "Zoë\r\n");
}

#ifdef _WIN32
TEST(WordListFile, AListThatAnotherProgramLocksFailsInTheSystemsWords) {
    ScratchFile list("word\r\n", "locked.txt");
    const HANDLE lock = ::CreateFileW(list.path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::u8string name = list.path().u8string();
    try {
        WordListFile file(list.path());
        ADD_FAILURE() << "a locked list was opened";
    } catch (const SolveFailure& failure) {
        EXPECT_EQ(failure.what(), std::string(name.begin(), name.end()) + ": " +
                                      std::system_category().message(ERROR_SHARING_VIOLATION));
    }
    ::CloseHandle(lock);
    {
        WordListFile file(list.path());  // and once it is let go, it is read
        EXPECT_EQ(readAll(file), "word\r\n");
    }
    // An editor that has it open for writing, and lets others read and write it,
    // keeps it; the list is read all the same.
    const HANDLE editor =
        ::CreateFileW(list.path().c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(editor, INVALID_HANDLE_VALUE);
    {
        WordListFile file(list.path());
        EXPECT_EQ(readAll(file), "word\r\n");
    }
    ::CloseHandle(editor);
}
#endif

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
