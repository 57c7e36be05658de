#include "characters.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <memory>

namespace {

struct Decoded {
    std::u32string upper;
    std::string text;
    std::size_t length;
};

Decoded decode(std::string_view bytes) {
    Word word;
    word.assign(bytes);
    return {upperCaseLetters(bytes), std::string(word.text()), word.length()};
}

TEST(Characters, ValidUtf8IsReadAsUtf8) {
    EXPECT_EQ(decode("caf\xC3\xA9").upper, U"CAF\u00C9");
    EXPECT_EQ(decode("caf\xC3\xA9").text, "caf\xC3\xA9");
    EXPECT_EQ(decode("caf\xC3\xA9").length, 4u);
    EXPECT_EQ(decode("\xF0\x9F\x98\x80").upper, U"\U0001F600");  // one character, four bytes
    EXPECT_EQ(decode("to be").upper, U"TO BE");                  // blanks are characters
    EXPECT_EQ(decode(std::string_view("a\0b", 3)).upper, std::u32string(U"A\0B", 3));
}

TEST(Characters, AnyOtherLineIsReadAsWindows1252) {
    EXPECT_EQ(decode("caf\xE9").upper, U"CAF\u00C9");
    EXPECT_EQ(decode("caf\xE9").text, "caf\xC3\xA9");
    EXPECT_EQ(decode("\x80\x9F").upper, U"\u20AC\u0178");  // euro, capital y diaeresis
    EXPECT_EQ(decode("\x80\x9F").text, "\xE2\x82\xAC\xC5\xB8");
    EXPECT_EQ(decode("\x81\x8D").upper, U"\u0081\u008D");  // undefined bytes are kept
    EXPECT_EQ(decode("\x81\x8D").text, "\xC2\x81\xC2\x8D");
    // Broken UTF-8: a cut sequence, an overlong form, a surrogate, past U+10FFFF.
    EXPECT_EQ(decode("ab\xC3").upper, U"AB\u00C3");
    EXPECT_EQ(decode("\xC0\xAF").length, 2u);
    EXPECT_EQ(decode("\xED\xA0\x80").length, 3u);
    EXPECT_EQ(decode("\xF4\x90\x80\x80").length, 4u);
}

TEST(Characters, Windows1252IsTheCodePagesPublishedTable) {
    // Every byte against ICU's own table of the code page, which gives the five bytes
    // that the code page leaves undefined the C1 control of the same value.
#ifdef _WIN32
    GTEST_SKIP() << "ICU is built for Windows without its data, converters included: the "
                    "program reads none, and this table is checked where ICU has them";
#endif
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, void (*)(UConverter*)> codePage(
        ucnv_open("windows-1252", &status), ucnv_close);
    ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    ucnv_setToUCallBack(codePage.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    for (int byte = 0; byte < 0x100; ++byte) {
        const char in = static_cast<char>(byte);
        UChar out[2] = {};
        status = U_ZERO_ERROR;
        const int32_t length = ucnv_toUChars(codePage.get(), out, 2, &in, 1, &status);
        ASSERT_TRUE(U_SUCCESS(status)) << byte << ": " << u_errorName(status);
        ASSERT_EQ(length, 1) << byte;
        EXPECT_EQ(fromWindows1252(static_cast<std::uint8_t>(byte)), char32_t{out[0]}) << byte;
        ucnv_reset(codePage.get());
    }
}

TEST(Characters, UpperCaseIsUnicodeSimpleMapping) {
    for (char32_t c = 'a'; c <= 'z'; ++c) {
        EXPECT_EQ(toUpper(c), c - 32);
    }
    EXPECT_EQ(toUpper(U'Q'), U'Q');
    EXPECT_EQ(toUpper(U'1'), U'1');
    EXPECT_EQ(toUpper(U'\u00E9'), U'\u00C9');  // é
    EXPECT_EQ(toUpper(U'\u00FF'), U'\u0178');  // ÿ
    EXPECT_EQ(toUpper(U'\u03C2'), U'\u03A3');  // final sigma
    EXPECT_EQ(toUpper(U'\u00DF'), U'\u00DF');  // ß has no single upper-case letter
    EXPECT_EQ(toUpper(U'\u0131'), U'I');       // dotless i
    EXPECT_EQ(toUpper(U'i'), U'I');            // in every locale
}

TEST(Characters, AWalkStopsWhereItIsTold) {
    Word word;
    for (const std::string_view bytes : {"abcd",
                                         "\xC3\xA9"
                                         "bcd",
                                         "\xE9"
                                         "bcd"}) {
        word.assign(bytes);
        std::u32string seen;
        EXPECT_FALSE(word.forEachUpper([&](char32_t c) {
            seen += c;
            return c != U'B';
        }));
        EXPECT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen.back(), U'B');
    }
    word.assign("");
    EXPECT_EQ(word.length(), 0u);
    EXPECT_TRUE(word.forEachUpper([](char32_t) { return false; }));
}

TEST(Characters, AHighByteAloneIsReadAsWindows1252) {
    // The lowest and the highest byte above plain ASCII, alone or after it.
    EXPECT_EQ(decode("\x80").text, "\xE2\x82\xAC");  // the euro sign
    EXPECT_EQ(decode("\x80").upper, U"\u20AC");
    EXPECT_EQ(decode("a\x80").text, "a\xE2\x82\xAC");
    EXPECT_EQ(decode("\xFF").text, "\xC3\xBF");  // y with diaeresis
    EXPECT_EQ(decode("\xFF").upper, U"\u0178");
    EXPECT_EQ(decode("\x7F").text, "\x7F");  // the last byte of plain ASCII
}

}  // namespace
