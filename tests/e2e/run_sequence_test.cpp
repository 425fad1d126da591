// The executable as a parent application calls it: arguments, settings, files left behind, exit codes.
#include <gtest/gtest.h>

#include "tests/support/e2e_harness.h"
#include "tests/support/jww_writer.h"

namespace {

using e2e::Sandbox;
namespace fs = std::filesystem;

// Bytes that no reader accepts, under a supported extension.
const std::string kNotADrawing = "this is not a drawing";

TEST(RunSequence, WrongArgumentCountTouchesNothing)
{
    for (size_t n : { 0u, 3u, 5u }) {
        Sandbox box;
        box.settings(0);
        box.write("plan.jww", kNotADrawing);
        box.write("out.png", "old");
        std::vector<std::string> args = { "a", "b", box.path("plan.jww").string(), box.path("out.png").string(),
            "extra" };
        args.resize(n);
        auto r = box.run(args);
        EXPECT_EQ(r.exit_code, 2) << n << " arguments";
        EXPECT_NE(r.err.find("usage"), std::string::npos);
        EXPECT_TRUE(fs::exists(box.path("out.png"))) << "an existing destination must survive " << n << " arguments";
    }
}

TEST(RunSequence, ExistingDestinationIsDeletedAndNotRecreated)
{
    Sandbox box;
    box.settings(0);
    box.write("plan.jww", kNotADrawing);
    box.write("out.png", "old");
    auto r = box.convert("plan.jww", "out.png");
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_FALSE(fs::exists(box.path("out.png")));
}

TEST(RunSequence, NoSettingsFileNoConversion)
{
    Sandbox box;
    box.write("plan.jww", kNotADrawing);
    auto r = box.convert("plan.jww", "out.png");
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.err.find("Torvane.dat"), std::string::npos);
    EXPECT_FALSE(fs::exists(box.path("out.png")));
}

TEST(RunSequence, MissingSourceNoImage)
{
    Sandbox box;
    box.settings(0);
    auto r = box.convert("absent.jww", "out.png");
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_FALSE(fs::exists(box.path("out.png")));
}

TEST(RunSequence, UnsupportedExtensionNoImage)
{
    Sandbox box;
    box.settings(0);
    box.write("plan.dxf", "0\nSECTION\n");
    auto r = box.convert("plan.dxf", "out.png");
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_FALSE(fs::exists(box.path("out.png")));
}

// A file that fails its format check still yields the background-only image of the start paper size
// (400 x 400 mm at 300 dpi), in every format the destination names.
TEST(RunSequence, FailedFormatCheckWritesWhiteImageOfStartPaper)
{
    struct Case {
        const char* dst;
        const char* loader;
    };
    const Case cases[] = {
        { "out.bmp", "bmp" },
        { "OUT.BMP", "bmp" },
        { "out.png", "pngload" },
        { "out.jpg", "jpegload" },
        { "out.gif", "gifload" },
        { "out.tif", "tiffload" },
    };
    for (const Case& c : cases) {
        Sandbox box;
        box.settings(9);
        box.write("PLAN.JWW", kNotADrawing);
        auto r = box.convert("PLAN.JWW", c.dst);
        EXPECT_EQ(r.exit_code, 3) << c.dst;
        auto im = e2e::load_image(box.path(c.dst));
        ASSERT_TRUE(im) << c.dst;
        EXPECT_EQ(im->width, 4724) << c.dst;
        EXPECT_EQ(im->height, 4724) << c.dst;
        EXPECT_NE(im->loader.find(c.loader), std::string::npos) << c.dst << " loaded by " << im->loader;
        for (auto [x, y] : { std::pair { 0, 0 }, { 2362, 2362 }, { 4723, 4723 }, { 100, 4000 } })
            EXPECT_TRUE(im->near(x, y, 0xFFFFFF, 2)) << c.dst << " at " << x << "," << y;
    }
}

