#include "word_list.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

// The bytes kept free after what is read: one for the LF that stands after it, one
// for the LF after that once the first has become the last line's line end.
constexpr std::size_t kFreeAfter = 2;

constexpr std::size_t roundUpToChunk(std::size_t size) {
    return (size + kChunkSize - 1) / kChunkSize * kChunkSize;
}

// The bits of `bits` below bit `count`, which is below 64.
constexpr std::uint64_t below(std::uint64_t bits, unsigned count) {
    return bits & ((std::uint64_t{1} << count) - 1);
}

// The bytes of `letter` that a line can hold, for a CR or LF is always part of a line
// end; none when it holds no other.
std::optional<BytePair> bytesOfALine(const std::optional<BytePair>& letter) {
    const auto ends = [](std::uint8_t byte) { return byte == '\r' || byte == '\n'; };
    if (!letter || (ends(letter->first) && ends(letter->second))) {
        return std::nullopt;
    }
    if (ends(letter->first) || ends(letter->second)) {
        const std::uint8_t other = ends(letter->first) ? letter->second : letter->first;
        return BytePair{other, other};
    }
    return letter;
}

// Where the first set bit of non-zero `bits` lies.
unsigned firstBit(std::uint64_t bits) {
    return static_cast<unsigned>(std::countr_zero(bits));
}

// Where the last set bit of non-zero `bits` lies.
unsigned lastBit(std::uint64_t bits) {
    return 63 - static_cast<unsigned>(std::countl_zero(bits));
}

}  // namespace

WordListReader::WordListReader(std::unique_ptr<ByteSource> source, std::size_t blockSize)
    : m_source(std::move(source)),
      m_blockSize(std::max<std::size_t>(blockSize, 1)),
      m_masks(std::make_unique_for_overwrite<ChunkMasks[]>(kMaskedChunks)),
      m_lines(std::make_unique_for_overwrite<Line[]>(kLinesAtOnce)) {
    fill();
}

std::size_t WordListReader::fill() {
    const std::size_t kept = m_end - m_pos;
    m_maskedEnd = m_firstMasked;
    if (m_capacity < kept + kChunkSize + kFreeAfter) {
        // Only a line longer than the buffer grows it. Growing by half keeps the
        // copies few; a large block is remapped rather than copied, and the pages
        // beyond what is read are never touched.
        const std::size_t capacity = roundUpToChunk(
            std::max(m_capacity + m_capacity / 2, kept + kChunkSize + m_blockSize + kFreeAfter));
        // A chunk more, which a scan of the last chunk reads a byte of, and a test of a
        // short line at the end of the bytes may read.
        char* bytes =
            static_cast<char*>(std::realloc(m_buffer.get(), capacity + kReadableAfterLine));
        if (bytes == nullptr) {
            throw std::bad_alloc();
        }
        static_cast<void>(m_buffer.release());  // realloc has taken the old block
        m_buffer.reset(bytes);
        m_capacity = capacity;
    }
    // The bytes kept end where a 64-byte line of memory begins, so that a read after
    // them fills whole lines.
    char* const bytes = m_buffer.get();
    const auto address = reinterpret_cast<std::uintptr_t>(bytes);
    const std::size_t start = (kChunkSize - (address + kept) % kChunkSize) % kChunkSize;
    std::memmove(bytes + start, bytes + m_pos, kept);
    m_pos = start;
    m_end = start + kept;
    const std::size_t count =
        m_source->read(bytes + m_end, std::min(m_blockSize, m_capacity - m_end - kFreeAfter));
    m_end += count;
    if (count == 0) {
        m_atFileEnd = true;
        // The last line is given the line end it lacks; after a CR, the LF makes a
        // CRLF, the same line end.
        if (m_end > m_pos && bytes[m_end - 1] != '\n') {
            bytes[m_end++] = '\n';
        }
    }
    // An LF after the bytes: a CR at their end ends no line until the next read
    // tells what follows it.
    bytes[m_end] = '\n';
    return kept > 0 ? m_pos + kept - 1 : m_pos;
}

const ChunkMasks& WordListReader::scanFrom(std::size_t chunk, std::size_t lineStart) {
    // From the chunk where the line starts, unless the line is long, so that a walk
    // that goes on from the line's start, once more bytes are read, finds its masks.
    const std::size_t lineChunk = lineStart / kChunkSize;
    const std::size_t first = chunk - lineChunk < kMaskedChunks / 2 ? lineChunk : chunk;
    const std::size_t start = first * kChunkSize;
    const std::size_t size = std::min(kMaskedChunks * kChunkSize, m_end - start);
    scanChunks(m_buffer.get() + start, size, m_wanted, m_masks.get());
    m_firstMasked = first;
    m_maskedEnd = first + roundUpToChunk(size) / kChunkSize;
    return m_masks[chunk - first];
}

