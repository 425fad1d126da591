// The drawing operations both renderers share: device primitives, world transform, clipped lines, curves, fills.
#pragma once
#include <cstdint>

#include "graphics/DrawResult.h"
#include "platform/Canvas.h"

namespace detail {

// What the shared operations draw with: a renderer's canvas and its one-pixel dot stroke (br0).
struct Surface {
    platform::Canvas& C;
    platform::StrokeStyle& br0;
};

// A block instance transform: (x, y) -> ((b1 x + b2 y + bx) / sc, (b3 x + b4 y + by) / sc).
struct BlockTrans {
    double bx = 0, by = 0, b1 = 1, b2 = 0, b3 = 0, b4 = 1, sc = 1;
    void apply(double x, double y, double& px, double& py) const;
};

// ---- View window (the driver's gDisp* globals).
int view_code(double x, double y);
bool view_inside(double x, double y);
int view_clip(double& x1, double& y1, double& x2, double& y2);
void trans_pt(double x1, double y1, double& x2, double& y2);
platform::PointF to_device(double x, double y);

// ---- Device layer (pixels).
void g_cls(Surface s, uint32_t col);
void g_pen_set(Surface s, uint32_t col, uint32_t typ, uint32_t wid);
void g_ten(Surface s, double x, double y);
void g_line(Surface s, double x1, double y1, double x2, double y2);
void g_box(Surface s, double x1, double y1, double x2, double y2);
void g_rbox(Surface s, double x1, double y1, double x2, double y2, double rx, double ry);
void g_circle(Surface s, double x, double y, double r);
void g_ellipse(Surface s, double x1, double y1, double x2, double y2);
void g_arc(Surface s, double x, double y, double r, double sa, double da);
void g_ellipse_arc(Surface s, double x, double y, double rx, double ry, double sa, double da);
void g_polyline(Surface s);
void g_polygon(Surface s);
void g_solid(Surface s);

// ---- World layer (drawing units).
int gl_line(Surface s, double x1, double y1, double x2, double y2);
int gl_box(Surface s, double x1, double y1, double x2, double y2);
int gl_box_a(Surface s, double x1, double y1, double x2, double y2, double a);
int gl_polyline(Surface s);
// GLPointsN, but never past the end of GLPoints.
int world_point_count();
// Solid curves sampled at 73 points; bt, when given, maps every point.
int gl_ellipse(Surface s, double cx, double cy, double r, double h, double a, const BlockTrans* bt = nullptr);
int gl_ellipse_arc(Surface s, double cx, double cy, double r, double h, double a, double sa, double da,
    const BlockTrans* bt = nullptr);
int gl_solid(Surface s);
int gl_solid_circle(Surface s, double cx, double cy, double r);
int gl_solid_arc(Surface s, int sty, double cx, double cy, double r, double h, double a, double sa, double da,
    double zf, const BlockTrans* bt = nullptr);

} // namespace detail
