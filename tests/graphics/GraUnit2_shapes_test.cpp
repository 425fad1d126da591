// Tests of TGraph2's polylines, ellipses and arcs, solids and point markers.
#include <algorithm>
#include <numbers>

#include "tests/graphics/RenderFixture.h"

namespace {

using std::numbers::pi;

using ShapesTest = RenderFixture;

void set_points(std::initializer_list<TDPoint> pts)
{
    GLPoints.assign(pts);
    GLPointsN = static_cast<int>(GLPoints.size());
}

struct Box {
    float x1 = 1e30f, y1 = 1e30f, x2 = -1e30f, y2 = -1e30f;
};

Box bounds(const Record& r)
{
    Box b;
    for (const platform::PointF& p : r.pts) {
        b.x1 = std::min(b.x1, p.X);
        b.y1 = std::min(b.y1, p.Y);
        b.x2 = std::max(b.x2, p.X);
        b.y2 = std::max(b.y2, p.Y);
    }
    return b;
}

// ---- Polylines.

TEST_F(ShapesTest, PolylineNeedsTwoPoints)
{
    set_points({ { 10, 10 } });
    EXPECT_EQ(g->GLPolyline(), 3);
    set_points({ { 10, 10 }, { 20, 20 } });
    GLPointsN = 7; // a count beyond the list is not followed
    EXPECT_EQ(g->GLPolyline(), 0);
    EXPECT_EQ(canvas->count(Op::Path), 1u);
}

TEST_F(ShapesTest, PolylineBelowTheWindowIsSkipped)
{
    set_points({ { 10, -10 }, { 50, -20 }, { 90, -5 } });
    EXPECT_EQ(g->GLPolyline(), 1);
    EXPECT_TRUE(canvas->drawn().empty());
}

TEST_F(ShapesTest, PolylineAcrossTheWindowIsOneClippedRun)
{
    set_points({ { -10, 50 }, { 110, 50 } });
    EXPECT_EQ(g->GLPolyline(), 0);
    ASSERT_EQ(canvas->count(Op::Path), 1u);
    const Record* r = canvas->last(Op::Path);
    ASSERT_EQ(r->pts.size(), 2u);
    EXPECT_PT_NEAR(r->pts[0], 0, 500, 1e-3);
    EXPECT_PT_NEAR(r->pts[1], 1000, 500, 1e-3);
    EXPECT_EQ(GPointsN, 0);
}

TEST_F(ShapesTest, PolylineRunsNeverJoinAcrossAClippedGap)
{
    // Up out of the top of the window, across outside, and back down in.
    set_points({ { 10, 50 }, { 50, 50 }, { 50, 150 }, { 60, 150 }, { 60, 50 }, { 90, 50 } });
    EXPECT_EQ(g->GLPolyline(), 0);
    const auto runs = canvas->of(Op::Path);
    ASSERT_EQ(runs.size(), 3u);
    ASSERT_EQ(runs[0]->pts.size(), 3u);
    EXPECT_PT_NEAR(runs[0]->pts[0], 100, 500, 1e-3);
    EXPECT_PT_NEAR(runs[0]->pts[2], 500, 0, 1e-3);
    ASSERT_EQ(runs[1]->pts.size(), 2u); // the entering segment on its own
    EXPECT_PT_NEAR(runs[1]->pts[0], 600, 0, 1e-3);
    EXPECT_PT_NEAR(runs[1]->pts[1], 600, 500, 1e-3);
    ASSERT_EQ(runs[2]->pts.size(), 2u);
    EXPECT_PT_NEAR(runs[2]->pts[1], 900, 500, 1e-3);
    for (const Record* r : runs)
        EXPECT_FALSE(r->closed);
}

TEST_F(ShapesTest, TinyPolylineIsADotAtItsLastPoint)
{
    set_points({ { 50, 50 }, { 50.1, 50 }, { 50.15, 50 } }); // 1.5 pixels
    EXPECT_EQ(g->GLPolyline(), 2);
    ASSERT_EQ(canvas->drawn().size(), 1u);
    EXPECT_TRUE(is_dot(*canvas->drawn()[0]));
    EXPECT_PT_NEAR(canvas->drawn()[0]->pts[0], 501.5, 500, 1e-3);

    reset_records();
    set_points({ { 100, 50 }, { 100.1, 50 } }); // last point on the edge: outside, no dot
    EXPECT_EQ(g->GLPolyline(), 1);
    EXPECT_TRUE(canvas->drawn().empty());
}

// ---- Ellipses and arcs.

TEST_F(ShapesTest, EllipseTurnedAQuarterStandsUpright)
{
    EXPECT_EQ(g->GLEllipse(50, 50, 10, 0.5, pi / 2), 0);
    const Record* r = canvas->last(Op::Path);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->pts.size(), 73u);
    const Box b = bounds(*r);
    EXPECT_NEAR(b.x2 - b.x1, 100, 1e-2); // 2 r h wide
    EXPECT_NEAR(b.y2 - b.y1, 200, 1e-2); // 2 r high
    EXPECT_EQ(GLPointsN, 0);
}

