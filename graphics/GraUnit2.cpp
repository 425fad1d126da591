// GraUnit2: TGraph2's pens, line types, patterned curves and point markers; the rest forwards to GraCore.
#include "graphics/GraUnit2.h"

#include <cmath>
#include <numbers>

#include "globals/UnitVal.h"
#include "graphics/CurvePieces.h"
#include "graphics/GraCore.h"
#include "graphics/ImageDraw.h"
#include "graphics/LineStroke.h"
#include "graphics/UnitGraAtt.h"
#include "util/Func_2_geometry.h"

using detail::BlockTrans;
using detail::DrawResult;

namespace {

using std::numbers::pi;
constexpr double eps = 1e-14;

// Width in pixels of a pen of wid drawing units in display mode.
uint32_t display_width(double wid)
{
    double w = wid * gDispScale;
    if (!(w > 1.0))
        w = 1.0;
    if (w > 400.0)
        w = 400.0;
    return static_cast<uint32_t>(detail::round_half_even(w));
}

} // namespace

TGraph2::TGraph2(platform::Canvas* Ca)
    : C(Ca)
{
    br0.Color = 0xFF000000;
    br0.Thickness = 1;
    br0.Dash = platform::DashStyle::Solid;
    GPoints.clear();
    GPointsN = 0;
    GLPoints.clear();
    GLPointsN = 0;
}

TGraph2::~TGraph2()
{
    GPoints.clear();
    GPointsN = 0;
    GLPoints.clear();
    GLPointsN = 0;
}

// ---- Device layer.

void TGraph2::GCls(uint32_t col) { detail::g_cls({ *C, br0 }, col); }
void TGraph2::GPenSet(uint32_t col, uint32_t typ, uint32_t wid) { detail::g_pen_set({ *C, br0 }, col, typ, wid); }
void TGraph2::GTen(double x, double y) { detail::g_ten({ *C, br0 }, x, y); }
void TGraph2::GLine(double x1, double y1, double x2, double y2) { detail::g_line({ *C, br0 }, x1, y1, x2, y2); }
void TGraph2::GBox(double x1, double y1, double x2, double y2) { detail::g_box({ *C, br0 }, x1, y1, x2, y2); }

void TGraph2::GRBox(double x1, double y1, double x2, double y2, double rx, double ry)
{
    detail::g_rbox({ *C, br0 }, x1, y1, x2, y2, rx, ry);
}

void TGraph2::GCircle(double x, double y, double r) { detail::g_circle({ *C, br0 }, x, y, r); }

void TGraph2::GEllipse(double x1, double y1, double x2, double y2) { detail::g_ellipse({ *C, br0 }, x1, y1, x2, y2); }

void TGraph2::GArc(double x, double y, double r, double sa, double da) { detail::g_arc({ *C, br0 }, x, y, r, sa, da); }

void TGraph2::GEllipseArc(double x, double y, double rx, double ry, double sa, double da)
{
    detail::g_ellipse_arc({ *C, br0 }, x, y, rx, ry, sa, da);
}

void TGraph2::GPolyline() { detail::g_polyline({ *C, br0 }); }
void TGraph2::GPolygon() { detail::g_polygon({ *C, br0 }); }
void TGraph2::GSolid() { detail::g_solid({ *C, br0 }); }

// ---- World transform and pens.

void TGraph2::GLTransPt(double x1, double y1, double& x2, double& y2) const { detail::trans_pt(x1, y1, x2, y2); }

void TGraph2::GLPenSet(int lay, int col, int typ, double wid)
{
    uint32_t colour = 0xFF000000;
    uint32_t width = 1;
    if (gGraAtt) {
        switch (gGraAtt->GetAttrLayerState(lay)) {
        case 2: colour = gGraAtt->GrayColor; break;
        case 3: colour = gGraAtt->BackColor; break;
        default: colour = gGraAtt->GetAttrColcol(col); break;
        }
        if (gGraAtt->GetAll1ColorState())
            colour = gGraAtt->GetAll1Color();
        if (gGraAtt->GetDisplayMode())
            width = display_width(wid);
    }
    GPenSet(colour, 0, width);
}

