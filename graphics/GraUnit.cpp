// GraUnit: TGraph's pens, dash pattern, patterned lines and curves, Bezier chains; the rest forwards to GraCore.
#include "graphics/GraUnit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "globals/UnitVal.h"
#include "graphics/CurvePieces.h"
#include "graphics/GraCore.h"
#include "graphics/ImageDraw.h"
#include "graphics/LineStroke.h"
#include "util/Func_2_geometry.h"

using detail::DrawResult;

namespace {

using std::numbers::pi;
constexpr double tiny = 1e-10;

void clear_world()
{
    GLPoints.clear();
    GLPointsN = 0;
}

int world_count()
{
    const int size = static_cast<int>(GLPoints.size());
    return std::clamp(GLPointsN, 0, size);
}

// GLPoints := the first n points of p (never past its end), scaled by sc.
void load_scaled(int n, std::span<const TDPoint> p, double sc)
{
    clear_world();
    const size_t count = std::min<size_t>(n > 0 ? static_cast<size_t>(n) : 0, p.size());
    GLPoints.reserve(count);
    for (size_t i = 0; i < count; ++i)
        GLPoints.push_back({ p[i].X * sc, p[i].Y * sc });
    GLPointsN = static_cast<int>(GLPoints.size());
}

// 0 when any piece drew, else 2 when any drew a dot, else 1.
int combine(int a, int b)
{
    if (a == DrawResult::Drawn || b == DrawResult::Drawn)
        return DrawResult::Drawn;
    if (a == DrawResult::TooSmall || b == DrawResult::TooSmall)
        return DrawResult::TooSmall;
    return DrawResult::Outside;
}

} // namespace

TGraph::TGraph(platform::Canvas* Ca)
    : C(Ca)
{
    br0.Color = 0xFF000000;
    br0.Thickness = 1;
    br0.Dash = platform::DashStyle::Solid;
    GPoints.clear();
    GPointsN = 0;
    clear_world();
    // Never set: black to white from top to bottom of the filled area.
    gradient_.Start = { 0, 0 };
    gradient_.End = { 0, 1 };
    gradient_.Stops = { { 0, 0xFF000000 }, { 1, 0xFFFFFFFF } };
}

TGraph::~TGraph()
{
    GPoints.clear();
    GPointsN = 0;
    clear_world();
}

// ---- Device layer.

void TGraph::GCls(uint32_t col) { detail::g_cls({ *C, br0 }, col); }
void TGraph::GPenSet(uint32_t col, uint32_t typ, uint32_t wid) { detail::g_pen_set({ *C, br0 }, col, typ, wid); }
void TGraph::GTen(double x, double y) { detail::g_ten({ *C, br0 }, x, y); }
void TGraph::GLine(double x1, double y1, double x2, double y2) { detail::g_line({ *C, br0 }, x1, y1, x2, y2); }
void TGraph::GBox(double x1, double y1, double x2, double y2) { detail::g_box({ *C, br0 }, x1, y1, x2, y2); }

void TGraph::GRBox(double x1, double y1, double x2, double y2, double rx, double ry)
{
    detail::g_rbox({ *C, br0 }, x1, y1, x2, y2, rx, ry);
}

void TGraph::GCircle(double x, double y, double r) { detail::g_circle({ *C, br0 }, x, y, r); }
void TGraph::GEllipse(double x1, double y1, double x2, double y2) { detail::g_ellipse({ *C, br0 }, x1, y1, x2, y2); }
void TGraph::GArc(double x, double y, double r, double sa, double da) { detail::g_arc({ *C, br0 }, x, y, r, sa, da); }

void TGraph::GEllipseArc(double x, double y, double rx, double ry, double sa, double da)
{
    detail::g_ellipse_arc({ *C, br0 }, x, y, rx, ry, sa, da);
}

void TGraph::GPolyline() { detail::g_polyline({ *C, br0 }); }
void TGraph::GPolygon() { detail::g_polygon({ *C, br0 }); }
void TGraph::GSolid() { detail::g_solid({ *C, br0 }); }

// ---- World transform, pens and the dash pattern.

void TGraph::GLTransPt(double x1, double y1, double& x2, double& y2) const { detail::trans_pt(x1, y1, x2, y2); }

void TGraph::GPenSetColor(uint32_t col)
{
    platform::StrokeStyle st = C->stroke();
    st.Color = col;
    C->set_stroke(st);
    C->set_fill_color(col);
    br0.Color = col;
}

void TGraph::GPenSetWidth(uint32_t wid)
{
    platform::StrokeStyle st = C->stroke();
    st.Thickness = static_cast<float>(wid);
    C->set_stroke(st);
}

void TGraph::GLPenSetLtypePat(int sg, std::span<const double> pa)
{
    LtypPatN = std::clamp(sg, 0, max_pattern);
    if (static_cast<size_t>(LtypPatN) > pa.size())
        LtypPatN = static_cast<int>(pa.size());
    LtypPatP = 0;
    for (int i = 0; i < LtypPatN; ++i) {
        const double v = std::fabs(pa[i]);
        LtypPat[i] = i % 2 ? -v : v;
        LtypPatP += v;
    }
}

