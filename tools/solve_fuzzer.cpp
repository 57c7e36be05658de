// A libFuzzer target for the solve run. Each input becomes up to four runs on one
// letter table and one window side, carried from run to run: for each, texts for
// the essential letters, the other letters and the minimum length, and the bytes
// of the word list (or no list at all). Besides what the sanitizers catch, it
// checks what must hold after every run.

#include "letter_table.h"
#include "recording_window.h"
#include "solve_run.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "solve_fuzzer: %s\n", what);
        std::abort();
    }
}

// True when every entry of `part` stands in `whole`, in the same order.
bool isSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    auto next = whole.begin();
    for (const auto& entry : part) {
        next = std::find(next, whole.end(), entry);
        if (next == whole.end()) {
            return false;
        }
        ++next;
    }
    return true;
}

const std::filesystem::path& scratchList() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("trelliwick-fuzz-" + std::to_string(getpid()) + ".txt");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    RecordingWindow window;
    LetterTable table;
    const int runs = data.ConsumeIntegralInRange(1, 4);
    for (int run = 0; run < runs; ++run) {
        std::string essentials = data.ConsumeRandomLengthString(250);
        std::string others = data.ConsumeRandomLengthString(250);
        std::string minimum = data.ConsumeRandomLengthString(16);
        window.separator = data.ConsumeBool() ? U',' : U'.';
        const bool hasList = data.ConsumeIntegralInRange(0, 7) != 0;
        const std::string list = run + 1 == runs ? data.ConsumeRemainingBytesAsString()
                                                 : data.ConsumeRandomLengthString(4096);
        if (hasList) {
            std::ofstream(scratchList(), std::ios::binary | std::ios::trunc) << list;
        } else {
            std::filesystem::remove(scratchList());
        }

        const RecordingWindow before = window;
        window.type(std::move(essentials), std::move(others), std::move(minimum));
        solve(window, table, scratchList());

        require(isSubsequence(window.list3, window.list2), "a solution is missing from List2");
        if (window.message) {
            require(window.label2 == before.label2 && window.label3 == before.label3,
                    "a failed run changed the counts");
            if (!hasList) {
                require(window.list2 == before.list2 && window.list3 == before.list3,
                        "a run without a list changed the lists");
            }
        } else {
            require(hasList, "a run without a list completed");
            require(window.label2 == std::to_string(window.list2.size()) &&
                        window.label3 == std::to_string(window.list3.size()),
                    "the counts differ from the lists");
        }
    }
    return 0;
}
