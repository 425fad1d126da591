// Tests of our BMP reader: every header kind and depth built byte by byte, RLE, and hostile files.
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <gtest/gtest.h>

#include "platform/BmpLoad.h"
#include "platform/ImageLoad.h"
#include "platform/Vips.h"
#include "tests/platform/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// A BMP file as the fields say, whether or not they make sense.
struct Bmp {
    uint32_t header = 40; // 12, 40, 52, 56, 108, 124; anything else is written as that many bytes of zeros
    int32_t width = 1;
    int32_t height = 1; // negative: rows stored top-down
    uint16_t bits = 24;
    uint32_t compression = 0;
    std::vector<uint32_t> masks {}; // after a 40-byte header, inside the longer ones
    std::vector<uint32_t> palette {}; // 0xRRGGBB
    uint32_t colours_used = 0;
    Bytes pixels {}; // as stored, rows already padded
    std::optional<uint32_t> offset {}; // default: right after the palette
};

void put(Bytes& b, uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

Bytes build(const Bmp& m)
{
    Bytes dib;
    put(dib, m.header, 4);
    if (m.header == 12) {
        put(dib, uint32_t(m.width), 2);
        put(dib, uint32_t(m.height), 2);
        put(dib, 1, 2);
        put(dib, m.bits, 2);
    } else if (m.header >= 40) {
        put(dib, uint32_t(m.width), 4);
        put(dib, uint32_t(m.height), 4);
        put(dib, 1, 2);
        put(dib, m.bits, 2);
        put(dib, m.compression, 4);
        put(dib, uint32_t(m.pixels.size()), 4);
        put(dib, 2835, 4);
        put(dib, 2835, 4);
        put(dib, m.colours_used, 4);
        put(dib, 0, 4);
        if (m.header >= 52)
            for (size_t i = 0; i < (m.header == 52 ? 3u : 4u); ++i)
                put(dib, i < m.masks.size() ? m.masks[i] : 0, 4);
    }
    dib.resize(std::max<size_t>(dib.size(), m.header));
    if (m.header == 40 && (m.compression == 3 || m.compression == 6))
        for (uint32_t mask : m.masks)
            put(dib, mask, 4);
    for (uint32_t c : m.palette) {
        put(dib, c, 3); // blue, green, red
        if (m.header != 12)
            dib.push_back(0);
    }
    Bytes file { 'B', 'M' };
    put(file, uint32_t(14 + dib.size() + m.pixels.size()), 4);
    put(file, 0, 4);
    put(file, m.offset.value_or(uint32_t(14 + dib.size())), 4);
    file.insert(file.end(), dib.begin(), dib.end());
    file.insert(file.end(), m.pixels.begin(), m.pixels.end());
    return file;
}

struct Decoded {
    bool ok = false;
    std::string error;
    int width = 0, height = 0;
    std::vector<uint32_t> argb; // straight 0xAARRGGBB, top row first
};

Decoded decode(const Bytes& file)
{
    Decoded d;
    platform::BmpImage bmp;
    d.ok = bmp.open(platform::BmpBytes(file), d.error) && bmp.prepare(d.error);
    if (!d.ok)
        return d;
    d.width = bmp.width();
    d.height = bmp.height();
    std::vector<uint8_t> row(size_t(d.width) * 4), scratch;
    for (int y = 0; y < d.height; ++y) {
        if (!bmp.read_row(y, row.data(), scratch)) {
            d.ok = false;
            d.error = "row " + std::to_string(y);
            return d;
        }
        for (int x = 0; x < d.width; ++x) {
            const uint8_t* p = &row[size_t(x) * 4];
            d.argb.push_back(uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        }
    }
    return d;
}

constexpr uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF, K = 0xFF000000;
constexpr uint32_t T = 0; // not written by RLE data: transparent

struct Good {
    const char* name;
    Bmp bmp;
    int width, height;
    std::vector<uint32_t> argb;
};

const std::vector<Good>& good_cases()
{
    static const std::vector<Good> cases = {
        { "core header, 24 bits, bottom-up, padded rows",
            { .header = 12,
                .width = 2,
                .height = 2,
                .bits = 24,
                .pixels = { 0, 0, 255, 0, 255, 0, 0, 0, /* top: */ 255, 0, 0, 255, 255, 255, 0, 0 } },
            2, 2, { B, W, R, G } },
        { "core header, 8 bits, palette only as long as the file holds it, index past it black",
            { .header = 12,
                .width = 4,
                .height = 1,
                .bits = 8,
                .palette = { 0x112233, 0x445566, 0x778899 },
                .pixels = { 2, 0, 1, 200 } },
            4, 1, { 0xFF778899, 0xFF112233, 0xFF445566, K } },
        { "1 bit, ten wide across two bytes",
            { .width = 10,
                .height = 2,
                .bits = 1,
                .palette = { 0x000000, 0xFFFFFF },
                .pixels = { 0xAA, 0x80, 0, 0, /* top: */ 0xC0, 0xC0, 0, 0 } },
            10, 2, { W, W, K, K, K, K, K, K, W, W, W, K, W, K, W, K, W, K, W, K } },
        { "4 bits, two colours used, an index past them black",
            { .width = 3,
                .height = 1,
                .bits = 4,
                .palette = { 0xFF0000, 0x0000FF },
                .colours_used = 2,
                .pixels = { 0x10, 0x50, 0, 0 } },
            3, 1, { B, R, K } },
        { "8 bits, top-down",
            { .width = 2,
                .height = -2,
                .bits = 8,
                .palette = { 0x000000, 0xFF0000, 0x00FF00 },
                .pixels = { 1, 2, 0, 0, /* second row: */ 2, 0, 0, 0 } },
            2, 2, { R, G, G, K } },
        { "colour count far past the palette",
            { .width = 2,
                .height = 1,
                .bits = 8,
                .palette = { 0x0000FF, 0x00FF00 },
                .colours_used = 0xFFFFFFFF,
                .pixels = { 1, 0, 0, 0 } },
            2, 1, { G, B } },
        { "16 bits, 5-5-5 without masks",
            { .width = 3, .height = 1, .bits = 16, .pixels = { 0x00, 0x7C, 0xFF, 0x03, 0x10, 0x42, 0, 0 } }, 3, 1,
            { R, 0xFF00FFFF, 0xFF848484 } },
        { "16 bits, 5-6-5 masks after the header",
            { .width = 3,
                .height = 1,
                .bits = 16,
                .compression = 3,
                .masks = { 0xF800, 0x07E0, 0x001F },
                .pixels = { 0x00, 0xF8, 0xE0, 0x07, 0x00, 0x04, 0, 0 } },
            3, 1, { R, G, 0xFF008200 } },
        { "16 bits, 5-6-5 masks inside a 52-byte header",
            { .header = 52,
                .width = 1,
                .height = 1,
                .bits = 16,
                .compression = 3,
                .masks = { 0xF800, 0x07E0, 0x001F },
                .pixels = { 0x1F, 0x00, 0, 0 } },
            1, 1, { B } },
        { "16 bits, 4-4-4-4 with alpha in a 56-byte header",
            { .header = 56,
                .width = 1,
                .height = 1,
                .bits = 16,
                .compression = 3,
                .masks = { 0x0F00, 0x00F0, 0x000F, 0xF000 },
                .pixels = { 0x00, 0x8F, 0, 0 } },
            1, 1, { 0x88FF0000 } },
        { "32 bits without masks: the fourth byte is not alpha",
            { .width = 1, .height = 1, .bits = 32, .pixels = { 0x30, 0x20, 0x10, 0x00 } }, 1, 1, { 0xFF102030 } },
        { "32 bits, masks without alpha",
            { .width = 1,
                .height = 1,
                .bits = 32,
                .compression = 3,
                .masks = { 0xFF0000, 0xFF00, 0xFF },
                .pixels = { 0x30, 0x20, 0x10, 0x00 } },
            1, 1, { 0xFF102030 } },
        { "32 bits, four masks after the header",
            { .width = 1,
                .height = 1,
                .bits = 32,
                .compression = 6,
                .masks = { 0xFF0000, 0xFF00, 0xFF, 0xFF000000 },
                .pixels = { 0x30, 0x20, 0x10, 0x80 } },
            1, 1, { 0x80102030 } },
        { "V4 header, 32 bits, masks in another order",
            { .header = 108,
                .width = 1,
                .height = 1,
                .bits = 32,
                .compression = 3,
                .masks = { 0xFF, 0xFF00, 0xFF0000, 0xFF000000 },
                .pixels = { 0x10, 0x20, 0x30, 0x40 } },
            1, 1, { 0x40102030 } },
        { "V5 header, 24 bits",
            { .header = 124, .width = 1, .height = 2, .pixels = { 1, 2, 3, 0, /* top: */ 4, 5, 6, 0 } }, 1, 2,
            { 0xFF060504, 0xFF030201 } },
        { "one column of five rows",
            { .width = 1,
                .height = 5,
                .pixels = { 120, 80, 40, 0, 90, 60, 30, 0, 60, 40, 20, 0, 30, 20, 10, 0, 0, 0, 0, 0 } },
            1, 5, { 0xFF000000, 0xFF0A141E, 0xFF14283C, 0xFF1E3C5A, 0xFF285078 } },
        { "the last row stored without its padding",
            { .width = 1, .height = 2, .pixels = { 1, 2, 3, 0, /* top: */ 4, 5, 6 } }, 1, 2,
            { 0xFF060504, 0xFF030201 } },
        { "RLE8 runs, a padded literal, a line end, a move and the end",
            { .width = 4,
                .height = 3,
                .bits = 8,
                .compression = 1,
                .palette = { 0x000000, 0xFF0000, 0x00FF00, 0x0000FF },
                .pixels = { 2, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 1, 1, 3, 0, 1 } },
            4, 3, { T, B, T, T, T, T, T, T, R, R, G, B } },
        { "RLE4 run alternates its two colours",
            { .width = 5,
                .height = 1,
                .bits = 4,
                .compression = 2,
                .palette = { 0x000000, 0xFF0000, 0x00FF00 },
                .pixels = { 5, 0x12, 0, 1 } },
            5, 1, { R, G, R, G, R } },
        { "RLE4 literal of odd length is padded to 16 bits",
            { .width = 5,
                .height = 2,
                .bits = 4,
                .compression = 2,
                .palette = { 0x000000, 0xFF0000, 0x00FF00 },
                .pixels = { 0, 5, 0x12, 0x12, 0x10, 0, 0, 0, 2, 0x22, 0, 1 } },
            5, 2, { G, G, T, T, T, R, G, R, G, R } },
        { "RLE8 run past the row's end stops there",
            { .width = 2,
                .height = 2,
                .bits = 8,
                .compression = 1,
                .palette = { 0x000000, 0xFF0000 },
                .pixels = { 255, 1, 0, 0, 1, 1, 0, 1 } },
            2, 2, { R, T, R, R } },
        { "RLE8 move past the top ends the image",
            { .width = 2,
                .height = 2,
                .bits = 8,
                .compression = 1,
                .palette = { 0x000000, 0xFF0000 },
                .pixels = { 1, 1, 0, 2, 0, 5, 1, 1 } },
            2, 2, { T, T, R, T } },
        { "RLE8 move past the row's end drops what follows on that row",
            { .width = 2,
                .height = 2,
                .bits = 8,
                .compression = 1,
                .palette = { 0x000000, 0xFF0000 },
                .pixels = { 0, 2, 9, 0, 1, 1, 0, 0, 1, 1, 0, 1 } },
            2, 2, { R, T, T, T } },
        { "RLE8 literal cut short by the end of the data",
            { .width = 4,
                .height = 1,
                .bits = 8,
                .compression = 1,
                .palette = { 0x000000, 0xFF0000 },
                .pixels = { 0, 4, 1, 1 } },
            4, 1, { R, R, T, T } },
        { "RLE8 without an end mark stops at the end of the data",
            { .width = 2,
                .height = 1,
                .bits = 8,
                .compression = 1,
                .palette = { 0x000000, 0xFF0000 },
                .pixels = { 1, 1 } },
            2, 1, { R, T } },
    };
    return cases;
}

TEST(BmpLoad, DecodesEveryHeaderDepthAndCompression)
{
    for (const Good& c : good_cases()) {
        SCOPED_TRACE(c.name);
        const Decoded d = decode(build(c.bmp));
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.width, c.width);
        EXPECT_EQ(d.height, c.height);
        ASSERT_EQ(d.argb.size(), c.argb.size());
        for (size_t i = 0; i < c.argb.size(); ++i)
            EXPECT_EQ(d.argb[i], c.argb[i]) << "pixel " << i % size_t(c.width) << "," << i / size_t(c.width);
    }
}

// The same files through the loader the renderer uses: the libvips pipeline and the premultiplied bitmap.
TEST(BmpLoad, LoaderGivesTheSamePixels)
{
    for (const Good& c : good_cases()) {
        SCOPED_TRACE(c.name);
        platform::LoadedImage img;
        ASSERT_TRUE(platform::load_image_bmp(build(c.bmp), img));
        ASSERT_EQ(img.width, c.width);
        ASSERT_EQ(img.height, c.height);
        ASSERT_EQ(img.pixels.width(), c.width);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const uint32_t want = c.argb[size_t(y) * size_t(c.width) + size_t(x)];
                const uint32_t got = img.pixels.pixel(x, y);
                if (want >> 24 == 255 || want == T)
                    EXPECT_EQ(got, want) << x << "," << y;
                else // premultiplied and back: alpha exact, colours close
                    EXPECT_EQ(got >> 24, want >> 24) << x << "," << y;
            }
    }
}

