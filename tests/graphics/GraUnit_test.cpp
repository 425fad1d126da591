// Tests of TGraph: the dash pattern and its walk, patterned lines and curves, Bezier chains, symbols and fills.
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "globals/UnitVal.h"
#include "graphics/GraUnit.h"
#include "platform/DisplayList.h"

namespace {

using Op = platform::DisplayList::Op;
using Record = platform::DisplayList::Record;
using std::numbers::pi;

class TGraphTest : public ::testing::Test {
public:
    void SetUp() override
    {
        view(10);
        canvas = std::make_unique<platform::DisplayList>(1000, 1000);
        g = std::make_unique<TGraph>(canvas.get());
    }

    // A 100 x 100 unit window at the origin, scale pixels per unit.
    static void view(double scale)
    {
        gDispX1 = 0;
        gDispY1 = 0;
        gDispX2 = 100;
        gDispY2 = 100;
        gDispScale = scale;
        gDispHeight = 100 * scale;
        gDispWidth = 100 * scale;
    }
    static platform::PointF dev(double x, double y)
    {
        return { float((x - gDispX1) * gDispScale), float(gDispHeight - (y - gDispY1) * gDispScale) };
    }
    static bool is_dot(const Record& r)
    {
        return r.op == Op::Line && r.pts.size() == 2 && std::fabs(r.pts[1].X - r.pts[0].X - 1) < 1e-4
            && r.pts[1].Y == r.pts[0].Y;
    }
    void pattern(std::vector<double> p) { g->GLPenSetLtypePat(static_cast<int>(p.size()), p); }

    // The x extents, in drawing units, of the horizontal line pieces drawn so far.
    std::vector<std::pair<double, double>> pieces() const
    {
        std::vector<std::pair<double, double>> out;
        for (const Record* r : canvas->of(Op::Line))
            out.push_back({ r->pts[0].X / gDispScale + gDispX1, r->pts[1].X / gDispScale + gDispX1 });
        return out;
    }
    void expect_pieces(const std::vector<std::pair<double, double>>& want) const
    {
        const auto got = pieces();
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_NEAR(got[i].first, want[i].first, 1e-4) << "piece " << i;
            EXPECT_NEAR(got[i].second, want[i].second, 1e-4) << "piece " << i;
        }
    }

    std::unique_ptr<platform::DisplayList> canvas;
    std::unique_ptr<TGraph> g;
};

#define EXPECT_PT_NEAR(p, ex, ey)                                                                                      \
    do {                                                                                                               \
        EXPECT_NEAR((p).X, (ex), 1e-3);                                                                                \
        EXPECT_NEAR((p).Y, (ey), 1e-3);                                                                                \
    } while (0)

// ---- Pens and the pattern.

TEST_F(TGraphTest, CreateLeavesThePatternEmpty)
{
    EXPECT_EQ(g->LtypPatN, 0);
    EXPECT_EQ(g->LastSeg, 0);
    EXPECT_EQ(g->LastLen, 0);
    EXPECT_FALSE(g->pattern_visible());
}

TEST_F(TGraphTest, PenColourAndWidthReachStrokeFillAndDots)
{
    g->GPenSet(0xFF000000, 0, 3);
    g->GPenSetColor(0xFF123456);
    EXPECT_EQ(canvas->stroke().Color, 0xFF123456u);
    EXPECT_EQ(canvas->fill_color(), 0xFF123456u);
    EXPECT_EQ(g->br0.Color, 0xFF123456u);
    EXPECT_EQ(canvas->stroke().Thickness, 3); // the colour leaves the width alone
    g->GPenSetWidth(7);
    EXPECT_EQ(canvas->stroke().Thickness, 7);
    EXPECT_EQ(canvas->stroke().Color, 0xFF123456u);
    EXPECT_EQ(g->br0.Thickness, 1); // dots stay one pixel
}

TEST_F(TGraphTest, SetPatternStoresDashesPositiveGapsNegative)
{
    const struct {
        int sg;
        std::vector<double> pa;
        std::vector<double> want;
        double period;
    } cases[] = {
        { 2, { 2, 2 }, { 2, -2 }, 4 },
        { 3, { -1, 1, 1 }, { 1, -1, 1 }, 3 },
        { -4, { 1, 1 }, {}, 0 },
        { 5, { 1, 2 }, { 1, -2 }, 3 }, // a count past the array reads only what is there
        { 14, std::vector<double>(14, 1.0), { 1, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1, -1 }, 12 },
    };
    for (const auto& c : cases) {
        g->GLPenSetLtypePat(c.sg, c.pa);
        ASSERT_EQ(g->LtypPatN, static_cast<int>(c.want.size())) << c.sg;
        for (size_t i = 0; i < c.want.size(); ++i)
            EXPECT_EQ(g->LtypPat[i], c.want[i]) << c.sg << " entry " << i;
        EXPECT_DOUBLE_EQ(g->LtypPatP, c.period) << c.sg;
    }
}

