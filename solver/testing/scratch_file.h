#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string_view>

/// A file holding exactly the given bytes, in a directory of the running test's own
/// (tests may run side by side); removed when the object goes.
class ScratchFile {
public:
    explicit ScratchFile(std::string_view bytes, std::string_view name = "abc.txt")
        : m_path(directory() / name) {
        std::filesystem::create_directories(m_path.parent_path());
        std::ofstream(m_path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~ScratchFile() { std::filesystem::remove(m_path); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    /// The running test's own scratch directory.
    static std::filesystem::path directory() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        return std::filesystem::path(testing::TempDir()) / "trelliwick" /
               (std::string(test->test_suite_name()) + "." + test->name());
    }

private:
    std::filesystem::path m_path;
};
