// CairoCanvas::fill_text: a short string drawn with a cached font face, its em box's top at the rectangle's
// top.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/CairoCanvas.h"
#include "platform/Cp932.h"
#include "platform/Fonts.h"

namespace platform {

namespace {

// Beyond this many device pixels a glyph is filled as a path: Cairo would otherwise rasterise
// and cache a mask the size of the glyph.
constexpr double kLargeGlyphPx = 1000;

constexpr double kObliqueShear = 0.2;

constexpr int kStackGlyphs = 32;

struct Glyphs {
    cairo_glyph_t stack[kStackGlyphs];
    cairo_glyph_t* data = stack;
    int n = kStackGlyphs;
    // Which characters each glyph shows, asked for on vector surfaces so the document keeps the text.
    bool want_clusters = false;
    cairo_text_cluster_t* clusters = nullptr;
    int clusters_n = 0;
    cairo_text_cluster_flags_t cluster_flags {};

    Glyphs() = default;
    Glyphs(const Glyphs&) = delete;
    Glyphs& operator=(const Glyphs&) = delete;
    ~Glyphs() { release(); }

    void release()
    {
        if (data != stack)
            cairo_glyph_free(data);
        data = stack;
        n = kStackGlyphs;
        cairo_text_cluster_free(clusters);
        clusters = nullptr;
        clusters_n = 0;
    }

