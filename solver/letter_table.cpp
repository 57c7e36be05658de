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
    std::size_t index = 1;
    for (const char32_t letter : essentials) {
        write(index++, letter);
    }
    write(essentials.size() + 2, EndMarker);
}

void LetterTable::fillPool(std::u32string_view essentials, std::u32string_view others) {
    std::size_t index = 1;
    for (const char32_t letter : essentials) {
        write(index++, letter);
    }
    for (const char32_t letter : others) {
        write(index++, letter);
    }
    write(index, EmptySlot);
    write(essentials.size() + others.size() + 3, EndMarker);
}

bool LetterTable::EssentialTest(std::u32string_view word, std::size_t essentialCount) {
    for (std::size_t i = 1; i <= essentialCount; ++i) {
        if (word.find(m_slots[i]) == std::u32string_view::npos) {
            return false;
        }
        m_slots[i] = UsedMark;
    }
    return true;
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
