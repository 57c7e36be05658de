#include "letter_table.h"

#include "characters.h"
#include "solve_failure.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::size_t kBitsPerWord = 64;
constexpr std::size_t kCodePoints = 0x110000;

}  // namespace

LetterTable::LetterTable() : m_present(kCodePoints / kBitsPerWord) {
    m_slots.fill(EmptySlot);
}

void LetterTable::write(std::size_t index, Slot value) {
    if (index > kLastSlot) {
        throw SolveFailure("the letter table has no slot " + std::to_string(index));
    }
    m_slots[index] = value;
}

void LetterTable::fillEssentials(std::u32string_view essentials) {
    fillLetters(essentials, {});
    write(essentials.size() + 2, EndMarker);
}

void LetterTable::fillPool(std::u32string_view essentials, std::u32string_view others) {
    fillLetters(essentials, others);
    write(essentials.size() + others.size() + 1, EmptySlot);
    write(essentials.size() + others.size() + 3, EndMarker);
}

void LetterTable::fillLetters(std::u32string_view first, std::u32string_view second) {
    if (first.size() + second.size() <= kLastSlot) {
        // Plain loops: a call to copy a few letters costs more than the copy.
        Slot* slot = &m_slots[1];
        for (const char32_t letter : first) {
            *slot++ = letter;
        }
        for (const char32_t letter : second) {
            *slot++ = letter;
        }
        return;
    }
    // Too many letters: write them one by one up to the slot that is not there.
    std::size_t index = 1;
    for (const auto letters : {first, second}) {
        for (const char32_t letter : letters) {
            write(index++, letter);
        }
    }
}

bool LetterTable::EssentialTest(const Word& word, std::size_t essentialCount) {
    if (essentialCount == 0) {
        return true;
    }
    // One walk notes which letters the word holds, so that a long word meets many
    // essential letters in the time of one pass; the notes are taken off again.
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

bool LetterTable::PoolTest(const Word& word, std::size_t poolSize) {
    const auto pool = std::begin(m_slots) + 1;
    return word.forEachUpper([&](char32_t letter) {
        const auto slot = std::find(pool, pool + poolSize, letter);
        if (slot == pool + poolSize) {
            return false;
        }
        *slot = UsedMark;
        return true;
    });
}
