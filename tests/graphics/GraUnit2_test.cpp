// Tests of TGraph2's transform, pens, device primitives, clipped lines, line types and rectangles.
#include <limits>

#include "tests/graphics/RenderFixture.h"

namespace {

using TGraph2Test = RenderFixture;

// ---- Transform and pens.

TEST_F(TGraph2Test, TransPtMapsViewMinimumToBottomLeft)
{
    gDispX1 = -10;
    gDispY1 = -5;
    gDispScale = 2;
    gDispHeight = 100;
    double x, y;
    g->GLTransPt(0, 0, x, y);
    EXPECT_DOUBLE_EQ(x, 20);
    EXPECT_DOUBLE_EQ(y, 90);
    g->GLTransPt(-10, 45, x, y);
    EXPECT_DOUBLE_EQ(x, 0);
    EXPECT_DOUBLE_EQ(y, 0);
    g->GLTransPt(0.25, 0, x, y); // no rounding
    EXPECT_DOUBLE_EQ(x, 20.5);
}

TEST_F(TGraph2Test, PenWidthInDisplayModeClampsAndRoundsHalvesToEven)
{
    view(0, 0, 100, 100, 4);
    const struct {
        double wid;
        float px;
    } cases[] = {
        { 0.10, 1 },
        { 0.35, 1 },
        { 0.5, 2 },
        { 150, 400 },
        { 2.5 / 4, 2 },
        { 3.5 / 4, 4 },
        { 0, 1 },
        { -3, 1 },
    };
    for (const auto& c : cases) {
        g->GLPenSet(0, 1, 1, c.wid);
        EXPECT_EQ(canvas->stroke().Thickness, c.px) << c.wid;
        EXPECT_EQ(canvas->stroke().Dash, platform::DashStyle::Solid);
    }
}

TEST_F(TGraph2Test, PenIsOnePixelOutsideDisplayMode)
{
    att->SetDisplayMode(false);
    for (double wid : { 0.1, 2.0, 150.0 }) {
        g->GLPenSet(0, 1, 1, wid);
        EXPECT_EQ(canvas->stroke().Thickness, 1) << wid;
    }
}

TEST_F(TGraph2Test, PenColourFollowsLayerStateAndAllInOneMode)
{
    att->SetAttrLayer(3, 2);
    att->SetAttrLayer(4, 3);
    g->GLPenSet(0, 5, 1, 0.1);
    EXPECT_EQ(canvas->stroke().Color, att->GetAttrColcol(5));
    EXPECT_EQ(canvas->fill_color(), att->GetAttrColcol(5));
    EXPECT_EQ(g->br0.Color, att->GetAttrColcol(5));
    g->GLPenSet(3, 5, 1, 0.1);
    EXPECT_EQ(canvas->stroke().Color, att->GrayColor);
    g->GLPenSet(4, 5, 1, 0.1);
    EXPECT_EQ(canvas->stroke().Color, att->BackColor);
    att->SetAll1Color(true, 0xFF123456);
    g->GLPenSet(4, 5, 1, 0.1);
    EXPECT_EQ(canvas->stroke().Color, 0xFF123456u);
}

TEST_F(TGraph2Test, OverrideColourLeavesDotsInTheLayerColour)
{
    g->GLPenSet(0, 2, 1, 0.1, 0xFFAABBCC);
    EXPECT_EQ(canvas->stroke().Color, 0xFFAABBCCu);
    EXPECT_EQ(canvas->fill_color(), 0xFFAABBCCu);
    EXPECT_EQ(g->br0.Color, att->GetAttrColcol(2));
    g->GTen(5, 5);
    ASSERT_NE(canvas->last(Op::Line), nullptr);
    EXPECT_EQ(canvas->last(Op::Line)->stroke.Color, att->GetAttrColcol(2));

    g->GLPenSet(0, 2, 1, 0.1, 0); // 0 is no override
    EXPECT_EQ(canvas->stroke().Color, att->GetAttrColcol(2));
}

TEST_F(TGraph2Test, PenSetDashStyles)
{
    const struct {
        uint32_t typ;
        platform::DashStyle dash;
    } cases[] = {
        { 0, platform::DashStyle::Solid },
        { 1, platform::DashStyle::Dash },
        { 2, platform::DashStyle::Dot },
        { 3, platform::DashStyle::DashDot },
        { 4, platform::DashStyle::DashDotDot },
        { 7, platform::DashStyle::Solid },
    };
    for (const auto& c : cases) {
        g->GPenSet(0xFF00FF00, c.typ, 3);
        EXPECT_EQ(canvas->stroke().Dash, c.dash) << c.typ;
        EXPECT_EQ(canvas->stroke().Thickness, 3);
        EXPECT_EQ(canvas->stroke().Color, 0xFF00FF00u);
        EXPECT_EQ(canvas->fill_color(), 0xFF00FF00u);
    }
}

TEST_F(TGraph2Test, SetDTResetsContinuation)
{
    g->LastLay = 3;
    g->LastTyp = 5;
    g->LastX = 1;
    g->LastY = 2;
    g->LastSeg = 4;
    g->LastLen = 0.5;
    g->GLSetDT();
    EXPECT_EQ(g->LastLay, -1);
    EXPECT_EQ(g->LastTyp, -1);
    EXPECT_EQ(g->LastX, 0);
    EXPECT_EQ(g->LastY, 0);
    EXPECT_EQ(g->LastSeg, 0);
    EXPECT_EQ(g->LastLen, 0);
}

// ---- Device layer.

TEST_F(TGraph2Test, BoxDegeneratesToLineOrDot)
{
    g->GBox(10, 10, 11.5, 50);
    ASSERT_EQ(canvas->drawn().size(), 1u);
    const Record* r = canvas->drawn()[0];
    ASSERT_EQ(r->op, Op::Line);
    EXPECT_PT_NEAR(r->pts[0], 10, 10, 0);
    EXPECT_PT_NEAR(r->pts[1], 10, 50, 0);

    reset_records();
    g->GBox(10, 10, 11, 11);
    ASSERT_EQ(canvas->drawn().size(), 1u);
    EXPECT_TRUE(is_dot(*canvas->drawn()[0]));

    reset_records();
    g->GBox(10, 10, 50, 11);
    ASSERT_EQ(canvas->drawn().size(), 1u);
    EXPECT_PT_NEAR(canvas->drawn()[0]->pts[1], 50, 10, 0);

    reset_records();
    g->GRBox(10, 10, 50, 40, 3, 4);
    ASSERT_EQ(canvas->count(Op::Rect), 1u);
    EXPECT_EQ(canvas->last(Op::Rect)->rx, 3);
    EXPECT_EQ(canvas->last(Op::Rect)->ry, 4);
}

TEST_F(TGraph2Test, SmallCirclesAndArcsBecomeDots)
{
    g->GCircle(5, 5, 2);
    g->GArc(5, 5, 1.5, 0, 90);
    g->GEllipse(5, 5, 6, 7);
    g->GEllipseArc(5, 5, 2, 2, 0, 90);
    ASSERT_EQ(canvas->drawn().size(), 4u);
    for (const Record* r : canvas->drawn())
        EXPECT_TRUE(is_dot(*r));

    reset_records();
    g->GEllipseArc(5, 20, 1, 10, 0, 90); // narrow: vertical line through the centre
    g->GEllipseArc(20, 5, 10, 1, 0, 90); // low: horizontal line
    ASSERT_EQ(canvas->count(Op::Line), 2u);
    EXPECT_PT_NEAR(lines()[0]->pts[0], 5, 10, 0);
    EXPECT_PT_NEAR(lines()[0]->pts[1], 5, 30, 0);
    EXPECT_PT_NEAR(lines()[1]->pts[0], 10, 5, 0);
    EXPECT_PT_NEAR(lines()[1]->pts[1], 30, 5, 0);
}

TEST_F(TGraph2Test, ArcAnglesAreNegatedForTheDownwardAxis)
{
    g->GArc(50, 60, 10, 30, 45);
    const Record* r = canvas->last(Op::Arc);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->start_deg, -30);
    EXPECT_EQ(r->sweep_deg, -45);
    EXPECT_EQ(r->rx, 10);
    EXPECT_PT_NEAR(r->pts[0], 50, 60, 0);
}

