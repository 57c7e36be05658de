#include "minimum_length.h"

#include "characters.h"

#include <unicode/uchar.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool isBlank(char32_t c) {
    return u_isUWhiteSpace(static_cast<UChar32>(c));
}
bool isDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

std::optional<double> parse(std::u32string_view text, char32_t decimalSeparator) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    // What is left must be digits with at most one separator among or after them;
    // it is rewritten with a point for the standard conversion.
    std::string number;
    bool anyDigit = false;
    bool separatorSeen = false;
    for (const char32_t c : text) {
        if (isDigit(c)) {
            number += static_cast<char>(c);
            anyDigit = true;
        } else if ((c == '.' || c == decimalSeparator) && !separatorSeen) {
            number += '.';
            separatorSeen = true;
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::fixed);
    if (end != number.data() + number.size()) {
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range) {
        // Beyond a double: too large if the whole part has a non-zero digit, else too
        // small, which a double holds as zero.
        const std::size_t whole = number.find('.');
        const bool large = number.substr(0, whole).find_first_not_of('0') != std::string::npos;
        value = large ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return std::floor(negative ? -value : value);
}

}  // namespace

MinimumLength::MinimumLength(std::string_view text, char32_t decimalSeparator)
    // Upper-casing leaves digits, signs and separators as they are.
    : m_value(parse(upperCaseLetters(text), toUpper(decimalSeparator))), m_text(text) {}

void MinimumLength::notANumber() const {
    // A pasted page is quoted by its start.
    constexpr std::size_t kQuoted = 60;
    std::string quoted(cutBetweenCharacters(m_text, kQuoted));
    if (quoted.size() < m_text.size()) {
        quoted += "\xE2\x80\xA6";  // an ellipsis
    }
    throw SolveFailure("the minimum length \"" + quoted + "\" is not a number");
}
