// Tests of the image operations: lookup, fit modes, cropping, turning, the small-image outline and temp copies.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vips/vips.h>

#include "graphics/ImageDraw.h"
#include "platform/Cp932.h"
#include "platform/ImageLoad.h"
#include "platform/ImageSave.h"
#include "platform/Vips.h"
#include "tests/graphics/RenderFixture.h"

namespace {

namespace fs = std::filesystem;
using std::numbers::pi;

std::u16string u16(const fs::path& p) { return platform::utf8_to_utf16(p.string()); }

class ImageTest : public RenderFixture {
public:
    void SetUp() override
    {
        RenderFixture::SetUp();
        ASSERT_TRUE(platform::vips_ready());
        std::string tmpl = (fs::temp_directory_path() / "imagedraw-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        fs::create_directory(dir / "run");
        gFilePath = u16(dir / "drawing.jww");
        gRunTempFolder = u16(dir / "run") + u"/";
    }
    void TearDown() override
    {
        gFilePath.clear();
        gRunTempFolder.clear();
        std::error_code ec;
        fs::remove_all(dir, ec);
        RenderFixture::TearDown();
    }

    // A w x h image, red on its left half and blue on its right.
    fs::path write_image(const std::string& name, int w, int h)
    {
        platform::Bitmap b;
        EXPECT_TRUE(b.resize(w, h));
        auto* px = reinterpret_cast<uint32_t*>(b.data());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px[size_t(y) * w + x] = x < w / 2 ? 0xFFFF0000 : 0xFF0000FF;
        std::string error;
        EXPECT_TRUE(platform::save_bitmap(b, dir / name, error)) << error;
        return dir / name;
    }

    size_t files_in(const fs::path& folder) const
    {
        size_t n = 0;
        for (const auto& e : fs::directory_iterator(folder))
            n += e.is_regular_file();
        return n;
    }

    fs::path dir;
};

TEST_F(ImageTest, AcceptedExtensions)
{
    const struct {
        const char16_t* name;
        bool ok;
    } cases[] = {
        { u"a.bmp", true },
        { u"a.PNG", true },
        { u"a.tif", true },
        { u"a.Tiff", true },
        { u"photo.Jpeg", true },
        { u"a.jpg", true },
        { u"C:\\x\\a.GIF", true },
        { u"photo.webp", false },
        { u"a", false },
        { u"a.png.txt", false },
        { u"", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(detail::image_extension_ok(c.name), c.ok) << platform::utf16_to_utf8(c.name);
}

TEST_F(ImageTest, UnacceptedOrMissingFilesGiveThree)
{
    write_image("photo.png", 8, 8);
    fs::copy_file(dir / "photo.png", dir / "photo.webp");
    EXPECT_EQ(g->GLImage(10, 10, 30, 30, 0, u16(dir / "photo.webp")), 3);
    EXPECT_EQ(g->GLImage(10, 10, 30, 30, 0, u"missing.png"), 3);
    EXPECT_EQ(g->GLImage2(10, 10, 30, 30, 0, 0, 0, 0, u"missing.png"), 3);
    EXPECT_TRUE(canvas->drawn().empty());
}

TEST_F(ImageTest, LookupInTheDrawingsFolder)
{
    write_image("pic.png", 8, 4);
    EXPECT_EQ(detail::find_image_file(u"pic.png"), u16(dir / "pic.png"));
    // A Windows path from another machine, in another case: its name is found beside the drawing.
    EXPECT_EQ(detail::find_image_file(u"D:\\Photos\\PIC.Png"), u16(dir / "pic.png"));
    EXPECT_EQ(detail::find_image_file(u16(dir / "pic.png")), u16(dir / "pic.png"));
    EXPECT_EQ(detail::find_image_file(u"D:\\Photos\\other.png"), u"");
    EXPECT_EQ(detail::find_image_file(u""), u"");
}

TEST_F(ImageTest, ImageSize)
{
    write_image("pic.png", 30, 12);
    double ix = 0, iy = 0;
    EXPECT_TRUE(g->GetImageSize(u"pic.png", ix, iy));
    EXPECT_EQ(ix, 30);
    EXPECT_EQ(iy, 12);
    EXPECT_FALSE(g->GetImageSize(u"missing.png", ix, iy));
    EXPECT_EQ(ix, 100);
    EXPECT_EQ(iy, 100);
}

TEST_F(ImageTest, ImageCopy)
{
    write_image("pic.png", 6, 4);
    const fs::path dst = dir / "copy.bmp";
    EXPECT_TRUE(g->GetImageCopy(u"pic.png", u16(dst)));
    platform::LoadedImage img;
    ASSERT_TRUE(platform::load_image_file(dst, img));
    EXPECT_EQ(img.width, 6);
    EXPECT_EQ(img.pixels.pixel(5, 0), 0xFF0000FFu);
    EXPECT_FALSE(g->GetImageCopy(u"missing.png", u16(dir / "none.png")));
    EXPECT_FALSE(fs::exists(dir / "none.png"));
}

TEST_F(ImageTest, FitModes)
{
    write_image("wide.png", 40, 20); // twice as wide as high, into a 20 x 20 square at scale 10
    const struct {
        const char* what;
        double x1, y1, x2, y2;
        int Fm;
        float l, t, r, b; // device rectangle
    } cases[] = {
        { "stretch", 10, 10, 30, 30, 0, 100, 700, 300, 900 },
        { "height from width", 10, 10, 30, 30, 1, 100, 800, 300, 900 },
        { "width from height", 10, 10, 30, 30, 2, 100, 700, 500, 900 },
        { "fit inside, centred", 10, 10, 30, 30, 3, 100, 750, 300, 850 },
        { "corners given right to left", 30, 30, 10, 10, 0, 100, 700, 300, 900 },
        { "width from height, leftwards", 30, 10, 10, 30, 2, -100, 700, 300, 900 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reset_records();
        EXPECT_EQ(g->GLImage(c.x1, c.y1, c.x2, c.y2, c.Fm, u"wide.png"), 0);
        const Record* r = canvas->last(Op::Bitmap);
        ASSERT_NE(r, nullptr);
        EXPECT_NEAR(r->rect.Left, c.l, 1e-3);
        EXPECT_NEAR(r->rect.Top, c.t, 1e-3);
        EXPECT_NEAR(r->rect.Right, c.r, 1e-3);
        EXPECT_NEAR(r->rect.Bottom, c.b, 1e-3);
        EXPECT_EQ(r->src.Right, 40);
        EXPECT_EQ(r->src.Bottom, 20);
        EXPECT_EQ(r->image_width, 40);
    }
}

TEST_F(ImageTest, SizeAndVisibilityTests)
{
    write_image("pic.png", 8, 8);
    EXPECT_EQ(g->GLImage(10, 10, 10.1, 30, 0, u"pic.png"), 2); // 1 pixel wide
    EXPECT_EQ(g->GLImage(10, 10, 2e5, 30, 0, u"pic.png"), 2); // over 1,000,000 pixels
    EXPECT_EQ(g->GLImage(-30, 10, -10, 30, 0, u"pic.png"), 1); // left of the window
    EXPECT_EQ(g->GLImage2(10, 110, 30, 130, 0, 0, 0, 0, u"pic.png"), 1);
    EXPECT_TRUE(canvas->drawn().empty());
}

TEST_F(ImageTest, TinyImageIsOutlinedInBlue)
{
    write_image("pic.png", 8, 8);
    EXPECT_EQ(g->GLImage(10, 10, 10.3, 10.3, 0, u"pic.png"), 0); // 3 x 3 pixels
    EXPECT_EQ(canvas->count(Op::Bitmap), 0u);
    ASSERT_EQ(canvas->drawn().size(), 1u);
    EXPECT_EQ(canvas->drawn()[0]->op, Op::Rect);
    EXPECT_EQ(canvas->drawn()[0]->stroke.Color, 0xFF0000FFu);
}

TEST_F(ImageTest, CropOfImage2)
{
    // 100 x 50 image, crop from half its width, full bottom band, half its width wide, into a 2:1 rectangle.
    write_image("pic.png", 100, 50);
    EXPECT_EQ(g->GLImage2(10, 10, 30, 20, 0.5, 0, 0.5, 0, u"pic.png"), 0);
    const Record* r = canvas->last(Op::Bitmap);
    ASSERT_NE(r, nullptr);
    EXPECT_NEAR(r->src.Left, 50, 1e-4);
    EXPECT_NEAR(r->src.Top, 25, 1e-4);
    EXPECT_NEAR(r->src.Right, 100, 1e-4);
    EXPECT_NEAR(r->src.Bottom, 50, 1e-4);
    EXPECT_NEAR(r->rect.Left, 100, 1e-3);
    EXPECT_NEAR(r->rect.Top, 800, 1e-3);
    // No crop values: the whole width, the rectangle's proportions from the bottom.
    reset_records();
    EXPECT_EQ(g->GLImage2(10, 10, 30, 20, 0, 0, 0, 360, u"pic.png"), 0);
    r = canvas->last(Op::Bitmap);
    EXPECT_NEAR(r->src.Left, 0, 1e-4);
    EXPECT_NEAR(r->src.Top, 0, 1e-4);
    EXPECT_NEAR(r->src.Right, 100, 1e-4);
    EXPECT_EQ(canvas->count(Op::MultiplyTransform), 0u);
}

TEST_F(ImageTest, TurnedImage2TurnsAboutItsLowerLeftCorner)
{
    write_image("pic.png", 20, 10);
    const platform::Matrix before = canvas->transform();
    EXPECT_EQ(g->GLImage2(10, 10, 30, 20, 0, 0, 0, 30, u"pic.png"), 0);
    const Record* r = canvas->last(Op::Bitmap);
    ASSERT_NE(r, nullptr);
    const platform::PointF corner = dev(10, 10);
    const platform::PointF c = r->transform.apply(corner);
    EXPECT_PT_NEAR(c, corner.X, corner.Y, 1e-3);
    // Counter-clockwise on the bitmap: a point to the right of the corner moves up.
    const platform::PointF p = r->transform.apply({ corner.X + 100, corner.Y });
    EXPECT_NEAR(p.X, corner.X + 100 * std::cos(pi / 6), 1e-2);
    EXPECT_NEAR(p.Y, corner.Y - 100 * std::sin(pi / 6), 1e-2);
    const platform::Matrix after = canvas->transform();
    EXPECT_EQ(after.xx, before.xx);
    EXPECT_EQ(after.xy, before.xy);
    EXPECT_EQ(after.x0, before.x0);
}

TEST_F(ImageTest, TinyTurnedImageOutlineTurnsLikeTheImage)
{
    write_image("pic.png", 8, 8);
    EXPECT_EQ(g->GLImage2(10, 10, 10.3, 10.3, 0, 0, 0, 90, u"pic.png"), 0);
    EXPECT_EQ(canvas->count(Op::Bitmap), 0u);
    const Record* r = canvas->last(Op::Path);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->stroke.Color, 0xFF0000FFu);
    ASSERT_EQ(r->pts.size(), 5u);
    // (10.3, 10) turned a quarter counter-clockwise about (10, 10) lies above the corner.
    EXPECT_PT_NEAR(r->pts[1], dev(10, 10.3).X, dev(10, 10.3).Y, 1e-3);
}

TEST_F(ImageTest, UnreadableImageLeavesNoCopies)
{
    {
        std::ofstream f(dir / "broken.png", std::ios::binary);
        f << "\x89PNG\r\n\x1a\n not really";
    }
    EXPECT_EQ(g->GLImage(10, 10, 30, 30, 0, u"broken.png"), 0); // attempted
    EXPECT_EQ(g->GLImage2(10, 10, 30, 30, 0, 0, 0, 0, u"broken.png"), 0);
    EXPECT_TRUE(canvas->drawn().empty());
    EXPECT_EQ(files_in(dir / "run"), 0u);
    EXPECT_EQ(files_in(dir), 1u); // no "~~" copy beside the image either
    // Without a private folder no copy is tried at all.
    gRunTempFolder.clear();
    EXPECT_EQ(g->GLImage(10, 10, 30, 30, 0, u"broken.png"), 0);
    EXPECT_EQ(files_in(dir), 1u);
}

TEST_F(ImageTest, OversizedImageIsDrawnFromADownscaledLoad)
{
    // Wider than any bitmap may be: loaded downscaled and drawn whole.
    VipsImage* black = nullptr;
    ASSERT_EQ(vips_black(&black, 40000, 4, "bands", 3, nullptr), 0);
    ASSERT_EQ(vips_pngsave(black, (dir / "long.png").c_str(), nullptr), 0);
    g_object_unref(black);

    double ix, iy;
    ASSERT_TRUE(g->GetImageSize(u"long.png", ix, iy));
    EXPECT_EQ(ix, 40000);
    EXPECT_EQ(g->GLImage(10, 10, 90, 90, 0, u"long.png"), 0);
    const Record* r = canvas->last(Op::Bitmap);
    ASSERT_NE(r, nullptr);
    EXPECT_LE(r->image_width, platform::Bitmap::max_side);
    EXPECT_EQ(r->src.Right, float(r->image_width));
    EXPECT_EQ(r->src.Bottom, float(r->image_height));
    EXPECT_GE(r->image_height, 1);
    EXPECT_NEAR(r->rect.Right - r->rect.Left, 800, 1e-3);
}

TEST_F(ImageTest, ContentOfAnotherFormatIsRefused)
{
    // A portable pixmap under an accepted name: the codec could read it, but it is no format of ours.
    {
        std::ofstream f(dir / "fake.png", std::ios::binary);
        f << "P3\n1 1\n255\n255 0 0\n";
    }
    double ix, iy;
    EXPECT_FALSE(g->GetImageSize(u"fake.png", ix, iy));
    platform::LoadedImage img;
    EXPECT_FALSE(platform::load_image_file(dir / "fake.png", img));
    EXPECT_EQ(g->GLImage(10, 10, 30, 30, 0, u"fake.png"), 0);
    EXPECT_EQ(canvas->count(Op::Bitmap), 0u);
    // A bitmap under a ".png" name is still a bitmap.
    write_image("real.bmp", 4, 2);
    fs::rename(dir / "real.bmp", dir / "real.png");
    EXPECT_TRUE(g->GetImageSize(u"real.png", ix, iy));
    EXPECT_EQ(ix, 4);
}

TEST(ImageLoad, BmpFromMemory)
{
    ASSERT_TRUE(platform::vips_ready());
    // 2 x 1, 24 bits, bottom-up rows padded to 4 bytes: blue then red pixel (stored as B, G, R).
    const uint8_t bmp[] = {
        'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, // file header
        40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0, // info header
        0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, // pixels + padding
    };
    platform::LoadedImage img;
    ASSERT_TRUE(platform::load_image_bmp(bmp, img));
    EXPECT_EQ(img.width, 2);
    EXPECT_EQ(img.height, 1);
    EXPECT_EQ(img.pixels.pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(img.pixels.pixel(1, 0), 0xFFFF0000u);

    const uint8_t junk[] = { 'B', 'M', 1, 2, 3 };
    EXPECT_FALSE(platform::load_image_bmp(junk, img));
    EXPECT_TRUE(img.pixels.empty());
}

} // namespace