    // False when the face has no glyph for some character (index 0) or conversion failed.
    bool load(cairo_scaled_font_t* sf, double x, double y, const std::string& utf8)
    {
        release();
        if (cairo_scaled_font_text_to_glyphs(sf, x, y, utf8.data(), int(utf8.size()), &data, &n,
                want_clusters ? &clusters : nullptr, want_clusters ? &clusters_n : nullptr,
                want_clusters ? &cluster_flags : nullptr)
            != CAIRO_STATUS_SUCCESS) {
            data = stack;
            n = 0;
            clusters = nullptr;
            clusters_n = 0;
            return false;
        }
        for (int i = 0; i < n; ++i)
            if (data[i].index == 0)
                return false;
        return true;
    }
};

void set_source_argb(cairo_t* cr, uint32_t argb)
{
    cairo_set_source_rgba(
        cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
}

// Sets face and size and lays the glyphs out with the em box's top at `top`.
bool lay_out(cairo_t* cr, const FontFace& f, double size, double left, double top, const std::string& utf8, Glyphs& g)
{
    // A face in an error state would break the context for every later call.
    if (cairo_font_face_status(f.face) != CAIRO_STATUS_SUCCESS) {
        g.release();
        g.n = 0;
        return false;
    }
    cairo_set_font_face(cr, f.face);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, size, size);
    if (f.oblique)
        m.xy = -kObliqueShear * size; // the glyph's top (negative y) leans forward
    cairo_set_font_matrix(cr, &m);
    return g.load(cairo_get_scaled_font(cr), left, top + f.em_ascent * size, utf8);
}

double device_scale(cairo_t* cr)
{
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    return std::max(std::hypot(m.xx, m.yx), std::hypot(m.xy, m.yy));
}

} // namespace

namespace {

// Lays the text out on cr and draws it, the state restored after.
// On a vector surface the glyphs carry their characters and are never turned into outlines.
void paint_text(
    cairo_t* cr, const std::string& utf8, const RectF& r, const FontSpec& font, uint32_t colour, bool vector)
{
    FontCache& cache = font_cache();
    cairo_save(cr);
    Glyphs g;
    g.want_clusters = vector;
    const FontFace& chosen = cache.face(font.Family, font.Bold, font.Italic);
    if (!lay_out(cr, chosen, font.SizePx, r.Left, r.Top, utf8, g) && font.Family != kFallbackFamily) {
        // A character the chosen family lacks: the fallback has the Japanese repertoire.
        const FontFace& fb = cache.face(kFallbackFamily, font.Bold, font.Italic);
        if (!lay_out(cr, fb, font.SizePx, r.Left, r.Top, utf8, g))
            lay_out(cr, chosen, font.SizePx, r.Left, r.Top, utf8, g);
    }
    if (g.n > 0) {
        set_source_argb(cr, colour);
        cairo_text_extents_t ink;
        cairo_glyph_extents(cr, g.data, g.n, &ink);
        const bool inside = ink.x_bearing + g.data[0].x >= r.Left && ink.y_bearing + g.data[0].y >= r.Top
            && ink.x_bearing + g.data[0].x + ink.width <= r.Right
            && ink.y_bearing + g.data[0].y + ink.height <= r.Bottom;
        if (!inside) {
            cairo_rectangle(cr, r.Left, r.Top, double(r.Right) - r.Left, double(r.Bottom) - r.Top);
            cairo_clip(cr);
        }
        if (vector && g.clusters) {
            cairo_show_text_glyphs(
                cr, utf8.data(), int(utf8.size()), g.data, g.n, g.clusters, g.clusters_n, g.cluster_flags);
        } else if (!vector && font.SizePx * device_scale(cr) > kLargeGlyphPx) {
            cairo_new_path(cr);
            cairo_glyph_path(cr, g.data, g.n);
            // Outlines overlap by design; the even-odd rule a polygon fill leaves would punch holes.
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
            cairo_fill(cr);
        } else {
            cairo_show_glyphs(cr, g.data, g.n);
        }
    }
    cairo_restore(cr);
}

// Beyond this many pixels the text is drawn where it stands, without a surface of its own.
constexpr double kOwnSurfacePixels = 16.0 * 1024 * 1024;
// Glyph images lie on whole pixels and cover their ink's pixels: this far beyond the layout rectangle.
constexpr double kGlyphReachPx = 4;

} // namespace

void CairoCanvas::fill_text(std::u16string_view text, const RectF& r, const FontSpec& font)
{
    if (text.empty() || !std::isfinite(font.SizePx) || !(font.SizePx > 0))
        return;
    if (!std::isfinite(r.Left) || !std::isfinite(r.Top) || !(r.Right > r.Left) || !(r.Bottom > r.Top))
        return;
    const std::string utf8 = utf16_to_utf8(text);

    // Cairo first drops glyphs whose rough box (the origin, plus the font's size each way) misses the
    // surface, and a turned glyph's corner reaches past that box: a band that the ink enters but the rough
    // box misses would lose the glyph the whole picture shows. A text whose box is not inside this canvas
    // is drawn on a surface of its own that holds all of it, seeded with the pixels here and copied back.
    cairo_matrix_t ctm;
    cairo_get_matrix(cr_, &ctm);
    double lx = HUGE_VAL, ly = HUGE_VAL, hx = -HUGE_VAL, hy = -HUGE_VAL;
    for (double x : { double(r.Left), double(r.Right) })
        for (double y : { double(r.Top), double(r.Bottom) }) {
            double dx = x, dy = y;
            cairo_matrix_transform_point(&ctm, &dx, &dy);
            lx = std::min(lx, dx), hx = std::max(hx, dx), ly = std::min(ly, dy), hy = std::max(hy, dy);
        }
    const double ax0 = origin_x_, ay0 = origin_y_;
    const double ax1 = ax0 + width_, ay1 = ay0 + height_;
    const double ex0 = std::max(ax0, std::floor(lx - kGlyphReachPx)),
                 ex1 = std::min(ax1, std::ceil(hx + kGlyphReachPx));
    const double ey0 = std::floor(ly - kGlyphReachPx), ey1 = std::ceil(hy + kGlyphReachPx);
    const bool inside = ey0 >= ay0 && ey1 <= ay1 && std::floor(lx - kGlyphReachPx) >= ax0
        && std::ceil(hx + kGlyphReachPx) <= ax1;
    if (inside || !(ex0 < ex1 && ey0 < ey1) || !(ey0 < ay1 && ey1 > ay0)
        || (ex1 - ex0) * (ey1 - ey0) > kOwnSurfacePixels || vector_ || target_->empty()) {
        paint_text(cr_, utf8, r, font, fill_color_, vector_);
        return;
    }
    const int w = int(ex1 - ex0), h = int(ey1 - ey0);
    cairo_surface_t* own = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(own) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(own);
        paint_text(cr_, utf8, r, font, fill_color_, vector_);
        return;
    }
    // The rows this canvas holds travel there and back; the others are never copied back.
    cairo_surface_flush(surface_);
    cairo_surface_flush(own);
    const int r0 = int(std::max(ey0, ay0)), r1 = int(std::min(ey1, ay1));
    const size_t bytes = size_t(w) * 4;
    uint8_t* mine = target_->data();
    uint8_t* theirs = cairo_image_surface_get_data(own);
    const int stride = cairo_image_surface_get_stride(own);
    auto at_target = [&](int y) {
        return mine + size_t(y - int(ay0)) * size_t(target_->stride()) + size_t(ex0 - ax0) * 4;
    };
    auto at_own = [&](int y) { return theirs + size_t(y - int(ey0)) * size_t(stride); };
    for (int y = r0; y < r1; ++y)
        std::memcpy(at_own(y), at_target(y), bytes);
    cairo_surface_mark_dirty(own);
    cairo_surface_set_device_offset(own, -ex0, -ey0);
    cairo_t* cr = cairo_create(own);
    cairo_set_matrix(cr, &ctm);
    paint_text(cr, utf8, r, font, fill_color_, false);
    cairo_destroy(cr);
    cairo_surface_flush(own);
    for (int y = r0; y < r1; ++y)
        std::memcpy(at_target(y), at_own(y), bytes);
    cairo_surface_destroy(own);
    cairo_surface_mark_dirty(surface_);
}

} // namespace platform
