#pragma once

#include <string>
#include <string_view>
#include <vector>

/// How the program reads characters. A line, or a typed text, is decoded as UTF-8
/// when it is valid UTF-8, and otherwise byte by byte as windows-1252, so that lists
/// saved either way work and no byte is ever dropped. A character is one Unicode
/// code point, and two letters are equal when their simple upper-case forms are.

/// The simple upper-case form of `c`, the same in every locale: a to z give A to Z.
char32_t toUpper(char32_t c);

/// One line of the word list or one typed text, decoded once and kept for its tests.
/// Buffers are reused, so once they have grown, assigning a line allocates nothing.
class Word {
public:
    /// How many readable bytes `assignPadded` needs after a line.
    static constexpr std::size_t kPadding = 8;

    /// Decodes `bytes`; the view must stay valid for as long as `text()` is used.
    void assign(std::string_view bytes);
    /// The same, faster, for bytes followed by at least kPadding readable bytes.
    void assignPadded(std::string_view bytes);

    /// The characters, each in its upper-case form.
    std::u32string_view upper() const { return {m_upper.data(), m_length}; }
    /// The number of characters.
    std::size_t length() const { return m_length; }
    /// The characters as they stand, in UTF-8.
    std::string_view text() const { return m_text; }

private:
    void assignSlow(std::string_view bytes);

    std::vector<char32_t> m_upper;  // the first m_length are the word's
    std::size_t m_length = 0;
    std::string m_transcoded;
    std::string m_padded;
    std::string_view m_text;
};