struct Bad {
    const char* name;
    Bytes file;
    const char* error;
};

Bytes with_u32(Bytes b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
    return b;
}

Bytes cut(Bytes b, size_t n)
{
    b.resize(n);
    return b;
}

TEST(BmpLoad, HostileFilesFailCleanly)
{
    const Bytes plain = build({ .width = 2, .height = 2, .pixels = Bytes(16, 7) });
    const Bad cases[] = {
        { "empty", {}, "too short" },
        { "only the magic", { 'B', 'M' }, "too short" },
        { "an OS/2 array, not a bitmap", with_u32(plain, 0, 0x4142), "not a BMP" },
        { "header of 64 bytes (OS/2 2.x)", build({ .header = 64, .width = 2, .height = 2 }), "unknown BMP header" },
        { "header of 0 bytes", with_u32(plain, 14, 0), "unknown BMP header" },
        { "header of 4 GiB", with_u32(plain, 14, 0xFFFFFFFF), "unknown BMP header" },
        { "V5 header cut short", cut(build({ .header = 124 }), 60), "truncated BMP header" },
        { "width zero", build({ .width = 0, .height = 2, .pixels = Bytes(8) }), "without pixels" },
        { "width negative", build({ .width = -2, .height = 2, .pixels = Bytes(16) }), "without pixels" },
        { "height zero", build({ .width = 2, .height = 0, .pixels = Bytes(8) }), "without pixels" },
        { "height of the smallest int32", build({ .width = 2, .height = INT32_MIN }), "too large" },
        { "both sides at int32's end", build({ .width = INT32_MAX, .height = INT32_MAX }), "too large" },
        { "more pixels than the limit", build({ .width = 40000, .height = 40000, .bits = 1 }), "too large" },
        { "a side over the limit", build({ .width = platform::max_bmp_side + 1, .height = 1 }), "too large" },
        { "pixel data cut short", build({ .width = 100, .height = 100, .pixels = Bytes(10) }), "truncated BMP pixel" },
        { "last row one byte short", cut(plain, plain.size() - 3), "truncated BMP pixel" },
        { "pixel offset past the end", with_u32(plain, 10, 1000), "offset out of range" },
        { "pixel offset at the end", with_u32(plain, 10, uint32_t(plain.size())), "offset out of range" },
        { "pixel offset inside the headers", with_u32(plain, 10, 20), "offset out of range" },
        { "2 bits a pixel", build({ .bits = 2, .pixels = Bytes(4) }), "unsupported" },
        { "0 bits a pixel", build({ .bits = 0, .pixels = Bytes(4) }), "unsupported" },
        { "64 bits a pixel", build({ .bits = 64, .pixels = Bytes(8) }), "unsupported" },
        { "JPEG inside", build({ .compression = 4, .pixels = Bytes(4) }), "unsupported" },
        { "PNG inside", build({ .compression = 5, .pixels = Bytes(4) }), "unsupported" },
        { "RLE8 of 24 bits", build({ .compression = 1, .pixels = Bytes(4) }), "unsupported" },
        { "RLE4 of 8 bits", build({ .bits = 8, .compression = 2, .palette = { 0 }, .pixels = Bytes(4) }),
            "unsupported" },
        { "bit fields of 24 bits", build({ .compression = 3, .masks = { 1, 2, 4 }, .pixels = Bytes(4) }),
            "unsupported" },
        { "core header of 16 bits", build({ .header = 12, .bits = 16, .pixels = Bytes(4) }), "unsupported" },
        { "8 bits without a palette", build({ .bits = 8, .pixels = Bytes(4) }), "without palette" },
        { "masks cut short", cut(build({ .bits = 16, .compression = 3, .masks = { 1, 2, 4 } }), 60),
            "truncated BMP masks" },
        { "top-down RLE", build({ .height = -1, .bits = 8, .compression = 1, .palette = { 0 }, .pixels = { 0, 1 } }),
            "top-down RLE" },
        { "RLE claiming more pixels than may be expanded",
            build(
                { .width = 20000, .height = 20000, .bits = 8, .compression = 1, .palette = { 0 }, .pixels = { 0, 1 } }),
            "RLE BMP image too large" },
    };
    ASSERT_TRUE(platform::vips_ready());
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded d = decode(c.file);
        EXPECT_FALSE(d.ok);
        EXPECT_NE(d.error.find(c.error), std::string::npos) << d.error;
        platform::LoadedImage img;
        EXPECT_FALSE(platform::load_image_bmp(c.file, img));
        EXPECT_TRUE(img.pixels.empty());
        EXPECT_EQ(img.width, 0);
    }
}