TEST_F(TGraphTest, PassMovesThePositionWithoutDrawing)
{
    const struct {
        int seg;
        double len;
        double pass;
        int want_seg;
        double want_len;
    } cases[] = {
        { 0, 0, 10, 0, 2 }, // 10 - 2 x 4 = 2 fits entry 0 exactly
        { 0, 0, 3, 1, 1 },
        { 0, 0, 4, 0, 0 },
        { 1, 1.5, 1, 0, 0.5 }, // runs past the last entry and wraps
        { 1, 1, 1e-11, 1, 1 }, // too short to count
        { 0, 0.5, 6.5, 1, 1 },
    };
    pattern({ 2, 2 });
    for (const auto& c : cases) {
        g->LastSeg = c.seg;
        g->LastLen = c.len;
        g->GLPassLtypPat(c.pass);
        EXPECT_EQ(g->LastSeg, c.want_seg) << c.pass;
        EXPECT_NEAR(g->LastLen, c.want_len, 1e-12) << c.pass;
    }
    EXPECT_TRUE(canvas->records().empty());
}

TEST_F(TGraphTest, PassIsIgnoredWithoutAPattern)
{
    g->LastSeg = 0;
    g->LastLen = 0.25;
    g->GLPassLtypPat(5);
    EXPECT_EQ(g->LastLen, 0.25);
}

TEST_F(TGraphTest, VisibilityNeedsPeriodOverTwoPixelsAndAGapOfOnePixel)
{
    const struct {
        double scale;
        std::vector<double> pat;
        bool visible;
    } cases[] = {
        { 1, { 0.25, 0.5 }, false }, // period 0.75 px
        { 4, { 0.25, 0.5 }, true }, // period 3 px, gap 2 px
        { 3, { 1, 0.2 }, false }, // period 3.6 px, gap 0.6 px
        { 5, { 1, 0.2 }, true }, // gap exactly 1 px
        { 10, { 1 }, false }, // no gap at all
        { 10, {}, false },
    };
    for (const auto& c : cases) {
        view(c.scale);
        pattern(c.pat);
        EXPECT_EQ(g->pattern_visible(), c.visible) << c.scale;
    }
}

// ---- The pattern walk.

TEST_F(TGraphTest, Line4DrawsDashesAndKeepsThePosition)
{
    pattern({ 2, 1 });
    EXPECT_EQ(g->GLLine4(0, 50, 7, 50), 0);
    expect_pieces({ { 0, 2 }, { 3, 5 }, { 6, 7 } });
    EXPECT_EQ(g->LastSeg, 0);
    EXPECT_NEAR(g->LastLen, 1, 1e-12);
    // The next stroke carries on: one more unit of dash, then the gap.
    canvas->clear_records();
    g->GLLine4(7, 50, 12, 50);
    expect_pieces({ { 7, 8 }, { 9, 11 } });
}

// Without the guard a pattern far below a pixel is walked dash by dash: one dot per piece.
TEST_F(TGraphTest, Line4StrokesAPatternWithinAPixelSolid)
{
    const struct {
        std::vector<double> pat;
        size_t lines; // records for a 50-unit line at 10 pixels a unit
    } cases[] = {
        { { 0.04, 0.05 }, 1 }, // 0.9 pixels a period: solid
        { { 1e-9, 1e-9 }, 1 }, { { 2, 1 }, 17 }, // 30 pixels a period: dashes
    };
    for (const auto& c : cases) {
        canvas->clear_records();
        pattern(c.pat);
        g->GLSetDT();
        EXPECT_EQ(g->GLLine4(0, 50, 50, 50), 0);
        EXPECT_EQ(canvas->count(Op::Line), c.lines) << c.pat[0];
    }
}

TEST_F(TGraphTest, PositionCarriesOnWhateverTheGeometryUntilReset)
{
    pattern({ 2, 1 });
    g->GLLine4(0, 50, 1, 50);
    canvas->clear_records();
    g->GLLine4(20, 20, 23, 20); // elsewhere, but continues: one unit of dash left
    expect_pieces({ { 20, 21 }, { 22, 23 } });
    g->GLSetDT();
    canvas->clear_records();
    g->GLLine4(20, 30, 23, 30);
    expect_pieces({ { 20, 22 } });
}

TEST_F(TGraphTest, HiddenSegmentMovesThePatternOn)
{
    pattern({ 2, 2 });
    EXPECT_EQ(g->GLLine4(0, -10, 3, -10), 1);
    EXPECT_TRUE(canvas->records().empty());
    EXPECT_EQ(g->LastSeg, 1);
    EXPECT_NEAR(g->LastLen, 1, 1e-12);
    g->GLLine4(0, 50, 5, 50);
    expect_pieces({ { 1, 3 } });
}

TEST_F(TGraphTest, ClippedStartCountsAsDrawn)
{
    // The 3 units left of the window use up the pattern as a hidden segment would.
    pattern({ 2, 2 });
    g->GLLine4(-3, 50, 5, 50);
    expect_pieces({ { 1, 3 } });
    EXPECT_EQ(g->LastSeg, 1);
    EXPECT_NEAR(g->LastLen, 2, 1e-9);
    g->GLSetDT();
    canvas->clear_records();
    g->GLLine4(95, 50, 105, 50); // clipped at 100: 5 inside, 5 cut off
    expect_pieces({ { 95, 97 }, { 99, 100 } });
    EXPECT_EQ(g->LastSeg, 0);
    EXPECT_NEAR(g->LastLen, 2, 1e-9);
}

TEST_F(TGraphTest, TinyPatternedSegmentIsADotAndPassesItsLength)
{
    pattern({ 2, 2 });
    EXPECT_EQ(g->GLLine4(10, 50, 10.1, 50), 2);
    ASSERT_EQ(canvas->count(Op::Line), 1u);
    EXPECT_TRUE(is_dot(*canvas->last(Op::Line)));
    EXPECT_PT_NEAR(canvas->last(Op::Line)->pts[0], dev(10, 50).X, dev(10, 50).Y);
    EXPECT_NEAR(g->LastLen, 0.1, 1e-9);
}

