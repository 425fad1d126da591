// Definitions of the shared point lists.
#include "graphics/GraPoints.h"

std::vector<TDPoint> GLPoints;
int GLPointsN = 0;
std::vector<platform::PointF> GPoints;
int GPointsN = 0;
