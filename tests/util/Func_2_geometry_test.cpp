// Tests of the Func_2 geometry routines: angles, crossings, ellipses, extents and block transforms.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "util/Func_2_geometry.h"

namespace {

using std::numbers::pi;
constexpr double kEps = 1e-9;

TEST(Func2Geometry, ExchangeSameDistance)
{
    double a = 1, b = 2;
    ExchangeDouble(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    EXPECT_TRUE(SamePointE12(1, 1, 1 + 1e-13, 1 - 1e-13));
    EXPECT_FALSE(SamePointE12(1, 1, 1 + 1e-11, 1));
    EXPECT_FALSE(SamePointE12(1, 1, 1, 1 + 1e-11));
    EXPECT_DOUBLE_EQ(Distance2P(1, 1, 4, 5), 5);
}

TEST(Func2Geometry, Rotation)
{
    struct Case {
        double x, y, cx, cy, a, rx, ry;
    } cases[] = {
        { 2, 1, 1, 1, pi / 2, 1, 2 },
        { 2, 1, 1, 1, pi, 0, 1 },
        { 3, 4, 0, 0, 0, 3, 4 },
        { 1, 0, 0, 0, -pi / 2, 0, -1 },
    };
    for (const auto& c : cases) {
        double rx = 0, ry = 0;
        RotatePoint(c.x, c.y, c.cx, c.cy, c.a, rx, ry);
        EXPECT_NEAR(rx, c.rx, kEps) << c.a;
        EXPECT_NEAR(ry, c.ry, kEps) << c.a;
        EXPECT_NEAR(RotateX(c.x, c.y, c.cx, c.cy, c.a), c.rx, kEps);
        EXPECT_NEAR(RotateY(c.x, c.y, c.cx, c.cy, c.a), c.ry, kEps);
    }
    double rx = 0, ry = 0;
    RotatePointDeg(2, 1, 1, 1, 90, rx, ry);
    EXPECT_NEAR(rx, 1, 1e-12);
    EXPECT_NEAR(ry, 2, 1e-12);
}

TEST(Func2Geometry, LineAngle)
{
    struct Case {
        double dx, dy, want;
    } cases[] = {
        { 0, 0, 0 },
        { 1, 0, 0 },
        { -1, 0, pi },
        { 0, 1, pi / 2 },
        { 0, -1, 3 * pi / 2 },
        { 1, 1, pi / 4 },
        { 1, -1, 7 * pi / 4 },
        { -1, -1e-300, pi },
        { 1, -1e-300, 0 }, // just below the X axis rounds to 2π, which must come back as 0
        { 1e-15, 1e-15, 0 }, // both below the tolerance
        { 1e-15, 1, pi / 2 }, // only one below the tolerance
        { 0, -1e-14, 3 * pi / 2 },
    };
    for (const auto& c : cases) {
        double got = LineAngle(c.dx, c.dy);
        EXPECT_NEAR(got, c.want, 1e-12) << c.dx << "," << c.dy;
        EXPECT_GE(got, 0);
        EXPECT_LT(got, 2 * pi);
    }
}

TEST(Func2Geometry, EllipseAngle)
{
    struct Case {
        double x, y, cx, cy, h, a, want;
    } cases[] = {
        { 0, 0.5, 0, 0, 0.5, 0, pi / 2 }, // top of a flattened ellipse
        { 1, 1, 1, 0, 0.5, 0, pi / 2 }, // offset centre
        { -0.5, 0, 0, 0, 0.5, pi / 2, pi / 2 }, // tilted by 90 degrees
        { 1, 1, 0, 0, 0, 0, pi / 4 }, // h not positive counts as 1
        { 1, 1, 0, 0, -2, 0, pi / 4 },
    };
    for (const auto& c : cases)
        EXPECT_NEAR(EllipseAngle(c.x, c.y, c.cx, c.cy, c.h, c.a), c.want, kEps);
}

TEST(Func2Geometry, PointLineDist)
{
    struct Case {
        double x1, y1, x2, y2, px, py, want;
    } cases[] = {
        { 0, 0, 10, 0, 3, 4, 4 },
        { 0, 0, 0, 0, 3, 4, 4 }, // coinciding points: the horizontal line through them
        { 0, 0, 10, 0, 30, -4, 4 }, // the infinite line, not the segment
        { 0, 0, 0, 10, 3, 4, 3 },
        { 0, 0, 1, 1, 0, 2, std::sqrt(2.0) },
        { 5, 5, 5, 5, 5, 2, 3 },
    };
    for (const auto& c : cases)
        EXPECT_NEAR(PointLineDist(c.x1, c.y1, c.x2, c.y2, c.px, c.py), c.want, kEps);
}

TEST(Func2Geometry, ProjectOnSegment)
{
    struct Case {
        double px, py;
        bool on;
        double d;
    } cases[] = {
        { 5, 3, true, 3 },
        { 5, -3, true, -3 },
        { 0, 1, true, 1 },
        { 10, 0, true, 0 },
        { -1, 0, false, 0 },
        { 11, 2, false, 2 },
        { -1e-13, 0, true, 0 },
    };
    for (const auto& c : cases) {
        double d = 99;
        EXPECT_EQ(ProjectOnSegment(0, 0, 10, 0, c.px, c.py, d), c.on) << c.px << "," << c.py;
        EXPECT_NEAR(d, c.d, kEps);
    }
    // The sign follows the direction of the segment.
    double d = 0;
    EXPECT_TRUE(ProjectOnSegment(10, 0, 0, 0, 5, 3, d));
    EXPECT_NEAR(d, -3, kEps);
}

TEST(Func2Geometry, LineIntersect)
{
    const double kUnset = -777;
    struct Case {
        const char* what;
        double x1, y1, x2, y2, x3, y3, x4, y4;
        int want;
        double x, y;
    } cases[] = {
        { "crossing", 0, 0, 10, 0, 5, -1, 5, 1, 1, 5, 0 },
        { "outside segment 2", 0, 0, 10, 0, 5, 1, 5, 2, 2, 5, 0 },
        { "outside segment 1", 0, 0, 1, 1, 0, 10, 10, 0, 2, 5, 5 },
        { "diagonals", 0, 0, 10, 10, 0, 10, 10, 0, 1, 5, 5 },
        { "parallel horizontal", 0, 0, 10, 0, 0, 1, 10, 1, 0, kUnset, kUnset },
        { "parallel sloped", 0, 0, 1, 2, 5, 0, 6, 2, 0, kUnset, kUnset },
        { "both vertical", 1, 0, 1, 5, 2, 0, 2, 5, 0, kUnset, kUnset },
        { "line 1 vertical", 3, -5, 3, 5, 0, 0, 10, 10, 1, 3, 3 },
        { "line 1 vertical, outside", 3, 4, 3, 5, 0, 0, 10, 10, 2, 3, 3 },
        { "end points meet", 0, 0, 10, 0, 10, 0, 10, 5, 1, 10, 0 },
    };
    for (const auto& c : cases) {
        double x = kUnset, y = kUnset;
        EXPECT_EQ(LineIntersect(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, c.x4, c.y4, x, y), c.want) << c.what;
        EXPECT_NEAR(x, c.x, kEps) << c.what;
        EXPECT_NEAR(y, c.y, kEps) << c.what;
    }
}

TEST(Func2Geometry, EllipseArcInfo)
{
    struct Case {
        const char* what;
        double cx, cy, r, h, sa, da, a;
        double sx, sy, ex, ey, tx, ty;
    } cases[] = {
        { "quarter circle", 0, 0, 1, 1, 0, pi / 2, 0, 1, 0, 0, 1, 1, 1 },
        { "moved and tilted", 10, 20, 1, 1, 0, pi / 2, pi / 2, 10, 21, 9, 20, 9, 21 },
        { "flattened", 0, 0, 2, 0.5, 0, pi / 2, 0, 2, 0, 0, 1, 2, 1 },
        { "half circle: parallel tangents give the centre", 3, 4, 1, 1, 0, pi, 0, 4, 4, 2, 4, 3, 4 },
        { "second quadrant", 0, 0, 1, 1, pi / 2, pi / 2, 0, 0, 1, -1, 0, -1, 1 },
    };
    for (const auto& c : cases) {
        double sx, sy, ex, ey, tx, ty;
        EllipseArcInfo(c.cx, c.cy, c.r, c.h, c.sa, c.da, c.a, sx, sy, ex, ey, tx, ty);
        EXPECT_NEAR(sx, c.sx, kEps) << c.what;
        EXPECT_NEAR(sy, c.sy, kEps) << c.what;
        EXPECT_NEAR(ex, c.ex, kEps) << c.what;
        EXPECT_NEAR(ey, c.ey, kEps) << c.what;
        EXPECT_NEAR(tx, c.tx, kEps) << c.what;
        EXPECT_NEAR(ty, c.ty, kEps) << c.what;
    }
}

TEST(Func2Geometry, EllipsePoint)
{
    double x = 0, y = 0;
    EllipsePoint(1, 1, 2, 0.5, pi / 2, pi / 2, x, y);
    // (0, 1) on the untilted ellipse, turned by 90 degrees to (-1, 0), then moved.
    EXPECT_NEAR(x, 0, kEps);
    EXPECT_NEAR(y, 1, kEps);
}

TEST(Func2Geometry, EllipseExtentSamples)
{
    // A quarter arc of radius 10: 73 points from (10, 0) to (0, 10), all on the circle.
    auto arc = detail::ellipse_arc_points(0, 0, 10, 1, 0, 0, pi / 2 / 72);
    EXPECT_NEAR(arc.front().X, 10, kEps);
    EXPECT_NEAR(arc.front().Y, 0, kEps);
    EXPECT_NEAR(arc.back().X, 0, kEps);
    EXPECT_NEAR(arc.back().Y, 10, kEps);
    EXPECT_NEAR(arc[36].X, 10 * std::cos(pi / 4), kEps);
    for (const auto& p : arc)
        EXPECT_NEAR(std::hypot(p.X, p.Y), 10, kEps);
    // Five-degree steps cover the whole ellipse whatever the arc's sweep.
    auto whole = detail::ellipse_arc_points(1, 2, 4, 0.5, 0, pi, pi / 36);
    EXPECT_NEAR(whole.front().X, whole.back().X, kEps);
    EXPECT_NEAR(whole.front().Y, whole.back().Y, kEps);
    EXPECT_NEAR(whole[18].X, 1, kEps);
    EXPECT_NEAR(whole[18].Y, 0, kEps);
    // r 10, flatness 0.5, tilt π/4: the axis ends reach about ±7.07 only.
    auto axes = detail::ellipse_axis_points(0, 0, 10, 0.5, pi / 4);
    const double s = 10 * std::sqrt(0.5), q = 5 * std::sqrt(0.5);
    const TDPoint want[4] = { { s, s }, { -q, q }, { -s, -s }, { q, -q } };
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(axes[k].X, want[k].X, kEps) << k;
        EXPECT_NEAR(axes[k].Y, want[k].Y, kEps) << k;
    }
}

struct Extents {
    double minX = 0, minY = 0, maxX = 1, maxY = 1;
};

TEST(Func2Geometry, MinMaxAddRangeAndClamp)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        double x, y, div;
        Extents want;
    } cases[] = {
        { "inside, no change", 0.5, 0.5, 1, { 0, 0, 1, 1 } },
        { "grows", -2, 3, 1, { -2, 0, 1, 3 } },
        { "divisor", 4, -6, 2, { 0, -3, 2, 1 } },
        { "x out of range ignored", 6e11, 0.5, 1, { 0, 0, 1, 1 } },
        { "y out of range ignored", 0.5, -6e11, 1, { 0, 0, 1, 1 } },
        { "NaN ignored", nan, 0.5, 1, { 0, 0, 1, 1 } },
        { "max clamped", 2e8, 0.5, 1, { 0, 0, 1e8, 1 } },
        { "min clamped", -2e8, -3e8, 1, { -1e8, -1e8, 1, 1 } },
        { "range limit is inclusive", 5e11, -5e11, 1, { 0, -1e8, 1e8, 1 } },
        { "just inside the clamp", 99999999, -99999999, 1, { 0, -99999999, 99999999, 1 } },
    };
    for (const auto& c : cases) {
        Extents e;
        MinMaxAdd(e.minX, e.minY, e.maxX, e.maxY, c.x, c.y, c.div);
        EXPECT_EQ(e.minX, c.want.minX) << c.what;
        EXPECT_EQ(e.minY, c.want.minY) << c.what;
        EXPECT_EQ(e.maxX, c.want.maxX) << c.what;
        EXPECT_EQ(e.maxY, c.want.maxY) << c.what;
    }
}