// Every prefix and many one-byte changes of valid files of each kind: under the sanitizer build a read or
// write out of bounds fails the test, and a run that never ends times it out.
TEST(BmpLoad, TruncatedAndAlteredFilesNeverReadOutOfBounds)
{
    ASSERT_TRUE(platform::vips_ready());
    for (const Good& c : good_cases()) {
        SCOPED_TRACE(c.name);
        const Bytes file = build(c.bmp);
        ASSERT_TRUE(decode(file).ok);
        for (size_t n = 0; n < file.size(); ++n) {
            const Bytes part(file.begin(), file.begin() + std::ptrdiff_t(n));
            const Decoded d = decode(part);
            if (n < 14 + c.bmp.header) {
                EXPECT_FALSE(d.ok) << "cut at " << n << " inside the headers";
            }
            platform::LoadedImage img;
            EXPECT_EQ(platform::load_image_bmp(part, img), d.ok) << "cut at " << n;
        }
        for (size_t i = 0; i < file.size(); ++i)
            for (uint8_t v : { 0x00, 0x01, 0x7F, 0x80, 0xFF }) {
                Bytes altered = file;
                altered[i] = v;
                platform::BmpImage bmp;
                std::string error;
                if (!bmp.open(platform::BmpBytes(altered), error))
                    continue;
                // Altered sizes may claim many pixels of RLE: expand them, read a few rows.
                if (!bmp.prepare(error))
                    continue;
                std::vector<uint8_t> row(size_t(bmp.width()) * 4), scratch;
                for (int y = 0; y < std::min(bmp.height(), 64); ++y)
                    EXPECT_TRUE(bmp.read_row(y, row.data(), scratch));
                EXPECT_FALSE(bmp.read_row(bmp.height(), row.data(), scratch));
            }
    }
}

