#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class Word;

/// One slot of the letter table: an upper-case letter (a Unicode code point), or
/// one of the three values below, which lie beyond every code point and so never
/// equal a letter.
using Slot = char32_t;
inline constexpr Slot EmptySlot = 0x0011'0000;  // the empty string
inline constexpr Slot UsedMark = 0x0011'0123;   // "123": a letter already matched
inline constexpr Slot EndMarker = 0x0011'0E0D;  // "end": the end of a fill

/// The scratch table of single letters that both word tests work on: slots 0 to
/// 200, slot 0 unused. It lives across words and runs and is never cleared: each
/// fill overwrites the slots it names, and slots beyond a fill keep what an earlier
/// word left there. Writing a slot above 200 throws SolveFailure.
class LetterTable {
public:
    static constexpr std::size_t kLastSlot = 200;

    LetterTable();

    /// The first fill: slots 1 to LE take the essential letters (upper-cased by the
    /// caller), slot LE + 2 the EndMarker; slot LE + 1 is left as it is.
    void fillEssentials(std::u32string_view essentials) {
        fillLetters(essentials, {});
        write(essentials.size() + 2, EndMarker);
    }

    /// The second fill: slots 1 to LE take the essential letters, LE + 1 to LE + LO
    /// the others, LE + LO + 1 the empty string, LE + LO + 3 the EndMarker; slot
    /// LE + LO + 2 is left as it is.
    void fillPool(std::u32string_view essentials, std::u32string_view others) {
        fillLetters(essentials, others);
        write(essentials.size() + others.size() + 1, EmptySlot);
        write(essentials.size() + others.size() + 3, EndMarker);
    }

    /// True when every one of slots 1 to `essentialCount` equals some letter of
    /// `word`; marks each slot it finds with the UsedMark and stops at the first it
    /// does not. One letter of the word may satisfy several slots.
    bool EssentialTest(const Word& word, std::size_t essentialCount);

    /// True when each letter of `word`, in order, equals an unused slot among 1 to
    /// `poolSize`; the first such slot is marked with the UsedMark, so each slot serves
    /// one letter. Stops at the first letter that finds none.
    bool PoolTest(const Word& word, std::size_t poolSize);

private:
    // Letters times word length beyond which the EssentialTest looks letters up
    // instead of searching the word for each.
    static constexpr std::size_t kSearchLimit = 4096;

    bool essentialTestByPresence(const Word& word, std::size_t essentialCount);
    // Slots 1 onwards take the letters of `first`, then those of `second`.
    void fillLetters(std::u32string_view first, std::u32string_view second) {
        if (first.size() + second.size() > kLastSlot) {
            fillLettersOneByOne(first, second);
            return;
        }
        // Plain loops: a call to copy a few letters costs more than the copy.
        Slot* slot = &m_slots[1];
        for (const char32_t letter : first) {
            *slot++ = letter;
        }
        for (const char32_t letter : second) {
            *slot++ = letter;
        }
    }
    // The same for too many letters: they are written up to the slot that is not there.
    void fillLettersOneByOne(std::u32string_view first, std::u32string_view second);
    void write(std::size_t index, Slot value) {
        if (index > kLastSlot) {
            overflow(index);
        }
        m_slots[index] = value;
    }
    [[noreturn]] static void overflow(std::size_t index);

    std::array<Slot, kLastSlot + 1> m_slots;
    std::vector<std::uint64_t> m_present;  // one bit per code point, all clear between words
};

namespace ascii_letters {

// The upper-case form of each byte below 0x80.
inline constexpr std::array<std::uint8_t, 128> kUpperAscii = [] {
    std::array<std::uint8_t, 128> upper{};
    for (std::size_t byte = 0; byte < upper.size(); ++byte) {
        upper[byte] =
            static_cast<std::uint8_t>(byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte);
    }
    return upper;
}();
// A set of letters below 0x80, a bit each.
struct AsciiLetterBits {
    std::uint64_t low = 0;   // 0x00 to 0x3F
    std::uint64_t high = 0;  // 0x40 to 0x7F
};
constexpr AsciiLetterBits bitOf(std::size_t letter) {
    const std::uint64_t bit = std::uint64_t{1} << (letter % 64);
    return letter < 64 ? AsciiLetterBits{bit, 0} : AsciiLetterBits{0, bit};
}
// The bit of each byte's upper-case form, and none after them.
inline constexpr std::array<AsciiLetterBits, 129> kAsciiLetterBits = [] {
    std::array<AsciiLetterBits, 129> bits{};
    for (std::size_t byte = 0; byte < kUpperAscii.size(); ++byte) {
        bits[byte] = bitOf(kUpperAscii[byte]);
    }
    return bits;
}();

}  // namespace ascii_letters

/// Both word tests for a word of plain ASCII (no byte above 0x7F), decided from
/// the letters' presence and counts in one pass over its bytes, not slot by slot.
/// Made once a run from the letters the fills would write (upper-cased), each test
/// gives the verdict that the letter table's gives after its fill.
class AsciiWordTests {
public:
    /// `byHalves` false keeps the PoolTest to SSE2, as on a processor without SSSE3.
    AsciiWordTests(std::u32string_view essentials, std::u32string_view others,
                   bool byHalves = true);

    /// Both tests read a word shorter than this this many bytes from its start,
    /// whatever its length, so that no branch depends on its length: they must be
    /// readable.
    static constexpr std::size_t kShortWord = 16;

