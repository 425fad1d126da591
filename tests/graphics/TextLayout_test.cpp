// Tests of the shared text layout on the recording canvas: the cell, angle, mirroring and style of each
// glyph.
#include "graphics/TextLayout.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "globals/UnitVal.h"
#include "graphics/TextVariables.h"
#include "platform/Cp932.h"
#include "platform/DisplayList.h"

using platform::DisplayList;
using Op = DisplayList::Op;

namespace {

using std::numbers::pi;
constexpr double kScale = 10; // pixels per drawing unit
constexpr double kTol = 1e-3;
constexpr uint32_t kInk = 0xFF102030;

std::string u8(std::u16string_view s) { return platform::utf16_to_utf8(s); }

uint32_t test_pen_color(int n) { return 0xFF000000u | uint32_t(n) * 0x010101u; }

// One drawn glyph, read back from its Text record in drawing units.
struct Glyph {
    std::string text;
    double x = 0, y = 0; // where the text frame's origin (the cell's top-left before mirroring) lands
    double size = 0; // em height, drawing units
    double stretch = 0; // horizontal scale of the glyph frame, |w| / h
    double angle = 0; // direction of the glyph's baseline, 0..2π, y up
    bool mirrored = false;
    bool bold = false, italic = false;
    uint32_t color = 0;
    std::string family;
};

double world_x(double px) { return gDispX1 + px / kScale; }
double world_y(double py) { return gDispY1 + (gDispHeight - py) / kScale; }

std::vector<Glyph> glyphs(const DisplayList& c)
{
    std::vector<Glyph> out;
    for (const DisplayList::Record* r : c.of(Op::Text)) {
        Glyph g;
        g.text = u8(r->text);
        const platform::Matrix& m = r->transform;
        const platform::PointF o = m.apply({ r->rect.Left, r->rect.Top });
        g.x = world_x(o.X);
        g.y = world_y(o.Y);
        g.size = r->font.SizePx / kScale;
        g.stretch = std::hypot(m.xx, m.yx);
        g.angle = std::atan2(-m.yx, m.xx);
        if (g.angle < -1e-6)
            g.angle += 2 * pi;
        if (g.angle > 2 * pi - 1e-6)
            g.angle -= 2 * pi;
        g.mirrored = m.xx * m.yy - m.xy * m.yx < 0;
        g.bold = r->font.Bold;
        g.italic = r->font.Italic;
        g.color = r->fill_color;
        g.family = r->font.Family;
        out.push_back(g);
    }
    return out;
}

std::string texts(const std::vector<Glyph>& gs)
{
    std::string s;
    for (const Glyph& g : gs)
        s += g.text + "|";
    return s;
}

class TextLayout : public testing::Test {
protected:
    void SetUp() override
    {
        gDispX1 = 0;
        gDispY1 = 0;
        gDispX2 = 100;
        gDispY2 = 100;
        gDispScale = kScale;
        gDispWidth = 1000;
        gDispHeight = 1000;
        canvas.set_fill_color(kInk);
        canvas.set_stroke({ kInk, 1, platform::DashStyle::Solid });
        target.canvas = &canvas;
        target.dot = [this](double x, double y) { dots.push_back({ float(x), float(y) }); };
        target.pen_color = test_pen_color;
    }

    int text3(double x1, double y1, double x2, double y2, double h, double w, double sp, int ftyp,
        std::u16string_view f, std::u16string_view s)
    {
        return detail::draw_text3(target, x1, y1, x2, y2, h, w, sp, ftyp, f, s);
    }

    // A horizontal text from (10, 20) with h = 4, w = 4, sp = 0 unless given.
    int line(std::u16string_view s, double w = 4, double sp = 0, int ftyp = 0)
    {
        return text3(10, 20, 90, 20, 4, w, sp, ftyp, u"ＭＳ ゴシック", s);
    }

    DisplayList canvas { 1000, 1000 };
    detail::TextTarget target;
    std::vector<platform::PointF> dots;
};

void expect_cells(const std::vector<Glyph>& gs, std::initializer_list<double> xs, double top)
{
    ASSERT_EQ(gs.size(), xs.size());
    size_t i = 0;
    for (double x : xs) {
        SCOPED_TRACE(gs[i].text);
        EXPECT_NEAR(gs[i].x, x, kTol);
        EXPECT_NEAR(gs[i].y, top, kTol);
        ++i;
    }
}

} // namespace

// ---- Glyph boxes of GLAText1.