TEST_F(ShapesTest, ArcWithNegativeSweepRunsClockwise)
{
    EXPECT_EQ(g->GLEllipseArc(50, 50, 10, 1, 0, pi / 2, -pi / 2), 0);
    const Record* r = canvas->last(Op::Path);
    ASSERT_EQ(r->pts.size(), 73u);
    EXPECT_PT_NEAR(r->pts.front(), dev(50, 60).X, dev(50, 60).Y, 1e-3);
    EXPECT_PT_NEAR(r->pts.back(), dev(60, 50).X, dev(60, 50).Y, 1e-3);
    EXPECT_GT(r->pts[1].X, r->pts[0].X); // from the top towards the right
}

TEST_F(ShapesTest, BlockFormsMapEveryPoint)
{
    // Moved by (20, 10) and halved.
    EXPECT_EQ(g->GLEllipseBL(10, 20, 10, 1, 0, 20, 10, 1, 0, 0, 1, 2), 0);
    const Box b = bounds(*canvas->last(Op::Path));
    EXPECT_NEAR(b.x1, dev(10, 0).X, 1e-2);
    EXPECT_NEAR(b.x2, dev(20, 0).X, 1e-2);

    reset_records();
    EXPECT_EQ(g->GLEllipseArcBL(0, 0, 10, 1, 0, 0, pi / 2, 50, 50, 0, -1, 1, 0, 1), 0); // turned a quarter
    const Record* r = canvas->last(Op::Path);
    EXPECT_PT_NEAR(r->pts.front(), dev(50, 60).X, dev(50, 60).Y, 1e-3);
    EXPECT_PT_NEAR(r->pts.back(), dev(40, 50).X, dev(40, 50).Y, 1e-3);
}

TEST_F(ShapesTest, PatternedArcPieceCount)
{
    // Type 5 at scale 1: r 10 over a quarter turn is 15.7 pixels, so 8 pieces; its gaps do not show, so every
    // piece is one solid line.
    view(0, 0, 100, 100, 1);
    g->GLSetDT();
    EXPECT_EQ(g->GLEllipseArcDT(0, 5, 50, 50, 10, 1, 0, 0, pi / 2), 0);
    EXPECT_EQ(canvas->count(Op::Line), 8u);
    EXPECT_EQ(canvas->count(Op::Path), 0u);

    // Large enough for 72 pieces: 2 pi 40 x 10 pixels.
    reset_records();
    view(0, 0, 100, 100, 1);
    EXPECT_EQ(g->GLEllipseArcDT(0, 5, 50, 50, 40, 1, 0, 0, 2 * pi), 0);
    EXPECT_EQ(canvas->count(Op::Line), 72u);

    // A solid type draws the 73-point arc.
    reset_records();
    EXPECT_EQ(g->GLEllipseArcDT(0, 1, 50, 50, 10, 1, 0, 0, pi / 2), 0);
    ASSERT_EQ(canvas->count(Op::Path), 1u);
    EXPECT_EQ(canvas->last(Op::Path)->pts.size(), 73u);
}

