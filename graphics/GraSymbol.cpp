// TGraph's M7-only operations: point and end symbols with their extensions, hatch, gradient and picture fills.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "globals/UnitVal.h"
#include "graphics/GraCore.h"
#include "graphics/GraUnit.h"
#include "platform/Bitmap.h"
#include "util/Func_2_geometry.h"
#include "util/Func_2_text.h"

using detail::DrawResult;

namespace {

using std::numbers::pi;

// 0 when any part drew, else 2 when any part drew a dot, else 1.
struct Outcome {
    bool drawn = false;
    bool dot = false;
    void add(int r)
    {
        drawn = drawn || r == DrawResult::Drawn;
        dot = dot || r == DrawResult::TooSmall;
    }
    int result() const { return drawn ? DrawResult::Drawn : dot ? DrawResult::TooSmall : DrawResult::Outside; }
};

// The symbol's frame: the reference point, turned by the direction an.
struct Frame {
    double sx, sy, c, s;
    TDPoint at(double p, double q) const { return { sx + p * c - q * s, sy + p * s + q * c }; }
};

void set_pixel(platform::Bitmap& b, int x, int y, uint32_t argb)
{
    std::memcpy(b.data() + static_cast<size_t>(y) * b.stride() + static_cast<size_t>(x) * 4, &argb, 4);
}

uint32_t opaque(uint8_t r, uint8_t g, uint8_t b) { return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b; }

// Largest picture fill we build; larger ones leave the fill as it was.
constexpr int64_t max_fill_pixels = 16'000'000;

} // namespace

int TGraph::GLSymbol(double sx, double sy, double le, double ox, double oy, double r1, double r2, double ea, double an,
    double pa1, double pa2, uint8_t sty, uint8_t ext, uint8_t exa, uint8_t dir)
{
    const Frame f { sx, sy, std::cos(an), std::sin(an) };

    if (dir != 0 && le > 1e-6) {
        GLSetDT();
        if (ext == 2) {
            const TDPoint e = f.at(le, 0);
            GLLine2(sx, sy, e.X, e.Y);
        } else if (ext == 4 || ext == 6) {
            // An extension whose arithmetic fails (a zero radius) is skipped.
            const double sweep = le / r1;
            const double k = ext == 6 ? r2 / r1 : 1.0;
            if (std::isfinite(sweep) && std::isfinite(k)) {
                const double at = ext == 4 ? LineAngle(sx - ox, sy - oy) : EllipseAngle(sx, sy, ox, oy, k, ea);
                const double start = dir == 1 ? at - sweep : at;
                GLEllipseArc2(ox, oy, r1, k, ext == 4 ? 0.0 : ea, start, sweep);
            }
        }
    }

    GLSetDT();
    const double h = pa1 / 2;
    Outcome out;
    auto line = [&](TDPoint a, TDPoint b) { out.add(GLLine2(a.X, a.Y, b.X, b.Y)); };
    auto white_fill = [&] { C->set_fill_color(0xFFFFFFFF); };
    auto restore_fill = [&] { C->set_fill_color(C->stroke().Color); };
    // Loads GLPoints with the points and, when closed, the first one again.
    auto load = [&](std::initializer_list<TDPoint> pts, bool closed) {
        GLPoints.assign(pts);
        if (closed)
            GLPoints.push_back(GLPoints.front());
        GLPointsN = static_cast<int>(GLPoints.size());
    };
    auto done = [&] {
        GLPoints.clear();
        GLPointsN = 0;
    };
    const TDPoint ref { sx, sy };
    const TDPoint wing1 = f.at(pa1 * std::cos(pa2), pa1 * std::sin(pa2));
    const TDPoint wing2 = f.at(pa1 * std::cos(-pa2), pa1 * std::sin(-pa2));
    // Filled shape (fill: 0 none, 1 fill colour, 2 white), then its outline with the dash pattern.
    auto shape = [&](std::initializer_list<TDPoint> pts, int fill) {
        if (fill != 0) {
            if (fill == 2)
                white_fill();
            load(pts, false);
            out.add(GLSolid());
            if (fill == 2)
                restore_fill();
        }
        load(pts, true);
        out.add(GLPolyline2());
        done();
    };

    switch (sty) {
    case 1:
        out.add(GLSolidCircle(sx, sy, h));
        out.add(GLEllipse(sx, sy, h, 1, 0));
        break;
    case 2: out.add(GLEllipse2(sx, sy, h, 1, 0)); break;
    case 3:
        out.add(GLEllipse2(sx, sy, h, 1, 0));
        out.add(GLEllipse2(sx, sy, pa1 / 4, 1, 0));
        break;
    case 4: out.add(GLSolidCircle(sx, sy, h)); break;
    case 5:
        white_fill();
        out.add(GLSolidCircle(sx, sy, h));
        restore_fill();
        out.add(GLEllipse2(sx, sy, h, 1, 0));
        break;
    case 11:
        line(ref, wing1);
        GLSetDT();
        line(ref, wing2);
        break;
    case 12:
        line(ref, wing1);
        GLSetDT();
        line(wing1, wing2);
        GLSetDT();
        line(wing2, ref);
        break;
    case 13: shape({ ref, wing1, wing2 }, 1); break;
    case 14: shape({ ref, wing1, wing2 }, 2); break;
    case 15: line(wing1, f.at(pa1 * std::cos(pa2 + pi), pa1 * std::sin(pa2 + pi))); break;
    case 16: {
        const double q = pa1 * std::sqrt(2.0) / 2;
        const double th = pa2 - pi / 4;
        const TDPoint c1 = f.at(q * std::cos(th), q * std::sin(th));
        const TDPoint c2 = f.at(q * std::cos(th + pi), q * std::sin(th + pi));
        out.add(GLEllipseArc(c1.X, c1.Y, q, 1, an, th + pi / 2, pi / 2));
        out.add(GLEllipseArc(c2.X, c2.Y, q, 1, an, th + 3 * pi / 2, pi / 2));
        break;
    }
    case 17: {
        const double dir_angle = LineAngle(std::cos(an), std::sin(an));
        const double s = dir_angle > pi / 2 && dir_angle <= 3 * pi / 2 ? -pa2 : pa2;
        line(f.at(0, s), f.at(pa1, s));
        break;
    }
    case 18:
    case 19:
    case 20: shape({ f.at(-h, -h), f.at(h, -h), f.at(h, h), f.at(-h, h) }, sty - 18); break;
    default: break;
    }
    return out.result();
}

