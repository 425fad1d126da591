// Pictures replayed in bands from the display list against the same calls drawn straight onto one bitmap:
// the bytes must agree for every kind of call, above all where a call crosses a band's edge.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "tests/support/common_bands.h"

namespace {

using platform::Canvas;
using platform::Matrix;
using platform::PointF;
using platform::StrokeStyle;

constexpr int kW = 300, kH = 200;

platform::Bitmap checker_tile()
{
    platform::Bitmap t;
    t.resize(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const uint32_t c = (x + y) % 2 ? 0xFF2040C0 : 0x80FF8000;
            const uint32_t a = c >> 24;
            auto pm = [a](uint32_t v) { return (v * a + 127) / 255; };
            const uint32_t px = (a << 24) | (pm((c >> 16) & 0xFF) << 16) | (pm((c >> 8) & 0xFF) << 8) | pm(c & 0xFF);
            std::memcpy(t.data() + y * t.stride() + x * 4, &px, 4);
        }
    return t;
}

// A photograph-like image: smooth colour changes that every filter reads differently.
platform::Bitmap picture(int w, int h)
{
    platform::Bitmap b;
    b.resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t r = uint32_t(x * 255 / w), g = uint32_t(y * 255 / h), bl = uint32_t((x * y) % 256);
            const uint32_t px = 0xFF000000 | (r << 16) | (g << 8) | bl;
            std::memcpy(b.data() + y * b.stride() + x * 4, &px, 4);
        }
    return b;
}

