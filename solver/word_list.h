#pragma once

#include "byte_scan.h"
#include "word_list_file.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

/// Reads the word list line by line, never loading it whole. A line ends at CR,
/// CRLF or LF; the terminator is not part of the word, and nothing else is removed.
/// The last line may lack a terminator; no empty word is read after a final one.
/// The list is open from construction (Open) to destruction (Close).
///
/// The reader keeps one buffer: the bytes not yet handed back, from `m_pos` to
/// `m_end`, of which those up to `m_linesEnd` are whole lines, each with its line
/// end. A line read stays where it is until it is handed back with `consume()`,
/// which passes over the lines that a run has no use for and reads more when the
/// whole lines are used up, so that a whole line lies ahead or the list is at its
/// end; `atEnd()` only looks. The scans share one cursor over the chunks' masks.
/// What the first block leaves unfinished, the first line read finishes.
class WordListReader {
public:
    static constexpr std::size_t kBlockSize = std::size_t{256} * 1024;

    /// Reads the list from `source`, up to `blockSize` bytes at a time, and reads its
    /// first block now. Throws what the source throws when that read fails.
    explicit WordListReader(std::unique_ptr<ByteSource> source, std::size_t blockSize = kBlockSize);

    /// True when no further line remains.
    bool atEnd() const { return m_atFileEnd && m_pos == m_end; }

    /// The next line, without its terminator; only call it when `atEnd()` is false.
    /// The view stays valid until `consume()` hands the line back. Throws what the
    /// source throws when a read fails.
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

    /// Hands back the next line, read or not, and passes over the lines after it that
    /// `passOver` names, so that the next line read is the first that it does not
    /// name, if any. Throws what the source throws when a read fails.
    void consume(const LinesToPassOver& passOver);
    /// Hands back the next line, read or not, passing over none after it.
    void consume() { consume(LinesToPassOver{}); }

private:
    // Once every whole line is handed back: moves the bytes left to the front, grows
    // the buffer if they fill it (a line longer than the buffer), reads once more
    // after them, and marks the end of the last whole line.
    void fill();
    // One past the last line end before `to` in the buffer, looking back no further
    // than the chunk that holds `from`; 0 when there is none.
    std::size_t afterLastLineEnd(std::size_t from, std::size_t to) const;
    // Where the line that ends at `lineEnd` is followed by the next: past its CR, LF
    // or CRLF. An LF that follows a CR ends no line of its own: a scan that takes
    // every CR and LF for a line end sees an empty line there, which none keeps.
    std::size_t afterTerminator(std::size_t lineEnd) const;
    // Where the first line from `m_pos` on that `lines` does not name starts, or
    // `m_linesEnd` when there is none among the whole lines; each rule is compiled
    // in only when it applies.
    template <bool kByLetter, bool kByLength>
    std::size_t firstLineKept(const LinesToPassOver& lines);

    // The masks of the bytes from `offset` in the buffer to the end of its chunk,
    // bit 0 for the byte at `offset`. No bit is set at or beyond `m_linesEnd`.
    ChunkMasks masksFrom(std::size_t offset) {
        const ChunkMasks& masks = masksOf(offset / kChunkSize);
        const unsigned shift = offset % kChunkSize;
        return {masks.lineEnds >> shift, masks.high >> shift, masks.wanted >> shift};
    }
    // The masks of chunk `chunk` of the buffer, which must hold whole lines.
    const ChunkMasks& masksOf(std::size_t chunk) {
        const std::size_t index = chunk - m_firstMasked;  // wraps when before
        return index < m_masks.size() ? m_masks[index] : scanFrom(chunk);
    }
    // Where the chunk after the one that holds `offset` starts.
    static std::size_t nextChunk(std::size_t offset) {
        return (offset / kChunkSize + 1) * kChunkSize;
    }
    // Works out the masks of the chunks from `chunk` on, and returns its.
    const ChunkMasks& scanFrom(std::size_t chunk);

    struct FreeBuffer {
        void operator()(char* bytes) const { std::free(bytes); }
    };

    std::unique_ptr<ByteSource> m_source;
    std::size_t m_blockSize;
    std::unique_ptr<char, FreeBuffer> m_buffer;
    std::size_t m_capacity = 0;  // a whole number of chunks
    std::size_t m_pos = 0;
    std::size_t m_linesEnd = 0;
    std::size_t m_end = 0;
    bool m_atFileEnd = false;
    bool m_lineIsAscii = true;
    std::size_t m_lineEnd = 0;  // where the line read ends, when `m_lineRead`
    bool m_lineRead = false;

    // The masks of chunks [m_firstMasked, m_firstMasked + m_masks.size()) of the
    // buffer as it now stands, with `m_wanted` as the wanted bytes.
    std::vector<ChunkMasks> m_masks;
    std::size_t m_firstMasked = 0;
    BytePair m_wanted;
};
