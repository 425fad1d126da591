// Extents of JWW drawings: the starting point, each kind's points, the block tree, growth and limits.
#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "formats/jww/JwwDraw.h"
#include "tests/jww/JwwDrawDoc.h"

using namespace jwwtest;
using namespace jwwdrawtest;

namespace {

using std::numbers::pi;

struct Box {
    double x1, y1, x2, y2;
};

class JwwExtentsTest : public ::testing::Test {
public:
    // Extents left over from an earlier drawing, so that a missing start is visible.
    void SetUp() override
    {
        gMinX = -1000;
        gMinY = -1000;
        gMaxX = 1000;
        gMaxY = 1000;
    }
    Box extents()
    {
        doc.GetMinMaxZahyo();
        return { gMinX, gMinY, gMaxX, gMaxY };
    }
    TJwwData doc;
    Builder<TJwwData> b { doc };
};

#define EXPECT_BOX(box, ex1, ey1, ex2, ey2, tol)                                                                       \
    do {                                                                                                               \
        EXPECT_NEAR((box).x1, (ex1), (tol));                                                                           \
        EXPECT_NEAR((box).y1, (ey1), (tol));                                                                           \
        EXPECT_NEAR((box).x2, (ex2), (tol));                                                                           \
        EXPECT_NEAR((box).y2, (ey2), (tol));                                                                           \
    } while (0)

TEST_F(JwwExtentsTest, SinglePointGrowsByTen)
{
    b.add(point(3, 4));
    EXPECT_BOX(extents(), -7, -6, 13, 14, 0);
}

TEST_F(JwwExtentsTest, EmptyDrawingKeepsOldExtentsUnlessTheyAreAPoint)
{
    EXPECT_BOX(extents(), -1000, -1000, 1000, 1000, 0);
    gMinX = gMaxX = 5;
    gMinY = gMaxY = 6;
    doc.GetMinMaxZahyo();
    EXPECT_BOX((Box { gMinX, gMinY, gMaxX, gMaxY }), -5, -4, 15, 16, 0);
}

TEST_F(JwwExtentsTest, LinesAndPoints)
{
    b.add(point(-5, 2));
    b.add(line(1, 2, 30, 40));
    EXPECT_BOX(extents(), -5, 2, 30, 40, 0);
}

TEST_F(JwwExtentsTest, TextWithCoincidingEndsIsPassedOverForTheStart)
{
    b.add(text(500, 500, 500, 500, 3, 3), u"dot");
    b.add(dimension(10, 60, 20), u"50");
    // Starts at the dimension line's start; the text adds nothing; the value text adds its base line.
    EXPECT_BOX(extents(), 10, 20, 60, 21, 0);
}

TEST_F(JwwExtentsTest, CircularSolidStartsAtItsFirstValue)
{
    // Style 102: a quarter ring sector; only the start point contributes the centre.
    TEntJwwSolid s = solid(0, 0, 10, 1, 0, 0, pi / 2, 0, attr(1, 102));
    b.add(s);
    EXPECT_BOX(extents(), 0, 0, 10, 10, 1e-9);
}

TEST_F(JwwExtentsTest, OnlyInsertsStartAtTheFirstReferencePoint)
{
    b.add(insert(99, 5, 6));
    b.done();
    EXPECT_BOX(extents(), -5, -4, 15, 16, 0);
}

TEST_F(JwwExtentsTest, ImageReferenceAddsItsFarCorner)
{
    b.add(text(10, 20, 110, 20, 3, 3), u"^@BMa.png,100,50");
    EXPECT_BOX(extents(), 10, 20, 110, 70, 0);
}

TEST_F(JwwExtentsTest, FullEllipseContributesOnlyItsAxisEnds)
{
    TEntJwwEnko e = circle(0, 0, 10);
    e.dHenpeiRitsu = 0.5;
    e.radKatamukiKaku = pi / 4;
    b.add(e);
    const double r = 10 * std::sqrt(0.5);
    EXPECT_BOX(extents(), -r, -r, r, r, 1e-9);
}

TEST_F(JwwExtentsTest, ArcContributesItsSamples)
{
    b.add(arc(100, 100, 10, 0, pi / 2));
    // The start (the centre) and the 73 samples from (110, 100) to (100, 110).
    EXPECT_BOX(extents(), 100, 100, 110, 110, 1e-9);
}

TEST_F(JwwExtentsTest, CircularSolidStyles)
{
    struct Case {
        const char* what;
        int style;
        double sa, da, zf;
        Box box;
    };
    const double s = std::sqrt(0.5) * 10;
    const Case cases[] = {
        // Whole ellipse: 5 degree steps whatever the sweep.
        { "101 whole", 101, 0, 0.1, 100, { 90, 90, 110, 110 } },
        { "111 whole", 111, 0, 0.1, 100, { 90, 90, 110, 110 } },
        // A sector adds the centre, a segment the crossing of its end tangents.
        { "101 sector", 101, pi / 4, pi / 2, 0, { 100 - s, 100, 100 + s, 110 } },
        { "101 tangents", 101, 0, pi / 2, -1, { 100, 100, 110, 110 } },
        { "102 quarter", 102, 0, pi / 2, 100, { 100, 100, 110, 110 } },
    };
    for (const auto& c : cases) {
        doc.DataInit();
        b.add(line(100, 100, 100, 100)); // start at the centre
        b.add(solid(100, 100, 10, 1, 0, c.sa, c.da, c.zf, attr(1, c.style)));
        const Box got = extents();
        SCOPED_TRACE(c.what);
        EXPECT_BOX(got, c.box.x1, c.box.y1, c.box.x2, c.box.y2, 1e-9);
    }
}

TEST_F(JwwExtentsTest, DimensionPartsCountOnlyWithTheirMode)
{
    TEntJwwSunpo s = dimension(10, 60, 20);
    s.Ho1 = line(10, -30, 10, 20);
    s.Ho2 = line(60, 20, 60, 25);
    s.Te1 = point(-90, -90); // never used
    b.add(s, u"50");
    EXPECT_BOX(extents(), 10, 20, 60, 21, 0);
    doc.EntSunpo[0].bSxfMode = 1;
    EXPECT_BOX(extents(), 10, -30, 60, 25, 0);
}

TEST_F(JwwExtentsTest, BlockNodesPlaceTheirDefinitions)
{
    TEntJwwBlockDef& d = b.def(3);
    def_add(d, line(0, 0, 10, 0));
    def_add(d, insert(77, 500, 500)); // nested, no definition: nothing
    b.add(insert(3, 50, 60, 1, 1, pi / 2));
    b.done();
    EXPECT_BOX(extents(), 50, 60, 50, 70, 1e-9);
}

TEST_F(JwwExtentsTest, FarPointsAreSkipped)
{
    // The far end is ignored, so only the start remains and the box grows around it.
    b.add(line(0, 0, 6e11, 5));
    EXPECT_BOX(extents(), -10, -10, 10, 10, 0);
}

TEST_F(JwwExtentsTest, LargeCoordinatesAreClamped)
{
    b.add(line(0, 0, 3e8, 5));
    const Box got = extents();
    EXPECT_EQ(got.x2, 1e8);
    EXPECT_EQ(got.y2, 5);
}

TEST(JwwPaperSize, CodesAndFallback)
{
    struct Case {
        int32_t code;
        double x, y;
    };
    const Case cases[] = { { 0, 1189, 841 }, { 1, 841, 594 }, { 3, 420, 297 }, { 4, 297, 210 }, { 5, 1189, 841 },
        { 7, 1189, 841 }, { 8, 1682, 1189 }, { 12, 10000, 7073 }, { 14, 100000, 70732 }, { 15, 1189, 841 },
        { -1, 1189, 841 } };
    TJwwData d;
    for (const auto& c : cases) {
        d.Enthd.nZumen = c.code;
        double x = 0, y = 0;
        d.GetPaperSize(x, y);
        EXPECT_EQ(x, c.x) << c.code;
        EXPECT_EQ(y, c.y) << c.code;
    }
}

} // namespace
