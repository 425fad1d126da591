// Text layout shared by both renderers: layout markers, inline codes, vertical writing and one glyph per
// cell.
#include "graphics/TextLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "globals/UnitVal.h"
#include "graphics/DrawResult.h"
#include "graphics/TextVariables.h"
#include "platform/Fonts.h"
#include "util/ClipUnit.h"
#include "util/Func_2_geometry.h"
#include "util/Func_2_text.h"

namespace detail {

namespace {

using std::numbers::pi;

// Below this many pixels a text or glyph is at most a dot; above the other it is not drawn.
constexpr double kTooSmallPx = 2;
constexpr double kTooLargePx = 3000;

enum Style { Bold = 1, Italic = 2, Underline = 4, Strikeout = 8 };

// Full-width characters that follow the line in vertical writing instead of standing upright.
constexpr std::u16string_view kAlongLine = u"【＜≪〈《（｛〔［「『｜―－‐＝＿￣』」］〕｝）》〉≫＞】";
// ... that follow the line mirrored.
constexpr std::u16string_view kAlongLineMirrored = u"。、ー～≠≒";
// ... that sit further off the line.
constexpr std::u16string_view kOffLine = u"．，°′″’”´゛゜";
constexpr double kOffLineFactor = 1.8;

// The font the last run chose, as a canvas keeps its current font: GLAText1 draws with it.
struct CurrentFont {
    std::u16string name; // as the drawing gave it, without "@"
    std::string family = platform::kFallbackFamily;
    int style = 0;
};
CurrentFont g_font;

void select_font(std::u16string_view name, int style)
{
    if (name != g_font.name) {
        g_font.name.assign(name);
        g_font.family = platform::font_family_for(name);
    }
    g_font.style = style;
}

void trans_pt(double x, double y, double& px, double& py)
{
    px = (x - gDispX1) * gDispScale;
    py = gDispHeight - (y - gDispY1) * gDispScale;
}

// Pixels of the view window.
double view_pixels() { return (gDispX2 - gDispX1) * (gDispY2 - gDispY1) * gDispScale * gDispScale; }

bool finite_all(std::initializer_list<double> v)
{
    return std::all_of(v.begin(), v.end(), [](double d) { return std::isfinite(d); });
}

// Nothing but U+0020, U+3000 and control characters.
bool only_blanks(std::u16string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c == u' ' || c == 0x3000 || c < 0x20; });
}

// Step 1 of GLAText3 and GLAText2: TooSmall for a blank or tiny text, Outside for an oversized one, else Drawn.
int early_result(double h, double w, double sp, std::u16string_view s, const std::vector<TextChar>& chars)
{
    if (only_blanks(s))
        return TooSmall;
    const double hp = std::fabs(h) * gDispScale;
    // The width is taken as a length: a backwards text (negative w and sp) is not too small.
    const double lp = std::fabs(text_nominal_width(chars, w, sp)) * gDispScale;
    if (hp <= kTooSmallPx || lp <= kTooSmallPx)
        return TooSmall;
    if (hp > kTooLargePx || std::fabs(w) * gDispScale > kTooLargePx)
        return Outside;
    return Drawn;
}

bool is_char(std::u16string_view s, const TextChar& c, char16_t ch) { return c.len == 1 && s[c.pos] == ch; }

char16_t unit_of(std::u16string_view s, const TextChar& c) { return c.len == 1 ? s[c.pos] : 0; }

bool in_table(std::u16string_view table, std::u16string_view s, const TextChar& c)
{
    return c.len == 1 && table.find(s[c.pos]) != std::u16string_view::npos;
}

struct Vec {
    double x, y;
};

// R(a)(u, v): (u, v) turned by a.
Vec turn(double a, double u, double v)
{
    return { u * std::cos(a) - v * std::sin(a), u * std::sin(a) + v * std::cos(a) };
}

// ---- Layout markers at the end of a text: "･", "・" and "^" with a digit.
struct Markers {
    double G = 0; // gaps after every character but the last
    bool E = false;
    int D = 0;
    int K = 0;
};

Markers scan_markers(std::u16string_view s, const std::vector<TextChar>& chars, double sp)
{
    Markers m;
    bool after_caret = false;
    for (size_t i = 0; i < chars.size(); ++i) {
        const TextChar& c = chars[i];
        const char16_t u = unit_of(s, c);
        const bool last = i + 1 == chars.size();
        if (!last)
            m.G += c.full ? sp : sp / 2;
        if (last && u == u'･') {
            m.E = true;
        } else if (u == u'・') {
            ++m.D;
        } else if (u == u'^') {
            m.K = 0;
        } else if (after_caret && u >= u'0' && u <= u'9') {
            if (u != u'0')
                m.K = u - u'0';
        } else {
            m.D = 0;
            m.K = 0;
        }
        after_caret = u == u'^';
    }
    return m;
}

