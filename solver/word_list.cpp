#include "word_list.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {

// How many chunks' masks are worked out at a time.
constexpr std::size_t kMaskedChunks = 1024;

constexpr std::size_t roundUpToChunk(std::size_t size) {
    return (size + kChunkSize - 1) / kChunkSize * kChunkSize;
}

// The bits of `bits` below bit `count`, which is below 64.
constexpr std::uint64_t below(std::uint64_t bits, unsigned count) {
    return bits & ((std::uint64_t{1} << count) - 1);
}

// Where the last set bit of non-zero `bits` lies.
unsigned lastBit(std::uint64_t bits) {
    return 63 - static_cast<unsigned>(std::countl_zero(bits));
}

}  // namespace

WordListReader::WordListReader(std::unique_ptr<ByteSource> source, std::size_t blockSize)
    : m_source(std::move(source)), m_blockSize(std::max<std::size_t>(blockSize, 1)) {
    fill();
}

void WordListReader::fill() {
    char* bytes = m_buffer.get();
    if (m_pos > 0) {
        std::memmove(bytes, bytes + m_pos, m_end - m_pos);
        m_end -= m_pos;
    }
    m_pos = m_linesEnd = 0;  // every whole line was read
    if (m_end == m_capacity) {
        // Only a line longer than the buffer grows it. Growing by half keeps the
        // copies few; a large block is remapped rather than copied, and the pages
        // beyond what is read are never touched.
        const std::size_t capacity =
            roundUpToChunk(std::max(m_capacity + m_capacity / 2, m_end + m_blockSize));
        bytes = static_cast<char*>(std::realloc(bytes, capacity));
        if (bytes == nullptr) {
            throw std::bad_alloc();
        }
        static_cast<void>(m_buffer.release());  // realloc has taken the old block
        m_buffer.reset(bytes);
        m_capacity = capacity;
    }
    m_masks.clear();
    // What is left holds no line end, but for a CR that waited at its end.
    const std::size_t searchFrom = m_end == 0 ? 0 : m_end - 1;
    const std::size_t count =
        m_source->read(bytes + m_end, std::min(m_blockSize, m_capacity - m_end));
    m_end += count;
    if (count == 0) {
        m_atFileEnd = true;
        m_linesEnd = m_end;  // the last line needs no terminator
        return;
    }
    m_linesEnd = afterLastLineEnd(searchFrom, bytes[m_end - 1] == '\r' ? m_end - 1 : m_end);
}

std::size_t WordListReader::afterLastLineEnd(std::size_t from, std::size_t to) const {
    // Chunk by chunk from the end, for a line may be far longer than what one read
    // brings: over a list of one line of 1 GiB a run took 3.6 s so, and 4.1 s
    // looking a byte at a time (medians of 10, hyperfine, trelliwick-solve).
    for (std::size_t chunk = roundUpToChunk(to) / kChunkSize; chunk-- > from / kChunkSize;) {
        ChunkMasks masks{};
        scanChunks(m_buffer.get() + chunk * kChunkSize, 1, m_wanted, &masks);
        const std::size_t start = chunk * kChunkSize;
        const std::uint64_t ends = to - start >= kChunkSize
                                       ? masks.lineEnds
                                       : below(masks.lineEnds, static_cast<unsigned>(to - start));
        if (ends != 0) {
            return start + lastBit(ends) + 1;
        }
    }
    return 0;
}

const ChunkMasks& WordListReader::scanFrom(std::size_t chunk) {
    const std::size_t chunksOfLines = roundUpToChunk(m_linesEnd) / kChunkSize;
    const std::size_t count = std::min(kMaskedChunks, chunksOfLines - chunk);
    m_masks.resize(count);
    scanChunks(m_buffer.get() + chunk * kChunkSize, count, m_wanted, m_masks.data());
    m_firstMasked = chunk;
    if (chunk + count == chunksOfLines && m_linesEnd % kChunkSize != 0) {
        // What follows the last whole line is not looked at.
        ChunkMasks& last = m_masks.back();
        const auto whole = static_cast<unsigned>(m_linesEnd % kChunkSize);
        last = {below(last.lineEnds, whole), below(last.high, whole), below(last.wanted, whole)};
    }
    return m_masks.front();
}

