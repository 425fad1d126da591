// Arc sweeps and the extent points of arcs, shared by the ".jwc" and ".jwk" documents.
#include "formats/jwc/JwcShape.h"

#include <cmath>

namespace detail {
namespace {

// Whole turns are taken off first so that a hostile angle cannot keep the loops below busy.
double reduce_turns(double v)
{
    if (!std::isfinite(v))
        return 0;
    if (std::fabs(v) > 3600)
        v = std::fmod(v, 360.0);
    return v;
}

// Into 0 <= v < 360.
double normalize_deg(double v)
{
    v = reduce_turns(v);
    while (v < 0)
        v += 360;
    while (v >= 360)
        v -= 360;
    return v;
}

} // namespace

double arc_draw_sweep(double st, double et)
{
    double w = reduce_turns(double(et) - double(st));
    while (w < 0)
        w += 360;
    while (w > 360)
        w -= 360;
    return w;
}

bool is_full_sweep(double w) { return std::fabs(w) < kFullSweepEps || std::fabs(w - 360) < kFullSweepEps; }

void arc_extent_points(const TEntJwcArc2& e, const std::function<void(double, double)>& add)
{
    const double r = e.r, h = e.h, tt = double(e.tt) * kDegToRad;
    const double c = std::cos(tt), s_ = std::sin(tt);
    auto at = [&](double deg) {
        double t = deg * kDegToRad;
        double px = r * std::cos(t), py = r * h * std::sin(t);
        add(double(e.x) + c * px - s_ * py, double(e.y) + s_ * px + c * py);
    };
    const double s = normalize_deg(e.st);
    const double w = normalize_deg(double(e.et) - s);
    if (is_full_sweep(w)) {
        for (double q : { 0.0, 90.0, 180.0, 270.0 })
            at(q);
        return;
    }
    at(e.st);
    at(e.et);
    for (double q : { 0.0, 90.0, 180.0, 270.0 }) {
        double d = q == 0.0 ? 360.0 - s : q - s;
        if (d < 0)
            d += 360;
        if (d <= w)
            at(q);
    }
}

} // namespace detail
