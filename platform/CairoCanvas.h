// The Canvas over a Cairo ARGB32 image surface that shares the pixels of a Bitmap: a whole picture, or one
// band of it when the bitmap stands for a rectangle further in; or over a Cairo vector surface (PDF, SVG,
// PostScript), where fills, images and text stay what they are instead of becoming pixels.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace platform {

class CairoCanvas final : public Canvas {
public:
    // The bitmap must outlive the canvas and keep its size while the canvas exists.
    explicit CairoCanvas(Bitmap& target);
    // The bitmap holds the pixels from (origin_x, origin_y) on: every call draws in the coordinates of the
    // whole picture, and exactly the pixels it would give there land in the bitmap.
    CairoCanvas(Bitmap& target, int origin_x, int origin_y);
    // Draws a picture of width x height pixels onto a vector surface, whose device scale maps those pixels
    // onto its page. Holds a reference to the surface.
    CairoCanvas(cairo_surface_t* vector_surface, int width, int height);
    ~CairoCanvas() override;
    CairoCanvas(const CairoCanvas&) = delete;
    CairoCanvas& operator=(const CairoCanvas&) = delete;

    int width() const override;
    int height() const override;
    void begin_scene() override;
    void end_scene() override;
    void clear(uint32_t argb) override;
    void set_stroke(const StrokeStyle& s) override;
    const StrokeStyle& stroke() const override { return stroke_; }
    void set_fill_color(uint32_t argb) override;
    uint32_t fill_color() const override { return fill_color_; }
    void set_fill_bitmap(const Bitmap& tile) override;
    void set_fill_gradient(const Gradient& g) override;
    void draw_line(PointF a, PointF b) override;
    void draw_line(PointF a, PointF b, const StrokeStyle& s) override;
    void draw_rect(PointF a, PointF b, float rx, float ry) override;
    void draw_ellipse(PointF a, PointF b) override;
    void draw_arc(PointF centre, float rx, float ry, float start_deg, float sweep_deg) override;
    void draw_path(const PointF* pts, size_t n, bool closed) override;
    void fill_polygon(const PointF* pts, size_t n) override;
    Matrix transform() const override;
    void set_transform(const Matrix& m) override;
    void multiply_transform(const Matrix& m) override;
    // Defined with the font machinery in CairoText.cpp.
    void fill_text(std::u16string_view text, const RectF& r, const FontSpec& font) override;
    void draw_bitmap(const Bitmap& b, const RectF& src, const RectF& dst) override;

    cairo_t* context() { return cr_; }

private:
    void apply_stroke(const StrokeStyle& s);
    cairo_pattern_t* gradient_pattern(const PointF* pts, size_t n) const;
    bool unit_transform() const;
    void fill_in_cells(double x1, double y1, double x2, double y2, const std::function<void(cairo_t*)>& draw);
    // The surface of a bitmap's pixels, one per distinct picture, so that a vector document stores each once.
    cairo_surface_t* vector_source(const Bitmap& b);
    // Whether a stroke leaves any ink: Cairo's image surfaces draw nothing for a width of 0, PDF a hairline.
    bool inks(const StrokeStyle& s) const;

    struct Source {
        Bitmap pixels; // a share, kept while the surface lives
        uint64_t hash;
        cairo_surface_t* surface;
    };

    Bitmap* target_ = nullptr; // null on a vector surface
    int width_ = 0;
    int height_ = 0;
    bool vector_ = false;
    std::vector<Source> sources_;
    int origin_x_ = 0;
    int origin_y_ = 0;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    StrokeStyle stroke_;
    uint32_t fill_color_ = 0xFF000000;
    enum class FillKind { Solid, Bitmap, Gradient } fill_kind_ = FillKind::Solid;
    cairo_pattern_t* fill_pattern_ = nullptr; // owned; bitmap tile
    Gradient fill_gradient_;
};

} // namespace platform