TEST_F(TGraphTest, Line3IsSolidWhenThePatternWouldNotShow)
{
    view(1);
    pattern({ 0.25, 0.5 });
    g->GLLine3(0, 50, 10, 50);
    expect_pieces({ { 0, 10 } });
    view(4);
    canvas->clear_records();
    g->GLLine3(0, 50, 1.5, 50);
    expect_pieces({ { 0, 0.25 }, { 0.75, 1 } });
}

TEST_F(TGraphTest, Line2HasSolidHalfUnitEnds)
{
    pattern({ 2, 2 });
    EXPECT_EQ(g->GLLine2(0, 50, 10, 50), 0);
    expect_pieces({ { 0, 0.5 }, { 0.5, 2.5 }, { 4.5, 6.5 }, { 8.5, 9.5 }, { 9.5, 10 } });
    g->GLSetDT();
    canvas->clear_records();
    g->GLLine2(0, 50, 0.8, 50);
    expect_pieces({ { 0, 0.8 } });
    // Not visible at scale 1: one solid stroke however long.
    view(1);
    pattern({ 0.25, 0.5 });
    canvas->clear_records();
    g->GLLine2(0, 50, 10, 50);
    expect_pieces({ { 0, 10 } });
}

TEST_F(TGraphTest, Line2ResultCombinesItsPieces)
{
    pattern({ 2, 2 });
    EXPECT_EQ(g->GLLine2(0, -5, 10, -5), 1);
    EXPECT_EQ(g->GLLine2(-20, 50, 0.4, 50), 0); // only the last stub shows
    EXPECT_EQ(g->GLLine2(-20, 50, 0.2, 50), 2); // and here only as a dot
}

