// Tests of the region codes and the one-pass segment clipper.
#include "util/ClipUnit.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

// Window (0, 0)-(10, 10) throughout.
constexpr double X1 = 0, Y1 = 0, X2 = 10, Y2 = 10;

struct CodeCase {
    double x, y;
    int code;
};

TEST(ClipCode, RegionBitsAndEdges)
{
    const CodeCase cases[] = {
        { 5, 5, 0 }, { -1, 5, 1 }, { 11, 5, 2 }, { 5, -1, 4 }, { 5, 11, 8 }, { -1, -1, 5 }, { 11, 11, 10 },
        { 0, 5, 1 }, // on the left edge counts as outside
        { 10, 5, 2 }, // on the right edge
        { 5, 1e-15, 4 }, // within 1e-14 of the bottom edge
        { 5, 10 - 1e-15, 8 }, { 1e-13, 5, 0 }, // just beyond the tolerance
    };
    for (const CodeCase& c : cases) {
        EXPECT_EQ(ClipCode(c.x, c.y, X1, Y1, X2, Y2), c.code) << c.x << "," << c.y;
        EXPECT_EQ(ClipPoint(c.x, c.y, X1, Y1, X2, Y2), c.code == 0 ? 0 : 2) << c.x << "," << c.y;
    }
}

TEST(ClipCode, NanCountsAsOutside)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(ClipCode(nan, 5, X1, Y1, X2, Y2), 3);
    EXPECT_EQ(ClipPoint(5, nan, X1, Y1, X2, Y2), 2);
}

struct LineCase {
    const char* what;
    double x1, y1, x2, y2;
    int result;
    double ex1, ey1, ex2, ey2; // expected ends when the result is not 2
};

TEST(ClipLine, Cases)
{
    const LineCase cases[] = {
        { "inside, unchanged", 1, 2, 8, 9, 0, 1, 2, 8, 9 },
        { "on the left edge, rejected", 0, 2, 0, 8, 2, 0, 0, 0, 0 },
        { "both left, rejected", -5, 2, -1, 8, 2, 0, 0, 0, 0 },
        { "enters from the left", -5, 5, 5, 5, 1, 0, 5, 5, 5 },
        { "leaves at the top", 5, 5, 5, 15, 1, 5, 5, 5, 10 },
        { "crosses left to right", -5, 5, 15, 5, 1, 0, 5, 10, 5 },
        { "diagonal through two corners", -5, -5, 15, 15, 1, 0, 0, 10, 10 },
        { "enters left, leaves at the bottom", -2, 6, 6, -2, 1, 0, 4, 4, 0 },
        // Beside the top-left corner: both ends end up at the same point on the top edge's line.
        { "beside a corner", -3, 9, 1, 14, 2, 0, 0, 0, 0 },
    };
    for (const LineCase& c : cases) {
        double x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        EXPECT_EQ(ClipLine(x1, y1, x2, y2, X1, Y1, X2, Y2), c.result) << c.what;
        EXPECT_EQ(ClipLineTest(c.x1, c.y1, c.x2, c.y2, X1, Y1, X2, Y2), c.result) << c.what;
        if (c.result == 2)
            continue;
        EXPECT_NEAR(x1, c.ex1, 1e-12) << c.what;
        EXPECT_NEAR(y1, c.ey1, 1e-12) << c.what;
        EXPECT_NEAR(x2, c.ex2, 1e-12) << c.what;
        EXPECT_NEAR(y2, c.ey2, 1e-12) << c.what;
    }
}

TEST(ClipLine, EndIsInterpolatedFromTheUnclippedStart)
{
    // Start and end both move; the end must still lie on the original line.
    double x1 = -10, y1 = 2, x2 = 20, y2 = 8;
    ASSERT_EQ(ClipLine(x1, y1, x2, y2, X1, Y1, X2, Y2), 1);
    const double slope = 6.0 / 30.0;
    EXPECT_NEAR(y1, 2 + 10 * slope, 1e-12);
    EXPECT_NEAR(y2, 2 + 20 * slope, 1e-12);
}

TEST(ClipLine, NonFiniteEndsAreRejected)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double a[] = { 5, 5, inf, 5 };
    EXPECT_EQ(ClipLine(a[0], a[1], a[2], a[3], X1, Y1, X2, Y2), 2);
    double b[] = { 5, 5, nan, nan };
    EXPECT_EQ(ClipLine(b[0], b[1], b[2], b[3], X1, Y1, X2, Y2), 2);
    EXPECT_TRUE(std::isfinite(b[0]) && b[0] == 5); // the finite end is left alone
}

TEST(ClipLineTest, LeavesArgumentsUntouched)
{
    const double x1 = -5, y1 = 5, x2 = 15, y2 = 5;
    EXPECT_EQ(ClipLineTest(x1, y1, x2, y2, X1, Y1, X2, Y2), 1);
    EXPECT_EQ(x1, -5);
    EXPECT_EQ(x2, 15);
}

} // namespace
