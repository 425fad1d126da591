// The 2D canvas the renderers draw on: pixels, origin top-left, y down, colours 0xAARRGGBB.
// CairoCanvas draws into a Bitmap; DisplayList records the calls for replay into bands and for tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Bitmap;

struct PointF {
    float X = 0;
    float Y = 0;
};

struct RectF {
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;
};

enum class DashStyle { Solid, Dash, Dot, DashDot, DashDotDot };

// A stroke: round caps and mitre joins always; thickness in pixels, fractional allowed.
struct StrokeStyle {
    uint32_t Color = 0xFF000000;
    float Thickness = 1;
    DashStyle Dash = DashStyle::Solid;
};

// Affine map x' = xx*x + xy*y + x0, y' = yx*x + yy*y + y0 (Cairo's layout).
struct Matrix {
    double xx = 1, yx = 0, xy = 0, yy = 1, x0 = 0, y0 = 0;

    static Matrix translation(double tx, double ty) { return { 1, 0, 0, 1, tx, ty }; }
    static Matrix scaling(double sx, double sy) { return { sx, 0, 0, sy, 0, 0 }; }
    // Turns by `radians` in device space (y down: positive turns clockwise on screen).
    static Matrix rotation(double radians);
    // The map that applies `first`, then `then`.
    static Matrix compose(const Matrix& first, const Matrix& then);
    PointF apply(PointF p) const;
    // Whether Cairo takes the matrix on: finite, with a finite non-zero determinant and an inverse. Cairo
    // leaves a context broken for good after any other.
    bool invertible() const;
    bool is_identity() const { return xx == 1 && yx == 0 && xy == 0 && yy == 1 && x0 == 0 && y0 == 0; }
};

struct FontSpec {
    std::string Family; // fontconfig family name, already mapped from the drawing's font name
    float SizePx = 10;
    bool Bold = false;
    bool Italic = false;
};

struct GradientStop {
    double Offset = 0;
    uint32_t Color = 0xFF000000;
};

// A gradient whose points are relative to the bounding box of each filled polygon (0..1 each way).
struct Gradient {
    enum class Kind { Linear, Radial } Type = Kind::Linear;
    PointF Start; // linear: start point; radial: centre
    PointF End; // linear: end point; radial: unused (radius reaches the farthest box corner)
    std::vector<GradientStop> Stops;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;

    virtual void begin_scene() = 0;
    virtual void end_scene() = 0;
    virtual void clear(uint32_t argb) = 0;

    // Current stroke and fill.
    virtual void set_stroke(const StrokeStyle& s) = 0;
    virtual const StrokeStyle& stroke() const = 0;
    virtual void set_fill_color(uint32_t argb) = 0;
    virtual uint32_t fill_color() const = 0;
    // Tiled bitmap brush, tile origin at the device origin.
    virtual void set_fill_bitmap(const Bitmap& tile) = 0;
    virtual void set_fill_gradient(const Gradient& g) = 0;

    virtual void draw_line(PointF a, PointF b) = 0;
    virtual void draw_line(PointF a, PointF b, const StrokeStyle& s) = 0;
    // Rectangle by two corners with round corners of radii rx, ry (0 for square corners).
    virtual void draw_rect(PointF a, PointF b, float rx, float ry) = 0;
    // Ellipse inscribed in the rectangle of corners a, b.
    virtual void draw_ellipse(PointF a, PointF b) = 0;
    // Elliptic arc, angles in degrees, clockwise on screen for positive values (y down).
    virtual void draw_arc(PointF centre, float rx, float ry, float start_deg, float sweep_deg) = 0;
    // Open path through the points (move-to, then line-to), or closed when `closed`.
    virtual void draw_path(const PointF* pts, size_t n, bool closed) = 0;
    // Fills the polygon with the current fill (even-odd as an alternate fill rule).
    virtual void fill_polygon(const PointF* pts, size_t n) = 0;

    virtual Matrix transform() const = 0;
    virtual void set_transform(const Matrix& m) = 0;
    // Makes `m` act before the current transform (a local change of frame).
    virtual void multiply_transform(const Matrix& m) = 0;

    // Draws `text` with its first line's top-left at the rectangle's top-left, no wrapping, in the
    // current fill colour; what falls outside the rectangle is clipped.
    virtual void fill_text(std::u16string_view text, const RectF& r, const FontSpec& font) = 0;

    // Draws the source rectangle of `b` scaled into the destination rectangle.
    virtual void draw_bitmap(const Bitmap& b, const RectF& src, const RectF& dst) = 0;
};

} // namespace platform
