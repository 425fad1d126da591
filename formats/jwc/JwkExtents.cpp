// TJwkData: layer states and the extents around the symbol's reference point.
#include <cmath>

#include "formats/jwc/JwcShape.h"
#include "formats/jwc/JwkUnit.h"
#include "globals/UnitVal.h"
#include "graphics/UnitGraAtt.h"
#include "util/Func_2_geometry.h"

void TJwkData::SetGAttLayer()
{
    if (!gGraAtt)
        return;
    gGraAtt->SetDefaultLayer();
    for (int n = 0; n < 256; ++n)
        gGraAtt->SetAttrLayer(n, 1, 1.0 / symbol_scale());
}

void TJwkData::GetMinMaxZahyo()
{
    const double sc = symbol_scale();
    MinMaxInit(gMinX, gMinY, gMaxX, gMaxY, 0.0, 0.0, 1.0);
    auto add = [&](double x, double y) { MinMaxAdd(gMinX, gMinY, gMaxX, gMaxY, x, y, sc); };
    for (int32_t i = 0; i < lineN; ++i) {
        const auto& e = EntLine[size_t(i)];
        add(e.x1, e.y1);
        add(e.x2, e.y2);
    }
    for (int32_t i = 0; i < arcN; ++i)
        detail::arc_extent_points(EntArc[size_t(i)], add);
    for (int32_t i = 0; i < mojiN; ++i) {
        const auto& e = EntMoji[size_t(i)];
        if (SamePointE12(e.x1, e.y1, e.x2, e.y2))
            continue;
        add(e.x1, e.y1);
        add(e.x2, e.y2);
    }
    for (int32_t i = 0; i < tenN; ++i)
        add(EntTen[size_t(i)].x, EntTen[size_t(i)].y);
    if (std::fabs(gMaxX - gMinX) <= 1e-12 && std::fabs(gMaxY - gMinY) <= 1e-12) {
        gMinX -= 10;
        gMinY -= 10;
        gMaxX += 10;
        gMaxY += 10;
    }
}
