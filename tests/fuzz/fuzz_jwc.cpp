// Fuzz target for the ".jwc" and ".jwk" documents: each reader takes the input when its identification matches,
// then the driver's steps: layer states, extents, and the drawing at 800 x 600.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"
#include "globals/UnitVal.h"
#include "graphics/UnitGraAtt.h"
#include "tests/fuzz/fuzz_draw.h"

namespace {

// Layer states and extents into the attribute tables and the extent globals.
template <class Doc> void prepare(Doc& doc, TgraAttribute& att)
{
    fuzz_draw::start_attributes(att);
    gGraAtt = &att;
    doc.SetGAttLayer();
    gMinX = gMinY = 0;
    gMaxX = gMaxY = 400;
    doc.GetMinMaxZahyo();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    TgraAttribute att;
    // A drawing that fails to read half-way is still drawn with what was read, as the driver does.
    if (TJwcData::check_bytes(bytes)) {
        TJwcData jwc;
        jwc.read_bytes(bytes, u"fuzz.jwc");
        prepare(jwc, att);
        double px = 0, py = 0;
        jwc.GetPaperSize(px, py);
        fuzz_draw::draw_jw(jwc, 0, 0, px, py, true);
        jwc.read_header_bytes(bytes);
    }
    if (TJwkData::check_bytes(bytes)) {
        TJwkData jwk;
        jwk.read_bytes(bytes, u"fuzz.jwk");
        prepare(jwk, att);
        fuzz_draw::draw_jw(jwk, gMinX, gMinY, gMaxX, gMaxY, false);
        jwk.read_header_bytes(bytes);
    }
    gGraAtt = nullptr;
    return 0;
}
