// Tests of the dash-pattern walk and its helpers, including that a patterned line allocates nothing.
#include "graphics/LineStroke.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "globals/UnitVal.h"
#include "graphics/CurvePieces.h"
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

TEST(LineStroke, PassMovesLikeAWalkWhateverTheLength)
{
    const double pat[] = { 1.8, -0.72, 0.72, -0.72, 1.8 };
    const double period = detail::pattern_period(pat, 5);
    for (double len : { 0.5, 5.76, 7.3, 1000.0, 123456.78 }) {
        detail::PatternPos walked { 2, 0.1 }, passed = walked;
        detail::walk_pattern(pat, 5, walked, 0, 0, 1, 0, len, [](double, double, double, double, double, bool) {});
        detail::pass_pattern(pat, 5, period, passed, len);
        EXPECT_EQ(passed.k, walked.k) << len;
        EXPECT_NEAR(passed.d, walked.d, 1e-6) << len;
    }
    // A length of 1e300 costs no more than one of 1.
    detail::PatternPos far;
    detail::pass_pattern(pat, 5, period, far, 1e300);
    EXPECT_GE(far.k, 0);
    EXPECT_LT(far.k, 5);
}

// The view of the walk tests: 100 x 100 units at 10 pixels a unit.
void walk_view()
{
    gDispX1 = 0;
    gDispY1 = 0;
    gDispX2 = 100;
    gDispY2 = 100;
    gDispScale = 10;
    gDispHeight = 1000;
    gDispWidth = 1000;
}

// A segment from (x1, y1) to (x2, y2) as the walks take it: start, unit direction, length.
struct Seg {
    double x, y, ux, uy, rest;
};
Seg seg(double x1, double y1, double x2, double y2)
{
    const double rest = std::hypot(x2 - x1, y2 - y1);
    return { x1, y1, (x2 - x1) / rest, (y2 - y1) / rest, rest };
}

// Without the cut to the view a walk follows the segment's length, however far outside it lies.
TEST(LineStroke, WalkInViewCoversWhatTheViewShows)
{
    walk_view();
    const double diagonal = std::hypot(100.0, 100.0);
    const struct {
        const char* what;
        Seg s;
        double lo, len; // what the walk covers; len < 0: nothing
    } cases[] = {
        { "inside: all of it", seg(10, 10, 90, 10), 0, 80 },
        { "corner to corner", seg(0, 0, 100, 100), 0, diagonal },
        { "far left, through the view", seg(-1e4, 50, 1e4, 50), 1e4, 100 },
        { "far right, ending inside", seg(8192, 0, 98, 46), 8092.1, 2.0 },
        { "far away, through the view", seg(-1e15, 50, 50, 50), 1e15, 50 },
        { "beside the view", seg(-1e4, 150, 1e4, 150), 0, -1 },
        { "not a number", { 10, 10, 1, 0, NAN }, 0, -1 },
        { "endless", { 10, 10, 1, 0, INFINITY }, 0, -1 },
    };
    for (const auto& c : cases) {
        double lo = -1, len = -1;
        const bool any = detail::walk_span(c.s.x, c.s.y, c.s.ux, c.s.uy, c.s.rest, lo, len);
        EXPECT_EQ(any, c.len >= 0) << c.what;
        if (!any || c.len < 0)
            continue;
        EXPECT_NEAR(lo, c.lo, 0.1) << c.what;
        EXPECT_NEAR(len, c.len, 0.1) << c.what;
    }
    // Ends whose arithmetic is lost: whatever part is found is never longer than the diagonal.
    const Seg lost = seg(-2.3e18, 0.0005, 7.9e33, 1.7e24);
    double lo = 0, len = 0;
    if (detail::walk_span(lost.x, lost.y, lost.ux, lost.uy, lost.rest, lo, len)) {
        EXPECT_LE(len, diagonal);
    }
}

TEST(LineStroke, WalkInViewEmitsNoMorePiecesThanTheViewHolds)
{
    walk_view();
    const double pat[] = { 0.36, -0.72, 0.36 }; // line type 2: 14.4 pixels a period
    const double diagonal = std::hypot(100.0, 100.0);
    const int bound = static_cast<int>(3 * (diagonal / 1.44 + 2));
    const struct {
        const char* what;
        Seg s;
    } cases[] = {
        { "through the view", seg(-1e4, 50, 1e4, 50) },
        { "a clipped end far outside", seg(8192, 0, 98.18, 46.69) },
        { "far away", seg(-1e15, 50, 50, 50) },
        { "lost precision", seg(-2.3e18, 0.0005, 7.9e33, 1.7e24) },
    };
    for (const auto& c : cases) {
        detail::PatternPos pos;
        int pieces = 0;
        ASSERT_TRUE(detail::walk_in_view(pat, 3, pos, c.s.x, c.s.y, c.s.ux, c.s.uy, c.s.rest,
            [&](double, double, double, double, double, bool) { ++pieces; }))
            << c.what;
        // Stops at the first unbounded case: the farther ones would take for ever.
        ASSERT_LE(pieces, bound) << c.what;
    }
}

TEST(LineStroke, WalkInViewKeepsThePatternPositionOfTheWholeSegment)
{
    walk_view();
    const double pat[] = { 1.8, -0.72, 0.72, -0.72, 1.8 };
    detail::PatternPos cut, whole;
    const double x = -3000.3, rest = 6100.7;
    detail::walk_in_view(pat, 5, cut, x, 50, 1, 0, rest, [](double, double, double, double, double, bool) {});
    detail::walk_pattern(pat, 5, whole, x, 50, 1, 0, rest, [](double, double, double, double, double, bool) {});
    EXPECT_EQ(cut.k, whole.k);
    EXPECT_NEAR(cut.d, whole.d, 1e-6);
}

TEST(LineStroke, WalkInViewLeavesAPatternWithinAPixelToTheCaller)
{
    walk_view();
    const double fine[] = { 0.04, -0.05 }; // 0.9 pixels a period
    detail::PatternPos pos { 1, 0.01 };
    int pieces = 0;
    EXPECT_FALSE(detail::walk_in_view(
        fine, 2, pos, 0, 50, 1, 0, 100, [&](double, double, double, double, double, bool) { ++pieces; }));
    EXPECT_EQ(pieces, 0);
    EXPECT_EQ(pos.k, 1);
    EXPECT_EQ(pos.d, 0.01);
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
    walk_view();
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
