#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string_view>

/// A file in the test's temporary directory holding exactly the given bytes;
/// removed when the object goes.
class ScratchFile {
public:
    explicit ScratchFile(std::string_view bytes, std::string_view name = "abc.txt")
        : m_path(std::filesystem::path(testing::TempDir()) / name) {
        std::ofstream(m_path, std::ios::binary).write(bytes.data(),
                                                      static_cast<std::streamsize>(bytes.size()));
    }
    ~ScratchFile() { std::filesystem::remove(m_path); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};