TEST(Func2Geometry, MinMaxInit)
{
    Extents e;
    MinMaxInit(e.minX, e.minY, e.maxX, e.maxY, 6e11, 0, 1);
    EXPECT_EQ(e.maxX, 1); // untouched
    MinMaxInit(e.minX, e.minY, e.maxX, e.maxY, 8, -4, 2);
    EXPECT_EQ(e.minX, 4);
    EXPECT_EQ(e.maxX, 4);
    EXPECT_EQ(e.minY, -2);
    EXPECT_EQ(e.maxY, -2);
    MinMaxInit(e.minX, e.minY, e.maxX, e.maxY, 3e8, -3e8, 1);
    // The clamp reaches only the side it guards: minX stays 3e8, maxX is cut.
    EXPECT_EQ(e.minX, 3e8);
    EXPECT_EQ(e.maxX, 1e8);
    EXPECT_EQ(e.minY, -1e8);
    EXPECT_EQ(e.maxY, -3e8);
}

TEST(Func2Geometry, MinMaxAddTrans)
{
    Extents e;
    // Rotation by 90 degrees plus a shift of (100, 0): (1, 2) -> (98, 1).
    MinMaxAddTrans(e.minX, e.minY, e.maxX, e.maxY, 1, 2, 100, 0, 0, -1, 1, 0, 1);
    EXPECT_EQ(e.maxX, 98);
    EXPECT_EQ(e.maxY, 1);
    // The range test looks at the untransformed point.
    MinMaxAddTrans(e.minX, e.minY, e.maxX, e.maxY, 6e11, 0, 0, 0, 1e-3, 0, 0, 1, 1);
    EXPECT_EQ(e.maxX, 98);
    // A transformed point beyond the range is ignored as well; within it, it is clamped.
    MinMaxAddTrans(e.minX, e.minY, e.maxX, e.maxY, 0, 0, -1e12, 0, 1, 0, 0, 1, 1);
    EXPECT_EQ(e.minX, 0);
    MinMaxAddTrans(e.minX, e.minY, e.maxX, e.maxY, 0, 0, -1e9, 0, 1, 0, 0, 1, 1);
    EXPECT_EQ(e.minX, -1e8);
    // div divides the transformed point.
    Extents f;
    MinMaxAddTrans(f.minX, f.minY, f.maxX, f.maxY, 2, 2, 10, 0, 1, 0, 0, 1, 4);
    EXPECT_EQ(f.maxX, 3);
    EXPECT_EQ(f.maxY, 1);
}

