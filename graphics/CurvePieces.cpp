// The polyline's visibility tests, shared by the solid and the patterned polylines.
#include "graphics/CurvePieces.h"

#include <cmath>

#include "graphics/GraPoints.h"

namespace detail {

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
