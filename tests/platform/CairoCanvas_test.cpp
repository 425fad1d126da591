// Pixel tests of the Cairo canvas: strokes, fills, brushes, gradients, bitmaps and transforms.
#include "platform/CairoCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

using platform::Bitmap;
using platform::CairoCanvas;
using platform::DashStyle;
using platform::Matrix;
using platform::PointF;
using platform::RectF;
using platform::StrokeStyle;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;

int channel(uint32_t c, int shift) { return int((c >> shift) & 0xFF); }

// Equal within `tol` per channel: antialiasing and filtering may move a channel a little.
testing::AssertionResult near(uint32_t got, uint32_t want, int tol)
{
    for (int s : { 24, 16, 8, 0 })
        if (std::abs(channel(got, s) - channel(want, s)) > tol)
            return testing::AssertionFailure() << std::hex << "0x" << got << " is not near 0x" << want;
    return testing::AssertionSuccess();
}

struct Fixture {
    Bitmap bmp;
    explicit Fixture(int w = 40, int h = 40) { EXPECT_TRUE(bmp.resize(w, h)); }
    uint32_t at(int x, int y) const { return bmp.pixel(x, y); }
};

TEST(CairoCanvas, LineIsDrawnInItsColourAndNothingBeside)
{
    Fixture f;
    {
        CairoCanvas c(f.bmp);
        EXPECT_EQ(c.width(), 40);
        EXPECT_EQ(c.height(), 40);
        c.begin_scene();
        c.set_stroke({ kRed, 1, DashStyle::Solid });
        c.draw_line({ 5, 10.5f }, { 30, 10.5f });
        c.draw_line({ 5, 25 }, { 30, 25 }, { kBlue, 2, DashStyle::Solid });
        c.end_scene();
        EXPECT_EQ(c.stroke().Color, kRed); // the one-off stroke left the current one alone
    }
    for (int x : { 6, 17, 29 }) {
        EXPECT_EQ(f.at(x, 10), kRed) << x;
        EXPECT_EQ(f.at(x, 9), kWhite) << x;
        EXPECT_EQ(f.at(x, 11), kWhite) << x;
        EXPECT_EQ(f.at(x, 24), kBlue) << x;
        EXPECT_EQ(f.at(x, 25), kBlue) << x;
        EXPECT_EQ(f.at(x, 23), kWhite) << x;
        EXPECT_EQ(f.at(x, 26), kWhite) << x;
    }
    // Round caps reach half the thickness past each end, no further.
    EXPECT_EQ(f.at(3, 10), kWhite);
    EXPECT_EQ(f.at(32, 10), kWhite);
}

TEST(CairoCanvas, DashStylesLeaveGapsAndSolidDoesNot)
{
    const DashStyle styles[] = { DashStyle::Dash, DashStyle::Dot, DashStyle::DashDot, DashStyle::DashDotDot };
    for (DashStyle d : styles) {
        SCOPED_TRACE(int(d));
        Fixture f(60, 10);
        CairoCanvas c(f.bmp);
        c.set_stroke({ kRed, 1, d });
        c.draw_line({ 2, 4.5f }, { 58, 4.5f });
        c.end_scene();
        int gaps = 0, inked = 0;
        for (int x = 4; x < 56; ++x)
            (f.at(x, 4) == kWhite ? gaps : inked) += 1;
        EXPECT_GT(gaps, 5);
        EXPECT_GT(inked, 5);
    }
    Fixture f(60, 10);
    CairoCanvas c(f.bmp);
    c.set_stroke({ kRed, 1, DashStyle::Solid });
    c.draw_line({ 2, 4.5f }, { 58, 4.5f });
    c.end_scene();
    for (int x = 4; x < 56; ++x)
        ASSERT_EQ(f.at(x, 4), kRed) << x;
}

