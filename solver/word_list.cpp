#include "word_list.h"

#include <algorithm>
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
      m_masks(std::make_unique_for_overwrite<ChunkMasks[]>(kMaskedChunks)) {
    fill();
}

std::size_t WordListReader::fill() {
    m_keptAhead.start = kNowhere;
    m_nextEnd.at = kNowhere;
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
    // From the chunk where the line starts, unless the line is long, so that a second
    // walk over it (a line read, then handed back) finds its masks.
    const std::size_t lineChunk = lineStart / kChunkSize;
    const std::size_t first = chunk - lineChunk < kMaskedChunks / 2 ? lineChunk : chunk;
    const std::size_t start = first * kChunkSize;
    const std::size_t size = std::min(kMaskedChunks * kChunkSize, m_end - start);
    scanChunks(m_buffer.get() + start, size, m_wanted, m_masks.get());
    m_firstMasked = first;
    m_maskedEnd = first + roundUpToChunk(size) / kChunkSize;
    return m_masks[chunk - first];
}

template <typename Look>
std::size_t WordListReader::walk(std::size_t from, std::size_t& lineStart, Look&& look) {
    std::size_t line = lineStart;
    std::size_t start = from / kChunkSize * kChunkSize;
    // Only the bytes from `from` on count.
    std::uint64_t ahead = ~std::uint64_t{0} << (from % kChunkSize);
    while (start < m_end) {
        // The chunks whose masks were worked out together, in a run.
        const ChunkMasks* chunk = &masksOf(start / kChunkSize, line);
        const ChunkMasks* const masked = m_masks.get() + (m_maskedEnd - m_firstMasked);
        for (; chunk != masked; ++chunk, start += kChunkSize, ahead = ~std::uint64_t{0}) {
            const ChunkMasks masks{chunk->lineEnds & ahead, chunk->high & ahead,
                                   chunk->wanted & ahead};
            const std::size_t found = look(start, masks, line);
            if (found != kNowhere) {
                lineStart = line;
                return found;
            }
            if (masks.lineEnds != 0) {
                line = start + lastBit(masks.lineEnds) + 1;
            }
        }
    }
    lineStart = line;
    return kNowhere;
}

WordListReader::LineEnd WordListReader::walkToLineEnd() {
    bool ascii = true;
    const auto end = [&ascii](std::size_t start, const ChunkMasks& masks, std::size_t) {
        return firstEnd(start, masks, ascii);
    };
    for (std::size_t from = m_pos;; from = fill()) {
        std::size_t lineStart = m_pos;
        const std::size_t found = walk(from, lineStart, end);
        if (found != kNowhere) {
            return {found, ascii};
        }
        if (m_atFileEnd) {
            return {m_end, ascii};  // no line is left
        }
    }
}

template <bool kByLength>
WordListReader::KeptLine WordListReader::keptLineIn(std::size_t start, std::uint64_t ends,
                                                    std::uint64_t kept, std::size_t lineStart,
                                                    std::size_t shortest) const {
    for (; kept != 0; kept &= kept - 1) {
        const std::uint64_t endsBefore = below(ends, firstBit(kept));
        const std::size_t keptStart = endsBefore == 0 ? lineStart : start + lastBit(endsBefore) + 1;
        // The lengths of the masks count the CR of a CRLF, which the line's text lacks.
        const std::size_t end = start + firstBit(kept);
        if (!kByLength || end - keptStart > shortest ||
            textEnd(keptStart, end) - keptStart >= shortest) {
            return {keptStart, kept & (~kept + 1)};
        }
    }
    return {kNowhere, 0};
}

bool WordListReader::nextKeptInChunk(const LinesToPassOver& passOver) {
    KeptAhead& ahead = m_keptAhead;
    const LinesToPassOver& rules = ahead.rules;
    if (ahead.start == kNowhere || ahead.lastEnd + 1 != m_pos ||
        rules.lackingLetter != passOver.lackingLetter || rules.letter != passOver.letter ||
        rules.shorterThan != passOver.shorterThan) {
        ahead.start = kNowhere;
        return false;
    }
    // Each line kept ahead starts after an end of the chunk: its start is known.
    const KeptLine found =
        passOver.shorterThan > 0
            ? keptLineIn<true>(ahead.start, ahead.masks.lineEnds, ahead.masks.wanted, 0,
                               passOver.shorterThan)
            : keptLineIn<false>(ahead.start, ahead.masks.lineEnds, ahead.masks.wanted, 0, 0);
    if (found.start == kNowhere) {
        ahead.start = kNowhere;
        return false;
    }
    const unsigned end = firstBit(found.endBit);
    ahead.lastEnd = ahead.start + end;
    ahead.masks.wanted &= ~(found.endBit | (found.endBit - 1));
    m_pos = found.start;
    const auto first = static_cast<unsigned>(found.start - ahead.start);
    m_nextEnd = {ahead.lastEnd,
                 (ahead.masks.high >> first & ((std::uint64_t{1} << (end - first)) - 1)) == 0};
    return true;
}

