// Tests of the attribute tables: layers, colour defaults, print mode, line types and their bounds.
#include "graphics/UnitGraAtt.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

struct LayerCase {
    int n;
    std::u16string gna;
    std::u16string nam;
};

TEST(GraAttLayers, DefaultNamesCarryTheHexDigitsOfGroupAndLayer)
{
    const LayerCase cases[] = {
        { 0, u"[0] ", u"(0) " },
        { 5, u"[0] ", u"(5) " },
        { 26, u"[1] ", u"(A) " },
        { 47, u"[2] ", u"(F) " },
        { 160, u"[A] ", u"(0) " },
        { 255, u"[F] ", u"(F) " },
    };
    TgraAttribute a;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(a.GetAttrLayerGName(c.n), c.gna);
        EXPECT_EQ(a.GetAttrLayerName(c.n), c.nam);
        EXPECT_EQ(a.GetAttrLayerState(c.n), 1);
        EXPECT_EQ(a.GetAttrLayerScale(c.n), 1.0);
    }
}

TEST(GraAttLayers, SetterRepairsStateAndScaleAndPrefixesNames)
{
    TgraAttribute a;
    a.SetAttrLayer(5, 0, -2.0, u"G", u"L");
    int st = 0;
    double sc = 0;
    std::u16string g, l;
    ASSERT_TRUE(a.GetAttrLayer(5, st, sc, g, l));
    EXPECT_EQ(st, 1);
    EXPECT_EQ(sc, 1.0);
    EXPECT_EQ(g, u"[0] G");
    EXPECT_EQ(l, u"(5) L");

    a.SetAttrLayer(47, 2, 0.5, u"壁", u"柱");
    EXPECT_EQ(a.GetAttrLayerGName(47), u"[2] 壁");
    EXPECT_EQ(a.GetAttrLayerName(47), u"(F) 柱");
    EXPECT_EQ(a.GetAttrLayerState(47), 2);
    EXPECT_EQ(a.GetAttrLayerScale(47), 0.5);

    // State and scale only: the names stay.
    a.SetAttrLayer(47, 3, 0.0);
    EXPECT_EQ(a.GetAttrLayerState(47), 3);
    EXPECT_EQ(a.GetAttrLayerScale(47), 1.0);
    EXPECT_EQ(a.GetAttrLayerName(47), u"(F) 柱");
}

TEST(GraAttLayers, StateOutsideOneToThreeBecomesOne)
{
    const std::pair<int, int> cases[] = { { -5, 1 }, { 0, 1 }, { 1, 1 }, { 2, 2 }, { 3, 3 }, { 4, 1 } };
    TgraAttribute a;
    for (auto [in, want] : cases) {
        a.SetAttrLayer(7, 2);
        a.SetAttrLayer(7, in);
        EXPECT_EQ(a.GetAttrLayerState(7), want) << in;
    }
}

TEST(GraAttLayers, IndexesOutOfRangeAreIgnoredAndAnsweredWithDefaults)
{
    TgraAttribute a;
    for (int n : { -1, 256, 100000 }) {
        SCOPED_TRACE(n);
        a.SetAttrLayer(n, 2, 3.0, u"x", u"y");
        a.SetAttrLayer(n, 3);
        int st = 9;
        double sc = 9;
        std::u16string g = u"keep", l = u"keep";
        EXPECT_FALSE(a.GetAttrLayer(n, st, sc, g, l));
        EXPECT_EQ(st, 9);
        EXPECT_EQ(g, u"keep");
        EXPECT_EQ(a.GetAttrLayerState(n), 1);
        EXPECT_EQ(a.GetAttrLayerScale(n), 1.0);
        EXPECT_EQ(a.GetAttrLayerGName(n), u"");
        EXPECT_EQ(a.GetAttrLayerName(n), u"");
    }
    EXPECT_EQ(a.GetAttrLayerState(255), 1);
    EXPECT_EQ(a.GetAttrLayerState(0), 1);
}

struct ColorCase {
    int jn;
    uint32_t white_bg;
    uint32_t black_bg;
};