// The fuzz seeds are the decodable files of the table; TORVANE_WRITE_BMP_CORPUS=1 writes them again.
TEST(BmpLoad, SeedCorpusHoldsTheTable)
{
    const fs::path dir = fs::path(TORVANE_SOURCE_DIR) / "tests/fuzz/corpus/bmp";
    const bool rewrite = std::getenv("TORVANE_WRITE_BMP_CORPUS") != nullptr;
    if (rewrite)
        fs::create_directories(dir);
    size_t n = 0;
    for (const Good& c : good_cases()) {
        std::string name = std::to_string(n++) + "_";
        for (const char* p = c.name; *p && name.size() < 40; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p)))
                name += *p;
            else if (name.back() != '_')
                name += '_';
        const fs::path file = dir / (name + ".bmp");
        const Bytes bytes = build(c.bmp);
        if (rewrite)
            std::ofstream(file, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        EXPECT_EQ(TempFolder::read(file), bytes) << file;
    }
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator())), n);
}

class BmpFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(platform::vips_ready()); }
    fs::path write(const std::string& name, const Bytes& bytes) const { return tmp.write(name, bytes); }
    TempFolder tmp;
    const fs::path& dir = tmp.path();
};

// The content decides: a bitmap under another name is still ours to read.
TEST_F(BmpFileTest, FilesAreToldByTheirBytes)
{
    const Bytes bmp = build(good_cases()[0].bmp);
    for (const char* name : { "a.bmp", "a.BMP", "a.png", "a" }) {
        SCOPED_TRACE(name);
        const fs::path f = write(name, bmp);
        int w = 0, h = 0;
        EXPECT_TRUE(platform::read_image_size(f, w, h));
        EXPECT_EQ(w, 2);
        EXPECT_EQ(h, 2);
        platform::LoadedImage img;
        ASSERT_TRUE(platform::load_image_file(f, img));
        EXPECT_EQ(img.pixels.pixel(0, 1), R);
    }
    const fs::path bad = write("bad.bmp", cut(bmp, 35));
    int w = 0, h = 0;
    EXPECT_FALSE(platform::read_image_size(bad, w, h));
    platform::LoadedImage img;
    EXPECT_FALSE(platform::load_image_file(bad, img));
}

