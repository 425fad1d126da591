// The display list as the renderer tests read it: canvas state kept, every call logged with that state.
#include "platform/DisplayList.h"

#include <gtest/gtest.h>

#include "platform/Bitmap.h"

using platform::DisplayList;
using platform::Matrix;
using platform::PointF;
using Op = DisplayList::Op;

TEST(DisplayList, LogsCallsWithTheStateInForce)
{
    DisplayList c(200, 100);
    EXPECT_EQ(c.width(), 200);
    EXPECT_EQ(c.height(), 100);

    c.begin_scene();
    c.clear(0xFFFFFFFF);
    c.set_stroke({ 0xFFFF0000, 2.5f, platform::DashStyle::Dash });
    c.draw_line({ 1, 2 }, { 3, 4 });
    c.draw_line({ 5, 6 }, { 7, 8 }, { 0xFF00FF00, 1, platform::DashStyle::Solid });
    c.set_fill_color(0xFF0000FF);
    const PointF tri[] = { { 0, 0 }, { 10, 0 }, { 0, 10 } };
    c.fill_polygon(tri, 3);
    c.draw_arc({ 50, 50 }, 10, 5, 30, -90);
    c.end_scene();

    ASSERT_EQ(c.records().size(), 9u);
    EXPECT_EQ(c.count(Op::Line), 2u);
    EXPECT_EQ(c.drawn().size(), 5u);

    const auto lines = c.of(Op::Line);
    EXPECT_EQ(lines[0]->pts[1].X, 3);
    EXPECT_EQ(lines[0]->stroke.Color, 0xFFFF0000u);
    EXPECT_EQ(lines[0]->stroke.Thickness, 2.5f);
    EXPECT_EQ(lines[0]->stroke.Dash, platform::DashStyle::Dash);
    // A line with its own stroke records that stroke and leaves the current one alone.
    EXPECT_EQ(lines[1]->stroke.Color, 0xFF00FF00u);
    EXPECT_EQ(c.stroke().Color, 0xFFFF0000u);

    const auto* poly = c.last(Op::FillPolygon);
    ASSERT_NE(poly, nullptr);
    EXPECT_EQ(poly->pts.size(), 3u);
    EXPECT_EQ(poly->fill_kind, DisplayList::FillKind::Color);
    EXPECT_EQ(poly->fill_color, 0xFF0000FFu);
    EXPECT_EQ(c.fill_color(), 0xFF0000FFu);

    const auto* arc = c.last(Op::Arc);
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(arc->rx, 10);
    EXPECT_EQ(arc->ry, 5);
    EXPECT_EQ(arc->start_deg, 30);
    EXPECT_EQ(arc->sweep_deg, -90);
    EXPECT_EQ(c.last(Op::Text), nullptr);
}

TEST(DisplayList, MultiplyMakesTheGivenMatrixActFirst)
{
    DisplayList c(10, 10);
    c.set_transform(Matrix::translation(100, 0));
    c.multiply_transform(Matrix::scaling(2, 3));
    // Scale first, then translate: (1,1) -> (2,3) -> (102,3).
    const PointF p = c.transform().apply({ 1, 1 });
    EXPECT_FLOAT_EQ(p.X, 102);
    EXPECT_FLOAT_EQ(p.Y, 3);
    c.draw_rect({ 0, 0 }, { 1, 1 }, 0, 0);
    const PointF q = c.last(Op::Rect)->transform.apply({ 1, 1 });
    EXPECT_FLOAT_EQ(q.X, 102);
    EXPECT_FLOAT_EQ(q.Y, 3);

    // A singular matrix is logged but not taken on, as the Cairo canvas does.
    c.multiply_transform(Matrix::scaling(0, 1));
    c.set_transform(Matrix::scaling(1, 0));
    EXPECT_EQ(c.count(Op::MultiplyTransform), 2u);
    EXPECT_EQ(c.last(Op::SetTransform)->given.yy, 0);
    EXPECT_FLOAT_EQ(c.transform().apply({ 1, 1 }).X, 102);
}