TEST_F(TGraphTest, Polyline2CarriesThePatternAcrossSegments)
{
    pattern({ 2, 2 });
    GLPoints = { { 0, 50 }, { 3, 50 }, { 3, 44 } };
    GLPointsN = 3;
    EXPECT_EQ(g->GLPolyline2(), 0);
    const auto lines = canvas->of(Op::Line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_PT_NEAR(lines[0]->pts[1], dev(2, 50).X, dev(2, 50).Y);
    // The gap has one unit left at the corner.
    EXPECT_PT_NEAR(lines[1]->pts[0], dev(3, 49).X, dev(3, 49).Y);
    EXPECT_PT_NEAR(lines[1]->pts[1], dev(3, 47).X, dev(3, 47).Y);
    EXPECT_PT_NEAR(lines[2]->pts[0], dev(3, 45).X, dev(3, 45).Y);
    EXPECT_PT_NEAR(lines[2]->pts[1], dev(3, 44).X, dev(3, 44).Y);
}

TEST_F(TGraphTest, Polyline2SharesThePolylineTests)
{
    pattern({ 2, 2 });
    GLPoints = { { 0, -5 }, { 50, -5 }, { 90, -8 } };
    GLPointsN = 3;
    EXPECT_EQ(g->GLPolyline2(), 1);
    GLPoints = { { 10, 10 } };
    GLPointsN = 1;
    EXPECT_EQ(g->GLPolyline2(), 3);
    GLPoints = { { 10, 10 }, { 10.05, 10 } };
    GLPointsN = 2;
    EXPECT_EQ(g->GLPolyline2(), 2);
    ASSERT_EQ(canvas->count(Op::Line), 1u);
    EXPECT_TRUE(is_dot(*canvas->last(Op::Line)));
    GLPoints = { { 10, 10 }, { 20, 10 } };
    GLPointsN = 7; // a count past the list reads no further
    EXPECT_EQ(g->GLPolyline2(), 0);
}

// ---- Curves.

TEST_F(TGraphTest, TinyPatternedArcIsADotAtItsStart)
{
    pattern({ 2, 2 });
    // Estimated length 1 x 0.15 units = 1.5 pixels.
    EXPECT_EQ(g->GLEllipseArc2(50, 50, 1, 1, 0, pi / 2, 0.15), 2);
    ASSERT_EQ(canvas->count(Op::Line), 1u);
    const Record& dot = *canvas->last(Op::Line);
    EXPECT_TRUE(is_dot(dot));
    EXPECT_PT_NEAR(dot.pts[0], dev(50, 51).X, dev(50, 51).Y);
}

TEST_F(TGraphTest, PatternedArcWalksPiecesOnTheCurve)
{
    pattern({ 2, 2 });
    EXPECT_EQ(g->GLEllipseArc2(50, 50, 10, 1, 0, 0, pi / 2), 0);
    const auto lines = canvas->of(Op::Line);
    ASSERT_FALSE(lines.empty());
    EXPECT_PT_NEAR(lines.front()->pts[0], dev(60, 50).X, dev(60, 50).Y);
    // Every piece lies on the circle.
    for (const Record* r : lines)
        for (const auto& p : r->pts) {
            const double x = p.X / gDispScale - 50, y = (gDispHeight - p.Y) / gDispScale - 50;
            EXPECT_NEAR(std::hypot(x, y), 10, 0.15); // dots reach a pixel to the right
        }
    // Period 4 over 15.7 units: about half is dashes.
    EXPECT_GE(lines.size(), 4u);
    EXPECT_EQ(canvas->count(Op::Path), 0u);
}

TEST_F(TGraphTest, ArcWithoutVisiblePatternIsTheSolidSampledArc)
{
    EXPECT_EQ(g->GLEllipseArc2(50, 50, 10, 1, 0, 0, pi / 2), 0);
    ASSERT_EQ(canvas->count(Op::Path), 1u);
    EXPECT_EQ(canvas->last(Op::Path)->pts.size(), 73u);
    canvas->clear_records();
    EXPECT_EQ(g->GLEllipse2(50, 50, 10, 0.5, 0), 0);
    const auto& pts = canvas->last(Op::Path)->pts;
    ASSERT_EQ(pts.size(), 73u);
    EXPECT_PT_NEAR(pts.front(), dev(60, 50).X, dev(60, 50).Y);
    EXPECT_PT_NEAR(pts[18], dev(50, 55).X, dev(50, 55).Y);
}

TEST_F(TGraphTest, BezierFlatteningPointCounts)
{
    const std::vector<TDPoint> v = { { 0, 0 }, { 0, 10 }, { 10, 10 }, { 10, 0 }, { 10, -10 }, { 20, -10 }, { 20, 0 } };
    const struct {
        int num;
        int points;
    } cases[] = { { 4, 11 }, { 7, 21 }, { 3, 0 }, { 6, 11 }, { 40, 21 } };
    for (const auto& c : cases) {
        g->TransBezierToLines(10, c.num, v);
        EXPECT_EQ(GLPointsN, c.points) << c.num;
        EXPECT_EQ(GLPoints.size(), static_cast<size_t>(c.points)) << c.num;
    }
    g->TransBezierToLines(10, 4, v);
    EXPECT_NEAR(GLPoints.front().X, 0, 1e-12);
    EXPECT_NEAR(GLPoints.back().X, 10, 1e-9);
    EXPECT_NEAR(GLPoints.back().Y, 0, 1e-9);
    EXPECT_NEAR(GLPoints[5].X, 5, 1e-9); // t = 0.5
    EXPECT_NEAR(GLPoints[5].Y, 7.5, 1e-9);
}

TEST_F(TGraphTest, BezierSubIsTheBernsteinPoint)
{
    double x, y;
    g->TransBezierSub(x, y, 0.25, 0, 1, 3, 4, 0, 8, 8, 0);
    EXPECT_NEAR(x, 3 * 0.25 * 0.5625 * 1 + 3 * 0.0625 * 0.75 * 3 + 0.015625 * 4, 1e-12);
    EXPECT_NEAR(y, (3 * 0.25 * 0.5625 + 3 * 0.0625 * 0.75) * 8, 1e-12);
}

TEST_F(TGraphTest, BezierScalesDrawsAndEmptiesTheList)
{
    const std::vector<TDPoint> v = { { 1, 1 }, { 1, 2 }, { 2, 2 }, { 2, 1 } };
    EXPECT_EQ(g->GLBezier(4, v, 10), 0);
    EXPECT_EQ(GLPointsN, 0);
    const auto lines = canvas->of(Op::Line);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_PT_NEAR(lines.front()->pts[0], dev(10, 10).X, dev(10, 10).Y);
    EXPECT_PT_NEAR(lines.back()->pts[1], dev(20, 10).X, dev(20, 10).Y);
    EXPECT_EQ(g->GLBezier(3, v, 10), 3);
    EXPECT_EQ(g->GLBezier(9, v, 1), 0); // n past the array reads only what is there
}

TEST_F(TGraphTest, PolylinAndPolygonScaleTheirPoints)
{
    const std::vector<TDPoint> v = { { 1, 1 }, { 3, 1 }, { 3, 2 } };
    EXPECT_EQ(g->GLPolylin(3, v, 10), 0);
    ASSERT_EQ(canvas->count(Op::Line), 2u);
    EXPECT_PT_NEAR(canvas->last(Op::Line)->pts[1], dev(30, 20).X, dev(30, 20).Y);
    EXPECT_EQ(GLPointsN, 0);
    EXPECT_EQ(g->GLPolygon(3, v, 10), 0);
    const Record* fill = canvas->last(Op::FillPolygon);
    ASSERT_NE(fill, nullptr);
    ASSERT_EQ(fill->pts.size(), 4u);
    EXPECT_PT_NEAR(fill->pts[1], dev(30, 10).X, dev(30, 10).Y);
    EXPECT_EQ(GLPointsN, 0);
    EXPECT_EQ(g->GLPolygon(2, v, 10), 3);
    EXPECT_EQ(g->GLPolygon(50, v, 10), 0);
}

// ---- Symbols.

TEST_F(TGraphTest, SymbolSquareIsCentredOnThePoint)
{
    EXPECT_EQ(g->GLSymbol(10, 10, 0, 0, 0, 0, 0, 0, 0, 2, 0, 18, 0, 0, 0), 0);
    const auto lines = canvas->of(Op::Line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_PT_NEAR(lines[0]->pts[0], dev(9, 9).X, dev(9, 9).Y);
    EXPECT_PT_NEAR(lines[1]->pts[0], dev(11, 9).X, dev(11, 9).Y);
    EXPECT_PT_NEAR(lines[2]->pts[0], dev(11, 11).X, dev(11, 11).Y);
    EXPECT_PT_NEAR(lines[3]->pts[0], dev(9, 11).X, dev(9, 11).Y);
    EXPECT_PT_NEAR(lines[3]->pts[1], dev(9, 9).X, dev(9, 9).Y);
    EXPECT_EQ(canvas->count(Op::FillPolygon), 0u);
}

TEST_F(TGraphTest, SymbolFillsUseFillColourOrWhiteAndRestoreIt)
{
    g->GPenSetColor(0xFF0000FF);
    const struct {
        uint8_t sty;
        uint32_t fill;
    } cases[] = { { 19, 0xFF0000FF }, { 20, 0xFFFFFFFF }, { 13, 0xFF0000FF }, { 14, 0xFFFFFFFF }, { 4, 0xFF0000FF },
        { 5, 0xFFFFFFFF }, { 1, 0xFF0000FF } };
    for (const auto& c : cases) {
        canvas->clear_records();
        g->GLSymbol(50, 50, 0, 0, 0, 0, 0, 0, 0, 4, pi / 6, c.sty, 0, 0, 0);
        const Record* fill = canvas->last(Op::FillPolygon);
        ASSERT_NE(fill, nullptr) << int(c.sty);
        EXPECT_EQ(fill->fill_color, c.fill) << int(c.sty);
        EXPECT_EQ(canvas->fill_color(), 0xFF0000FFu) << int(c.sty);
        // The outline comes after the fill, except for the plain disc.
        if (c.sty != 4) {
            EXPECT_NE(canvas->drawn().back()->op, Op::FillPolygon) << int(c.sty);
        }
    }
}

TEST_F(TGraphTest, SymbolArrowheadWingsOpenAtTheAngle)
{
    // Pointing along +x: wings at +-30 degrees from the reference point, 4 long.
    g->GLSymbol(50, 50, 0, 0, 0, 0, 0, 0, 0, 4, pi / 6, 11, 0, 0, 0);
    const auto lines = canvas->of(Op::Line);
    ASSERT_EQ(lines.size(), 2u);
    const double wx = 50 + 4 * std::cos(pi / 6), wy = 4 * std::sin(pi / 6);
    EXPECT_PT_NEAR(lines[0]->pts[1], dev(wx, 50 + wy).X, dev(wx, 50 + wy).Y);
    EXPECT_PT_NEAR(lines[1]->pts[1], dev(wx, 50 - wy).X, dev(wx, 50 - wy).Y);
    // Turned by pi / 2 the first wing points up and to the left.
    canvas->clear_records();
    g->GLSymbol(50, 50, 0, 0, 0, 0, 0, 0, pi / 2, 4, pi / 6, 12, 0, 0, 0);
    const auto tri = canvas->of(Op::Line);
    ASSERT_EQ(tri.size(), 3u);
    EXPECT_PT_NEAR(tri[0]->pts[1], dev(50 - wy, wx).X, dev(50 - wy, wx).Y);
    EXPECT_PT_NEAR(tri[2]->pts[1], dev(50, 50).X, dev(50, 50).Y);
}

TEST_F(TGraphTest, SymbolSideLineSwitchesSidesWhenPointingLeft)
{
    g->GLSymbol(50, 50, 0, 0, 0, 0, 0, 0, 0, 5, 1, 17, 0, 0, 0);
    g->GLSymbol(50, 50, 0, 0, 0, 0, 0, 0, pi, 5, 1, 17, 0, 0, 0);
    const auto lines = canvas->of(Op::Line);
    ASSERT_EQ(lines.size(), 2u);
    // Pointing right the line lies above; pointing left, its offset is negated, which is above again on paper.
    EXPECT_PT_NEAR(lines[0]->pts[0], dev(50, 51).X, dev(50, 51).Y);
    EXPECT_PT_NEAR(lines[0]->pts[1], dev(55, 51).X, dev(55, 51).Y);
    EXPECT_PT_NEAR(lines[1]->pts[0], dev(50, 51).X, dev(50, 51).Y);
    EXPECT_PT_NEAR(lines[1]->pts[1], dev(45, 51).X, dev(45, 51).Y);
}

TEST_F(TGraphTest, SymbolQuarterArcsMeetAtThePoint)
{
    g->GLSymbol(50, 50, 0, 0, 0, 0, 0, 0, 0, 4, 0, 16, 0, 0, 0);
    const auto paths = canvas->of(Op::Path);
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_PT_NEAR(paths[0]->pts.back(), dev(50, 50).X, dev(50, 50).Y);
    EXPECT_PT_NEAR(paths[1]->pts.back(), dev(50, 50).X, dev(50, 50).Y);
    // theta = -pi/4: the centres lie at (52, 48) and (48, 52), the arcs start 2 units right and left of them.
    EXPECT_PT_NEAR(paths[0]->pts.front(), dev(54, 50).X, dev(54, 50).Y);
    EXPECT_PT_NEAR(paths[1]->pts.front(), dev(46, 50).X, dev(46, 50).Y);
}

TEST_F(TGraphTest, CircleExtensionRunsBackOrForwardFromThePoint)
{
    const struct {
        uint8_t dir;
        double from_deg, to_deg;
    } cases[] = { { 1, 0, 90 }, { 2, 90, 180 } };
    for (const auto& c : cases) {
        canvas->clear_records();
        // Reference point on the circle at 90 degrees; extension a quarter of the circumference.
        g->GLSymbol(50, 60, pi / 2 * 10, 50, 50, 10, 0, 0, 0, 0, 0, 0, 4, 0, c.dir);
        const Record* arc = canvas->last(Op::Path);
        ASSERT_NE(arc, nullptr);
        const double fx = 50 + 10 * std::cos(c.from_deg * pi / 180), fy = 50 + 10 * std::sin(c.from_deg * pi / 180);
        const double tx = 50 + 10 * std::cos(c.to_deg * pi / 180), ty = 50 + 10 * std::sin(c.to_deg * pi / 180);
        EXPECT_PT_NEAR(arc->pts.front(), dev(fx, fy).X, dev(fx, fy).Y);
        EXPECT_PT_NEAR(arc->pts.back(), dev(tx, ty).X, dev(tx, ty).Y);
    }
}

TEST_F(TGraphTest, EllipseExtensionFollowsTheTiltedEllipse)
{
    // Ellipse r1 10, r2 5 tilted 90 degrees: its parameter 0 lies straight above the centre.
    g->GLSymbol(50, 60, pi / 2 * 10, 50, 50, 10, 5, pi / 2, 0, 0, 0, 0, 6, 0, 2);
    const Record* arc = canvas->last(Op::Path);
    ASSERT_NE(arc, nullptr);
    EXPECT_PT_NEAR(arc->pts.front(), dev(50, 60).X, dev(50, 60).Y);
    EXPECT_PT_NEAR(arc->pts.back(), dev(45, 50).X, dev(45, 50).Y);
}

TEST_F(TGraphTest, ExtensionOnlyWithADirectionAndALengthAndSound)
{
    const struct {
        double le;
        double r1;
        uint8_t ext;
        uint8_t dir;
        size_t lines;
    } cases[] = {
        { 5, 10, 2, 0, 0 }, // dir 0: never
        { 5, 10, 2, 1, 1 }, // straight
        { 1e-7, 10, 2, 1, 0 }, // too short
        { 5, 0, 4, 1, 0 }, // zero radius: skipped
        { 5, 10, 9, 2, 0 }, // no such element
    };
    for (const auto& c : cases) {
        canvas->clear_records();
        EXPECT_EQ(g->GLSymbol(50, 50, c.le, 40, 50, c.r1, c.r1, 0, 0, 2, 0, 0, c.ext, 0, c.dir), 1);
        EXPECT_EQ(canvas->drawn().size(), c.lines) << c.le << " " << int(c.ext) << " " << int(c.dir);
    }
}

TEST_F(TGraphTest, SymbolResultTellsDotsFromStrokes)
{
    EXPECT_EQ(g->GLSymbol(50, 50, 0, 0, 0, 0, 0, 0, 0, 4, 0, 15, 0, 0, 0), 0);
    EXPECT_EQ(g->GLSymbol(50, 50, 0, 0, 0, 0, 0, 0, 0, 0.05, 0, 15, 0, 0, 0), 2);
    EXPECT_EQ(g->GLSymbol(-50, 50, 0, 0, 0, 0, 0, 0, 0, 4, 0, 15, 0, 0, 0), 1);
    EXPECT_EQ(g->GLSymbol(50, 50, 0, 0, 0, 0, 0, 0, 0, 4, 0, 99, 0, 0, 0), 1);
}

TEST_F(TGraphTest, SymbolStartsThePatternAfresh)
{
    pattern({ 2, 2 });
    g->LastSeg = 1;
    g->LastLen = 1.5;
    g->GLSymbol(50, 50, 0, 0, 0, 0, 0, 0, 0, 5, 0, 15, 0, 0, 0);
    // A 10-unit line: solid stub, then a full first dash.
    const auto lines = canvas->of(Op::Line);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NEAR(std::fabs(lines[1]->pts[1].X - lines[1]->pts[0].X), 2 * gDispScale, 1e-3);
}

// ---- Text differences.

TEST_F(TGraphTest, TextTooSmallOrTooLargeStrokesItsBaseLine)
{
    const struct {
        double h, w;
        int result;
    } cases[] = { { 0.1, 0.1, 2 }, { 400, 4, 1 }, { 4, 400, 1 } };
    for (const auto& c : cases) {
        canvas->clear_records();
        EXPECT_EQ(g->GLAText3(10, 50, 30, 50, c.h, c.w, 0, 0, u"MS Gothic", u"AB"), c.result) << c.h;
        ASSERT_EQ(canvas->count(Op::Line), 1u) << c.h;
        EXPECT_PT_NEAR(canvas->last(Op::Line)->pts[0], dev(10, 50).X, dev(10, 50).Y);
        EXPECT_PT_NEAR(canvas->last(Op::Line)->pts[1], dev(30, 50).X, dev(30, 50).Y);
        EXPECT_EQ(canvas->count(Op::Text), 0u);
    }
    canvas->clear_records();
    EXPECT_EQ(g->GLAText3(10, 50, 30, 50, 0.1, 0.1, 0, 0, u"MS Gothic", u" \u3000"), 2);
    EXPECT_TRUE(canvas->drawn().empty());
}

TEST_F(TGraphTest, TextColourCodeUsesTheFixedTable)
{
    g->GPenSetColor(0xFF123456);
    g->GLAText3(10, 50, 30, 50, 4, 4, 0, 0, u"MS Gothic", u"A^$3B^$9C");
    const auto texts = canvas->of(Op::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0]->fill_color, 0xFF123456u);
    EXPECT_EQ(texts[1]->fill_color, 0xFF00AA37u);
    EXPECT_EQ(texts[2]->fill_color, 0xFF00FF00u);
}

TEST_F(TGraphTest, EraTokensStayAsWritten)
{
    for (const std::u16string s : { u"$E", u"=G", u"%G\uFF27" }) {
        canvas->clear_records();
        g->GLAText3(10, 50, 30, 50, 4, 4, 0, 0, u"MS Gothic", s);
        std::u16string drawn;
        for (const Record* r : canvas->of(Op::Text))
            drawn += r->text;
        EXPECT_TRUE(drawn == s);
    }
}

// ---- Fills.

TEST_F(TGraphTest, HatchTilesHaveTwoPixelsOfTheColour)
{
    const struct {
        int ptn, w, h, x, y;
    } cases[] = { { 1, 2, 2, 1, 1 }, { 2, 4, 2, 2, 1 }, { 3, 4, 4, 2, 2 }, { 4, 8, 4, 4, 2 }, { 5, 8, 8, 4, 4 } };
    for (const auto& c : cases) {
        canvas->clear_records();
        g->GPolygonPattern(c.ptn, 0xFF00AA37);
        const Record* r = canvas->last(Op::SetFillBitmap);
        ASSERT_NE(r, nullptr) << c.ptn;
        ASSERT_EQ(r->image_width, c.w);
        ASSERT_EQ(r->image_height, c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const bool set = (x == 0 && y == 0) || (x == c.x && y == c.y);
                EXPECT_EQ(r->image[size_t(y * c.w + x)], set ? 0xFF00AA37u : 0xFFFFFFFFu)
                    << c.ptn << " at " << x << "," << y;
            }
    }
}

TEST_F(TGraphTest, HatchOutsideItsTableLeavesTheSolidFill)
{
    for (int ptn : { 0, 6, -1 }) {
        g->GPolygonPattern(ptn, 0xFF00AA37);
        EXPECT_EQ(canvas->count(Op::SetFillBitmap), 0u) << ptn;
    }
}

TEST_F(TGraphTest, GradientPositionsAreRelativeToTheBoxWithYDown)
{
    // Colours are stored red in the low byte.
    g->GPolygonGrad(0, 0x0000FF, 0xFF0000, { 2.5, 0 }, { 10, 30 }, 0, 0, 10, 20, 0.7);
    const Record* r = canvas->last(Op::SetFillGradient);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->gradient.Type, platform::Gradient::Kind::Linear);
    EXPECT_PT_NEAR(r->gradient.Start, 0.25, 1.0);
    EXPECT_PT_NEAR(r->gradient.End, 1.0, 0.0); // 30 lies above the box: clamped
    ASSERT_EQ(r->gradient.Stops.size(), 2u);
    EXPECT_EQ(r->gradient.Stops[0].Color, 0xFFFF0000u);
    EXPECT_EQ(r->gradient.Stops[1].Color, 0xFF0000FFu);
    EXPECT_EQ(r->gradient.Stops[1].Offset, 1);
}