TEST(GraAttColors, DefaultsForBothBackgrounds)
{
    const ColorCase cases[] = {
        { 1, 0xFF00C0C0, 0xFF00FFFF },
        { 2, 0xFF000000, 0xFFFFFFFF },
        { 6, 0xFF0000FF, 0xFF2020FF },
        { 8, 0xFFFF0080, 0xFFA00000 },
        { 9, 0xFFFF80FF, 0xFFC08080 },
        { 101, 0xFF000000, 0xFFFFFFFF },
        { 102, 0xFFFF0000, 0xFFFF0000 },
        { 108, 0xFF000000, 0xFFFFFFFF },
        { 114, 0xFF8040FF, 0xFF8040FF },
        { 116, 0xFF808080, 0xFF808080 },
        // Beyond the SXF palette every entry is the foreground.
        { 117, 0xFF000000, 0xFFFFFFFF },
        { 356, 0xFF000000, 0xFFFFFFFF },
    };
    TgraAttribute a;
    for (const auto& c : cases)
        EXPECT_EQ(a.GetAttrColcol(c.jn), c.white_bg) << c.jn;

    a.SetBackColor(1);
    EXPECT_EQ(a.GetBackColorNo(), 1);
    EXPECT_EQ(a.GetBackColor(), 0xFF000000u);
    EXPECT_EQ(a.GetForeColor(), 0xFFFFFFFFu);
    // The table is untouched until the defaults are reloaded.
    EXPECT_EQ(a.GetAttrColcol(2), 0xFF000000u);
    a.SetDefaultColor();
    for (const auto& c : cases)
        EXPECT_EQ(a.GetAttrColcol(c.jn), c.black_bg) << c.jn;
}

TEST(GraAttColors, UnknownBackgroundChangesNothingAndPaintsAllForeground)
{
    TgraAttribute a;
    a.SetBackColor(2);
    EXPECT_EQ(a.GetBackColorNo(), 0);
    EXPECT_EQ(a.GetBackColor(), 0xFFFFFFFFu);
    EXPECT_EQ(a.GetForeColor(), 0xFF000000u);

    a.BkColor = 2;
    a.ForeColor = 0xFF123456;
    a.SetDefaultColor();
    for (int n = 0; n < a.jwvColN; ++n)
        ASSERT_EQ(a.GetAttrColcol_(n), 0xFF123456u) << n;
}

TEST(GraAttColors, DefaultWidthsAndPointRadii)
{
    struct Case {
        int jn;
        double wid;
        double ten;
    };
    const Case cases[] = {
        { 1, 0.10, 0.2 },
        { 2, 0.15, 0.3 },
        { 3, 0.20, 0.4 },
        { 4, 0.25, 0.5 },
        { 5, 0.30, 0.5 },
        { 6, 0.35, 0.5 },
        { 7, 0.40, 0.5 },
        { 8, 0.50, 0.5 },
        { 9, 0.01, 0.2 },
        { 101, 0.18, 0.2 },
        { 200, 0.18, 0.2 },
        { 356, 0.18, 0.2 },
    };
    TgraAttribute a;
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(a.GetAttrColwid(c.jn), c.wid) << c.jn;
        EXPECT_DOUBLE_EQ(a.GetAttrColten(c.jn), c.ten) << c.jn;
    }
}

TEST(GraAttColors, NumbersWithoutSlotAreIgnoredAndAnsweredWithDefaults)
{
    TgraAttribute a;
    std::vector<uint32_t> before;
    for (int n = 0; n < a.jwvColN; ++n)
        before.push_back(a.GetAttrColcol_(n));
    for (int jn : { -1, 0, 10, 100, 357, 1000 }) {
        SCOPED_TRACE(jn);
        a.SetAttrCol(jn, 0xFF112233u, 9.0, 9.0);
        a.SetAttrCol(jn, 0xFF112233u);
        a.SetAttrCol(jn, 9.0);
        EXPECT_EQ(a.GetAttrColcol(jn), a.GetBackColor());
        EXPECT_EQ(a.GetAttrColwid(jn), 0.0);
        EXPECT_EQ(a.GetAttrColten(jn), 0.1);
    }
    for (int n : { -1, 265 }) {
        a.SetAttrCol_(n, 0xFF112233u, 9.0, 9.0);
        EXPECT_EQ(a.GetAttrColcol_(n), a.GetBackColor());
        EXPECT_EQ(a.GetAttrColwid_(n), 0.0);
        EXPECT_EQ(a.GetAttrColten_(n), 0.1);
    }
    for (int n = 0; n < a.jwvColN; ++n)
        ASSERT_EQ(a.GetAttrColcol_(n), before[size_t(n)]) << n;
}

