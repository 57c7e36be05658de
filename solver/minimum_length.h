#pragma once

#include "solve_failure.h"

#include <optional>
#include <string>
#include <string_view>

/// The minimum word length: the text of the length box converted to a double, then
/// rounded down ("4" and "4.9" give 4, "-0.5" gives -1). The text may have blanks
/// around it, a sign, and digits with a fraction after a decimal point: "." always,
/// and the user's own decimal separator (such as ",") too. Nothing else converts:
/// no empty text, no exponent, no "inf" or "nan", no digit groups. A number too
/// large for a double is longer than any word.
class MinimumLength {
public:
    /// Reads `text` (UTF-8); `decimalSeparator` is the user's locale's.
    MinimumLength(std::string_view text, char32_t decimalSeparator);

    /// The length; throws SolveFailure, quoting the text, when the text is not a
    /// number. The run asks only when a word needs it, so a bad text fails the run
    /// at that word.
    double value() const {
        if (!m_value) {
            notANumber();
        }
        return *m_value;
    }

private:
    [[noreturn]] void notANumber() const;

    std::optional<double> m_value;
    std::string m_text;
};
