// Tests of the dimension value text: measure through the block transform, round, format, mark and widen.
#include <gtest/gtest.h>

#include <string>

#include "platform/Cp932.h"
#include "util/Func_2_text.h"

namespace {

std::string show(const std::u16string& s) { return platform::utf16_to_utf8(s); }

// A dimension line of length d along the X axis, measured through the identity transform.
std::u16string plain(int32_t F, int32_t S, double d, double ratio = 1)
{
    return SunpoText(F, S, ratio, 0, 0, 1, 0, 0, 1, 1, TDPoint { 5, 7 }, TDPoint { 5 + d, 7 });
}

struct Case {
    int32_t F;
    int32_t S;
    double d;
    std::u16string text;
};

template <size_t N> void run(const Case (&cases)[N])
{
    for (const Case& c : cases)
        EXPECT_EQ(show(plain(c.F, c.S, c.d)), show(c.text))
            << std::hex << "F 0x" << c.F << " S 0x" << c.S << std::dec << " d " << c.d;
}

TEST(SunpoText, NumberFormats)
{
    const Case cases[] = {
        { 0x2060, 0, 1234.5, u"1,234.5mm" }, // 2 decimals, grouped, zeros stripped, unit
        { 0x2040, 0, 1234.5, u"1,234.5" },
        { 0x20C0, 0, 1234.5, u"1,234.50" }, // grouped, zeros kept
        { 0x2080, 0, 1234.5, u"1234.50" }, // fixed decimals without grouping
        { 0x2000, 0, 1234.5, u"1234.5" }, // general form
        { 0x0000, 0, 1234.5, u"1235" }, // no decimals, halves away from zero
        { 0x0040, 0, 1234567, u"1,234,567" },
        { 0x0040, 0, 100, u"100" }, // no point: integer zeros stay
        { 0x3040, 0, 12, u"12." }, // zeros go, the point stays
        { 0x3040, 0, 12.5, u"12.5" },
        { 0x30C0, 0, 12, u"12.000" },
        { 0x3080, 0, 12, u"12.000" },
        { 0x3000, 0, 12, u"12" },
        { 0x2000, 0, 0.1 + 0.2, u"0.3" },
        { 0xB040, 0, 2.25, u"2.3" }, // (F div 4096) mod 10 = 1 decimal
        { 0xA040, 0, 2.25, u"2" }, // digits 0
        { 0x0040, 0, 0, u"0" },
    };
    run(cases);
}

TEST(SunpoText, RoundingModes)
{
    const Case cases[] = {
        { 0x2100, 0, 12.349, u"12.34" }, // 0x100 alone truncates
        { 0x2200, 0, 12.341, u"12.35" }, // 0x200 alone rounds up
        { 0x2300, 0, 0.125, u"0.13" }, // both: halves away from zero
        { 0x2000, 0, 12.344, u"12.34" },
        { 0x0100, 0, 9.99, u"9" },
        { 0x0200, 0, 9.01, u"10" },
    };
    run(cases);
}

TEST(SunpoText, MarkersAndFullWidth)
{
    const Case cases[] = {
        { 0x1400, 0x100, 12.5, u"R12.5" },
        { 0x1800, 0x100, 12.5, u"12.5R" },
        { 0x1000, 0x100, 12.5, u"12.5" }, // marker word set, no place for it
        { 0x1C00, 0x100, 12.5, u"R12.5" }, // before wins
        { 0x1400, 0x200, 12.5, u"\u03C612.5" },
        { 0x1800, 0x200, 12.5, u"12.5\u03C6" },
        { 0x1400, 0x300, 12.5, u"R12.5" }, // radius wins over diameter
        { 0x1400, 0x0, 12.5, u"12.5" },
        { 0x1400, 0x400, 12.5, u"12.5" }, // other marker bits mean nothing
        { 0x1408, 0x100, 12.5, u"Ｒ１２．５" },
        { 0x1428, 0x100, 12.5, u"Ｒ１２．５mm" }, // the unit is appended after widening
        { 0x1428, 0x200, 12.5, u"\u03C6１２．５mm" },
        { 0x2068, 0, 1234.5, u"１，２３４．５mm" },
        { 0x0008, 0, -0.0, u"０" },
    };
    run(cases);
}

TEST(SunpoText, MetresAndUnits)
{
    const Case cases[] = {
        { 0x1030, 0, 1500, u"1.5\uFF4D" }, // metres with the full-width m
        { 0x1010, 0, 1500, u"1.5" }, // metres without unit
        { 0x1038, 0, 1500, u"１．５\uFF4D" }, { 0x1020, 0, 1500, u"1500mm" },
        { 0x3070, 0, 1234567, u"1,234.567\uFF4D" }, { 0x0030, 0, 400, u"0\uFF4D" }, // 0.4 m rounds to 0
    };
    run(cases);
}

TEST(SunpoText, RatioScalesAndNonPositiveMeansOne)
{
    struct RatioCase {
        double ratio;
        std::u16string text;
    };
    const RatioCase cases[] = {
        { 1, u"12.5" },
        { 2, u"25" },
        { 0.5, u"6.25" },
        { 0, u"12.5" },
        { -3, u"12.5" },
    };
    for (const RatioCase& c : cases)
        EXPECT_EQ(show(plain(0x2000, 0, 12.5, c.ratio)), show(c.text)) << c.ratio;
}

TEST(SunpoText, MeasuresThroughTheBlockTransform)
{
    struct TransCase {
        double bx, by, b1, b2, b3, b4, sc;
        std::u16string text;
    };
    const TransCase cases[] = {
        { 0, 0, 1, 0, 0, 1, 1, u"5" }, // identity: the 3-4-5 line
        { 100, -50, 1, 0, 0, 1, 1, u"5" }, // a move changes nothing
        { 0, 0, 2, 0, 0, 2, 1, u"10" }, // scaled by two
        { 0, 0, 2, 0, 0, 2, 4, u"2.5" }, // the divisor divides
        { 0, 0, 0, -1, 1, 0, 1, u"5" }, // a quarter turn keeps the length
        { 0, 0, -1, 0, 0, 1, 1, u"5" }, // a mirror too
        { 0, 0, 3, 0, 0, 1, 1, u"9.85" }, // stretched along X only: sqrt(9^2 + 4^2) = 9.848...
    };
    for (const TransCase& c : cases) {
        std::u16string t = SunpoText(
            0x2000, 0, 1, c.bx, c.by, c.b1, c.b2, c.b3, c.b4, c.sc, TDPoint { 1, 1 }, TDPoint { 4, 5 });
        EXPECT_EQ(show(t), show(c.text)) << c.b1 << " " << c.b2 << " " << c.b3 << " " << c.b4 << " / " << c.sc;
    }
}

} // namespace
