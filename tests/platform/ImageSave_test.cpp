// The one flatten step: premultiplied pixels over a background or kept with alpha, and replacing a file.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

#include <vips/vips.h>

#include "platform/Bitmap.h"
#include "platform/ImageSave.h"
#include "platform/Vips.h"
#include "tests/platform/TempFolder.h"

namespace {

namespace fs = std::filesystem;

// A saved image's pixels as stored: 3 or 4 bands of 8 bits.
struct Pixels {
    int bands = 0;
    std::vector<uint8_t> data;
    uint32_t rgb(int x) const
    {
        const uint8_t* p = &data[size_t(x * bands)];
        return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
    int alpha(int x) const { return bands == 4 ? data[size_t(x * bands + 3)] : 255; }
};

std::optional<Pixels> load(const fs::path& file)
{
    if (!platform::vips_ready())
        return std::nullopt;
    VipsImage* im = vips_image_new_from_file(file.c_str(), nullptr);
    if (!im)
        return std::nullopt;
    Pixels p;
    p.bands = im->Bands;
    size_t size = 0;
    if (void* mem = vips_image_write_to_memory(im, &size)) {
        const auto* b = static_cast<const uint8_t*>(mem);
        p.data.assign(b, b + size);
        g_free(mem);
    }
    g_object_unref(im);
    return p;
}

class Save : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Three pixels in Cairo's premultiplied ARGB: opaque blue, half-covered red, nothing.
        ASSERT_TRUE(bitmap_.resize(3, 1));
        const uint32_t px[3] = { 0xFF0000FF, 0x80800000, 0x00000000 };
        std::memcpy(bitmap_.data(), px, sizeof px);
    }
    TempFolder tmp_;
    const fs::path& dir_ = tmp_.path();
    platform::Bitmap bitmap_;
};

struct Flatten {
    const char* what;
    platform::SaveOptions options;
    uint32_t half; // the half-covered red pixel as saved
    uint32_t empty; // the uncovered pixel
};

TEST_F(Save, PixelsOverTheBackground)
{
    const Flatten cases[] = {
        { "white by default", {}, 0xFF7F7F, 0xFFFFFF },
        { "another colour", { 0x00FF00, false, false }, 0x807F00, 0x00FF00 },
        { "black", { 0x000000, false, false }, 0x800000, 0x000000 },
    };
    for (const Flatten& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path file = dir_ / (std::string(c.what) + ".png");
        std::string error;
        ASSERT_TRUE(platform::save_bitmap(bitmap_, file, error, c.options)) << error;
        const auto im = load(file);
        ASSERT_TRUE(im);
        EXPECT_EQ(im->bands, 3);
        EXPECT_EQ(im->rgb(0), 0x0000FFu);
        EXPECT_EQ(im->rgb(1), c.half);
        EXPECT_EQ(im->rgb(2), c.empty);
    }
}

TEST_F(Save, TransparencyKeepsAlphaWithColourUnpremultiplied)
{
    const fs::path file = dir_ / "alpha.png";
    std::string error;
    platform::SaveOptions o;
    o.transparent = true;
    ASSERT_TRUE(platform::save_bitmap(bitmap_, file, error, o)) << error;
    const auto im = load(file);
    ASSERT_TRUE(im);
    ASSERT_EQ(im->bands, 4);
    EXPECT_EQ(im->rgb(0), 0x0000FFu);
    EXPECT_EQ(im->alpha(0), 255);
    EXPECT_EQ(im->rgb(1), 0xFF0000u) << "half-covered red is red at half alpha";
    EXPECT_EQ(im->alpha(1), 0x80);
    EXPECT_EQ(im->alpha(2), 0);

    for (const char* name : { "alpha.jpg", "alpha.bmp" }) {
        error.clear();
        EXPECT_FALSE(platform::save_bitmap(bitmap_, dir_ / name, error, o)) << name;
        EXPECT_NE(error.find("no transparency"), std::string::npos) << error;
        EXPECT_FALSE(fs::exists(dir_ / name));
    }
}

TEST_F(Save, AnExistingFileIsReplacedOnlyWhenAsked)
{
    const fs::path file = dir_ / "old.png";
    std::ofstream(file) << "old";
    std::string error;
    EXPECT_FALSE(platform::save_bitmap(bitmap_, file, error));
    EXPECT_EQ(fs::file_size(file), 3u) << "kept without replace";
    platform::SaveOptions o;
    o.replace = true;
    EXPECT_TRUE(platform::save_bitmap(bitmap_, file, error, o)) << error;
    EXPECT_TRUE(load(file));

    // A link in the destination's place is replaced by the file, never written through.
    const fs::path target = dir_ / "target.txt";
    std::ofstream(target) << "keep";
    const fs::path link = dir_ / "link.png";
    fs::create_symlink(target, link);
    EXPECT_TRUE(platform::save_bitmap(bitmap_, link, error, o)) << error;
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(fs::file_size(target), 4u);
}

} // namespace