TEST_F(ShapesTest, PatternedArcKeepsOnePatternAlongTheCurve)
{
    // At scale 10 type 5 is dashed. Its 72 pieces (0.87 units each) continue one pattern, so about three
    // quarters of the curve is ink (4.32 of every 5.76); restarting on every piece would ink all of it.
    g->GLSetDT();
    EXPECT_EQ(g->GLEllipseArcDT(0, 5, 50, 50, 20, 1, 0, 0, pi), 0);
    EXPECT_EQ(g->LastLay, 0);
    EXPECT_EQ(g->LastTyp, 5);
    double ink = 0;
    for (const Record* r : lines())
        ink += std::hypot(r->pts[1].X - r->pts[0].X, r->pts[1].Y - r->pts[0].Y) / gDispScale;
    const double length = 20 * pi;
    EXPECT_GT(ink / length, 0.70);
    EXPECT_LT(ink / length, 0.80);
}

TEST_F(ShapesTest, PatternedArcTooSmallIsADotAtTheCentre)
{
    g->GLSetDT();
    EXPECT_EQ(g->GLEllipseArcDT(0, 5, 50, 50, 0.01, 1, 0, 0, pi / 2), 2);
    ASSERT_EQ(canvas->drawn().size(), 1u);
    EXPECT_PT_NEAR(canvas->drawn()[0]->pts[0], 500, 500, 1e-3);

    reset_records();
    // Block form: the estimate is the transformed (r h, r h) offset; the dot sits at the mapped centre.
    EXPECT_EQ(g->GLEllipseArcBLDT(0, 5, 0, 0, 0.05, 1, 0, 0, pi / 2, 30, 40, 1, 0, 0, 1, 1), 2);
    ASSERT_EQ(canvas->drawn().size(), 1u);
    EXPECT_PT_NEAR(canvas->drawn()[0]->pts[0], dev(30, 40).X, dev(30, 40).Y, 1e-3);
}

TEST_F(ShapesTest, PatternedBlockArcIsMapped)
{
    g->GLSetDT();
    EXPECT_EQ(g->GLEllipseArcBLDT(0, 5, 0, 0, 10, 1, 0, 0, pi, 50, 50, 1, 0, 0, 1, 1), 0);
    const auto ls = lines();
    ASSERT_FALSE(ls.empty());
    EXPECT_PT_NEAR(ls.front()->pts[0], dev(60, 50).X, dev(60, 50).Y, 1e-3);
    // Solid fallback through the block form.
    reset_records();
    EXPECT_EQ(g->GLEllipseArcBLDT(0, 1, 0, 0, 10, 1, 0, 0, pi, 50, 50, 1, 0, 0, 1, 1), 0);
    EXPECT_PT_NEAR(canvas->last(Op::Path)->pts.front(), dev(60, 50).X, dev(60, 50).Y, 1e-3);
}

// ---- Solids.

TEST_F(ShapesTest, SolidClosesItsPolygon)
{
    set_points({ { 10, 10 }, { 50, 10 }, { 30, 40 } });
    EXPECT_EQ(g->GLSolid(), 0);
    EXPECT_EQ(GLPointsN, 4);
    const Record* r = canvas->last(Op::FillPolygon);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->pts.size(), 4u);
    EXPECT_PT_NEAR(r->pts[3], 100, 900, 1e-3);
    EXPECT_EQ(GPointsN, 0);
}

TEST_F(ShapesTest, SolidEdgeCases)
{
    set_points({ { 10, 10 }, { 50, 10 } });
    EXPECT_EQ(g->GLSolid(), 3);
    set_points({ { -10, 10 }, { -50, 10 }, { -30, 40 } });
    EXPECT_EQ(g->GLSolid(), 1);
    set_points({ { 10, 10 }, { 10.05, 10 }, { 10, 10.05 } });
    EXPECT_EQ(g->GLSolid(), 2);
    ASSERT_EQ(canvas->drawn().size(), 1u);
    EXPECT_TRUE(is_dot(*canvas->drawn()[0]));
    // Partly outside: every point goes to the canvas unclipped.
    reset_records();
    set_points({ { 50, 50 }, { 150, 50 }, { 150, 80 } });
    EXPECT_EQ(g->GLSolid(), 0);
    EXPECT_PT_NEAR(canvas->last(Op::FillPolygon)->pts[1], 1500, 500, 1e-3);
}