// Drops the last n characters (as many as there are).
void drop_last(std::u16string& s, std::vector<TextChar>& chars, size_t n)
{
    n = std::min(n, chars.size());
    chars.resize(chars.size() - n);
    s.resize(chars.empty() ? 0 : chars.back().pos + chars.back().len);
}

// Columns of the text without its last character.
int columns_but_last(const std::vector<TextChar>& chars)
{
    return chars.empty() ? 0 : text_columns(chars, chars.size() - 1);
}

void apply_markers(std::u16string& s, std::vector<TextChar>& chars, double& w, double& sp)
{
    Markers m = scan_markers(s, chars, sp);
    if (m.E) {
        drop_last(s, chars, 1);
        const int u = columns_but_last(chars);
        if (u > 0) {
            sp = (w / 2 + m.G) / u * 2;
            m.G = w / 2 + m.G;
        }
    }
    if (m.D > 0) {
        drop_last(s, chars, size_t(m.D));
        const int u = columns_but_last(chars);
        if (u > 0)
            sp = (m.D * w + m.G) / u * 2;
    }
    if (m.K > 0) {
        drop_last(s, chars, 2);
        const int cols = text_columns(chars, chars.size());
        if (cols - m.K >= 2) {
            const double f = double(cols - m.K) / cols;
            w *= f;
            sp *= f;
        }
    }
}

// ---- Inline codes.
class InlineRuns {
public:
    InlineRuns(const TextTarget& t, double x, double y, double ang, double h, double w, double sp, int Ftyp,
        std::u16string_view f, std::u16string_view s)
        : t_(t)
        , x_(x)
        , y_(y)
        , ang_(ang)
        , h_(h)
        , w_(w)
        , sp_(sp)
        , ftyp_(Ftyp)
        , style_(Ftyp)
        , f_(f)
        , s_(s)
        , chars_(split_text_chars(s, t.rules))
    {
    }

    int run()
    {
        const size_t n = chars_.size();
        size_t i = 0;
        while (i < n) {
            const TextChar& c = chars_[i];
            if (!is_char(s_, c, u'^')) {
                append(c);
                ++i;
                continue;
            }
            if (i + 1 >= n) {
                append(c); // a "^" at the end
                ++i;
                continue;
            }
            i = codes_on_ ? code(i) : code_off(i);
        }
        flush();
        return drawn_ ? Drawn : Outside;
    }

private:
    // While codes are off only "^^" means something: it ends the run and switches them on.
    size_t code_off(size_t i)
    {
        if (is_char(s_, chars_[i + 1], u'^')) {
            flush();
            codes_on_ = true;
        } else {
            append(chars_[i]);
            append(chars_[i + 1]);
        }
        return i + 2;
    }

    size_t code(size_t i)
    {
        const size_t n = chars_.size();
        const char16_t k = unit_of(s_, chars_[i + 1]);
        switch (k) {
        case u'!':
        case u'/':
        case u'_':
        case u'-':
            flush();
            style_ |= k == u'!' ? Bold : k == u'/' ? Italic : k == u'_' ? Underline : Strikeout;
            return i + 2;
        case u'#':
            flush();
            style_ = ftyp_;
            return i + 2;
        case u'*':
            flush();
            codes_on_ = false;
            return i + 2;
        case u'$': {
            const char16_t d = i + 2 < n ? unit_of(s_, chars_[i + 2]) : 0;
            if (d < u'1' || d > u'9') {
                literal(i); // "^$" without a digit stays in the run
                return i + 2;
            }
            flush();
            set_color(d - u'0');
            return i + 3;
        }
        case u'u':
        case u'd':
        case u'c':
        case u'o':
        case u'w':
        case u'n':
        case u'b':
        case u'B': return placed(i, k);
        default: literal(i); return i + 2;
        }
    }

