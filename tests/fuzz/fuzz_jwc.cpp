// Fuzz target for the ".jwc" and ".jwk" readers, their extents and layer states; the first byte picks the reader.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::span<const uint8_t> bytes(data + 1, size - 1);
    if (data[0] & 1) {
        TJwkData jwk;
        TJwkData::check_bytes(bytes);
        if (jwk.read_bytes(bytes, u"fuzz.jwk"))
            jwk.GetMinMaxZahyo();
        jwk.read_header_bytes(bytes);
    } else {
        TJwcData jwc;
        TJwcData::check_bytes(bytes);
        if (jwc.read_bytes(bytes, u"fuzz.jwc")) {
            jwc.GetMinMaxZahyo();
            double px = 0, py = 0;
            jwc.GetPaperSize(px, py);
        }
        jwc.read_header_bytes(bytes);
    }
    return 0;
}
