// The Cairo canvas: strokes, fills, brushes, transforms and bitmaps on the pixels of a Bitmap.
#include "platform/CairoCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <new>
#include <numbers>
#include <string>

namespace platform {

namespace {

constexpr double kMaxSweep = 360.0;
// Below this radius (pixels) an ellipse or arc is a straight stroke: scaling a path by zero would
// leave the Cairo context in an error state for good.
constexpr double kMinRadius = 1e-6;

bool finite(PointF p) { return std::isfinite(p.X) && std::isfinite(p.Y); }

bool all_finite(const PointF* pts, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (!finite(pts[i]))
            return false;
    return true;
}

void set_source(cairo_t* cr, uint32_t argb)
{
    cairo_set_source_rgba(
        cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
}

void add_stop(cairo_pattern_t* p, const GradientStop& s)
{
    const uint32_t c = s.Color;
    const double offset = std::isfinite(s.Offset) ? std::clamp(s.Offset, 0.0, 1.0) : 0.0;
    cairo_pattern_add_color_stop_rgba(
        p, offset, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0, (c >> 24) / 255.0);
}

cairo_matrix_t to_cairo(const Matrix& m)
{
    cairo_matrix_t c;
    cairo_matrix_init(&c, m.xx, m.yx, m.xy, m.yy, m.x0, m.y0);
    return c;
}

// A surface over the tile's pixels, holding a share of them for as long as it lives: a brush outlives
// the bitmap it was made from without a copy. Cairo only reads a source surface; the cast does not let
// it write.
cairo_surface_t* tile_surface(const Bitmap& b)
{
    cairo_surface_t* s = cairo_image_surface_create_for_data(
        const_cast<uint8_t*>(b.data()), CAIRO_FORMAT_ARGB32, b.width(), b.height(), b.stride());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
        return s;
    static cairo_user_data_key_t key;
    auto* held = new Bitmap(b.share());
    if (cairo_surface_set_user_data(s, &key, held, [](void* p) { delete static_cast<Bitmap*>(p); })
        != CAIRO_STATUS_SUCCESS) {
        delete held;
        cairo_surface_destroy(s);
        return cairo_image_surface_create(CAIRO_FORMAT_INVALID, 0, 0);
    }
    return s;
}

struct Box {
    double x1, y1, x2, y2;
};

Box bounds(const PointF* pts, size_t n)
{
    Box b { pts[0].X, pts[0].Y, pts[0].X, pts[0].Y };
    for (size_t i = 1; i < n; ++i) {
        b.x1 = std::min<double>(b.x1, pts[i].X);
        b.y1 = std::min<double>(b.y1, pts[i].Y);
        b.x2 = std::max<double>(b.x2, pts[i].X);
        b.y2 = std::max<double>(b.y2, pts[i].Y);
    }
    return b;
}

// Dash lengths in multiples of the thickness. Round caps add half a thickness at each end of a dash,
// so these read as dashes of 4, dots of 1 and gaps of 2; zero-length dashes show as round dots.
void set_dash(cairo_t* cr, DashStyle d, double thickness)
{
    static constexpr double dash[] = { 3, 3 };
    static constexpr double dot[] = { 0, 3 };
    static constexpr double dash_dot[] = { 3, 3, 0, 3 };
    static constexpr double dash_dot_dot[] = { 3, 3, 0, 3, 0, 3 };
    const double* pat = nullptr;
    int n = 0;
    switch (d) {
    case DashStyle::Dash: pat = dash, n = 2; break;
    case DashStyle::Dot: pat = dot, n = 2; break;
    case DashStyle::DashDot: pat = dash_dot, n = 4; break;
    case DashStyle::DashDotDot: pat = dash_dot_dot, n = 6; break;
    case DashStyle::Solid: break;
    }
    if (!pat) {
        cairo_set_dash(cr, nullptr, 0, 0);
        return;
    }
    // Thin lines still get dashes one pixel apart at least.
    const double unit = std::max(thickness, 1.0);
    double scaled[6];
    for (int i = 0; i < n; ++i)
        scaled[i] = pat[i] * unit;
    cairo_set_dash(cr, scaled, n, 0);
}

// Adds the outline of an ellipse arc, angles in radians, to the current path.
void add_arc(cairo_t* cr, double cx, double cy, double rx, double ry, double a1, double a2)
{
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    if (a2 >= a1)
        cairo_arc(cr, 0, 0, 1, a1, a2);
    else
        cairo_arc_negative(cr, 0, 0, 1, a1, a2);
    cairo_restore(cr);
}

} // namespace

CairoCanvas::CairoCanvas(Bitmap& target)
    : CairoCanvas(target, 0, 0)
{
}

CairoCanvas::CairoCanvas(Bitmap& target, int origin_x, int origin_y)
    : target_(&target)
    , width_(target.width())
    , height_(target.height())
    , origin_x_(origin_x)
    , origin_y_(origin_y)
{
    uint8_t* px = target.data();
    if (!px)
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 0, 0);
    else
        surface_ = cairo_image_surface_create_for_data(
            px, CAIRO_FORMAT_ARGB32, target.width(), target.height(), target.stride());
    // Whole pixels only: a path shifted by them meets Cairo's fixed-point grid exactly as before.
    cairo_surface_set_device_offset(surface_, -double(origin_x), -double(origin_y));
    cr_ = cairo_create(surface_);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
}

CairoCanvas::CairoCanvas(cairo_surface_t* vector_surface, int width, int height)
    : width_(std::max(width, 0))
    , height_(std::max(height, 0))
    , vector_(true)
    , surface_(cairo_surface_reference(vector_surface))
{
    cr_ = cairo_create(surface_);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
}

CairoCanvas::~CairoCanvas()
{
    if (fill_pattern_)
        cairo_pattern_destroy(fill_pattern_);
    cairo_destroy(cr_);
    for (Source& s : sources_)
        cairo_surface_destroy(s.surface);
    if (!vector_)
        cairo_surface_flush(surface_);
    cairo_surface_destroy(surface_);
}

int CairoCanvas::width() const { return width_; }

int CairoCanvas::height() const { return height_; }

void CairoCanvas::begin_scene()
{
    // The bitmap may have been written directly since the last scene.
    if (!vector_)
        cairo_surface_mark_dirty(surface_);
}

void CairoCanvas::end_scene()
{
    if (!vector_)
        cairo_surface_flush(surface_);
}

bool CairoCanvas::inks(const StrokeStyle& s) const
{
    return !vector_ || (s.Thickness > 0 && std::isfinite(s.Thickness));
}

namespace {

uint64_t pixel_hash(const Bitmap& b)
{
    uint64_t h = 1469598103934665603ull ^ (uint64_t(uint32_t(b.width())) << 32 | uint32_t(b.height()));
    const uint8_t* p = b.data();
    for (size_t i = 0, n = size_t(b.stride()) * size_t(b.height()); i < n; ++i)
        h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

bool same_pixels(const Bitmap& a, const Bitmap& b)
{
    if (a.data() == b.data())
        return true;
    return a.width() == b.width() && a.height() == b.height()
        && std::memcmp(a.data(), b.data(), size_t(a.stride()) * size_t(a.height())) == 0;
}

} // namespace

// Drawings decode an image again at each use: the pixels, not the bitmap, tell one picture from another.
// The unique id lets every surface kind, PostScript's forms included, keep one copy however often it is used.
cairo_surface_t* CairoCanvas::vector_source(const Bitmap& b)
{
    for (const Source& s : sources_)
        if (s.pixels.data() == b.data())
            return s.surface;
    const uint64_t hash = pixel_hash(b);
    for (const Source& s : sources_)
        if (s.hash == hash && same_pixels(s.pixels, b))
            return s.surface;
    cairo_surface_t* surface = tile_surface(b);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    const std::string id = "image-" + std::to_string(sources_.size());
    auto* bytes = new unsigned char[id.size()];
    std::memcpy(bytes, id.data(), id.size());
    if (cairo_surface_set_mime_data(
            surface, CAIRO_MIME_TYPE_UNIQUE_ID, bytes, id.size(),
            [](void* p) { delete[] static_cast<unsigned char*>(p); }, bytes)
        != CAIRO_STATUS_SUCCESS)
        delete[] bytes;
    try {
        sources_.push_back({ b.share(), hash, surface });
    } catch (const std::bad_alloc&) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

void CairoCanvas::clear(uint32_t argb)
{
    // A page cannot be emptied again, and replacing what lies under would make the document a picture: the
    // page starts empty over the document's background, so painting over it is the same.
    if (vector_) {
        if ((argb >> 24) == 0)
            return;
        cairo_save(cr_);
        cairo_identity_matrix(cr_);
        cairo_reset_clip(cr_);
        set_source(cr_, argb);
        cairo_paint(cr_);
        cairo_restore(cr_);
        return;
    }
    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    cairo_reset_clip(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
    set_source(cr_, argb);
    cairo_paint(cr_);
    cairo_restore(cr_);
}

void CairoCanvas::set_stroke(const StrokeStyle& s) { stroke_ = s; }

void CairoCanvas::set_fill_color(uint32_t argb)
{
    fill_color_ = argb;
    fill_kind_ = FillKind::Solid;
    if (fill_pattern_) {
        cairo_pattern_destroy(fill_pattern_);
        fill_pattern_ = nullptr;
    }
}

void CairoCanvas::set_fill_bitmap(const Bitmap& tile)
{
    if (tile.empty())
        return;
    cairo_surface_t* s = vector_ ? cairo_surface_reference(vector_source(tile)) : tile_surface(tile);
    if (!s)
        return;
    cairo_pattern_t* p = cairo_pattern_create_for_surface(s);
    cairo_surface_destroy(s);
    if (cairo_pattern_status(p) != CAIRO_STATUS_SUCCESS) {
        cairo_pattern_destroy(p);
        return;
    }
    cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
    // Hatch tiles are pixel patterns: keep them crisp.
    cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
    if (fill_pattern_)
        cairo_pattern_destroy(fill_pattern_);
    fill_pattern_ = p;
    fill_kind_ = FillKind::Bitmap;
}

void CairoCanvas::set_fill_gradient(const Gradient& g)
{
    fill_gradient_ = g;
    fill_kind_ = FillKind::Gradient;
    if (fill_pattern_) {
        cairo_pattern_destroy(fill_pattern_);
        fill_pattern_ = nullptr;
    }
}

void CairoCanvas::apply_stroke(const StrokeStyle& s)
{
    set_source(cr_, s.Color);
    const double t = s.Thickness > 0 && std::isfinite(s.Thickness) ? s.Thickness : 0.0;
    cairo_set_line_width(cr_, t);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
    set_dash(cr_, s.Dash, t);
}

void CairoCanvas::draw_line(PointF a, PointF b) { draw_line(a, b, stroke_); }

void CairoCanvas::draw_line(PointF a, PointF b, const StrokeStyle& s)
{
    if (!finite(a) || !finite(b) || !inks(s))
        return;
    apply_stroke(s);
    cairo_new_path(cr_);
    cairo_move_to(cr_, a.X, a.Y);
    cairo_line_to(cr_, b.X, b.Y);
    cairo_stroke(cr_);
}

void CairoCanvas::draw_rect(PointF a, PointF b, float rx, float ry)
{
    if (!finite(a) || !finite(b) || !inks(stroke_))
        return;
    const double x1 = std::min(a.X, b.X), x2 = std::max(a.X, b.X);
    const double y1 = std::min(a.Y, b.Y), y2 = std::max(a.Y, b.Y);
    apply_stroke(stroke_);
    cairo_new_path(cr_);
    const double hx = std::min<double>(std::isfinite(rx) ? rx : 0, (x2 - x1) / 2);
    const double hy = std::min<double>(std::isfinite(ry) ? ry : 0, (y2 - y1) / 2);
    if (hx <= kMinRadius || hy <= kMinRadius) {
        cairo_rectangle(cr_, x1, y1, x2 - x1, y2 - y1);
        cairo_stroke(cr_);
        return;
    }
    using std::numbers::pi;
    add_arc(cr_, x2 - hx, y1 + hy, hx, hy, -pi / 2, 0);
    add_arc(cr_, x2 - hx, y2 - hy, hx, hy, 0, pi / 2);
    add_arc(cr_, x1 + hx, y2 - hy, hx, hy, pi / 2, pi);
    add_arc(cr_, x1 + hx, y1 + hy, hx, hy, pi, 3 * pi / 2);
    cairo_close_path(cr_);
    cairo_stroke(cr_);
}

void CairoCanvas::draw_ellipse(PointF a, PointF b)
{
    const PointF centre { (a.X + b.X) / 2, (a.Y + b.Y) / 2 };
    draw_arc(centre, std::fabs(b.X - a.X) / 2, std::fabs(b.Y - a.Y) / 2, 0, 360);
}

void CairoCanvas::draw_arc(PointF centre, float rx, float ry, float start_deg, float sweep_deg)
{
    if (!finite(centre) || !std::isfinite(rx) || !std::isfinite(ry) || !std::isfinite(start_deg)
        || !std::isfinite(sweep_deg) || !inks(stroke_))
        return;
    const double sweep = std::clamp<double>(sweep_deg, -kMaxSweep, kMaxSweep);
    const double a1 = start_deg * std::numbers::pi / 180;
    const double a2 = a1 + sweep * std::numbers::pi / 180;
    const double arx = std::fabs(rx), ary = std::fabs(ry);
    apply_stroke(stroke_);
    cairo_new_path(cr_);
    if (arx <= kMinRadius || ary <= kMinRadius) {
        // Flattened to a segment: trace the points the arc passes through.
        const int steps = 64;
        for (int i = 0; i <= steps; ++i) {
            const double t = a1 + (a2 - a1) * i / steps;
            const double x = centre.X + arx * std::cos(t), y = centre.Y + ary * std::sin(t);
            i == 0 ? cairo_move_to(cr_, x, y) : cairo_line_to(cr_, x, y);
        }
    } else {
        add_arc(cr_, centre.X, centre.Y, arx, ary, a1, a2);
        if (std::fabs(sweep) >= kMaxSweep)
            cairo_close_path(cr_);
    }
    cairo_stroke(cr_);
}

void CairoCanvas::draw_path(const PointF* pts, size_t n, bool closed)
{
    if (!pts || n == 0 || !all_finite(pts, n) || !inks(stroke_))
        return;
    apply_stroke(stroke_);
    cairo_new_path(cr_);
    cairo_move_to(cr_, pts[0].X, pts[0].Y);
    // A single point still shows as a dot under round caps.
    if (n == 1)
        cairo_line_to(cr_, pts[0].X, pts[0].Y);
    for (size_t i = 1; i < n; ++i)
        cairo_line_to(cr_, pts[i].X, pts[i].Y);
    if (closed)
        cairo_close_path(cr_);
    cairo_stroke(cr_);
}

// The gradient of a fill over the polygon's box, or null when the fill is not a usable gradient.
cairo_pattern_t* CairoCanvas::gradient_pattern(const PointF* pts, size_t n) const
{
    const Gradient& g = fill_gradient_;
    if (g.Stops.empty() || !finite(g.Start) || !finite(g.End))
        return nullptr;
    const Box b = bounds(pts, n);
    const double w = b.x2 - b.x1, h = b.y2 - b.y1;
    const double sx = b.x1 + g.Start.X * w, sy = b.y1 + g.Start.Y * h;
    cairo_pattern_t* p = nullptr;
    if (g.Type == Gradient::Kind::Linear) {
        p = cairo_pattern_create_linear(sx, sy, b.x1 + g.End.X * w, b.y1 + g.End.Y * h);
    } else {
        double r = 0;
        for (double cx : { b.x1, b.x2 })
            for (double cy : { b.y1, b.y2 })
                r = std::max(r, std::hypot(cx - sx, cy - sy));
        p = cairo_pattern_create_radial(sx, sy, 0, sx, sy, r);
    }
    if (cairo_pattern_status(p) != CAIRO_STATUS_SUCCESS) {
        cairo_pattern_destroy(p);
        return nullptr;
    }
    for (const GradientStop& s : g.Stops)
        add_stop(p, s);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
    return p;
}

void CairoCanvas::fill_polygon(const PointF* pts, size_t n)
{
    if (!pts || n < 3 || !all_finite(pts, n))
        return;
    // Even-odd: a self-crossing outline leaves its doubly covered parts open, as alternate fill does.
    auto fill = [&](cairo_t* cr, cairo_pattern_t* gradient) {
        cairo_new_path(cr);
        cairo_move_to(cr, pts[0].X, pts[0].Y);
        for (size_t i = 1; i < n; ++i)
            cairo_line_to(cr, pts[i].X, pts[i].Y);
        cairo_close_path(cr);
        if (gradient) {
            cairo_set_source(cr, gradient);
        } else if (fill_kind_ == FillKind::Bitmap && fill_pattern_) {
            // The pattern locks to the user space in force when it is set: set it under the identity so
            // tiles line up with the device origin whatever the transform.
            cairo_matrix_t ctm;
            cairo_get_matrix(cr, &ctm);
            cairo_identity_matrix(cr);
            cairo_set_source(cr, fill_pattern_);
            cairo_set_matrix(cr, &ctm);
        } else {
            set_source(cr, fill_color_);
        }
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr);
    };
    switch (fill_kind_) {
    case FillKind::Solid:
    case FillKind::Bitmap: fill(cr_, nullptr); return;
    case FillKind::Gradient: break;
    }
    cairo_pattern_t* p = gradient_pattern(pts, n);
    if (!p)
        return fill(cr_, nullptr);
    const Box b = bounds(pts, n);
    // Pattern space is user space: beyond this Cairo rescales the gradient to fit pixman's range.
    constexpr double kPlainReach = 8192;
    const bool far = std::max({ std::fabs(b.x1), std::fabs(b.x2), std::fabs(b.y1), std::fabs(b.y2) }) > kPlainReach;
    // A vector page keeps the gradient itself; only pixels need the cells.
    if (vector_ || (!far && unit_transform()))
        fill(cr_, p);
    else
        fill_in_cells(b.x1, b.y1, b.x2, b.y2, [&](cairo_t* cr) { fill(cr, p); });
    cairo_pattern_destroy(p);
}

bool CairoCanvas::unit_transform() const
{
    cairo_matrix_t m;
    cairo_get_matrix(cr_, &m);
    return m.xx == 1 && m.yy == 1 && m.xy == 0 && m.yx == 0;
}

// Cairo turns a scaled or turned source matrix into pixman's fixed point exactly at the middle of what
// each operation covers on its surface, so the same fill sampled on differently cut surfaces lands on
// slightly different source positions. Such fills are made on small layers cut from a fixed grid of the
// whole picture, the same cells whichever band or bitmap the canvas holds, and then copied on whole
// pixels.
void CairoCanvas::fill_in_cells(double x1, double y1, double x2, double y2, const std::function<void(cairo_t*)>& draw)
{
    constexpr int kCell = 256;
    cairo_matrix_t ctm;
    cairo_get_matrix(cr_, &ctm);
    double lx = HUGE_VAL, ly = HUGE_VAL, hx = -HUGE_VAL, hy = -HUGE_VAL;
    for (double x : { x1, x2 })
        for (double y : { y1, y2 }) {
            double dx = x, dy = y;
            cairo_matrix_transform_point(&ctm, &dx, &dy);
            lx = std::min(lx, dx), hx = std::max(hx, dx), ly = std::min(ly, dy), hy = std::max(hy, dy);
        }
    // What the fill may cover, in whole pixels of the picture, and the part this canvas holds.
    const double ax0 = origin_x_, ay0 = origin_y_;
    const double ax1 = ax0 + width_, ay1 = ay0 + height_;
    const double ex0 = std::floor(lx) - 1, ey0 = std::floor(ly) - 1, ex1 = std::ceil(hx) + 1, ey1 = std::ceil(hy) + 1;
    if (!(ex0 < ax1 && ex1 > ax0 && ey0 < ay1 && ey1 > ay0))
        return;
    const int cx0 = int(std::floor(std::max(ex0, ax0) / kCell)), cx1 = int(std::ceil(std::min(ex1, ax1) / kCell));
    const int cy0 = int(std::floor(std::max(ey0, ay0) / kCell)), cy1 = int(std::ceil(std::min(ey1, ay1) / kCell));
    for (int cy = cy0; cy < cy1; ++cy)
        for (int cx = cx0; cx < cx1; ++cx) {
            const double l0 = std::max<double>(ex0, double(cx) * kCell), t0 = std::max<double>(ey0, double(cy) * kCell);
            const double l1 = std::min<double>(ex1, double(cx + 1) * kCell),
                         t1 = std::min<double>(ey1, double(cy + 1) * kCell);
            if (l0 >= l1 || t0 >= t1)
                continue;
            cairo_surface_t* layer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(l1 - l0), int(t1 - t0));
            if (cairo_surface_status(layer) != CAIRO_STATUS_SUCCESS) {
                cairo_surface_destroy(layer);
                continue;
            }
            cairo_surface_set_device_offset(layer, -l0, -t0);
            cairo_t* cr = cairo_create(layer);
            cairo_set_matrix(cr, &ctm);
            draw(cr);
            cairo_destroy(cr);
            cairo_surface_flush(layer);
            cairo_save(cr_);
            cairo_identity_matrix(cr_);
            // The layer's own offset already places its pixels in picture coordinates.
            cairo_set_source_surface(cr_, layer, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
            const double r0 = std::max(l0, ax0), s0 = std::max(t0, ay0);
            cairo_new_path(cr_);
            cairo_rectangle(cr_, r0, s0, std::min(l1, ax1) - r0, std::min(t1, ay1) - s0);
            cairo_fill(cr_);
            cairo_restore(cr_);
            cairo_surface_destroy(layer);
        }
}

Matrix CairoCanvas::transform() const
{
    cairo_matrix_t c;
    cairo_get_matrix(cr_, &c);
    return { c.xx, c.yx, c.xy, c.yy, c.x0, c.y0 };
}

void CairoCanvas::set_transform(const Matrix& m)
{
    if (!m.invertible())
        return;
    const cairo_matrix_t c = to_cairo(m);
    cairo_set_matrix(cr_, &c);
}

void CairoCanvas::multiply_transform(const Matrix& m)
{
    if (!m.invertible() || !Matrix::compose(m, transform()).invertible())
        return;
    const cairo_matrix_t c = to_cairo(m);
    cairo_transform(cr_, &c);
}

void CairoCanvas::draw_bitmap(const Bitmap& b, const RectF& src, const RectF& dst)
{
    if (b.empty())
        return;
    const double v[] = { src.Left, src.Top, src.Right, src.Bottom, dst.Left, dst.Top, dst.Right, dst.Bottom };
    for (double d : v)
        if (!std::isfinite(d))
            return;
    const double sw = double(src.Right) - src.Left, sh = double(src.Bottom) - src.Top;
    const double dw = double(dst.Right) - dst.Left, dh = double(dst.Bottom) - dst.Top;
    if (sw <= 0 || sh <= 0 || dw == 0 || dh == 0)
        return;
    // Keep the source inside the bitmap and shrink the destination with it.
    const double cl = std::max<double>(src.Left, 0), ct = std::max<double>(src.Top, 0);
    const double cr = std::min<double>(src.Right, b.width()), cb = std::min<double>(src.Bottom, b.height());
    if (cl >= cr || ct >= cb)
        return;
    const double kx = dw / sw, ky = dh / sh;
    const double dl = dst.Left + (cl - src.Left) * kx, dt = dst.Top + (ct - src.Top) * ky;
    const double dr = dst.Left + (cr - src.Left) * kx, db = dst.Top + (cb - src.Top) * ky;

    // Only the whole pixels under the source rectangle are visible to the filter, so nothing beside it
    // bleeds in at the edges. Cairo only reads a source surface; the cast does not let it write.
    const int ix0 = int(std::floor(cl)), iy0 = int(std::floor(ct));
    const int ix1 = int(std::ceil(cr)), iy1 = int(std::ceil(cb));
    const bool whole_image = ix0 == 0 && iy0 == 0 && ix1 == b.width() && iy1 == b.height();
    cairo_surface_t* whole = vector_ ? cairo_surface_reference(vector_source(b))
                                     : cairo_image_surface_create_for_data(const_cast<unsigned char*>(b.data()),
                                         CAIRO_FORMAT_ARGB32, b.width(), b.height(), b.stride());
    if (!whole)
        return;
    // A vector document stores a whole image once; a part of one is a picture of its own.
    cairo_surface_t* s = vector_ && whole_image
        ? cairo_surface_reference(whole)
        : cairo_surface_create_for_rectangle(whole, ix0, iy0, ix1 - ix0, iy1 - iy0);
    cairo_surface_destroy(whole);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(s);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, cl - ix0, ct - iy0);
    cairo_matrix_scale(&m, 1 / kx, 1 / ky);
    cairo_matrix_translate(&m, -dl, -dt);
    if (cairo_pattern_status(p) != CAIRO_STATUS_SUCCESS) {
        // An error pattern set as source would break the context for good.
        cairo_pattern_destroy(p);
        cairo_surface_destroy(s);
        return;
    }
    cairo_pattern_set_matrix(p, &m);
    // GOOD filters like bilinear when enlarging and averages a box of pixels when shrinking a lot.
    cairo_pattern_set_filter(p, CAIRO_FILTER_GOOD);
    // The rectangle filled is the image's own; a padded one would be stored anew at each use.
    cairo_pattern_set_extend(p, vector_ ? CAIRO_EXTEND_NONE : CAIRO_EXTEND_PAD);
    const double rx = std::min(dl, dr), ry = std::min(dt, db), rw = std::fabs(dr - dl), rh = std::fabs(db - dt);
    auto fill = [&](cairo_t* cr) {
        cairo_save(cr);
        cairo_set_source(cr, p);
        cairo_new_path(cr);
        cairo_rectangle(cr, rx, ry, rw, rh);
        cairo_fill(cr);
        cairo_restore(cr);
    };
    // Only copies on whole pixels sample the same source position on every surface.
    if (vector_ || (std::fabs(kx) == 1 && std::fabs(ky) == 1 && unit_transform()))
        fill(cr_);
    else
        fill_in_cells(rx, ry, rx + rw, ry + rh, fill);
    cairo_pattern_destroy(p);
    cairo_surface_destroy(s);
}

} // namespace platform
