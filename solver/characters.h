#pragma once

#include <unicode/utf8.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// How the program reads characters. A line, or a typed text, is read as UTF-8 when
/// it is valid UTF-8, and otherwise byte by byte as windows-1252, so that lists saved
/// either way work and no byte is ever dropped. A character is one Unicode code
/// point, and two letters are equal when their simple upper-case forms are.

/// The simple upper-case form of `c`, the same in every locale: a to z give A to Z.
char32_t toUpper(char32_t c);

/// The character that windows-1252 gives `byte`. The five bytes it leaves undefined
/// stand for the C1 control of the same value.
char32_t fromWindows1252(std::uint8_t byte);

/// The upper-case form of a byte below 0x80.
constexpr char32_t upperAscii(std::uint8_t byte) {
    return (byte >= 'a' && byte <= 'z') ? char32_t{byte} - ('a' - 'A') : char32_t{byte};
}

/// One line of the word list, or one typed text, as its bytes; its characters are
/// decoded as the tests walk them, so a line costs no more than its own bytes.
class Word {
public:
    /// Takes `bytes` as the word, finding how they are encoded; the bytes must stay
    /// valid for as long as the word is used.
    void assign(std::string_view bytes);
    /// The same, for bytes known to lie below 0x80.
    void assignAscii(std::string_view bytes) {
        m_bytes = bytes;
        m_encoding = Encoding::Ascii;
        m_length = bytes.size();
    }

    /// The number of characters.
    std::size_t length() const { return m_length; }

    /// The characters as they stand, in UTF-8.
    std::string_view text();

    /// Calls `visit` with the upper-case form of each character in turn, for as long
    /// as it returns true. Returns false when `visit` stopped the walk.
    template <typename Visit>
    bool forEachUpper(Visit&& visit) const;

private:
    enum class Encoding { Ascii, Utf8, Windows1252 };

    std::string_view m_bytes;
    Encoding m_encoding = Encoding::Ascii;
    std::size_t m_length = 0;
    std::string m_transcoded;  // a windows-1252 line in UTF-8, made when asked for
};

/// The upper-case forms of the characters of `text`.
std::u32string upperCaseLetters(std::string_view text);

/// The start of `text` (UTF-8) that a cut after at most `bytes` bytes leaves, moved
/// back so as not to cut a character in two.
constexpr std::string_view cutBetweenCharacters(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) {
        return text;
    }
    std::size_t cut = bytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;  // a byte that continues a character
    }
    return text.substr(0, cut);
}

template <typename Visit>
bool Word::forEachUpper(Visit&& visit) const {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(m_bytes.data());
    const std::size_t size = m_bytes.size();
    switch (m_encoding) {
        case Encoding::Ascii:
            for (std::size_t i = 0; i < size; ++i) {
                if (!visit(upperAscii(bytes[i]))) {
                    return false;
                }
            }
            return true;
        case Encoding::Utf8:
            for (std::size_t i = 0; i < size;) {
                UChar32 c;
                U8_NEXT_UNSAFE(bytes, i, c);  // checked when the word was assigned
                if (!visit(toUpper(static_cast<char32_t>(c)))) {
                    return false;
                }
            }
            return true;
        case Encoding::Windows1252:
            for (std::size_t i = 0; i < size; ++i) {
                if (!visit(toUpper(fromWindows1252(bytes[i])))) {
                    return false;
                }
            }
            return true;
    }
    return true;
}