TEST(CairoCanvas, PolygonFillUsesEvenOdd)
{
    // An outer square and an inner one in the same direction: winding would fill the hole, even-odd not.
    const PointF pts[] = { { 0, 0 }, { 30, 0 }, { 30, 30 }, { 0, 30 }, { 0, 0 }, { 10, 10 }, { 20, 10 }, { 20, 20 },
        { 10, 20 }, { 10, 10 } };
    Fixture f;
    CairoCanvas c(f.bmp);
    c.set_fill_color(kBlue);
    EXPECT_EQ(c.fill_color(), kBlue);
    c.fill_polygon(pts, std::size(pts));
    c.end_scene();
    EXPECT_EQ(f.at(5, 15), kBlue);
    EXPECT_EQ(f.at(25, 15), kBlue);
    EXPECT_EQ(f.at(15, 25), kBlue);
    EXPECT_EQ(f.at(15, 15), kWhite);
    EXPECT_EQ(f.at(35, 35), kWhite);
}

struct ArcCase {
    float start, sweep;
    int qx, qy; // the quadrant that must be inked: signs of (x - cx, y - cy)
};

TEST(CairoCanvas, ArcsTurnClockwiseOnScreenForPositiveSweep)
{
    const ArcCase cases[] = {
        { 0, 90, 1, 1 }, // right to bottom
        { 0, -90, 1, -1 }, // right to top
        { 180, 90, -1, -1 }, // left to top
        { 90, 90, -1, 1 }, // bottom to left
    };
    for (const auto& a : cases) {
        SCOPED_TRACE(testing::Message() << a.start << " " << a.sweep);
        Fixture f;
        CairoCanvas c(f.bmp);
        c.set_stroke({ kRed, 2, DashStyle::Solid });
        c.draw_arc({ 20, 20 }, 12, 12, a.start, a.sweep);
        c.end_scene();
        const double d = 12 / std::numbers::sqrt2;
        for (int qx : { -1, 1 })
            for (int qy : { -1, 1 }) {
                const uint32_t px = f.at(int(std::floor(20 + qx * d)), int(std::floor(20 + qy * d)));
                if (qx == a.qx && qy == a.qy)
                    EXPECT_TRUE(near(px, kRed, 90)) << qx << "," << qy;
                else
                    EXPECT_EQ(px, kWhite) << qx << "," << qy;
            }
    }
}

TEST(CairoCanvas, EllipseIsInscribedInItsRectangle)
{
    Fixture f(60, 40);
    CairoCanvas c(f.bmp);
    c.set_stroke({ kRed, 1, DashStyle::Solid });
    c.draw_ellipse({ 10, 10 }, { 50, 30 });
    c.end_scene();
    EXPECT_TRUE(near(f.at(30, 10), kRed, 130)); // top
    EXPECT_TRUE(near(f.at(30, 29), kRed, 130)); // bottom
    EXPECT_TRUE(near(f.at(10, 20), kRed, 130)); // left
    EXPECT_TRUE(near(f.at(49, 20), kRed, 130)); // right
    EXPECT_EQ(f.at(30, 20), kWhite);
    EXPECT_EQ(f.at(11, 11), kWhite);
    EXPECT_EQ(f.at(30, 7), kWhite);
}

TEST(CairoCanvas, RoundedRectangleCutsItsCorners)
{
    Fixture f;
    CairoCanvas c(f.bmp);
    c.set_stroke({ kRed, 1, DashStyle::Solid });
    c.draw_rect({ 5.5f, 5.5f }, { 34.5f, 34.5f }, 10, 10);
    c.end_scene();
    EXPECT_EQ(f.at(20, 5), kRed);
    EXPECT_EQ(f.at(5, 20), kRed);
    EXPECT_EQ(f.at(34, 20), kRed);
    EXPECT_EQ(f.at(20, 34), kRed);
    EXPECT_EQ(f.at(5, 5), kWhite);
    EXPECT_EQ(f.at(34, 34), kWhite);
    EXPECT_EQ(f.at(20, 20), kWhite);

    Fixture g;
    CairoCanvas s(g.bmp);
    s.set_stroke({ kRed, 1, DashStyle::Solid });
    s.draw_rect({ 34.5f, 34.5f }, { 5.5f, 5.5f }, 0, 0); // corners in any order
    s.end_scene();
    EXPECT_EQ(g.at(5, 5), kRed);
    EXPECT_EQ(g.at(34, 34), kRed);
    EXPECT_EQ(g.at(20, 20), kWhite);
}