template <bool kByLetter, bool kByLength>
void WordListReader::readLinesKept(bool letter, std::size_t shortest, std::size_t most) {
    // For a line shorter than a chunk, the shifts that take the ends up 1 to
    // `shortest` places: 1 first, then doubling what is covered, six at most, those
    // once `shortest` is covered 0, so that each chunk takes all six without a branch.
    constexpr std::size_t kShifts = 6;
    static_assert(std::size_t{1} << kShifts >= kChunkSize);
    std::array<unsigned, kShifts> shifts{};
    if (kByLength && shortest < kChunkSize) {
        std::size_t covered = 1;
        for (unsigned& shift : shifts) {
            shift = static_cast<unsigned>(std::min(covered, shortest - covered));
            covered += shift;
        }
    }
    // Whether the line that runs into the chunk looked at holds, before that chunk, a
    // byte that keeps it (the letter, or a byte above 0x7F), as 1 or 0, and whether it
    // holds a byte above 0x7F there.
    std::uint64_t keptBefore = 0;
    bool highBefore = false;
    Line* const lines = m_lines.get();
    std::size_t count = 0;
    std::size_t lastKeptEnd = m_pos;
    // The bytes that keep a line by the letter rule.
    const std::uint64_t byWanted = letter ? ~std::uint64_t{0} : 0;
    const auto keepersOf = [byWanted](const ChunkMasks& masks) {
        return (masks.wanted & byWanted) | masks.high;
    };
    // True after a chunk in which no line is kept and none runs on kept.
    bool idle = false;
    const auto keep = [&](std::size_t start, const ChunkMasks& masks, std::size_t lineStart) {
        const std::uint64_t ends = masks.lineEnds;
        // The ends of the lines not passed over, by each rule in turn.
        std::uint64_t kept = ends;
        std::uint64_t keepers = 0;
        if constexpr (kByLetter) {
            keepers = keepersOf(masks);
            idle = (keepers | keptBefore) == 0;
            if (idle) {
                return kNowhere;  // most chunks, with a rare letter: nothing kept or carried
            }
            // Adding a line's keepers to its run of non-ends carries into the line's
            // end, and only then; a line from the chunk before carries in at bit 0.
            kept &= ~ends + (keepers | keptBefore);
        }
        if constexpr (kByLength) {
            // Only where the letter left a line to keep.
            if (kept != 0) {
                const std::uint64_t first = ends & (~ends + 1);
                std::uint64_t longEnough =
                    start + firstBit(ends) - lineStart >= shortest ? first : 0;
                if (shortest < kChunkSize) {
                    // Every later end is long enough when no end lies among the
                    // `shortest` bytes before it: the ends moved up 1 to `shortest` places.
                    std::uint64_t near = ends << 1;
                    for (const unsigned shift : shifts) {
                        near |= near << shift;
                    }
                    longEnough |= ends & ~near & ~first;
                }
                kept &= longEnough;
            }
        }
        for (; kept != 0; kept &= kept - 1) {
            const unsigned endBit = firstBit(kept);
            // The line's bytes in the chunk start after the end before it, if any;
            // those before the chunk are the line that runs into it.
            const auto after = static_cast<unsigned>(std::bit_width(below(ends, endBit)));
            const bool runsIn = after == 0;
            const std::size_t lineBegin = runsIn ? lineStart : start + after;
            const std::size_t end = start + endBit;
            // The lengths of the masks count the CR of a CRLF, which the line's text lacks.
            const std::size_t text = textEnd(lineBegin, end);
            if (kByLength && end - lineBegin <= shortest && text - lineBegin < shortest) {
                continue;
            }
            const bool ascii = (below(masks.high, endBit) >> after) == 0 && !(runsIn && highBefore);
            lines[count++] = {{m_buffer.get() + lineBegin, text - lineBegin}, ascii};
            lastKeptEnd = end + 1;
            if (count == most) {
                return end + 1;
            }
        }
        if (ends != 0) {
            const unsigned last = lastBit(ends);
            const std::uint64_t after = last < kChunkSize - 1 ? ~std::uint64_t{0} << (last + 1) : 0;
            keptBefore = (keepers & after) != 0 ? 1 : 0;
            highBefore = (masks.high & after) != 0;
        } else {
            keptBefore |= keepers != 0 ? 1 : 0;
            highBefore = highBefore || masks.high != 0;
        }
        return kNowhere;
    };
    // The walk: the masks of each chunk in turn, from the one that holds `from`, with
    // the bits before `from` cleared, to the last one of the bytes, worked out a run
    // of chunks at a time; `line` is where the line that runs into the chunk starts.
    std::size_t from = m_pos;
    std::size_t line = m_pos;
    for (;;) {
        idle = false;
        std::size_t start = from / kChunkSize * kChunkSize;
        std::uint64_t ahead = ~std::uint64_t{0} << (from % kChunkSize);
        std::size_t next = kNowhere;
        while (next == kNowhere && start < m_end) {
            const ChunkMasks* chunk = &masksOf(start / kChunkSize, line);
            const ChunkMasks* const masked = m_masks.get() + (m_maskedEnd - m_firstMasked);
            for (; chunk != masked; ++chunk, start += kChunkSize, ahead = ~std::uint64_t{0}) {
                if constexpr (kByLetter) {
                    if (idle) {
                        // After a chunk in which no line is kept or runs on, none is kept
                        // before the next chunk with a byte that keeps one: the walk goes
                        // straight there, and the line that runs into it starts after the
                        // last end before it. Only then, for with a common letter most
                        // chunks have one.
                        const ChunkMasks* keeper = chunk;
                        while (keeper != masked && keepersOf(*keeper) == 0) {
                            ++keeper;
                        }
                        for (const ChunkMasks* before = keeper; before != chunk;) {
                            --before;
                            if (before->lineEnds != 0) {
                                line = start +
                                       static_cast<std::size_t>(before - chunk) * kChunkSize +
                                       lastBit(before->lineEnds) + 1;
                                break;
                            }
                        }
                        start += static_cast<std::size_t>(keeper - chunk) * kChunkSize;
                        chunk = keeper;
                        idle = false;
                        if (chunk == masked) {
                            break;
                        }
                    }
                }
                const ChunkMasks masks{chunk->lineEnds & ahead, chunk->high & ahead,
                                       chunk->wanted & ahead};
                next = keep(start, masks, line);
                if (next != kNowhere) {
                    break;
                }
                if (masks.lineEnds != 0) {
                    line = start + lastBit(masks.lineEnds) + 1;
                }
            }
        }
        if (next != kNowhere) {
            m_pos = next;  // as many lines as asked for
            break;
        }
        if (m_atFileEnd) {
            m_pos = m_end;
            break;
        }
        if (count > 0) {
            // The lines found stay where they are until the next call, which reads on
            // from the line that the bytes end in, by the same rules.
            m_passedOver.to = line;
            m_pos = lastKeptEnd;
            break;
        }
        // The lines before the one that the bytes end in are passed over; that one is
        // kept for the next read to finish.
        m_pos = line;
        from = fill();
        line = m_pos;
    }
    m_lineCount = count;
}