struct Case {
    const char* what;
    bandtest::Draw draw;
};

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        { "clear with a translucent colour, then lines",
            [](Canvas& c) {
                c.clear(0x80FF0000);
                c.set_stroke({ 0xFF000000, 1, platform::DashStyle::Solid });
                c.draw_line({ 0, 0 }, { 299, 199 });
            } },
        { "thick and thin lines across band edges, every dash style, own-stroke dots",
            [](Canvas& c) {
                c.clear(0xFFFFFFFF);
                const platform::DashStyle dashes[] = { platform::DashStyle::Solid, platform::DashStyle::Dash,
                    platform::DashStyle::Dot, platform::DashStyle::DashDot, platform::DashStyle::DashDotDot };
                for (int i = 0; i < 25; ++i) {
                    c.set_stroke({ 0xFF000000u | uint32_t(i * 0x0A0B0C), 0.5f + float(i % 7) * 3.3f, dashes[i % 5] });
                    c.draw_line({ 3.3f + i * 11.7f, 1.7f + i * 2.9f }, { 290.1f - i * 5.3f, 197.6f - i * 7.1f });
                }
                c.set_stroke({ 0xFF0000FF, 20, platform::DashStyle::Solid });
                c.draw_line({ 10, 63.5f }, { 290, 64.5f }); // nearly level, on a band edge
                c.draw_line({ 150.25f, 5 }, { 150.25f, 195 });
                for (int i = 0; i < 40; ++i)
                    c.draw_line({ 5.5f + i * 7, 127.5f }, { 6.5f + i * 7, 127.5f },
                        { 0xFFFF00FF, 1, platform::DashStyle::Solid });
                c.set_stroke({ 0x8000A000, 3, platform::DashStyle::Solid });
                c.draw_line({ -50, -20 }, { 400, 260 }); // beyond the picture at both ends
            } },
        { "rectangles, square and rounded, thick",
            [](Canvas& c) {
                c.set_stroke({ 0xFF203040, 9, platform::DashStyle::Solid });
                c.draw_rect({ 20.5f, 30.2f }, { 120.7f, 150.9f }, 0, 0);
                c.draw_rect({ 140, 60 }, { 290, 190 }, 25, 12);
                c.set_stroke({ 0xFFA00000, 1, platform::DashStyle::Dash });
                c.draw_rect({ 2, 2 }, { 297, 197 }, 3, 3);
                c.draw_rect({ 50, 100 }, { 50, 160 }, 0, 0); // no width
            } },
        { "ellipses and arcs, thick, flattened and tiny",
            [](Canvas& c) {
                c.set_stroke({ 0xFF0060A0, 7, platform::DashStyle::Solid });
                c.draw_ellipse({ 10, 10 }, { 290, 190 });
                c.draw_ellipse({ 100, 60 }, { 100.0000001f, 140 });
                c.set_stroke({ 0xFF600000, 13, platform::DashStyle::DashDot });
                c.draw_arc({ 150, 100 }, 80, 45, 30, 250);
                c.draw_arc({ 60, 150 }, 40, 0, -10, -200);
                c.set_stroke({ 0xFF000000, 1, platform::DashStyle::Solid });
                c.draw_arc({ 250, 40 }, 1.5f, 1.5f, 0, 360);
                c.draw_arc({ 200, 180 }, 500, 500, 180, 40); // mostly outside
            } },
        { "open and closed paths with sharp mitres across edges",
            [](Canvas& c) {
                const PointF zig[] = { { 10, 10 }, { 40, 190 }, { 70, 12 }, { 100, 188 }, { 130, 63 }, { 160, 66 },
                    { 190, 5 } };
                c.set_stroke({ 0xFF008000, 6, platform::DashStyle::Solid });
                c.draw_path(zig, 7, false);
                const PointF star[] = { { 240, 20 }, { 255, 120 }, { 290, 125 }, { 255, 135 }, { 240, 195 },
                    { 225, 135 }, { 190, 125 }, { 225, 120 } };
                c.set_stroke({ 0xFF800080, 4, platform::DashStyle::Dot });
                c.draw_path(star, 8, true);
                const PointF one[] = { { 150, 150 } };
                c.set_stroke({ 0xFF000000, 11, platform::DashStyle::Solid });
                c.draw_path(one, 1, false);
            } },
        { "filled polygons: solid, self-crossing, translucent",
            [](Canvas& c) {
                c.set_fill_color(0xFF3366CC);
                const PointF tri[] = { { 5, 5 }, { 295, 60 }, { 30, 195 } };
                c.fill_polygon(tri, 3);
                c.set_fill_color(0x90CC3300);
                const PointF bow[] = { { 100, 10 }, { 280, 190 }, { 280, 10 }, { 100, 190 } };
                c.fill_polygon(bow, 4);
            } },
        { "bitmap brush tiles line up with the picture's origin in every band",
            [](Canvas& c) {
                platform::Bitmap tile = checker_tile();
                c.set_fill_bitmap(tile);
                const PointF quad[] = { { 7.3f, 3.1f }, { 290, 20 }, { 250, 197 }, { 20, 170 } };
                c.fill_polygon(quad, 4);
                // Under a transform the tiles still follow the device origin.
                c.set_transform(Matrix::compose(Matrix::rotation(0.3), Matrix::translation(40, 10)));
                const PointF sq[] = { { 0, 0 }, { 100, 0 }, { 100, 100 }, { 0, 100 } };
                c.fill_polygon(sq, 4);
                c.set_transform({});
                c.set_fill_color(0xFF000000);
                const PointF small[] = { { 1, 1 }, { 9, 1 }, { 9, 9 } };
                c.fill_polygon(small, 3);
            } },
        { "linear and radial gradients across bands, also turned",
            [](Canvas& c) {
                platform::Gradient g;
                g.Start = { 0, 0 };
                g.End = { 1, 1 };
                g.Stops = { { 0, 0xFFFF0000 }, { 0.4, 0x8000FF00 }, { 1, 0xFF0000FF } };
                c.set_fill_gradient(g);
                const PointF quad[] = { { 5, 5 }, { 200, 12 }, { 180, 190 }, { 12, 150 } };
                c.fill_polygon(quad, 4);
                g.Type = platform::Gradient::Kind::Radial;
                g.Start = { 0.3f, 0.6f };
                c.set_fill_gradient(g);
                const PointF tri[] = { { 150, 20 }, { 295, 100 }, { 160, 195 } };
                c.fill_polygon(tri, 3);
                c.multiply_transform(Matrix::compose(Matrix::rotation(-0.5), Matrix::translation(60, 120)));
                c.multiply_transform(Matrix::scaling(1.5, 0.7));
                const PointF sq[] = { { 0, 0 }, { 80, 0 }, { 80, 80 }, { 0, 80 } };
                c.fill_polygon(sq, 4);
            } },
        { "text, straight and turned, small to huge, clipped and not",
            [](Canvas& c) {
                c.set_fill_color(0xFF000000);
                c.fill_text(u"図面 Text 寸法", { 3, 58, 290, 90 }, { "IPAGothic", 17, false, false });
                c.fill_text(u"ABCあいう", { 10, 120, 60, 135 }, { "IPAMincho", 30, true, false }); // clipped
                c.fill_text(u"斜体", { 200, 100, 290, 200 }, { "IPAGothic", 40, false, true });
                const Matrix prev = c.transform();
                c.multiply_transform(
                    Matrix::compose(Matrix::compose(Matrix::translation(-150, -100), Matrix::rotation(0.7)),
                        Matrix::translation(150, 100)));
                c.set_fill_color(0xC0A00000);
                c.fill_text(u"回転 turned", { 100, 90, 260, 120 }, { "IPAGothic", 22, false, false });
                c.set_transform(prev);
                // A glyph so large it is filled as a path, cut by the picture and by several bands.
                c.multiply_transform(Matrix::scaling(40, 40));
                c.set_fill_color(0xFF0040FF);
                c.fill_text(u"図", { 0, 0, 60, 60 }, { "IPAGothic", 30, false, false });
            } },
        // Cairo's rough test of which glyphs can meet a surface misses the corner of a turned glyph: a band
        // that only the corner enters must still draw it.
        { "a turned bold glyph of vertical writing, whose corner alone enters a band",
            [](Canvas& c) {
                c.set_fill_color(0xFF0000FF);
                c.set_transform({});
                c.multiply_transform({ -0.19866933079506069, -0.98006657784124174, 0.98006657784124174,
                    -0.19866933079506069, -54.018193497775485, 222.54207889620852 });
                c.fill_text(u"書", { 63.9693108f, 133.354462f, 95.7153397f, 165.100494f },
                    { "IPAGothic", 15.873f, true, false });
            } },
        { "bitmaps enlarged, shrunk, cut and turned",
            [](Canvas& c) {
                platform::Bitmap pic = picture(40, 30);
                c.draw_bitmap(pic, { 0, 0, 40, 30 }, { 5.5f, 3.25f, 180.7f, 140.2f });
                c.draw_bitmap(pic, { 10.5f, 5, 33, 29.5f }, { 190, 10, 210, 190 });
                platform::Bitmap big = picture(600, 400);
                c.draw_bitmap(big, { 0, 0, 600, 400 }, { 215, 20, 295, 75 });
                const Matrix prev = c.transform();
                c.multiply_transform(
                    Matrix::compose(Matrix::compose(Matrix::translation(-100, -150), Matrix::rotation(-0.4)),
                        Matrix::translation(100, 150)));
                c.draw_bitmap(pic, { 0, 0, 40, 30 }, { 100, 100, 220, 190 });
                c.set_transform(prev);
                c.draw_bitmap(pic, { 0, 0, 40, 30 }, { 290, 190, 250, 150 }); // mirrored both ways
            } },
        { "strokes under transforms set and multiplied, and refused matrices",
            [](Canvas& c) {
                c.set_transform(Matrix::compose(Matrix::scaling(2.5, 1.5), Matrix::translation(7.5, -3.25)));
                c.set_stroke({ 0xFF000000, 3, platform::DashStyle::Dash });
                c.draw_line({ 0, 10 }, { 110, 120 });
                c.multiply_transform(Matrix::rotation(0.2));
                c.multiply_transform(Matrix::scaling(0, 1)); // refused
                c.draw_ellipse({ 20, 20 }, { 90, 60 });
                c.multiply_transform(Matrix::translation(30, 10));
                const PointF tri[] = { { 10, 10 }, { 60, 80 }, { 5, 100 } };
                c.draw_path(tri, 3, true);
                c.set_transform(Matrix::scaling(1, std::nan("")));
                c.draw_rect({ 10, 10 }, { 40, 40 }, 4, 4);
                c.set_transform({});
                c.draw_line({ 0, 199 }, { 299, 0 });
            } },
    };
    return all;
}