TEST(CairoCanvas, BitmapBrushTilesFromTheDeviceOrigin)
{
    Bitmap tile;
    ASSERT_TRUE(tile.resize(2, 2));
    {
        CairoCanvas t(tile);
        t.set_fill_color(kRed);
        const PointF p0[] = { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } };
        const PointF p1[] = { { 1, 1 }, { 2, 1 }, { 2, 2 }, { 1, 2 } };
        t.fill_polygon(p0, 4);
        t.fill_polygon(p1, 4);
        t.end_scene();
    }
    ASSERT_EQ(tile.pixel(0, 0), kRed);
    ASSERT_EQ(tile.pixel(1, 0), kWhite);

    Fixture f(20, 20);
    CairoCanvas c(f.bmp);
    c.set_fill_bitmap(tile);
    tile.reset(); // the brush keeps its own copy
    c.set_transform(Matrix::translation(1, 0));
    const PointF sq[] = { { 2, 2 }, { 12, 2 }, { 12, 12 }, { 2, 12 } };
    c.fill_polygon(sq, 4);
    c.end_scene();
    for (int y = 2; y < 12; ++y)
        for (int x = 3; x < 13; ++x)
            ASSERT_EQ(f.at(x, y), (x + y) % 2 == 0 ? kRed : kWhite) << x << "," << y;
    EXPECT_EQ(f.at(2, 2), kWhite); // outside the translated square
    EXPECT_EQ(f.at(14, 14), kWhite);
}

TEST(CairoCanvas, LinearGradientRunsAcrossEachPolygonsBox)
{
    Fixture f(120, 20);
    CairoCanvas c(f.bmp);
    platform::Gradient g;
    g.Start = { 0, 0.5f };
    g.End = { 1, 0.5f };
    g.Stops = { { 0, 0xFF000000 }, { 1, kWhite } };
    c.set_fill_gradient(g);
    const PointF box[] = { { 10, 0 }, { 110, 0 }, { 110, 20 }, { 10, 20 } };
    c.fill_polygon(box, 4);
    c.end_scene();
    EXPECT_TRUE(near(f.at(10, 10), 0xFF000000, 4));
    EXPECT_TRUE(near(f.at(109, 10), kWhite, 4));
    EXPECT_TRUE(near(f.at(60, 10), 0xFF808080, 4));
    EXPECT_LT(channel(f.at(30, 10), 0), channel(f.at(80, 10), 0));
    EXPECT_EQ(f.at(5, 10), kWhite); // outside: untouched background
}

TEST(CairoCanvas, RadialGradientStartsAtItsCentre)
{
    Fixture f;
    CairoCanvas c(f.bmp);
    platform::Gradient g;
    g.Type = platform::Gradient::Kind::Radial;
    g.Start = { 0.5f, 0.5f };
    g.Stops = { { 0, kRed }, { 1, kBlue } };
    c.set_fill_gradient(g);
    const PointF box[] = { { 0, 0 }, { 40, 0 }, { 40, 40 }, { 0, 40 } };
    c.fill_polygon(box, 4);
    c.end_scene();
    EXPECT_TRUE(near(f.at(20, 20), kRed, 12));
    EXPECT_TRUE(near(f.at(0, 0), kBlue, 12));
    EXPECT_TRUE(near(f.at(39, 39), kBlue, 12));
}

