// Tests of the layer states, drawing extents and paper sizes of ".jwc" drawings and ".jwk" symbols.
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"
#include "globals/UnitVal.h"
#include "graphics/UnitGraAtt.h"
#include "tests/support/jwc_writer.h"

namespace {

using test_jwc::JwcFile;
using test_jwc::JwkFile;

struct Box {
    double x1, y1, x2, y2;
};

Box extents() { return { gMinX, gMinY, gMaxX, gMaxY }; }

#define EXPECT_BOX_NEAR(b, ex1, ey1, ex2, ey2)                                                                         \
    do {                                                                                                               \
        EXPECT_NEAR((b).x1, (ex1), 1e-4);                                                                              \
        EXPECT_NEAR((b).y1, (ey1), 1e-4);                                                                              \
        EXPECT_NEAR((b).x2, (ex2), 1e-4);                                                                              \
        EXPECT_NEAR((b).y2, (ey2), 1e-4);                                                                              \
    } while (0)

class JwcExtents : public ::testing::Test {
protected:
    void SetUp() override
    {
        att = std::make_unique<TgraAttribute>();
        gGraAtt = att.get();
        gMinX = gMinY = -777;
        gMaxX = gMaxY = 777;
    }
    void TearDown() override { gGraAtt = nullptr; }

    // A drawing whose file units are millimetres.
    static JwcFile mm_file()
    {
        JwcFile f;
        f.psize = 99;
        return f;
    }
    void load(const JwcFile& f) { ASSERT_TRUE(jwc.FileIn(dir.write("e.jwc", f.bytes()))); }
    void load(const JwkFile& f) { ASSERT_TRUE(jwk.FileIn(dir.write("e.jwk", f.bytes()))); }

    std::unique_ptr<TgraAttribute> att;
    test_jwc::ScratchDir dir;
    TJwcData jwc;
    TJwkData jwk;
};

TEST_F(JwcExtents, LayerStateFromFlagBits)
{
    struct Case {
        uint8_t gDisp, gSrch, lSrch, lDisp;
        int expected;
    };
    const Case cases[] = {
        { 0, 1, 1, 1, 3 }, // a hidden group hides every layer in it
        { 0, 0, 0, 0, 3 },
        { 1, 0, 1, 1, 2 },
        { 1, 0, 0, 1, 2 },
        { 1, 0, 1, 0, 3 },
        { 1, 1, 1, 1, 1 },
        { 1, 1, 0, 1, 2 },
        { 1, 1, 1, 0, 3 },
        { 1, 1, 0, 0, 3 },
        { 3, 3, 3, 3, 1 }, // only bit 0 counts
        { 2, 1, 1, 1, 3 },
        { 1, 2, 1, 1, 2 },
        { 1, 1, 2, 1, 2 },
        { 1, 1, 1, 2, 3 },
    };
    for (const auto& c : cases) {
        JwcFile f = mm_file();
        const int n = 5 * 16 + 9;
        f.group_disp[5] = c.gDisp;
        f.group_srch[5] = c.gSrch;
        f.layer_srch[size_t(n)] = c.lSrch;
        f.layer_disp[size_t(n)] = c.lDisp;
        load(f);
        jwc.SetGAttLayer();
        EXPECT_EQ(att->GetAttrLayerState(n), c.expected)
            << int(c.gDisp) << int(c.gSrch) << int(c.lSrch) << int(c.lDisp);
        // Its neighbour in the group has both flags set: only the group's flags decide.
        EXPECT_EQ(att->GetAttrLayerState(n + 1), !(c.gDisp & 1) ? 3 : !(c.gSrch & 1) ? 2 : 1);
    }
}

TEST_F(JwcExtents, LayerScalesAndNames)
{
    JwcFile f = mm_file();
    f.group_scale[2] = 50;
    f.group_names[2] = "Walls";
    f.layer_names[2 * 16 + 3] = "Doors\x01";
    load(f);
    jwc.SetGAttLayer();
    EXPECT_DOUBLE_EQ(att->GetAttrLayerScale(2 * 16 + 3), 1.0 / 50);
    EXPECT_DOUBLE_EQ(att->GetAttrLayerScale(0), 1.0);
    const auto gname = att->GetAttrLayerGName(2 * 16 + 3);
    const auto lname = att->GetAttrLayerName(2 * 16 + 3);
    ASSERT_GE(gname.size(), 5u);
    ASSERT_GE(lname.size(), 5u);
    EXPECT_EQ(gname.substr(gname.size() - 5), u"Walls");
    EXPECT_EQ(lname.substr(lname.size() - 5), u"Doors");
}

TEST_F(JwcExtents, GroupScaleWithoutAFiniteInverseCountsAsOne)
{
    struct Case {
        float scale;
        double expected;
    };
    const Case cases[] = { { 0.0f, 1.0 }, { -50.0f, 1.0 }, { std::numeric_limits<float>::quiet_NaN(), 1.0 },
        { std::numeric_limits<float>::infinity(), 1.0 }, { 200.0f, 1.0 / 200 } };
    for (const auto& c : cases) {
        JwcFile f = mm_file();
        f.group_scale[4] = c.scale;
        load(f);
        jwc.SetGAttLayer();
        EXPECT_DOUBLE_EQ(att->GetAttrLayerScale(4 * 16), c.expected) << c.scale;
        EXPECT_TRUE(std::isfinite(att->GetAttrLayerScale(4 * 16 + 15))) << c.scale;
    }
}

TEST_F(JwcExtents, SymbolLayersAreNormalAtTheSymbolScale)
{
    JwkFile f;
    f.scale = "20";
    load(f);
    att->SetAttrLayer(7, 3, 5.0);
    jwk.SetGAttLayer();
    for (int n : { 0, 7, 255 }) {
        EXPECT_EQ(att->GetAttrLayerState(n), 1);
        EXPECT_DOUBLE_EQ(att->GetAttrLayerScale(n), 1.0 / 20);
    }
}

TEST_F(JwcExtents, SinglePointGrowsByTenMillimetres)
{
    JwcFile f = mm_file();
    f.points.push_back({ 30, 40 });
    load(f);
    jwc.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), 20, 30, 40, 50);
}