void TGraph2::GLPenSet(int lay, int col, int typ, double wid, uint32_t dcol)
{
    GLPenSet(lay, col, typ, wid);
    if (dcol == 0)
        return;
    // br0 keeps the layer or colour-number colour for dots.
    platform::StrokeStyle st = C->stroke();
    st.Color = dcol;
    C->set_stroke(st);
    C->set_fill_color(dcol);
}

void TGraph2::GLSetDT()
{
    LastLay = -1;
    LastTyp = -1;
    LastX = 0;
    LastY = 0;
    LastSeg = 0;
    LastLen = 0;
}

// ---- Lines and rectangles.

int TGraph2::GLLine(double x1, double y1, double x2, double y2) { return detail::gl_line({ *C, br0 }, x1, y1, x2, y2); }

int TGraph2::GLLineDT(int lay, int typ, double x1, double y1, double x2, double y2)
{
    if (!gGraAtt || gGraAtt->GetAttrTypseg(typ) == 0 || !(gGraAtt->GetAttrTyppit(typ) * gDispScale > 2))
        return GLLine(x1, y1, x2, y2);

    const double amp = gGraAtt->GetAttrTypamp(typ);
    double pat[TjwvLtype::max_seg] = {};
    int n = gGraAtt->GetAttrTyppat(typ, pat);
    if (n > TjwvLtype::max_seg)
        n = TjwvLtype::max_seg;
    const bool random = !(std::fabs(amp) < eps);
    const double g = random ? std::fabs(amp) : detail::pattern_largest_gap(pat, n);
    // The period test also guards the walk: a pattern whose entries sum to (almost) nothing would never end.
    if (n <= 0 || !(g * gDispScale >= 2) || !(detail::pattern_period(pat, n) * gDispScale > 2))
        return GLLine(x1, y1, x2, y2);

    if (detail::view_clip(x1, y1, x2, y2) == 2)
        return DrawResult::Outside;
    double px1, py1, px2, py2;
    GLTransPt(x1, y1, px1, py1);
    GLTransPt(x2, y2, px2, py2);
    if (!(std::fabs(px2 - px1) + std::fabs(py2 - py1) > 2)) {
        GTen(px1, py1);
        return DrawResult::TooSmall;
    }

    detail::PatternPos pos;
    if (LastLay == lay && LastTyp == typ && std::fabs(LastX - x1) <= eps && std::fabs(LastY - y1) <= eps) {
        pos.k = LastSeg;
        pos.d = LastLen;
    }
    if (pos.k < 0 || pos.k >= n) {
        pos.k = 0;
        pos.d = 0;
    }

    const double dx = x2 - x1, dy = y2 - y1;
    const double rest = std::hypot(dx, dy);
    double ux = 1, uy = 0;
    if (rest > 0 && !(std::fabs(dx) < eps && std::fabs(dy) < eps)) {
        ux = dx / rest;
        uy = dy / rest;
    }
    detail::Surface s { *C, br0 };
    if (!random) {
        detail::walk_in_view(
            pat, n, pos, x1, y1, ux, uy, rest, [&](double ax, double ay, double bx, double by, double entry, bool) {
                if (entry >= 0)
                    detail::gl_line(s, ax, ay, bx, by);
            });
    } else {
        // Zigzag: a vertex off the line at the end of every entry, left for positive, right for negative. It
        // starts on the line where the walk starts.
        bool first = true;
        double vx = x1, vy = y1;
        const double nx = -uy * amp, ny = ux * amp;
        detail::walk_in_view(pat, n, pos, x1, y1, ux, uy, rest,
            [&](double ax, double ay, double bx, double by, double entry, bool last) {
                if (first) {
                    vx = ax;
                    vy = ay;
                    first = false;
                }
                double wx = bx, wy = by;
                if (!last && entry > 0) {
                    wx += nx;
                    wy += ny;
                } else if (!last && entry < 0) {
                    wx -= nx;
                    wy -= ny;
                }
                detail::gl_line(s, vx, vy, wx, wy);
                vx = wx;
                vy = wy;
            });
    }

    LastLay = lay;
    LastTyp = typ;
    LastX = x2;
    LastY = y2;
    LastSeg = pos.k;
    LastLen = pos.d;
    return DrawResult::Drawn;
}