void TGraph::GLSetDT()
{
    LastSeg = 0;
    LastLen = 0;
}

void TGraph::GLPassLtypPat(double l)
{
    detail::PatternPos pos { LastSeg, LastLen };
    detail::pass_pattern(LtypPat, LtypPatN, LtypPatP, pos, l);
    LastSeg = pos.k;
    LastLen = pos.d;
}

bool TGraph::pattern_visible() const
{
    if (LtypPatN <= 0 || !(LtypPatP > tiny) || !(LtypPatP * gDispScale > 2))
        return false;
    return detail::pattern_largest_gap(LtypPat, LtypPatN) * gDispScale >= 1;
}

// ---- Lines and rectangles.

int TGraph::GLLine(double x1, double y1, double x2, double y2) { return detail::gl_line({ *C, br0 }, x1, y1, x2, y2); }

int TGraph::GLLine4(double x1, double y1, double x2, double y2)
{
    // Without a period the walk would never end; one within a pixel looks solid.
    if (LtypPatN <= 0 || !(LtypPatP > tiny) || !detail::period_walks(LtypPatP))
        return GLLine(x1, y1, x2, y2);
    double cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
    if (detail::view_clip(cx1, cy1, cx2, cy2) == 2) {
        GLPassLtypPat(Distance2P(x1, y1, x2, y2));
        return DrawResult::Outside;
    }
    GLPassLtypPat(Distance2P(x1, y1, cx1, cy1));
    double px1, py1, px2, py2;
    GLTransPt(cx1, cy1, px1, py1);
    GLTransPt(cx2, cy2, px2, py2);
    if (!(std::fabs(px2 - px1) + std::fabs(py2 - py1) > 2)) {
        GLPassLtypPat(Distance2P(cx1, cy1, x2, y2));
        GTen(px1, py1);
        return DrawResult::TooSmall;
    }

    const double dx = cx2 - cx1, dy = cy2 - cy1;
    const double rest = std::hypot(dx, dy);
    // A walk over a length that is not a number would never end.
    if (!std::isfinite(rest))
        return DrawResult::Outside;
    const double phi = LineAngle(dx, dy);
    detail::PatternPos pos { LastSeg, LastLen };
    detail::Surface s { *C, br0 };
    detail::walk_in_view(LtypPat, LtypPatN, pos, cx1, cy1, std::cos(phi), std::sin(phi), rest,
        [&](double ax, double ay, double bx, double by, double entry, bool) {
            if (entry >= 0)
                detail::gl_line(s, ax, ay, bx, by);
        });
    LastSeg = pos.k;
    LastLen = pos.d;
    GLPassLtypPat(Distance2P(cx2, cy2, x2, y2));
    return DrawResult::Drawn;
}

int TGraph::GLLine3(double x1, double y1, double x2, double y2)
{
    return pattern_visible() ? GLLine4(x1, y1, x2, y2) : GLLine(x1, y1, x2, y2);
}

int TGraph::GLLine2(double x1, double y1, double x2, double y2)
{
    const double len = Distance2P(x1, y1, x2, y2);
    if (!pattern_visible() || !(len > 1))
        return GLLine(x1, y1, x2, y2);
    // Solid half-unit stubs, so that a line always shows where it starts and ends.
    const double ux = (x2 - x1) / len, uy = (y2 - y1) / len;
    const double ax = x1 + 0.5 * ux, ay = y1 + 0.5 * uy;
    const double bx = x2 - 0.5 * ux, by = y2 - 0.5 * uy;
    int res = GLLine(x1, y1, ax, ay);
    res = combine(res, GLLine4(ax, ay, bx, by));
    return combine(res, GLLine(bx, by, x2, y2));
}

int TGraph::GLBox(double x1, double y1, double x2, double y2) { return detail::gl_box({ *C, br0 }, x1, y1, x2, y2); }

int TGraph::GLBoxA(double x1, double y1, double x2, double y2, double a)
{
    return detail::gl_box_a({ *C, br0 }, x1, y1, x2, y2, a);
}

// ---- Polylines and curves.

int TGraph::GLPolyline() { return detail::gl_polyline({ *C, br0 }); }

int TGraph::GLPolyline2()
{
    const int n = world_count();
    const int res = detail::polyline_precheck({ *C, br0 }, n);
    if (res != DrawResult::Drawn)
        return res;
    // Unclipped ends: GLLine4 clips itself and moves the pattern on over what it cuts off.
    for (int i = 1; i < n; ++i)
        GLLine3(GLPoints[i - 1].X, GLPoints[i - 1].Y, GLPoints[i].X, GLPoints[i].Y);
    return DrawResult::Drawn;
}

