#include "letter_table.h"

#include "characters.h"
#include "solve_failure.h"

#include <algorithm>
#include <string>

#if defined(__SSE2__)
#include <tmmintrin.h>
#endif

namespace {

constexpr std::size_t kBitsPerWord = 64;
constexpr std::size_t kCodePoints = 0x110000;

}  // namespace

LetterTable::LetterTable() {
    m_slots.fill(EmptySlot);
}

void LetterTable::overflow(std::size_t index) {
    throw SolveFailure("the letters need slot " + std::to_string(index) +
                       " of the letter table, which ends at slot " + std::to_string(kLastSlot));
}

void LetterTable::fillLettersOneByOne(std::u32string_view first, std::u32string_view second) {
    std::size_t index = 1;
    for (const auto letters : {first, second}) {
        for (const char32_t letter : letters) {
            write(index++, letter);
        }
    }
}

bool LetterTable::EssentialTest(const Word& word, std::size_t essentialCount) {
    if (essentialCount * word.length() > kSearchLimit) {
        return essentialTestByPresence(word, essentialCount);
    }
    for (std::size_t i = 1; i <= essentialCount; ++i) {
        const Slot letter = m_slots[i];
        if (word.forEachUpper([letter](char32_t c) { return c != letter; })) {
            return false;  // the walk went through the word without finding it
        }
        m_slots[i] = UsedMark;
    }
    return true;
}

bool LetterTable::essentialTestByPresence(const Word& word, std::size_t essentialCount) {
    // The same test for a long word and many letters: one walk notes which letters
    // the word holds, so that a search per letter cannot take word length times
    // letters. The notes are taken off again as they were put on.
    m_present.resize(kCodePoints / kBitsPerWord);
    word.forEachUpper([this](char32_t c) {
        m_present[c / kBitsPerWord] |= std::uint64_t{1} << (c % kBitsPerWord);
        return true;
    });
    bool allFound = true;
    for (std::size_t i = 1; i <= essentialCount; ++i) {
        const Slot letter = m_slots[i];
        if (letter >= kCodePoints ||
            (m_present[letter / kBitsPerWord] >> (letter % kBitsPerWord) & 1) == 0) {
            allFound = false;
            break;
        }
        m_slots[i] = UsedMark;
    }
    word.forEachUpper([this](char32_t c) {
        m_present[c / kBitsPerWord] = 0;
        return true;
    });
    return allFound;
}

AsciiWordTests::AsciiWordTests(std::u32string_view essentials, std::u32string_view others,
                               [[maybe_unused]] bool byHalves)
    : m_needsNone(essentials.empty()) {
    for (const char32_t letter : essentials) {
        if (letter < 0x80) {
            m_essentials.low |= ascii_letters::bitOf(letter).low;
            m_essentials.high |= ascii_letters::bitOf(letter).high;
        } else {
            m_needsOtherThanAscii = true;
        }
    }
    for (const auto letters : {essentials, others}) {
        for (const char32_t letter : letters) {
            // A pool too large for these counts is too large for the table.
            if (letter < 0x80 && m_pool[letter] < 0xFF) {
                ++m_pool[letter];
                m_poolLetters.low |= ascii_letters::bitOf(letter).low;
                m_poolLetters.high |= ascii_letters::bitOf(letter).high;
            }
        }
    }
    const auto lanesOf = [](std::size_t letter, std::uint8_t count) {
        LetterLanes lanes{};
        lanes.bytes.fill(static_cast<std::uint8_t>(letter));
        lanes.count = count;
        return lanes;
    };
#if defined(__SSE2__)
    m_byNibbles = byHalves && hasSsse3();
    for (std::size_t half = 0; half < 8; ++half) {
        m_highHalfBits[half] = static_cast<std::uint8_t>(1U << half);
    }
    for (std::size_t letter = 0; letter < m_pool.size(); ++letter) {
        if (m_pool[letter] > 0) {
            m_poolByLowHalf[letter % 16] |= static_cast<std::uint8_t>(1U << (letter / 16));
        }
    }
#endif
    for (std::size_t letter = 0; letter < m_pool.size(); ++letter) {
        const ascii_letters::AsciiLetterBits bit = ascii_letters::bitOf(letter);
        if ((m_essentials.low & bit.low) != 0 || (m_essentials.high & bit.high) != 0) {
            m_essentialLanes.push_back(lanesOf(letter, m_pool[letter]));
        }
        if (m_pool[letter] > 0) {
            m_poolLanes.push_back(lanesOf(letter, m_pool[letter]));
        }
    }
}

#if defined(__SSE2__)
bool AsciiWordTests::hasSsse3() {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_cpu_supports("ssse3") != 0;
#else
    return false;
#endif
}

#if defined(__GNUC__) || defined(__clang__)
__attribute__((target("ssse3")))
#endif
bool AsciiWordTests::allPooledByNibbles(const ShortWord& word) const {
#if defined(__GNUC__) || defined(__clang__)
    const __m128i halves = _mm_set1_epi8(0x0F);
    const __m128i low = _mm_and_si128(word.upper, halves);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(word.upper, 4), halves);
    const __m128i pooled = _mm_and_si128(
        _mm_shuffle_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(m_poolByLowHalf.data())),
                         low),
        _mm_shuffle_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(m_highHalfBits.data())),
                         high));
    const auto outside =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(pooled, _mm_setzero_si128())));
    return (outside & word.inside) == 0;
#else
    return allPooled(word);
#endif
}
#endif

bool LetterTable::PoolTest(const Word& word, std::size_t poolSize) {
    auto* const pool = m_slots.data() + 1;
    return word.forEachUpper([&](char32_t letter) {
        auto* const slot = std::find(pool, pool + poolSize, letter);
        if (slot == pool + poolSize) {
            return false;
        }
        *slot = UsedMark;
        return true;
    });
}