int TGraph2::GLBox(double x1, double y1, double x2, double y2) { return detail::gl_box({ *C, br0 }, x1, y1, x2, y2); }

int TGraph2::GLBoxA(double x1, double y1, double x2, double y2, double a)
{
    return detail::gl_box_a({ *C, br0 }, x1, y1, x2, y2, a);
}

// ---- Polylines and curves.

int TGraph2::GLPolyline() { return detail::gl_polyline({ *C, br0 }); }

int TGraph2::GLEllipse(double cx, double cy, double r, double h, double a)
{
    return detail::gl_ellipse({ *C, br0 }, cx, cy, r, h, a);
}

int TGraph2::GLEllipseArc(double cx, double cy, double r, double h, double a, double sa, double da)
{
    return detail::gl_ellipse_arc({ *C, br0 }, cx, cy, r, h, a, sa, da);
}

int TGraph2::GLEllipseBL(double cx, double cy, double r, double h, double a, double bx, double by, double b1, double b2,
    double b3, double b4, double sc)
{
    const BlockTrans bt { bx, by, b1, b2, b3, b4, sc };
    return detail::gl_ellipse({ *C, br0 }, cx, cy, r, h, a, &bt);
}

int TGraph2::GLEllipseArcBL(double cx, double cy, double r, double h, double a, double sa, double da, double bx,
    double by, double b1, double b2, double b3, double b4, double sc)
{
    const BlockTrans bt { bx, by, b1, b2, b3, b4, sc };
    return detail::gl_ellipse_arc({ *C, br0 }, cx, cy, r, h, a, sa, da, &bt);
}

namespace {

// The patterned arc shared by GLEllipseArcDT and GLEllipseArcBLDT: n chords through GLLineDT.
int arc_pieces(TGraph2& g, int lay, int typ, double cx, double cy, double r, double h, double a, double sa, double da,
    int n, const BlockTrans* bt)
{
    return detail::arc_chords(cx, cy, r, h, a, sa, da, n, bt,
        [&](double x1, double y1, double x2, double y2) { return g.GLLineDT(lay, typ, x1, y1, x2, y2); });
}

bool pattern_shows(int typ)
{
    return gGraAtt && gGraAtt->GetAttrTypseg(typ) != 0 && gGraAtt->GetAttrTyppit(typ) * gDispScale > 2;
}

} // namespace

int TGraph2::GLEllipseArcDT(int lay, int typ, double cx, double cy, double r, double h, double a, double sa, double da)
{
    if (!pattern_shows(typ))
        return GLEllipseArc(cx, cy, r, h, a, sa, da);
    double len = std::fabs(r * da);
    if (h > 1)
        len *= h;
    const double px = len * gDispScale;
    if (!(px > 2)) {
        if (detail::view_inside(cx, cy)) {
            double dx, dy;
            GLTransPt(cx, cy, dx, dy);
            GTen(dx, dy);
        }
        return DrawResult::TooSmall;
    }
    return arc_pieces(*this, lay, typ, cx, cy, r, h, a, sa, da, detail::arc_piece_count(px), nullptr);
}

int TGraph2::GLEllipseArcBLDT(int lay, int typ, double cx, double cy, double r, double h, double a, double sa,
    double da, double bx, double by, double b1, double b2, double b3, double b4, double sc)
{
    if (!pattern_shows(typ))
        return GLEllipseArcBL(cx, cy, r, h, a, sa, da, bx, by, b1, b2, b3, b4, sc);
    const BlockTrans bt { bx, by, b1, b2, b3, b4, sc };
    double ccx, ccy, ex, ey;
    bt.apply(cx, cy, ccx, ccy);
    bt.apply(cx + r * h, cy + r * h, ex, ey);
    const double px = std::hypot(ex - ccx, ey - ccy) * gDispScale;
    if (!(px > 1)) {
        if (detail::view_inside(ccx, ccy)) {
            double dx, dy;
            GLTransPt(ccx, ccy, dx, dy);
            GTen(dx, dy);
        }
        return DrawResult::TooSmall;
    }
    return arc_pieces(*this, lay, typ, cx, cy, r, h, a, sa, da, detail::arc_piece_count(px), &bt);
}

