// Pictures the encoders pull RGB rows from: the display list drawn band by band, or a whole bitmap.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/DisplayList.h"

namespace platform {

// What the encoders are given: RGB over a background colour, or RGBA with the colour unpremultiplied.
struct PixelLayout {
    uint32_t background = 0xFFFFFF; // 0xRRGGBB seen through transparent and partly covered pixels
    bool alpha = false; // keep the alpha channel instead
    int bands() const { return alpha ? 4 : 3; }
};

// Turns Cairo's premultiplied ARGB32 into 8-bit pixels of `layout`: the one place where Cairo's pixels
// become what the encoders take.
void flatten(const uint8_t* argb, uint8_t* out, size_t pixels, const PixelLayout& layout);

// Rows of a band for a picture this wide: `asked` when positive, else about a few MiB of pixels.
int band_rows_for(int width, int asked);

// What one thread keeps between the rectangles it draws.
struct RenderScratch {
    Bitmap surface;
    std::vector<uint32_t> calls;
};

class RasterSource {
public:
    virtual ~RasterSource() = default;
    explicit RasterSource(const PixelLayout& layout)
        : layout_(layout)
    {
    }
    virtual int width() const = 0;
    virtual int height() const = 0;
    const PixelLayout& layout() const { return layout_; }
    int bands() const { return layout_.bands(); }
    // Writes the pixels of `r`, a rectangle inside the picture, bands() bytes each, rows `stride` bytes
    // apart. Several threads may draw at once, each with its own scratch. False when memory runs out.
    virtual bool render(const PixelRect& r, uint8_t* out, size_t stride, RenderScratch& scratch) const = 0;

private:
    PixelLayout layout_;
};

// The display list's pixels, made on request: each rectangle is drawn by replaying the calls that touch
// it onto a surface of its own size. Rectangles wider than Cairo's surfaces are drawn in pieces.
class BandSource final : public RasterSource {
public:
    // Seals the list; it must not change while the source is used.
    explicit BandSource(DisplayList& list, const PixelLayout& layout = {});
    int width() const override { return list_.width(); }
    int height() const override { return list_.height(); }
    bool render(const PixelRect& r, uint8_t* out, size_t stride, RenderScratch& scratch) const override;

    // Widest piece drawn at once (Cairo's limit; tests make it small to see pieces meet).
    int piece_width = Bitmap::max_side;

private:
    const DisplayList& list_;
};

// A picture already drawn whole.
class BitmapSource final : public RasterSource {
public:
    explicit BitmapSource(const Bitmap& b, const PixelLayout& layout = {})
        : RasterSource(layout)
        , bitmap_(b)
    {
    }
    int width() const override { return bitmap_.width(); }
    int height() const override { return bitmap_.height(); }
    bool render(const PixelRect& r, uint8_t* out, size_t stride, RenderScratch& scratch) const override;

private:
    const Bitmap& bitmap_;
};

} // namespace platform