TEST(GraAttColors, SettersReachTheSlotOfTheirNumber)
{
    TgraAttribute a;
    a.SetAttrCol(1, 0xFF010203u, 0.7, 0.8);
    EXPECT_EQ(a.GetAttrColcol_(0), 0xFF010203u);
    a.SetAttrCol(101, 0xFF040506u, 0.9);
    EXPECT_EQ(a.GetAttrColcol_(9), 0xFF040506u);
    EXPECT_DOUBLE_EQ(a.GetAttrColwid_(9), 0.9);
    EXPECT_DOUBLE_EQ(a.GetAttrColten_(9), 0.2);
    a.SetAttrCol(356, 1.5, 2.5);
    EXPECT_DOUBLE_EQ(a.GetAttrColwid_(264), 1.5);
    EXPECT_DOUBLE_EQ(a.GetAttrColten_(264), 2.5);
    EXPECT_EQ(a.GetAttrColcol_(264), 0xFF000000u);
    a.SetAttrCol_(8, 0.33);
    EXPECT_DOUBLE_EQ(a.GetAttrColwid(9), 0.33);
    a.SetAttrCol_(8, 0xFFABCDEFu);
    EXPECT_EQ(a.GetAttrColcol(9), 0xFFABCDEFu);
    EXPECT_DOUBLE_EQ(a.GetAttrColwid(9), 0.33);
}

struct PrintCase {
    int sk0, sk1, sk2;
    int jn; // 1 is a pen colour, 101 an extended one
    uint32_t in;
    uint32_t want;
};