TEST_F(TGraphTest, GradientKinds)
{
    g->GPolygonGrad(1, 0x0000FF, 0xFF0000, { -5, 5 }, { 5, 5 }, 0, 0, 10, 10, 0);
    const Record* r = canvas->last(Op::SetFillGradient);
    ASSERT_EQ(r->gradient.Stops.size(), 3u);
    EXPECT_PT_NEAR(r->gradient.Start, 0.0, 0.5);
    EXPECT_EQ(r->gradient.Stops[0].Color, 0xFF0000FFu);
    EXPECT_EQ(r->gradient.Stops[1].Offset, 0.5);
    EXPECT_EQ(r->gradient.Stops[1].Color, 0xFFFF0000u);
    EXPECT_EQ(r->gradient.Stops[2].Color, 0xFF0000FFu);

    for (int typ : { 2, 3 }) {
        g->GPolygonGrad(typ, 0x0000FF, 0xFF0000, { 5, 2 }, { 0, 0 }, 0, 0, 10, 10, 0);
        r = canvas->last(Op::SetFillGradient);
        EXPECT_EQ(r->gradient.Type, platform::Gradient::Kind::Radial) << typ;
        EXPECT_PT_NEAR(r->gradient.Start, 0.5, 0.8);
        ASSERT_EQ(r->gradient.Stops.size(), 2u);
        EXPECT_EQ(r->gradient.Stops[0].Color, 0xFF0000FFu); // the second colour in the centre
        EXPECT_EQ(r->gradient.Stops[1].Color, 0xFFFF0000u);
    }

    // An unknown kind keeps the last gradient but still makes it the fill.
    const platform::Gradient before = canvas->last(Op::SetFillGradient)->gradient;
    g->GPolygonGrad(9, 0x00FF00, 0x00FF00, { 1, 1 }, { 2, 2 }, 0, 0, 10, 10, 0);
    r = canvas->last(Op::SetFillGradient);
    EXPECT_EQ(canvas->count(Op::SetFillGradient), 4u);
    EXPECT_EQ(r->gradient.Type, before.Type);
    EXPECT_EQ(r->gradient.Stops[0].Color, before.Stops[0].Color);
}

