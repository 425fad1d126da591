// Writing pictures drawn in bands: our PNG writer read back by two decoders, the libvips savers fed from
// bands, pictures wider than Cairo allows, and the size limits of every format with their messages.
#include <gtest/gtest.h>
#include <spng.h>
#include <unistd.h>
#include <vips/vips.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/BandImage.h"
#include "platform/Bitmap.h"
#include "platform/CairoCanvas.h"
#include "platform/DisplayList.h"
#include "platform/ImageSave.h"
#include "platform/OutputFormat.h"
#include "platform/PngSave.h"
#include "platform/RasterSource.h"
#include "platform/RasterWrite.h"
#include "platform/Vips.h"

namespace {

namespace fs = std::filesystem;
using platform::PngOptions;

// Lines, a gradient, a translucent fill and text: what a drawing holds, with colours every row.
void draw_picture(platform::Canvas& c, int w, int h)
{
    for (int i = 0; i < 40; ++i) {
        c.set_stroke({ 0xFF000000u | uint32_t(i * 0x060A0E), 1.0f + float(i % 4), platform::DashStyle::Solid });
        c.draw_line({ float(i * w / 40), 0 }, { float(w - 1 - i * w / 80), float(h - 1) });
    }
    platform::Gradient g;
    g.End = { 1, 0 };
    g.Stops = { { 0, 0xFFFF0000 }, { 1, 0xFF0000FF } };
    c.set_fill_gradient(g);
    const platform::PointF quad[] = { { 10, float(h) / 3 }, { float(w) / 2, 5 }, { float(w) - 10, float(h) / 2 },
        { float(w) / 3, float(h) - 5 } };
    c.fill_polygon(quad, 4);
    c.set_fill_color(0x80008000);
    c.fill_text(u"図面 bands", { 5, 5, float(w), float(h) }, { "IPAGothic", 24, false, false });
}

struct Picture {
    platform::DisplayList list;
    platform::BandSource src;
    std::vector<uint8_t> rgb; // what every writer must carry