TEST_F(TGraph2Test, HostileValuesReachTheCanvasBounded)
{
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    g->GArc(50, 50, inf, 0, 1e300);
    const Record* r = canvas->last(Op::Arc);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(std::isfinite(r->rx));
    EXPECT_LE(r->rx, 1e7f);
    EXPECT_EQ(r->sweep_deg, -360);
    reset_records();
    g->GEllipseArc(50, 50, 10, 10, nan, 90); // an angle that is no number draws nothing
    g->GArc(50, 50, 10, 0, inf);
    EXPECT_EQ(canvas->count(Op::Arc), 0u);

    EXPECT_EQ(g->GLLine(nan, 50, 60, 50), 1);
    EXPECT_EQ(g->GLLine(inf, 50, 60, 50), 1);
    EXPECT_EQ(g->GLLineDT(0, 5, 10, 50, nan, nan), 1);
    EXPECT_TRUE(canvas->drawn().empty());

    GLPoints = { { 10, 10 }, { 90, 10 }, { nan, 1e300 } };
    GLPointsN = 3;
    g->GLSolid();
    for (const Record* f : canvas->of(Op::FillPolygon))
        for (const platform::PointF& p : f->pts)
            EXPECT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y));
}

TEST_F(TGraph2Test, PolygonClosesItsPointList)
{
    GPoints = { { 0, 0 }, { 10, 0 }, { 10, 10 } };
    GPointsN = 3;
    g->GPolygon();
    EXPECT_EQ(GPointsN, 4);
    const Record* r = canvas->last(Op::Path);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->pts.size(), 4u);
    EXPECT_PT_NEAR(r->pts[3], 0, 0, 0);

    // Too few points, or a count beyond the list, draws nothing and reads nothing beyond it.
    reset_records();
    GPoints = { { 0, 0 }, { 10, 0 } };
    GPointsN = 5;
    g->GPolygon();
    g->GSolid();
    EXPECT_TRUE(canvas->drawn().empty());
}

