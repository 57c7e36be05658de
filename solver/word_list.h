#pragma once

#include "byte_scan.h"
#include "word_list_file.h"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

/// Reads the word list line by line, never loading it whole. A line ends at CR,
/// CRLF or LF; the terminator is not part of the word, and nothing else is removed.
/// The last line may lack a terminator; no empty word is read after a final one.
/// The list is open from construction (Open) to destruction (Close).
///
/// The reader keeps one buffer: the bytes not yet handed back, from `m_pos` to
/// `m_end`, the next line first. Only the chunks' masks say where lines end, each
/// line with its one end bit (byte_scan.h), the last line too; reading a line,
/// handing it back and passing lines over walk those masks with one cursor. A walk
/// that comes to the end of the bytes inside a line reads more, keeping that line,
/// so that a line is only ever seen whole.
class WordListReader {
public:
    static constexpr std::size_t kBlockSize = std::size_t{256} * 1024;

    /// Reads the list from `source`, up to `blockSize` bytes at a time, and reads its
    /// first block now. Throws what the source throws when that read fails.
    explicit WordListReader(std::unique_ptr<ByteSource> source, std::size_t blockSize = kBlockSize);

    /// True when no further line remains.
    bool atEnd() const { return m_atFileEnd && m_pos == m_end; }

    /// A line as its bytes, without the terminator.
    /// Whatever its length, this many bytes from a line's start may be read; those
    /// past its end are no part of it.
    static constexpr std::size_t kReadableAfterLine = kChunkSize;

    struct Line {
        std::string_view text;
        /// True when no byte of the line lies above 0x7F.
        bool ascii = true;
    };

    /// The next line; only call it when `atEnd()` is false. Its text stays valid until
    /// `consume()` hands the line back. Throws what the source throws when a read fails.
    Line readLine() {
        m_nextEnd = nextLineEnd();
        return {{m_buffer.get() + m_pos, textEnd(m_pos, m_nextEnd.at) - m_pos}, m_nextEnd.ascii};
    }

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

private:
    // Keeps the bytes from `m_pos` on, moved to the front, grows the buffer if they
    // fill it (a line longer than the buffer), and reads once more after them.
    // Returns where a walk that found no line end in the bytes kept goes on: at their
    // last byte, for a CR there ends a line when no LF follows it.
    std::size_t fill();
    // Where a line's end bit lies, and whether the line is plain ASCII.
    struct LineEnd {
        std::size_t at;
        bool ascii;
    };
    // The next line's end, or `m_end` when no line is left, reading more until the
    // line is whole.
    LineEnd nextLineEnd() {
        if (m_nextEnd.at != kNowhere) {
            return m_nextEnd;  // found already
        }
        // Most lines end among the masks at hand.
        bool ascii = true;
        std::uint64_t ahead = ~std::uint64_t{0} << (m_pos % kChunkSize);
        for (std::size_t chunk = m_pos / kChunkSize;
             chunk - m_firstMasked < m_maskedEnd - m_firstMasked;
             ++chunk, ahead = ~std::uint64_t{0}) {
            const ChunkMasks& masks = m_masks[chunk - m_firstMasked];
            const std::size_t end = firstEnd(
                chunk * kChunkSize, {masks.lineEnds & ahead, masks.high & ahead, 0}, ascii);
            if (end != kNowhere) {
                return {end, ascii};
            }
        }
        return walkToLineEnd();
    }
    // The same, by a walk that works out masks and reads as it needs.
    LineEnd walkToLineEnd();
    // Where the first line end among the masks `masks` of the chunk that starts at
    // `start` lies, or `kNowhere`; false goes to `ascii` when a byte above 0x7F comes
    // before it.
    static std::size_t firstEnd(std::size_t start, const ChunkMasks& masks, bool& ascii) {
        if (masks.lineEnds == 0) {
            ascii = ascii && masks.high == 0;
            return kNowhere;
        }
        const auto end = static_cast<unsigned>(std::countr_zero(masks.lineEnds));
        ascii = ascii && (masks.high & ((std::uint64_t{1} << end) - 1)) == 0;
        return start + end;
    }
    // Where the text of the line from `start` to its end bit at `end` ends: before
    // the CR of a CRLF.
    std::size_t textEnd(std::size_t start, std::size_t end) const {
        const char* bytes = m_buffer.get();
        return end > start && bytes[end] == '\n' && bytes[end - 1] == '\r' ? end - 1 : end;
    }
    // Where the first line from `m_pos` on starts that is kept by the letter (the
    // wanted bytes when `letter`, or a byte above 0x7F) and by being no shorter than
    // `shortest`, reading more until it is whole, or `m_end` when there is none; each
    // rule is compiled in only when it applies.
    template <bool kByLetter, bool kByLength>
    std::size_t firstLineKept(bool letter, std::size_t shortest);
    // The first line that `kept`, the ends of the lines of the chunk at `start` that
    // the letter keeps and that may be long enough, names and that is no shorter
    // than `shortest`, where the chunk's first line starts at `lineStart`: its start,
    // and its end as the bit of `kept`; `kNowhere` when there is none.
    struct KeptLine {
        std::size_t start;
        std::uint64_t endBit;
    };
    template <bool kByLength>
    KeptLine keptLineIn(std::size_t start, std::uint64_t ends, std::uint64_t kept,
                        std::size_t lineStart, std::size_t shortest) const;
    // The next line that the lines kept in the chunk of the line just handed back
    // name, when the rules are those they were found by; false when there is none.
    bool nextKeptInChunk(const LinesToPassOver& passOver);