TEST_F(TGraphTest, GradientOfAFlatBoxStaysFinite)
{
    g->GPolygonGrad(0, 0, 0xFFFFFF, { 5, 5 }, { 5, 5 }, 5, 5, 5, 5, 0);
    const Record* r = canvas->last(Op::SetFillGradient);
    EXPECT_TRUE(std::isfinite(r->gradient.Start.X) && std::isfinite(r->gradient.Start.Y));
    EXPECT_TRUE(std::isfinite(r->gradient.End.X) && std::isfinite(r->gradient.End.Y));
}

TEST_F(TGraphTest, PictureFillReadsBottomUpPaddedRows)
{
    // 2 x 2 pixels of 24 bits: rows of 6 bytes padded to 8, bottom row first, blue-green-red.
    const std::vector<uint8_t> px = {
        0, 0, 255, 0, 255, 0, 0, 0, // bottom: red, green
        255, 0, 0, 255, 255, 255, 0, 0, // top: blue, white
    };
    g->GPolygonBmp(2, 2, 24, px);
    const Record* r = canvas->last(Op::SetFillBitmap);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->image_width, 2);
    ASSERT_EQ(r->image_height, 2);
    EXPECT_EQ(r->image[0], 0xFF0000FFu);
    EXPECT_EQ(r->image[1], 0xFFFFFFFFu);
    EXPECT_EQ(r->image[2], 0xFFFF0000u);
    EXPECT_EQ(r->image[3], 0xFF00FF00u);
}

