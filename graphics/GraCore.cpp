// The drawing operations both renderers share.
#include "graphics/GraCore.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "globals/UnitVal.h"
#include "graphics/CurvePieces.h"
#include "graphics/GraPoints.h"
#include "util/ClipUnit.h"
#include "util/Func_2_geometry.h"

namespace detail {

namespace {

using std::numbers::pi;
constexpr int curve_points = 73;

// Cairo keeps coordinates in 24.8 fixed point; farther points only need to stay far and finite. A NaN from a
// hostile drawing is sent far away rather than into Cairo.
float device_coord(double v)
{
    constexpr double lim = 4.0e6;
    if (v > lim)
        return static_cast<float>(lim);
    if (!(v >= -lim))
        return static_cast<float>(-lim);
    return static_cast<float>(v);
}

// A radius or corner radius in pixels, kept within the range device_coord keeps points in.
float device_len(double v)
{
    constexpr double lim = 4.0e6;
    return static_cast<float>(v > lim ? lim : (v > 0 ? v : 0));
}

// Arc angles for the canvas, in degrees: false for angles that are not numbers; a sweep beyond a full turn
// draws nothing more than the full turn.
bool arc_angles(double sa, double da, float& start, float& sweep)
{
    if (!std::isfinite(sa) || !std::isfinite(da))
        return false;
    start = static_cast<float>(-std::fmod(sa, 360.0));
    sweep = static_cast<float>(-std::clamp(da, -360.0, 360.0));
    return true;
}

// The usable length of GLPoints: the count, but never past the vector.
int world_count()
{
    const int size = static_cast<int>(GLPoints.size());
    return GLPointsN < size ? (GLPointsN < 0 ? 0 : GLPointsN) : size;
}

int device_count()
{
    const int size = static_cast<int>(GPoints.size());
    return GPointsN < size ? (GPointsN < 0 ? 0 : GPointsN) : size;
}

void clear_world()
{
    GLPoints.clear();
    GLPointsN = 0;
}

void clear_device()
{
    GPoints.clear();
    GPointsN = 0;
}

void push_world(double x, double y, const BlockTrans* bt)
{
    if (bt)
        bt->apply(x, y, x, y);
    GLPoints.push_back({ x, y });
    GLPointsN = static_cast<int>(GLPoints.size());
}

void push_device(double x, double y)
{
    GPoints.push_back(to_device(x, y));
    GPointsN = static_cast<int>(GPoints.size());
}

// Pixel length of segment i-1..i of GLPoints after clipping, or -1 when rejected; code gets ClipLine's result.
double clipped_pixel_length(int i, int& code)
{
    double x1 = GLPoints[i - 1].X, y1 = GLPoints[i - 1].Y, x2 = GLPoints[i].X, y2 = GLPoints[i].Y;
    code = view_clip(x1, y1, x2, y2);
    if (code == 2)
        return -1;
    double px1, py1, px2, py2;
    trans_pt(x1, y1, px1, py1);
    trans_pt(x2, y2, px2, py2);
    return std::hypot(px2 - px1, py2 - py1);
}

// AND of the region codes of the first n world points: non-zero when all lie beyond one edge.
int common_code(int n)
{
    int c = 15;
    for (int i = 0; i < n && c; ++i)
        c &= view_code(GLPoints[i].X, GLPoints[i].Y);
    return c;
}

// Replaces GLPoints with the 73 points of parameter t0, t0 + step, ... (accumulated), mapped by bt.
void sample_curve(double cx, double cy, double r, double h, double a, double t0, double step, const BlockTrans* bt)
{
    clear_world();
    double t = t0;
    for (int i = 0; i < curve_points; ++i) {
        double px, py;
        EllipsePoint(cx, cy, r, h, a, t, px, py);
        push_world(px, py, bt);
        t += step;
    }
}

} // namespace

void BlockTrans::apply(double x, double y, double& px, double& py) const
{
    BlockTransPoint(x, y, bx, by, b1, b2, b3, b4, sc, px, py);
}

// ---- View window.

int view_code(double x, double y) { return ClipCode(x, y, gDispX1, gDispY1, gDispX2, gDispY2); }

bool view_inside(double x, double y) { return view_code(x, y) == 0; }

int view_clip(double& x1, double& y1, double& x2, double& y2)
{
    return ClipLine(x1, y1, x2, y2, gDispX1, gDispY1, gDispX2, gDispY2);
}

void trans_pt(double x1, double y1, double& x2, double& y2)
{
    x2 = (x1 - gDispX1) * gDispScale;
    y2 = gDispHeight - (y1 - gDispY1) * gDispScale;
}

platform::PointF to_device(double x, double y)
{
    double px, py;
    trans_pt(x, y, px, py);
    return { device_coord(px), device_coord(py) };
}

// ---- Device layer.

void g_cls(Surface s, uint32_t col) { s.C.clear(col); }

void g_pen_set(Surface s, uint32_t col, uint32_t typ, uint32_t wid)
{
    platform::StrokeStyle st;
    st.Color = col;
    st.Thickness = static_cast<float>(wid);
    switch (typ) {
    case 1: st.Dash = platform::DashStyle::Dash; break;
    case 2: st.Dash = platform::DashStyle::Dot; break;
    case 3: st.Dash = platform::DashStyle::DashDot; break;
    case 4: st.Dash = platform::DashStyle::DashDotDot; break;
    default: st.Dash = platform::DashStyle::Solid; break;
    }
    s.C.set_stroke(st);
    s.C.set_fill_color(col);
    s.br0.Color = col;
}

void g_ten(Surface s, double x, double y)
{
    s.C.draw_line({ device_coord(x), device_coord(y) }, { device_coord(x + 1), device_coord(y) }, s.br0);
}

void g_line(Surface s, double x1, double y1, double x2, double y2)
{
    s.C.draw_line({ device_coord(x1), device_coord(y1) }, { device_coord(x2), device_coord(y2) });
}

void g_box(Surface s, double x1, double y1, double x2, double y2) { g_rbox(s, x1, y1, x2, y2, 0, 0); }

void g_rbox(Surface s, double x1, double y1, double x2, double y2, double rx, double ry)
{
    const bool thin = std::fabs(x1 - x2) <= 2, flat = std::fabs(y1 - y2) <= 2;
    if (thin && flat)
        return g_ten(s, x1, y1);
    if (thin)
        return g_line(s, x1, y1, x1, y2);
    if (flat)
        return g_line(s, x1, y1, x2, y1);
    s.C.draw_rect(
        { device_coord(x1), device_coord(y1) }, { device_coord(x2), device_coord(y2) }, device_len(rx), device_len(ry));
}

void g_circle(Surface s, double x, double y, double r)
{
    if (!(r > 2))
        return g_ten(s, x, y);
    const double rr = device_len(r);
    s.C.draw_ellipse({ device_coord(x - rr), device_coord(y - rr) }, { device_coord(x + rr), device_coord(y + rr) });
}

void g_ellipse(Surface s, double x1, double y1, double x2, double y2)
{
    const bool thin = std::fabs(x1 - x2) <= 2, flat = std::fabs(y1 - y2) <= 2;
    if (thin && flat)
        return g_ten(s, x1, y1);
    if (thin)
        return g_line(s, x1, y1, x1, y2);
    if (flat)
        return g_line(s, x1, y1, x2, y1);
    s.C.draw_ellipse({ device_coord(x1), device_coord(y1) }, { device_coord(x2), device_coord(y2) });
}

void g_arc(Surface s, double x, double y, double r, double sa, double da)
{
    if (!(r > 2))
        return g_ten(s, x, y);
    float start, sweep;
    if (arc_angles(sa, da, start, sweep))
        s.C.draw_arc({ device_coord(x), device_coord(y) }, device_len(r), device_len(r), start, sweep);
}

void g_ellipse_arc(Surface s, double x, double y, double rx, double ry, double sa, double da)
{
    const bool narrow = !(rx > 2), low = !(ry > 2);
    if (narrow && low)
        return g_ten(s, x, y);
    if (narrow)
        return g_line(s, x, y - ry, x, y + ry);
    if (low)
        return g_line(s, x - rx, y, x + rx, y);
    float start, sweep;
    if (arc_angles(sa, da, start, sweep))
        s.C.draw_arc({ device_coord(x), device_coord(y) }, device_len(rx), device_len(ry), start, sweep);
}

void g_polyline(Surface s)
{
    const int n = device_count();
    if (n < 2)
        return;
    s.C.draw_path(GPoints.data(), static_cast<size_t>(n), false);
}

void g_polygon(Surface s)
{
    int n = device_count();
    if (n < 3)
        return;
    const platform::PointF first = GPoints[0], lastp = GPoints[n - 1];
    if (std::fabs(lastp.X - first.X) > 1e-6 || std::fabs(lastp.Y - first.Y) > 1e-6) {
        GPoints.resize(static_cast<size_t>(n));
        GPoints.push_back(first);
        GPointsN = ++n;
    }
    s.C.draw_path(GPoints.data(), static_cast<size_t>(n), true);
}

void g_solid(Surface s)
{
    const int n = device_count();
    if (n < 3)
        return;
    s.C.fill_polygon(GPoints.data(), static_cast<size_t>(n));
}

// ---- World layer.

int gl_line(Surface s, double x1, double y1, double x2, double y2)
{
    if (view_clip(x1, y1, x2, y2) == 2)
        return Outside;
    double px1, py1, px2, py2;
    trans_pt(x1, y1, px1, py1);
    trans_pt(x2, y2, px2, py2);
    if (std::fabs(px2 - px1) + std::fabs(py2 - py1) > 2) {
        g_line(s, px1, py1, px2, py2);
        return Drawn;
    }
    g_ten(s, px1, py1);
    return TooSmall;
}

int gl_box(Surface s, double x1, double y1, double x2, double y2)
{
    if (ClipLineTest(x1, y1, x2, y2, gDispX1, gDispY1, gDispX2, gDispY2) != 0) {
        clear_world();
        push_world(x1, y1, nullptr);
        push_world(x2, y1, nullptr);
        push_world(x2, y2, nullptr);
        push_world(x1, y2, nullptr);
        push_world(x1, y1, nullptr);
        const int r = gl_polyline(s);
        clear_world();
        return r;
    }
    double px1, py1, px2, py2;
    trans_pt(x1, y1, px1, py1);
    trans_pt(x2, y2, px2, py2);
    if (std::fabs(px2 - px1) + std::fabs(py2 - py1) > 2) {
        g_box(s, px1, py1, px2, py2);
        return Drawn;
    }
    g_ten(s, px1, py1);
    return TooSmall;
}

int gl_box_a(Surface s, double x1, double y1, double x2, double y2, double a)
{
    clear_world();
    double px, py;
    push_world(x1, y1, nullptr);
    RotatePoint(x2, y1, x1, y1, a, px, py);
    push_world(px, py, nullptr);
    RotatePoint(x2, y2, x1, y1, a, px, py);
    push_world(px, py, nullptr);
    RotatePoint(x1, y2, x1, y1, a, px, py);
    push_world(px, py, nullptr);
    push_world(x1, y1, nullptr);
    const int r = gl_polyline(s);
    clear_world();
    return r;
}

int world_point_count() { return world_count(); }

int gl_polyline(Surface s)
{
    const int n = world_count();
    const int pre = polyline_precheck(s, n);
    if (pre != Drawn)
        return pre;
    clear_device();
    for (int i = 1; i < n; ++i) {
        double x1 = GLPoints[i - 1].X, y1 = GLPoints[i - 1].Y, x2 = GLPoints[i].X, y2 = GLPoints[i].Y;
        const int code = view_clip(x1, y1, x2, y2);
        if (code != 2) {
            if (GPointsN == 0)
                push_device(x1, y1);
            push_device(x2, y2);
        }
        // A run never joins across a clipped end or a hidden segment.
        if (code != 0 && GPointsN > 1) {
            g_polyline(s);
            clear_device();
        }
    }
    if (GPointsN > 1)
        g_polyline(s);
    clear_device();
    return Drawn;
}

int gl_ellipse(Surface s, double cx, double cy, double r, double h, double a, const BlockTrans* bt)
{
    sample_curve(cx, cy, r, h, a, 0, pi / 36, bt);
    const int res = gl_polyline(s);
    clear_world();
    return res;
}

int gl_ellipse_arc(
    Surface s, double cx, double cy, double r, double h, double a, double sa, double da, const BlockTrans* bt)
{
    sample_curve(cx, cy, r, h, a, sa, da / 72, bt);
    const int res = gl_polyline(s);
    clear_world();
    return res;
}

int gl_solid(Surface s)
{
    int n = world_count();
    if (n < 3)
        return NothingToDraw;
    const TDPoint first = GLPoints[0];
    if (std::fabs(GLPoints[n - 1].X - first.X) > 1e-12 || std::fabs(GLPoints[n - 1].Y - first.Y) > 1e-12) {
        GLPoints.resize(static_cast<size_t>(n));
        GLPoints.push_back(first);
        GLPointsN = ++n;
    }
    if (common_code(n))
        return Outside;

    double total = 0;
    for (int i = 1; i < n; ++i) {
        int code;
        const double len = clipped_pixel_length(i, code);
        if (code != 2)
            total += len;
    }
    if (total > 2) {
        // Unclipped: the canvas clips the fill.
        clear_device();
        for (int i = 0; i < n; ++i)
            push_device(GLPoints[i].X, GLPoints[i].Y);
        g_solid(s);
        clear_device();
        return Drawn;
    }
    const TDPoint& last = GLPoints[n - 1];
    if (view_inside(last.X, last.Y)) {
        double px, py;
        trans_pt(last.X, last.Y, px, py);
        g_ten(s, px, py);
    }
    return TooSmall;
}

int gl_solid_circle(Surface s, double cx, double cy, double r)
{
    if (r * gDispScale > 2) {
        sample_curve(cx, cy, r, 1, 0, 0, pi / 36, nullptr);
        const int res = gl_solid(s);
        clear_world();
        return res;
    }
    if (view_inside(cx, cy)) {
        double px, py;
        trans_pt(cx, cy, px, py);
        g_ten(s, px, py);
    }
    return TooSmall;
}

int gl_solid_arc(Surface s, int sty, double cx, double cy, double r, double h, double a, double sa, double da,
    double zf, const BlockTrans* bt)
{
    constexpr double tol = 1e-14;
    auto is = [&](double v) { return std::fabs(zf - v) < tol; };
    auto arc_points = [&](double rr, double hh, double t0, double step) {
        double t = t0;
        for (int i = 0; i < curve_points; ++i) {
            double px, py;
            EllipsePoint(cx, cy, rr, hh, a, t, px, py);
            push_world(px, py, bt);
            t += step;
        }
    };

    clear_world();
    bool stroke = false;
    switch (sty) {
    case 101:
        if (is(100)) {
            arc_points(r, h, 0, pi / 36);
        } else {
            arc_points(r, h, sa, da / 72);
            if (is(0)) {
                push_world(cx, cy, bt);
            } else if (!is(5)) {
                double sx, sy, ex, ey, tx, ty;
                EllipseArcInfo(cx, cy, r, h, sa, da, a, sx, sy, ex, ey, tx, ty);
                push_world(tx, ty, bt);
            }
        }
        break;
    case 105:
    case 106: {
        double ih = h;
        if (sty == 106) {
            // The inner flatness divides by the inner radius: without a ring there is nothing to fill.
            if (std::fabs(zf) < tol)
                return NothingToDraw;
            ih = (h * r - r) / zf + 1;
        }
        arc_points(r, h, sa, da / 72);
        arc_points(zf, ih, sa + da, -da / 72);
        const TDPoint start = GLPoints[0];
        GLPoints.push_back(start);
        GLPointsN = static_cast<int>(GLPoints.size());
        break;
    }
    case 111:
        stroke = true;
        if (is(100))
            arc_points(r, h, 0, pi / 36);
        else
            arc_points(r, h, sa, da / 72);
        break;
    default: return NothingToDraw;
    }
    const int res = stroke ? gl_polyline(s) : gl_solid(s);
    clear_world();
    return res;
}

} // namespace detail