TEST_F(JwcExtents, OnlyTemporaryPointsStartAtSlotOne)
{
    JwcFile f = mm_file();
    f.vten[0] = { -1000, -1000, 0 }; // slot 0 is not a point
    f.vten[1] = { 10, 20, 0 };
    f.vten[2] = { 15, 22, 0 };
    f.vten[3] = { 500, 500, 0 }; // beyond vtenCount
    f.vten_count = 2;
    load(f);
    jwc.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), 10, 20, 15, 22);
}

TEST_F(JwcExtents, TemporaryPointCountBeyondTheSlotsIsKeptWithin)
{
    JwcFile f = mm_file();
    f.vten[1] = { 1, 2, 0 };
    f.vten[100] = { 90, 80, 0 };
    f.vten_count = 5000;
    load(f);
    jwc.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), 0, 0, 90, 80);
}

TEST_F(JwcExtents, ArcAcrossZeroDegreesIncludesTheZeroPoint)
{
    JwcFile f = mm_file();
    f.arcs.push_back({ 0, 0, 10, 1.0, 350, 10 });
    load(f);
    jwc.GetMinMaxZahyo();
    const double s = 10 * std::sin(10 * std::numbers::pi / 180), c = 10 * std::cos(10 * std::numbers::pi / 180);
    EXPECT_LT(c, 10.0);
    // The extents start at the centre and reach the point at 0 degrees.
    EXPECT_BOX_NEAR(extents(), 0, -s, 10, s);
}

TEST_F(JwcExtents, ArcPointsFollowTheQuadrantRule)
{
    struct Case {
        const char* what;
        test_jwc::Arc arc;
        Box expected;
    };
    const double r2 = 10 / std::sqrt(2.0);
    const Case cases[] = {
        { "quarter from 0", { 100, 100, 10, 1.0, 0, 90 }, { 100, 100, 110, 110 } },
        { "quarter from 45", { 0, 0, 10, 1.0, 45, 135 }, { -r2, 0, r2, 10 } },
        { "negative start", { 0, 0, 10, 1.0, -90, 0 }, { 0, -10, 10, 0 } },
        { "half ellipse", { 0, 0, 10, 0.5, 180, 360 }, { -10, -5, 10, 0 } },
        { "full circle st = et", { 0, 0, 10, 1.0, 30, 30 }, { -10, -10, 10, 10 } },
        { "full circle et = st + 360", { 0, 0, 10, 1.0, 30, 390 }, { -10, -10, 10, 10 } },
        { "full tilted ellipse", { 0, 0, 10, 0.5, 0, 0, 90 }, { -5, -10, 5, 10 } },
        { "tilted quarter", { 0, 0, 10, 1.0, 0, 90, 90 }, { -10, 0, 0, 10 } },
    };
    for (const auto& c : cases) {
        JwcFile f = mm_file();
        f.arcs.push_back(c.arc);
        load(f);
        jwc.GetMinMaxZahyo();
        SCOPED_TRACE(c.what);
        EXPECT_BOX_NEAR(extents(), c.expected.x1, c.expected.y1, c.expected.x2, c.expected.y2);
    }
}

