// TJwkData: the drawing of the symbol's entities and its reference mark.
#include "formats/jwc/JwcDrawing.h"
#include "formats/jwc/JwkUnit.h"
#include "globals/UnitVal.h"
#include "graphics/BaseMark.h"
#include "graphics/DrawResult.h"

void TJwkData::GLDrawALL()
{
    detail::draw_entities(*this);
    detail::draw_base_mark(0, 0);
}

int TJwkData::GLDrawLine(bool dispmode, uint32_t dcol, const TEntJwcLine& e)
{
    if (!gGraAtt || !gGraph2)
        return detail::NothingToDraw;
    return detail::draw_line(dispmode, dcol, e, symbol_scale());
}

int TJwkData::GLDrawArc(bool dispmode, uint32_t dcol, const TEntJwcArc2& e)
{
    if (!gGraAtt || !gGraph2)
        return detail::NothingToDraw;
    return detail::draw_arc(dispmode, dcol, e, symbol_scale());
}

int TJwkData::GLDrawMoji(bool dispmode, uint32_t dcol, const TEntJwcMoji2& e)
{
    if (!gGraph2)
        return detail::NothingToDraw;
    gLayerScale = 1.0;
    return detail::draw_text(dcol, e, moji_type(e.no), symbol_scale());
}

int TJwkData::GLDrawTen(bool dispmode, uint32_t dcol, const TEntJwcTen& e)
{
    if (!gGraph2)
        return detail::NothingToDraw;
    const double sc = symbol_scale();
    return gGraph2->GLTenMarker(e.x / sc, e.y / sc, 0, 0, 0.0, 1.0, e.lay, e.col, 0, dcol);
}