TEST_F(TGraphTest, PictureFillOfFewBitsUsesThePaletteOrGrey)
{
    std::vector<uint8_t> pal(1024, 0);
    pal[4 * 1 + 2] = 200; // entry 1: red 200
    const std::vector<uint8_t> px = { 0x40, 0, 0, 0 }; // one row of 1 bit: pixel 1 set
    g->GPolygonBmp(3, 1, 1, px, pal);
    const Record* r = canvas->last(Op::SetFillBitmap);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->image[0], 0xFF000000u);
    EXPECT_EQ(r->image[1], 0xFFC80000u);
    g->GPolygonBmp(3, 1, 1, px);
    EXPECT_EQ(canvas->last(Op::SetFillBitmap)->image[1], 0xFFFFFFFFu);
    const std::vector<uint8_t> px16 = { 0x1F, 0x7C, 0, 0 }; // 5-5-5: all red and blue
    g->GPolygonBmp(1, 1, 16, px16);
    EXPECT_EQ(canvas->last(Op::SetFillBitmap)->image[0], 0xFFFF00FFu);
}

TEST_F(TGraphTest, PictureFillRefusesDataThatDoesNotCoverIt)
{
    const std::vector<uint8_t> px(8 * 3 - 1, 0); // 2 x 3 at 24 bits needs 24 bytes
    const struct {
        int x, y, d;
    } cases[] = { { 2, 3, 24 }, { 0, 3, 24 }, { 2, -1, 24 }, { 2, 1, 7 }, { 100000, 100000, 1 } };
    for (const auto& c : cases)
        g->GPolygonBmp(c.x, c.y, c.d, px);
    EXPECT_EQ(canvas->count(Op::SetFillBitmap), 0u);
}

