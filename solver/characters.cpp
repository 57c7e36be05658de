#include "characters.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>

namespace {

// The bytes 0x80 to 0x9F of windows-1252; the others are the code point of the same
// value.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char32_t toUpper(char32_t c) {
    if (c < 0x80) {
        return upperAscii(static_cast<std::uint8_t>(c));
    }
    return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
}

char32_t fromWindows1252(std::uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kWindows1252High[byte - 0x80];
    }
    return byte;
}

void Word::assign(std::string_view bytes) {
    m_bytes = bytes;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t size = bytes.size();
    if (std::all_of(data, data + size, [](std::uint8_t byte) { return byte < 0x80; })) {
        m_encoding = Encoding::Ascii;
        m_length = size;
        return;
    }
    // Valid UTF-8 has no overlong forms, no surrogates and nothing past U+10FFFF.
    std::size_t length = 0;
    for (std::size_t i = 0; i < size; ++length) {
        UChar32 c;
        U8_NEXT(data, i, size, c);
        if (c < 0) {
            m_encoding = Encoding::Windows1252;
            m_length = size;
            return;
        }
    }
    m_encoding = Encoding::Utf8;
    m_length = length;
}

std::string_view Word::text() {
    if (m_encoding != Encoding::Windows1252) {
        return m_bytes;
    }
    m_transcoded.resize(m_bytes.size() * 3);  // no character of windows-1252 takes more
    auto* out = reinterpret_cast<std::uint8_t*>(m_transcoded.data());
    std::size_t size = 0;
    for (const char byte : m_bytes) {
        U8_APPEND_UNSAFE(out, size, fromWindows1252(static_cast<std::uint8_t>(byte)));
    }
    m_transcoded.resize(size);
    return m_transcoded;
}

std::u32string upperCaseLetters(std::string_view text) {
    Word word;
    word.assign(text);
    std::u32string letters;
    letters.reserve(word.length());
    word.forEachUpper([&](char32_t c) {
        letters.push_back(c);
        return true;
    });
    return letters;
}
