#include "byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(ChunkScan, EveryRunnableScanGivesTheSameMasks) {
    // The chosen scan against each other one, the baseline's included, which this
    // processor would never choose by itself.
    const std::vector<ChunkScan> scans = runnableChunkScans();
    ASSERT_FALSE(scans.empty());
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<char> bytes(kChunkSize * 64);
    for (int round = 0; round < 20; ++round) {
        for (char& b : bytes) {
            // Mostly the bytes the masks look for, so that every mask has bits.
            const int pick = byte(random);
            b = static_cast<char>(pick < 40    ? '\r'
                                  : pick < 80  ? '\n'
                                  : pick < 120 ? 'q'
                                               : byte(random));
        }
        const BytePair wanted{'q', static_cast<std::uint8_t>(byte(random))};
        const std::size_t chunks = bytes.size() / kChunkSize;
        std::vector<ChunkMasks> expected(chunks);
        scans.back()(bytes.data(), chunks, wanted, expected.data());
        // Worked out by hand for the first chunk, so that a scan that is wrong the
        // same way everywhere fails too.
        for (std::size_t i = 0; i < kChunkSize; ++i) {
            const auto b = static_cast<std::uint8_t>(bytes[i]);
            EXPECT_EQ((expected[0].lineEnds >> i) & 1, b == '\r' || b == '\n' ? 1u : 0u) << i;
            EXPECT_EQ((expected[0].high >> i) & 1, b >= 0x80 ? 1u : 0u) << i;
            EXPECT_EQ((expected[0].wanted >> i) & 1,
                      b == wanted.first || b == wanted.second ? 1u : 0u)
                << i;
        }
        for (const ChunkScan scan : scans) {
            std::vector<ChunkMasks> masks(chunks);
            scan(bytes.data(), chunks, wanted, masks.data());
            for (std::size_t chunk = 0; chunk < chunks; ++chunk) {
                EXPECT_EQ(masks[chunk].lineEnds, expected[chunk].lineEnds) << chunk;
                EXPECT_EQ(masks[chunk].high, expected[chunk].high) << chunk;
                EXPECT_EQ(masks[chunk].wanted, expected[chunk].wanted) << chunk;
            }
        }
    }
}

}  // namespace