TEST(CairoCanvas, BitmapIsDrawnFromSourceIntoDestination)
{
    const uint32_t quad[4] = { kRed, 0xFF00FF00, kBlue, 0xFF000000 };
    Bitmap src;
    ASSERT_TRUE(src.resize(2, 2));
    {
        CairoCanvas s(src);
        for (int i = 0; i < 4; ++i) {
            const float x = float(i % 2), y = float(i / 2);
            s.set_fill_color(quad[i]);
            const PointF p[] = { { x, y }, { x + 1, y }, { x + 1, y + 1 }, { x, y + 1 } };
            s.fill_polygon(p, 4);
        }
        s.end_scene();
    }
    Fixture f;
    CairoCanvas c(f.bmp);
    c.draw_bitmap(src, { 0, 0, 2, 2 }, { 10, 10, 30, 30 });
    // Only the right column of the source, stretched over another rectangle.
    c.draw_bitmap(src, { 1, 0, 2, 2 }, { 32, 0, 38, 20 });
    c.end_scene();
    EXPECT_TRUE(near(f.at(11, 11), quad[0], 2));
    EXPECT_TRUE(near(f.at(28, 11), quad[1], 2));
    EXPECT_TRUE(near(f.at(11, 28), quad[2], 2));
    EXPECT_TRUE(near(f.at(28, 28), quad[3], 2));
    EXPECT_EQ(f.at(9, 9), kWhite);
    EXPECT_EQ(f.at(30, 30), kWhite);
    EXPECT_TRUE(near(f.at(33, 1), quad[1], 2));
    EXPECT_TRUE(near(f.at(37, 18), quad[3], 2));
    EXPECT_EQ(f.at(35, 25), kWhite);
}

TEST(CairoCanvas, ShrinkingABitmapAveragesIt)
{
    // A one-pixel checkerboard shrunk twenty times reads grey, not one of its colours.
    Bitmap big;
    ASSERT_TRUE(big.resize(200, 200));
    {
        CairoCanvas b(big);
        b.clear(0xFF000000);
        b.set_fill_color(kWhite);
        for (int y = 0; y < 200; ++y)
            for (int x = y % 2; x < 200; x += 2) {
                const PointF p[] = { { float(x), float(y) }, { float(x + 1), float(y) }, { float(x + 1), float(y + 1) },
                    { float(x), float(y + 1) } };
                b.fill_polygon(p, 4);
            }
        b.end_scene();
    }
    Fixture f(10, 10);
    CairoCanvas c(f.bmp);
    c.draw_bitmap(big, { 0, 0, 200, 200 }, { 0, 0, 10, 10 });
    c.end_scene();
    for (int y = 1; y < 9; ++y)
        for (int x = 1; x < 9; ++x)
            ASSERT_TRUE(near(f.at(x, y), 0xFF808080, 24)) << x << "," << y;
}

TEST(CairoCanvas, TransformMapsDrawingAndMultiplyActsFirst)
{
    Fixture f;
    CairoCanvas c(f.bmp);
    c.set_transform(Matrix::translation(10, 10));
    c.multiply_transform(Matrix::scaling(2, 2));
    const Matrix m = c.transform();
    EXPECT_DOUBLE_EQ(m.xx, 2);
    EXPECT_DOUBLE_EQ(m.x0, 10);
    c.set_fill_color(kRed);
    const PointF sq[] = { { 0, 0 }, { 5, 0 }, { 5, 5 }, { 0, 5 } };
    c.fill_polygon(sq, 4);
    c.end_scene();
    EXPECT_EQ(f.at(10, 10), kRed);
    EXPECT_EQ(f.at(19, 19), kRed);
    EXPECT_EQ(f.at(9, 9), kWhite);
    EXPECT_EQ(f.at(20, 20), kWhite);
}

TEST(CairoCanvas, RotationTurnsClockwiseOnScreen)
{
    Fixture f;
    CairoCanvas c(f.bmp);
    c.set_transform(Matrix::compose(Matrix::rotation(std::numbers::pi / 2), Matrix::translation(20, 5)));
    c.set_stroke({ kRed, 2, DashStyle::Solid });
    c.draw_line({ 0, 0 }, { 20, 0 }); // along +x, turned to point down
    c.end_scene();
    EXPECT_TRUE(near(f.at(20, 15), kRed, 2));
    EXPECT_TRUE(near(f.at(19, 15), kRed, 2));
    EXPECT_EQ(f.at(30, 5), kWhite);
}

