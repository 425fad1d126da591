// The recording canvas: keeps a canvas's state and logs each call with it.
#include "platform/RecordingCanvas.h"

#include <cmath>

#include "platform/Bitmap.h"

namespace platform {

namespace {

std::vector<uint32_t> pixels_of(const Bitmap& b)
{
    std::vector<uint32_t> px;
    if (b.empty())
        return px;
    px.reserve(size_t(b.width()) * size_t(b.height()));
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            px.push_back(b.pixel(x, y));
    return px;
}

// Like a real canvas, a matrix that cannot be inverted is not taken on.
bool invertible(const Matrix& m)
{
    const double v[] = { m.xx, m.yx, m.xy, m.yy, m.x0, m.y0 };
    for (double d : v)
        if (!std::isfinite(d))
            return false;
    const double det = m.xx * m.yy - m.xy * m.yx;
    return std::isfinite(det) && det != 0;
}

} // namespace

RecordingCanvas::RecordingCanvas(int width, int height)
    : width_(width)
    , height_(height)
{
}

size_t RecordingCanvas::count(Op op) const
{
    size_t n = 0;
    for (const auto& r : records)
        n += r.op == op;
    return n;
}

std::vector<const RecordingCanvas::Record*> RecordingCanvas::of(Op op) const
{
    std::vector<const Record*> out;
    for (const auto& r : records)
        if (r.op == op)
            out.push_back(&r);
    return out;
}

const RecordingCanvas::Record* RecordingCanvas::last(Op op) const
{
    for (auto it = records.rbegin(); it != records.rend(); ++it)
        if (it->op == op)
            return &*it;
    return nullptr;
}

bool RecordingCanvas::draws(Op op)
{
    switch (op) {
    case Op::Clear:
    case Op::Line:
    case Op::Rect:
    case Op::Ellipse:
    case Op::Arc:
    case Op::Path:
    case Op::FillPolygon:
    case Op::Text:
    case Op::Bitmap: return true;
    default: return false;
    }
}

std::vector<const RecordingCanvas::Record*> RecordingCanvas::drawn() const
{
    std::vector<const Record*> out;
    for (const auto& r : records)
        if (draws(r.op))
            out.push_back(&r);
    return out;
}

RecordingCanvas::Record& RecordingCanvas::add(Op op)
{
    Record& r = records.emplace_back();
    r.op = op;
    r.stroke = stroke_;
    r.fill_kind = fill_kind_;
    r.fill_color = fill_color_;
    r.transform = transform_;
    return r;
}

void RecordingCanvas::begin_scene() { add(Op::BeginScene); }

void RecordingCanvas::end_scene() { add(Op::EndScene); }

void RecordingCanvas::clear(uint32_t argb) { add(Op::Clear).color = argb; }

void RecordingCanvas::set_stroke(const StrokeStyle& s)
{
    stroke_ = s;
    add(Op::SetStroke);
}

void RecordingCanvas::set_fill_color(uint32_t argb)
{
    fill_kind_ = FillKind::Color;
    fill_color_ = argb;
    add(Op::SetFillColor);
}

void RecordingCanvas::set_fill_bitmap(const platform::Bitmap& tile)
{
    fill_kind_ = FillKind::Bitmap;
    tile_width_ = tile.width();
    tile_height_ = tile.height();
    tile_ = pixels_of(tile);
    Record& r = add(Op::SetFillBitmap);
    r.image_width = tile_width_;
    r.image_height = tile_height_;
    r.image = tile_;
}

void RecordingCanvas::set_fill_gradient(const Gradient& g)
{
    fill_kind_ = FillKind::Gradient;
    gradient_ = g;
    add(Op::SetFillGradient).gradient = g;
}

void RecordingCanvas::draw_line(PointF a, PointF b) { add(Op::Line).pts = { a, b }; }

void RecordingCanvas::draw_line(PointF a, PointF b, const StrokeStyle& s)
{
    Record& r = add(Op::Line);
    r.pts = { a, b };
    r.stroke = s;
}

void RecordingCanvas::draw_rect(PointF a, PointF b, float rx, float ry)
{
    Record& r = add(Op::Rect);
    r.pts = { a, b };
    r.rx = rx;
    r.ry = ry;
}

void RecordingCanvas::draw_ellipse(PointF a, PointF b) { add(Op::Ellipse).pts = { a, b }; }

void RecordingCanvas::draw_arc(PointF centre, float rx, float ry, float start_deg, float sweep_deg)
{
    Record& r = add(Op::Arc);
    r.pts = { centre };
    r.rx = rx;
    r.ry = ry;
    r.start_deg = start_deg;
    r.sweep_deg = sweep_deg;
}

void RecordingCanvas::draw_path(const PointF* pts, size_t n, bool closed)
{
    Record& r = add(Op::Path);
    if (pts)
        r.pts.assign(pts, pts + n);
    r.closed = closed;
}

void RecordingCanvas::fill_polygon(const PointF* pts, size_t n)
{
    Record& r = add(Op::FillPolygon);
    if (pts)
        r.pts.assign(pts, pts + n);
    if (fill_kind_ == FillKind::Gradient)
        r.gradient = gradient_;
    if (fill_kind_ == FillKind::Bitmap) {
        r.image_width = tile_width_;
        r.image_height = tile_height_;
        r.image = tile_;
    }
}

void RecordingCanvas::set_transform(const Matrix& m)
{
    if (invertible(m))
        transform_ = m;
    add(Op::SetTransform).given = m;
}

void RecordingCanvas::multiply_transform(const Matrix& m)
{
    const Matrix t = Matrix::compose(m, transform_);
    if (invertible(m) && invertible(t))
        transform_ = t;
    add(Op::MultiplyTransform).given = m;
}

void RecordingCanvas::fill_text(std::u16string_view text, const RectF& r, const FontSpec& font)
{
    Record& rec = add(Op::Text);
    rec.text.assign(text);
    rec.rect = r;
    rec.font = font;
}

void RecordingCanvas::draw_bitmap(const platform::Bitmap& b, const RectF& src, const RectF& dst)
{
    Record& r = add(Op::Bitmap);
    r.src = src;
    r.rect = dst;
    r.image_width = b.width();
    r.image_height = b.height();
    r.image = pixels_of(b);
}

} // namespace platform