class BandsMatchWhole : public ::testing::TestWithParam<int> { };

TEST_P(BandsMatchWhole, EveryKindOfCall)
{
    const int rows = GetParam();
    for (const Case& c : cases()) {
        const std::vector<uint8_t> whole = bandtest::whole_rgb(kW, kH, c.draw);
        ASSERT_EQ(whole.size(), size_t(kW * kH * 3)) << c.what;
        EXPECT_GT(bandtest::inked(whole), 100u) << c.what; // the case draws something to compare
        EXPECT_EQ(bandtest::first_difference(whole, bandtest::banded_rgb(kW, kH, c.draw, rows), kW), "")
            << c.what << ", bands of " << rows << " rows";
    }
}

// One row, a prime that puts edges everywhere, the finest index bucket, and the whole picture at once.
INSTANTIATE_TEST_SUITE_P(Rows, BandsMatchWhole, ::testing::Values(1, 7, 64, kH));

// Pictures wider than Cairo's surfaces are drawn in pieces side by side. Cairo shades a pixel row that an
// outline crosses at a surface's left or right side by another rule, so pieces cannot give the whole
// picture's bytes exactly; they stay within a few levels of it in a few pixels, and they give the same
// bytes whatever the band height.
TEST(BandsMatchWhole, PiecesNarrowerThanThePictureGiveTheSameBytesInAnyBands)
{
    constexpr int kPiece = 37;
    for (const Case& c : cases()) {
        const std::vector<uint8_t> whole = bandtest::whole_rgb(kW, kH, c.draw);
        const std::vector<uint8_t> pieces = bandtest::banded_rgb(kW, kH, c.draw, kH, kPiece);
        ASSERT_EQ(pieces.size(), whole.size()) << c.what;
        size_t off = 0;
        int worst = 0;
        for (size_t i = 0; i < whole.size(); ++i) {
            const int d = std::abs(int(whole[i]) - int(pieces[i]));
            off += d != 0;
            worst = std::max(worst, d);
        }
        EXPECT_LE(off, whole.size() / 200) << c.what;
        EXPECT_LE(worst, 48) << c.what;
        for (int rows : { 1, 7, 64 })
            EXPECT_EQ(bandtest::first_difference(pieces, bandtest::banded_rgb(kW, kH, c.draw, rows, kPiece), kW), "")
                << c.what << ", bands of " << rows << " rows";
    }
}

} // namespace