    // "^u", "^d", "^c", "^o", "^w", "^n", "^b", "^B": the next character placed on its own.
    size_t placed(size_t i, char16_t k)
    {
        const size_t n = chars_.size();
        if (i + 2 >= n || is_char(s_, chars_[i + 2], u'^')) {
            literal(i);
            return i + 2;
        }
        const TextChar& c = chars_[i + 2];
        if (k == u'w' && c.full) {
            literal(i);
            return i + 2;
        }
        flush();
        const std::u16string_view one = s_.substr(c.pos, c.len);
        const double cw = c.full ? w_ : w_ / 2; // the character's own cell
        const double prev_centre = -(prev_gap_ + prev_width_ / 2);
        switch (k) {
        case u'u':
        case u'd':
        case u'c': {
            const double raise = k == u'u' ? h_ / 2 : k == u'c' ? h_ / 4 : 0;
            draw(0, raise, h_ / 2, c.full ? w_ / 2 : w_, sp_, one);
            advance((w_ + sp_) / 2);
            prev_width_ = w_ / 2;
            prev_gap_ = sp_ / 2;
            return i + 3;
        }
        case u'o':
        case u'w': {
            const bool pair = k == u'w' && i + 3 < n && !chars_[i + 3].full;
            if (pair) {
                const TextChar& c2 = chars_[i + 3];
                // Two half-width characters at half size: w / 4 each with a gap of sp / 4.
                const double total = w_ / 2 + sp_ / 4;
                draw(prev_centre - total / 2, h_ / 4, h_ / 2, w_ / 2, sp_ / 2,
                    s_.substr(c.pos, c2.pos + c2.len - c.pos));
                return i + 4;
            }
            draw(prev_centre - cw / 4, h_ / 4, h_ / 2, w_ / 2, sp_ / 2, one);
            return i + 3;
        }
        default: { // n, b, B
            const double shift = k == u'b' ? cw / 4 : k == u'B' ? cw / 5 : 0;
            draw(prev_centre - cw / 2 + shift, 0, h_, w_, sp_, one);
            return i + 3;
        }
        }
    }

    void literal(size_t i)
    {
        append(chars_[i]);
        append(chars_[i + 1]);
    }

    void append(const TextChar& c)
    {
        run_.append(s_.substr(c.pos, c.len));
        run_cols_ += c.full ? 2 : 1;
        run_last_full_ = c.full;
    }

    void flush()
    {
        if (run_.empty())
            return;
        if (draw_text2(t_, budget_, x_, y_, ang_, h_, w_, sp_, style_, f_, run_) == Drawn)
            drawn_ = true;
        advance(run_cols_ * (w_ + sp_) / 2);
        prev_width_ = run_last_full_ ? w_ : w_ / 2;
        prev_gap_ = run_last_full_ ? sp_ : sp_ / 2;
        run_.clear();
        run_cols_ = 0;
    }

    // A run of its own, its start (along, up) from the pen, in the line's frame.
    void draw(double along, double up, double h, double w, double sp, std::u16string_view text)
    {
        const Vec d = turn(ang_, along, up);
        if (draw_text2(t_, budget_, x_ + d.x, y_ + d.y, ang_, h, w, sp, style_, f_, text) == Drawn)
            drawn_ = true;
    }

    void advance(double d)
    {
        x_ += d * std::cos(ang_);
        y_ += d * std::sin(ang_);
    }

    void set_color(int n)
    {
        if (!t_.pen_color || !t_.canvas)
            return;
        const uint32_t col = t_.pen_color(n);
        platform::StrokeStyle st = t_.canvas->stroke();
        st.Color = col;
        t_.canvas->set_stroke(st);
        t_.canvas->set_fill_color(col);
    }

    const TextTarget& t_;
    double x_, y_, ang_, h_, w_, sp_;
    int ftyp_;
    int style_;
    std::u16string_view f_;
    std::u16string_view s_;
    std::vector<TextChar> chars_;
    GlyphBudget budget_ = text_glyph_budget();

    std::u16string run_;
    int run_cols_ = 0;
    bool run_last_full_ = false;
    // The cell ending at the pen: the previous character's width and the gap behind it.
    double prev_width_ = 0;
    double prev_gap_ = 0;
    bool codes_on_ = true;
    bool drawn_ = false;
};

// Lines a font would draw for underline and strikeout, in the glyph's own frame.
void draw_decorations(const TextTarget& t, int style, double px, double py, double cell_w, double ph)
{
    if (!(style & (Underline | Strikeout)))
        return;
    const platform::StrokeStyle pen { t.canvas->fill_color(), float(std::max(1.0, ph / 16)),
        platform::DashStyle::Solid };
    auto line = [&](double at) {
        t.canvas->draw_line({ float(px), float(py + at * ph) }, { float(px + cell_w), float(py + at * ph) }, pen);
    };
    if (style & Underline)
        line(0.94);
    if (style & Strikeout)
        line(0.5);
}

} // namespace

