#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

/// What the word list reader needs to know of 64 bytes of text, one bit per byte
/// (bit i for byte i): where lines end, which bytes lie above 0x7F, and which bytes
/// are the one or two the reader is looking for.
///
/// A line ends at CR, CRLF or LF, and `lineEnds` has one bit for each line: at its
/// LF, or at a CR that no LF follows. The CR of a CRLF is the one byte of a line end
/// without a bit; it is trimmed from the line.
struct ChunkMasks {
    std::uint64_t lineEnds;
    std::uint64_t high;    // 0x80 to 0xFF
    std::uint64_t wanted;  // `BytePair::first` or `BytePair::second`
};

/// The bytes that `ChunkMasks::wanted` flags: a letter's two cases, or one byte twice.
struct BytePair {
    std::uint8_t first = 0;
    std::uint8_t second = 0;

    friend bool operator==(const BytePair&, const BytePair&) = default;
};

inline constexpr std::size_t kChunkSize = 64;

/// Fills `masks[i]` for the bytes from `bytes + 64 * i` on, for each chunk of the
/// `size` bytes at `bytes`, the last of which may be short; no bit is set at or past
/// `size`. A CR at `bytes[size - 1]` ends a line only when `bytes[size]` is no LF.
/// Every byte of those chunks must be readable, and the byte after them.
using ChunkScan = void (*)(const char* bytes, std::size_t size, BytePair wanted, ChunkMasks* masks);

/// The chunk scans of this build that this processor can run, one for each set of
/// vector instructions, the baseline's first. All give the same masks.
std::vector<ChunkScan> runnableChunkScans();

/// Scans with the last, widest, of the runnable scans.
void scanChunks(const char* bytes, std::size_t size, BytePair wanted, ChunkMasks* masks);
