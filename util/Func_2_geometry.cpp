// Func_2: rotations, angles, line crossings, ellipse points, drawing extents and block transforms.
#include "util/Func_2_geometry.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "util/Func_2_text.h"

namespace {

using std::numbers::pi;
// Points beyond this are garbage coordinates and must not widen the extents.
constexpr double kExtentRange = 5e11;
constexpr double kExtentClamp = 1e8;

bool in_extent_range(double x, double y)
{
    // Written so that NaN fails the test as well.
    return x >= -kExtentRange && x <= kExtentRange && y >= -kExtentRange && y <= kExtentRange;
}

void clamp_extents(double& minX, double& minY, double& maxX, double& maxY)
{
    if (minX < -kExtentClamp)
        minX = -kExtentClamp;
    if (minY < -kExtentClamp)
        minY = -kExtentClamp;
    if (maxX > kExtentClamp)
        maxX = kExtentClamp;
    if (maxY > kExtentClamp)
        maxY = kExtentClamp;
}

struct Trans {
    double bx, by, b1, b2, b3, b4, sc;
    void apply(double x, double y, double& px, double& py) const
    {
        px = (bx + b1 * x + b2 * y) / sc;
        py = (by + b3 * x + b4 * y) / sc;
    }
};

} // namespace

void ExchangeDouble(double& a, double& b) { std::swap(a, b); }

bool SamePointE12(double x1, double y1, double x2, double y2)
{
    return std::fabs(x1 - x2) <= 1e-12 && std::fabs(y1 - y2) <= 1e-12;
}

double Distance2P(double x1, double y1, double x2, double y2) { return std::hypot(x2 - x1, y2 - y1); }

double RotateX(double x, double y, double cx, double cy, double a)
{
    return cx + std::cos(a) * (x - cx) - std::sin(a) * (y - cy);
}

double RotateY(double x, double y, double cx, double cy, double a)
{
    return cy + std::sin(a) * (x - cx) + std::cos(a) * (y - cy);
}

void RotatePoint(double x, double y, double cx, double cy, double a, double& rx, double& ry)
{
    rx = RotateX(x, y, cx, cy, a);
    ry = RotateY(x, y, cx, cy, a);
}

void RotatePointDeg(double x, double y, double cx, double cy, double deg, double& rx, double& ry)
{
    // The drawings were made with this truncated π; keep it so rotated points land where they did.
    RotatePoint(x, y, cx, cy, deg * 3.14159265358979 / 180.0, rx, ry);
}

double LineAngle(double dx, double dy)
{
    if (std::fabs(dx) < 1e-14 && std::fabs(dy) < 1e-14)
        return 0.0;
    double t = std::atan2(dy, dx);
    if (t < 0)
        t += 2 * pi;
    // A tiny negative angle rounds up to 2π; keep the result inside [0, 2π).
    if (t >= 2 * pi)
        t = 0;
    return t;
}

double EllipseAngle(double x, double y, double cx, double cy, double h, double a)
{
    double rx = 0, ry = 0;
    RotatePoint(x, y, cx, cy, -a, rx, ry);
    if (h <= 0)
        h = 1;
    return LineAngle(rx - cx, (ry - cy) / h);
}

double PointLineDist(double x1, double y1, double x2, double y2, double px, double py)
{
    double t = LineAngle(x2 - x1, y2 - y1);
    return std::fabs(std::cos(t) * (py - y1) - std::sin(t) * (px - x1));
}

bool ProjectOnSegment(double x1, double y1, double x2, double y2, double px, double py, double& d)
{
    double t = LineAngle(x2 - x1, y2 - y1);
    double rpx = 0, rpy = 0, rex = 0, rey = 0;
    RotatePoint(px, py, x1, y1, -t, rpx, rpy);
    RotatePoint(x2, y2, x1, y1, -t, rex, rey);
    d = rpy - y1;
    return rpx >= x1 - 1e-12 && rpx <= rex + 1e-12;
}