void TGraph::GPolygonPattern(int ptn, uint32_t col)
{
    struct Tile {
        int w, h, x, y;
    };
    static const Tile tiles[5] = { { 2, 2, 1, 1 }, { 4, 2, 2, 1 }, { 4, 4, 2, 2 }, { 8, 4, 4, 2 }, { 8, 8, 4, 4 } };
    if (ptn < 1 || ptn > 5)
        return;
    const Tile& t = tiles[ptn - 1];
    platform::Bitmap tile;
    if (!tile.resize(t.w, t.h))
        return;
    tile.fill(0xFFFFFFFF);
    // The tile is opaque, so premultiplied and plain colours agree once alpha is full.
    const uint32_t c = col | 0xFF000000u;
    set_pixel(tile, 0, 0, c);
    set_pixel(tile, t.x, t.y, c);
    C->set_fill_bitmap(tile);
}

void TGraph::GPolygonGrad(int typ, uint32_t col1, uint32_t col2, TDPoint p1, TDPoint p2, double x1, double y1,
    double x2, double y2, double ang)
{
    const double w = std::max(x2 - x1, 1e-10);
    const double g = std::max(y2 - y1, 1e-10);
    auto rel = [](double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); };
    const double sa = rel((p1.X - x1) / w), ta = rel((p1.Y - y1) / g);
    const double sb = rel((p2.X - x1) / w), tb = rel((p2.Y - y1) / g);
    const uint32_t c1 = ColorRefToAlpha(static_cast<int32_t>(col1));
    const uint32_t c2 = ColorRefToAlpha(static_cast<int32_t>(col2));
    const platform::PointF a { static_cast<float>(sa), static_cast<float>(1 - ta) };
    const platform::PointF b { static_cast<float>(sb), static_cast<float>(1 - tb) };
    switch (typ) {
    case 0: gradient_ = { platform::Gradient::Kind::Linear, a, b, { { 0, c1 }, { 1, c2 } } }; break;
    case 1: gradient_ = { platform::Gradient::Kind::Linear, a, b, { { 0, c2 }, { 0.5, c1 }, { 1, c2 } } }; break;
    case 2:
    case 3: gradient_ = { platform::Gradient::Kind::Radial, a, a, { { 0, c2 }, { 1, c1 } } }; break;
    default: break;
    }
    C->set_fill_gradient(gradient_);
}

void TGraph::GPolygonBmp(int x, int y, int d, std::span<const uint8_t> bmp, std::span<const uint8_t> palette)
{
    if (x <= 0 || y <= 0 || x > platform::Bitmap::max_side || y > platform::Bitmap::max_side)
        return;
    if (d != 1 && d != 4 && d != 8 && d != 16 && d != 24 && d != 32)
        return;
    if (int64_t(x) * y > max_fill_pixels)
        return;
    // Rows are padded to whole 32-bit words; pixel data that does not cover the picture is not used.
    const size_t stride = (static_cast<size_t>(x) * d + 31) / 32 * 4;
    if (bmp.size() / stride < static_cast<size_t>(y))
        return;
    // The tile repeats from the device origin, so only its first columns and its first rows from the top, as many
    // as the canvas has, are ever seen: the rest is not converted.
    const int cols = std::min(x, std::max(C->width(), 1));
    const int rows = std::min(y, std::max(C->height(), 1));
    platform::Bitmap tile;
    if (!tile.resize(cols, rows))
        return;
    auto indexed = [&](unsigned i) {
        if (palette.size() >= (i + 1) * 4)
            return opaque(palette[i * 4 + 2], palette[i * 4 + 1], palette[i * 4]);
        const unsigned levels = (1u << d) - 1;
        const auto v = static_cast<uint8_t>(i * 255 / levels);
        return opaque(v, v, v);
    };
    for (int row = y - rows; row < y; ++row) {
        const uint8_t* src = bmp.data() + static_cast<size_t>(row) * stride;
        const int out_row = y - 1 - row; // rows are stored bottom-up
        for (int col = 0; col < cols; ++col) {
            uint32_t c = 0xFF000000;
            switch (d) {
            case 1: c = indexed((src[col / 8] >> (7 - col % 8)) & 1); break;
            case 4: c = indexed((src[col / 2] >> (col % 2 ? 0 : 4)) & 15); break;
            case 8: c = indexed(src[col]); break;
            case 16: {
                // 5 bits each of red, green and blue.
                const unsigned v = src[col * 2] | (src[col * 2 + 1] << 8);
                auto five = [](unsigned p) { return static_cast<uint8_t>((p & 31) * 255 / 31); };
                c = opaque(five(v >> 10), five(v >> 5), five(v));
                break;
            }
            case 24: c = opaque(src[col * 3 + 2], src[col * 3 + 1], src[col * 3]); break;
            case 32: c = opaque(src[col * 4 + 2], src[col * 4 + 1], src[col * 4]); break;
            }
            set_pixel(tile, col, out_row, c);
        }
    }
    C->set_fill_bitmap(tile);
}