TEST_F(ShapesTest, SolidCircleBecomesADotWhenSmall)
{
    view(0, 0, 100, 100, 4); // radius 0.5: 2 pixels
    EXPECT_EQ(g->GLSolidCircle(50, 50, 0.5), 2);
    ASSERT_EQ(canvas->drawn().size(), 1u);
    EXPECT_TRUE(is_dot(*canvas->drawn()[0]));
    reset_records();
    view(0, 0, 100, 100, 5);
    EXPECT_EQ(g->GLSolidCircle(50, 50, 0.5), 0);
    ASSERT_EQ(canvas->count(Op::FillPolygon), 1u);
    EXPECT_EQ(canvas->last(Op::FillPolygon)->pts.size(), 73u);
    EXPECT_EQ(GLPointsN, 0);
}

TEST_F(ShapesTest, SolidArcStyles)
{
    const double cx = 50, cy = 50, r = 10;
    const struct {
        const char* what;
        int sty;
        double zf;
        int result;
        Op op;
        size_t points;
    } cases[] = {
        { "101 full ellipse", 101, 100, 0, Op::FillPolygon, 73 },
        { "101 sector", 101, 0, 0, Op::FillPolygon, 75 },
        { "101 segment", 101, 5, 0, Op::FillPolygon, 74 },
        { "101 corner", 101, 3, 0, Op::FillPolygon, 75 },
        { "105 ring", 105, 6, 0, Op::FillPolygon, 147 },
        { "106 ring", 106, 6, 0, Op::FillPolygon, 147 },
        { "111 full ellipse", 111, 100, 0, Op::Path, 73 },
        { "111 arc", 111, 3, 0, Op::Path, 73 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reset_records();
        EXPECT_EQ(g->GLSolidArc(c.sty, cx, cy, r, 1, 0, 0, pi / 2, c.zf), c.result);
        ASSERT_EQ(canvas->drawn().size(), 1u);
        EXPECT_EQ(canvas->drawn()[0]->op, c.op);
        EXPECT_EQ(canvas->drawn()[0]->pts.size(), c.points);
        EXPECT_EQ(GLPointsN, 0);
    }
}

TEST_F(ShapesTest, SolidArcCornerIsTheTangentCrossing)
{
    EXPECT_EQ(g->GLSolidArc(101, 50, 50, 10, 1, 0, 0, pi / 2, 3), 0);
    const Record* r = canvas->last(Op::FillPolygon);
    EXPECT_PT_NEAR(r->pts[73], dev(60, 60).X, dev(60, 60).Y, 1e-3);
    reset_records();
    EXPECT_EQ(g->GLSolidArc(101, 50, 50, 10, 1, 0, 0, pi / 2, 0), 0);
    EXPECT_PT_NEAR(canvas->last(Op::FillPolygon)->pts[73], dev(50, 50).X, dev(50, 50).Y, 1e-3);
}

TEST_F(ShapesTest, RingOfStyle106IsEquallyWide)
{
    // r 10, h 2 (y radius 20), inner radius 6: the inner y radius is 20 - 4 = 16.
    EXPECT_EQ(g->GLSolidArc(106, 50, 50, 10, 2, 0, 0, pi / 2, 6), 0);
    const Record* r = canvas->last(Op::FillPolygon);
    ASSERT_EQ(r->pts.size(), 147u);
    EXPECT_PT_NEAR(r->pts[73], dev(50, 66).X, dev(50, 66).Y, 1e-3); // inner arc starts at sa + da
    EXPECT_PT_NEAR(r->pts[145], dev(56, 50).X, dev(56, 50).Y, 1e-3);
    EXPECT_PT_NEAR(r->pts[146], r->pts[0].X, r->pts[0].Y, 0);

    // 105: similar ellipses, inner y radius 6 x 2.
    reset_records();
    EXPECT_EQ(g->GLSolidArc(105, 50, 50, 10, 2, 0, 0, pi / 2, 6), 0);
    EXPECT_PT_NEAR(canvas->last(Op::FillPolygon)->pts[73], dev(50, 62).X, dev(50, 62).Y, 1e-3);
}

TEST_F(ShapesTest, SolidArcWithoutAShapeDrawsNothing)
{
    EXPECT_EQ(g->GLSolidArc(102, 50, 50, 10, 1, 0, 0, pi / 2, 3), 3);
    // Style 106 without an inner radius would divide by zero: the figure is skipped.
    EXPECT_EQ(g->GLSolidArc(106, 50, 50, 10, 2, 0, 0, pi / 2, 0), 3);
    EXPECT_TRUE(canvas->drawn().empty());
    EXPECT_EQ(GLPointsN, 0);
}

TEST_F(ShapesTest, SolidArcBlockFormMapsCentreAndCorner)
{
    EXPECT_EQ(g->GLSolidArcBL(101, 0, 0, 10, 1, 0, 0, pi / 2, 0, 40, 30, 1, 0, 0, 1, 1), 0);
    const Record* r = canvas->last(Op::FillPolygon);
    EXPECT_PT_NEAR(r->pts[0], dev(50, 30).X, dev(50, 30).Y, 1e-3);
    EXPECT_PT_NEAR(r->pts[73], dev(40, 30).X, dev(40, 30).Y, 1e-3);
}

// ---- Point markers.

TEST_F(ShapesTest, ArrowheadMarkerPointsAlongItsAngle)
{
    // Code 1 turned a quarter with size 2: tip at the point, base 15 below, 5 wide.
    g->GLTenMarker(50, 50, 0, 1, pi / 2, 2, 0, 2, 0, 0);
    const Record* outline = canvas->last(Op::Path);
    ASSERT_NE(outline, nullptr);
    ASSERT_EQ(outline->pts.size(), 4u);
    EXPECT_PT_NEAR(outline->pts[0], dev(50, 50).X, dev(50, 50).Y, 1e-3);
    EXPECT_PT_NEAR(outline->pts[1], dev(47.5, 35).X, dev(47.5, 35).Y, 1e-2);
    EXPECT_PT_NEAR(outline->pts[2], dev(52.5, 35).X, dev(52.5, 35).Y, 1e-2);
}

TEST_F(ShapesTest, HollowMarkersAreFilledWithTheBackground)
{
    const uint32_t pen = att->GetAttrColcol(2);
    for (int pc : { 1, 2, 3 }) {
        SCOPED_TRACE(pc);
        reset_records();
        g->GLTenMarker(50, 50, 0, pc, 0, 2, 0, 2, 0, 0);
        const auto d = canvas->drawn();
        ASSERT_EQ(d.size(), 2u);
        EXPECT_EQ(d[0]->op, Op::Path);
        EXPECT_EQ(d[0]->stroke.Color, pen);
        EXPECT_EQ(d[1]->op, Op::FillPolygon);
        EXPECT_EQ(d[1]->fill_color, att->BackColor);
        EXPECT_EQ(canvas->fill_color(), pen); // restored
    }
    for (int pc : { 5, 6, 7, 42 }) {
        SCOPED_TRACE(pc);
        reset_records();
        g->GLTenMarker(50, 50, 0, pc, 0, 2, 0, 2, 0, 0);
        const auto d = canvas->drawn();
        ASSERT_EQ(d.size(), 2u);
        EXPECT_EQ(d[1]->op, Op::FillPolygon);
        EXPECT_EQ(d[1]->fill_color, pen);
    }
}

TEST_F(ShapesTest, MarkerShapesByCode)
{
    const struct {
        int pc;
        size_t lines, paths, fills;
    } cases[] = {
        { -7, 2, 0, 0 },
        { -6, 3, 0, 0 },
        { -5, 4, 0, 0 },
        { -4, 2, 0, 0 },
        { -3, 0, 0, 1 },
        { -2, 0, 1, 0 },
        { -1, 3, 0, 0 },
        { 0, 0, 0, 1 },
        { 4, 0, 1, 0 },
        { 8, 0, 2, 0 },
        { 9, 2, 0, 0 },
        { 10, 1, 0, 0 },
        { 11, 0, 1, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pc);
        reset_records();
        g->GLTenMarker(50, 50, 0, c.pc, 0.3, 2, 0, 2, 0, 0);
        EXPECT_EQ(canvas->count(Op::Line), c.lines);
        EXPECT_EQ(canvas->count(Op::Path), c.paths);
        EXPECT_EQ(canvas->count(Op::FillPolygon), c.fills);
        EXPECT_EQ(GLPointsN, 0);
    }
}

TEST_F(ShapesTest, MarkerSegmentsTurnWithTheAngle)
{
    // The plus of code -4 turned by 45 degrees becomes an X of half-diagonal 1.25 s.
    g->GLTenMarker(50, 50, 0, -4, pi / 4, 2, 0, 2, 0, 0);
    const auto ls = lines();
    ASSERT_EQ(ls.size(), 2u);
    const double k = 2.5 / std::sqrt(2.0);
    EXPECT_PT_NEAR(ls[0]->pts[0], dev(50 - k, 50 + k).X, dev(50 - k, 50 + k).Y, 1e-3);
    EXPECT_PT_NEAR(ls[0]->pts[1], dev(50 + k, 50 - k).X, dev(50 + k, 50 - k).Y, 1e-3);
}

TEST_F(ShapesTest, MarkerSizeFactorBelowZeroCountsAsOne)
{
    g->GLTenMarker(50, 50, 0, 10, 0, 1, 0, 2, 0, 0);
    const auto one = lines();
    ASSERT_EQ(one.size(), 1u);
    const platform::PointF a = one[0]->pts[0];
    for (double ba : { 0.0, -3.0 }) {
        reset_records();
        g->GLTenMarker(50, 50, 0, 10, 0, ba, 0, 2, 0, 0);
        ASSERT_EQ(lines().size(), 1u);
        EXPECT_PT_NEAR(lines()[0]->pts[0], a.X, a.Y, 0);
    }
}

TEST_F(ShapesTest, PlainPointRadiusFollowsPenAndColour)
{
    // Colour 1: width 0.10, radius 0.2: 0.05 + 0.2 = 0.25 units, 2.5 pixels at scale 10.
    g->GLTenMarker(50, 50, 0, 0, 0, 1, 0, 1, 0, 0);
    const Record* r = canvas->last(Op::FillPolygon);
    ASSERT_NE(r, nullptr);
    const Box b = bounds(*r);
    EXPECT_NEAR(b.x2 - b.x1, 5, 1e-3);
    EXPECT_EQ(canvas->stroke().Thickness, 1); // pen reset to width 0
    // At scale 1 it grows to 2 pixels, which is still a dot.
    reset_records();
    view(0, 0, 100, 100, 1);
    g->GLTenMarker(50, 50, 0, 0, 0, 1, 0, 1, 0, 0);
    ASSERT_EQ(canvas->drawn().size(), 1u);
    EXPECT_TRUE(is_dot(*canvas->drawn()[0]));
}

TEST_F(ShapesTest, TemporaryPointIsAThreePixelCircle)
{
    EXPECT_EQ(g->GLTenMarker(50, 50, 1, 5, 1, 9, 0, 2, 50, 0), 0);
    ASSERT_EQ(canvas->drawn().size(), 1u);
    const Box b = bounds(*canvas->drawn()[0]);
    EXPECT_NEAR(b.x2 - b.x1, 6, 1e-3);
    EXPECT_EQ(canvas->stroke().Thickness, 1);
}

TEST_F(ShapesTest, MarkerPenWidthFromHundredths)
{
    g->GLTenMarker(50, 50, 0, 10, 0, 1, 0, 2, 50, 0); // 0.5 units at scale 10
    EXPECT_EQ(lines()[0]->stroke.Thickness, 5);
    g->GLTenMarker(50, 50, 0, 10, 0, 1, 0, 2, 0, 0xFF112233); // colour 2's width 0.15, override colour
    EXPECT_EQ(lines().back()->stroke.Thickness, 2);
    EXPECT_EQ(lines().back()->stroke.Color, 0xFF112233u);
}

} // namespace
