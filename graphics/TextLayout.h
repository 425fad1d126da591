// Text layout shared by both renderers: layout markers, inline codes, vertical writing and one glyph per
// cell.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Canvas.h"

namespace detail {

// Where a renderer's text differs from the Jw renderer's.
struct TextRules {
    // false: half-width by IsHalfWidth, a surrogate pair one full-width character (Jw renderer);
    // true: full-width when the code page 932 form has two bytes, every UTF-16 unit a character (M7).
    bool double_byte_classes = false;
    // Whether the era tokens ("$E", "$G", "$GＧ", ...) are text variables; the M7 renderer keeps them.
    bool era_tokens = true;
};

// What a renderer lends its text: the canvas and the few operations that stay its own.
struct TextTarget {
    platform::Canvas* canvas = nullptr;
    TextRules rules;
    // GTen: a one-pixel dot at a device point, with the renderer's dot pen.
    std::function<void(double, double)> dot;
    // Colour of "^$" followed by the digit n (1 to 9).
    std::function<uint32_t(int)> pen_color;
    // The M7 renderer strokes the base line of a text too small or too large to draw (GLLine);
    // empty for the Jw renderer, which draws nothing then.
    std::function<void(double, double, double, double)> base_line;
};

// How many times over the glyph cells of one text may cover the view's pixels. Cells set side by side cover it
// about once, so only a hostile length or spacing that piles glyphs onto each other reaches this; the glyphs
// past it are not drawn. Each glyph counts its cell's pixels, at most the view's.
constexpr double text_cover_views = 16;

// The glyph pixels a text has left to draw, text_cover_views times the view's pixels at the start.
struct GlyphBudget {
    double px;
};
GlyphBudget text_glyph_budget();

// GLAText3: layout markers, text variables and inline codes, then runs of GLAText2.
int draw_text3(const TextTarget& t, double x1, double y1, double x2, double y2, double h, double w, double sp, int Ftyp,
    std::u16string_view f, std::u16string_view s);
// GLAText2: one run in one style, cell by cell, with vertical writing when f starts with "@".
int draw_text2(const TextTarget& t, double xx, double yy, double ang, double h, double w, double sp, int Ftyp,
    std::u16string_view f, std::u16string_view s);
// The same, spending the glyph pixels of a budget that the runs of one text share.
int draw_text2(const TextTarget& t, GlyphBudget& budget, double xx, double yy, double ang, double h, double w,
    double sp, int Ftyp, std::u16string_view f, std::u16string_view s);
// GLAText1: one character in a box of width w (w / 2 when half-width) and height h, anchored by Fm.
int draw_text1(const TextTarget& t, double x, double y, double h, double w, double a, int Fm, std::u16string_view s);

// The M7 renderer's fixed colours of "^$1" to "^$9"; black outside that range.
uint32_t m7_text_color(int n);

// One character of a text: where it starts, how many UTF-16 units it takes, and its class.
struct TextChar {
    size_t pos = 0;
    size_t len = 1;
    bool full = false;
};
std::vector<TextChar> split_text_chars(std::u16string_view s, const TextRules& rules);

// Column count: 1 per half-width, 2 per full-width character.
int text_columns(const std::vector<TextChar>& chars, size_t count);

// Nominal length: w per full-width and w / 2 per half-width character, plus sp (sp / 2) after every
// character but the last.
double text_nominal_width(const std::vector<TextChar>& chars, double w, double sp);

} // namespace detail
