// Tests of the settings parsers: whole-text integers, reals and Boolean words.
#include <gtest/gtest.h>

#include <string>

#include "platform/Cp932.h"
#include "util/Func_2_text.h"

namespace {

std::string show(const std::u16string& s) { return "\"" + platform::utf16_to_utf8(s) + "\""; }

TEST(StrToIntZero, DecimalAndHexadecimal)
{
    struct Case {
        std::u16string s;
        int32_t v;
    };
    const Case cases[] = {
        { u"42", 42 },
        { u" 42", 42 },
        { u"   -42", -42 },
        { u"+42", 42 },
        { u"-7", -7 },
        { u"007", 7 },
        { u"$1F", 31 },
        { u"$1f", 31 },
        { u"0x10", 16 },
        { u"0X10", 16 },
        { u"x10", 16 },
        { u"X10", 16 },
        { u"-$10", -16 },
        { u"-0x10", -16 },
        { u"2147483647", 2147483647 },
        { u"-2147483648", -2147483647 - 1 },
        { u"$7FFFFFFF", 2147483647 },
        { u"-$80000000", -2147483647 - 1 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrToIntZero(c.s), c.v) << show(c.s);
}

TEST(StrToIntZero, AnythingElseIsZero)
{
    const std::u16string invalid[] = {
        u"",
        u" ",
        u"42 ", // trailing blank
        u"4.2",
        u"1e3",
        u"+",
        u"-",
        u"$",
        u"0x",
        u"- 5", // blank after the sign
        u"\t42", // only U+0020 counts as a leading blank
        u"\u300042", // ideographic space
        u"４２", // full-width digits
        u"$1G",
        u"12a",
        u"2147483648", // one past the 32-bit range
        u"-2147483649",
        u"$80000000",
        u"$FFFFFFFF",
        u"99999999999999999999999",
        u"0x-1",
        u"--1",
        std::u16string(u"4\0"
                       u"2",
            3),
    };
    for (const std::u16string& s : invalid)
        EXPECT_EQ(StrToIntZero(s), 0) << show(s);
}

TEST(StrToFloatZero, Reals)
{
    struct Case {
        std::u16string s;
        double v;
    };
    const Case cases[] = {
        { u"1.5e3", 1500 },
        { u"1.5E3", 1500 },
        { u"1.5e+3", 1500 },
        { u"15e-1", 1.5 },
        { u" 4.2", 4.2 },
        { u"-0.25", -0.25 },
        { u"+3", 3 },
        { u"42", 42 },
        { u".5", 0.5 },
        { u"5.", 5 },
        { u"0.1", 0.1 },
        { u"1e-400", 0 }, // underflow reads as zero
        { u"100", 100 },
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(StrToFloatZero(c.s), c.v) << show(c.s);
}

TEST(StrToFloatZero, AnythingElseIsZero)
{
    const std::u16string invalid[] = {
        u"",
        u"1,5",
        u"1,000.5",
        u"4.2 ",
        u".",
        u"e3",
        u"1e",
        u"1e+",
        u"1.2.3",
        u"$1F",
        u"0x10",
        u"- 1",
        u"1e400",
        u"inf",
        u"nan",
        u"１.５",
        u"1.5f",
        u"\t1",
        u"1_000",
    };
    for (const std::u16string& s : invalid)
        EXPECT_EQ(StrToFloatZero(s), 0.0) << show(s);
}

TEST(StrToBoolWord, WordsAfterUpperCasing)
{
    struct Case {
        std::u16string s;
        bool v;
    };
    const Case cases[] = {
        { u"true", true },
        { u"Tr", true },
        { u"on", true },
        { u"1", true },
        { u"\uFF11", true },
        { u"t", true },
        { u"TRU", true },
        { u"\u25CB", true },
        { u"真", true },
        { u"正", true },
        { u"ｔｒｕｅ", false }, // full-width letters upper-case to full-width
        { u"ＯＮ", false },
        { u" TRUE", false },
        { u"TRUE ", false },
        { u"YES", false },
        { u"0", false },
        { u"", false },
        { u"FALSE", false },
        { u"TRUEE", false },
        { u"OFF", false },
        { u"01", false },
        { u"○ ", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrToBoolWord(c.s), c.v) << show(c.s);
}

} // namespace