// ---- Solid lines.

TEST_F(TGraph2Test, LineIsClippedTransformedOrDotted)
{
    EXPECT_EQ(g->GLLine(-10, 50, 50, 50), 0);
    const Record* r = canvas->last(Op::Line);
    EXPECT_PT_NEAR(r->pts[0], 0, 500, 1e-4);
    EXPECT_PT_NEAR(r->pts[1], 500, 500, 1e-4);

    EXPECT_EQ(g->GLLine(-10, 50, -5, 50), 1);
    EXPECT_EQ(g->GLLine(0, 20, 0, 80), 1); // on the left edge

    reset_records();
    // |dx| + |dy| in pixels, not the Euclidean length: 1.5 + 1.5 = 3 is drawn as a line, 1 + 1 as a dot.
    EXPECT_EQ(g->GLLine(10, 10, 10.15, 10.15), 0);
    EXPECT_EQ(g->GLLine(10, 10, 10.1, 10.1), 2);
    ASSERT_EQ(canvas->count(Op::Line), 2u);
    EXPECT_TRUE(is_dot(*lines()[1]));
    EXPECT_PT_NEAR(lines()[1]->pts[0], 100, 900, 1e-4);
}

// ---- Line types.

// Non-dot line records, as (start x, end x) in drawing units along a horizontal line.
std::vector<std::pair<double, double>> dashes(const std::vector<const Record*>& rs)
{
    std::vector<std::pair<double, double>> out;
    for (const Record* r : rs)
        if (!RenderFixture::is_dot(*r))
            out.emplace_back(r->pts[0].X / gDispScale + gDispX1, r->pts[1].X / gDispScale + gDispX1);
    return out;
}

TEST_F(TGraph2Test, DashWalkOfTypeFive)
{
    g->GLSetDT();
    EXPECT_EQ(g->GLLineDT(0, 5, 10, 50, 15.76, 50), 0);
    const auto d = dashes(lines());
    ASSERT_EQ(d.size(), 3u);
    const double expect[3][2] = { { 10, 11.8 }, { 12.52, 13.24 }, { 13.96, 15.76 } };
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(d[i].first, expect[i][0], 1e-4) << i;
        EXPECT_NEAR(d[i].second, expect[i][1], 1e-4) << i;
    }
    EXPECT_EQ(g->LastSeg, 4);
    EXPECT_NEAR(g->LastLen, 1.8, 1e-12);
    EXPECT_EQ(g->LastLay, 0);
    EXPECT_EQ(g->LastTyp, 5);
    EXPECT_DOUBLE_EQ(g->LastX, 15.76);
}

TEST_F(TGraph2Test, ContinuedLineJoinsTheEndDashes)
{
    g->GLSetDT();
    g->GLLineDT(0, 5, 10, 50, 15.76, 50);
    reset_records();
    g->GLLineDT(0, 5, 15.76, 50, 21.52, 50);
    const auto ls = lines();
    ASSERT_GE(ls.size(), 2u);
    // The exhausted entry 4 leaves a single dot, then entry 0 adds 1.8 to the 1.8 before it.
    EXPECT_TRUE(is_dot(*ls[0]));
    EXPECT_NEAR(ls[0]->pts[0].X, 157.6, 1e-3);
    const auto d = dashes(ls);
    ASSERT_FALSE(d.empty());
    EXPECT_NEAR(d[0].first, 15.76, 1e-4);
    EXPECT_NEAR(d[0].second, 17.56, 1e-4);
}

