// Pixel tests of CairoCanvas::fill_text: Japanese glyphs from the IPA fonts land in their cells, and nowhere
// else.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "platform/Bitmap.h"
#include "platform/CairoCanvas.h"
#include "platform/Fonts.h"

using platform::Bitmap;
using platform::CairoCanvas;
using platform::FontSpec;
using platform::RectF;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

bool is_ink(uint32_t argb)
{
    // Anything visibly darker than the white background.
    const int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return r + g + b < 3 * 200;
}

struct Box {
    int x0, y0, x1, y1; // half-open
    bool contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

int ink_inside(const Bitmap& bm, const Box& b)
{
    int n = 0;
    for (int y = b.y0; y < b.y1; ++y)
        for (int x = b.x0; x < b.x1; ++x)
            n += is_ink(bm.pixel(x, y));
    return n;
}

int ink_outside(const Bitmap& bm, const Box* boxes, int count)
{
    int n = 0;
    for (int y = 0; y < bm.height(); ++y)
        for (int x = 0; x < bm.width(); ++x) {
            bool in = false;
            for (int i = 0; i < count; ++i)
                in = in || boxes[i].contains(x, y);
            n += !in && is_ink(bm.pixel(x, y));
        }
    return n;
}

} // namespace

TEST(CairoText, JapaneseLineInkStaysInItsCells)
{
    Bitmap bm;
    ASSERT_TRUE(bm.resize(320, 80));
    CairoCanvas c(bm);
    c.clear(kWhite);
    c.set_fill_color(0xFF000000);

    // One character per 40-pixel cell, as the renderer draws text.
    const std::u16string line = u"日本語の図面";
    const FontSpec font { platform::font_family_for(u"ＭＳ ゴシック"), 40, false, false };
    Box cells[6];
    for (int i = 0; i < 6; ++i) {
        const float left = 20 + 45.0f * i;
        c.fill_text(line.substr(size_t(i), 1), RectF { left, 20, left + 80, 100 }, font);
        cells[i] = { int(left), 20, int(left) + 40, 60 };
    }

    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        // A kanji covers a good part of its em box; a box glyph (missing font) would be a thin outline.
        EXPECT_GT(ink_inside(bm, cells[i]), 40 * 40 / 10);
    }
    EXPECT_EQ(ink_outside(bm, cells, 6), 0);
}

TEST(CairoText, DrawsInTheFillColour)
{
    Bitmap bm;
    ASSERT_TRUE(bm.resize(60, 60));
    CairoCanvas c(bm);
    c.clear(kWhite);
    c.set_fill_color(0xFFFF0000);
    c.fill_text(u"■", RectF { 10, 10, 110, 110 }, FontSpec { "IPAGothic", 40, false, false });
    // The centre of a full block glyph is solid red.
    EXPECT_EQ(bm.pixel(30, 30), 0xFFFF0000u);
}

TEST(CairoText, ClipsToTheRectangle)
{
    Bitmap bm;
    ASSERT_TRUE(bm.resize(100, 100));
    CairoCanvas c(bm);
    c.clear(kWhite);
    c.set_fill_color(0xFF000000);
    // The rectangle is half the glyph's width: the right half of the block is cut away.
    c.fill_text(u"■", RectF { 10, 10, 40, 90 }, FontSpec { "IPAGothic", 60, false, false });
    const Box kept { 10, 10, 40, 90 };
    EXPECT_GT(ink_inside(bm, kept), 20 * 20);
    EXPECT_EQ(ink_outside(bm, &kept, 1), 0);
}

// Columns [first, last] holding ink, or {-1, -1}.
std::pair<int, int> ink_columns(const Bitmap& bm)
{
    int first = -1, last = -1;
    for (int x = 0; x < bm.width(); ++x)
        for (int y = 0; y < bm.height(); ++y)
            if (is_ink(bm.pixel(x, y))) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return { first, last };
}

TEST(CairoText, FollowsTheCanvasTransform)
{
    const FontSpec font { "IPAGothic", 40, false, false };
    Bitmap plain_bm;
    ASSERT_TRUE(plain_bm.resize(120, 120));
    CairoCanvas plain(plain_bm);
    plain.clear(kWhite);
    plain.set_fill_color(0xFF000000);
    plain.fill_text(u"■", RectF { 10, 10, 90, 90 }, font);

    Bitmap bm;
    ASSERT_TRUE(bm.resize(120, 120));
    CairoCanvas c(bm);
    c.clear(kWhite);
    c.set_fill_color(0xFF000000);
    // Stretch horizontally by 2 about (10, 10): the glyph becomes twice as wide and keeps its height.
    c.multiply_transform(platform::Matrix::compose(
        platform::Matrix::compose(platform::Matrix::translation(-10, -10), platform::Matrix::scaling(2, 1)),
        platform::Matrix::translation(10, 10)));
    c.fill_text(u"■", RectF { 10, 10, 90, 90 }, font);
    c.set_transform(platform::Matrix {});

    const auto [p0, p1] = ink_columns(plain_bm);
    const auto [s0, s1] = ink_columns(bm);
    ASSERT_GE(p0, 10);
    EXPECT_NEAR(s0 - 10, 2 * (p0 - 10), 2);
    EXPECT_NEAR(s1 - s0, 2 * (p1 - p0), 3);
    const Box cell { 10, 10, 90, 50 };
    EXPECT_EQ(ink_outside(bm, &cell, 1), 0);
}

TEST(CairoText, SlantsItalicWhenTheFamilyHasNoItalic)
{
    Bitmap up_bm, it_bm;
    ASSERT_TRUE(up_bm.resize(80, 80));
    ASSERT_TRUE(it_bm.resize(80, 80));
    CairoCanvas up(up_bm), it(it_bm);
    for (CairoCanvas* c : { &up, &it }) {
        c->clear(kWhite);
        c->set_fill_color(0xFF000000);
    }
    up.fill_text(u"■", RectF { 10, 10, 90, 90 }, FontSpec { "IPAGothic", 40, false, false });
    it.fill_text(u"■", RectF { 10, 10, 90, 90 }, FontSpec { "IPAGothic", 40, false, true });
    // A slanted block reaches further right at its top than at its bottom.
    auto right_end = [](const Bitmap& bm, int y) {
        int last = -1;
        for (int x = 0; x < bm.width(); ++x)
            if (is_ink(bm.pixel(x, y)))
                last = x;
        return last;
    };
    EXPECT_NEAR(right_end(up_bm, 18), right_end(up_bm, 40), 1);
    EXPECT_GT(right_end(it_bm, 18), right_end(it_bm, 40) + 3);
}

TEST(CairoText, IgnoresEmptyAndDegenerateCalls)
{
    Bitmap bm;
    ASSERT_TRUE(bm.resize(40, 40));
    CairoCanvas c(bm);
    c.clear(kWhite);
    c.set_fill_color(0xFF000000);
    const FontSpec ok { "IPAGothic", 20, false, false };
    c.fill_text(u"", RectF { 0, 0, 40, 40 }, ok);
    c.fill_text(u"■", RectF { 0, 0, 0, 40 }, ok);
    c.fill_text(u"■", RectF { 0, 0, 40, 40 }, FontSpec { "IPAGothic", 0, false, false });
    c.fill_text(u"■", RectF { 0, 0, 40, 40 }, FontSpec { "IPAGothic", NAN, false, false });
    c.fill_text(u"■", RectF { NAN, 0, 40, 40 }, ok);
    const Box none { 0, 0, 0, 0 };
    EXPECT_EQ(ink_outside(bm, &none, 1), 0);
}
