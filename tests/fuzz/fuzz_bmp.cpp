// Fuzz target of our BMP reader: headers, RLE expansion, every row, then the loader the renderer uses.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "platform/BmpLoad.h"
#include "platform/ImageLoad.h"

namespace {

void require(bool ok)
{
    if (!ok)
        std::abort();
}

// Large claims are legal (RLE data can be tiny); a few rows show they read safely without slowing the fuzzer.
constexpr int64_t all_rows_below = 1 << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    platform::BmpImage bmp;
    std::string error;
    if (!bmp.open(platform::BmpBytes(bytes), error)) {
        require(!error.empty());
        return 0;
    }
    require(bmp.width() > 0 && bmp.height() > 0);
    require(bmp.width() <= platform::max_bmp_side && bmp.height() <= platform::max_bmp_side);
    require(int64_t(bmp.width()) * bmp.height() <= platform::max_bmp_pixels);
    if (!bmp.prepare(error))
        return 0;
    const bool small = int64_t(bmp.width()) * bmp.height() <= all_rows_below;
    std::vector<uint8_t> row(size_t(bmp.width()) * 4), scratch;
    for (int y = 0; y < bmp.height(); ++y)
        if (small || y < 8 || y >= bmp.height() - 8)
            require(bmp.read_row(y, row.data(), scratch));
    if (small) {
        platform::LoadedImage img;
        require(platform::load_image_bmp(bytes, img));
        require(img.width == bmp.width() && img.height == bmp.height());
    }
    return 0;
}