int LineIntersect(
    double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4, double& x, double& y)
{
    bool v1 = std::fabs(x1 - x2) <= 1e-10;
    bool v2 = std::fabs(x3 - x4) <= 1e-10;
    double cx = 0, cy = 0;
    if (v1 && v2)
        return 0;
    if (v2) {
        double m1 = (y2 - y1) / (x2 - x1);
        cx = x3;
        cy = y1 + (x3 - x1) * m1;
    } else if (v1) {
        double m2 = (y4 - y3) / (x4 - x3);
        cx = x1;
        cy = y3 + (x1 - x3) * m2;
    } else {
        double m1 = (y2 - y1) / (x2 - x1);
        double m2 = (y4 - y3) / (x4 - x3);
        if (std::fabs(m1 - m2) <= 1e-10)
            return 0;
        cx = ((y3 - x3 * m2) - (y1 - x1 * m1)) / (m1 - m2);
        cy = (y1 - x1 * m1) + m1 * cx;
    }
    x = cx;
    y = cy;
    double d = 0;
    bool on1 = ProjectOnSegment(x1, y1, x2, y2, cx, cy, d);
    bool on2 = ProjectOnSegment(x3, y3, x4, y4, cx, cy, d);
    return on1 && on2 ? 1 : 2;
}

void EllipsePoint(double cx, double cy, double r, double h, double a, double t, double& px, double& py)
{
    double ux = r * std::cos(t);
    double uy = r * h * std::sin(t);
    px = cx + std::cos(a) * ux - std::sin(a) * uy;
    py = cy + std::sin(a) * ux + std::cos(a) * uy;
}

void EllipseArcInfo(double cx, double cy, double r, double h, double sa, double da, double a, double& sx, double& sy,
    double& ex, double& ey, double& tx, double& ty)
{
    EllipsePoint(cx, cy, r, h, a, sa, sx, sy);
    EllipsePoint(cx, cy, r, h, a, sa + da, ex, ey);

    double ea = sa + da;
    double s1x = r * std::cos(sa), s1y = r * h * std::sin(sa);
    double s2x = s1x + r * std::cos(sa + pi / 2), s2y = s1y + r * h * std::sin(sa + pi / 2);
    double e1x = r * std::cos(ea), e1y = r * h * std::sin(ea);
    double e2x = e1x + r * std::cos(ea - pi / 2), e2y = e1y + r * h * std::sin(ea - pi / 2);
    double ix = 0, iy = 0;
    if (LineIntersect(s1x, s1y, s2x, s2y, e1x, e1y, e2x, e2y, ix, iy) == 0) {
        ix = 0;
        iy = 0;
    }
    tx = cx + std::cos(a) * ix - std::sin(a) * iy;
    ty = cy + std::sin(a) * ix + std::cos(a) * iy;
}

void MinMaxInit(double& minX, double& minY, double& maxX, double& maxY, double x, double y, double div)
{
    if (!in_extent_range(x, y))
        return;
    minX = maxX = x / div;
    minY = maxY = y / div;
    clamp_extents(minX, minY, maxX, maxY);
}

void MinMaxAdd(double& minX, double& minY, double& maxX, double& maxY, double x, double y, double div)
{
    if (!in_extent_range(x, y))
        return;
    double X = x / div;
    double Y = y / div;
    if (X < minX)
        minX = X;
    if (Y < minY)
        minY = Y;
    if (X > maxX)
        maxX = X;
    if (Y > maxY)
        maxY = Y;
    clamp_extents(minX, minY, maxX, maxY);
}

void MinMaxAddTrans(double& minX, double& minY, double& maxX, double& maxY, double x, double y, double bx, double by,
    double b1, double b2, double b3, double b4, double div)
{
    if (!in_extent_range(x, y))
        return;
    // MinMaxAdd divides by div, which is T's divisor, and tests the transformed point's range too.
    MinMaxAdd(minX, minY, maxX, maxY, bx + b1 * x + b2 * y, by + b3 * x + b4 * y, div);
}

bool BlockTransIsIdentity(double b1, double b2, double b3, double b4)
{
    return std::fabs(b1 - 1) <= 1e-14 && std::fabs(b2) <= 1e-14 && std::fabs(b3) <= 1e-14 && std::fabs(b4 - 1) <= 1e-14;
}

void BlockTransPoint(double x, double y, double bx, double by, double b1, double b2, double b3, double b4, double sc,
    double& px, double& py)
{
    Trans { bx, by, b1, b2, b3, b4, sc }.apply(x, y, px, py);
}

void BlockTransLine(double x1, double y1, double x2, double y2, double bx, double by, double b1, double b2, double b3,
    double b4, double sc, double& px1, double& py1, double& px2, double& py2)
{
    Trans t { bx, by, b1, b2, b3, b4, sc };
    t.apply(x1, y1, px1, py1);
    t.apply(x2, y2, px2, py2);
}