TEST_F(JwcExtents, EveryKindWidensTheExtents)
{
    JwcFile f = mm_file();
    f.lines.push_back({ 5, 5, 6, 6 });
    f.texts.push_back({ -20, 1, -19, 1, "t" });
    f.points.push_back({ 3, 70 });
    f.arcs.push_back({ 0, 0, 1, 1.0, 0, 0 });
    f.vten_count = 1;
    f.vten[1] = { 50, -30, 0 };
    load(f);
    jwc.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), -20, -30, 50, 70);
}

TEST_F(JwcExtents, TextsWithoutExtentAreSkipped)
{
    JwcFile f = mm_file();
    f.texts.push_back({ 500, 500, 500, 500, "dot" }); // first text, both points the same
    f.texts.push_back({ 0, 0, 10, 0, "t" });
    load(f);
    jwc.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), 0, 0, 10, 0);
}

TEST_F(JwcExtents, ScaledDrawingReportsMillimetres)
{
    JwcFile f;
    f.psize = 3;
    f.draw_width = 840; // two file units per millimetre
    f.lines.push_back({ 0, 0, 200, 100 });
    load(f);
    jwc.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), 0, 0, 100, 50);
}

TEST_F(JwcExtents, FarPointsAreIgnoredAndLargeOnesClamped)
{
    JwcFile f = mm_file();
    f.lines.push_back({ 0, 0, 10, 10 });
    f.points.push_back({ 6e11f, 5 }); // outside the accepted range: ignored
    f.points.push_back({ 2e8f, -2e8f }); // clamped to 1e8
    load(f);
    jwc.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), 0, -1e8, 1e8, 10);
}

TEST_F(JwcExtents, EmptyDrawingLeavesTheExtents)
{
    load(mm_file());
    jwc.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), -777, -777, 777, 777);
}

TEST_F(JwcExtents, PaperSizeByCode)
{
    struct Case {
        int psize;
        double x, y;
    };
    const Case cases[] = { { 0, 1189, 841 }, { 1, 841, 594 }, { 2, 594, 420 }, { 3, 420, 297 }, { 4, 297, 210 },
        { 5, 1189, 841 }, { 7, 1189, 841 }, { 8, 1682, 1189 }, { 9, 2378, 1682 }, { 10, 3364, 2378 },
        { 11, 4756, 3364 }, { 12, 10000, 7073 }, { 13, 50000, 35366 }, { 14, 100000, 70732 }, { 15, 1189, 841 },
        { -2, 1189, 841 } };
    for (const auto& c : cases) {
        jwc.Enthd.psize = c.psize;
        double px = 0, py = 0;
        jwc.GetPaperSize(px, py);
        EXPECT_EQ(px, c.x) << c.psize;
        EXPECT_EQ(py, c.y) << c.psize;
    }
}

TEST_F(JwcExtents, SymbolExtentsIncludeTheOriginAndDivideByScale)
{
    JwkFile f;
    f.scale = "100";
    f.lines.push_back({ 100, 100, 300, 200 });
    f.points.push_back({ 150, 50 });
    load(f);
    jwk.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), 0, 0, 3, 2);
}

TEST_F(JwcExtents, SymbolArcsAndTextsDivideByScale)
{
    JwkFile f;
    f.scale = "10";
    f.arcs.push_back({ -100, 0, 50, 1.0, 0, 0 });
    f.texts.push_back({ 0, 0, 0, 0, "same" }); // no extent: skipped
    f.texts.push_back({ 0, 300, 20, 300, "t" });
    load(f);
    jwk.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), -15, -5, 2, 30);
}

TEST_F(JwcExtents, SymbolScaleZeroActsAsOne)
{
    JwkFile f;
    f.scale = "0";
    f.lines.push_back({ -4, -3, 8, 6 });
    load(f);
    jwk.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), -4, -3, 8, 6);
}

TEST_F(JwcExtents, EmptySymbolIsTheOriginGrownByTen)
{
    load(JwkFile {});
    jwk.GetMinMaxZahyo();
    EXPECT_BOX_NEAR(extents(), -10, -10, 10, 10);
}

} // namespace
