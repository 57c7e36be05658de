#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#endif

/// A file holding exactly the given bytes, in a directory of the running test's own;
/// removed when the object goes.
class ScratchFile {
public:
    explicit ScratchFile(std::string_view bytes, std::string_view name = "abc.txt")
        : m_path(directory() / name) {
        std::ofstream(m_path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    /// The running test's own scratch directory, made if need be, inside a directory
    /// that this test process made for itself and removes when it ends, so that test
    /// programs run side by side, or one killed mid-test, never meet.
    static std::filesystem::path directory() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        auto path =
            processDirectory().path / (std::string(test->test_suite_name()) + "." + test->name());
        std::filesystem::create_directories(path);
        return path;
    }

private:
    struct ProcessDirectory {
        std::filesystem::path path;
        ProcessDirectory() {
#ifdef _WIN32
            path = std::filesystem::path(testing::TempDir()) /
                   ("trelliwick-" + std::to_string(_getpid()));
            std::filesystem::create_directories(path);
#else
            std::string name =
                (std::filesystem::path(testing::TempDir()) / "trelliwick-XXXXXX").string();
            if (::mkdtemp(name.data()) == nullptr) {
                throw std::runtime_error("no scratch directory in " + testing::TempDir());
            }
            path = name;
#endif
        }
        ~ProcessDirectory() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
        ProcessDirectory(const ProcessDirectory&) = delete;
        ProcessDirectory& operator=(const ProcessDirectory&) = delete;
    };

    static const ProcessDirectory& processDirectory() {
        static const ProcessDirectory directory;
        return directory;
    }

    std::filesystem::path m_path;
};
