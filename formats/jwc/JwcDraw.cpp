// TJwcData: the drawing of every entity kind through the Jw renderer.
#include "formats/jwc/JwcDrawing.h"
#include "formats/jwc/JwcUnit.h"
#include "globals/UnitVal.h"
#include "graphics/DrawResult.h"

void TJwcData::GLDrawALL()
{
    const auto dispmode = detail::draw_entities(*this);
    if (!dispmode)
        return;
    const int32_t vtens = vten_in_use();
    for (int32_t i = 1; i <= vtens; ++i) {
        const auto& e = EntVten[size_t(i)];
        if (!detail::layer_hidden(e.lay))
            GLDrawVten(*dispmode, 0, e);
    }
}

int TJwcData::GLDrawLine(bool dispmode, uint32_t dcol, const TEntJwcLine& e)
{
    if (!gGraAtt || !gGraph2)
        return detail::NothingToDraw;
    return detail::draw_line(dispmode, dcol, e, 1.0);
}

int TJwcData::GLDrawArc(bool dispmode, uint32_t dcol, const TEntJwcArc2& e)
{
    if (!gGraAtt || !gGraph2)
        return detail::NothingToDraw;
    return detail::draw_arc(dispmode, dcol, e, 1.0);
}

int TJwcData::GLDrawMoji(bool dispmode, uint32_t dcol, const TEntJwcMoji2& e)
{
    if (!gGraAtt || !gGraph2)
        return detail::NothingToDraw;
    const size_t group = size_t(e.lay / 16);
    if (group < EntLgrp.size())
        gLayerScale = EntLgrp[group].scale;
    return detail::draw_text(dcol, e, moji_type(e.no), 1.0);
}

int TJwcData::GLDrawTen(bool dispmode, uint32_t dcol, const TEntJwcTen& e)
{
    if (!gGraph2)
        return detail::NothingToDraw;
    return gGraph2->GLTenMarker(e.x, e.y, 0, 0, 0.0, 1.0, e.lay, e.col, 0, dcol);
}

int TJwcData::GLDrawVten(bool dispmode, uint32_t dcol, const TEntJwcVten& e)
{
    if (!gGraph2)
        return detail::NothingToDraw;
    return gGraph2->GLTenMarker(e.x, e.y, 1, 0, 0.0, 1.0, -1, 2, 0, dcol);
}