TEST_F(TGraph2Test, PatternRestartsWithoutContinuation)
{
    const struct {
        const char* what;
        int lay, typ;
        double x1;
        bool reset;
    } cases[] = {
        { "after GLSetDT", 0, 5, 15.76, true },
        { "on another layer", 1, 5, 15.76, false },
        { "from another point", 0, 5, 15.8, false },
    };
    for (const auto& c : cases) {
        g->GLSetDT();
        g->GLLineDT(0, 5, 10, 50, 15.76, 50);
        if (c.reset)
            g->GLSetDT();
        reset_records();
        g->GLLineDT(c.lay, c.typ, c.x1, 50, c.x1 + 5, 50);
        ASSERT_FALSE(lines().empty()) << c.what;
        EXPECT_FALSE(is_dot(*lines()[0])) << c.what;
        const auto d = dashes(lines());
        EXPECT_NEAR(d[0].second - d[0].first, 1.8, 1e-4) << c.what;
    }
}

TEST_F(TGraph2Test, PatternShowsOnlyWhenItsGapsShow)
{
    // Type 2: period 1.44, largest gap 0.72: solid at scales 1 and 2, dashed from about 2.78.
    const struct {
        double scale;
        bool dashed;
    } cases[] = { { 1, false }, { 2, false }, { 2.7, false }, { 2.8, true }, { 10, true } };
    for (const auto& c : cases) {
        view(0, 0, 100, 100, c.scale);
        reset_records();
        g->GLSetDT();
        g->GLLineDT(0, 2, 10, 50, 30, 50);
        EXPECT_EQ(lines().size() > 1, c.dashed) << c.scale;
    }
    // Solid types and numbers without a slot are drawn solid.
    for (int typ : { 1, 10, 20, 99 }) {
        reset_records();
        g->GLLineDT(0, typ, 10, 50, 30, 50);
        EXPECT_EQ(lines().size(), 1u) << typ;
    }
}

TEST_F(TGraph2Test, PatternedLineEdgeCases)
{
    EXPECT_EQ(g->GLLineDT(0, 5, 50, 50, 50, 50), 2); // zero length: one dot
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_TRUE(is_dot(*lines()[0]));
    EXPECT_EQ(g->GLLineDT(0, 5, -20, 50, -10, 50), 1);

    // Clipped at the window: the pattern starts at the clipped start.
    reset_records();
    g->GLSetDT();
    EXPECT_EQ(g->GLLineDT(0, 5, -10, 50, 5, 50), 0);
    const auto d = dashes(lines());
    ASSERT_FALSE(d.empty());
    EXPECT_NEAR(d[0].first, 0, 1e-6);
    EXPECT_NEAR(d[0].second, 1.8, 1e-4);
}

TEST_F(TGraph2Test, WalkEndsOnAPatternWithAStalePeriod)
{
    // The period says the pattern shows, but its entries are all but zero: drawn solid, not walked forever.
    att->SetAttrTypseg(3, 3);
    att->SetAttrTyppa1(3, 0, 1e-300);
    att->SetAttrTyppa1(3, 1, -1e-300);
    att->SetAttrTyppa1(3, 2, 1e-300);
    ASSERT_GT(att->GetAttrTyppit(3), 1);
    EXPECT_EQ(g->GLLineDT(0, 3, 10, 50, 90, 50), 0);
    EXPECT_EQ(lines().size(), 1u);
}