void BlockTransTen(int style, int code, double x, double y, double ang, double ratio, double bx, double by, double b1,
    double b2, double b3, double b4, double sc, double& px, double& py, int& outCode, double& outAng, double& outRatio)
{
    Trans t { bx, by, b1, b2, b3, b4, sc };
    t.apply(x, y, px, py);
    if (style != 100) {
        outCode = 0;
        outAng = 0;
        outRatio = 1;
        return;
    }
    double qx = 0, qy = 0;
    t.apply(x + 10, y, qx, qy);
    double beta = LineAngle(qx - px, qy - py);
    if (b1 < 0)
        beta += pi;
    outCode = code;
    outAng = ang + beta;
    outRatio = ratio;
}

void BlockTransMoji(double x1, double y1, double x2, double y2, double w, double hgt, double sp, double bx, double by,
    double b1, double b2, double b3, double b4, double sc, double& px1, double& py1, double& px2, double& py2,
    double& tw, double& th, double& tsp)
{
    Trans t { bx, by, b1, b2, b3, b4, sc };
    double sx = 0, sy = 0, ex = 0, ey = 0;
    t.apply(x1, y1, sx, sy);
    t.apply(x2, y2, ex, ey);
    if (BlockTransIsIdentity(b1, b2, b3, b4)) {
        tw = w / sc;
        th = hgt / sc;
        tsp = sp / sc;
    } else {
        double al = LineAngle(x2 - x1, y2 - y1);
        double c = std::cos(al), s = std::sin(al);
        double qx = 0, qy = 0;
        t.apply(x1 + w * c, y1 + w * s, qx, qy);
        tw = Distance2P(sx, sy, qx, qy) / sc;
        t.apply(x1 + sp * c, y1 + sp * s, qx, qy);
        tsp = Distance2P(sx, sy, qx, qy) / sc;
        t.apply(x1 + hgt * std::cos(al + pi / 2), y1 + hgt * std::sin(al + pi / 2), qx, qy);
        th = PointLineDist(sx, sy, ex, ey, qx, qy) / sc;
        if (b1 * b4 < 0) {
            std::swap(sx, ex);
            std::swap(sy, ey);
        }
    }
    px1 = sx;
    py1 = sy;
    px2 = ex;
    py2 = ey;
}

void BlockTransMojiFit(const std::u16string& text, double x1, double y1, double x2, double y2, double w, double hgt,
    double sp, double bx, double by, double b1, double b2, double b3, double b4, double sc, double& px1, double& py1,
    double& px2, double& py2, double& tw, double& th, double& tsp)
{
    BlockTransMoji(x1, y1, x2, y2, w, hgt, sp, bx, by, b1, b2, b3, b4, sc, px1, py1, px2, py2, tw, th, tsp);
    tw = RoundDigit(tw, 4, 2);
    th = RoundDigit(th, 4, 2);
    tsp = RoundDigit(tsp, 4, 2);
    if (tw < 0.0001)
        tw = 0.0001;
    if (th < 0.0001)
        th = 0.0001;
    if (BlockTransIsIdentity(b1, b2, b3, b4))
        return;
    double mx = (px1 + px2) / 2;
    double my = (py1 + py2) / 2;
    double phi = LineAngle(px2 - px1, py2 - py1);
    double half = AnsiTextWidth(text, tw, tsp) / 2;
    px1 = mx - half * std::cos(phi);
    py1 = my - half * std::sin(phi);
    px2 = mx + half * std::cos(phi);
    py2 = my + half * std::sin(phi);
}

namespace detail {

double round_half_even(double v)
{
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff < 0.5)
        return f;
    if (diff > 0.5)
        return f + 1;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

std::array<TDPoint, 73> ellipse_arc_points(double cx, double cy, double r, double h, double a, double sa, double step)
{
    std::array<TDPoint, 73> out;
    double t = sa;
    for (auto& p : out) {
        EllipsePoint(cx, cy, r, h, a, t, p.X, p.Y);
        t += step;
    }
    return out;
}

std::array<TDPoint, 4> ellipse_axis_points(double cx, double cy, double r, double h, double a)
{
    std::array<TDPoint, 4> out;
    const double ts[4] = { 0, pi / 2, pi, 3 * pi / 2 };
    for (int k = 0; k < 4; ++k)
        EllipsePoint(cx, cy, r, h, a, ts[k], out[k].X, out[k].Y);
    return out;
}

} // namespace detail