TEST(RunSequence, OutputSizeFromSettings)
{
    struct Case {
        int cb3;
        const char* ed2;
        const char* ed3;
        int w, h;
    };
    const Case cases[] = {
        { 0, "800", "600", 800, 600 }, // pixels as given
        { 0, "9.5", "10.5", 10, 10 }, // halves to even, then the 10-pixel floor
        { 0, "9.4", "-3", 10, 10 }, // below the floor either way
        { 0, "abc", "", 10, 10 }, // unreadable sizes
        { 19, "800", "600", 4724, 4724 }, // unknown resolution choice: 300 dpi
        { 1, "800", "600", 567, 567 }, // 36 dpi: 400 mm -> 566.9
    };
    for (const Case& c : cases) {
        Sandbox box;
        box.settings(c.cb3, c.ed2, c.ed3);
        box.write("plan.jww", kNotADrawing);
        box.convert("plan.jww", "out.png");
        auto im = e2e::load_image(box.path("out.png"));
        ASSERT_TRUE(im) << c.cb3 << " " << c.ed2;
        EXPECT_EQ(im->width, c.w) << c.cb3 << " " << c.ed2;
        EXPECT_EQ(im->height, c.h) << c.cb3 << " " << c.ed3;
    }
}

// A settings file of 16 lines leaves ed2 and ed3 empty: the 10 x 10 minimum.
TEST(RunSequence, ShortSettingsFileGivesMinimumSize)
{
    Sandbox box;
    box.settings({ "50", "50", "480", "480", "1", "0", "0", "0", "0", "", "", "x", "1", "Windows", "0", "0" });
    box.write("plan.jww", kNotADrawing);
    box.convert("plan.jww", "out.png");
    auto im = e2e::load_image(box.path("out.png"));
    ASSERT_TRUE(im);
    EXPECT_EQ(im->width, 10);
    EXPECT_EQ(im->height, 10);
}

// A bitmap no canvas can hold ends with a message and no destination, at once.
TEST(RunSequence, HugeBitmapFailsCleanly)
{
    Sandbox box;
    box.settings(0, "200000", "200000");
    box.write("plan.jww", kNotADrawing);
    auto r = box.convert("plan.jww", "out.png");
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_NE(r.err.find("too large"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(box.path("out.png")));
}

TEST(RunSequence, UnwritableDestinationFails)
{
    Sandbox box;
    box.settings(0);
    box.write("plan.jww", kNotADrawing);
    auto r = box.run({ "a", "b", box.path("plan.jww").string(), box.path("no/such/folder/out.png").string() });
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_FALSE(fs::exists(box.path("no")));
}

TEST(RunSequence, UnknownImageExtensionFails)
{
    Sandbox box;
    box.settings(0);
    box.write("plan.jww", kNotADrawing);
    auto r = box.convert("plan.jww", "out.xyz");
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_FALSE(fs::exists(box.path("out.xyz")));
}

// Nothing but the destination is left in the executable's folder.
TEST(RunSequence, NoTemporaryFilesLeftBehind)
{
    Sandbox box;
    box.settings(0);
    box.write("plan.jww", kNotADrawing);
    box.convert("plan.jww", "out.png");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(box.dir()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "Torvane.dat", "out.png", "plan.jww", "torvanesub" }));
}

} // namespace

namespace {

// The largest paper at the finest resolution asks for about 4.7 million pixels a side: the run must
// refuse it before allocating, with no destination, whatever format was asked.
TEST(RunSequence, LargestPaperAtFinestResolutionFailsCleanly)
{
    for (const char* dst : { "out.png", "out.jpg", "out.gif" }) {
        Sandbox box;
        box.settings(18);
        jwwtest::JwwWriter w(600);
        w.Enthd.nZumen = 14;
        w.add(jwwtest::line(0, 0, 10, 10));
        box.write("plan.jww", w.bytes());
        auto r = box.convert("plan.jww", dst);
        EXPECT_EQ(r.exit_code, 4) << dst << ": " << r.err;
        EXPECT_NE(r.err.find("too large"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(box.path(dst))) << dst;
    }
}

// A drawing that loads ends with status 0 and an image of the paper at the chosen resolution.
TEST(RunSequence, LoadedDrawingExitsZero)
{
    Sandbox box;
    box.settings(1); // 36 dpi
    jwwtest::JwwWriter w(600);
    w.Enthd.nZumen = 3;
    w.add(jwwtest::line(0, 0, 10, 10));
    box.write("PLAN.JWW", w.bytes());
    auto r = box.convert("PLAN.JWW", "out.png");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    auto im = e2e::load_image(box.path("out.png"));
    ASSERT_TRUE(im);
    EXPECT_EQ(im->width, 595); // 420 mm at 36 dpi
    EXPECT_EQ(im->height, 421); // 297 mm
}

} // namespace