    /// True when the word holds every essential letter, in either case.
    bool EssentialTest(std::string_view word) const {
        if (m_needsNone || m_needsOtherThanAscii) {
            return m_needsNone;
        }
#if defined(__SSE2__)
        if (word.size() < kShortWord) {
            const ShortWord letters = shortWord(word);
            for (const LetterLanes& letter : m_essentialLanes) {
                if (where(letters, letter) == 0) {
                    return false;
                }
            }
            return true;
        }
#endif
        const ascii_letters::AsciiLetterBits letters = lettersOf(word);
        return (letters.low & m_essentials.low) == m_essentials.low &&
               (letters.high & m_essentials.high) == m_essentials.high;
    }

    /// True when each letter of the word, in either case, can take a letter of the
    /// pool of its own.
    bool PoolTest(std::string_view word) const {
#if defined(__SSE2__)
        if (word.size() < kShortWord) {
            // Most words that fail hold a letter that the pool lacks: all of the pool's
            // letters are looked for first, and only then counted.
            const ShortWord letters = shortWord(word);
            if (m_byNibbles ? !allPooledByNibbles(letters) : !allPooled(letters)) {
                return false;
            }
            for (const LetterLanes& letter : m_poolLanes) {
                unsigned places = where(letters, letter);
                for (unsigned i = 0; i < letter.count && places != 0; ++i) {
                    places &= places - 1;
                }
                if (places != 0) {
                    return false;  // more of it than the pool holds
                }
            }
            return true;
        }
#else
        if (word.size() < kShortWord) {
            // Most words that fail hold a letter that the pool lacks: a look at the
            // word's letters at once, without a branch on where that letter stands.
            const ascii_letters::AsciiLetterBits letters = lettersOf(word);
            if ((letters.low & ~m_poolLetters.low) != 0 ||
                (letters.high & ~m_poolLetters.high) != 0) {
                return false;
            }
        }
#endif
        std::array<std::uint8_t, 128> left = m_pool;
        for (const char byte : word) {
            std::uint8_t& count =
                left[ascii_letters::kUpperAscii[static_cast<std::uint8_t>(byte) & 0x7F]];
            if (count == 0) {
                return false;
            }
            --count;
        }
        return true;
    }

private:
    static constexpr std::size_t kNoLetter = 128;

    // A letter below 0x80 as many times as a vector holds bytes, and how often the
    // pool holds it.
    struct LetterLanes {
        alignas(16) std::array<std::uint8_t, 16> bytes;
        std::uint8_t count;
    };
#if defined(__SSE2__)
    // A word shorter than kShortWord as one vector of its bytes, upper-cased, with a
    // bit for each byte that is part of it.
    struct ShortWord {
        __m128i upper;
        unsigned inside;
    };
    static ShortWord shortWord(std::string_view word) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(word.data()));
        const __m128i lower = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('a' - 1)),
                                            _mm_cmplt_epi8(bytes, _mm_set1_epi8('z' + 1)));
        return {_mm_sub_epi8(bytes, _mm_and_si128(lower, _mm_set1_epi8('a' - 'A'))),
                (1U << word.size()) - 1};
    }
    static __m128i lanes(const LetterLanes& letter) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(letter.bytes.data()));
    }
    // True when each byte of the word is one of the pool's letters: compared with
    // each of them in turn,
    bool allPooled(const ShortWord& word) const {
        __m128i pooled = _mm_setzero_si128();
        for (const LetterLanes& letter : m_poolLanes) {
            pooled = _mm_or_si128(pooled, _mm_cmpeq_epi8(word.upper, lanes(letter)));
        }
        return (static_cast<unsigned>(_mm_movemask_epi8(pooled)) & word.inside) == word.inside;
    }
    // or, on processors with SSSE3, looked up by the byte's two halves at once, in as
    // many steps for a pool of any size.
    bool allPooledByNibbles(const ShortWord& word) const;
    static bool hasSsse3();
    // A bit for each byte of the word that is the letter.
    static unsigned where(const ShortWord& word, const LetterLanes& letter) {
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(word.upper, lanes(letter)))) &
               word.inside;
    }
#endif

    // The letters of the word, upper-cased, a bit each.
    static ascii_letters::AsciiLetterBits lettersOf(std::string_view word) {
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        if (word.size() < kShortWord) {
            for (std::size_t i = 0; i < kShortWord; ++i) {
                const auto byte = static_cast<std::uint8_t>(word.data()[i]);
                const std::size_t at = i < word.size() ? byte & 0x7F : kNoLetter;
                low |= ascii_letters::kAsciiLetterBits[at].low;
                high |= ascii_letters::kAsciiLetterBits[at].high;
            }
            return {low, high};
        }
        for (const char byte : word) {
            const std::uint8_t at = static_cast<std::uint8_t>(byte) & 0x7F;
            low |= ascii_letters::kAsciiLetterBits[at].low;
            high |= ascii_letters::kAsciiLetterBits[at].high;
        }
        return {low, high};
    }

    bool m_needsNone;
    bool m_needsOtherThanAscii = false;           // an essential letter that no ASCII word holds
    ascii_letters::AsciiLetterBits m_essentials;  // the essential letters below 0x80
    // How often each letter below 0x80 stands among the essential and other letters,
    // and which of them do.
    std::array<std::uint8_t, 128> m_pool{};
    ascii_letters::AsciiLetterBits m_poolLetters;
    // The same letters, each once.
    std::vector<LetterLanes> m_essentialLanes;
    std::vector<LetterLanes> m_poolLanes;
#if defined(__SSE2__)
    // For each low half of a byte, a bit for each high half (0 to 7) that makes the
    // byte one of the pool's letters; and the bit of each high half.
    alignas(16) std::array<std::uint8_t, 16> m_poolByLowHalf{};
    alignas(16) std::array<std::uint8_t, 16> m_highHalfBits{};
    bool m_byNibbles = false;
#endif
};
