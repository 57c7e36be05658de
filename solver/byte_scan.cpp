#include "byte_scan.h"

// Compiled once for each instruction set Highway knows; the best one this processor
// runs is chosen when first called.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "byte_scan.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace trelliwick::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// The lanes of `mask` as the bits of a word, lane 0 lowest.
template <class D>
std::uint64_t maskBits(D d, hn::Mask<D> mask) {
    std::uint8_t bytes[8] = {};
    hn::StoreMaskBits(d, mask, bytes);
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < (hn::Lanes(d) + 7) / 8; ++i) {
        bits |= std::uint64_t{bytes[i]} << (8 * i);
    }
    return hn::Lanes(d) >= 64 ? bits : bits & ((std::uint64_t{1} << hn::Lanes(d)) - 1);
}

void ScanChunks(const char* bytes, std::size_t chunks, BytePair wanted, ChunkMasks* masks) {
    const hn::ScalableTag<std::uint8_t> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto cr = hn::Set(d, '\r');
    const auto lf = hn::Set(d, '\n');
    const auto first = hn::Set(d, wanted.first);
    const auto second = hn::Set(d, wanted.second);
    const auto highBit = hn::Set(d, 0x80);
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes);
    for (std::size_t chunk = 0; chunk < chunks; ++chunk, p += kChunkSize) {
        ChunkMasks out{0, 0, 0};
        for (std::size_t i = 0; i < kChunkSize; i += lanes) {
            const auto v = hn::LoadU(d, p + i);
            out.lineEnds |= maskBits(d, hn::Or(hn::Eq(v, cr), hn::Eq(v, lf))) << i;
            out.high |= maskBits(d, hn::TestBit(v, highBit)) << i;
            out.wanted |= maskBits(d, hn::Or(hn::Eq(v, first), hn::Eq(v, second))) << i;
        }
        masks[chunk] = out;
    }
}

}  // namespace trelliwick::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace trelliwick {
HWY_EXPORT(ScanChunks);
}  // namespace trelliwick

void scanChunks(const char* bytes, std::size_t chunks, BytePair wanted, ChunkMasks* masks) {
    HWY_DYNAMIC_DISPATCH(trelliwick::ScanChunks)(bytes, chunks, wanted, masks);
}
#endif
