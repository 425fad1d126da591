// CairoCanvas::fill_text: a short string drawn with a cached font face, its em box's top at the rectangle's
// top.
#include <cairo.h>

#include <algorithm>
#include <cmath>
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
    }

    // False when the face has no glyph for some character (index 0) or conversion failed.
    bool load(cairo_scaled_font_t* sf, double x, double y, const std::string& utf8)
    {
        release();
        if (cairo_scaled_font_text_to_glyphs(
                sf, x, y, utf8.data(), int(utf8.size()), &data, &n, nullptr, nullptr, nullptr)
            != CAIRO_STATUS_SUCCESS) {
            data = stack;
            n = 0;
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

void CairoCanvas::fill_text(std::u16string_view text, const RectF& r, const FontSpec& font)
{
    if (text.empty() || !std::isfinite(font.SizePx) || !(font.SizePx > 0))
        return;
    if (!std::isfinite(r.Left) || !std::isfinite(r.Top) || !(r.Right > r.Left) || !(r.Bottom > r.Top))
        return;
    const std::string utf8 = utf16_to_utf8(text);
    FontCache& cache = font_cache();

    cairo_save(cr_);
    Glyphs g;
    const FontFace& chosen = cache.face(font.Family, font.Bold, font.Italic);
    if (!lay_out(cr_, chosen, font.SizePx, r.Left, r.Top, utf8, g) && font.Family != kFallbackFamily) {
        // A character the chosen family lacks: the fallback has the Japanese repertoire.
        const FontFace& fb = cache.face(kFallbackFamily, font.Bold, font.Italic);
        if (!lay_out(cr_, fb, font.SizePx, r.Left, r.Top, utf8, g))
            lay_out(cr_, chosen, font.SizePx, r.Left, r.Top, utf8, g);
    }
    if (g.n > 0) {
        set_source_argb(cr_, fill_color_);
        cairo_text_extents_t ink;
        cairo_glyph_extents(cr_, g.data, g.n, &ink);
        const bool inside = ink.x_bearing + g.data[0].x >= r.Left && ink.y_bearing + g.data[0].y >= r.Top
            && ink.x_bearing + g.data[0].x + ink.width <= r.Right
            && ink.y_bearing + g.data[0].y + ink.height <= r.Bottom;
        if (!inside) {
            cairo_rectangle(cr_, r.Left, r.Top, double(r.Right) - r.Left, double(r.Bottom) - r.Top);
            cairo_clip(cr_);
        }
        if (font.SizePx * device_scale(cr_) > kLargeGlyphPx) {
            cairo_new_path(cr_);
            cairo_glyph_path(cr_, g.data, g.n);
            // Outlines overlap by design; the even-odd rule a polygon fill leaves would punch holes.
            cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
            cairo_fill(cr_);
        } else {
            cairo_show_glyphs(cr_, g.data, g.n);
        }
    }
    cairo_restore(cr_);
}

} // namespace platform