std::span<const WordListReader::Line> WordListReader::readLines(const LinesToPassOver& passOver,
                                                                std::size_t most) {
    m_lineCount = 0;
    if (m_passedOver.to != kNowhere) {
        if (m_passedOver.rules == passOver) {
            m_pos = m_passedOver.to;
        }
        m_passedOver.to = kNowhere;
    }
    if (atEnd()) {
        return {};
    }
    m_passedOver.rules = passOver;
    bool byLetter = passOver.letter.has_value();
    if (passOver.lackingLetter && byLetter && *passOver.letter != m_wanted) {
        const std::optional<BytePair> letter = bytesOfALine(passOver.letter);
        byLetter = letter.has_value();
        if (letter && *letter != m_wanted) {
            m_wanted = *letter;
            m_maskedEnd = m_firstMasked;
        }
    }
    most = std::clamp<std::size_t>(most, 1, kLinesAtOnce);
    const std::size_t shortest = passOver.shorterThan;
    if (passOver.lackingLetter) {
        shortest > 0 ? readLinesKept<true, true>(byLetter, shortest, most)
                     : readLinesKept<true, false>(byLetter, shortest, most);
    } else if (shortest > 0) {
        readLinesKept<false, true>(false, shortest, most);
    } else {
        readLinesKept<false, false>(false, 0, most);
    }
    return {m_lines.get(), m_lineCount};
}