// Without the crop a picture larger than the canvas is converted whole, though its tile repeats from the device
// origin and the canvas (1000 x 1000) only ever shows its top-left part.
TEST_F(TGraphTest, PictureFillConvertsOnlyWhatTheCanvasShows)
{
    const struct {
        int x, y; // picture size, 8 bits a pixel, value = column % 251 in the top row, 7 below
        int w, h; // tile made
    } cases[] = { { 1500, 3, 1000, 3 }, { 3, 1500, 3, 1000 }, { 1200, 1100, 1000, 1000 }, { 1000, 1000, 1000, 1000 } };
    std::vector<uint8_t> pal(1024, 0);
    for (int i = 0; i < 256; ++i)
        pal[size_t(4 * i)] = uint8_t(i); // blue = index
    for (const auto& c : cases) {
        const size_t stride = (size_t(c.x) + 3) / 4 * 4;
        std::vector<uint8_t> px(stride * size_t(c.y), 7);
        for (int col = 0; col < c.x; ++col)
            px[stride * size_t(c.y - 1) + size_t(col)] = uint8_t(col % 251); // the last row stored is the top
        g->GPolygonBmp(c.x, c.y, 8, px, pal);
        const Record* r = canvas->last(Op::SetFillBitmap);
        ASSERT_NE(r, nullptr);
        ASSERT_EQ(r->image_width, c.w) << c.x << " x " << c.y;
        ASSERT_EQ(r->image_height, c.h) << c.x << " x " << c.y;
        for (int col : { 0, c.w / 2, c.w - 1 })
            EXPECT_EQ(r->image[size_t(col)], 0xFF000000u | uint32_t(col % 251)) << col;
        EXPECT_EQ(r->image[size_t(c.w) * size_t(c.h - 1)], c.h > 1 ? 0xFF000007u : 0xFF000000u);
    }
}

TEST_F(TGraphTest, PolygonFillsWithTheBrushSetBefore)
{
    g->GPolygonPattern(3, 0xFF0000FF);
    const std::vector<TDPoint> v = { { 1, 1 }, { 3, 1 }, { 3, 3 } };
    g->GLPolygon(3, v, 10);
    const Record* fill = canvas->last(Op::FillPolygon);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->fill_kind, platform::DisplayList::FillKind::Bitmap);
    EXPECT_EQ(fill->image_width, 4);
}

} // namespace
