// Tests of TGraph2's text operations: the Jw renderer's own rules, and real glyphs on a Cairo canvas.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Bitmap.h"
#include "platform/CairoCanvas.h"
#include "platform/DisplayList.h"
#include "platform/Fonts.h"

using platform::DisplayList;
using Op = DisplayList::Op;

namespace {

void set_view(double scale, double height)
{
    gDispX1 = 0;
    gDispY1 = 0;
    gDispScale = scale;
    gDispHeight = height;
    gDispWidth = 100 * scale;
    gDispX2 = gDispWidth / scale;
    gDispY2 = height / scale;
}

class GraUnit2Text : public testing::Test {
protected:
    void SetUp() override
    {
        set_view(10, 1000);
        atts = std::make_unique<TgraAttribute>();
        gGraAtt = atts.get();
    }
    void TearDown() override { gGraAtt = nullptr; }

    std::unique_ptr<TgraAttribute> atts;
};

bool is_ink(uint32_t argb)
{
    const int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return r + g + b < 3 * 200;
}

} // namespace

TEST_F(GraUnit2Text, ColourSwitchTakesPenColourNumbers)
{
    gGraAtt->SetAttrCol(3, 0xFF123456u);
    DisplayList c(1000, 1000);
    TGraph2 g(&c);
    g.GPenSet(0xFF000000, 0, 1);
    ASSERT_EQ(g.GLAText3(10, 20, 90, 20, 4, 4, 0, 0, u"ＭＳ ゴシック", u"A^$3B"), 0);
    const auto t = c.of(Op::Text);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0]->fill_color, 0xFF000000u);
    EXPECT_EQ(t[1]->fill_color, 0xFF123456u);
    EXPECT_EQ(c.stroke().Color, 0xFF123456u);
}

TEST_F(GraUnit2Text, TinyGlyphIsADotInThePenColour)
{
    DisplayList c(1000, 1000);
    TGraph2 g(&c);
    g.GPenSet(0xFF00FF00, 0, 3);
    EXPECT_EQ(g.GLAText1(50, 50, 0.1, 4, 0, 0, u"日"), 2);
    const auto lines = c.of(Op::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->stroke.Color, 0xFF00FF00u);
    EXPECT_EQ(lines[0]->stroke.Thickness, 1.0f); // the one-pixel dot pen, not the 3-pixel pen
    EXPECT_EQ(c.count(Op::Text), 0u);
}

TEST_F(GraUnit2Text, SmallTextDrawsNothingAtAll)
{
    // Unlike the M7 renderer, the Jw renderer strokes no base line for a text it cannot draw.
    DisplayList c(1000, 1000);
    TGraph2 g(&c);
    EXPECT_EQ(g.GLAText3(10, 20, 90, 20, 0.1, 4, 0, 0, u"", u"ABC"), 2);
    EXPECT_EQ(g.GLAText3(10, 20, 90, 20, 400, 4, 0, 0, u"", u"ABC"), 1);
    EXPECT_TRUE(c.drawn().empty());
}

TEST_F(GraUnit2Text, Text2DrawsOneGlyphPerCell)
{
    DisplayList c(1000, 1000);
    TGraph2 g(&c);
    ASSERT_EQ(g.GLAText2(10, 20, 0, 4, 4, 0, 1, u"MS Mincho", u"図面"), 0);
    const auto t = c.of(Op::Text);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0]->font.Family, "IPAMincho");
    EXPECT_TRUE(t[0]->font.Bold);
    EXPECT_EQ(t[1]->text, u"面");
}

// A line of Japanese text through the whole path: ink in every cell, none outside the cells.
TEST_F(GraUnit2Text, JapaneseTextOnCairoInkOnlyInItsCells)
{
    set_view(4, 200); // 400 x 200 pixels, 100 x 50 drawing units
    platform::Bitmap bm;
    ASSERT_TRUE(bm.resize(400, 200));
    platform::CairoCanvas c(bm);
    TGraph2 g(&c);
    g.GCls(0xFFFFFFFF);
    g.GPenSet(0xFF000000, 0, 1);

    // Seven full-width characters from (10, 10): h = w = 8, gap 2, so cell i spans x 10 + 10 i .. 18 + 10 i.
    const std::u16string text = u"日本語の図面枠";
    ASSERT_EQ(g.GLAText3(10, 10, 90, 10, 8, 8, 2, 0, u"ＭＳ ゴシック", text), 0);

    auto cell_of = [](int x, int y) {
        // Device pixels back to drawing units; a pixel of antialiasing is allowed around each cell.
        const double wx = (x + 0.5) / 4, wy = (200 - (y + 0.5)) / 4;
        if (wy < 10 - 0.25 || wy > 18 + 0.25)
            return -1;
        for (int i = 0; i < 7; ++i)
            if (wx >= 10 + 10 * i - 0.25 && wx <= 18 + 10 * i + 0.25)
                return i;
        return -1;
    };
    int ink[7] = {};
    int outside = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x) {
            if (!is_ink(bm.pixel(x, y)))
                continue;
            const int i = cell_of(x, y);
            if (i < 0)
                ++outside;
            else
                ++ink[i];
        }
    EXPECT_EQ(outside, 0);
    for (int i = 0; i < 7; ++i)
        EXPECT_GT(ink[i], 32 * 32 / 10) << "cell " << i;
}

// A drawing with many texts opens each font once: faces are cached by family and style.
TEST_F(GraUnit2Text, ManyTextsOpenEachFontOnce)
{
    set_view(4, 200);
    platform::Bitmap bm;
    ASSERT_TRUE(bm.resize(400, 200));
    platform::CairoCanvas c(bm);
    TGraph2 g(&c);
    g.GPenSet(0xFF000000, 0, 1);
    const char16_t* fonts[] = { u"ＭＳ ゴシック", u"ＭＳ 明朝", u"MS PGothic" };
    // Warm the cache with every family and style the loop uses, then count what the loop adds.
    for (const char16_t* f : fonts)
        for (int style : { 0, 1 })
            g.GLAText3(10, 10, 90, 10, 8, 8, 2, style, f, u"字");
    const size_t before = platform::font_cache().lookups();
    for (int i = 0; i < 3000; ++i)
        g.GLAText3(10, 10 + i % 30, 90, 10 + i % 30, 8, 8, 2, i % 2, fonts[i % 3], u"図面A");
    EXPECT_EQ(platform::font_cache().lookups(), before);
}
