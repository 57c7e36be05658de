#pragma once

#include "byte_scan.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

/// Reads the word list line by line, never loading it whole. A line ends at CR,
/// CRLF or LF; the terminator is not part of the word, and nothing else is removed.
/// The last line may lack a terminator; no empty word is read after a final one.
/// The file is open from construction (Open) to destruction (Close).
class WordListReader {
public:
    static constexpr std::size_t kReadSize = std::size_t{256} * 1024;

    /// Opens the list and reads its first block, `readSize` bytes at most. Throws
    /// SolveFailure when the file is missing, can't be opened or read, or is not a
    /// regular file (a directory, a pipe, a device): only a regular file ever ends.
    explicit WordListReader(const std::filesystem::path& path, std::size_t readSize = kReadSize);
    /// True when no further line remains. Throws SolveFailure on a read error.
    bool atEnd() { return (m_pos == m_end || m_afterCr) && atEndOfBlock(); }

    /// The next line, without its terminator; only call it when `atEnd()` is false.
    /// The view stays valid until the next call of any other member.
    std::string_view readLine();
    /// True when no byte of the line last read lies above 0x7F.
    bool lineIsAscii() const { return m_lineIsAscii; }

    /// Lines that a run may pass over unread.
    struct LinesToPassOver {
        /// The lines of plain ASCII that hold neither byte of `letter`, or all lines of
        /// plain ASCII when there is no letter.
        bool lackingLetter = false;
        std::optional<BytePair> letter;
        /// The lines of fewer bytes than this.
        std::size_t shorterThan = 0;
    };

    /// Passes over the lines ahead that `lines` names, so that the next line read is
    /// the first that it does not name, if any.
    void passOver(const LinesToPassOver& lines);

private:
    bool atEndOfBlock();
    // Passes over the lines ahead that hold no byte of `wanted` and no byte above
    // 0x7F; with no `wanted`, only lines with a byte above 0x7F are kept.
    void skipLinesWithout(std::optional<BytePair> wanted);
    // Passes over the lines ahead of fewer than `bytes` bytes; returns whether it
    // passed over any.
    bool skipLinesShorterThan(std::size_t bytes);
    // Moves the unread bytes to the front, growing the buffer when they fill it, and
    // reads after them. Returns false at the end of the file.
    bool readMore();
    // The masks of the bytes from `offset` in the buffer to the end of its chunk,
    // bit 0 for the byte at `offset`.
    ChunkMasks masksFrom(std::size_t offset) {
        const std::size_t index = offset / kChunkSize - m_firstMasked;  // wraps when before
        const ChunkMasks& masks =
            index < m_masks.size() ? m_masks[index] : scanFrom(offset / kChunkSize);
        const unsigned shift = offset % kChunkSize;
        return {masks.lineEnds >> shift, masks.high >> shift, masks.wanted >> shift};
    }
    // Where the chunk after the one that holds `offset` starts.
    static std::size_t nextChunk(std::size_t offset) {
        return (offset / kChunkSize + 1) * kChunkSize;
    }
    // Works out the masks of the chunks from `chunk` on, and returns its.
    const ChunkMasks& scanFrom(std::size_t chunk);
    // Consumes the line end at `lineEnd`, a CRLF as one.
    void skipLineEnd(std::size_t lineEnd);

    struct FreeBuffer {
        void operator()(char* bytes) const { std::free(bytes); }
    };
    // Reads up to `size` bytes into `bytes`; 0 at the end of the file.
    std::size_t readSome(char* bytes, std::size_t size);

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
    std::size_t m_readSize;
    std::unique_ptr<char, FreeBuffer> m_buffer;  // followed by a chunk of zeros
    std::size_t m_capacity = 0;
    std::size_t m_pos = 0;  // the unread bytes are [m_pos, m_end)
    std::size_t m_end = 0;
    bool m_atFileEnd = false;
    bool m_afterCr = false;  // the last byte read was a CR: skip an LF that follows
    bool m_lineIsAscii = true;

    // The masks of chunks [m_firstMasked, m_firstMasked + m_masks.size()) of the
    // buffer as it now stands, with `m_wanted` as the wanted bytes.
    std::vector<ChunkMasks> m_masks;
    std::size_t m_firstMasked = 0;
    BytePair m_wanted;
};
