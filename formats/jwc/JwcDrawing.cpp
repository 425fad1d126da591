// Renderer calls for each entity kind, shared by ".jwc" drawings and ".jwk" symbols.
#include "formats/jwc/JwcDrawing.h"

#include <cmath>
#include <numbers>
#include <string>
#include <utility>

#include "formats/jwc/JwcShape.h"

namespace detail {

bool layer_hidden(int lay) { return gGraAtt->GetAttrLayerState(lay) == 3; }

int draw_line(bool dispmode, uint32_t dcol, const TEntJwcLine& e, double sc)
{
    if (dispmode)
        gGraph2->GLSetDT();
    gGraph2->GLPenSet(e.lay, e.col, e.typ, gGraAtt->GetAttrColwid(e.col), dcol);
    const double x1 = e.x1 / sc, y1 = e.y1 / sc, x2 = e.x2 / sc, y2 = e.y2 / sc;
    if (dispmode)
        return gGraph2->GLLineDT(e.lay, e.typ, x1, y1, x2, y2);
    return gGraph2->GLLine(x1, y1, x2, y2);
}

int draw_arc(bool dispmode, uint32_t dcol, const TEntJwcArc2& e, double sc)
{
    if (dispmode)
        gGraph2->GLSetDT();
    gGraph2->GLPenSet(e.lay, e.col, e.typ, gGraAtt->GetAttrColwid(e.col), dcol);
    const double w = arc_draw_sweep(e.st, e.et);
    const bool full = is_full_sweep(w);
    const double a = double(e.tt) * kDegToRad;
    const double sa = double(e.st) * kDegToRad;
    const double da = w * kDegToRad;
    const double x = e.x / sc, y = e.y / sc, r = e.r / sc;
    if (dispmode)
        return gGraph2->GLEllipseArcDT(
            e.lay, e.typ, x, y, r, e.h, a, full ? 0.0 : sa, full ? 2 * std::numbers::pi : da);
    if (full)
        return gGraph2->GLEllipse(x, y, r, e.h, a);
    return gGraph2->GLEllipseArc(x, y, r, e.h, a, sa, da);
}

int draw_text(uint32_t dcol, const TEntJwcMoji2& e, const TEntJwcMojiType& t, double sc)
{
    gGraph2->GLPenSet(e.lay, t.penNo, 1, 0.0, dcol);
    double h = t.height * 0.1, w = t.width * 0.1;
    const double sp = t.dist * 0.1;
    std::u16string font = u"ＭＳ ゴシック";
    if (e.flg1 & 0x20) {
        std::swap(h, w);
        font = u"@" + font;
    }
    return gGraph2->GLAText3(e.x1 / sc, e.y1 / sc, e.x2 / sc, e.y2 / sc, h, w, sp, 0, font, e.s);
}

} // namespace detail