TEST_F(TextLayout, Text1BottomLeftAnchorPutsTheCornerOnThePoint)
{
    ASSERT_EQ(detail::draw_text1(target, 30, 40, 5, 5, 0, 0, u"日"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(gs.size(), 1u);
    EXPECT_NEAR(gs[0].x, 30, kTol);
    EXPECT_NEAR(gs[0].y, 45, kTol); // the top-left corner, h above the anchor
    EXPECT_NEAR(gs[0].size, 5, kTol);
    EXPECT_NEAR(gs[0].stretch, 1, kTol);
    EXPECT_NEAR(gs[0].angle, 0, kTol);
    EXPECT_FALSE(gs[0].mirrored);
    // The em box's bottom-left corner (one em below the origin in the glyph frame) is the anchor.
    const auto* r = canvas.last(Op::Text);
    const platform::PointF bl = r->transform.apply({ r->rect.Left, r->rect.Top + r->font.SizePx });
    EXPECT_NEAR(world_x(bl.X), 30, kTol);
    EXPECT_NEAR(world_y(bl.Y), 40, kTol);
    // Drawn in the canvas's fill colour, the transform restored afterwards.
    EXPECT_EQ(gs[0].color, kInk);
    EXPECT_EQ(canvas.transform().xx, 1);
    EXPECT_EQ(canvas.transform().x0, 0);
}

TEST_F(TextLayout, Text1NineAnchors)
{
    // Box of a full-width glyph: W = 6, h = 4; offsets (u, v) of its top-left corner from the anchor.
    struct Anchor {
        int Fm;
        double u, v;
    };
    const Anchor anchors[] = { { 0, 0, 4 }, { 1, -3, 4 }, { 2, -6, 4 }, { 3, 0, 2 }, { 4, -3, 2 }, { 5, -6, 2 },
        { 6, 0, 0 }, { 7, -3, 0 }, { 8, -6, 0 }, { 9, 0, 4 }, { -1, 0, 4 } };
    for (const Anchor& a : anchors) {
        SCOPED_TRACE(a.Fm);
        canvas.clear_records();
        ASSERT_EQ(detail::draw_text1(target, 50, 50, 4, 6, 0, a.Fm, u"漢"), 0);
        const auto gs = glyphs(canvas);
        ASSERT_EQ(gs.size(), 1u);
        EXPECT_NEAR(gs[0].x, 50 + a.u, kTol);
        EXPECT_NEAR(gs[0].y, 50 + a.v, kTol);
        EXPECT_NEAR(gs[0].stretch, 6.0 / 4, kTol);
    }
    // A half-width glyph's box is w / 2 wide: bottom-right anchor moves it by 3, not 6.
    canvas.clear_records();
    detail::draw_text1(target, 50, 50, 4, 6, 0, 2, u"A");
    EXPECT_NEAR(glyphs(canvas)[0].x, 47, kTol);
}

TEST_F(TextLayout, Text1TurnedBoxTurnsAboutTheAnchor)
{
    ASSERT_EQ(detail::draw_text1(target, 50, 50, 4, 4, pi / 2, 0, u"日"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(gs.size(), 1u);
    // Bottom-left on (50, 50), baseline pointing up: the top-left corner lies h to the left.
    EXPECT_NEAR(gs[0].x, 46, kTol);
    EXPECT_NEAR(gs[0].y, 50, kTol);
    EXPECT_NEAR(gs[0].angle, pi / 2, kTol);

    // Stretched and turned: the stretch acts along the glyph's own baseline (scaling before turning),
    // so the box is w along the line and h across it.
    canvas.clear_records();
    ASSERT_EQ(detail::draw_text1(target, 50, 50, 4, 8, pi / 2, 0, u"日"), 0);
    const auto* r = canvas.last(Op::Text);
    ASSERT_NE(r, nullptr);
    const platform::PointF o = r->transform.apply({ r->rect.Left, r->rect.Top });
    const platform::PointF end = r->transform.apply({ r->rect.Left + r->font.SizePx, r->rect.Top });
    const platform::PointF low = r->transform.apply({ r->rect.Left, r->rect.Top + r->font.SizePx });
    EXPECT_NEAR(world_x(end.X) - world_x(o.X), 0, kTol);
    EXPECT_NEAR(world_y(end.Y) - world_y(o.Y), 8, kTol);
    EXPECT_NEAR(world_x(low.X) - world_x(o.X), 4, kTol);
    EXPECT_NEAR(world_y(low.Y) - world_y(o.Y), 0, kTol);
}

TEST_F(TextLayout, Text1NegativeHeightMirrorsInTheSameBox)
{
    // Fm 0 becomes 6 for a mirrored glyph: the anchor is then the box's top-left corner.
    ASSERT_EQ(detail::draw_text1(target, 30, 40, -5, 5, 0, 0, u"日"), 0);
    auto gs = glyphs(canvas);
    ASSERT_EQ(gs.size(), 1u);
    EXPECT_TRUE(gs[0].mirrored);
    // The glyph frame's origin is flipped to the box's bottom-left, one em below the top at (30, 40).
    EXPECT_NEAR(gs[0].x, 30, kTol);
    EXPECT_NEAR(gs[0].y, 35, kTol);
    // Centre anchors are symmetric: the same box as unmirrored.
    canvas.clear_records();
    detail::draw_text1(target, 30, 40, -5, 5, 0, 4, u"日");
    gs = glyphs(canvas);
    EXPECT_NEAR(gs[0].x, 27.5, kTol);
    EXPECT_NEAR(gs[0].y, 37.5, kTol);
}

TEST_F(TextLayout, Text1EarlyResults)
{
    EXPECT_EQ(detail::draw_text1(target, 50, 50, 4, 4, 0, 0, u""), 2);
    EXPECT_EQ(detail::draw_text1(target, 50, 50, 4, 4, 0, 0, u" "), 2);
    EXPECT_EQ(detail::draw_text1(target, 50, 50, 4, 4, 0, 0, u"　"), 2);
    EXPECT_TRUE(dots.empty());
    // Outside the view on one side: nothing.
    EXPECT_EQ(detail::draw_text1(target, 150, 50, 4, 4, 0, 0, u"日"), 1);
    EXPECT_EQ(detail::draw_text1(target, 50, -10, 4, 4, 0, 0, u"日"), 1);
    EXPECT_EQ(canvas.count(Op::Text), 0u);
    // At most two pixels: a dot at the top-left corner.
    EXPECT_EQ(detail::draw_text1(target, 50, 50, 0.2, 4, 0, 0, u"日"), 2);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_NEAR(dots[0].X, 500, 1e-3);
    EXPECT_NEAR(dots[0].Y, 1000 - 502, 1e-3);
    EXPECT_EQ(canvas.count(Op::Text), 0u);
    EXPECT_EQ(detail::draw_text1(target, 50, 50, 4, NAN, 0, 0, u"日"), 1);
}

// A glyph cell larger than the view, with every corner outside it, still shows its middle.
TEST_F(TextLayout, Text1CellSpanningTheViewIsDrawn)
{
    gDispX1 = 40;
    gDispY1 = 40;
    gDispX2 = 60;
    gDispY2 = 60;
    EXPECT_EQ(detail::draw_text1(target, 10, 10, 80, 80, 0, 0, u"日"), 0);
    EXPECT_EQ(canvas.count(Op::Text), 1u);
}

// A narrow text must not lose the right half of its glyphs to the layout rectangle.
TEST_F(TextLayout, Text1RectangleHoldsTheWholeGlyphOfANarrowText)
{
    ASSERT_EQ(detail::draw_text1(target, 50, 50, 8, 2, 0, 0, u"日"), 0);
    const auto* r = canvas.last(Op::Text);
    ASSERT_NE(r, nullptr);
    // The em is 80 pixels in the unstretched frame; the rectangle must hold it.
    EXPECT_GE(r->rect.Right - r->rect.Left, r->font.SizePx);
    EXPECT_GE(r->rect.Bottom - r->rect.Top, r->font.SizePx);
}

// ---- Runs of GLAText2 and the layout markers of GLAText3.

TEST_F(TextLayout, PlainRunOneCellPerCharacter)
{
    ASSERT_EQ(line(u"AＢC", 4, 1), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(texts(gs), "A|Ｂ|C|");
    // A: 2 wide + 0.5 gap; Ｂ: 4 wide + 1 gap.
    expect_cells(gs, { 10, 12.5, 17.5 }, 24);
    for (const Glyph& g : gs) {
        EXPECT_EQ(g.family, "IPAGothic");
        EXPECT_NEAR(g.size, 4, kTol);
        EXPECT_NEAR(g.stretch, 1, kTol);
    }
}

TEST_F(TextLayout, TrailingHalfWidthDotSpreadsTheText)
{
    ASSERT_EQ(line(u"ABC･"), 0);
    expect_cells(glyphs(canvas), { 10, 13, 16 }, 24);
}

TEST_F(TextLayout, TrailingFullWidthDotsSpreadTheText)
{
    // Two dots: sp = (2 w + 0) / 2 x 2 = 8, so the cells start 6 apart and C ends where the dots would.
    ASSERT_EQ(line(u"ABC・・"), 0);
    expect_cells(glyphs(canvas), { 10, 16, 22 }, 24);
    // A dot that is not at the end is an ordinary character.
    canvas.clear_records();
    ASSERT_EQ(line(u"A・B"), 0);
    EXPECT_EQ(texts(glyphs(canvas)), "A|・|B|");
}

TEST_F(TextLayout, TrailingCaretDigitShortensTheText)
{
    ASSERT_EQ(line(u"ABCD^2"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(texts(gs), "A|B|C|D|");
    expect_cells(gs, { 10, 11, 12, 13 }, 24);
    EXPECT_NEAR(gs[0].stretch, 0.5, kTol);
    // Too short to shorten: m - K < 2, the marker still goes.
    canvas.clear_records();
    ASSERT_EQ(line(u"AB^1"), 0);
    expect_cells(glyphs(canvas), { 10, 12 }, 24);
}

TEST_F(TextLayout, NegativeWidthRunsBackwardsUpsideDown)
{
    ASSERT_EQ(text3(10, 20, 50, 20, 4, -4, 0, 0, u"MS Gothic", u"AB"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(texts(gs), "A|B|");
    for (const Glyph& g : gs) {
        EXPECT_NEAR(g.angle, pi, kTol);
        EXPECT_FALSE(g.mirrored);
    }
    // From (50, 20) leftwards: A's cell covers x 48..50 with its top-left (turned by π) at (50, 16).
    EXPECT_NEAR(gs[0].x, 50, kTol);
    EXPECT_NEAR(gs[0].y, 16, kTol);
    EXPECT_NEAR(gs[1].x, 48, kTol);
}

TEST_F(TextLayout, EarlyResultsOfTheWholeText)
{
    EXPECT_EQ(line(u"  　 \t"), 2);
    EXPECT_EQ(text3(10, 20, 90, 20, 0.02, 4, 0, 0, u"", u"ABC"), 2); // 0.2 pixels high
    EXPECT_EQ(text3(10, 20, 90, 20, 4, 0.05, 0, 0, u"", u"AB"), 2); // 1 pixel long
    EXPECT_EQ(text3(10, 20, 90, 20, 400, 4, 0, 0, u"", u"AB"), 1); // 4000 pixels high
    EXPECT_EQ(text3(10, 20, 90, 20, 4, 400, 0, 0, u"", u"AB"), 1); // 4000 pixels wide
    EXPECT_EQ(text3(10, 20, 90, 20, 4, INFINITY, 0, 0, u"", u"AB"), 1);
    EXPECT_EQ(canvas.drawn().size(), 0u);
    EXPECT_TRUE(dots.empty());
}

TEST_F(TextLayout, SurrogatePairIsOneFullWidthCharacter)
{
    ASSERT_EQ(line(u"A\U00020BB7B"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(gs.size(), 3u);
    EXPECT_EQ(gs[1].text, "\xF0\xA0\xAE\xB7");
    expect_cells(gs, { 10, 12, 16 }, 24);
}

// ---- Vertical writing.

TEST_F(TextLayout, VerticalWritingTables)
{
    // Downwards from (50, 80): full-width glyphs stand upright, brackets follow the line, "。" is mirrored.
    ASSERT_EQ(text3(50, 80, 50, 10, 4, 4, 0, 0, u"@ＭＳ 明朝", u"日（本）。A"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(texts(gs), "日|（|本|）|。|A|");
    const double down = 3 * pi / 2;
    EXPECT_NEAR(gs[0].angle, 0, kTol);
    EXPECT_NEAR(gs[1].angle, down, kTol);
    EXPECT_NEAR(gs[2].angle, 0, kTol);
    EXPECT_NEAR(gs[3].angle, down, kTol);
    EXPECT_NEAR(gs[4].angle, down, kTol);
    EXPECT_NEAR(gs[5].angle, down, kTol); // half-width characters follow the line
    for (int i : { 0, 1, 2, 3, 5 })
        EXPECT_FALSE(gs[size_t(i)].mirrored) << i;
    EXPECT_TRUE(gs[4].mirrored);
    EXPECT_EQ(gs[0].family, "IPAMincho");
    // The upright 日 fills the first cell: x 50..54 (the line's left side), y 80..76.
    EXPECT_NEAR(gs[0].x, 50, kTol);
    EXPECT_NEAR(gs[0].y, 80, kTol);
    // 本 is the third cell, two cells further down.
    EXPECT_NEAR(gs[2].y, 72, kTol);
}

TEST_F(TextLayout, VerticalWritingMovesSmallMarksOffTheLine)
{
    ASSERT_EQ(text3(50, 80, 50, 10, 4, 4, 0, 0, u"@MS Gothic", u"日．"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(gs.size(), 2u);
    EXPECT_NEAR(gs[1].angle, 0, kTol);
    // The centre is 1.8 x h / 2 off the line instead of h / 2: 0.8 x 2 further to the right.
    EXPECT_NEAR(gs[1].x - gs[0].x, 1.6, kTol);
}

TEST_F(TextLayout, AtSignsTurnByAQuarterEach)
{
    struct Case {
        const char16_t* font;
        double angle;
    };
    const Case cases[] = { { u"ＭＳ ゴシック", 0 }, { u"@ＭＳ ゴシック", pi / 2 }, { u"@@ＭＳ ゴシック", pi },
        { u"@@@ＭＳ ゴシック", 3 * pi / 2 }, { u"@@@@ＭＳ ゴシック", 0 }, { u"@@@@@ＭＳ ゴシック", 0 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(u8(c.font));
        canvas.clear_records();
        ASSERT_EQ(text3(10, 20, 90, 20, 4, 4, 0, 0, c.font, u"日"), 0);
        EXPECT_NEAR(glyphs(canvas)[0].angle, c.angle, kTol);
    }
}

// ---- Inline codes.

TEST_F(TextLayout, SuperscriptRaisedHalfSize)
{
    ASSERT_EQ(line(u"H^u2O"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(texts(gs), "H|2|O|");
    EXPECT_NEAR(gs[0].x, 10, kTol);
    EXPECT_NEAR(gs[0].size, 4, kTol);
    // Half height, raised by h / 2: its top is the line's top.
    EXPECT_NEAR(gs[1].x, 12, kTol);
    EXPECT_NEAR(gs[1].y, 24, kTol);
    EXPECT_NEAR(gs[1].size, 2, kTol);
    EXPECT_NEAR(gs[1].stretch, 2, kTol); // a half-width glyph keeps w: cell 2 wide, 2 high
    EXPECT_NEAR(gs[2].x, 14, kTol);
    EXPECT_NEAR(gs[2].size, 4, kTol);
}

TEST_F(TextLayout, SubscriptAndCentredHalfSize)
{
    ASSERT_EQ(line(u"H^d２^c3"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(texts(gs), "H|２|3|");
    // Subscript: on the line; a full-width character also gets half the width.
    EXPECT_NEAR(gs[1].x, 12, kTol);
    EXPECT_NEAR(gs[1].y, 22, kTol);
    EXPECT_NEAR(gs[1].stretch, 1, kTol);
    // Centred: raised by h / 4, after the pen moved (w + sp) / 2.
    EXPECT_NEAR(gs[2].x, 14, kTol);
    EXPECT_NEAR(gs[2].y, 23, kTol);
}

TEST_F(TextLayout, OverstrikeCodesCentreOnThePreviousCell)
{
    struct Case {
        const char16_t* text;
        double x; // the placed glyph's cell left
        double top; // and top
        double size; // em height
    };
    // The previous character "日" spans x 10..14 with a gap of 1 (sp = 1) behind it; pen at 15.
    const Case cases[] = {
        { u"日^nA", 11, 24, 4 }, // A (2 wide) centred on 12
        { u"日^n口", 10, 24, 4 }, // 口 (4 wide) centred on 12
        { u"日^bA", 11.5, 24, 4 }, // shifted by 2 / 4
        { u"日^b口", 11, 24, 4 }, // shifted by 4 / 4
        { u"日^BA", 11.4, 24, 4 }, // shifted by 2 / 5
        { u"日^B口", 10.8, 24, 4 }, // shifted by 4 / 5
        { u"日^oA", 11.5, 23, 2 }, // half size (1 wide) centred, raised by h / 4
        { u"日^o口", 11, 23, 2 }, // half size (2 wide)
        { u"日^wA", 11.5, 23, 2 }, // a single half-width character: as "^o"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(u8(c.text));
        canvas.clear_records();
        ASSERT_EQ(line(c.text, 4, 1), 0);
        const auto gs = glyphs(canvas);
        ASSERT_EQ(gs.size(), 2u);
        EXPECT_NEAR(gs[1].x, c.x, kTol);
        EXPECT_NEAR(gs[1].y, c.top, kTol);
        EXPECT_NEAR(gs[1].size, c.size, kTol);
    }
    // The pen does not advance: the next character follows the first one's gap.
    canvas.clear_records();
    ASSERT_EQ(line(u"日^nAB", 4, 1), 0);
    EXPECT_NEAR(glyphs(canvas)[2].x, 15, kTol);
}

TEST_F(TextLayout, PairOfHalfWidthCharactersCentredAsOne)
{
    ASSERT_EQ(line(u"○^w12X"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(texts(gs), "○|1|2|X|");
    // ○ spans 10..14; the pair is 1 + 1 wide, centred on 12, half height raised by h / 4.
    EXPECT_NEAR(gs[1].x, 11, kTol);
    EXPECT_NEAR(gs[2].x, 12, kTol);
    EXPECT_NEAR(gs[1].y, 23, kTol);
    EXPECT_NEAR(gs[1].size, 2, kTol);
    EXPECT_NEAR(gs[3].x, 14, kTol);
}

TEST_F(TextLayout, OverstrikeAtTheStartCentresOnThePen)
{
    ASSERT_EQ(line(u"^nA"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(gs.size(), 1u);
    EXPECT_NEAR(gs[0].x, 9, kTol);
}

TEST_F(TextLayout, StyleCodes)
{
    ASSERT_EQ(line(u"a^!b^/c^#d", 4, 0, 2), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(texts(gs), "a|b|c|d|");
    EXPECT_FALSE(gs[0].bold);
    EXPECT_TRUE(gs[0].italic); // the entity's own style
    EXPECT_TRUE(gs[1].bold);
    EXPECT_TRUE(gs[2].bold);
    EXPECT_TRUE(gs[2].italic);
    EXPECT_FALSE(gs[3].bold); // back to Ftyp
    EXPECT_TRUE(gs[3].italic);
    expect_cells(gs, { 10, 12, 14, 16 }, 24);
}

TEST_F(TextLayout, UnderlineAndStrikeoutDrawLinesInTheGlyphFrame)
{
    ASSERT_EQ(line(u"a^_b^-c"), 0);
    const auto lines = canvas.of(Op::Line);
    // b underlined; c underlined and struck out.
    ASSERT_EQ(lines.size(), 3u);
    for (const auto* l : lines)
        EXPECT_EQ(l->stroke.Color, kInk);
    // The underline of b spans its cell, x 12..14, near the bottom of the line.
    const platform::PointF a = lines[0]->transform.apply(lines[0]->pts[0]);
    const platform::PointF b = lines[0]->transform.apply(lines[0]->pts[1]);
    EXPECT_NEAR(world_x(a.X), 12, kTol);
    EXPECT_NEAR(world_x(b.X), 14, kTol);
    EXPECT_GT(world_y(a.Y), 20);
    EXPECT_LT(world_y(a.Y), 21);
    EXPECT_EQ(canvas.transform().xx, 1); // restored after the lines too
}

TEST_F(TextLayout, ColourSwitch)
{
    ASSERT_EQ(line(u"A^$3B^$9C"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(texts(gs), "A|B|C|");
    EXPECT_EQ(gs[0].color, kInk);
    EXPECT_EQ(gs[1].color, test_pen_color(3));
    EXPECT_EQ(gs[2].color, test_pen_color(9));
    EXPECT_EQ(canvas.stroke().Color, test_pen_color(9));
    expect_cells(gs, { 10, 12, 14 }, 24);
}

TEST_F(TextLayout, CodesSwitchedOffUntilDoubleCaret)
{
    ASSERT_EQ(line(u"A^*B^!C^^D^!E"), 0);
    const auto gs = glyphs(canvas);
    ASSERT_EQ(texts(gs), "A|B|^|!|C|D|E|");
    for (size_t i = 0; i < 6; ++i)
        EXPECT_FALSE(gs[i].bold) << i;
    EXPECT_TRUE(gs[6].bold);
    expect_cells(gs, { 10, 12, 14, 16, 18, 20, 22 }, 24);
}

TEST_F(TextLayout, LiteralCaretCases)
{
    struct Case {
        const char16_t* text;
        const char* glyphs;
    };
    const Case cases[] = {
        { u"A^", "A|^|" }, // at the end
        { u"A^q", "A|^|q|" }, // not a code
        { u"A^^B", "A|^|^|B|" }, // "^^" while codes are on
        { u"A^$xB", "A|^|$|x|B|" }, // "^$" without a digit
        { u"A^$0", "A|^|$|0|" },
        { u"A^u", "A|^|u|" }, // placement code at the end
        { u"A^d^!B", "A|^|d|B|" }, // followed by "^": literal, then the code
        { u"○^wＡ", "○|^|w|Ａ|" }, // "^w" before a full-width character
        { u"^", "^|" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(u8(c.text));
        canvas.clear_records();
        line(c.text);
        EXPECT_EQ(texts(glyphs(canvas)), c.glyphs);
        EXPECT_EQ(canvas.stroke().Color, kInk);
    }
    // Literal pairs stay in their run: positions continue cell by cell.
    canvas.clear_records();
    line(u"A^qB");
    expect_cells(glyphs(canvas), { 10, 12, 14, 16 }, 24);
}

TEST_F(TextLayout, ResultIsOneWhenNoRunWasDrawn)
{
    // Every run lies outside the view.
    EXPECT_EQ(text3(200, 20, 290, 20, 4, 4, 0, 0, u"", u"A^!B"), 1);
    EXPECT_EQ(text3(10, 20, 90, 20, 4, 4, 0, 0, u"", u"^! "), 1);
    EXPECT_EQ(text3(10, 20, 90, 20, 4, 4, 0, 0, u"", u"A^!B"), 0);
}

// ---- Text variables inside the layout.

TEST_F(TextLayout, MatchedVariableIsOnePlainRun)
{
    gRefList = { { u"%%X", u"a^!b" } };
    gRefCount = 1;
    ASSERT_EQ(line(u"%%X"), 0);
    auto gs = glyphs(canvas);
    EXPECT_EQ(texts(gs), "a|^|!|b|");
    EXPECT_FALSE(gs[2].bold);

    // A "%%" text with no entry is drawn as written, codes and all.
    canvas.clear_records();
    ASSERT_EQ(line(u"%%Y^!Z"), 0);
    EXPECT_EQ(texts(glyphs(canvas)), "%|%|Y|^|!|Z|");

    // Markers come off before the lookup.
    canvas.clear_records();
    ASSERT_EQ(line(u"%%X･"), 0);
    EXPECT_EQ(texts(glyphs(canvas)), "a|^|!|b|");
    gRefList.clear();
    gRefCount = 0;
}

TEST_F(TextLayout, FileNameVariable)
{
    gFilePath = u"C:\\Work\\Site A\\plan.jww";
    ASSERT_EQ(line(u"$F1"), 0);
    // The blank between the words is a cell without a glyph.
    auto gs = glyphs(canvas);
    EXPECT_EQ(texts(gs), "S|i|t|e|A|");
    EXPECT_NEAR(gs[4].x, 20, kTol);
    canvas.clear_records();
    // Not a token with a trailing blank: drawn as written.
    ASSERT_EQ(line(u"%F "), 0);
    EXPECT_EQ(texts(glyphs(canvas)), "%|F|");
    gFilePath.clear();
}

// ---- The M7 renderer's rules.

TEST_F(TextLayout, M7RulesClassesColoursAndBaseLine)
{
    std::vector<std::array<double, 4>> base_lines;
    target.rules.double_byte_classes = true;
    target.rules.era_tokens = false;
    target.pen_color = detail::m7_text_color;
    target.base_line = [&](double x1, double y1, double x2, double y2) { base_lines.push_back({ x1, y1, x2, y2 }); };

    // "é" has no code page 932 form: one byte ("?"), so half-width; a surrogate pair is two characters.
    ASSERT_EQ(line(u"éＡ\U00020BB7^$3x"), 0);
    auto gs = glyphs(canvas);
    ASSERT_EQ(gs.size(), 5u);
    expect_cells(gs, { 10, 12, 16, 18, 20 }, 24);
    EXPECT_EQ(gs[4].color, 0xFF00AA37u);

    // Too small or too large: the base line is stroked; blank: nothing.
    EXPECT_EQ(text3(10, 20, 90, 30, 0.02, 4, 0, 0, u"", u"AB"), 2);
    EXPECT_EQ(text3(10, 20, 90, 30, 400, 4, 0, 0, u"", u"AB"), 1);
    EXPECT_EQ(text3(10, 20, 90, 30, 4, 4, 0, 0, u"", u"  "), 2);
    ASSERT_EQ(base_lines.size(), 2u);
    EXPECT_EQ(base_lines[0][2], 90);
    EXPECT_EQ(base_lines[1][3], 30);

    // Era tokens stay as written.
    canvas.clear_records();
    ASSERT_EQ(line(u"$E"), 0);
    EXPECT_EQ(texts(glyphs(canvas)), "$|E|");
}

TEST(TextLayoutHelpers, M7ColourTable)
{
    const uint32_t expected[] = { 0xFF009595, 0xFF000000, 0xFF00AA37, 0xFFC0C000, 0xFFC000C0, 0xFF0000FF, 0xFFFF00FF,
        0xFF00FFFF, 0xFF00FF00 };
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(detail::m7_text_color(n), expected[n - 1]) << n;
}

TEST(TextLayoutHelpers, ColumnsAndNominalWidth)
{
    const detail::TextRules jw;
    const auto chars = detail::split_text_chars(u"Aあ\U00020BB7ｱ", jw);
    ASSERT_EQ(chars.size(), 4u);
    EXPECT_EQ(detail::text_columns(chars, chars.size()), 6);
    // 2 + 0.5 + 4 + 1 + 4 + 1 + 2 with w = 4, sp = 1.
    EXPECT_DOUBLE_EQ(detail::text_nominal_width(chars, 4, 1), 14.5);
    EXPECT_DOUBLE_EQ(detail::text_nominal_width({}, 4, 1), 0);
    // A lone surrogate is a character of its own, full-width.
    const auto lone = detail::split_text_chars(u"\xD842"
                                               u"A",
        jw);
    ASSERT_EQ(lone.size(), 2u);
    EXPECT_TRUE(lone[0].full);
}

// Texts made of codes, markers, surrogate halves and blanks in any order, with odd sizes: every call
// returns a result code and every glyph drawn is a real character under a finite transform.
TEST_F(TextLayout, ArbitraryTextsAndSizesStayWellFormed)
{
    const char16_t alphabet[] = { u'^', u'^', u'$', u'*', u'u', u'w', u'n', u'o', u'b', u'B', u'!', u'#', u'3', u'0',
        u'A', u' ', u'･', u'・', u'・', u'あ', u'（', u'。', 0x3000, 0x01, 0xD842, 0xDFB7, u'%', u'&', u'F', u'E' };
    const double sizes[] = { 4, -4, 0.5, 0, -0.01, 250, 1e-9, 3 };
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int round = 0; round < 3000; ++round) {
        std::u16string s;
        const int n = int(next() % 12);
        for (int k = 0; k < n; ++k)
            s.push_back(alphabet[next() % std::size(alphabet)]);
        const double h = sizes[next() % std::size(sizes)], w = sizes[next() % std::size(sizes)];
        const double sp = sizes[next() % std::size(sizes)];
        const bool m7 = next() % 2 == 0;
        target.rules.double_byte_classes = m7;
        target.rules.era_tokens = !m7;
        const std::u16string font = next() % 3 == 0 ? u"@@@@@@ＭＳ 明朝" : u"MS Gothic";
        canvas.clear_records();
        const int r = text3(
            10, 20, 10 + double(next() % 30), 20 - double(next() % 30), h, w, sp, int(next() % 16), font, s);
        SCOPED_TRACE(u8(s));
        EXPECT_GE(r, 0);
        EXPECT_LE(r, 2);
        for (const auto* rec : canvas.of(Op::Text)) {
            EXPECT_FALSE(rec->text.empty());
            EXPECT_TRUE(std::isfinite(rec->transform.xx) && std::isfinite(rec->transform.x0)
                && std::isfinite(rec->transform.y0) && std::isfinite(rec->font.SizePx));
        }
        EXPECT_EQ(canvas.transform().xx, 1);
    }
}

namespace {

// A text of n copies of s, every cell on the same spot: its spacing takes back each advance.
std::u16string repeated(std::u16string_view s, int n)
{
    std::u16string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

} // namespace

// Without the budget every glyph of a text is drawn however many pile onto the same pixels. The view holds
// 1000 x 1000 pixels, so a text may paint 16e6 pixels of cells.
TEST_F(TextLayout, GlyphsPiledOntoEachOtherStopAtTheBudget)
{
    const struct {
        const char* what;
        double size; // cell height and width, drawing units (10 pixels each)
        double sp;
        std::u16string text;
        size_t drawn;
    } cases[] = {
        { "400-pixel cells stacked", 40, -40, repeated(u"図", 2000), 100 },
        { "cells larger than the view count as the view", 250, -250, repeated(u"図", 40), 16 },
        { "runs between codes share the budget", 40, -40, repeated(u"図^!", 2000), 100 },
        { "side by side, all shown", 10, 0, repeated(u"図", 9), 9 },
        { "side by side, larger than the view", 90, 0, repeated(u"図", 5), 2 },
    };
    for (const auto& c : cases) {
        canvas.clear_records();
        text3(5, 5, 95, 5, c.size, c.size, c.sp, 0, u"ＭＳ ゴシック", c.text);
        EXPECT_EQ(canvas.count(Op::Text), c.drawn) << c.what;
    }
}