TEST(Func2Geometry, BlockTransPointAndLine)
{
    double px, py;
    BlockTransPoint(1, 2, 10, 20, 2, 0, 0, 3, 2, px, py);
    EXPECT_DOUBLE_EQ(px, 6);
    EXPECT_DOUBLE_EQ(py, 13);
    double a, b, c, d;
    BlockTransLine(1, 0, 0, 1, 0, 0, 0, -1, 1, 0, 1, a, b, c, d);
    EXPECT_DOUBLE_EQ(a, 0);
    EXPECT_DOUBLE_EQ(b, 1);
    EXPECT_DOUBLE_EQ(c, -1);
    EXPECT_DOUBLE_EQ(d, 0);
    EXPECT_TRUE(BlockTransIsIdentity(1 + 1e-15, -1e-15, 1e-14, 1));
    EXPECT_FALSE(BlockTransIsIdentity(1, 0, 0, -1));
    EXPECT_FALSE(BlockTransIsIdentity(1, 2e-14, 0, 1));
}

TEST(Func2Geometry, BlockTransTen)
{
    struct Case {
        const char* what;
        int style;
        double b1, b2, b3, b4;
        int code;
        double ang, ratio;
        double px, py, outAng, outRatio;
    } cases[] = {
        { "plain insert", 100, 1, 0, 0, 1, 5, 0.3, 2, 11, 22, 0.3, 2 },
        // The marker direction turns by pi, plus the extra pi for b1 < 0.
        { "mirrored insert turns by an extra pi", 100, -1, 0, 0, 1, 5, 0.3, 2, 9, 22, 0.3 + 2 * pi, 2 },
        { "turned insert", 100, 0, -1, 1, 0, 5, 0.3, 2, 8, 21, 0.3 + pi / 2, 2 },
        { "half turn also gets the extra pi", 100, -1, 0, 0, -1, 5, 0.3, 2, 9, 18, 0.3 + 2 * pi, 2 },
        { "no marker", 0, -1, 0, 0, 1, 5, 0.3, 2, 9, 22, 0, 1 },
    };
    for (const auto& c : cases) {
        double px, py, outAng, outRatio;
        int outCode = -1;
        BlockTransTen(c.style, c.code, 1, 2, c.ang, c.ratio, 10, 20, c.b1, c.b2, c.b3, c.b4, 1, px, py, outCode, outAng,
            outRatio);
        EXPECT_NEAR(px, c.px, kEps) << c.what;
        EXPECT_NEAR(py, c.py, kEps) << c.what;
        EXPECT_EQ(outCode, c.style == 100 ? c.code : 0) << c.what;
        EXPECT_NEAR(outAng, c.outAng, kEps) << c.what;
        EXPECT_EQ(outRatio, c.outRatio) << c.what;
    }
}

