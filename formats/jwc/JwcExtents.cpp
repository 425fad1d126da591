// TJwcData: layer states into the attribute tables, drawing extents and paper size.
#include <cmath>

#include "formats/jwc/JwcShape.h"
#include "formats/jwc/JwcUnit.h"
#include "globals/UnitVal.h"
#include "graphics/UnitGraAtt.h"
#include "util/Func_2_geometry.h"
#include "util/PaperSize.h"

namespace {

int layer_state(const TEntJwcLayerGroup& g, const TEntJwcLayer& l)
{
    if (!(g.dispF & 1))
        return 3;
    if (!(g.srchF & 1))
        return (l.dispF & 1) ? 2 : 3;
    int st = 1;
    if (!(l.srchF & 1))
        st = 2;
    if (!(l.dispF & 1))
        st = 3;
    return st;
}

// Extents that start at the first point given unless a start was set explicitly.
struct Extents {
    bool started = false;

    void start(double x, double y)
    {
        MinMaxInit(gMinX, gMinY, gMaxX, gMaxY, x, y, 1.0);
        started = true;
    }
    void add(double x, double y)
    {
        if (!started)
            start(x, y);
        else
            MinMaxAdd(gMinX, gMinY, gMaxX, gMaxY, x, y, 1.0);
    }
};

// 1 / scale; a group scale of 0 would divide by zero, so any scale without a finite positive inverse gives 1.
double layer_scale(float scale)
{
    const double r = 1.0 / double(scale);
    return std::isfinite(r) && r > 0 ? r : 1.0;
}

bool same_point(const TEntJwcMoji2& e) { return SamePointE12(e.x1, e.y1, e.x2, e.y2); }

} // namespace

void TJwcData::SetGAttLayer()
{
    if (!gGraAtt)
        return;
    gGraAtt->SetDefaultLayer();
    if (EntLgrp.size() < 16 || EntLay.size() < 256)
        return;
    for (int n = 0; n < 256; ++n) {
        const auto& g = EntLgrp[size_t(n / 16)];
        const auto& l = EntLay[size_t(n)];
        gGraAtt->SetAttrLayer(n, layer_state(g, l), layer_scale(g.scale), g.name, l.name);
    }
}

void TJwcData::GetMinMaxZahyo()
{
    Extents ext;
    const int32_t vtens = vten_in_use();
    if (lineN > 0)
        ext.start(EntLine[0].x1, EntLine[0].y1);
    else if (arcN > 0)
        ext.start(EntArc[0].x, EntArc[0].y);
    else if (mojiN > 0) {
        // A first text without extent sets no start; the first point added below starts the extents.
        if (!same_point(EntMoji[0]))
            ext.start(EntMoji[0].x1, EntMoji[0].y1);
    } else if (tenN > 0)
        ext.start(EntTen[0].x, EntTen[0].y);
    else if (vtens > 0)
        ext.start(EntVten[1].x, EntVten[1].y);

    for (int32_t i = 0; i < lineN; ++i) {
        const auto& e = EntLine[size_t(i)];
        ext.add(e.x1, e.y1);
        ext.add(e.x2, e.y2);
    }
    for (int32_t i = 0; i < arcN; ++i)
        detail::arc_extent_points(EntArc[size_t(i)], [&](double x, double y) { ext.add(x, y); });
    for (int32_t i = 0; i < mojiN; ++i) {
        const auto& e = EntMoji[size_t(i)];
        if (same_point(e))
            continue;
        ext.add(e.x1, e.y1);
        ext.add(e.x2, e.y2);
    }
    for (int32_t i = 0; i < tenN; ++i)
        ext.add(EntTen[size_t(i)].x, EntTen[size_t(i)].y);
    for (int32_t i = 1; i <= vtens; ++i)
        ext.add(EntVten[size_t(i)].x, EntVten[size_t(i)].y);

    if (!ext.started)
        return;
    if (std::fabs(gMaxX - gMinX) <= 1e-12 && std::fabs(gMaxY - gMinY) <= 1e-12) {
        gMinX -= 10;
        gMinY -= 10;
        gMaxX += 10;
        gMaxY += 10;
    }
}

void TJwcData::GetPaperSize(double& px, double& py)
{
    const detail::PaperSize p = detail::paper_size(Enthd.psize);
    px = p.x;
    py = p.y;
}
