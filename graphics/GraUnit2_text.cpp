// TGraph2's text operations: thin forwards to the shared layout, with the Jw renderer's own rules.
#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/TextLayout.h"
#include "graphics/UnitGraAtt.h"

namespace {

// Half-width by IsHalfWidth with surrogate pairs joined, every text variable known, "^$" colours from
// the pen colour table, nothing drawn for a text too small or too large.
detail::TextTarget jw_text_target(TGraph2& g)
{
    detail::TextTarget t;
    t.canvas = g.C;
    t.dot = [&g](double x, double y) { g.GTen(x, y); };
    if (gGraAtt)
        t.pen_color = [](int n) { return gGraAtt->GetAttrColcol(n); };
    return t;
}

} // namespace

int TGraph2::GLAText1(double x, double y, double h, double w, double a, int Fm, const std::u16string& s)
{
    return detail::draw_text1(jw_text_target(*this), x, y, h, w, a, Fm, s);
}

int TGraph2::GLAText2(double xx, double yy, double ang, double h, double w, double sp, int Ftyp,
    const std::u16string& f, const std::u16string& s)
{
    return detail::draw_text2(jw_text_target(*this), xx, yy, ang, h, w, sp, Ftyp, f, s);
}

int TGraph2::GLAText3(double x1, double y1, double x2, double y2, double h, double w, double sp, int Ftyp,
    const std::u16string& f, const std::u16string& s)
{
    return detail::draw_text3(jw_text_target(*this), x1, y1, x2, y2, h, w, sp, Ftyp, f, s);
}