std::string_view WordListReader::takeLine(std::size_t lineEnd) {
    const std::string_view line(m_buffer.get() + m_pos, lineEnd - m_pos);
    m_pos = lineEnd;
    if (m_pos < m_linesEnd) {
        ++m_pos;
        if (m_buffer.get()[lineEnd] == '\r' && m_pos < m_linesEnd &&
            m_buffer.get()[m_pos] == '\n') {
            ++m_pos;
        }
    }
    return line;
}

std::string_view WordListReader::readLine() {
    bool ascii = true;
    for (std::size_t scan = m_pos; scan < m_linesEnd; scan = nextChunk(scan)) {
        const ChunkMasks masks = masksFrom(scan);
        if (masks.lineEnds != 0) {
            const auto length = static_cast<unsigned>(std::countr_zero(masks.lineEnds));
            m_lineIsAscii = ascii && below(masks.high, length) == 0;
            return takeLine(scan + length);
        }
        ascii = ascii && masks.high == 0;
    }
    // The last line of the file, without a terminator.
    m_lineIsAscii = ascii;
    return takeLine(m_linesEnd);
}

void WordListReader::skipLinesWithout(std::optional<BytePair> wanted) {
    if (wanted && *wanted != m_wanted) {
        m_wanted = *wanted;
        m_masks.clear();
    }
    while (!atEnd()) {
        // The line that starts at `lineStart` holds no byte looked for before `scan`.
        std::size_t lineStart = m_pos;
        for (std::size_t scan = m_pos; scan < m_linesEnd; scan = nextChunk(scan)) {
            const ChunkMasks masks = masksFrom(scan);
            // A wanted CR or LF is no byte of a line.
            const std::uint64_t wantedInLines = wanted ? masks.wanted & ~masks.lineEnds : 0;
            const std::uint64_t stops = wantedInLines | masks.high;
            if (stops != 0) {
                const std::uint64_t endsBefore =
                    below(masks.lineEnds, static_cast<unsigned>(std::countr_zero(stops)));
                m_pos = endsBefore == 0 ? lineStart : scan + lastBit(endsBefore) + 1;
                return;
            }
            if (masks.lineEnds != 0) {
                lineStart = scan + lastBit(masks.lineEnds) + 1;
            }
        }
        m_pos = m_linesEnd;  // no line read so far holds one
    }
}

bool WordListReader::skipLinesShorterThan(std::size_t bytes) {
    bool passed = false;
    while (!atEnd()) {
        for (std::size_t scan = m_pos; scan < m_linesEnd;) {
            // The line ends of the chunk from `scan` on, taken one by one.
            for (std::uint64_t ends = masksFrom(scan).lineEnds; ends != 0; ends &= ends - 1) {
                const std::size_t lineEnd = scan + static_cast<unsigned>(std::countr_zero(ends));
                if (lineEnd - m_pos >= bytes) {
                    return passed;
                }
                // Past the CR of a CRLF, the LF ends an empty line, passed over next.
                m_pos = lineEnd + 1;
                passed = true;
            }
            scan = nextChunk(scan);
            if (std::min(scan, m_linesEnd) - m_pos >= bytes) {
                return passed;
            }
        }
        // The last line of the file, without a terminator, is short too.
        passed = passed || m_pos < m_linesEnd;
        m_pos = m_linesEnd;
    }
    return passed;
}

void WordListReader::passOver(const LinesToPassOver& lines) {
    for (;;) {
        if (lines.lackingLetter) {
            skipLinesWithout(lines.letter);
        }
        // The line ahead holds the letter; if a short line is passed over, the next
        // one must be looked at again.
        if (lines.shorterThan == 0 || !skipLinesShorterThan(lines.shorterThan) ||
            !lines.lackingLetter) {
            return;
        }
    }
}
