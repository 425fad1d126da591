// The view fit.
#include "globals/ViewFit.h"

#include <algorithm>
#include <cmath>

#include "globals/UnitVal.h"

namespace detail {

void fit_span(double x1, double y1, double x2, double y2, double& dx, double& dy)
{
    dx = std::max(std::fabs(x2 - x1) * 1.05, 0.001);
    dy = std::max(std::fabs(y2 - y1) * 1.05, 0.001);
}

void fit_view(double x1, double y1, double x2, double y2, double width, double height)
{
    gDispWidth = width;
    gDispHeight = height;
    double dx = 0;
    double dy = 0;
    fit_span(x1, y1, x2, y2, dx, dy);
    gDispScale = std::min(gDispWidth / dx, gDispHeight / dy);
    const double hw = 0.5 * gDispWidth / gDispScale;
    const double hh = 0.5 * gDispHeight / gDispScale;
    const double cx = (x1 + x2) / 2;
    const double cy = (y1 + y2) / 2;
    gDispX1 = cx - hw;
    gDispY1 = cy - hh;
    gDispX2 = cx + hw;
    gDispY2 = cy + hh;
}

} // namespace detail
