#include "byte_scan.h"

// Compiled for the baseline of the processor family and, on x86, for SSSE3, AVX2
// and AVX-512 too, the widest the processor has being chosen: with lines passed
// over a chunk at a time, the masks are most of the work of a run that lists
// little, and AVX-512 finds each chunk's masks in one vector.
#define HWY_DISABLED_TARGETS (HWY_SSE4 | HWY_AVX3_DL)
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "byte_scan.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace trelliwick::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Vectors of at most 64 bytes, so that the lanes of a mask fit in one word.
using Bytes = hn::CappedTag<std::uint8_t, kChunkSize>;

// The lanes of `mask` as the bits of a word, lane 0 lowest.
std::uint64_t maskBits(Bytes d, hn::Mask<Bytes> mask) {
    std::uint8_t bytes[8] = {};
    hn::StoreMaskBits(d, mask, bytes);
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < (hn::Lanes(d) + 7) / 8; ++i) {
        bits |= std::uint64_t{bytes[i]} << (8 * i);
    }
    return hn::Lanes(d) == 64 ? bits : bits & ((std::uint64_t{1} << hn::Lanes(d)) - 1);
}

void ScanChunks(const char* bytes, std::size_t size, BytePair wanted, ChunkMasks* masks) {
    const Bytes d;
    const std::size_t lanes = hn::Lanes(d);
    const auto cr = hn::Set(d, '\r');
    const auto lf = hn::Set(d, '\n');
    const auto first = hn::Set(d, wanted.first);
    const auto second = hn::Set(d, wanted.second);
    const auto highBit = hn::Set(d, 0x80);
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes);
    const auto scan = [&](const std::uint8_t* chunk) {
        ChunkMasks out{0, 0, 0};
        for (std::size_t i = 0; i < kChunkSize; i += lanes) {
            const auto v = hn::LoadU(d, chunk + i);
            const auto lineFeed = hn::Eq(v, lf);
            const auto carriageReturn = hn::Eq(v, cr);
            // A CR that an LF follows ends no line, for the LF ends it.
            const auto lineFeedNext = hn::Eq(hn::LoadU(d, chunk + i + 1), lf);
            const auto lineEnd = hn::Or(lineFeed, hn::AndNot(lineFeedNext, carriageReturn));
            const auto looked = hn::Or(hn::Eq(v, first), hn::Eq(v, second));
            out.lineEnds |= maskBits(d, lineEnd) << i;
            out.high |= maskBits(d, hn::TestBit(v, highBit)) << i;
            out.wanted |= maskBits(d, looked) << i;
        }
        return out;
    };
    const std::size_t whole = size / kChunkSize;
    for (std::size_t chunk = 0; chunk < whole; ++chunk) {
        masks[chunk] = scan(p + chunk * kChunkSize);
    }
    if (const std::size_t rest = size % kChunkSize; rest != 0) {
        // Only the bytes before `size` count.
        const ChunkMasks last = scan(p + whole * kChunkSize);
        const std::uint64_t inside = (std::uint64_t{1} << rest) - 1;
        masks[whole] = {last.lineEnds & inside, last.high & inside, last.wanted & inside};
    }
}

}  // namespace trelliwick::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#if HWY_ARCH_X86 && (defined(__GNUC__) || defined(__clang__)) && !defined(_MSC_VER)
#include <cpuid.h>

namespace {

// Asked of the processor itself: clang's builtin does not know the feature's name.
bool hasF16c() {
    unsigned eax = 0;
    unsigned ebx = 0;
    unsigned ecx = 0;
    unsigned edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (ecx & bit_F16C) != 0;
}

}  // namespace
#endif

// Highway's own dispatch lives in its shared library, whose loading calibrates a
// timer at every start of the program, which takes longer than a whole run on a
// small list. The processor is asked here instead, where the compiler can ask it:
// GCC and clang, but not clang-cl, whose builtin needs a library that MSVC does not
// have.
std::vector<ChunkScan> runnableChunkScans() {
    std::vector<ChunkScan> scans{&trelliwick::HWY_STATIC_DISPATCH(ScanChunks)};
#if HWY_ARCH_X86 && (defined(__GNUC__) || defined(__clang__)) && !defined(_MSC_VER)
    if (__builtin_cpu_supports("sse3") && __builtin_cpu_supports("ssse3")) {
        scans.push_back(&trelliwick::N_SSSE3::ScanChunks);
    }
    // Highway's AVX2 target is compiled for all of these.
    if (__builtin_cpu_supports("sse4.1") && __builtin_cpu_supports("sse4.2") &&
        __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("aes") &&
        __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
        __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("fma") && hasF16c()) {
        scans.push_back(&trelliwick::N_AVX2::ScanChunks);
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
            __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw")) {
            scans.push_back(&trelliwick::N_AVX3::ScanChunks);
        }
    }
#endif
    return scans;
}

void scanChunks(const char* bytes, std::size_t size, BytePair wanted, ChunkMasks* masks) {
    static const ChunkScan scan = runnableChunkScans().back();
    scan(bytes, size, wanted, masks);
}
#endif
