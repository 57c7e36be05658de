#include "characters.h"

#include "eight_bytes.h"

#include <unicode/uchar.h>

#include <array>
#include <cstdint>

namespace {

// The bytes 0x80 to 0x9F of windows-1252. The five bytes it leaves undefined map
// to the C1 control of the same value, so that every byte stands for a character.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t fromWindows1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kWindows1252High[byte - 0x80];
    }
    return byte;
}

// Decodes one UTF-8 sequence at `p`, which lies before `end`. Returns the number
// of bytes it takes, or 0 when it is not a well-formed sequence (overlong forms,
// surrogates and values above U+10FFFF included).
std::size_t decodeUtf8(const unsigned char* p, const unsigned char* end, char32_t& c) {
    const unsigned char lead = p[0];
    std::size_t size;
    char32_t min;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2, min = 0x80, c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3, min = 0x800, c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4, min = 0x10000, c = lead & 0x07;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < size) {
        return 0;
    }
    for (std::size_t i = 1; i < size; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (p[i] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return size;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

using eight_bytes::kHighBits;
using eight_bytes::kOnes;

// Eight ASCII bytes, their letters a to z upper-cased. A byte below 0x80 plus a
// constant below 0x80 carries into no other byte, so each high bit below tells
// one byte's comparison.
std::uint64_t upperCaseAscii(std::uint64_t x) {
    const std::uint64_t atLeastA = x + kOnes * (0x80 - 'a');
    const std::uint64_t aboveZ = x + kOnes * (0x80 - 'z' - 1);
    const std::uint64_t lowerCase = atLeastA & ~aboveZ & kHighBits;
    return x - (lowerCase >> 2);  // 0x80 >> 2 is 'a' - 'A'
}

// Stores the eight bytes of x, lowest first, as eight characters.
void widen(std::uint64_t x, char32_t* out) {
    for (int i = 0; i < 8; ++i) {
        out[i] = static_cast<char32_t>((x >> (8 * i)) & 0xFF);
    }
}

}  // namespace

char32_t toUpper(char32_t c) {
    if (c < 0x80) {
        return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
    }
    return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
}

void Word::assign(std::string_view bytes) {
    // Copied with eight bytes of room after them, to be read as a padded line.
    m_padded.assign(bytes);
    m_padded.append(kPadding, '\0');
    assignPadded(std::string_view(m_padded).substr(0, bytes.size()));
    if (m_text.data() == m_padded.data()) {
        m_text = bytes;
    }
}

void Word::assignPadded(std::string_view bytes) {
    // Room for every character, and for the last eight bytes written whole.
    if (m_upper.size() < bytes.size() + 8) {
        m_upper.resize(bytes.size() + 8);
    }
    // Most lines are plain ASCII: upper-case them eight bytes at a time, the last
    // few masked from the eight that can be read there.
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    char32_t* out = m_upper.data();
    for (; p < end; p += 8, out += 8) {
        std::uint64_t x = eight_bytes::load(p);
        if (end - p < 8) {
            x &= (std::uint64_t{1} << (8 * (end - p))) - 1;
        }
        if ((x & kHighBits) != 0) {
            assignSlow(bytes);
            return;
        }
        widen(upperCaseAscii(x), out);
    }
    m_length = bytes.size();
    m_text = bytes;
}

void Word::assignSlow(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    char32_t* out = m_upper.data();
    bool valid = true;
    for (const auto* q = p; q < end;) {
        char32_t c;
        const std::size_t size = decodeUtf8(q, end, c);
        if (size == 0) {
            valid = false;
            break;
        }
        *out++ = toUpper(c);
        q += size;
    }
    if (valid) {
        m_length = static_cast<std::size_t>(out - m_upper.data());
        m_text = bytes;
        return;
    }
    m_transcoded.clear();
    out = m_upper.data();
    for (const auto* q = p; q < end; ++q) {
        const char32_t c = fromWindows1252(*q);
        *out++ = toUpper(c);
        appendUtf8(m_transcoded, c);
    }
    m_length = bytes.size();
    m_text = m_transcoded;
}
