// What the word list file does when the system interrupts or fails its reads. The
// test program is linked with --wrap=read, so that every read() of the file passes
// through __wrap_read below, which interrupts or fails it on demand.

#include "word_list_file.h"

#include "letter_table.h"
#include "recording_window.h"
#include "scratch_file.h"
#include "solve_failure.h"
#include "solve_run.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace {

int interruptionsLeft = 0;  // reads to interrupt before the next one goes through
int failWith = 0;           // when not 0, every read fails with this error
int readsInterrupted = 0;

}  // namespace

// NOLINTBEGIN(bugprone-reserved-identifier): the names the linker's --wrap gives.
extern "C" ssize_t __real_read(int fd, void* bytes, std::size_t size);

extern "C" ssize_t __wrap_read(int fd, void* bytes, std::size_t size) {
    if (interruptionsLeft > 0) {
        --interruptionsLeft;
        ++readsInterrupted;
        errno = EINTR;
        return -1;
    }
    if (failWith != 0) {
        errno = failWith;
        return -1;
    }
    return __real_read(fd, bytes, size);
}
// NOLINTEND(bugprone-reserved-identifier)

namespace {

class WordListFileReadTest : public testing::Test {
protected:
    ~WordListFileReadTest() override {
        interruptionsLeft = 0;
        failWith = 0;
        readsInterrupted = 0;
    }
};

TEST_F(WordListFileReadTest, AnInterruptedReadIsTriedAgain) {
    ScratchFile list("rate\r\ntree\r\ntax\r\n");
    WordListFile file(list.path());
    interruptionsLeft = 3;
    char bytes[64];
    EXPECT_EQ(file.read(bytes, sizeof bytes), 17u);
    EXPECT_EQ(std::string(bytes, 17), "rate\r\ntree\r\ntax\r\n");
    EXPECT_EQ(readsInterrupted, 3);

    // A whole run whose every read is first interrupted lists what it always does.
    RecordingWindow window;
    LetterTable table;
    window.type("e", "rta", "4");
    interruptionsLeft = 1'000;
    solve(window, table, list.path());
    EXPECT_FALSE(window.message);
    EXPECT_EQ(window.list2, (std::vector<std::string>{"rate", "tree"}));
    EXPECT_EQ(window.list3, (std::vector<std::string>{"rate"}));
    EXPECT_GT(readsInterrupted, 3);
}

TEST_F(WordListFileReadTest, AFailedReadSaysWhyAndIsNoEndOfTheList) {
    ScratchFile list("rate\r\ntree\r\n");
    for (const int error : {EIO, EAGAIN, ENOMEM}) {
        WordListFile file(list.path());
        failWith = error;
        char bytes[64];
        try {
            file.read(bytes, sizeof bytes);
            ADD_FAILURE() << "a read that failed with " << error << " returned";
        } catch (const SolveFailure& failure) {
            EXPECT_EQ(failure.what(),
                      list.path().string() + ": " + std::generic_category().message(error));
        }
        failWith = 0;
    }
    // In a run, the failure is the run's: the message, the earlier lists kept.
    RecordingWindow window;
    LetterTable table;
    window.type("e", "rta", "4");
    solve(window, table, list.path());
    ASSERT_EQ(window.label2, "2");
    failWith = EIO;
    solve(window, table, list.path());
    ASSERT_TRUE(window.message);
    EXPECT_EQ(window.message->cause, list.path().string() + ": Input/output error");
    EXPECT_EQ(window.list2, (std::vector<std::string>{"rate", "tree"}));
}

}  // namespace
