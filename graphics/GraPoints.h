// The point lists both renderers share: world points for polylines and fills, device points for the canvas.
#pragma once
#include <vector>

#include "platform/Canvas.h"
#include "util/Types.h"

// Drawing units; filled by callers before GLPolyline/GLSolid and by the curve operations themselves.
// The count is authoritative; readers never go past the vector's size either.
extern std::vector<TDPoint> GLPoints;
extern int GLPointsN;
// Pixels; what GPolyline, GPolygon and GSolid draw.
extern std::vector<platform::PointF> GPoints;
extern int GPointsN;
