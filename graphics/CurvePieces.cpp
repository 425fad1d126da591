// The polyline's visibility tests and the part of a segment a pattern walk covers, shared by both renderers.
#include "graphics/CurvePieces.h"

#include <algorithm>
#include <cmath>

#include "globals/UnitVal.h"
#include "graphics/GraPoints.h"

namespace detail {

bool period_walks(double period) { return period * gDispScale >= solid_period_px; }

bool walk_span(double x, double y, double ux, double uy, double rest, double& lo, double& len)
{
    lo = 0;
    len = rest;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(rest))
        return false;
    const double diagonal = std::hypot(gDispX2 - gDispX1, gDispY2 - gDispY1);
    if (!(rest > diagonal + walk_slack_px / gDispScale))
        return true;
    // Liang-Barsky: the segment is inside an edge while p t <= q.
    double hi = rest;
    auto edge = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        const double t = q / p;
        if (p < 0)
            lo = std::max(lo, t);
        else
            hi = std::min(hi, t);
        return true;
    };
    if (!edge(-ux, x - gDispX1) || !edge(ux, gDispX2 - x) || !edge(-uy, y - gDispY1) || !edge(uy, gDispY2 - y)
        || !(hi > lo))
        return false;
    // Far-away ends leave lo and hi imprecise; what lies inside is never longer than the diagonal.
    len = std::min(hi - lo, diagonal);
    return true;
}

int polyline_precheck(Surface s, int n)
{
    if (n < 2 || static_cast<size_t>(n) > GLPoints.size())
        return NothingToDraw;
    int common = 15;
    for (int i = 0; i < n && common; ++i)
        common &= view_code(GLPoints[i].X, GLPoints[i].Y);
    if (common)
        return Outside;
    int rejected = 0;
    double total = 0;
    for (int i = 1; i < n; ++i) {
        double x1 = GLPoints[i - 1].X, y1 = GLPoints[i - 1].Y, x2 = GLPoints[i].X, y2 = GLPoints[i].Y;
        if (view_clip(x1, y1, x2, y2) == 2) {
            ++rejected;
            continue;
        }
        double px1, py1, px2, py2;
        trans_pt(x1, y1, px1, py1);
        trans_pt(x2, y2, px2, py2);
        total += std::hypot(px2 - px1, py2 - py1);
    }
    if (rejected == n - 1)
        return Outside;
    if (total > 2)
        return Drawn;
    const TDPoint& last = GLPoints[n - 1];
    if (view_inside(last.X, last.Y)) {
        double px, py;
        trans_pt(last.X, last.Y, px, py);
        g_ten(s, px, py);
    }
    return TooSmall;
}

} // namespace detail