TEST(Func2Geometry, BlockTransMoji)
{
    struct Case {
        const char* what;
        double b1, b2, b3, b4, sc;
        double px1, py1, px2, py2, tw, th, tsp;
    } cases[] = {
        // Base line (0,0)-(10,0), w 2, height 3, spacing 1, shift (5, 5).
        { "identity divides by sc", 1, 0, 0, 1, 2, 2.5, 2.5, 7.5, 2.5, 1, 1.5, 0.5 },
        { "scaled", 2, 0, 0, 3, 1, 5, 5, 25, 5, 4, 9, 2 },
        { "turned", 0, -1, 1, 0, 1, 5, 5, 5, 15, 2, 3, 1 },
        { "mirrored exchanges the ends", -1, 0, 0, 1, 1, -5, 5, 5, 5, 2, 3, 1 },
        { "scaled and divided", 2, 0, 0, 2, 2, 2.5, 2.5, 12.5, 2.5, 1, 1.5, 0.5 },
    };
    for (const auto& c : cases) {
        double px1, py1, px2, py2, tw, th, tsp;
        BlockTransMoji(0, 0, 10, 0, 2, 3, 1, 5, 5, c.b1, c.b2, c.b3, c.b4, c.sc, px1, py1, px2, py2, tw, th, tsp);
        EXPECT_NEAR(px1, c.px1, kEps) << c.what;
        EXPECT_NEAR(py1, c.py1, kEps) << c.what;
        EXPECT_NEAR(px2, c.px2, kEps) << c.what;
        EXPECT_NEAR(py2, c.py2, kEps) << c.what;
        EXPECT_NEAR(tw, c.tw, kEps) << c.what;
        EXPECT_NEAR(th, c.th, kEps) << c.what;
        EXPECT_NEAR(tsp, c.tsp, kEps) << c.what;
    }
}

