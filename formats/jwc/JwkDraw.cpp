// TJwkData: the drawing of the symbol's entities and its reference mark.
#include <cmath>
#include <numbers>

#include "app/UnitVal.h"
#include "formats/jwc/JwcShape.h"
#include "formats/jwc/JwkUnit.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

bool hidden(int lay)
{
    return gGraAtt->GetAttrLayerState(lay) == 3;
}

} // namespace

void TJwkData::GLDrawALL()
{
    if (!gGraAtt || !gGraph2)
        return;
    const bool dispmode = gGraAtt->GetDisplayMode();
    if (dispmode)
        gGraph2->GLSetDT();
    const int32_t hojo = gGraAtt->GetDispHojo();
    for (int32_t i = 0; i < lineN; ++i) {
        const auto& e = EntLine[size_t(i)];
        if (hidden(e.lay) || (hojo == 0 && e.typ == 9))
            continue;
        GLDrawLine(dispmode, 0, e);
    }
    for (int32_t i = 0; i < arcN; ++i) {
        const auto& e = EntArc[size_t(i)];
        if (hidden(e.lay) || (hojo == 0 && e.typ == 9))
            continue;
        GLDrawArc(dispmode, 0, e);
    }
    for (int32_t i = 0; i < mojiN; ++i) {
        const auto& e = EntMoji[size_t(i)];
        if (!hidden(e.lay))
            GLDrawMoji(dispmode, 0, e);
    }
    for (int32_t i = 0; i < tenN; ++i) {
        const auto& e = EntTen[size_t(i)];
        if (!hidden(e.lay))
            GLDrawTen(dispmode, 0, e);
    }
    if (gGraAtt->GetDispKijun() == 1 && gDispScale > 0) {
        gGraph2->GPenSet(0xFFFF0000, 0, 2);
        gGraph2->GLEllipse(0, 0, 5 / gDispScale, 1, 0);
    }
}

int TJwkData::GLDrawLine(bool dispmode, uint32_t dcol, const TEntJwcLine& e)
{
    if (!gGraAtt || !gGraph2)
        return 3;
    const double sc = symbol_scale();
    if (dispmode)
        gGraph2->GLSetDT();
    gGraph2->GLPenSet(e.lay, e.col, e.typ, gGraAtt->GetAttrColwid(e.col), dcol);
    const double x1 = e.x1 / sc, y1 = e.y1 / sc, x2 = e.x2 / sc, y2 = e.y2 / sc;
    if (dispmode)
        return gGraph2->GLLineDT(e.lay, e.typ, x1, y1, x2, y2);
    return gGraph2->GLLine(x1, y1, x2, y2);
}

int TJwkData::GLDrawArc(bool dispmode, uint32_t dcol, const TEntJwcArc2& e)
{
    if (!gGraAtt || !gGraph2)
        return 3;
    const double sc = symbol_scale();
    if (dispmode)
        gGraph2->GLSetDT();
    gGraph2->GLPenSet(e.lay, e.col, e.typ, gGraAtt->GetAttrColwid(e.col), dcol);
    const double w = detail::arc_draw_sweep(e.st, e.et);
    const bool full = detail::is_full_sweep(w);
    const double a = double(e.tt) * kDegToRad;
    const double sa = double(e.st) * kDegToRad;
    const double da = w * kDegToRad;
    const double x = e.x / sc, y = e.y / sc, r = e.r / sc;
    if (dispmode)
        return gGraph2->GLEllipseArcDT(e.lay, e.typ, x, y, r, e.h, a, full ? 0.0 : sa, full ? 2 * std::numbers::pi : da);
    if (full)
        return gGraph2->GLEllipse(x, y, r, e.h, a);
    return gGraph2->GLEllipseArc(x, y, r, e.h, a, sa, da);
}

int TJwkData::GLDrawMoji(bool dispmode, uint32_t dcol, const TEntJwcMoji2& e)
{
    if (!gGraph2)
        return 3;
    const double sc = symbol_scale();
    gLayerScale = 1.0;
    const auto& t = moji_type(e.no);
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

int TJwkData::GLDrawTen(bool dispmode, uint32_t dcol, const TEntJwcTen& e)
{
    if (!gGraph2)
        return 3;
    const double sc = symbol_scale();
    return gGraph2->GLTenMarker(e.x / sc, e.y / sc, 0, 0, 0.0, 1.0, e.lay, e.col, 0, dcol);
}
