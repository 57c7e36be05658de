#include "minimum_length.h"

#include "solve_failure.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

double valueOf(std::string_view text, char32_t separator = U'.') {
    return MinimumLength(text, separator).value();
}

TEST(MinimumLength, NumbersAreRoundedDown) {
    EXPECT_EQ(valueOf("4"), 4);
    EXPECT_EQ(valueOf("0"), 0);
    EXPECT_EQ(valueOf("7"), 7);
    EXPECT_EQ(valueOf("4.9"), 4);
    EXPECT_EQ(valueOf("-0.5"), -1);
    EXPECT_EQ(valueOf("-3.0"), -3);
    EXPECT_EQ(valueOf("-3.01"), -4);
    EXPECT_EQ(valueOf("+3"), 3);
    EXPECT_EQ(valueOf(".5"), 0);
    EXPECT_EQ(valueOf("3."), 3);
    EXPECT_EQ(valueOf("007"), 7);
    EXPECT_EQ(valueOf("  12 \t"), 12);
    EXPECT_EQ(valueOf("\xC2\xA0"
                      "5"),
              5);  // a no-break space is a blank too
    EXPECT_GT(valueOf("99999999999999999999999"), 1e22);
}

TEST(MinimumLength, TheTextIsADoubleBeforeItIsRoundedDown) {
    // The nearest doubles to these are 2 and 1, so they round down no further.
    EXPECT_EQ(valueOf("1.9999999999999999"), 2);
    EXPECT_EQ(valueOf("0.99999999999999999"), 1);
    EXPECT_EQ(valueOf("1.999999999999999"), 1);
    // Beyond a double: longer than any word, or a length of zero.
    EXPECT_EQ(valueOf(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(valueOf("-" + std::string(400, '9')), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(valueOf("0." + std::string(400, '0') + "1"), 0);
    EXPECT_EQ(valueOf("-0." + std::string(400, '0') + "1"), 0);
}

TEST(MinimumLength, TheUsersDecimalSeparatorIsAcceptedBesideThePoint) {
    EXPECT_EQ(valueOf("4,9", U','), 4);
    EXPECT_EQ(valueOf("4.9", U','), 4);
    EXPECT_EQ(valueOf("-0,5", U','), -1);
    EXPECT_THROW(valueOf("4,9", U'.'), SolveFailure);
}

TEST(MinimumLength, AnythingElseFailsOnlyWhenAsked) {
    for (const char* text : {"", " ", "four", "4abc", "nan", "inf", "1e1", "-", ".", "+-4", "4 5",
                             "0x10", "4..", "\xEF\xBC\x94"}) {
        const MinimumLength length(text, U'.');  // constructing it never fails
        EXPECT_THROW(length.value(), SolveFailure) << text;
    }
}

}  // namespace