TEST(Func2Geometry, BlockTransMojiFit)
{
    double px1, py1, px2, py2, tw, th, tsp;
    // Scale 2: base line (0,0)-(20,0), w 1 -> 2; "AB" prints 1 + 1 wide, re-centred on x = 10.
    BlockTransMojiFit(u"AB", 0, 0, 10, 0, 1, 1, 0, 0, 0, 2, 0, 0, 2, 1, px1, py1, px2, py2, tw, th, tsp);
    EXPECT_NEAR(tw, 2, kEps);
    EXPECT_NEAR(px1, 9, kEps);
    EXPECT_NEAR(px2, 11, kEps);
    EXPECT_NEAR(py1, 0, kEps);
    EXPECT_NEAR(py2, 0, kEps);

    // Turned by 90 degrees: sizes rounded half up to 4 decimals, tiny sizes raised to 0.0001.
    BlockTransMojiFit(
        u"A", 0, 0, 10, 0, 0.12345, 0.00001, 0.00005, 0, 0, 0, -1, 1, 0, 1, px1, py1, px2, py2, tw, th, tsp);
    EXPECT_NEAR(tw, 0.1235, 1e-12);
    EXPECT_NEAR(th, 0.0001, 1e-12);
    EXPECT_NEAR(tsp, 0.0001, 1e-12);
    // Re-centred along the turned base line, which runs up the Y axis.
    EXPECT_NEAR(px1, 0, kEps);
    EXPECT_NEAR(py1, 5 - 0.1235 / 4, kEps);
    EXPECT_NEAR(py2, 5 + 0.1235 / 4, kEps);

    // Mirrored: the exchanged ends decide the direction, so the text still runs left to right.
    BlockTransMojiFit(u"AB", 0, 0, 10, 0, 1, 1, 0, 0, 0, -1, 0, 0, 1, 1, px1, py1, px2, py2, tw, th, tsp);
    EXPECT_NEAR(px1, -5.5, kEps);
    EXPECT_NEAR(px2, -4.5, kEps);

    // The identity keeps the base line and only rounds.
    BlockTransMojiFit(u"AB", 0, 0, 10, 0, 1.00004, 1, 0, 0, 0, 1, 0, 0, 1, 1, px1, py1, px2, py2, tw, th, tsp);
    EXPECT_NEAR(px1, 0, kEps);
    EXPECT_NEAR(px2, 10, kEps);
    EXPECT_NEAR(tw, 1, 1e-12);
}

} // namespace