std::vector<TextChar> split_text_chars(std::u16string_view s, const TextRules& rules)
{
    std::vector<TextChar> out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        TextChar c;
        c.pos = i;
        if (rules.double_byte_classes) {
            c.full = IsDoubleByte(s[i]);
        } else if (SurrogateKind(s, std::ptrdiff_t(i)) == 1 && SurrogateKind(s, std::ptrdiff_t(i + 1)) == 2) {
            c.len = 2;
            c.full = true;
        } else {
            c.full = !IsHalfWidth(s[i]);
        }
        out.push_back(c);
        i += c.len;
    }
    return out;
}

int text_columns(const std::vector<TextChar>& chars, size_t count)
{
    int n = 0;
    for (size_t i = 0; i < count && i < chars.size(); ++i)
        n += chars[i].full ? 2 : 1;
    return n;
}

double text_nominal_width(const std::vector<TextChar>& chars, double w, double sp)
{
    double sum = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
        const bool last = i + 1 == chars.size();
        sum += chars[i].full ? w : w / 2;
        if (!last)
            sum += chars[i].full ? sp : sp / 2;
    }
    return sum;
}

uint32_t m7_text_color(int n)
{
    static const uint32_t colors[9] = { 0xFF009595, 0xFF000000, 0xFF00AA37, 0xFFC0C000, 0xFFC000C0, 0xFF0000FF,
        0xFFFF00FF, 0xFF00FFFF, 0xFF00FF00 };
    return n >= 1 && n <= 9 ? colors[n - 1] : 0xFF000000;
}

int draw_text3(const TextTarget& t, double x1, double y1, double x2, double y2, double h, double w, double sp, int Ftyp,
    std::u16string_view f, std::u16string_view s)
{
    if (!finite_all({ x1, y1, x2, y2, h, w, sp }))
        return Outside;
    std::vector<TextChar> chars = split_text_chars(s, t.rules);
    if (const int r = early_result(h, w, sp, s, chars); r != Drawn) {
        if (t.base_line && !only_blanks(s))
            t.base_line(x1, y1, x2, y2);
        return r;
    }

    double ang = LineAngle(x2 - x1, y2 - y1);
    if (w < 0) {
        // The text runs backwards from the end point.
        w = -w;
        sp = -sp;
        ang += pi;
        std::swap(x1, x2);
        std::swap(y1, y2);
    }

    std::u16string text(s);
    apply_markers(text, chars, w, sp);

    bool plain = false;
    if (may_be_text_variable(text)) {
        TextVarSources src = text_var_sources_from_globals();
        plain = expand_text_variable(text, src, t.rules.era_tokens ? EraTokens::Expand : EraTokens::Keep);
    }
    if (plain || text.find(u'^') == std::u16string::npos)
        return draw_text2(t, x1, y1, ang, h, w, sp, Ftyp, f, text);

    return InlineRuns(t, x1, y1, ang, h, w, sp, Ftyp, f, text).run();
}

GlyphBudget text_glyph_budget() { return { text_cover_views * view_pixels() }; }

int draw_text2(const TextTarget& t, double xx, double yy, double ang, double h, double w, double sp, int Ftyp,
    std::u16string_view f, std::u16string_view s)
{
    GlyphBudget budget = text_glyph_budget();
    return draw_text2(t, budget, xx, yy, ang, h, w, sp, Ftyp, f, s);
}