    Picture(int w, int h)
        : list(w, h)
        , src((draw_picture(list, w, h), list))
        , rgb(size_t(w) * size_t(h) * 3)
    {
        platform::RenderScratch scratch;
        EXPECT_TRUE(src.render({ 0, 0, w, h }, rgb.data(), size_t(w) * 3, scratch));
    }
};

std::vector<uint8_t> png_bytes(const platform::RasterSource& src, const PngOptions& o)
{
    VipsTarget* t = vips_target_new_to_memory();
    std::string error;
    const bool ok = platform::write_png(src, t, o, error) && vips_target_end(t) == 0;
    EXPECT_TRUE(ok) << error;
    VipsBlob* blob = nullptr;
    g_object_get(t, "blob", &blob, nullptr);
    std::vector<uint8_t> out;
    if (blob) {
        size_t n = 0;
        const auto* p = static_cast<const uint8_t*>(vips_blob_get(blob, &n));
        out.assign(p, p + n);
        vips_area_unref(VIPS_AREA(blob));
    }
    g_object_unref(t);
    return out;
}

struct Decoded {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
};

// libvips' decoder, which reads PNG through libpng.
std::optional<Decoded> vips_decode(const void* data, size_t n)
{
    VipsImage* im = vips_image_new_from_buffer(data, n, "", nullptr);
    if (!im) {
        vips_error_clear();
        return std::nullopt;
    }
    Decoded d { im->Xsize, im->Ysize, {} };
    size_t len = 0;
    void* px = im->Bands == 3 && im->BandFmt == VIPS_FORMAT_UCHAR ? vips_image_write_to_memory(im, &len) : nullptr;
    if (px)
        d.rgb.assign(static_cast<uint8_t*>(px), static_cast<uint8_t*>(px) + len);
    g_free(px);
    g_object_unref(im);
    return d;
}

// A second decoder, strict about checksums.
std::optional<Decoded> spng_decode(const std::vector<uint8_t>& png)
{
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_crc_action(ctx, SPNG_CRC_ERROR, SPNG_CRC_ERROR);
    spng_set_png_buffer(ctx, png.data(), png.size());
    spng_ihdr ihdr {};
    size_t n = 0;
    std::optional<Decoded> d;
    if (spng_get_ihdr(ctx, &ihdr) == 0 && spng_decoded_image_size(ctx, SPNG_FMT_RGB8, &n) == 0) {
        d = Decoded { int(ihdr.width), int(ihdr.height), std::vector<uint8_t>(n) };
        if (spng_decode_image(ctx, d->rgb.data(), n, SPNG_FMT_RGB8, 0) != 0)
            d.reset();
    }
    spng_ctx_free(ctx);
    return d;
}

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

struct PngCase {
    const char* what;
    PngOptions::Filter filter;
    int level;
    bool rle;
};

constexpr PngCase kPngCases[] = {
    { "none, run-length (the default)", PngOptions::Filter::None, 1, true },
    { "sub, level 6", PngOptions::Filter::Sub, 6, false },
    { "up, level 1", PngOptions::Filter::Up, 1, false },
    { "paeth, level 9", PngOptions::Filter::Paeth, 9, false },
    { "up, run-length", PngOptions::Filter::Up, 3, true },
};

TEST(PngWriter, TwoDecodersReadThePicturesPixelsForEveryFilterBandAndThreadCount)
{
    ASSERT_TRUE(platform::vips_ready());
    constexpr int kW = 123, kH = 77;
    Picture pic(kW, kH);
    for (const PngCase& c : kPngCases)
        for (int rows : { 1, 7, 64, kH })
            for (int threads : { 1, 3 }) {
                PngOptions o;
                o.filter = c.filter;
                o.level = c.level;
                o.rle = c.rle;
                o.band_rows = rows;
                o.threads = threads;
                const std::vector<uint8_t> png = png_bytes(pic.src, o);
                const std::string at = std::string(c.what) + ", " + std::to_string(rows) + " rows, "
                    + std::to_string(threads) + " threads";
                auto a = vips_decode(png.data(), png.size());
                auto b = spng_decode(png);
                ASSERT_TRUE(a && b) << at;
                EXPECT_EQ(a->w, kW) << at;
                EXPECT_EQ(a->h, kH) << at;
                EXPECT_TRUE(a->rgb == pic.rgb) << at;
                EXPECT_TRUE(b->rgb == pic.rgb) << at;
            }
}

TEST(PngWriter, AnyNumberOfThreadsWritesTheSameBytes)
{
    Picture pic(200, 150);
    for (int rows : { 1, 9, 150 }) {
        PngOptions o;
        o.band_rows = rows;
        o.threads = 1;
        const std::vector<uint8_t> one = png_bytes(pic.src, o);
        for (int threads : { 2, 4, 16 }) {
            o.threads = threads;
            EXPECT_TRUE(png_bytes(pic.src, o) == one) << rows << " rows, " << threads << " threads";
        }
    }
}

// The signature, IHDR first, IDAT chunks, IEND last, each chunk's CRC right, and one zlib stream whose
// Adler-32 zlib itself checks: a reader that trusts any of these gets the file as we meant it.
TEST(PngWriter, FileIsPlainStandardPng)
{
    Picture pic(90, 40);
    PngOptions o;
    o.band_rows = 6;
    o.threads = 3;
    const std::vector<uint8_t> png = png_bytes(pic.src, o);
    static const uint8_t sig[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    ASSERT_GT(png.size(), 8u);
    ASSERT_EQ(std::memcmp(png.data(), sig, 8), 0);
    std::vector<std::string> types;
    std::vector<uint8_t> idat;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t len = be32(&png[at]);
        ASSERT_LE(at + 12 + len, png.size());
        const std::string type(reinterpret_cast<const char*>(&png[at + 4]), 4);
        EXPECT_EQ(crc32(0, &png[at + 4], 4 + len), be32(&png[at + 8 + len])) << type;
        if (type == "IHDR") {
            ASSERT_EQ(len, 13u);
            EXPECT_EQ(be32(&png[at + 8]), 90u);
            EXPECT_EQ(be32(&png[at + 12]), 40u);
            EXPECT_EQ(png[at + 16], 8); // bits
            EXPECT_EQ(png[at + 17], 2); // RGB
        }
        if (type == "IDAT")
            idat.insert(idat.end(), &png[at + 8], &png[at + 8 + len]);
        if (types.empty() || types.back() != type)
            types.push_back(type);
        at += 12 + len;
    }
    EXPECT_EQ(at, png.size());
    EXPECT_EQ(types, (std::vector<std::string> { "IHDR", "IDAT", "IEND" }));
    std::vector<uint8_t> raw(40 * (90 * 3 + 1) + 1);
    uLongf n = uLongf(raw.size());
    EXPECT_EQ(uncompress(raw.data(), &n, idat.data(), uLong(idat.size())), Z_OK);
    EXPECT_EQ(n, uLongf(40 * (90 * 3 + 1)));
}

// Cairo's surfaces stop at 32767 pixels a side; PNG does not. The picture is drawn in pieces side by side.
TEST(RasterWriter, PngWiderThanCairosSurfaces)
{
    ASSERT_TRUE(platform::vips_ready());
    constexpr int kW = 40000, kH = 20;
    platform::DisplayList list(kW, kH);
    list.clear(0xFFFFFFFF);
    list.set_stroke({ 0xFFFF0000, 3, platform::DashStyle::Solid });
    list.draw_line({ 100, 10 }, { 39900, 10 }); // across the pieces' seam
    list.set_stroke({ 0xFF0000FF, 2, platform::DashStyle::Solid });
    list.draw_line({ 39990, 0 }, { 39990, 20 });
    const fs::path dir = fs::temp_directory_path() / ("raster-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string error;
    ASSERT_TRUE(platform::save_display_list(list, dir / "wide.png", error)) << error;
    VipsImage* im = vips_image_new_from_file((dir / "wide.png").c_str(), nullptr);
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->Xsize, kW);
    EXPECT_EQ(im->Ysize, kH);
    double px[3] = {};
    auto at = [&](int x, int y) {
        double* v = nullptr;
        int n = 0;
        if (vips_getpoint(im, &v, &n, x, y, nullptr) == 0 && n >= 3)
            std::copy(v, v + 3, px);
        g_free(v);
        return uint32_t(px[0]) << 16 | uint32_t(px[1]) << 8 | uint32_t(px[2]);
    };
    for (int x : { 200, 32700, 32767, 32800, 39000 })
        EXPECT_EQ(at(x, 10), 0xFF0000u) << x;
    EXPECT_EQ(at(39990, 3), 0x0000FFu);
    EXPECT_EQ(at(39950, 3), 0xFFFFFFu);
    EXPECT_EQ(at(20000, 2), 0xFFFFFFu);
    g_object_unref(im);
    fs::remove_all(dir);
}

// The savers of libvips pull the bands they need from our image on their own threads: lossless ones give
// back the picture's bytes whatever the band height and thread count, JPEG the picture within its losses.
TEST(RasterWriter, LibvipsSaversGetTheBandsPixels)
{
    ASSERT_TRUE(platform::vips_ready());
    constexpr int kW = 150, kH = 101;
    Picture pic(kW, kH);
    std::vector<uint8_t> jpeg;
    for (const char* ext : { ".tif", ".png", ".jpg" })
        for (int rows : { 1, 16, kH })
            for (int threads : { 1, 4 }) {
                const std::optional<platform::OutputFormat> f = platform::output_format(std::string("x") + ext);
                ASSERT_TRUE(f) << ext;
                VipsTarget* t = vips_target_new_to_memory();
                platform::RasterOptions o;
                o.band_rows = rows;
                o.threads = threads;
                std::string error;
                EXPECT_TRUE(platform::write_raster(pic.src, t, *f, o, error)) << ext << ": " << error;
                VipsBlob* blob = nullptr;
                g_object_get(t, "blob", &blob, nullptr);
                ASSERT_NE(blob, nullptr);
                size_t n = 0;
                const void* data = vips_blob_get(blob, &n);
                auto d = vips_decode(data, n);
                vips_area_unref(VIPS_AREA(blob));
                g_object_unref(t);
                ASSERT_TRUE(d) << ext;
                ASSERT_EQ(d->rgb.size(), pic.rgb.size()) << ext;
                if (std::string(ext) != ".jpg") {
                    EXPECT_TRUE(d->rgb == pic.rgb) << ext << ", " << rows << " rows, " << threads << " threads";
                    continue;
                }
                // JPEG loses detail, never the picture (a lost band would be off by a hundred levels), and
                // encodes the same pixels the same way whichever bands they came in.
                double off = 0;
                for (size_t i = 0; i < d->rgb.size(); ++i)
                    off += std::abs(int(d->rgb[i]) - int(pic.rgb[i]));
                EXPECT_LT(off / double(d->rgb.size()), 12.0) << rows << " rows, " << threads << " threads";
                if (jpeg.empty())
                    jpeg = d->rgb;
                EXPECT_TRUE(d->rgb == jpeg) << rows << " rows, " << threads << " threads";
            }
}

// A saver may ask for any rectangle in any order and twice: every pixel still comes out right, from a cache
// that drops bands to stay small.
TEST(BandImage, RegionsAskedInAnyOrderGetThePicture)
{
    ASSERT_TRUE(platform::vips_ready());
    constexpr int kW = 97, kH = 130;
    Picture pic(kW, kH);
    platform::BandImage image(pic.src, 10, 1);
    ASSERT_NE(image.image(), nullptr);
    VipsRegion* region = vips_region_new(image.image());
    std::vector<VipsRect> rects;
    for (int y = 0; y < kH; y += 13)
        for (int x = 0; x < kW; x += 31)
            rects.push_back({ x, y, std::min(31, kW - x), std::min(13, kH - y) });
    std::mt19937 shuffle(7);
    std::shuffle(rects.begin(), rects.end(), shuffle);
    rects.push_back(rects.front());
    for (VipsRect& r : rects) {
        ASSERT_EQ(vips_region_prepare(region, &r), 0);
        for (int y = r.top; y < r.top + r.height; ++y)
            ASSERT_EQ(std::memcmp(VIPS_REGION_ADDR(region, r.left, y), &pic.rgb[(size_t(y) * kW + r.left) * 3],
                          size_t(r.width) * 3),
                0)
                << "row " << y;
    }
    g_object_unref(region);
    EXPECT_GE(image.bands_drawn(), (kH + 9) / 10);
}

struct Limit {
    const char* file;
    double w, h; // the largest size the format takes
    double past_w, past_h; // just past it
    const char* says; // the end of the message past it
};

TEST(OutputLimits, EachFormatStopsAtItsLimitWithAMessage)
{
    ASSERT_TRUE(platform::vips_ready());
    const Limit limits[] = {
        { "a.png", 10000000, 10, 10000001, 10, "for .png (10000000 pixels a side at most)" },
        { "a.png", 92681, 92681, 92682, 92682, "for .png (8589934592 pixels at most)" },
        { "a.jpg", 65500, 10, 65501, 10, "for .jpg (65500 pixels a side at most)" },
        { "a.JPEG", 10, 65500, 10, 65501, "for .jpeg (65500 pixels a side at most)" },
        { "a.webp", 16383, 16383, 16384, 10, "for .webp (16383 pixels a side at most)" },
        { "a.gif", 65535, 4096, 65536, 10, "for .gif (65535 pixels a side at most)" },
        { "a.gif", 16384, 16384, 16384, 16385, "for .gif (268435456 pixels at most)" },
        { "a.tif", 10000000, 10, 10000001, 10, "for .tif (10000000 pixels a side at most)" },
        { "a.bmp", 10000000, 10, 10000001, 10, "for .bmp (10000000 pixels a side at most)" },
    };
    for (const Limit& l : limits) {
        const std::optional<platform::OutputFormat> f = platform::output_format(l.file);
        ASSERT_TRUE(f) << l.file;
        EXPECT_EQ(platform::raster_size_problem(*f, l.w, l.h), "") << l.file;
        const std::string past = platform::raster_size_problem(*f, l.past_w, l.past_h);
        const std::string asked = "image of " + std::to_string(int64_t(l.past_w)) + " x "
            + std::to_string(int64_t(l.past_h)) + " pixels is too large " + l.says;
        EXPECT_EQ(past, asked) << l.file;
    }
    const platform::OutputFormat png = *platform::output_format("a.png");
    EXPECT_EQ(platform::raster_size_problem(png, 0, 10), "image of 0 x 10 pixels is too large");
    EXPECT_EQ(platform::raster_size_problem(png, 1e300, 5),
        "image of 1e+300 x 5 pixels is too large for .png (10000000 pixels a side at most)");
    EXPECT_EQ(platform::raster_size_problem(png, std::nan(""), 5), "image of nan x 5 pixels is too large");
}

// The writer refuses what the table refuses, before it writes a byte.
TEST(OutputLimits, WriterRefusesAPictureTooLargeForItsFormat)
{
    platform::DisplayList list(16384, 2);
    const platform::BandSource src(list);
    VipsTarget* t = vips_target_new_to_memory();
    std::string error;
    EXPECT_FALSE(platform::write_raster(src, t, *platform::output_format("a.webp"), {}, error));
    EXPECT_EQ(error, "image of 16384 x 2 pixels is too large for .webp (16383 pixels a side at most)");
    g_object_unref(t);
}

// A plain TIFF reaches 4 GiB with 32-bit offsets: the pixels of a larger one go into a BigTIFF.
TEST(OutputLimits, TiffPastFourGiBIsBigTiff)
{
    const platform::OutputFormat tif = *platform::output_format("a.tif");
    EXPECT_EQ(platform::saver_suffix(tif, 30000, 40000), ".tif[strip]");
    EXPECT_EQ(platform::saver_suffix(tif, 56160, 39732), ".tif[strip,bigtiff]");
    EXPECT_EQ(platform::saver_suffix(*platform::output_format("a.jpg"), 56160, 39732), ".jpg[strip]");
}

} // namespace

