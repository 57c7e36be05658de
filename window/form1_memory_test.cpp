// Running out of memory in the middle of a run. This program counts what operator
// new holds with glibc's malloc_usable_size, so it is built only where that exists.

#include "form1_fixture.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>

// Allocation failure on demand, as when memory runs out: while a limit is set, an
// allocation through operator new fails once the bytes it holds would pass it, and
// from then on the limit lies a megabyte lower, as when what is freed in small
// pieces is taken at once by others.
namespace memory {
std::atomic<std::size_t> held{0};
std::atomic<std::size_t> limit{std::numeric_limits<std::size_t>::max()};
constexpr std::size_t kTakenByOthers = std::size_t{1024} * 1024;
}  // namespace memory

void* operator new(std::size_t size) {
    if (memory::held.load() + size > memory::limit.load()) {
        memory::limit =
            std::min(memory::limit.load(), memory::held.load() - memory::kTakenByOthers);
        throw std::bad_alloc();
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    memory::held += malloc_usable_size(block);
    return block;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void operator delete(void* block) noexcept {
    if (block != nullptr) {
        memory::held -= malloc_usable_size(block);
        std::free(block);
    }
}
void operator delete[](void* block) noexcept {
    operator delete(block);
}
void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    operator delete(block);
}

namespace {

TEST_F(Form1Test, RunningOutOfMemoryStillShowsTheMessageAndWhatWasListed) {
    std::string words;
    for (int i = 0; i < 300'000; ++i) {
        words += "word" + std::to_string(i) + "\r\n";
    }
    writeWordList(words);
    typePuzzle("", "", "0");
    // Room for the window's reserve and about 1.5 MB of entries, then no more.
    memory::limit = memory::held.load() + std::size_t{4 * 1024 + 1536} * 1024;
    const auto message = pressRecordingMessage([&] { QTest::keyClick(textE(), Qt::Key_Return); });
    memory::limit = std::numeric_limits<std::size_t>::max();
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->text,
              QStringLiteral("File containing list of words - 'abc.txt' not found."));
    // What was listed shows behind the message and stays; the counts keep theirs.
    EXPECT_GT(message->list2RowsShown, 10'000);
    EXPECT_LT(message->list2RowsShown, 300'000);
    EXPECT_EQ(control<QListView>("List2")->model()->rowCount(), message->list2RowsShown);
    EXPECT_TRUE(caption("Label2").isEmpty());
    // The window goes on working.
    writeWordList("rate\r\n");
    QTest::keyClick(textE(), Qt::Key_Return);
    EXPECT_EQ(entries("List2"), (QStringList{"rate"}));
    EXPECT_EQ(caption("Label2"), QStringLiteral("1"));
}

}  // namespace