// A FIFO under an image's name would block a plain open; it is refused instead.
TEST_F(BmpFileTest, OnlyRegularFilesAreOpened)
{
    ASSERT_EQ(mkfifo((dir / "fifo.bmp").c_str(), 0600), 0);
    platform::LoadedImage img;
    EXPECT_FALSE(platform::load_image_file(dir / "fifo.bmp", img));
    int w = 0, h = 0;
    EXPECT_FALSE(platform::read_image_size(dir / "fifo.bmp", w, h));
    EXPECT_FALSE(platform::load_image_file(dir, img));
}

// Wider than a bitmap may be: rows are decoded as the downscaling asks, and the image arrives whole and smaller.
TEST_F(BmpFileTest, OversizedImageIsDownscaled)
{
    const int w = 40000, h = 4;
    Bytes px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = x < w / 2 ? 0xFF0000u : 0x0000FFu;
            put(px, c, 3);
        }
    const fs::path f = write("long.bmp", build({ .width = w, .height = h, .pixels = px }));
    platform::LoadedImage img;
    ASSERT_TRUE(platform::load_image_file(f, img));
    EXPECT_EQ(img.width, w);
    EXPECT_EQ(img.height, h);
    EXPECT_LE(img.pixels.width(), platform::Bitmap::max_side);
    EXPECT_GE(img.pixels.height(), 1);
    EXPECT_EQ(img.pixels.pixel(0, 0), R);
    EXPECT_EQ(img.pixels.pixel(img.pixels.width() - 1, 0), B);
}

} // namespace