template <bool kByLetter, bool kByLength>
std::size_t WordListReader::firstLineKept(bool letter, std::size_t shortest) {
    // For a line shorter than a chunk, the shifts that take the ends up 1 to
    // `shortest` places: 1 first, then doubling what is covered.
    unsigned shifts[8] = {};
    std::size_t shiftCount = 0;
    if (kByLength && shortest < kChunkSize) {
        for (std::size_t covered = 1; covered < shortest; covered += shifts[shiftCount++]) {
            shifts[shiftCount] = static_cast<unsigned>(std::min(covered, shortest - covered));
        }
    }
    // 1 when the line that runs into the chunk looked at holds a byte that keeps it
    // (the letter, or a byte above 0x7F) before that chunk.
    std::uint64_t keptBefore = 0;
    const auto firstKept = [&](std::size_t start, const ChunkMasks& masks, std::size_t lineStart) {
        const std::uint64_t ends = masks.lineEnds;
        // The ends of the lines not passed over, by each rule in turn.
        std::uint64_t kept = ends;
        std::uint64_t keepers = 0;
        if constexpr (kByLetter) {
            keepers = (letter ? masks.wanted : 0) | masks.high;
            if ((keepers | keptBefore) == 0) {
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
                    for (std::size_t i = 0; i < shiftCount; ++i) {
                        near |= near << shifts[i];
                    }
                    longEnough |= ends & ~near & ~first;
                }
                kept &= longEnough;
            }
        }
        if (kept != 0) {
            const KeptLine found = keptLineIn<kByLength>(start, ends, kept, lineStart, shortest);
            if (found.start != kNowhere) {
                m_keptAhead.start = start;
                m_keptAhead.lastEnd = start + firstBit(found.endBit);
                m_keptAhead.masks = {ends, masks.high, kept & ~(found.endBit | (found.endBit - 1))};
                return found.start;
            }
        }
        if constexpr (kByLetter) {
            if (ends != 0) {
                const unsigned last = lastBit(ends);
                keptBefore = last < kChunkSize - 1 && (keepers >> (last + 1)) != 0 ? 1 : 0;
            } else if (keepers != 0) {
                keptBefore = 1;
            }
        }
        return kNowhere;
    };
    std::size_t from = m_pos;
    std::size_t lineStart = m_pos;
    for (;;) {
        const std::size_t kept = walk(from, lineStart, firstKept);
        if (kept != kNowhere) {
            return kept;
        }
        if (m_atFileEnd) {
            return m_end;
        }
        // The lines before the one that the bytes end in are passed over; that one is
        // kept for the next read to finish.
        m_pos = lineStart;
        from = fill();
        lineStart = m_pos;
    }
}

void WordListReader::consume(const LinesToPassOver& passOver) {
    if (atEnd()) {
        return;
    }
    bool byLetter = passOver.letter.has_value();
    if (passOver.lackingLetter && byLetter && *passOver.letter != m_wanted) {
        const std::optional<BytePair> letter = bytesOfALine(passOver.letter);
        byLetter = letter.has_value();
        if (letter && *letter != m_wanted) {
            m_wanted = *letter;
            m_maskedEnd = m_firstMasked;
        }
    }
    m_pos = nextLineEnd().at + 1;
    m_nextEnd.at = kNowhere;
    if (nextKeptInChunk(passOver)) {
        return;
    }
    m_keptAhead.rules = passOver;
    const std::size_t shortest = passOver.shorterThan;
    if (passOver.lackingLetter) {
        m_pos = shortest > 0 ? firstLineKept<true, true>(byLetter, shortest)
                             : firstLineKept<true, false>(byLetter, shortest);
    } else if (shortest > 0) {
        m_pos = firstLineKept<false, true>(false, shortest);
    } else {
        // Every line is kept: this finds where the next one ends, and those after it
        // in its chunk, reading more if the bytes end inside it.
        m_pos = firstLineKept<false, false>(false, 0);
    }
}