TEST(GraAttColors, PrintModeThresholds)
{
    const PrintCase cases[] = {
        // Sikii0: near-white to white, the rest black, every colour.
        { 10, -1, -1, 1, 0xFFF8F8F8, 0xFFFFFFFF },
        { 10, -1, -1, 1, 0xFFC0C0C0, 0xFF000000 },
        { 10, -1, -1, 101, 0xFFF8F8F8, 0xFFFFFFFF },
        { 10, -1, -1, 1, 0xFFF6F6F6, 0xFFFFFFFF }, // 246 + 10 > 255
        { 10, -1, -1, 1, 0xFFF5F5F5, 0xFF000000 }, // 245 + 10 is not above 255
        { 10, -1, -1, 1, 0xFFFFFFF0, 0xFF000000 }, // one channel short is enough
        { 0, -1, -1, 1, 0xFFFFFFFF, 0xFFFFFFFF },
        // Sikii1: near-white pen colours to black; extended colours untouched.
        { -1, 10, -1, 1, 0xFFF5F5F5, 0xFF000000 }, // 245 + 10 >= 255
        { -1, 10, -1, 1, 0xFFF4F4F4, 0xFFF4F4F4 },
        { -1, 10, -1, 101, 0xFFF8F8F8, 0xFFF8F8F8 },
        // Sikii2: the same for extended colours; pen colours untouched.
        { -1, -1, 10, 101, 0xFFF8F8F8, 0xFF000000 },
        { -1, -1, 10, 1, 0xFFF8F8F8, 0xFFF8F8F8 },
        { -1, -1, 10, 101, 0x80C0C0C0, 0x80C0C0C0 },
        // Sikii0 and Sikii1 together: every pen colour ends black.
        { 10, 10, -1, 1, 0xFFF8F8F8, 0xFF000000 },
        { 10, 10, -1, 1, 0xFFC0C0C0, 0xFF000000 },
        { 10, 10, -1, 101, 0xFFF8F8F8, 0xFFFFFFFF },
        { 10, -1, 10, 101, 0xFFF8F8F8, 0xFF000000 },
        // All off: unchanged, alpha and all.
        { -1, -1, -1, 1, 0x80F8F8F8, 0x80F8F8F8 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(
            testing::Message() << c.sk0 << "," << c.sk1 << "," << c.sk2 << " jn " << c.jn << " " << std::hex << c.in);
        TgraAttribute a;
        a.SetAttrCol(c.jn, c.in);
        a.SetPrintMode(true, c.sk0, c.sk1, c.sk2);
        EXPECT_EQ(a.GetAttrColcol(c.jn), c.want);
        a.SetPrintMode(false, c.sk0, c.sk1, c.sk2);
        EXPECT_EQ(a.GetAttrColcol(c.jn), c.in);
    }
}

TEST(GraAttModes, DefaultsAndSimpleSetters)
{
    TgraAttribute a;
    EXPECT_FALSE(a.GetDisplayMode());
    EXPECT_EQ(a.GetDispHojo(), 0);
    EXPECT_EQ(a.GetDispKijun(), 0);
    EXPECT_EQ(a.GetGrayColor(), 0xFF808080u);
    EXPECT_FALSE(a.GetAll1ColorState());
    EXPECT_EQ(a.GetAll1Color(), 0xFFFFFFFFu);
    int s0 = 0, s1 = 0, s2 = 0;
    EXPECT_FALSE(a.GetPrintMode(s0, s1, s2));
    EXPECT_EQ(s0, -1);
    EXPECT_EQ(s1, -1);
    EXPECT_EQ(s2, -1);

    a.SetDisplayMode(true);
    a.SetDispHojo(5);
    a.SetDispKijun(-1);
    a.SetGrayColor(0xFF111111);
    a.SetPrintMode(true, 1, 2, 3);
    EXPECT_TRUE(a.GetDisplayMode());
    EXPECT_EQ(a.GetDispHojo(), 1);
    EXPECT_EQ(a.GetDispKijun(), 1);
    EXPECT_EQ(a.GetGrayColor(), 0xFF111111u);
    EXPECT_TRUE(a.GetPrintMode(s0, s1, s2));
    EXPECT_EQ(s0 * 100 + s1 * 10 + s2, 123);

    a.SetAll1Color(true, 0xFF00FF00);
    a.SetAll1Color(false);
    EXPECT_FALSE(a.GetAll1ColorState());
    EXPECT_EQ(a.GetAll1Color(), 0xFF00FF00u);

    a.DataInit();
    EXPECT_FALSE(a.GetDisplayMode());
    EXPECT_FALSE(a.GetPrintMode(s0, s1, s2));
    EXPECT_EQ(a.GetAll1Color(), 0xFFFFFFFFu);
}

struct LtypeCase {
    int jn;
    std::vector<double> pa;
    double pit;
};

TEST(GraAttLtypes, BuiltInPatterns)
{
    const double u = 0.36;
    const LtypeCase cases[] = {
        { 1, {}, 0 },
        { 2, { 1 * u, -2 * u, 1 * u }, 1.44 },
        { 3, { 2 * u, -4 * u, 2 * u }, 2.88 },
        { 4, { 3 * u, -2 * u, 3 * u }, 2.88 },
        { 5, { 5 * u, -2 * u, 2 * u, -2 * u, 5 * u }, 5.76 },
        { 6, { 13 * u, -2 * u, 2 * u, -2 * u, 13 * u }, 11.52 },
        { 7, { 4 * u, -2 * u, 1 * u, -2 * u, 1 * u, -2 * u, 4 * u }, 5.76 },
        { 8, { 12 * u, -2 * u, 1 * u, -2 * u, 1 * u, -2 * u, 12 * u }, 11.52 },
        { 9, { 0.18, -1.08, 0.18 }, 1.44 },
        { 16, { 8.4, -1.2, 1.6, -1.2, 8.4 }, 20.8 },
        { 17, { 10.6, -1.6, 1.2, -1.6, 1.2, -1.6, 10.6 }, 28.4 },
        { 18, { 13.6, -1.6, 13.6 }, 28.8 },
        { 19, { 22.0, -3.0, 22.0 }, 47.0 },
        { 31, {}, 0 },
        { 32, { 6, -1.5 }, 7.5 },
        { 33, { 6, -6 }, 12 },
        { 34, { 12, -1.5, 0.25, -1.5 }, 15.25 },
        { 35, { 12, -1.5, 0.25, -1.5, 0.25, -1.5 }, 17 },
        { 36, { 12, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5 }, 18.75 },
        { 37, { 0.25, -1.5 }, 1.75 },
        { 38, { 12, -1.5, 3.5, -1.5 }, 18.5 },
        { 39, { 12, -1.5, 3.5, -1.5, 3.5, -1.5 }, 23.5 },
        { 40, { 6, -1.5, 0.25, -1.5 }, 9.25 },
        { 41, { 6, -1.5, 6, -1.5, 0.25, -1.5 }, 16.75 },
        { 42, { 6, -1.5, 0.25, -1.5, 0.25, -1.5 }, 11 },
        { 43, { 6, -1.5, 6, -1.5, 0.25, -1.5, 0.25, -1.5 }, 18.5 },
        { 44, { 6, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5 }, 12.75 },
        { 45, { 6, -1.5, 6, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5 }, 20.25 },
        { 46, {}, 0 },
        { 62, {}, 0 },
    };
    TgraAttribute a;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.jn);
        std::array<double, 32> pat;
        pat.fill(99);
        ASSERT_EQ(a.GetAttrTyppat(c.jn, pat), int(c.pa.size()));
        ASSERT_EQ(a.GetAttrTypseg(c.jn), int(c.pa.size()));
        for (size_t k = 0; k < c.pa.size(); ++k) {
            EXPECT_NEAR(pat[k], c.pa[k], 1e-12) << k;
            EXPECT_NEAR(a.GetAttrTyppa1(c.jn, int(k)), c.pa[k], 1e-12) << k;
        }
        EXPECT_EQ(pat[c.pa.size()], 99) << "copied past seg";
        EXPECT_NEAR(a.GetAttrTyppit(c.jn), c.pit, 1e-9);
        EXPECT_EQ(a.GetAttrTypamp(c.jn), 0.0);
    }
    // Entries from seg on are zero in the table itself.
    for (const auto& t : a.jwvTyp)
        for (int k = t.seg; k < 32; ++k)
            ASSERT_EQ(t.pa[size_t(k)], 0.0) << k;
}