int TGraph::GLEllipse(double cx, double cy, double r, double h, double a)
{
    return detail::gl_ellipse({ *C, br0 }, cx, cy, r, h, a);
}

int TGraph::GLEllipseArc(double cx, double cy, double r, double h, double a, double sa, double da)
{
    return detail::gl_ellipse_arc({ *C, br0 }, cx, cy, r, h, a, sa, da);
}

int TGraph::GLEllipse2(double cx, double cy, double r, double h, double a)
{
    return GLEllipseArc2(cx, cy, r, h, a, 0, 2 * pi);
}

int TGraph::GLEllipseArc2(double cx, double cy, double r, double h, double a, double sa, double da)
{
    if (!pattern_visible())
        return GLEllipseArc(cx, cy, r, h, a, sa, da);
    double len = std::fabs(r * da);
    if (h > 1)
        len *= h;
    const double g = len * gDispScale;
    if (!(g > 2)) {
        // The dot marks where the arc begins, not its centre.
        double px, py;
        EllipsePoint(cx, cy, r, h, a, sa, px, py);
        if (detail::view_inside(px, py)) {
            double dx, dy;
            GLTransPt(px, py, dx, dy);
            GTen(dx, dy);
        }
        return DrawResult::TooSmall;
    }
    return detail::arc_chords(cx, cy, r, h, a, sa, da, detail::arc_piece_count(g), nullptr,
        [this](double x1, double y1, double x2, double y2) { return GLLine4(x1, y1, x2, y2); });
}

void TGraph::TransBezierSub(double& xp, double& yp, double t, double x1, double x2, double x3, double x4, double y1,
    double y2, double y3, double y4)
{
    const double u = 1 - t;
    const double b0 = u * u * u, b1 = 3 * t * u * u, b2 = 3 * t * t * u, b3 = t * t * t;
    xp = b0 * x1 + b1 * x2 + b2 * x3 + b3 * x4;
    yp = b0 * y1 + b1 * y2 + b2 * y3 + b3 * y4;
}

void TGraph::TransBezierToLines(int sp, int num, std::span<const TDPoint> v)
{
    clear_world();
    if (num > static_cast<int>(v.size()))
        num = static_cast<int>(v.size());
    if (sp < 1 || num < 4)
        return;
    const int m = (num - 1) / 3;
    GLPoints.reserve(static_cast<size_t>(m) * (static_cast<size_t>(sp) + 1) + 1);
    const double step = 1.0 / sp;
    for (int s = 0; s < m; ++s) {
        const TDPoint* q = &v[static_cast<size_t>(3 * s)];
        double t = 0;
        for (int i = 0; i <= sp; ++i) {
            double x, y;
            TransBezierSub(x, y, t, q[0].X, q[1].X, q[2].X, q[3].X, q[0].Y, q[1].Y, q[2].Y, q[3].Y);
            if (GLPoints.empty() || std::fabs(x - GLPoints.back().X) > 1e-12
                || std::fabs(y - GLPoints.back().Y) > 1e-12)
                GLPoints.push_back({ x, y });
            t += step;
        }
    }
    GLPoints.shrink_to_fit();
    GLPointsN = static_cast<int>(GLPoints.size());
}

int TGraph::GLBezier(int n, std::span<const TDPoint> p, double sc)
{
    load_scaled(n, p, sc);
    const std::vector<TDPoint> control = std::move(GLPoints);
    TransBezierToLines(10, static_cast<int>(control.size()), control);
    const int res = GLPolyline2();
    clear_world();
    return res;
}

int TGraph::GLPolylin(int n, std::span<const TDPoint> p, double sc)
{
    load_scaled(n, p, sc);
    const int res = GLPolyline2();
    clear_world();
    return res;
}

// ---- Fills.

int TGraph::GLSolid() { return detail::gl_solid({ *C, br0 }); }
int TGraph::GLSolidCircle(double cx, double cy, double r) { return detail::gl_solid_circle({ *C, br0 }, cx, cy, r); }

int TGraph::GLSolidArc(int sty, double cx, double cy, double r, double h, double a, double sa, double da, double zf)
{
    return detail::gl_solid_arc({ *C, br0 }, sty, cx, cy, r, h, a, sa, da, zf);
}

int TGraph::GLPolygon(int n, std::span<const TDPoint> p, double sc)
{
    load_scaled(n, p, sc);
    const int res = GLSolid();
    clear_world();
    return res;
}

// ---- Images.

int TGraph::GLImage(double x1, double y1, double x2, double y2, int Fm, const std::u16string& fn)
{
    return detail::gl_image({ *C, br0 }, x1, y1, x2, y2, Fm, fn);
}

int TGraph::GLImage2(double x1, double y1, double x2, double y2, double drx, double dry, double drr, double dan,
    const std::u16string& fn)
{
    // No second attempt through a temporary copy.
    return detail::gl_image2({ *C, br0 }, x1, y1, x2, y2, drx, dry, drr, dan, fn, false);
}
