// A canvas that draws nothing and logs every call with the state it was made under, for renderer tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace platform {

class RecordingCanvas final : public Canvas {
public:
    enum class Op {
        BeginScene,
        EndScene,
        Clear,
        SetStroke,
        SetFillColor,
        SetFillBitmap,
        SetFillGradient,
        Line, // draw_line, with or without its own stroke
        Rect,
        Ellipse,
        Arc,
        Path,
        FillPolygon,
        SetTransform,
        MultiplyTransform,
        Text,
        Bitmap,
    };

    enum class FillKind { Color, Bitmap, Gradient };

    // One call. Only the fields that the call carries are meaningful; the state fields (stroke, fill,
    // transform) always hold the canvas state at the moment of the call, after a state change applied.
    struct Record {
        Op op = Op::BeginScene;
        // Line: a, b. Rect, Ellipse: the two corners. Arc: the centre. Path, FillPolygon: every point.
        std::vector<PointF> pts;
        float rx = 0, ry = 0; // Rect (corner radii), Arc
        float start_deg = 0, sweep_deg = 0; // Arc
        bool closed = false; // Path
        uint32_t color = 0; // Clear
        StrokeStyle stroke; // for Line: the stroke actually used
        FillKind fill_kind = FillKind::Color;
        uint32_t fill_color = 0xFF000000;
        Gradient gradient; // when fill_kind is Gradient
        int image_width = 0, image_height = 0; // brush tile (SetFillBitmap, FillPolygon) or Bitmap source
        std::vector<uint32_t> image; // its unpremultiplied pixels, row by row
        Matrix transform; // after the call
        Matrix given; // SetTransform, MultiplyTransform: the argument
        std::u16string text; // Text
        FontSpec font; // Text
        RectF rect; // Text: the layout rectangle; Bitmap: the destination
        RectF src; // Bitmap: the source rectangle
    };

    RecordingCanvas(int width, int height);

    std::vector<Record> records;

    // Number of records of one kind.
    size_t count(Op op) const;
    // The records of one kind, in call order.
    std::vector<const Record*> of(Op op) const;
    // The last record of one kind, or null.
    const Record* last(Op op) const;
    // Records that put something on the canvas (clear, lines, shapes, text, bitmaps), in call order.
    std::vector<const Record*> drawn() const;
    static bool draws(Op op);

    int width() const override { return width_; }
    int height() const override { return height_; }
    void begin_scene() override;
    void end_scene() override;
    void clear(uint32_t argb) override;
    void set_stroke(const StrokeStyle& s) override;
    const StrokeStyle& stroke() const override { return stroke_; }
    void set_fill_color(uint32_t argb) override;
    uint32_t fill_color() const override { return fill_color_; }
    void set_fill_bitmap(const platform::Bitmap& tile) override;
    void set_fill_gradient(const Gradient& g) override;
    void draw_line(PointF a, PointF b) override;
    void draw_line(PointF a, PointF b, const StrokeStyle& s) override;
    void draw_rect(PointF a, PointF b, float rx, float ry) override;
    void draw_ellipse(PointF a, PointF b) override;
    void draw_arc(PointF centre, float rx, float ry, float start_deg, float sweep_deg) override;
    void draw_path(const PointF* pts, size_t n, bool closed) override;
    void fill_polygon(const PointF* pts, size_t n) override;
    Matrix transform() const override { return transform_; }
    void set_transform(const Matrix& m) override;
    void multiply_transform(const Matrix& m) override;
    void fill_text(std::u16string_view text, const RectF& r, const FontSpec& font) override;
    void draw_bitmap(const platform::Bitmap& b, const RectF& src, const RectF& dst) override;

private:
    Record& add(Op op);

    int width_;
    int height_;
    StrokeStyle stroke_;
    FillKind fill_kind_ = FillKind::Color;
    uint32_t fill_color_ = 0xFF000000;
    Gradient gradient_;
    int tile_width_ = 0, tile_height_ = 0;
    std::vector<uint32_t> tile_;
    Matrix transform_;
};

} // namespace platform
