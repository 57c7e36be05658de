#include "byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(ChunkScan, EveryRunnableScanMarksOneEndPerLine) {
    // Each scan, the baseline's included, which this processor would never choose by
    // itself, against the masks worked out by hand, bit by bit.
    const std::vector<ChunkScan> scans = runnableChunkScans();
    ASSERT_FALSE(scans.empty());
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<char> bytes(kChunkSize * 64 + 1);  // and the byte after the last chunk
    for (int round = 0; round < 40; ++round) {
        for (char& b : bytes) {
            // Mostly the bytes the masks look for, so that every mask has bits, and
            // CRLFs across the edges of chunks.
            const int pick = byte(random);
            b = static_cast<char>(pick < 40    ? '\r'
                                  : pick < 80  ? '\n'
                                  : pick < 120 ? 'q'
                                               : byte(random));
        }
        // Some whole chunks, some ending part-way through one; some ending in a CR that
        // the byte after them follows with an LF or not.
        std::size_t size = std::uniform_int_distribution<std::size_t>(1, kChunkSize * 64)(random);
        if (round % 4 == 0) {
            size = (size + kChunkSize - 1) / kChunkSize * kChunkSize;
        }
        if (round % 3 == 0) {
            bytes[size - 1] = '\r';
            bytes[size] = round % 2 == 0 ? '\n' : 'x';
        }
        const BytePair wanted{'q', static_cast<std::uint8_t>(byte(random))};
        const std::size_t chunks = (size + kChunkSize - 1) / kChunkSize;
        std::vector<ChunkMasks> expected(chunks, ChunkMasks{0, 0, 0});
        for (std::size_t i = 0; i < size; ++i) {
            ChunkMasks& chunk = expected[i / kChunkSize];
            const std::uint64_t bit = std::uint64_t{1} << (i % kChunkSize);
            const auto b = static_cast<std::uint8_t>(bytes[i]);
            if (b == '\n' || (b == '\r' && bytes[i + 1] != '\n')) {
                chunk.lineEnds |= bit;
            }
            if (b >= 0x80) {
                chunk.high |= bit;
            }
            if (b == wanted.first || b == wanted.second) {
                chunk.wanted |= bit;
            }
        }
        for (const ChunkScan scan : scans) {
            std::vector<ChunkMasks> masks(chunks);
            scan(bytes.data(), size, wanted, masks.data());
            for (std::size_t chunk = 0; chunk < chunks; ++chunk) {
                EXPECT_EQ(masks[chunk].lineEnds, expected[chunk].lineEnds) << round << " " << chunk;
                EXPECT_EQ(masks[chunk].high, expected[chunk].high) << round << " " << chunk;
                EXPECT_EQ(masks[chunk].wanted, expected[chunk].wanted) << round << " " << chunk;
            }
        }
    }
}

}  // namespace