TEST(DisplayList, BrushesTextAndBitmapsAreRecorded)
{
    DisplayList c(10, 10);
    platform::Bitmap tile;
    ASSERT_TRUE(tile.resize(2, 1));
    tile.fill(0xFF123456);
    c.set_fill_bitmap(tile);
    const PointF sq[] = { { 0, 0 }, { 4, 0 }, { 4, 4 }, { 0, 4 } };
    c.fill_polygon(sq, 4);
    const auto* poly = c.last(Op::FillPolygon);
    EXPECT_EQ(poly->fill_kind, DisplayList::FillKind::Bitmap);
    EXPECT_EQ(poly->image_width, 2);
    ASSERT_EQ(poly->image.size(), 2u);
    EXPECT_EQ(poly->image[1], 0xFF123456u);

    platform::Gradient g;
    g.End = { 1, 0 };
    g.Stops = { { 0, 0xFF000000 }, { 1, 0xFFFFFFFF } };
    c.set_fill_gradient(g);
    c.fill_polygon(sq, 4);
    EXPECT_EQ(c.last(Op::FillPolygon)->fill_kind, DisplayList::FillKind::Gradient);
    EXPECT_EQ(c.last(Op::FillPolygon)->gradient.Stops.size(), 2u);

    c.fill_text(u"図面", { 1, 2, 30, 40 }, { "IPAGothic", 12, true, false });
    const auto* t = c.last(Op::Text);
    EXPECT_EQ(t->text, u"図面");
    EXPECT_EQ(t->rect.Right, 30);
    EXPECT_EQ(t->font.Family, "IPAGothic");
    EXPECT_TRUE(t->font.Bold);

    c.draw_bitmap(tile, { 0, 0, 2, 1 }, { 5, 5, 9, 7 });
    const auto* b = c.last(Op::Bitmap);
    EXPECT_EQ(b->src.Right, 2);
    EXPECT_EQ(b->rect.Left, 5);
    EXPECT_EQ(b->image_height, 1);
}

// The renderers set the pen before every line; the list must keep one state for all of them and only the
// points of each line, or a drawing of 100,000 lines costs its own weight again in memory.
TEST(DisplayList, LinesUnderOnePenShareTheirStateAndCostLittle)
{
    DisplayList c(5000, 3500);
    const size_t empty = c.bytes();
    constexpr int kLines = 100000;
    for (int i = 0; i < kLines; ++i) {
        c.set_stroke({ 0xFF000000u | uint32_t(i / 1000), 1, platform::DashStyle::Solid });
        c.set_fill_color(0xFF000000u | uint32_t(i / 1000));
        c.draw_line({ float(i % 5000), float(i % 3500) }, { float((i * 7) % 5000), float((i * 3) % 3500) });
    }
    EXPECT_TRUE(c.complete());
    EXPECT_EQ(c.calls(), size_t(3 * kLines));
    EXPECT_EQ(c.drawing_calls(), size_t(kLines));
    const double per_line = double(c.bytes() - empty) / kLines;
    EXPECT_LT(per_line, 160.0) << "bytes per line";
    EXPECT_EQ(c.stroke().Color, 0xFF000063u);
}

// A brush tile or an image is held by reference: its size does not show in the list's memory.
TEST(DisplayList, TilesAndImagesAreSharedNotCopied)
{
    DisplayList c(100, 100);
    platform::Bitmap big;
    ASSERT_TRUE(big.resize(300, 300));
    const size_t before = c.bytes();
    for (int i = 0; i < 10; ++i) {
        c.set_fill_bitmap(big);
        c.draw_bitmap(big, { 0, 0, 300, 300 }, { 0, 0, 50, 50 });
    }
    EXPECT_LT(c.bytes() - before, size_t(10000));
    // The list's share never changes under it: writing the bitmap afterwards gives the writer a copy.
    big.fill(0xFF000000);
    EXPECT_EQ(c.last(Op::Bitmap)->image[0], 0xFFFFFFFFu);
    EXPECT_EQ(big.pixel(0, 0), 0xFF000000u);
}

// Past its budget the list keeps nothing more and says it is incomplete, rather than failing an allocation
// in the middle of a renderer.
TEST(DisplayList, ListPastItsBudgetIsIncomplete)
{
    DisplayList c(100, 100, 64 * 1024);
    for (int i = 0; i < 10000; ++i)
        c.draw_line({ 0, 0 }, { 10, float(i) });
    EXPECT_FALSE(c.complete());
    // Lists grow by doubling: what they hold stays within twice the budget.
    EXPECT_LE(c.bytes(), size_t(2 * 64 * 1024));
    const size_t kept = c.calls();
    EXPECT_GT(kept, 0u);
    c.fill_text(u"x", { 0, 0, 10, 10 }, { "IPAGothic", 10, false, false });
    EXPECT_EQ(c.calls(), kept);
}