TEST(GraAttLtypes, RandomLinesShareOneZigzag)
{
    // Side of each zigzag vertex: + for "2", - for "0" in the shared pattern text.
    const std::string sides = "++--++--+-++--+-+-++--++--+-+-+-";
    struct Case {
        int jn;
        double unit, amp, pit;
    };
    const Case cases[] = {
        { 11, 0.6, 0.3, 19.2 },
        { 12, 1.2, 0.3, 38.4 },
        { 13, 1.8, 0.6, 57.6 },
        { 14, 2.4, 0.6, 76.8 },
        { 15, 3.0, 0.6, 96.0 },
    };
    TgraAttribute a;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.jn);
        std::array<double, 32> pat {};
        ASSERT_EQ(a.GetAttrTyppat(c.jn, pat), 32);
        EXPECT_DOUBLE_EQ(a.GetAttrTypamp(c.jn), c.amp);
        EXPECT_NEAR(a.GetAttrTyppit(c.jn), c.pit, 1e-9);
        for (size_t k = 0; k < 32; ++k)
            EXPECT_DOUBLE_EQ(pat[k], sides[k] == '+' ? c.unit : -c.unit) << k;
    }
    std::array<double, 32> p15 {};
    a.GetAttrTyppat(15, p15);
    const double first10[] = { 3, 3, -3, -3, 3, 3, -3, -3, 3, -3 };
    for (size_t k = 0; k < 10; ++k)
        EXPECT_DOUBLE_EQ(p15[k], first10[k]);
}

TEST(GraAttLtypes, NumbersWithoutSlotReadAsSolid)
{
    TgraAttribute a;
    for (int jn : { -1, 0, 10, 20, 25, 30, 63, 1000 }) {
        SCOPED_TRACE(jn);
        a.SetAttrTypseg(jn, 3);
        a.SetAttrTypamp(jn, 1.0);
        EXPECT_EQ(a.GetAttrTypseg(jn), 0);
        EXPECT_EQ(a.GetAttrTypamp(jn), 0.0);
        EXPECT_EQ(a.GetAttrTyppit(jn), 0.0);
        EXPECT_EQ(a.GetAttrTyppa1(jn, 0), 0.0);
        std::array<double, 32> pat;
        pat.fill(7);
        EXPECT_EQ(a.GetAttrTyppat(jn, pat), 0);
        EXPECT_EQ(pat[0], 7);
    }
    // Index form: 9 is type 11, 18 type 31, 19 type 32; 50 is outside.
    EXPECT_EQ(a.GetAttrTypseg_(9), 32);
    EXPECT_EQ(a.GetAttrTypseg_(18), 0);
    EXPECT_EQ(a.GetAttrTypseg_(19), 2);
    EXPECT_EQ(a.GetAttrTypseg_(50), 0);
    EXPECT_EQ(a.GetAttrTypseg_(-1), 0);
}

TEST(GraAttLtypes, EntryOutsideSegIsIgnoredAndPeriodWaitsForRecompute)
{
    TgraAttribute a;
    a.SetAttrTypseg(2, 2);
    a.SetAttrTyppa1(2, 2, 5.0);
    a.SetAttrTyppa1(2, -1, 5.0);
    EXPECT_EQ(a.GetAttrTyppa1(2, 2), 0.0);
    EXPECT_NEAR(a.jwvTyp[1].pa[2], 0.36, 1e-12); // the stored entry itself is unchanged
    EXPECT_NEAR(a.GetAttrTyppit(2), 1.44, 1e-12);
    a.SetAttrTypPit(2);
    EXPECT_NEAR(a.GetAttrTyppit(2), 1.08, 1e-12);

    // A longer pattern: seg first, then the entries.
    a.SetAttrTypseg_(1, 4);
    a.SetAttrTyppa1_(1, 3, -2.0);
    a.SetAttrTypPit_(1);
    EXPECT_EQ(a.GetAttrTyppa1(2, 3), -2.0);
    EXPECT_NEAR(a.GetAttrTyppit(2), 0.36 + 0.72 + 0.36 + 2.0, 1e-12);
}

