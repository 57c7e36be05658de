#pragma once

#include <cstddef>
#include <filesystem>

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
    // The open file, closed with the object: a descriptor, or on Windows a handle.
#ifdef _WIN32
    using NativeFile = void*;
#else
    using NativeFile = int;
#endif
    class OpenFile {
    public:
        using Native = NativeFile;
        explicit OpenFile(Native native) : m_native(native) {}
        ~OpenFile();
        OpenFile(const OpenFile&) = delete;
        OpenFile& operator=(const OpenFile&) = delete;
        Native get() const { return m_native; }

    private:
        Native m_native;
    };

    std::filesystem::path m_path;
    OpenFile m_file;
};
