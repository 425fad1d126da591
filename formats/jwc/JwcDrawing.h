// Drawing shared by ".jwc" drawings and ".jwk" symbols: the entity loops and each entity kind's renderer calls.
#pragma once
#include <cstdint>
#include <optional>

#include "formats/jwc/jwctype.h"
#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"

namespace detail {

// A layer in state 3 is switched off: none of its entities is drawn.
bool layer_hidden(int lay);

// One entity through the renderer with its coordinates divided by sc (1 for a drawing, the scale for a
// symbol); each returns the renderer's result code. The callers have checked that a renderer exists.
int draw_line(bool dispmode, uint32_t dcol, const TEntJwcLine& e, double sc);
int draw_arc(bool dispmode, uint32_t dcol, const TEntJwcArc2& e, double sc);
int draw_text(uint32_t dcol, const TEntJwcMoji2& e, const TEntJwcMojiType& t, double sc);

// The common part of GLDrawALL: the visible lines and arcs (auxiliary ones only when shown), texts and points,
// each through doc's own GLDraw operation. Returns the display mode drawn in, or nullopt without a renderer.
template <class Doc> std::optional<bool> draw_entities(Doc& doc)
{
    if (!gGraAtt || !gGraph2)
        return std::nullopt;
    const bool dispmode = gGraAtt->GetDisplayMode();
    if (dispmode)
        gGraph2->GLSetDT();
    const int32_t hojo = gGraAtt->GetDispHojo();
    for (int32_t i = 0; i < doc.lineN; ++i) {
        const auto& e = doc.EntLine[size_t(i)];
        if (layer_hidden(e.lay) || (hojo == 0 && e.typ == 9))
            continue;
        doc.GLDrawLine(dispmode, 0, e);
    }
    for (int32_t i = 0; i < doc.arcN; ++i) {
        const auto& e = doc.EntArc[size_t(i)];
        if (layer_hidden(e.lay) || (hojo == 0 && e.typ == 9))
            continue;
        doc.GLDrawArc(dispmode, 0, e);
    }
    for (int32_t i = 0; i < doc.mojiN; ++i) {
        const auto& e = doc.EntMoji[size_t(i)];
        if (!layer_hidden(e.lay))
            doc.GLDrawMoji(dispmode, 0, e);
    }
    for (int32_t i = 0; i < doc.tenN; ++i) {
        const auto& e = doc.EntTen[size_t(i)];
        if (!layer_hidden(e.lay))
            doc.GLDrawTen(dispmode, 0, e);
    }
    return dispmode;
}

} // namespace detail