// ---- Solids.

int TGraph2::GLSolid() { return detail::gl_solid({ *C, br0 }); }
int TGraph2::GLSolidCircle(double cx, double cy, double r) { return detail::gl_solid_circle({ *C, br0 }, cx, cy, r); }

int TGraph2::GLSolidArc(int sty, double cx, double cy, double r, double h, double a, double sa, double da, double zf)
{
    return detail::gl_solid_arc({ *C, br0 }, sty, cx, cy, r, h, a, sa, da, zf);
}

int TGraph2::GLSolidArcBL(int sty, double cx, double cy, double r, double h, double a, double sa, double da, double zf,
    double bx, double by, double b1, double b2, double b3, double b4, double sc)
{
    const BlockTrans bt { bx, by, b1, b2, b3, b4, sc };
    return detail::gl_solid_arc({ *C, br0 }, sty, cx, cy, r, h, a, sa, da, zf, &bt);
}

// ---- Images.

bool TGraph2::GetImageSize(const std::u16string& fn, double& ix, double& iy)
{
    return detail::get_image_size(fn, ix, iy);
}

bool TGraph2::GetImageCopy(const std::u16string& src, const std::u16string& dst)
{
    return detail::get_image_copy(src, dst);
}

int TGraph2::GLImage(double x1, double y1, double x2, double y2, int Fm, const std::u16string& fn)
{
    return detail::gl_image({ *C, br0 }, x1, y1, x2, y2, Fm, fn);
}

int TGraph2::GLImage2(double x1, double y1, double x2, double y2, double drx, double dry, double drr, double dan,
    const std::u16string& fn)
{
    return detail::gl_image2({ *C, br0 }, x1, y1, x2, y2, drx, dry, drr, dan, fn, true);
}

// ---- Point markers.

namespace {

// A marker shape in its own frame (centred on the point, unit s = 1), turned and scaled onto the point.
struct MarkerFrame {
    double x, y, s, ca, sa;
    void map(double u, double v, double& px, double& py) const
    {
        u *= s;
        v *= s;
        px = x + u * ca - v * sa;
        py = y + u * sa + v * ca;
    }
};

constexpr double k_x = 0.8839; // 1.25 / sqrt(2)
constexpr double k_tri = 1.4434; // 5/3 cos 30 degrees
constexpr double k_ast = 1.0825; // 1.25 cos 30 degrees
constexpr double k_s = 1.7678; // 1.25 sqrt(2)

} // namespace

