// Tests of the dash-pattern walk and its helpers, including that a patterned line allocates nothing.
#include "graphics/LineStroke.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Canvas.h"

// Counts allocations made while `counting` is set.
namespace {
std::atomic<bool> counting { false };
std::atomic<long> allocations { 0 };
} // namespace

// Replacement new and delete built on malloc and free; GCC cannot see that they pair up.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n)
{
    if (counting)
        ++allocations;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

TEST(LineStroke, RoundHalfEven)
{
    const struct {
        double v, r;
    } cases[] = { { 7.85, 8 }, { 2.5, 2 }, { 3.5, 4 }, { -2.5, -2 }, { 0.49, 0 }, { 1, 1 } };
    for (const auto& c : cases)
        EXPECT_EQ(detail::round_half_even(c.v), c.r) << c.v;
}

TEST(LineStroke, ArcPieceCount)
{
    const struct {
        double px;
        int n;
    } cases[] = { { 15.708, 8 }, { 144, 72 }, { 143.9, 72 }, { 143, 72 }, { 100, 50 }, { 3, 2 }, { 1e9, 72 } };
    for (const auto& c : cases)
        EXPECT_EQ(detail::arc_piece_count(c.px), c.n) << c.px;
}

TEST(LineStroke, PatternMeasures)
{
    const double pat[] = { 1.8, -0.72, 0.72, -0.9, 1.8 };
    EXPECT_DOUBLE_EQ(detail::pattern_largest_gap(pat, 5), 0.9);
    EXPECT_DOUBLE_EQ(detail::pattern_largest_gap(pat, 1), 0);
    EXPECT_NEAR(detail::pattern_period(pat, 5), 5.94, 1e-12);
}

struct Piece {
    double x0, x1, entry;
    bool last;
};

std::vector<Piece> walk(const double* pat, int n, detail::PatternPos& pos, double rest)
{
    std::vector<Piece> out;
    detail::walk_pattern(pat, n, pos, 0, 0, 1, 0, rest, [&](double ax, double, double bx, double, double e, bool last) {
        out.push_back({ ax, bx, e, last });
    });
    return out;
}

TEST(LineStroke, WalkVisitsEveryEntryAndKeepsItsPosition)
{
    const double pat[] = { 2, -1, 0, -1 };
    detail::PatternPos pos;
    auto p = walk(pat, 4, pos, 5);
    ASSERT_EQ(p.size(), 5u); // 2, gap 1, dot, gap 1, then 1 of the next 2
    EXPECT_EQ(p[2].x0, p[2].x1);
    EXPECT_EQ(p[4].x0, 4);
    EXPECT_EQ(p[4].x1, 5);
    EXPECT_TRUE(p[4].last);
    EXPECT_EQ(pos.k, 0);
    EXPECT_EQ(pos.d, 1);
    // The next walk takes the rest of that dash first.
    p = walk(pat, 4, pos, 0.5);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].x1, 0.5);
    EXPECT_EQ(pos.d, 1.5);
}

TEST(LineStroke, WalkRepairsAPositionOutsideThePattern)
{
    const double pat[] = { 2, -1 };
    detail::PatternPos pos { 7, 3 };
    auto p = walk(pat, 2, pos, 1);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].entry, 2);
    pos = { 0, 5 }; // more used than the entry holds: the entry is simply finished
    p = walk(pat, 2, pos, 1);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].x1, 0);
    EXPECT_EQ(p[1].entry, -1);
}

// A canvas that draws nothing, so that only the renderer's own allocations count.
class NullCanvas final : public platform::Canvas {
public:
    int width() const override { return 1000; }
    int height() const override { return 1000; }
    void begin_scene() override { }
    void end_scene() override { }
    void clear(uint32_t) override { }
    void set_stroke(const platform::StrokeStyle& s) override { stroke_ = s; }
    const platform::StrokeStyle& stroke() const override { return stroke_; }
    void set_fill_color(uint32_t c) override { fill_ = c; }
    uint32_t fill_color() const override { return fill_; }
    void set_fill_bitmap(const platform::Bitmap&) override { }
    void set_fill_gradient(const platform::Gradient&) override { }
    void draw_line(platform::PointF, platform::PointF) override { ++lines; }
    void draw_line(platform::PointF, platform::PointF, const platform::StrokeStyle&) override { ++lines; }
    void draw_rect(platform::PointF, platform::PointF, float, float) override { }
    void draw_ellipse(platform::PointF, platform::PointF) override { }
    void draw_arc(platform::PointF, float, float, float, float) override { }
    void draw_path(const platform::PointF*, size_t, bool) override { }
    void fill_polygon(const platform::PointF*, size_t) override { }
    platform::Matrix transform() const override { return {}; }
    void set_transform(const platform::Matrix&) override { }
    void multiply_transform(const platform::Matrix&) override { }
    void fill_text(std::u16string_view, const platform::RectF&, const platform::FontSpec&) override { }
    void draw_bitmap(const platform::Bitmap&, const platform::RectF&, const platform::RectF&) override { }

    long lines = 0;

private:
    platform::StrokeStyle stroke_;
    uint32_t fill_ = 0;
};

TEST(LineStroke, PatternedLinesAllocateNothing)
{
    TgraAttribute att;
    att.SetDisplayMode(true);
    gGraAtt = &att;
    gDispX1 = 0;
    gDispY1 = 0;
    gDispX2 = 100;
    gDispY2 = 100;
    gDispScale = 10;
    gDispHeight = 1000;
    NullCanvas canvas;
    TGraph2 g(&canvas);
    // The counter itself works.
    allocations = 0;
    counting = true;
    std::vector<int>* probe = new std::vector<int>(8);
    counting = false;
    EXPECT_GE(allocations, 1);
    delete probe;

    allocations = 0;
    counting = true;
    for (int typ : { 1, 2, 5, 7, 11, 15 })
        g.GLLineDT(0, typ, 1, 1, 99, 77);
    counting = false;
    gGraAtt = nullptr;
    EXPECT_GT(canvas.lines, 100);
    EXPECT_EQ(allocations, 0);
}

} // namespace
