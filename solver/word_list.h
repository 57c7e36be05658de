#pragma once

#include "byte_scan.h"
#include "word_list_file.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

/// Reads the word list line by line, never loading it whole. A line ends at CR,
/// CRLF or LF; the terminator is not part of the word, and nothing else is removed.
/// The last line may lack a terminator; no empty word is read after a final one.
/// The list is open from construction (Open) to destruction (Close).
///
/// The reader keeps one buffer: the bytes not yet handed out, from `m_pos` to
/// `m_end`, the next line first. Only the chunks' masks say where lines end, each
/// line with its one end bit (byte_scan.h), the last line too. The lines are handed
/// out some hundreds at a time, found by walking those masks; a walk that comes to
/// the end of the bytes inside a line reads more, keeping that line, so that a line
/// is only ever seen whole.
class WordListReader {
public:
    static constexpr std::size_t kBlockSize = std::size_t{256} * 1024;

    /// Reads the list from `source`, up to `blockSize` bytes at a time, and reads its
    /// first block now. Throws what the source throws when that read fails.
    explicit WordListReader(std::unique_ptr<ByteSource> source, std::size_t blockSize = kBlockSize);

    /// A line as its bytes, without the terminator.
    /// Whatever its length, this many bytes from a line's start may be read; those
    /// past its end are no part of it.
    static constexpr std::size_t kReadableAfterLine = kChunkSize;

    struct Line {
        std::string_view text;
        /// True when no byte of the line lies above 0x7F.
        bool ascii = true;
    };

    /// Lines that a run may pass over unread.
    struct LinesToPassOver {
        /// The lines of plain ASCII that hold neither byte of `letter`, or all lines of
        /// plain ASCII when there is no letter.
        bool lackingLetter = false;
        std::optional<BytePair> letter;
        /// The lines of fewer bytes than this.
        std::size_t shorterThan = 0;

        friend bool operator==(const LinesToPassOver&, const LinesToPassOver&) = default;
    };

    /// The most lines handed out at once.
    static constexpr std::size_t kLinesAtOnce = 512;

    /// The next lines, in order, from the one after those handed out last, but those
    /// that `passOver` names: at least one and at most `most` (1 to `kLinesAtOnce`),
    /// or none once no line is left that `passOver` does not name. Their texts stay
    /// valid until the next call.
    /// Throws what the source throws when a read fails.
    std::span<const Line> readLines(const LinesToPassOver& passOver,
                                    std::size_t most = kLinesAtOnce);

private:
    bool atEnd() const { return m_atFileEnd && m_pos == m_end; }

    // Keeps the bytes from `m_pos` on, moved to the front, grows the buffer if they
    // fill it (a line longer than the buffer), and reads once more after them.
    // Returns where a walk that found no line end in the bytes kept goes on: at their
    // last byte, for a CR there ends a line when no LF follows it.
    std::size_t fill();
    // Where the text of the line from `start` to its end bit at `end` ends: before
    // the CR of a CRLF.
    // Without a branch, for the kinds of line end may alternate: an empty line looks
    // at its end twice, which cannot be both a CR and an LF.
    std::size_t textEnd(std::size_t start, std::size_t end) const {
        const char* bytes = m_buffer.get();
        const bool crlf =
            (bytes[end - static_cast<std::size_t>(end > start)] == '\r') & (bytes[end] == '\n');
        return end - static_cast<std::size_t>(crlf);
    }
    // Puts in `m_lines` the lines from `m_pos` on that the letter keeps (those with
    // the wanted bytes when `letter`, or a byte above 0x7F) and that are no shorter
    // than `shortest`, up to `most` of them, reading more as it needs, and moves
    // `m_pos` past them; each rule is compiled in only when it applies.
    template <bool kByLetter, bool kByLength>
    void readLinesKept(bool letter, std::size_t shortest, std::size_t most);

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

    // The lines handed out last.
    std::unique_ptr<Line[]> m_lines;
    std::size_t m_lineCount = 0;
    // When the last lines handed out ended before the end of the bytes: how far the
    // lines after them were passed over, and by which rules, so that a call by the
    // same rules goes on from there, and one by others looks at them again.
    struct PassedOver {
        std::size_t to = kNowhere;
        LinesToPassOver rules;
    };
    PassedOver m_passedOver;
};
