#pragma once

#include <string>
#include <string_view>

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
    /// Decodes `bytes`; the view must stay valid for as long as `text()` is used.
    void assign(std::string_view bytes);

    /// The characters, each in its upper-case form.
    std::u32string_view upper() const { return m_upper; }
    /// The number of characters.
    std::size_t length() const { return m_upper.size(); }
    /// The characters as they stand, in UTF-8.
    std::string_view text() const { return m_text; }

private:
    void assignSlow(std::string_view bytes);

    std::u32string m_upper;
    std::string m_transcoded;
    std::string_view m_text;
};
