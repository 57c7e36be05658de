#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>

/// Where the word list reader takes its bytes from, in order.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    /// Reads up to `size` bytes, at least one, into `bytes` and returns how many;
    /// 0 only at the end. Throws when the bytes can't be read.
    virtual std::size_t read(char* bytes, std::size_t size) = 0;
};

/// A word list on disk, open from construction to destruction. Only a regular file
/// is a word list: a directory, a pipe or a device (which may never end) is not.
class WordListFile final : public ByteSource {
public:
    /// Opens the file at `path`. Throws SolveFailure when it is missing, can't be
    /// opened, or is not a regular file, naming the path and why.
    explicit WordListFile(const std::filesystem::path& path);

    /// Throws SolveFailure on a read error, naming the path and the system's error;
    /// an interrupted read is tried again.
    std::size_t read(char* bytes, std::size_t size) override;

private:
    std::filesystem::path m_path;
#ifdef _WIN32
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> m_file;
#else
    class Descriptor {
    public:
        explicit Descriptor(int fd) : m_fd(fd) {}
        ~Descriptor();
        Descriptor(const Descriptor&) = delete;
        Descriptor& operator=(const Descriptor&) = delete;
        int get() const { return m_fd; }

    private:
        int m_fd;
    };
    Descriptor m_file;
#endif
};
