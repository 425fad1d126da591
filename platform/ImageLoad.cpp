// Image decoding, BMP by our reader and the rest by libvips, with a pixel budget so that a hostile header cannot
// exhaust memory.
#include "platform/ImageLoad.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <vips/vips.h>

#include "platform/BmpLoad.h"
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

enum class Opened { none, bmp, other };

// BMP is told by its first bytes, whatever the name says, and goes to our reader; other regular files are for
// libvips, whose loaders of the formats we do not accept are blocked. O_NONBLOCK: a FIFO must not stall the run.
Opened open_image(const std::filesystem::path& file, BmpBytes& bmp)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Opened::none;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Opened::none;
    }
    BmpBytes bytes(fd, uint64_t(st.st_size));
    std::array<uint8_t, 2> magic {};
    if (!bytes.read_at(0, magic) || magic[0] != 'B' || magic[1] != 'M')
        return Opened::other;
    bmp = std::move(bytes);
    return Opened::bmp;
}

struct BmpScratch {
    std::vector<uint8_t> raw, row;
};

void* bmp_start(VipsImage*, void*, void*) { return new (std::nothrow) BmpScratch; }

int bmp_stop(void* seq, void*, void*)
{
    delete static_cast<BmpScratch*>(seq);
    return 0;
}

int bmp_generate(VipsRegion* out, void* seq, void* a, void*, gboolean*)
{
    auto& scratch = *static_cast<BmpScratch*>(seq);
    const auto& bmp = *static_cast<const BmpImage*>(a);
    const VipsRect& r = out->valid;
    try {
        scratch.row.resize(size_t(bmp.width()) * 4);
        for (int y = r.top; y < VIPS_RECT_BOTTOM(&r); ++y) {
            if (!bmp.read_row(y, scratch.row.data(), scratch.raw)) {
                vips_error("bmpload", "unreadable pixel data");
                return -1;
            }
            std::memcpy(VIPS_REGION_ADDR(out, r.left, y), scratch.row.data() + size_t(r.left) * 4, size_t(r.width) * 4);
        }
    } catch (const std::bad_alloc&) {
        vips_error("bmpload", "out of memory");
        return -1;
    }
    return 0;
}

// Our BMP reader behind a libvips image whose rows are decoded when asked for, so that a large image is
// downscaled without ever being whole in memory. The image owns the reader.
VipsImage* bmp_vips_image(std::unique_ptr<BmpImage> bmp)
{
    VipsImage* im = vips_image_new();
    vips_image_init_fields(
        im, bmp->width(), bmp->height(), 4, VIPS_FORMAT_UCHAR, VIPS_CODING_NONE, VIPS_INTERPRETATION_sRGB, 1.0, 1.0);
    BmpImage* reader = bmp.release();
    g_signal_connect(
        im, "close", G_CALLBACK(+[](VipsImage*, gpointer p) { delete static_cast<BmpImage*>(p); }), reader);
    if (vips_image_pipelinev(im, VIPS_DEMAND_STYLE_THINSTRIP, nullptr) != 0
        || vips_image_generate(im, bmp_start, bmp_generate, bmp_stop, reader, nullptr) != 0) {
        g_object_unref(im);
        return nullptr;
    }
    return im;
}

// An opened image into out, keeping its own size as out's; when it is too large its pixels are first made again
// within the budget by thumbnail(in, tw, th, o), which decodes the source once more at that size.
template <class Thumbnail> bool finish_load(ImageRef& img, LoadedImage& out, Thumbnail thumbnail)
{
    const int w = vips_image_get_width(img.im), h = vips_image_get_height(img.im);
    if (too_large(img.im)) {
        int tw, th;
        budget_box(w, h, tw, th);
        if (!img.step([&](VipsImage* in, VipsImage** o) { return thumbnail(in, tw, th, o); })) {
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

bool load_bmp(BmpBytes bytes, LoadedImage& out)
{
    auto bmp = std::make_unique<BmpImage>();
    std::string error;
    if (!bmp->open(std::move(bytes), error) || !bmp->prepare(error) || !vips_ready())
        return false;
    ImageRef img(bmp_vips_image(std::move(bmp)));
    if (!img.im) {
        vips_error_clear();
        return false;
    }
    return finish_load(img, out, [](VipsImage* in, int tw, int th, VipsImage** o) {
        return vips_thumbnail_image(in, o, tw, "height", th, "size", VIPS_SIZE_DOWN, nullptr);
    });
}

} // namespace

bool read_image_size(const std::filesystem::path& file, int& width, int& height)
{
    BmpBytes bytes;
    switch (open_image(file, bytes)) {
    case Opened::none: return false;
    case Opened::bmp: {
        BmpImage bmp;
        std::string error;
        if (!bmp.open(std::move(bytes), error))
            return false;
        width = bmp.width();
        height = bmp.height();
        return true;
    }
    case Opened::other: break;
    }
    if (!vips_ready())
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
    BmpBytes bytes;
    switch (open_image(file, bytes)) {
    case Opened::none: return false;
    case Opened::bmp: return load_bmp(std::move(bytes), out);
    case Opened::other: break;
    }
    if (!vips_ready())
        return false;
    const std::string name = vips_name(file);
    ImageRef img(vips_image_new_from_file(name.c_str(), "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
    if (!img.im) {
        vips_error_clear();
        return false;
    }
    return finish_load(img, out, [&](VipsImage*, int tw, int th, VipsImage** o) {
        return vips_thumbnail(name.c_str(), o, tw, "height", th, "size", VIPS_SIZE_DOWN, nullptr);
    });
}

bool load_image_bmp(std::span<const uint8_t> data, LoadedImage& out)
{
    out = LoadedImage();
    return load_bmp(BmpBytes(data), out);
}

} // namespace platform