TEST(GraAttLtypes, SetPatternCopiesSegEntriesAndClearsTheRest)
{
    TgraAttribute a;
    const std::vector<double> pat = { 1, -2, 3, -4, 5, -6 };
    a.SetAttrTypseg(16, 4);
    a.SetAttrTyppat(16, pat);
    std::array<double, 32> out {};
    ASSERT_EQ(a.GetAttrTyppat(16, out), 4);
    EXPECT_EQ(out[3], -4);
    EXPECT_EQ(a.jwvTyp[14].pa[4], 0.0);
    a.SetAttrTypPit(16);
    EXPECT_DOUBLE_EQ(a.GetAttrTyppit(16), 10.0);
}

// Counts from a file must never walk past the 32 pattern entries or past the caller's array.
TEST(GraAttLtypes, CountsAndArraysAreClamped)
{
    TgraAttribute a;
    a.SetAttrTypseg(2, 40);
    EXPECT_EQ(a.GetAttrTypseg(2), 32);
    a.SetAttrTyppa1(2, 31, 1.0);
    a.SetAttrTyppa1(2, 32, 9.0); // outside the table even when seg says more
    EXPECT_EQ(a.GetAttrTyppa1(2, 31), 1.0);
    EXPECT_EQ(a.GetAttrTyppa1(2, 32), 0.0);
    std::array<double, 32> full {};
    EXPECT_EQ(a.GetAttrTyppat(2, full), 32);

    a.SetAttrTypseg(3, -3);
    EXPECT_EQ(a.GetAttrTypseg(3), 0);
    a.SetAttrTypPit(3);
    EXPECT_EQ(a.GetAttrTyppit(3), 0.0);

    // A short source array: only what it holds is copied, the rest reads 0.
    a.SetAttrTypseg(4, 5);
    const double two[] = { 2.0, -1.0 };
    a.SetAttrTyppat(4, two);
    std::array<double, 32> out;
    out.fill(9);
    ASSERT_EQ(a.GetAttrTyppat(4, out), 5);
    EXPECT_EQ(out[1], -1.0);
    EXPECT_EQ(out[2], 0.0);
    EXPECT_EQ(out[4], 0.0);

    // A short destination: filled to its end and no further; the result says how many.
    std::vector<double> buf(6, 7.0);
    EXPECT_EQ(a.GetAttrTyppat(15, std::span<double>(buf.data(), 4)), 4);
    EXPECT_EQ(buf[3], -3.0);
    EXPECT_EQ(buf[4], 7.0);
    EXPECT_EQ(buf[5], 7.0);

    // Even a seg written straight into the public field stays inside the table.
    a.jwvTyp[5].seg = 1000;
    EXPECT_EQ(a.GetAttrTypseg_(5), 32);
    EXPECT_EQ(a.GetAttrTyppat_(5, full), 32);
    a.SetAttrTypPit_(5);
    a.SetAttrTyppat_(5, std::vector<double>(100, 1.0));
    a.SetAttrTypScale(2.0);
    EXPECT_EQ(a.GetAttrTyppa1_(5, 31), 2.0);
}

TEST(GraAttLtypes, ScaleMultipliesEntriesAndPeriodButNotAmplitude)
{
    TgraAttribute a;
    TgraAttribute ref;
    a.SetAttrTypScale(2.5);
    for (int jn : { 2, 9, 12, 19, 45 }) {
        SCOPED_TRACE(jn);
        EXPECT_DOUBLE_EQ(a.GetAttrTyppit(jn), ref.GetAttrTyppit(jn) * 2.5);
        EXPECT_DOUBLE_EQ(a.GetAttrTypamp(jn), ref.GetAttrTypamp(jn));
        for (int k = 0; k < ref.GetAttrTypseg(jn); ++k)
            EXPECT_DOUBLE_EQ(a.GetAttrTyppa1(jn, k), ref.GetAttrTyppa1(jn, k) * 2.5) << k;
    }
    a.SetDefaultLtype();
    EXPECT_NEAR(a.GetAttrTyppit(2), 1.44, 1e-12);
}

} // namespace