int draw_text2(const TextTarget& t, GlyphBudget& budget, double xx, double yy, double ang, double h, double w,
    double sp, int Ftyp, std::u16string_view f, std::u16string_view s)
{
    if (!finite_all({ xx, yy, ang, h, w, sp }))
        return Outside;
    const std::vector<TextChar> chars = split_text_chars(s, t.rules);
    if (const int r = early_result(h, w, sp, s, chars); r != Drawn)
        return r;

    double ang2 = ang;
    bool vertical = false;
    for (int k = 0; k < 4 && !f.empty() && f.front() == u'@'; ++k) {
        f.remove_prefix(1);
        ang2 += pi / 2;
        if (ang2 >= 2 * pi)
            ang2 -= 2 * pi;
        vertical = true;
    }
    select_font(f, Ftyp);

    const double ca = std::cos(ang), sa = std::sin(ang);
    const double view_px = view_pixels();
    bool any = false;
    for (const TextChar& c : chars) {
        if (!(budget.px > 0))
            break;
        double dx = std::fabs(w) / 4, dy = std::fabs(h) / 2;
        double glyph_ang = ang, glyph_h = h;
        if (c.full) {
            dx = std::fabs(w) / 2;
            if (vertical) {
                if (in_table(kAlongLine, s, c)) {
                } else if (in_table(kAlongLineMirrored, s, c)) {
                    glyph_h = -h;
                } else {
                    glyph_ang = ang2;
                    if (in_table(kOffLine, s, c))
                        dy *= kOffLineFactor;
                }
            }
        }
        const double cx = xx + dx * ca - dy * sa;
        const double cy = yy + dx * sa + dy * ca;
        if (draw_text1(t, cx, cy, glyph_h, w, glyph_ang, 4, s.substr(c.pos, c.len)) == Drawn) {
            any = true;
            const double cell = (c.full ? std::fabs(w) : std::fabs(w) / 2) * std::fabs(h) * gDispScale * gDispScale;
            budget.px -= std::min(cell, view_px);
        }
        const double step = c.full ? w + sp : (w + sp) / 2;
        xx += step * ca;
        yy += step * sa;
    }
    return any ? Drawn : Outside;
}

int draw_text1(const TextTarget& t, double x, double y, double h, double w, double a, int Fm, std::u16string_view s)
{
    if (s.empty() || s == u" " || s == u"　")
        return TooSmall;
    if (!finite_all({ x, y, h, w, a }))
        return Outside;
    const bool mirrored = h < 0;
    h = std::fabs(h);
    if (Fm < 0 || Fm > 8)
        Fm = 0;
    if (mirrored && (Fm <= 2 || Fm >= 6))
        Fm = Fm <= 2 ? Fm + 6 : Fm - 6;

    // Half-width only as a single character of the half-width class; a pair or a longer text is full.
    const bool half = s.size() == 1 && (t.rules.double_byte_classes ? !IsDoubleByte(s[0]) : IsHalfWidth(s[0]));
    const double W = half ? std::fabs(w) / 2 : std::fabs(w);

    // The box's top-left corner relative to the anchor, in the box's frame (v upwards).
    const double u = Fm % 3 == 0 ? 0 : Fm % 3 == 1 ? -W / 2 : -W;
    const double v = Fm <= 2 ? h : Fm <= 5 ? h / 2 : 0;
    const Vec tl = turn(a, u, v);
    const double tx = x + tl.x, ty = y + tl.y;

    // Not drawn when the whole box lies beyond one edge of the view.
    const Vec along = turn(a, W, 0), down = turn(a, 0, -h);
    int common = ~0;
    for (const Vec& p : { Vec { tx, ty }, Vec { tx + along.x, ty + along.y }, Vec { tx + down.x, ty + down.y },
             Vec { tx + along.x + down.x, ty + along.y + down.y } })
        common &= ClipCode(p.x, p.y, gDispX1, gDispY1, gDispX2, gDispY2);
    if (common != 0)
        return Outside;

    double px = 0, py = 0;
    trans_pt(tx, ty, px, py);
    const double pw = W * gDispScale, ph = h * gDispScale;
    if (pw <= kTooSmallPx || ph <= kTooSmallPx) {
        if (t.dot)
            t.dot(px, py);
        return TooSmall;
    }
    if (!t.canvas)
        return Outside;

    using platform::Matrix;
    Matrix m = Matrix::compose(Matrix::translation(-px, -py), Matrix::scaling(std::fabs(w) / h, mirrored ? -1 : 1));
    if (mirrored)
        m = Matrix::compose(m, Matrix::translation(0, ph));
    m = Matrix::compose(m, Matrix::rotation(-a));
    m = Matrix::compose(m, Matrix::translation(px, py));

    // The cell in the glyph's unscaled frame: ph for a full-width, ph / 2 for a half-width glyph.
    const double cell_w = pw * h / std::fabs(w);
    // Twice the cell each way, so nothing of a glyph that fits its cell is clipped, however
    // narrow the text is.
    const platform::RectF rect { float(px), float(py), float(px + 2 * std::max(pw, cell_w)), float(py + 2 * ph) };
    const platform::FontSpec font { g_font.family, float(ph), (g_font.style & Bold) != 0,
        (g_font.style & Italic) != 0 };

    const Matrix saved = t.canvas->transform();
    t.canvas->multiply_transform(m);
    t.canvas->fill_text(s, rect, font);
    draw_decorations(t, g_font.style, px, py, cell_w, ph);
    t.canvas->set_transform(saved);
    return Drawn;
}

} // namespace detail