namespace {

// A transparent start, another background, or the alpha kept: the bands give what one bitmap drawn with the
// same start gives, through the one conversion both use.
TEST(RasterWriter, StartColourAndLayoutsGiveTheWholeBitmapsBytes)
{
    constexpr int kW = 90, kH = 70;
    struct Case {
        const char* what;
        uint32_t start;
        platform::PixelLayout layout;
    };
    const Case cases[] = {
        { "transparent start, alpha kept", 0x00000000, { 0xFFFFFF, true } },
        { "transparent start over a blue-grey background", 0x00000000, { 0x336699, false } },
        { "translucent start, alpha kept", 0x80FF0000, { 0xFFFFFF, true } },
        { "white start over white", 0xFFFFFFFF, { 0xFFFFFF, false } },
    };
    for (const Case& c : cases) {
        platform::Bitmap whole;
        ASSERT_TRUE(whole.resize(kW, kH));
        whole.fill(c.start);
        {
            platform::CairoCanvas canvas(whole);
            draw_picture(canvas, kW, kH);
        }
        platform::DisplayList list(kW, kH);
        list.fill(c.start);
        draw_picture(list, kW, kH);
        const size_t row = size_t(kW) * size_t(c.layout.bands());
        std::vector<uint8_t> want(row * kH), got(row * kH);
        platform::RenderScratch scratch;
        ASSERT_TRUE(platform::BitmapSource(whole, c.layout).render({ 0, 0, kW, kH }, want.data(), row, scratch));
        platform::BandSource bands(list, c.layout);
        for (int rows : { 1, 16, kH }) {
            for (int y = 0; y < kH; y += rows)
                ASSERT_TRUE(
                    bands.render({ 0, y, kW, std::min(kH, y + rows) }, got.data() + size_t(y) * row, row, scratch));
            EXPECT_TRUE(got == want) << c.what << ", " << rows << " rows";
        }
    }
}

} // namespace
