#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

/// Eight bytes at a time: helpers for scanning text a machine word at a time.
namespace eight_bytes {

inline constexpr std::uint64_t kOnes = 0x0101010101010101;
inline constexpr std::uint64_t kHighBits = kOnes * 0x80;

/// The eight bytes at `p`, the first in the lowest byte, whatever the machine.
inline std::uint64_t load(const char* p) {
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    if constexpr (std::endian::native == std::endian::big) {
        std::uint64_t swapped = 0;
        for (int i = 0; i < 8; ++i) {
            swapped = (swapped << 8) | ((x >> (8 * i)) & 0xFF);
        }
        x = swapped;
    }
    return x;
}

}  // namespace eight_bytes
