// TGraph's text operations: thin forwards to the shared layout, with the M7 renderer's own rules.
#include "graphics/GraUnit.h"
#include "graphics/TextLayout.h"

namespace {

// Character classes by code page 932 byte count, "^$" colours from a fixed table, the era tokens kept as
// written, and the base line stroked for a text too small or too large to draw.
detail::TextTarget m7_text_target(TGraph& g)
{
    detail::TextTarget t;
    t.canvas = g.C;
    t.rules.double_byte_classes = true;
    t.rules.era_tokens = false;
    t.dot = [&g](double x, double y) { g.GTen(x, y); };
    t.pen_color = [](int n) { return detail::m7_text_color(n); };
    t.base_line = [&g](double x1, double y1, double x2, double y2) { g.GLLine(x1, y1, x2, y2); };
    return t;
}

} // namespace

int TGraph::GLAText1(double x, double y, double h, double w, double a, int Fm, const std::u16string& s)
{
    return detail::draw_text1(m7_text_target(*this), x, y, h, w, a, Fm, s);
}

int TGraph::GLAText2(double xx, double yy, double ang, double h, double w, double sp, int Ftyp, const std::u16string& f,
    const std::u16string& s)
{
    return detail::draw_text2(m7_text_target(*this), xx, yy, ang, h, w, sp, Ftyp, f, s);
}

int TGraph::GLAText3(double x1, double y1, double x2, double y2, double h, double w, double sp, int Ftyp,
    const std::u16string& f, const std::u16string& s)
{
    return detail::draw_text3(m7_text_target(*this), x1, y1, x2, y2, h, w, sp, Ftyp, f, s);
}
