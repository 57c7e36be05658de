#include "minimum_length.h"

#include "characters.h"
#include "solve_failure.h"

#include <unicode/uchar.h>

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
    // Only the whole part and whether any fraction digit is non-zero matter to the
    // rounded-down value, so the number is built exactly, digit by digit.
    double whole = 0;
    bool anyDigit = false;
    bool fraction = false;
    std::size_t i = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        whole = whole * 10 + (text[i] - '0');
        anyDigit = true;
    }
    if (i < text.size() && (text[i] == '.' || text[i] == decimalSeparator)) {
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            fraction = fraction || text[i] != '0';
            anyDigit = true;
        }
    }
    if (!anyDigit || i != text.size()) {
        return std::nullopt;
    }
    return negative ? -whole - (fraction ? 1 : 0) : whole;
}

}  // namespace

MinimumLength::MinimumLength(std::string_view text, char32_t decimalSeparator) {
    Word decoded;
    decoded.assign(text);
    // Upper-casing leaves digits, signs and separators as they are.
    m_value = parse(decoded.upper(), toUpper(decimalSeparator));
}

double MinimumLength::value() const {
    if (!m_value) {
        throw SolveFailure("the minimum length is not a number");
    }
    return *m_value;
}