TEST_F(TGraph2Test, RandomLineZigzagsAboutTheLine)
{
    // Type 11: one vertex every 0.6 units, 0.3 to the left for positive entries, to the right for negative.
    double pat[32];
    const int n = att->GetAttrTyppat(11, pat);
    ASSERT_EQ(n, 32);
    const double step = std::fabs(pat[0]), amp = att->GetAttrTypamp(11);
    ASSERT_NEAR(step * gDispScale, 6, 1e-9);
    ASSERT_NEAR(amp * gDispScale, 3, 1e-9);

    g->GLSetDT();
    const double len = 10.5 * step; // ends halfway through entry 10
    EXPECT_EQ(g->GLLineDT(0, 11, 10, 50, 10 + len, 50), 0);
    const auto ls = lines();
    ASSERT_EQ(ls.size(), 11u);
    const platform::PointF start = dev(10, 50);
    EXPECT_PT_NEAR(ls[0]->pts[0], start.X, start.Y, 1e-3);
    for (size_t i = 0; i + 1 < ls.size(); ++i) {
        SCOPED_TRACE(i);
        const float side = pat[i] > 0 ? -3.0f : 3.0f; // left of travel along +x is up on the bitmap
        EXPECT_PT_NEAR(ls[i]->pts[1], start.X + 6 * (i + 1), start.Y + side, 1e-3);
        EXPECT_PT_NEAR(ls[i + 1]->pts[0], ls[i]->pts[1].X, ls[i]->pts[1].Y, 0);
    }
    EXPECT_PT_NEAR(ls.back()->pts[1], start.X + len * gDispScale, start.Y, 1e-3); // ends on the line
    EXPECT_EQ(g->LastSeg, 10);
}

// A segment from 4.6e19 units out whose clipped start ClipLine leaves at (8192, 0), 8,094 units from its end just
// inside the right edge. The walk is cut to the part inside the view (LineStroke_test counts its pieces); what
// the view shows of the dashes and the zigzag is still drawn, at the right edge where it belongs.
TEST_F(TGraph2Test, FarClippedPatternedLinesWalkOnlyTheView)
{
    const double x1 = -4.645654275660871e+19, y1 = 1.6960031698692078e+19, x2 = 98.17949066326919,
                 y2 = 46.69268460902231;
    for (int typ : { 2, 11 }) {
        SCOPED_TRACE(typ);
        reset_records();
        g->GLSetDT();
        EXPECT_EQ(g->GLLineDT(0, typ, x1, y1, x2, y2), 0);
        const auto ls = lines();
        ASSERT_FALSE(ls.empty());
        // The part inside is under 2 units: a few pieces.
        EXPECT_LE(ls.size(), 8u);
        for (const Record* r : ls)
            for (const platform::PointF& p : r->pts) {
                EXPECT_GE(p.X, 970);
                EXPECT_LE(p.X, 1001);
            }
    }
}

// ---- Rectangles.

TEST_F(TGraph2Test, BoxInsideIsOneDeviceRectangle)
{
    EXPECT_EQ(g->GLBox(10, 20, 30, 40), 0);
    const Record* r = canvas->last(Op::Rect);
    ASSERT_NE(r, nullptr);
    EXPECT_PT_NEAR(r->pts[0], 100, 800, 1e-4);
    EXPECT_PT_NEAR(r->pts[1], 300, 600, 1e-4);
    reset_records();
    EXPECT_EQ(g->GLBox(10, 20, 10.1, 20.05), 2);
    EXPECT_TRUE(is_dot(*canvas->drawn()[0]));
}

TEST_F(TGraph2Test, BoxCrossingTheWindowIsAClippedOutline)
{
    EXPECT_EQ(g->GLBox(50, 50, 150, 80), 0);
    EXPECT_EQ(canvas->count(Op::Rect), 0u);
    EXPECT_GE(canvas->count(Op::Path), 1u);
    for (const Record* r : canvas->of(Op::Path))
        for (const platform::PointF& p : r->pts)
            EXPECT_LE(p.X, 1000.0f + 1e-3f);
    EXPECT_EQ(GLPointsN, 0);

    reset_records();
    EXPECT_EQ(g->GLBox(-50, 10, -20, 30), 1);
    EXPECT_TRUE(canvas->drawn().empty());
}

TEST_F(TGraph2Test, TurnedBoxOutline)
{
    EXPECT_EQ(g->GLBoxA(50, 50, 60, 55, std::acos(-1.0) / 2), 0);
    const Record* r = canvas->last(Op::Path);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->pts.size(), 5u);
    // Turned a quarter counter-clockwise about (50, 50): (60, 50) goes to (50, 60), (60, 55) to (45, 60).
    EXPECT_PT_NEAR(r->pts[1], dev(50, 60).X, dev(50, 60).Y, 1e-3);
    EXPECT_PT_NEAR(r->pts[2], dev(45, 60).X, dev(45, 60).Y, 1e-3);
    EXPECT_PT_NEAR(r->pts[4], r->pts[0].X, r->pts[0].Y, 0);
    EXPECT_EQ(GLPointsN, 0);
}

} // namespace
