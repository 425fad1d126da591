// ClipUnit: region codes and the one-pass segment clipper.
#include "util/ClipUnit.h"

#include <cmath>

namespace {

constexpr double eps = 1e-14;

// Moves (x, y) onto the edges named by its code, interpolating along the unclipped segment from (xo, yo).
void clip_end(double& x, double& y, int& c, double xo, double yo, double dx, double dy, double minX, double minY,
    double maxX, double maxY)
{
    if ((c & 1) && std::fabs(dx) > eps) {
        x = minX;
        y = yo + (x - xo) * dy / dx;
        c = ClipCode(x, y, minX, minY, maxX, maxY);
    }
    if ((c & 2) && std::fabs(dx) > eps) {
        x = maxX;
        y = yo + (x - xo) * dy / dx;
        c = ClipCode(x, y, minX, minY, maxX, maxY);
    }
    if ((c & 4) && std::fabs(dy) > eps) {
        y = minY;
        x = xo + (y - yo) * dx / dy;
        c = ClipCode(x, y, minX, minY, maxX, maxY);
    }
    if ((c & 8) && std::fabs(dy) > eps) {
        y = maxY;
        x = xo + (y - yo) * dx / dy;
        c = ClipCode(x, y, minX, minY, maxX, maxY);
    }
}

} // namespace

int ClipCode(double x, double y, double minX, double minY, double maxX, double maxY)
{
    // Written as negated tests so that a NaN coordinate counts as outside both of its edges.
    int c = 0;
    if (!(x >= minX + eps))
        c |= 1;
    if (!(x <= maxX - eps))
        c |= 2;
    if (!(y >= minY + eps))
        c |= 4;
    if (!(y <= maxY - eps))
        c |= 8;
    return c;
}

int ClipPoint(double x, double y, double minX, double minY, double maxX, double maxY)
{
    return ClipCode(x, y, minX, minY, maxX, maxY) == 0 ? 0 : 2;
}

int ClipLine(double& x1, double& y1, double& x2, double& y2, double minX, double minY, double maxX, double maxY)
{
    int c1 = ClipCode(x1, y1, minX, minY, maxX, maxY);
    int c2 = ClipCode(x2, y2, minX, minY, maxX, maxY);
    if (c1 == 0 && c2 == 0)
        return 0;
    if (c1 & c2)
        return 2;
    // Interpolating from an infinite or NaN end would hand NaN coordinates to the canvas.
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return 2;
    const double x1o = x1, y1o = y1;
    const double dx = x2 - x1, dy = y2 - y1;
    clip_end(x1, y1, c1, x1o, y1o, dx, dy, minX, minY, maxX, maxY);
    clip_end(x2, y2, c2, x1o, y1o, dx, dy, minX, minY, maxX, maxY);
    if (std::fabs(x2 - x1) < eps && std::fabs(y2 - y1) < eps)
        return 2;
    return 1;
}

int ClipLineTest(double x1, double y1, double x2, double y2, double minX, double minY, double maxX, double maxY)
{
    return ClipLine(x1, y1, x2, y2, minX, minY, maxX, maxY);
}
