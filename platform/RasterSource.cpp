// The one conversion from Cairo's pixels to RGB, and the two pictures the encoders pull rows from.
#include "platform/RasterSource.h"

#include <algorithm>
#include <cstring>

#include "platform/CairoCanvas.h"

namespace platform {

void flatten(const uint8_t* argb, uint8_t* out, size_t pixels, const PixelLayout& layout)
{
    const uint32_t back[3] = { (layout.background >> 16) & 0xFF, (layout.background >> 8) & 0xFF,
        layout.background & 0xFF };
    if (layout.alpha) {
        for (size_t i = 0; i < pixels; ++i, argb += 4, out += 4) {
            uint32_t px;
            std::memcpy(&px, argb, 4);
            const uint32_t a = px >> 24;
            const uint32_t c[3] = { (px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF };
            for (int k = 0; k < 3; ++k)
                out[k] = uint8_t(a == 0 ? 0 : (c[k] * 255 + a / 2) / a);
            out[3] = uint8_t(a);
        }
        return;
    }
    // Premultiplied colour plus the background that shows through.
    for (size_t i = 0; i < pixels; ++i, argb += 4, out += 3) {
        uint32_t px;
        std::memcpy(&px, argb, 4);
        const uint32_t a = px >> 24;
        out[0] = uint8_t(((px >> 16) & 0xFF) + ((255 - a) * back[0] + 127) / 255);
        out[1] = uint8_t(((px >> 8) & 0xFF) + ((255 - a) * back[1] + 127) / 255);
        out[2] = uint8_t((px & 0xFF) + ((255 - a) * back[2] + 127) / 255);
    }
}

int band_rows_for(int width, int asked)
{
    if (asked > 0)
        return asked;
    // Bands of a few dozen rows and up replay long calls hardly more than tall ones, and a band that fits the
    // processor's cache draws faster than a tall one (bench/README.md).
    constexpr size_t kBandBytes = size_t(2) << 20;
    constexpr int kMinRows = 64, kMaxRows = 512;
    const size_t row = std::max<size_t>(1, size_t(std::max(width, 1)) * 3);
    return int(std::clamp<size_t>(kBandBytes / row, kMinRows, kMaxRows));
}

BandSource::BandSource(DisplayList& list, const PixelLayout& layout)
    : RasterSource(layout)
    , list_(list)
{
    list.seal();
}

bool BandSource::render(const PixelRect& r, uint8_t* out, size_t stride, RenderScratch& scratch) const
{
    // Cairo replaces what lies beyond a surface's left or right side with upright edges at rounded
    // heights, which shades the pixel next to that side differently from the whole picture. A piece is
    // drawn with a margin on either side, except at the picture's own sides, and its middle kept.
    constexpr int kMargin = 8;
    const int step = std::max(1, std::min(piece_width, Bitmap::max_side - 2 * kMargin));
    for (int x = r.x0; x < r.x1; x += std::min(step, r.x1 - x)) {
        const int keep1 = std::min(r.x1, x + step);
        const PixelRect piece { x > 0 ? std::max(0, x - kMargin) : 0, r.y0,
            keep1 < width() ? std::min(width(), keep1 + kMargin) : width(), r.y1 };
        const bool whole_rows = r.x0 == 0 && r.x1 == width() && step >= width();
        const PixelRect drawn = whole_rows ? r : piece;
        // A fresh surface, as the whole bitmap started.
        if (!scratch.surface.resize(drawn.width(), drawn.height()))
            return false;
        if (list_.start_colour() != 0xFFFFFFFF)
            scratch.surface.fill(list_.start_colour());
        {
            CairoCanvas canvas(scratch.surface, drawn.x0, drawn.y0);
            list_.replay(canvas, drawn, scratch.calls);
        }
        const uint8_t* src = scratch.surface.data() + size_t(x - drawn.x0) * 4;
        for (int y = 0; y < drawn.height(); ++y)
            flatten(src + size_t(y) * size_t(scratch.surface.stride()),
                out + size_t(y) * stride + size_t(x - r.x0) * size_t(bands()), size_t(keep1 - x), layout());
    }
    return true;
}

bool BitmapSource::render(const PixelRect& r, uint8_t* out, size_t stride, RenderScratch&) const
{
    if (bitmap_.empty())
        return false;
    for (int y = r.y0; y < r.y1; ++y)
        flatten(bitmap_.data() + size_t(y) * size_t(bitmap_.stride()) + size_t(r.x0) * 4,
            out + size_t(y - r.y0) * stride, size_t(r.width()), layout());
    return true;
}

} // namespace platform