TEST(CairoCanvas, MatrixHelpers)
{
    struct Case {
        Matrix m;
        PointF in, out;
    };
    const Case cases[] = {
        { Matrix::rotation(std::numbers::pi / 2), { 1, 0 }, { 0, 1 } },
        { Matrix::rotation(std::numbers::pi), { 1, 2 }, { -1, -2 } },
        { Matrix::compose(Matrix::scaling(2, 3), Matrix::translation(5, 7)), { 1, 1 }, { 7, 10 } },
        { Matrix::compose(Matrix::translation(5, 7), Matrix::scaling(2, 3)), { 1, 1 }, { 12, 24 } },
        { Matrix::compose(Matrix::rotation(std::numbers::pi / 2), Matrix::translation(1, 0)), { 1, 0 }, { 1, 1 } },
    };
    for (const auto& c : cases) {
        const PointF p = c.m.apply(c.in);
        EXPECT_NEAR(p.X, c.out.X, 1e-6);
        EXPECT_NEAR(p.Y, c.out.Y, 1e-6);
    }
}

TEST(CairoCanvas, ClearPaintsEverythingWhateverTheTransform)
{
    Fixture f(10, 10);
    CairoCanvas c(f.bmp);
    c.set_transform(Matrix::scaling(0.5, 0.5));
    c.clear(0xFF336699);
    c.end_scene();
    EXPECT_EQ(f.at(0, 0), 0xFF336699u);
    EXPECT_EQ(f.at(9, 9), 0xFF336699u);
}

// Hostile values must neither crash nor leave Cairo in an error state that stops later drawing.
TEST(CairoCanvas, DegenerateInputKeepsTheCanvasWorking)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Fixture f;
    CairoCanvas c(f.bmp);
    c.set_stroke({ kRed, nan, DashStyle::Dash });
    c.draw_line({ nan, 0 }, { 5, 5 });
    c.set_stroke({ kRed, -3, DashStyle::Dot });
    c.draw_line({ 0, 0 }, { 5, 5 });
    c.draw_ellipse({ 10, 10 }, { 10, 30 });
    c.draw_arc({ 10, 10 }, 0, 0, 0, 90);
    c.draw_arc({ 10, 10 }, 5, 5, 0, inf);
    c.draw_arc({ 10, 10 }, 5, 5, 0, 1e30f);
    c.draw_rect({ 0, 0 }, { inf, 5 }, 2, 2);
    c.draw_path(nullptr, 3, true);
    const PointF two[] = { { 1, 1 }, { 2, 2 } };
    c.fill_polygon(two, 2);
    c.set_transform(Matrix::scaling(0, 0));
    c.set_transform({ nan, 0, 0, 1, 0, 0 });
    c.multiply_transform(Matrix::scaling(0, 1));
    Bitmap empty;
    c.draw_bitmap(empty, { 0, 0, 1, 1 }, { 0, 0, 5, 5 });
    Bitmap small;
    ASSERT_TRUE(small.resize(2, 2));
    c.draw_bitmap(small, { 5, 5, 9, 9 }, { 0, 0, 5, 5 });
    c.draw_bitmap(small, { 0, 0, 0, 2 }, { 0, 0, 5, 5 });
    c.set_fill_bitmap(empty);
    platform::Gradient g;
    g.Start = { nan, 0 };
    g.Stops = { { nan, kRed } };
    c.set_fill_gradient(g);
    const PointF tri[] = { { 0, 0 }, { 4, 0 }, { 0, 4 } };
    c.fill_polygon(tri, 3);
    g.Start = { 0, 0 };
    c.set_fill_gradient(g);
    c.fill_polygon(tri, 3);
    EXPECT_EQ(cairo_status(c.context()), CAIRO_STATUS_SUCCESS);
    EXPECT_DOUBLE_EQ(c.transform().xx, 1);

    c.clear(kWhite);
    c.set_stroke({ kBlue, 1, DashStyle::Solid });
    c.draw_line({ 0, 20.5f }, { 40, 20.5f });
    c.end_scene();
    EXPECT_EQ(f.at(20, 20), kBlue);
}

TEST(CairoCanvas, EmptyBitmapIsANoOp)
{
    Bitmap empty;
    CairoCanvas c(empty);
    EXPECT_EQ(c.width(), 0);
    c.clear(kRed);
    c.draw_line({ 0, 0 }, { 10, 10 });
    c.end_scene();
    EXPECT_TRUE(empty.empty());
}

} // namespace
