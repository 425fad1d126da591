// Tests of our BMP writer: header bytes, padding, strip order, limits, and files read back by two readers.
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stb_image.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Bitmap.h"
#include "platform/BmpLoad.h"
#include "platform/BmpSave.h"
#include "platform/ImageSave.h"
#include "tests/platform/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

uint32_t u32_at(const Bytes& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

uint16_t u16_at(const Bytes& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

// A colour for every pixel that differs between neighbours and between rows.
uint32_t colour(int x, int y)
{
    return uint32_t((x * 37 + y * 11) & 0xFF) << 16 | uint32_t((y * 53) & 0xFF) << 8 | uint32_t((x * 7 + 3) & 0xFF);
}

class BmpSaveTest : public ::testing::Test {
protected:
    static Bytes read(const fs::path& f) { return TempFolder::read(f); }

    struct Written {
        bool ok = false;
        std::string error;
        std::vector<std::pair<int, int>> strips; // (y0, rows) in the order asked for
    };

    Written write(const fs::path& f, int w, int h, int32_t ppm = platform::bmp_default_pixels_per_metre)
    {
        Written out;
        const int fd = ::open(f.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        EXPECT_GE(fd, 0);
        out.ok = platform::write_bmp24(
            fd, w, h,
            [&](int y0, int rows, uint8_t* rgb) {
                out.strips.emplace_back(y0, rows);
                for (int y = y0; y < y0 + rows; ++y)
                    for (int x = 0; x < w; ++x, rgb += 3) {
                        const uint32_t c = colour(x, y);
                        rgb[0] = uint8_t(c >> 16);
                        rgb[1] = uint8_t(c >> 8);
                        rgb[2] = uint8_t(c);
                    }
                return true;
            },
            out.error, ppm);
        ::close(fd);
        return out;
    }

    TempFolder tmp;
    const fs::path& dir = tmp.path();
};

TEST_F(BmpSaveTest, FilesReadBackByOurReaderAndByStb)
{
    const struct {
        int w, h;
    } sizes[] = { { 1, 1 }, { 1, 7 }, { 7, 1 }, { 2, 3 }, { 3, 2 }, { 4, 4 }, { 5, 3 }, { 2000, 400 } };
    for (const auto& s : sizes) {
        SCOPED_TRACE(std::to_string(s.w) + " x " + std::to_string(s.h));
        const fs::path f = dir / "out.bmp";
        const Written res = write(f, s.w, s.h);
        ASSERT_TRUE(res.ok) << res.error;
        const Bytes file = read(f);
        const uint32_t stride = (uint32_t(s.w) * 3 + 3) / 4 * 4;
        ASSERT_EQ(file.size(), 54 + size_t(stride) * size_t(s.h));
        // The fields other readers rely on.
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(u32_at(file, 2), file.size());
        EXPECT_EQ(u32_at(file, 10), 54u);
        EXPECT_EQ(u32_at(file, 14), 40u);
        EXPECT_EQ(int32_t(u32_at(file, 18)), s.w);
        EXPECT_EQ(int32_t(u32_at(file, 22)), s.h); // positive: bottom-up
        EXPECT_EQ(u16_at(file, 26), 1);
        EXPECT_EQ(u16_at(file, 28), 24);
        EXPECT_EQ(u32_at(file, 30), 0u);
        EXPECT_EQ(u32_at(file, 34), stride * uint32_t(s.h));
        EXPECT_EQ(u32_at(file, 38), 2835u);
        EXPECT_EQ(u32_at(file, 42), 2835u);
        // Padding bytes are zero; the first stored row is the bottom one.
        for (int r = 0; r < s.h; ++r)
            for (uint32_t i = uint32_t(s.w) * 3; i < stride; ++i)
                EXPECT_EQ(file[54 + size_t(r) * stride + i], 0) << "row " << r;
        EXPECT_EQ(file[54 + 2], uint8_t(colour(0, s.h - 1) >> 16));

        platform::BmpImage ours;
        std::string error;
        ASSERT_TRUE(ours.open(platform::BmpBytes(file), error)) << error;
        ASSERT_EQ(ours.width(), s.w);
        ASSERT_EQ(ours.height(), s.h);
        int sw = 0, sh = 0, n = 0;
        uint8_t* stb = stbi_load(f.c_str(), &sw, &sh, &n, 3);
        ASSERT_NE(stb, nullptr) << stbi_failure_reason();
        ASSERT_EQ(sw, s.w);
        ASSERT_EQ(sh, s.h);
        std::vector<uint8_t> row(size_t(s.w) * 4), scratch;
        int wrong = 0;
        for (int y = 0; y < s.h; ++y) {
            ASSERT_TRUE(ours.read_row(y, row.data(), scratch));
            for (int x = 0; x < s.w; ++x) {
                const uint32_t c = colour(x, y);
                const uint8_t* o = &row[size_t(x) * 4];
                const uint8_t* t = stb + (size_t(y) * size_t(s.w) + size_t(x)) * 3;
                const uint32_t got_ours = uint32_t(o[0]) << 16 | uint32_t(o[1]) << 8 | o[2];
                const uint32_t got_stb = uint32_t(t[0]) << 16 | uint32_t(t[1]) << 8 | t[2];
                wrong += got_ours != c || got_stb != c || o[3] != 255;
            }
        }
        stbi_image_free(stb);
        EXPECT_EQ(wrong, 0);
    }
}

// The band renderer will produce rows on demand: strips come bottom-up, each row exactly once.
TEST_F(BmpSaveTest, StripsAreAskedForFromTheBottomUpCoveringEveryRowOnce)
{
    for (const auto& [w, h] : { std::pair { 1, 1 }, { 3, 5 }, { 2000, 400 }, { 40000, 30 } }) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        const Written res = write(dir / "out.bmp", w, h);
        ASSERT_TRUE(res.ok) << res.error;
        ASSERT_FALSE(res.strips.empty());
        int next_end = h;
        for (const auto& [y0, rows] : res.strips) {
            EXPECT_GE(rows, 1);
            EXPECT_EQ(y0 + rows, next_end);
            next_end = y0;
        }
        EXPECT_EQ(next_end, 0);
    }
}

TEST_F(BmpSaveTest, ResolutionAsGiven)
{
    ASSERT_TRUE(write(dir / "a.bmp", 2, 2, 11811).ok); // 300 dpi
    const Bytes file = read(dir / "a.bmp");
    EXPECT_EQ(u32_at(file, 38), 11811u);
    EXPECT_EQ(u32_at(file, 42), 11811u);
}

TEST_F(BmpSaveTest, SizesTheFormatCannotHoldAreRefusedBeforeWriting)
{
    const struct {
        int w, h;
        const char* error;
    } cases[] = {
        { 0, 5, "no pixels" }, { 5, 0, "no pixels" }, { -1, 5, "no pixels" },
        { 40000, 40000, "over 4 GiB" }, // 4.8e9 bytes
        { INT32_MAX, 1, "over 4 GiB" }, { 1, INT32_MAX, "over 4 GiB" },
        { 37838, 37838, "over 4 GiB" }, // the smallest square past it
        { 1431655747, 1, "over 4 GiB" }, // one row: 54 + 4294967244 bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        const Written res = write(dir / "big.bmp", c.w, c.h);
        EXPECT_FALSE(res.ok);
        EXPECT_NE(res.error.find(c.error), std::string::npos) << res.error;
        EXPECT_TRUE(res.strips.empty());
        EXPECT_EQ(fs::file_size(dir / "big.bmp"), 0u);
    }
}

TEST_F(BmpSaveTest, FailuresAreReported)
{
    // A source that cannot produce its rows.
    const int fd = ::open((dir / "a.bmp").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    std::string error;
    EXPECT_FALSE(platform::write_bmp24(
        fd, 4, 4, [](int, int, uint8_t*) { return false; }, error));
    EXPECT_NE(error.find("rows"), std::string::npos) << error;
    ::close(fd);
    // A full disk.
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (full < 0)
        GTEST_SKIP() << "no /dev/full";
    error.clear();
    EXPECT_FALSE(platform::write_bmp24(
        full, 4, 4,
        [](int, int, uint8_t* rgb) {
            std::fill_n(rgb, 4 * 3, 0);
            return true;
        },
        error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    ::close(full);
}

// save_bitmap writes ".bmp" in any letter case with our writer, flattened onto white, and leaves no partial file.
TEST_F(BmpSaveTest, SaveBitmapWritesBmpWithOurWriter)
{
    platform::Bitmap b;
    ASSERT_TRUE(b.resize(3, 2));
    auto* px = reinterpret_cast<uint32_t*>(b.data());
    px[0] = 0xFFFF0000; // opaque red
    px[1] = 0x00000000; // transparent: white
    px[2] = 0x80000080; // half blue, premultiplied: over white (127, 127, 255)
    px[3] = 0xFF00FF00;
    for (const char* name : { "out.bmp", "OUT.BMP", "Out.Bmp" }) {
        SCOPED_TRACE(name);
        std::string error;
        ASSERT_TRUE(platform::save_bitmap(b, dir / name, error)) << error;
        const Bytes file = read(dir / name);
        ASSERT_EQ(file.size(), 54u + 12u * 2u);
        EXPECT_EQ(u16_at(file, 28), 24);
        int w = 0, h = 0, n = 0;
        uint8_t* stb = stbi_load((dir / name).c_str(), &w, &h, &n, 3);
        ASSERT_NE(stb, nullptr);
        const std::vector<uint8_t> got(stb, stb + 3 * 3 * 2);
        stbi_image_free(stb);
        const std::vector<uint8_t> want = { 255, 0, 0, 255, 255, 255, 127, 127, 255, 0, 255, 0, 255, 255, 255, 255, 255,
            255 };
        EXPECT_EQ(got, want);
    }
    // Nothing else: no partial file left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
}

} // namespace