int TGraph2::GLTenMarker(
    double x, double y, int kf, int pc, double a, double ba, int lay, int col, int wd, uint32_t dcol)
{
    if (kf == 1) {
        GLPenSet(lay, col, 1, 0, dcol);
        return GLEllipse(x, y, 3 / gDispScale, 1, 0);
    }
    const double w = wd != 0 ? wd * 0.01 : (gGraAtt ? gGraAtt->GetAttrColwid(col) : 0.0);
    GLPenSet(lay, col, 1, w, dcol);
    if (ba <= 1e-8 || std::isnan(ba))
        ba = 1;
    const MarkerFrame f { x, y, ba, std::cos(a), std::sin(a) };

    auto seg = [&](double u1, double v1, double u2, double v2) {
        double px1, py1, px2, py2;
        f.map(u1, v1, px1, py1);
        f.map(u2, v2, px2, py2);
        return GLLine(px1, py1, px2, py2);
    };
    // Loads GLPoints with the closed outline through the given frame points.
    auto outline_points = [&](std::initializer_list<TDPoint> pts) {
        GLPoints.clear();
        for (const TDPoint& p : pts) {
            double px, py;
            f.map(p.X, p.Y, px, py);
            GLPoints.push_back({ px, py });
        }
        GLPoints.push_back(GLPoints.front());
        GLPointsN = static_cast<int>(GLPoints.size());
    };
    auto restore_fill = [&] { C->set_fill_color(C->stroke().Color); };
    const uint32_t back = gGraAtt ? gGraAtt->BackColor : 0xFFFFFFFF;
    // Outline first; then nothing, a background fill covering the inner half of the stroke, or a pen fill.
    enum class Fill { None, Back, Pen };
    auto shape = [&](std::initializer_list<TDPoint> pts, Fill fill) {
        outline_points(pts);
        const int res = GLPolyline();
        if (fill != Fill::None) {
            outline_points(pts);
            if (fill == Fill::Back)
                C->set_fill_color(back);
            GLSolid();
            if (fill == Fill::Back)
                restore_fill();
        }
        GLPoints.clear();
        GLPointsN = 0;
        return res;
    };
    auto circle = [&](Fill fill) {
        const double r = 1.25 * ba;
        const int res = GLEllipse(x, y, r, 1, 0);
        if (fill == Fill::Back)
            C->set_fill_color(back);
        if (fill != Fill::None)
            GLSolidCircle(x, y, r);
        if (fill == Fill::Back)
            restore_fill();
        return res;
    };
    const std::initializer_list<TDPoint> arrow = { { 0, 0 }, { -7.5, 1.25 }, { -7.5, -1.25 } };
    const std::initializer_list<TDPoint> square = { { -1.25, -1.25 }, { 1.25, -1.25 }, { 1.25, 1.25 },
        { -1.25, 1.25 } };

    switch (pc) {
    case -7: seg(k_x, k_x, -k_x, -k_x); return seg(-k_x, k_x, k_x, -k_x);
    case -6: {
        const double top = 5.0 / 3, low = -5.0 / 6;
        seg(0, top, -k_tri, low);
        seg(-k_tri, low, k_tri, low);
        return seg(k_tri, low, 0, top);
    }
    case -5:
        seg(-1.25, -1.25, 1.25, -1.25);
        seg(1.25, -1.25, 1.25, 1.25);
        seg(1.25, 1.25, -1.25, 1.25);
        return seg(-1.25, 1.25, -1.25, -1.25);
    case -4: seg(0, 1.25, 0, -1.25); return seg(-1.25, 0, 1.25, 0);
    case -3: {
        const double cw = gGraAtt ? gGraAtt->GetAttrColwid(col) : 0.0;
        GLPenSet(lay, col, 1, cw, dcol);
        double r = cw * ba;
        if (r < 1 / gDispScale)
            r = 1 / gDispScale;
        return GLSolidCircle(x, y, r);
    }
    case -2: return circle(Fill::None);
    case -1:
        seg(0, 1.25, 0, -1.25);
        seg(k_ast, 0.625, -k_ast, -0.625);
        return seg(-k_ast, 0.625, k_ast, -0.625);
    case 0: {
        GLPenSet(lay, col, 1, 0, dcol);
        double r = w / 2 + (gGraAtt ? gGraAtt->GetAttrColten(col) : 0.1);
        if (r < 2 / gDispScale)
            r = 2 / gDispScale;
        return GLSolidCircle(x, y, r);
    }
    case 1: return shape(arrow, Fill::Back);
    case 2: return shape(square, Fill::Back);
    case 3: return circle(Fill::Back);
    case 4: return circle(Fill::None);
    case 5: return shape(square, Fill::Pen);
    case 6: return shape(arrow, Fill::Pen);
    case 8: {
        const double r = k_s * ba;
        double c1x, c1y, c2x, c2y;
        f.map(k_s, 0, c1x, c1y);
        f.map(-k_s, 0, c2x, c2y);
        const int res = GLEllipseArc(c1x, c1y, r, 1, a, pi / 2, pi / 2);
        GLEllipseArc(c2x, c2y, r, 1, a, 3 * pi / 2, pi / 2);
        return res;
    }
    case 9: seg(0, 0, -7.5, 1.25); return seg(0, 0, -7.5, -1.25);
    case 10: return seg(k_s, k_s, -k_s, -k_s);
    case 11: return shape(arrow, Fill::None);
    default: return circle(Fill::Pen);
    }
}
