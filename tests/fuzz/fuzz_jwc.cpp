// Fuzz target for the ".jwc" and ".jwk" documents: read, layer states, extents and drawing; byte 0 picks the reader.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"
#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/DisplayList.h"

namespace {

// Fits a small view to the extents the way the driver does, then draws onto a recording canvas.
template <class Doc> void draw_fitted(Doc& doc)
{
    TgraAttribute att;
    att.SetDisplayMode(true);
    att.SetDispHojo(1);
    att.SetDispKijun(1);
    gGraAtt = &att;
    doc.SetGAttLayer();
    gMinX = gMinY = 0;
    gMaxX = gMaxY = 400;
    doc.GetMinMaxZahyo();

    gDispWidth = gDispHeight = 64;
    const double dx = std::max(std::fabs(gMaxX - gMinX) * 1.05, 0.001);
    const double dy = std::max(std::fabs(gMaxY - gMinY) * 1.05, 0.001);
    gDispScale = std::min(gDispWidth / dx, gDispHeight / dy);
    const double cx = (gMinX + gMaxX) / 2, cy = (gMinY + gMaxY) / 2;
    gDispX1 = cx - 0.5 * gDispWidth / gDispScale;
    gDispX2 = cx + 0.5 * gDispWidth / gDispScale;
    gDispY1 = cy - 0.5 * gDispHeight / gDispScale;
    gDispY2 = cy + 0.5 * gDispHeight / gDispScale;

    platform::DisplayList canvas(64, 64);
    TGraph2 graph(&canvas);
    gGraph2 = &graph;
    doc.GLDrawALL();
    gGraph2 = nullptr;
    gGraAtt = nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::span<const uint8_t> bytes(data + 1, size - 1);
    if (data[0] & 1) {
        TJwkData jwk;
        TJwkData::check_bytes(bytes);
        if (jwk.read_bytes(bytes, u"fuzz.jwk"))
            draw_fitted(jwk);
        jwk.read_header_bytes(bytes);
    } else {
        TJwcData jwc;
        TJwcData::check_bytes(bytes);
        if (jwc.read_bytes(bytes, u"fuzz.jwc")) {
            draw_fitted(jwc);
            double px = 0, py = 0;
            jwc.GetPaperSize(px, py);
        }
        jwc.read_header_bytes(bytes);
    }
    return 0;
}
