// TJwcData: the drawing of every entity kind through the Jw renderer.
#include <cmath>
#include <numbers>

#include "app/UnitVal.h"
#include "formats/jwc/JwcShape.h"
#include "formats/jwc/JwcUnit.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

bool hidden(int lay)
{
    return gGraAtt->GetAttrLayerState(lay) == 3;
}

} // namespace

void TJwcData::GLDrawALL()
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
    const int32_t vtens = vten_in_use();
    for (int32_t i = 1; i <= vtens; ++i) {
        const auto& e = EntVten[size_t(i)];
        if (!hidden(e.lay))
            GLDrawVten(dispmode, 0, e);
    }
}

int TJwcData::GLDrawLine(bool dispmode, uint32_t dcol, const TEntJwcLine& e)
{
    if (!gGraAtt || !gGraph2)
        return 3;
    if (dispmode)
        gGraph2->GLSetDT();
    gGraph2->GLPenSet(e.lay, e.col, e.typ, gGraAtt->GetAttrColwid(e.col), dcol);
    if (dispmode)
        return gGraph2->GLLineDT(e.lay, e.typ, e.x1, e.y1, e.x2, e.y2);
    return gGraph2->GLLine(e.x1, e.y1, e.x2, e.y2);
}

int TJwcData::GLDrawArc(bool dispmode, uint32_t dcol, const TEntJwcArc2& e)
{
    if (!gGraAtt || !gGraph2)
        return 3;
    if (dispmode)
        gGraph2->GLSetDT();
    gGraph2->GLPenSet(e.lay, e.col, e.typ, gGraAtt->GetAttrColwid(e.col), dcol);
    const double w = detail::arc_draw_sweep(e.st, e.et);
    const bool full = detail::is_full_sweep(w);
    const double a = double(e.tt) * kDegToRad;
    const double sa = double(e.st) * kDegToRad;
    const double da = w * kDegToRad;
    if (dispmode) {
        return gGraph2->GLEllipseArcDT(e.lay, e.typ, e.x, e.y, e.r, e.h, a, full ? 0.0 : sa,
                                       full ? 2 * std::numbers::pi : da);
    }
    if (full)
        return gGraph2->GLEllipse(e.x, e.y, e.r, e.h, a);
    return gGraph2->GLEllipseArc(e.x, e.y, e.r, e.h, a, sa, da);
}

int TJwcData::GLDrawMoji(bool dispmode, uint32_t dcol, const TEntJwcMoji2& e)
{
    if (!gGraAtt || !gGraph2)
        return 3;
    const size_t group = size_t(e.lay / 16);
    if (group < EntLgrp.size())
        gLayerScale = EntLgrp[group].scale;
    const auto& t = moji_type(e.no);
    gGraph2->GLPenSet(e.lay, t.penNo, 1, 0.0, dcol);
    double h = t.height * 0.1, w = t.width * 0.1;
    const double sp = t.dist * 0.1;
    std::u16string font = u"ＭＳ ゴシック";
    if (e.flg1 & 0x20) {
        std::swap(h, w);
        font = u"@" + font;
    }
    return gGraph2->GLAText3(e.x1, e.y1, e.x2, e.y2, h, w, sp, 0, font, e.s);
}

int TJwcData::GLDrawTen(bool dispmode, uint32_t dcol, const TEntJwcTen& e)
{
    if (!gGraph2)
        return 3;
    return gGraph2->GLTenMarker(e.x, e.y, 0, 0, 0.0, 1.0, e.lay, e.col, 0, dcol);
}

int TJwcData::GLDrawVten(bool dispmode, uint32_t dcol, const TEntJwcVten& e)
{
    if (!gGraph2)
        return 3;
    return gGraph2->GLTenMarker(e.x, e.y, 1, 0, 0.0, 1.0, -1, 2, 0, dcol);
}
