#include "letter_table.h"

#include "solve_failure.h"

#include <algorithm>
#include <string>

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

bool LetterTable::EssentialTest(std::u32string_view word, std::size_t essentialCount) {
    if (essentialCount * word.size() > kSearchLimit) {
        return essentialTestByPresence(word, essentialCount);
    }
    for (std::size_t i = 1; i <= essentialCount; ++i) {
        if (word.find(m_slots[i]) == std::u32string_view::npos) {
            return false;
        }
        m_slots[i] = UsedMark;
    }
    return true;
}

bool LetterTable::essentialTestByPresence(std::u32string_view word, std::size_t essentialCount) {
    // The same test for a long word and many letters: one pass notes which letters
    // the word holds, so that a search per letter cannot take word length times
    // letters. The marks are taken off again as they were put on.
    constexpr std::size_t kBits = 64;
    constexpr std::size_t kCodePoints = 0x110000;
    m_present.resize(kCodePoints / kBits);
    for (const char32_t c : word) {
        m_present[c / kBits] |= std::uint64_t{1} << (c % kBits);
    }
    bool allFound = true;
    for (std::size_t i = 1; i <= essentialCount; ++i) {
        const Slot letter = m_slots[i];
        if (letter >= kCodePoints || (m_present[letter / kBits] >> (letter % kBits) & 1) == 0) {
            allFound = false;
            break;
        }
        m_slots[i] = UsedMark;
    }
    for (const char32_t c : word) {
        m_present[c / kBits] = 0;
    }
    return allFound;
}

bool LetterTable::PoolTest(std::u32string_view word, std::size_t poolSize) {
    const auto pool = std::begin(m_slots) + 1;
    for (const char32_t letter : word) {
        const auto slot = std::find(pool, pool + poolSize, letter);
        if (slot == pool + poolSize) {
            return false;
        }
        *slot = UsedMark;
    }
    return true;
}
