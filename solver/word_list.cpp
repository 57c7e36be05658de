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
    if (m_pos > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_pos, m_end - m_pos);
        m_end -= m_pos;
    }
    m_pos = m_linesEnd = 0;
    m_masks.clear();
    if (m_end == m_capacity) {
        // Only a line longer than the buffer grows it. Growing by half keeps the
        // copies few; a large block is remapped rather than copied, and the pages
        // beyond what is read are never touched.
        const std::size_t capacity =
            roundUpToChunk(std::max(m_capacity + m_capacity / 2, m_end + m_blockSize));
        char* bytes = static_cast<char*>(std::realloc(m_buffer.get(), capacity));
        if (bytes == nullptr) {
            throw std::bad_alloc();
        }
        static_cast<void>(m_buffer.release());  // realloc has taken the old block
        m_buffer.reset(bytes);
        m_capacity = capacity;
    }
    // What is left holds no line end, but for a CR that waited at its end.
    const std::size_t searchFrom = m_end == 0 ? 0 : m_end - 1;
    const std::size_t count =
        m_source->read(m_buffer.get() + m_end, std::min(m_blockSize, m_capacity - m_end));
    m_end += count;
    if (count == 0) {
        m_atFileEnd = true;
        m_linesEnd = m_end;  // the last line needs no terminator
        return;
    }
    // A CR at the very end of what was read waits for the next read, which tells
    // whether an LF follows it.
    m_linesEnd =
        afterLastLineEnd(searchFrom, m_buffer.get()[m_end - 1] == '\r' ? m_end - 1 : m_end);
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

std::size_t WordListReader::afterTerminator(std::size_t lineEnd) const {
    if (lineEnd == m_linesEnd) {
        return lineEnd;  // the last line of the list, without a terminator
    }
    // A CR never waits at `m_linesEnd`, so whether an LF follows it is known.
    const char* bytes = m_buffer.get();
    const std::size_t next = lineEnd + 1;
    return bytes[lineEnd] == '\r' && next < m_linesEnd && bytes[next] == '\n' ? next + 1 : next;
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

std::string_view WordListReader::readLine() {
    while (m_pos == m_linesEnd) {
        fill();  // only before the first line, whose first read left it unfinished
    }
    m_lineEnd = m_linesEnd;  // unless a line end is found
    bool ascii = true;
    for (std::size_t scan = m_pos; scan < m_linesEnd; scan = nextChunk(scan)) {
        const ChunkMasks masks = masksFrom(scan);
        if (masks.lineEnds != 0) {
            const auto length = static_cast<unsigned>(std::countr_zero(masks.lineEnds));
            ascii = ascii && below(masks.high, length) == 0;
            m_lineEnd = scan + length;
            break;
        }
        ascii = ascii && masks.high == 0;
    }
    m_lineIsAscii = ascii;
    m_lineRead = true;
    return {m_buffer.get() + m_pos, m_lineEnd - m_pos};
}

template <bool kByLetter, bool kByLength>
std::size_t WordListReader::firstLineKept(const LinesToPassOver& lines) {
    const std::size_t shortest = lines.shorterThan;
    const bool letter = lines.letter.has_value();
    // For a line shorter than a chunk, the shifts that take the ends up 1 to
    // `shortest` places: 1 first, then doubling what is covered.
    unsigned shifts[8] = {};
    std::size_t shiftCount = 0;
    if (kByLength && shortest < kChunkSize) {
        for (std::size_t covered = 1; covered < shortest; covered += shifts[shiftCount++]) {
            shifts[shiftCount] = static_cast<unsigned>(std::min(covered, shortest - covered));
        }
    }
    // The line that runs on into the chunk looked at: where it starts, and 1 when it
    // holds a byte that keeps it (the letter, or a byte above 0x7F) before that chunk.
    std::size_t lineStart = m_pos;
    std::uint64_t keptBefore = 0;
    // Only the bytes from `m_pos` on count; before them lies a line end, or nothing.
    std::uint64_t ahead = ~std::uint64_t{0} << (m_pos % kChunkSize);
    for (std::size_t start = m_pos / kChunkSize * kChunkSize; start < m_linesEnd;) {
        // The chunks whose masks were worked out together, in a run.
        const ChunkMasks* chunk = &masksOf(start / kChunkSize);
        const ChunkMasks* const masked = m_masks.data() + m_masks.size();
        for (; chunk != masked; ++chunk, start += kChunkSize, ahead = ~std::uint64_t{0}) {
            const ChunkMasks& masks = *chunk;
            const std::uint64_t ends = masks.lineEnds & ahead;
            // The ends of the lines not passed over, by each rule in turn.
            std::uint64_t kept = ends;
            std::uint64_t keepers = 0;
            if constexpr (kByLetter) {
                // A CR or LF looked for is no byte of a line.
                keepers = (((letter ? masks.wanted : 0) & ~ends) | masks.high) & ahead;
                // Adding a line's keepers to its run of non-ends carries into the line's
                // end, and only then; a line from the chunk before carries in at bit 0.
                kept &= ~ends + keepers + keptBefore;
            }
            if constexpr (kByLength) {
                // Only where the letter left a line to keep: over a list with a rare
                // letter, 143 million instructions became 116 (callgrind,
                // trelliwick-solve big.txt q uizaeon 4).
                if (kept != 0) {
                    const std::uint64_t first = ends & (~ends + 1);
                    std::uint64_t longEnough =
                        start + static_cast<unsigned>(std::countr_zero(ends)) - lineStart >=
                                shortest
                            ? first
                            : 0;
                    if (shortest < kChunkSize) {
                        // Every later end is long enough when no end lies among the
                        // `shortest` bytes before it: the ends moved up 1 to `shortest` places.
                        std::uint64_t near = ends << 1;
                        for (std::size_t i = 0; i < shiftCount; ++i) {
                            near |= near << shifts[i];
                        }
                        longEnough |= ends & ~near & ~first;
                    }
                    kept &= longEnough;
                }
            }
            if (kept != 0) {
                const std::uint64_t endsBefore =
                    below(ends, static_cast<unsigned>(std::countr_zero(kept)));
                return endsBefore == 0 ? lineStart : start + lastBit(endsBefore) + 1;
            }
            if (ends != 0) {
                const unsigned last = lastBit(ends);
                lineStart = start + last + 1;
                keptBefore = last < kChunkSize - 1 && (keepers >> (last + 1)) != 0 ? 1 : 0;
            } else if (keepers != 0) {
                keptBefore = 1;
            }
        }
    }
    // The last line of the list may run to `m_linesEnd` without a terminator.
    const bool lastLineKept = m_atFileEnd && lineStart < m_linesEnd &&
                              (!kByLetter || keptBefore != 0) && m_linesEnd - lineStart >= shortest;
    return lastLineKept ? lineStart : m_linesEnd;
}

void WordListReader::consume(const LinesToPassOver& passOver) {
    if (!m_lineRead) {
        readLine();
    }
    m_lineRead = false;
    m_pos = afterTerminator(m_lineEnd);
    if (passOver.lackingLetter && passOver.letter && *passOver.letter != m_wanted) {
        m_wanted = *passOver.letter;
        m_masks.clear();
    }
    const bool byLength = passOver.shorterThan > 0;
    for (;;) {
        if (passOver.lackingLetter) {
            m_pos = byLength ? firstLineKept<true, true>(passOver)
                             : firstLineKept<true, false>(passOver);
        } else if (byLength) {
            m_pos = firstLineKept<false, true>(passOver);
        }
        if (m_pos < m_linesEnd || m_atFileEnd) {
            return;
        }
        fill();
    }
}
