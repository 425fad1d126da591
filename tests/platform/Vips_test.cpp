// Tests of libvips' start-up: only the codecs we accept run, and no library of another codec is ever mapped.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <vips/vips.h>

#include <gtest/gtest.h>

#include "platform/Bitmap.h"
#include "platform/ImageLoad.h"
#include "platform/ImageSave.h"
#include "platform/Vips.h"
#include "tests/platform/TempFolder.h"

namespace {

namespace fs = std::filesystem;

class VipsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(platform::vips_ready()); }
    fs::path write(const std::string& name, const std::string& bytes) const { return tmp.write(name, bytes); }
    TempFolder tmp;
    const fs::path& dir = tmp.path();
};

// Libraries that only an untrusted codec brings in: ImageMagick (and GraphicsMagick) with the coders it loads,
// such as DjVu, PDF, OpenSlide, JPEG XL.
const std::vector<std::string> untrusted = { "Magick", "magick", "djvu", "poppler", "openslide", "jxl", "wmf" };

// The mapped files whose paths hold one of names.
std::vector<std::string> libraries_mapped(const std::vector<std::string>& names)
{
    std::vector<std::string> found;
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        const size_t slash = line.find('/');
        if (slash == std::string::npos)
            continue;
        const std::string path = line.substr(slash);
        for (const std::string& n : names)
            if (path.find(n) != std::string::npos && (found.empty() || found.back() != path))
                found.push_back(path);
    }
    return found;
}

TEST_F(VipsTest, OnlyAcceptedCodecsRunAndNoUntrustedLibraryIsMapped)
{
    // Every accepted kind decodes: PNG, JPEG, GIF and TIFF by libvips, BMP by our reader.
    platform::Bitmap b;
    ASSERT_TRUE(b.resize(4, 3));
    b.fill(0xFFFF0000);
    for (const char* name : { "a.png", "a.jpg", "a.gif", "a.tif", "a.bmp" }) {
        SCOPED_TRACE(name);
        std::string error;
        ASSERT_TRUE(platform::save_bitmap(b, dir / name, error)) << error;
        platform::LoadedImage img;
        ASSERT_TRUE(platform::load_image_file(dir / name, img));
        EXPECT_EQ(img.width, 4);
        EXPECT_EQ(img.height, 3);
        EXPECT_TRUE((img.pixels.pixel(1, 1) & 0xFFE0E0E0) == 0xFFE00000) << std::hex << img.pixels.pixel(1, 1);
    }

    // Other formats, under their own names and under accepted ones, are refused.
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\"><rect width=\"4\" "
                            "height=\"4\" fill=\"red\"/></svg>";
    const std::string pdf = "%PDF-1.4\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj 2 0 obj<</Type/Pages/Kids[3 0 R]"
                            "/Count 1>>endobj 3 0 obj<</Type/Page/MediaBox[0 0 4 4]/Parent 2 0 R>>endobj\ntrailer"
                            "<</Root 1 0 R>>\n%%EOF\n";
    VipsImage* black = nullptr;
    ASSERT_EQ(vips_black(&black, 4, 4, "bands", 3, nullptr), 0);
    ASSERT_EQ(vips_webpsave(black, (dir / "a.webp").c_str(), nullptr), 0);
    ASSERT_EQ(vips_vipssave(black, (dir / "a.v").c_str(), nullptr), 0);
    g_object_unref(black);
    const std::vector<fs::path> refused = {
        write("a.svg", svg),
        write("svg.png", svg),
        write("a.pdf", pdf),
        write("pdf.jpg", pdf),
        write("a.ppm", std::string("P6\n1 1\n255\n\0\0\0", 14)),
        write("a.djvu",
            std::string("AT&TFORM\0\0\0\x20"
                        "DJVUINFO\0\0\0\x0a\0\x04\0\x04\x18\0\x64\0\x16\0",
                34)),
        write("a.pcx", std::string("\x0a\x05\x01\x08\0\0\0\0\x03\0\x03\0", 12) + std::string(116, '\0')),
        write("a.xcf", std::string("gimp xcf file\0", 14) + std::string(20, '\0')),
        dir / "a.webp",
        dir / "a.v",
    };
    for (const fs::path& f : refused) {
        SCOPED_TRACE(f.filename().string());
        platform::LoadedImage img;
        EXPECT_FALSE(platform::load_image_file(f, img));
        int w = 0, h = 0;
        EXPECT_FALSE(platform::read_image_size(f, w, h));
    }

    // libvips itself refuses the operations, whoever calls them.
    VipsImage* out = nullptr;
    EXPECT_NE(vips_svgload((dir / "a.svg").c_str(), &out, nullptr), 0);
    EXPECT_NE(vips_pdfload((dir / "a.pdf").c_str(), &out, nullptr), 0);
    EXPECT_NE(vips_magickload((dir / "a.pcx").c_str(), &out, nullptr), 0);
    EXPECT_NE(vips_ppmload((dir / "a.ppm").c_str(), &out, nullptr), 0);
    EXPECT_NE(vips_webpload((dir / "a.webp").c_str(), &out, nullptr), 0);
    EXPECT_NE(vips_vipsload((dir / "a.v").c_str(), &out, nullptr), 0);
    EXPECT_NE(vips_csvload((dir / "a.svg").c_str(), &out, nullptr), 0);
    const std::string marker = (dir / "ran").string();
    EXPECT_NE(vips_system(("touch " + marker).c_str(), nullptr), 0);
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_EQ(vips_foreign_find_save((dir / "x.bmp").c_str()), nullptr) << "BMP would be saved by ImageMagick";
    vips_error_clear();
    ASSERT_EQ(vips_pngload((dir / "a.png").c_str(), &out, nullptr), 0) << "an accepted loader still runs";
    g_object_unref(out);

    std::vector<std::string> names = untrusted;
    names.insert(names.end(), { "heif", "vips-modules" }); // no module at all until a destination wants one
    const std::vector<std::string> mapped = libraries_mapped(names);
    EXPECT_TRUE(mapped.empty()) << mapped.front();
}

// The HEIF module is loaded when a destination needs its saver; what it can read stays blocked.
TEST_F(VipsTest, ModulesLoadOnlyForTheirDestinations)
{
    EXPECT_FALSE(platform::vips_load_module("magick"));
    EXPECT_FALSE(platform::vips_load_module("poppler"));
    platform::Bitmap b;
    ASSERT_TRUE(b.resize(16, 16));
    std::string error;
    ASSERT_TRUE(platform::save_bitmap(b, dir / "a.avif", error)) << error;
    EXPECT_GT(fs::file_size(dir / "a.avif"), 0u);
    EXPECT_FALSE(libraries_mapped({ "vips-heif" }).empty());
    platform::LoadedImage img;
    EXPECT_FALSE(platform::load_image_file(dir / "a.avif", img));
    VipsImage* out = nullptr;
    EXPECT_NE(vips_heifload((dir / "a.avif").c_str(), &out, nullptr), 0);
    vips_error_clear();
    const std::vector<std::string> mapped = libraries_mapped(untrusted);
    EXPECT_TRUE(mapped.empty()) << mapped.front();
}

} // namespace
