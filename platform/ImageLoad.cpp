// Image decoding through libvips, with a pixel budget so that a hostile header cannot exhaust memory.
#include "platform/ImageLoad.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vips/vips.h>

#include "platform/Vips.h"

namespace platform {
namespace {

struct ImageRef {
    VipsImage* im = nullptr;
    ImageRef() = default;
    explicit ImageRef(VipsImage* i)
        : im(i)
    {
    }
    ImageRef(const ImageRef&) = delete;
    ImageRef& operator=(const ImageRef&) = delete;
    ~ImageRef()
    {
        if (im)
            g_object_unref(im);
    }
    // Replaces the image with the result of a vips operation; false (keeping the old one) on failure.
    template <class Op> bool step(Op op)
    {
        VipsImage* out = nullptr;
        if (op(im, &out) != 0 || !out)
            return false;
        g_object_unref(im);
        im = out;
        return true;
    }
};

bool too_large(const VipsImage* im)
{
    const int w = vips_image_get_width(im), h = vips_image_get_height(im);
    return int64_t(w) * h > max_image_pixels || w > Bitmap::max_side || h > Bitmap::max_side;
}

// Target box of a downscaled load that keeps the proportions within the pixel budget and the bitmap's sides.
void budget_box(int w, int h, int& tw, int& th)
{
    double f = std::sqrt(double(max_image_pixels) / (double(w) * double(h)));
    f = std::min({ f, double(Bitmap::max_side) / w, double(Bitmap::max_side) / h, 1.0 });
    tw = std::clamp(int(std::floor(w * f)), 1, Bitmap::max_side);
    th = std::clamp(int(std::floor(h * f)), 1, Bitmap::max_side);
}

// sRGB, 8 bits, four bands, then premultiplied ARGB32 in the bitmap.
bool to_bitmap(ImageRef& img, Bitmap& out)
{
    if (vips_image_get_interpretation(img.im) != VIPS_INTERPRETATION_sRGB
        && !img.step(
            [](VipsImage* in, VipsImage** o) { return vips_colourspace(in, o, VIPS_INTERPRETATION_sRGB, nullptr); }))
        return false;
    if (vips_image_get_format(img.im) != VIPS_FORMAT_UCHAR
        && !img.step([](VipsImage* in, VipsImage** o) { return vips_cast_uchar(in, o, nullptr); }))
        return false;
    if (vips_image_get_bands(img.im) == 3
        && !img.step([](VipsImage* in, VipsImage** o) { return vips_addalpha(in, o, nullptr); }))
        return false;
    if (vips_image_get_bands(img.im) > 4
        && !img.step([](VipsImage* in, VipsImage** o) { return vips_extract_band(in, o, 0, "n", 4, nullptr); }))
        return false;
    if (vips_image_get_bands(img.im) != 4)
        return false;
    const int w = vips_image_get_width(img.im), h = vips_image_get_height(img.im);
    if (!out.resize(w, h))
        return false;
    // Strip by strip, so the decoded image is never held twice.
    VipsRegion* reg = vips_region_new(img.im);
    if (!reg) {
        out.reset();
        return false;
    }
    constexpr int strip = 64;
    bool ok = true;
    for (int y0 = 0; y0 < h && ok; y0 += strip) {
        VipsRect r { 0, y0, w, std::min(strip, h - y0) };
        if (vips_region_prepare(reg, &r) != 0) {
            ok = false;
            break;
        }
        for (int y = y0; y < y0 + r.height; ++y) {
            const uint8_t* src = reinterpret_cast<const uint8_t*>(VIPS_REGION_ADDR(reg, 0, y));
            uint8_t* dst = out.data() + size_t(y) * size_t(out.stride());
            for (int x = 0; x < w; ++x, src += 4, dst += 4) {
                const uint32_t a = src[3];
                auto pm = [a](uint32_t c) { return (c * a + 127) / 255; };
                const uint32_t px = (a << 24) | (pm(src[0]) << 16) | (pm(src[1]) << 8) | pm(src[2]);
                std::memcpy(dst, &px, 4);
            }
        }
    }
    g_object_unref(reg);
    if (!ok)
        out.reset();
    return ok;
}

std::string vips_name(const std::filesystem::path& file) { return file.string(); }

bool starts_with_bm(const std::filesystem::path& file)
{
    std::ifstream f(file, std::ios::binary);
    char magic[2] = {};
    return f.read(magic, 2) && magic[0] == 'B' && magic[1] == 'M';
}

// libvips picks its loader by content, whatever the name says. Only the decoders of the formats drawings may
// name are let near a file: a ".png" that is really a PDF, an SVG or anything else is refused.
bool trusted_loader(const std::filesystem::path& file, const std::string& name)
{
    const char* loader = vips_foreign_find_load(name.c_str());
    if (!loader) {
        vips_error_clear();
        return false;
    }
    static const char* const allowed[] = {
        "VipsForeignLoadJpegFile",
        "VipsForeignLoadPngFile",
        "VipsForeignLoadSpngFile",
        "VipsForeignLoadNsgifFile",
        "VipsForeignLoadGifFile",
        "VipsForeignLoadTiffFile",
    };
    for (const char* a : allowed)
        if (std::strcmp(loader, a) == 0)
            return true;
    // Bitmaps come through ImageMagick, and only when they are bitmaps.
    return std::strcmp(loader, "VipsForeignLoadMagickFile") == 0 && starts_with_bm(file);
}

// An opened image into out, keeping its own size as out's; when it is too large its pixels are first made again
// within the budget by thumbnail(tw, th, o), which decodes the source once more at that size.
template <class Thumbnail> bool finish_load(ImageRef& img, LoadedImage& out, Thumbnail thumbnail)
{
    const int w = vips_image_get_width(img.im), h = vips_image_get_height(img.im);
    if (too_large(img.im)) {
        int tw, th;
        budget_box(w, h, tw, th);
        if (!img.step([&](VipsImage*, VipsImage** o) { return thumbnail(tw, th, o); })) {
            vips_error_clear();
            return false;
        }
    }
    if (!to_bitmap(img, out.pixels)) {
        vips_error_clear();
        out = LoadedImage();
        return false;
    }
    out.width = w;
    out.height = h;
    return true;
}

} // namespace

bool read_image_size(const std::filesystem::path& file, int& width, int& height)
{
    if (!vips_ready() || !trusted_loader(file, vips_name(file)))
        return false;
    ImageRef img(vips_image_new_from_file(vips_name(file).c_str(), nullptr));
    if (!img.im) {
        vips_error_clear();
        return false;
    }
    width = vips_image_get_width(img.im);
    height = vips_image_get_height(img.im);
    return true;
}

bool load_image_file(const std::filesystem::path& file, LoadedImage& out)
{
    out = LoadedImage();
    if (!vips_ready())
        return false;
    const std::string name = vips_name(file);
    if (!trusted_loader(file, name))
        return false;
    ImageRef img(vips_image_new_from_file(name.c_str(), "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
    if (!img.im) {
        vips_error_clear();
        return false;
    }
    return finish_load(img, out, [&](int tw, int th, VipsImage** o) {
        return vips_thumbnail(name.c_str(), o, tw, "height", th, "size", VIPS_SIZE_DOWN, nullptr);
    });
}

bool load_image_bmp(std::span<const uint8_t> data, LoadedImage& out)
{
    out = LoadedImage();
    // "BM" and the 14-byte file header at least; anything else is not ours to guess at.
    if (data.size() < 26 || data[0] != 'B' || data[1] != 'M' || !vips_ready())
        return false;
    ImageRef img(vips_image_new_from_buffer(data.data(), data.size(), "", nullptr));
    if (!img.im) {
        vips_error_clear();
        return false;
    }
    return finish_load(img, out, [&](int tw, int th, VipsImage** o) {
        return vips_thumbnail_buffer(
            const_cast<uint8_t*>(data.data()), data.size(), o, tw, "height", th, "size", VIPS_SIZE_DOWN, nullptr);
    });
}

} // namespace platform
