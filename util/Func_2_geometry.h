// Func_2: rotations, angles, line crossings, ellipse points, drawing extents and block transforms.
#pragma once
#include <array>
#include <string>

#include "util/Types.h"

// A block transform T maps (x, y) to ((bx + b1 x + b2 y) / sc, (by + b3 x + b4 y) / sc); every routine
// below takes it as the seven doubles bx, by, b1, b2, b3, b4, sc in that order, as the renderer does.

void ExchangeDouble(double& a, double& b);
bool SamePointE12(double x1, double y1, double x2, double y2);
double Distance2P(double x1, double y1, double x2, double y2);

double RotateX(double x, double y, double cx, double cy, double a);
double RotateY(double x, double y, double cx, double cy, double a);
void RotatePoint(double x, double y, double cx, double cy, double a, double& rx, double& ry);
void RotatePointDeg(double x, double y, double cx, double cy, double deg, double& rx, double& ry);

// Direction of (dx, dy) in [0, 2π); 0 for a vector shorter than 1e-14 in both axes.
double LineAngle(double dx, double dy);
// Parameter angle of (x, y) on the ellipse centred at (cx, cy) with flatness h and tilt a.
double EllipseAngle(double x, double y, double cx, double cy, double h, double a);

double PointLineDist(double x1, double y1, double x2, double y2, double px, double py);
// d: signed distance from the line (positive to the left); true when the foot lies on the segment.
bool ProjectOnSegment(double x1, double y1, double x2, double y2, double px, double py, double& d);
// 0 parallel (x, y untouched), 1 crossing on both segments, 2 crossing outside a segment.
int LineIntersect(
    double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4, double& x, double& y);

// End points of the arc from sa over da and the crossing of the tangents there.
void EllipseArcInfo(double cx, double cy, double r, double h, double sa, double da, double a, double& sx, double& sy,
    double& ex, double& ey, double& tx, double& ty);
// Point of the ellipse (cx, cy, r, h, a) at parameter t.
void EllipsePoint(double cx, double cy, double r, double h, double a, double t, double& px, double& py);

// Extents: points outside ±5e11 are ignored; results are clamped to ±1e8.
void MinMaxInit(double& minX, double& minY, double& maxX, double& maxY, double x, double y, double div);
void MinMaxAdd(double& minX, double& minY, double& maxX, double& maxY, double x, double y, double div);
void MinMaxAddTrans(double& minX, double& minY, double& maxX, double& maxY, double x, double y, double bx, double by,
    double b1, double b2, double b3, double b4, double div);

// True when b1..b4 are the identity within 1e-14 (bx, by and sc may still move and scale).
bool BlockTransIsIdentity(double b1, double b2, double b3, double b4);
void BlockTransPoint(double x, double y, double bx, double by, double b1, double b2, double b3, double b4, double sc,
    double& px, double& py);
void BlockTransLine(double x1, double y1, double x2, double y2, double bx, double by, double b1, double b2, double b3,
    double b4, double sc, double& px1, double& py1, double& px2, double& py2);
void BlockTransTen(int style, int code, double x, double y, double ang, double ratio, double bx, double by, double b1,
    double b2, double b3, double b4, double sc, double& px, double& py, int& outCode, double& outAng, double& outRatio);
void BlockTransMoji(double x1, double y1, double x2, double y2, double w, double hgt, double sp, double bx, double by,
    double b1, double b2, double b3, double b4, double sc, double& px1, double& py1, double& px2, double& py2,
    double& tw, double& th, double& tsp);
void BlockTransMojiFit(const std::u16string& text, double x1, double y1, double x2, double y2, double w, double hgt,
    double sp, double bx, double by, double b1, double b2, double b3, double b4, double sc, double& px1, double& py1,
    double& px2, double& py2, double& tw, double& th, double& tsp);

namespace detail {

// Rounds to the nearest integer, halves to even, whatever the floating-point environment says.
double round_half_even(double v);

// The extent samples of an elliptical arc: 73 points from parameter sa, the parameter advancing by
// repeated addition of step (da / 72 for an arc; callers pass π / 36 where a whole ellipse is meant).
std::array<TDPoint, 73> ellipse_arc_points(double cx, double cy, double r, double h, double a, double sa, double step);
// The four axis end points (t = 0, π/2, π, 3π/2) that stand for a full ellipse in the extents.
std::array<TDPoint, 4> ellipse_axis_points(double cx, double cy, double r, double h, double a);

} // namespace detail
