// The driver's steps around a drawing that tests, benchmarks and fuzz targets repeat without linking the driver:
// the attribute tables as it starts them and its view fit.
#pragma once
#include <algorithm>
#include <cmath>

#include "globals/UnitVal.h"
#include "graphics/UnitGraAtt.h"

namespace driver_steps {

// The attribute tables as the driver sets them up before it loads a drawing.
inline void start_attributes(TgraAttribute& att)
{
    att.SetDisplayMode(true);
    att.SetBackColor(0);
    att.SetDefaultColor();
    att.SetDefaultLayer();
    att.SetDefaultWidth();
    att.SetDefaultTenR();
    att.SetDefaultLtype();
    att.SetDispHojo(1);
    att.SetDispKijun(1);
    att.SetGrayColor(0xFF808080);
    att.SetAll1Color(false);
}

// The view globals for a width x height bitmap showing the rectangle grown by 5 %, centred, at the largest
// scale that shows all of it.
inline void fit_view(double xmin, double ymin, double xmax, double ymax, double width, double height)
{
    gDispWidth = width;
    gDispHeight = height;
    const double dx = std::max(std::fabs(xmax - xmin) * 1.05, 0.001);
    const double dy = std::max(std::fabs(ymax - ymin) * 1.05, 0.001);
    gDispScale = std::min(gDispWidth / dx, gDispHeight / dy);
    const double cx = (xmin + xmax) / 2, cy = (ymin + ymax) / 2;
    gDispX1 = cx - 0.5 * gDispWidth / gDispScale;
    gDispY1 = cy - 0.5 * gDispHeight / gDispScale;
    gDispX2 = cx + 0.5 * gDispWidth / gDispScale;
    gDispY2 = cy + 0.5 * gDispHeight / gDispScale;
}

} // namespace driver_steps
