// Tests of the Func_2 text, number, code page, measure, colour and image-reference routines.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <locale>
#include <string>

#include "platform/Cp932.h"
#include "util/Func_2_text.h"

namespace {

// ---- Numbers.

TEST(IntToText, WritesDecimalDigitsWithSign)
{
    struct Case {
        int64_t n;
        std::u16string text;
    };
    const Case cases[] = {
        { 0, u"0" },
        { 7, u"7" },
        { -7, u"-7" },
        { 1234567, u"1234567" },
        { -2147483648LL, u"-2147483648" },
        { std::numeric_limits<int64_t>::min(), u"-9223372036854775808" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(IntToText(c.n), c.text) << c.n;
}

TEST(FormatFixed, FixedDecimalsWithPointAndOptionalGrouping)
{
    struct Case {
        int digits;
        double v;
        std::u16string fixed;
        std::u16string grouped;
    };
    const Case cases[] = {
        { 2, 1234.5, u"1234.50", u"1,234.50" },
        { 0, 1234567.0, u"1234567", u"1,234,567" },
        { 3, -1234567.125, u"-1234567.125", u"-1,234,567.125" },
        { 1, 999.96, u"1000.0", u"1,000.0" }, // rounding carries into a new group
        { 2, 0.004, u"0.00", u"0.00" },
        { 2, -0.004, u"0.00", u"0.00" }, // no "-0.00"
        { 4, 12.0, u"12.0000", u"12.0000" },
        { 2, 100.0, u"100.00", u"100.00" },
        { 2, 123456.0, u"123456.00", u"123,456.00" },
        { -3, 2.25, u"2", u"2" }, // negative digit counts behave as 0
        // The shortest decimal form rounds half away from zero: values print as they read.
        { 2, 0.125, u"0.13", u"0.13" },
        { 2, 2.675, u"2.68", u"2.68" },
        { 2, -2.675, u"-2.68", u"-2.68" },
        { 0, 0.5, u"1", u"1" },
        { 0, 9.5, u"10", u"10" },
        { 0, 0.4, u"0", u"0" },
        { 1, 0.05, u"0.1", u"0.1" },
        { 2, 0.005, u"0.01", u"0.01" },
        { 3, 1e-10, u"0.000", u"0.000" },
        { 1, 999999.95, u"1000000.0", u"1,000,000.0" },
        { 1, 1e21, u"1000000000000000000000.0", u"1,000,000,000,000,000,000,000.0" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatFixedF(c.digits, c.v), c.fixed) << c.v;
        EXPECT_EQ(FormatFixedN(c.digits, c.v), c.grouped) << c.v;
    }
}

TEST(FormatFixed, LargestValueAndHugeDigitCountStayBounded)
{
    std::u16string t = FormatFixedF(1000, std::numeric_limits<double>::max());
    EXPECT_EQ(t.size(), 309u + 1 + 18);
    EXPECT_EQ(t.substr(0, 4), u"1797");
}

TEST(FormatFixed, NonFiniteValuesHaveWords)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FormatFixedF(2, std::nan("")), u"NAN");
    EXPECT_EQ(FormatFixedN(2, inf), u"INF");
    EXPECT_EQ(FormatFixedF(2, -inf), u"-INF");
}

TEST(FloatToGeneralText, ShortestFormUpToFifteenDigits)
{
    struct Case {
        double v;
        std::u16string text;
    };
    const Case cases[] = {
        { 0.0, u"0" },
        { -0.0, u"0" },
        { 100.0, u"100" },
        { 0.5, u"0.5" },
        { -1234.5, u"-1234.5" },
        { 0.1 + 0.2, u"0.3" }, // 15 significant digits hide the binary noise
        { 123456789012345.0, u"123456789012345" },
        { 1234567890123456.0, u"1.23456789012346E15" },
        { 1e20, u"1E20" },
        { 0.0001, u"0.0001" },
        { 0.00001, u"1E-5" },
        { -1.5e-7, u"-1.5E-7" },
        { 999999999999999.9, u"1E15" }, // rounding to 15 digits moves the exponent
        { 2.0 / 3.0, u"0.666666666666667" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(float_to_general_text(c.v), c.text) << c.v;
    EXPECT_EQ(float_to_general_text(std::nan("")), u"NAN");
    EXPECT_EQ(float_to_general_text(-std::numeric_limits<double>::infinity()), u"-INF");
}

// A comma-decimal global locale, installed for one test and restored, must not reach the formatting.
class CommaDecimal : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(FormatFixed, IgnoresTheGlobalLocale)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    const std::u16string grouped = FormatFixedN(2, 1234.5);
    const std::u16string fixed = FormatFixedF(1, 0.25);
    const std::u16string general = float_to_general_text(-2.5);
    const double parsed = StrToFloatZero(u"1.5");
    std::locale::global(previous);
    EXPECT_EQ(grouped, u"1,234.50");
    EXPECT_EQ(fixed, u"0.3"); // halves away from zero
    EXPECT_EQ(general, u"-2.5");
    EXPECT_EQ(parsed, 1.5);
}

TEST(IsFiniteDouble, RejectsNanAndInfinities)
{
    EXPECT_TRUE(IsFiniteDouble(0.0));
    EXPECT_TRUE(IsFiniteDouble(-1e308));
    EXPECT_TRUE(IsFiniteDouble(std::numeric_limits<double>::denorm_min()));
    EXPECT_FALSE(IsFiniteDouble(std::nan("")));
    EXPECT_FALSE(IsFiniteDouble(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(IsFiniteDouble(-std::numeric_limits<double>::infinity()));
}

TEST(RoundDigit, ModesAndDigitCounts)
{
    struct Case {
        double v;
        int digits;
        int mode;
        double expected;
    };
    const Case cases[] = {
        { -2.375, 2, 2, -2.38 },
        { 2.341, 2, 1, 2.35 },
        { 2.349, 2, 0, 2.34 },
        { -2.349, 2, 0, -2.34 }, // truncation works on the magnitude
        { -2.341, 2, 1, -2.35 }, // rounding up moves away from zero
        { 2.0, 2, 1, 2.0 }, // an exact value does not round up
        { 2.00000000001, 0, 1, 2.0 }, // within the 1e-10 tolerance
        { 2.0000001, 0, 1, 3.0 },
        { 0.125, 2, 7, 0.13 }, // any other mode rounds halves away from zero
        { 2.5, 0, 2, 3.0 },
        { -2.5, 0, 2, -3.0 },
        { 2.5, 10, 2, 3.0 }, // digits above 9 behave as 0
        { 2.7, -1, 0, 2.0 }, // negative digits behave as 0
        { 1.123456789, 9, 0, 1.123456789 },
        { 1.2345, 3, 2, 1.235 },
        { 1e300, 2, 2, 1e300 }, // beyond any integer type: must not wrap
        { -1e20, 4, 0, -1e20 },
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(RoundDigit(c.v, c.digits, c.mode), c.expected)
            << c.v << " digits " << c.digits << " mode " << c.mode;
    EXPECT_TRUE(std::isnan(RoundDigit(std::nan(""), 2, 2)));
}

// ---- Characters and strings.

TEST(CaseMapping, UpperAndLowerKeepLengthAndMapByTable)
{
    struct Case {
        std::u16string in;
        std::u16string upper;
        std::u16string lower;
    };
    const Case cases[] = {
        { u"abcXYZ09", u"ABCXYZ09", u"abcxyz09" },
        { u"ｔｒｕｅＯＮ", u"ＴＲＵＥＯＮ", u"ｔｒｕｅｏｎ" }, // full-width Latin
        { u"éÉÿŸ", u"ÉÉŸŸ", u"ééÿÿ" },
        { u"āĀıĸŉ", u"ĀĀIĸŉ", u"āāıĸŉ" }, // alternating runs, and letters without a partner
        { u"σςΣ", u"ΣΣΣ", u"σςσ" },
        { u"жЖ", u"ЖЖ", u"жж" },
        { u"ßİ", u"ßİ", u"ßi" }, // no length change: ß stays, İ lowers to plain i
        { u"ǅ", u"Ǆ", u"ǆ" },
        { u"漢字ｱ。", u"漢字ｱ。", u"漢字ｱ。" },
        { u"", u"", u"" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UpperText(c.in), c.upper);
        EXPECT_EQ(LowerText(c.in), c.lower);
    }
}

TEST(CaseMapping, SurrogatesPassThrough)
{
    const std::u16string s = u"a\U0001F600\U00010428";
    EXPECT_EQ(UpperText(s), u"A\U0001F600\U00010428");
}

TEST(CharacterClasses, HalfWidthRanges)
{
    struct Case {
        char16_t c;
        bool half;
    };
    const Case cases[] = {
        { u' ', true },
        { u'~', true },
        { u'A', true },
        { 0x1F, false },
        { 0x7F, false },
        { 0xFF60, false },
        { 0xFF61, true },
        { 0xFF9F, true },
        { 0xFFA0, false },
        { u'あ', false },
        { u'\u3000', false },
        { 0xD83D, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsHalfWidth(c.c), c.half) << int(c.c);
}

TEST(CharacterClasses, DoubleByteByCodePage)
{
    struct Case {
        char16_t c;
        bool twoBytes;
    };
    const Case cases[] = {
        { u'A', false }, { u'ｱ', false }, { u'あ', true }, { u'漢', true }, { u'\u3000', true }, { u'Ａ', true },
        { u'漾', true }, { u'€', false }, // not in the code page: one substitute byte
        { 0xD83D, false }, // a lone surrogate has no code page form
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsDoubleByte(c.c), c.twoBytes) << int(c.c);
}

TEST(SurrogateKind, HalvesAndOutOfRange)
{
    const std::u16string pair = u"\U0001F600";
    EXPECT_EQ(SurrogateKind(pair, 0), 1);
    EXPECT_EQ(SurrogateKind(pair, 1), 2);
    EXPECT_EQ(SurrogateKind(pair, 2), -1);

    const std::u16string s = u"a\U00020B9Fb";
    const int expected[] = { 0, 1, 2, 0, -1 };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(SurrogateKind(s, i), expected[i]) << i;
    EXPECT_EQ(SurrogateKind(s, -1), -1);
    EXPECT_EQ(SurrogateKind(u"", 0), -1);
}

TEST(ToFullWidth, VoicedPairsJoin)
{
    struct Case {
        std::u16string in;
        std::u16string out;
    };
    const Case cases[] = {
        { u"ｶﾞｷ", u"ガキ" },
        { u"ﾞｶ", u"゛カ" }, // a mark that opens no pair stays a single mark
        { u"ﾞｶﾞ", u"゛ガ" }, // "ﾞｶ" straddles two table pairs and is not a pair
        { u"ｳﾞ", u"ヴ" },
        { u"ﾎﾟﾎﾞ", u"ポボ" },
        { u"ｱﾞ", u"ア゛" }, // A has no voiced form
        { u"xｶﾞ", u"ｘガ" },
        { u"ｶ", u"カ" }, // one character left: no pair test
        { u"", u"" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToFullWidth(c.in), c.out);
}

TEST(ToFullWidth, SingleCharacters)
{
    struct Case {
        std::u16string in;
        std::u16string out;
    };
    const Case cases[] = {
        { u"A-1", u"\uFF21\uFF0D\uFF11" },
        { u"\\", u"\uFFE5" },
        { u"\"'", u"\u201D\u2019" },
        { u" ", u"\u3000" },
        { u"!~", u"\uFF01\uFF5E" },
        { u"12.5", u"１２．５" },
        { u"｡｢｣､･", u"。「」、・" },
        { u"ｦｰﾝ", u"ヲーン" },
        { u"ﾟ", u"\u00B0" }, // the table ends with the degree sign
        { u"ﾞ", u"゛" },
        { u"漢\x7F\t", u"漢\x7F\t" },
        { u"\U0001F600", u"\U0001F600" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToFullWidth(c.in), c.out);
}

TEST(ToFullWidth, EveryHalfWidthKanaBecomesOneFullWidthCharacter)
{
    for (char16_t c = 0xFF61; c <= 0xFF9F; ++c) {
        std::u16string out = ToFullWidth(std::u16string(1, c));
        ASSERT_EQ(out.size(), 1u) << int(c);
        EXPECT_FALSE(IsHalfWidth(out[0])) << int(c);
    }
}

TEST(StringCleaning, RemoveBlanksAndControls)
{
    const std::u16string s = u" a\tb\u3000c\r\nd\x1F\x7F";
    EXPECT_EQ(RemoveBlanks(s), u"abcd\x7F");
    EXPECT_EQ(RemoveCtrlChars(s), u" ab\u3000cd\x7F");
    EXPECT_EQ(RemoveBlanks(u" \u3000\t"), u"");
    EXPECT_EQ(RemoveCtrlChars(std::u16string(u"a\0b", 3)), u"ab");
}

TEST(StringCutting, PosIndexCopyFromCopyPart)
{
    const std::u16string s = u"abcabc";
    EXPECT_EQ(PosIndex(u"c", s), 2);
    EXPECT_EQ(PosIndex(u"ca", s), 2);
    EXPECT_EQ(PosIndex(u"abc", s), 0);
    EXPECT_EQ(PosIndex(u"x", s), -1);
    EXPECT_EQ(PosIndex(u"", s), -1);
    EXPECT_EQ(PosIndex(u"abcabcd", s), -1);

    struct Case {
        std::ptrdiff_t i;
        std::ptrdiff_t n;
        std::u16string from;
        std::u16string part;
    };
    const Case cases[] = {
        { 0, 2, u"abcabc", u"ab" },
        { 4, 10, u"bc", u"bc" },
        { 5, 1, u"c", u"c" },
        { 6, 1, u"", u"" },
        { 100, 1, u"", u"" },
        { -1, 3, u"", u"" },
        { 2, 0, u"cabc", u"" },
        { 2, -4, u"cabc", u"" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CopyFrom(s, c.i), c.from) << c.i;
        EXPECT_EQ(CopyPart(s, c.i, c.n), c.part) << c.i << "," << c.n;
    }
}

// ---- Code page 932.

TEST(CodePage, EncodeAndDecode)
{
    EXPECT_EQ(TextToAnsiBytes(u"Aあ漾ｱ"), std::string("A\x82\xA0\xE0\x40\xB1"));
    EXPECT_EQ(TextToAnsiBytes(u"é"), "?");
    EXPECT_EQ(AnsiBytesToText(std::string("\x82\xA0"
                                          "B\0junk",
                  8)),
        u"あB");
    EXPECT_EQ(AnsiBytesToText(""), u"");
    EXPECT_EQ(AnsiBytesToText("\x82"), u"\uFFFD"); // a lone lead byte at the end
}

TEST(CodePage, WideBytesCutAtNul)
{
    EXPECT_EQ(WideBytesToText(std::string("A\0B\0\0\0C\0", 8)), u"AB");
    EXPECT_EQ(WideBytesToText(std::string("B\x30"
                                          "A",
                  3)),
        u"\u3042"); // an odd last byte is dropped
    EXPECT_EQ(WideBytesToText(""), u"");
    EXPECT_EQ(WideBytesToText(std::string("\x3D\xD8\x00\xDE", 4)), u"\U0001F600");
}

TEST(CodePage, AnsiLengthCountsBytesUpToNul)
{
    EXPECT_EQ(AnsiLength(u"Aあ"), 3);
    EXPECT_EQ(AnsiLength(std::u16string(u"Aあ\0xyz", 6)), 3);
    EXPECT_EQ(AnsiLength(u"ｱｲ"), 2);
    EXPECT_EQ(AnsiLength(u""), 0);
}

// ---- Measure.

TEST(AnsiTextWidth, SumsCharacterWidthsAndGaps)
{
    struct Case {
        std::u16string s;
        double w;
        double gap;
        double width;
    };
    const Case cases[] = {
        { u"", 2, 1, 0 },
        { u"A", 2, 1, 1 },
        { u"Aあ", 2, 1, 3.5 }, // 1 + 0.5 + 2
        { u"あA", 2, 1, 4 }, // 2 + 1 + 1
        { u"ab", 2, 1, 2.5 },
        { u"ｱｲ", 4, 2, 5 }, // half-width kana are one byte
        { u"漾髙", 3, 1, 7 }, // lead bytes 0xE0 and 0xFB
        { u"€", 2, 1, 1 }, // substitute "?" is one byte
        { u"あいう", 1, 0, 3 },
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(AnsiTextWidth(c.s, c.w, c.gap), c.width);
}

// ---- Colours.

TEST(Colours, RGBToAlphaWrapsModulo32Bits)
{
    EXPECT_EQ(RGBToAlpha(255, 255, 255), 0xFFFFFFFFu);
    EXPECT_EQ(RGBToAlpha(0x12, 0x34, 0x56), 0xFF123456u);
    EXPECT_EQ(RGBToAlpha(256, 0, 0), 0x00000000u);
    EXPECT_EQ(RGBToAlpha(0, 0, -1), 0xFEFFFFFFu);
}

TEST(Colours, ColorRefToAlpha)
{
    struct Case {
        int32_t c;
        uint32_t alpha;
    };
    const Case cases[] = {
        { 0x0000FF, 0xFFFF0000u }, { 0x00FF00, 0xFF00FF00u }, { 0xFF0000, 0xFF0000FFu }, { 0x123456, 0xFF563412u },
        { 0, 0xFF000000u }, { 0x7F000000, 0xFF000000u }, // the top byte is dropped
        // Bit 31 set: components from -255 to 0, summed modulo 2^32.
        { -1, 0xFEFF0000u }, // a red of -1 borrows from the alpha byte
        { int32_t(0x80000000u), 0xFF000000u }, { -256, 0xFEFFFF00u },
        { -0x123456, 0xFEA9CBEEu }, // 0xFF000000 - 0x563412
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorRefToAlpha(c.c), c.alpha) << std::hex << c.c;
}

// ---- Image reference.

struct ImageRef {
    std::u16string name = u"stale";
    double width = -9, height = -9, trimX = -9, trimY = -9, ratio = -9, angle = -9;
    int32_t rest1 = -9, rest2 = -9, rest3 = -9;
    bool simple = false;
};

ImageRef parse(std::u16string_view s)
{
    ImageRef r;
    r.simple = ParseImageMoji(
        s, r.name, r.width, r.height, r.trimX, r.trimY, r.ratio, r.angle, r.rest1, r.rest2, r.rest3);
    return r;
}

TEST(ParseImageMoji, SimpleAndFullReferences)
{
    struct Case {
        std::u16string s;
        ImageRef want;
    };
    const Case cases[] = {
        { u"^@BMa.png,40", { u"a.png", 40, 40, 0, 0, 1, 0, -1, -1, -1, true } },
        { u"^@BMa.png,40,30", { u"a.png", 40, 30, 0, 0, 1, 0, -1, -1, -1, true } },
        { u"^@BMa.png,40,30,1", { u"a.png", 40, 30, 1, 0, 1, 0, -1, -1, -1, false } },
        { u"^@BMa.png,40,30,1,2,0.5,90", { u"a.png", 40, 30, 1, 2, 0.5, 90, -1, -1, -1, false } },
        { u"^@BMa.png,40,30,1,2,0.5,90,5", { u"a.png", 40, 30, 1, 2, 0.5, 90, 5, 0, 0, false } },
        { u"^@BMa.png,40,30,1,2,0.5,90,5,6", { u"a.png", 40, 30, 1, 2, 0.5, 90, 5, 6, 0, false } },
        { u"^@BMa.png,40,30,1,2,0.5,90,5,6,7", { u"a.png", 40, 30, 1, 2, 0.5, 90, 5, 6, 7, false } },
        // The last field takes the rest of the text, commas included, and so is not a number.
        { u"^@BMa.png,40,30,1,2,0.5,90,5,6,7,8", { u"a.png", 40, 30, 1, 2, 0.5, 90, 5, 6, 0, false } },
        { u"^@BM%temp%\\x.bmp,12.5,abc", { u"%temp%\\x.bmp", 12.5, 0, 0, 0, 1, 0, -1, -1, -1, true } },
        { u"^@BM,1", { u"", 1, 1, 0, 0, 1, 0, -1, -1, -1, true } },
        { u"^@BMa.png,", { u"a.png", 0, 0, 0, 0, 1, 0, -1, -1, -1, true } },
        { u"^@BMa.png,,,", { u"a.png", 0, 0, 0, 0, 1, 0, -1, -1, -1, false } },
        { u"^@BMa.png", { u"", 0, 0, 0, 0, 1, 0, -1, -1, -1, true } }, // no comma
        { u"plain,1,2,3", { u"", 0, 0, 0, 0, 1, 0, -1, -1, -1, true } }, // no reference
        { u"^@bma.png,1,2,3", { u"", 0, 0, 0, 0, 1, 0, -1, -1, -1, true } },
        { u"", { u"", 0, 0, 0, 0, 1, 0, -1, -1, -1, true } },
    };
    for (const Case& c : cases) {
        ImageRef got = parse(c.s);
        SCOPED_TRACE(platform::utf16_to_utf8(c.s));
        EXPECT_EQ(got.simple, c.want.simple);
        EXPECT_EQ(got.name, c.want.name);
        EXPECT_DOUBLE_EQ(got.width, c.want.width);
        EXPECT_DOUBLE_EQ(got.height, c.want.height);
        EXPECT_DOUBLE_EQ(got.trimX, c.want.trimX);
        EXPECT_DOUBLE_EQ(got.trimY, c.want.trimY);
        EXPECT_DOUBLE_EQ(got.ratio, c.want.ratio);
        EXPECT_DOUBLE_EQ(got.angle, c.want.angle);
        EXPECT_EQ(got.rest1, c.want.rest1);
        EXPECT_EQ(got.rest2, c.want.rest2);
        EXPECT_EQ(got.rest3, c.want.rest3);
    }
}

} // namespace