    // The cursor: hands `look` the masks of each chunk from the one that holds `from`
    // to the last one of the bytes, with the bits before `from` cleared, and where the
    // chunk starts, until `look` returns a place, which it returns; otherwise
    // `kNowhere`. `lineStart` follows where the line that runs into the chunk starts.
    template <typename Look>
    std::size_t walk(std::size_t from, std::size_t& lineStart, Look&& look);
    static constexpr std::size_t kNowhere = ~std::size_t{0};

    // The masks of chunk `chunk` of the buffer, within the bytes, where the line that
    // runs into it starts at `lineStart`.
    const ChunkMasks& masksOf(std::size_t chunk, std::size_t lineStart) {
        const std::size_t index = chunk - m_firstMasked;  // wraps when before
        return index < m_maskedEnd - m_firstMasked ? m_masks[index] : scanFrom(chunk, lineStart);
    }
    // Works out the masks of a run of chunks that holds `chunk`, and returns its.
    const ChunkMasks& scanFrom(std::size_t chunk, std::size_t lineStart);

    struct FreeBuffer {
        void operator()(char* bytes) const { std::free(bytes); }
    };

    std::unique_ptr<ByteSource> m_source;
    std::size_t m_blockSize;
    std::unique_ptr<char, FreeBuffer> m_buffer;
    std::size_t m_capacity = 0;  // a whole number of chunks
    std::size_t m_pos = 0;
    std::size_t m_end = 0;  // an LF stands after it, outside the bytes
    bool m_atFileEnd = false;

    // How many chunks' masks are worked out at a time.
    static constexpr std::size_t kMaskedChunks = 1024;

    // The masks of chunks [m_firstMasked, m_maskedEnd) of the buffer as it now
    // stands, with `m_wanted` as the wanted bytes.
    std::unique_ptr<ChunkMasks[]> m_masks;
    std::size_t m_firstMasked = 0;
    std::size_t m_maskedEnd = 0;
    BytePair m_wanted;

    // Where the next line ends, once found, until it is handed back.
    LineEnd m_nextEnd{kNowhere, true};
    // The lines that the last pass over lines kept in the chunk where it stopped, after
    // the line it kept, by the rules it passed over lines by; until a read moves the
    // bytes or the rules change.
    struct KeptAhead {
        std::size_t start = kNowhere;  // the chunk's, or kNowhere
        std::size_t lastEnd = 0;       // the end of the line kept last
        ChunkMasks masks{};            // `wanted` holds the ends of the lines kept after it
        LinesToPassOver rules;
    };
    KeptAhead m_keptAhead;
};
