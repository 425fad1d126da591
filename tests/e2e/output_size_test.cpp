// The sizes an image may have, end to end: past Cairo's side limit the image is still made, and past a
// format's own limits the run says which and writes nothing.
#include <gtest/gtest.h>

#include "tests/support/e2e_harness.h"
#include "tests/support/jww_writer.h"

namespace {

using e2e::Sandbox;
namespace fs = std::filesystem;

std::vector<uint8_t> drawing()
{
    jwwtest::JwwWriter w(600);
    w.Enthd.nZumen = 3;
    w.add(jwwtest::line(-200, 0, 200, 0, jwwtest::attr(2)));
    return w.bytes();
}

// 40000 pixels wide: more than one Cairo surface holds, drawn in pieces and written as one PNG.
TEST(OutputSize, PngWiderThanCairosSurfacesIsWritten)
{
    Sandbox box;
    box.settings(0, "40000", "20");
    box.write("plan.jww", drawing());
    auto r = box.convert("plan.jww", "out.png");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    auto im = e2e::load_image(box.path("out.png"));
    ASSERT_TRUE(im);
    EXPECT_EQ(im->width, 40000);
    EXPECT_EQ(im->height, 20);
    EXPECT_NE(im->loader.find("pngload"), std::string::npos) << im->loader;
    // A3 fitted by its height sits in the middle, 27 pixels wide: its dashed blue frame and the line are all
    // the ink there is, and none of it lies anywhere else.
    int ink = 0, astray = 0;
    for (int y = 0; y < im->height; ++y)
        for (int x = 0; x < im->width; ++x)
            if (!im->near(x, y, 0xFFFFFF, 2)) {
                ++ink;
                astray += x < 19980 || x > 20020;
            }
    EXPECT_GE(ink, 20);
    EXPECT_EQ(astray, 0);
}

// Each format's limit is stated before anything is drawn, and no destination is left.
TEST(OutputSize, EachFormatsLimitIsStatedAndNothingIsWritten)
{
    struct Case {
        const char* dst;
        const char* ed2;
        const char* ed3;
        const char* says;
    };
    const Case cases[] = {
        { "out.jpg", "65501", "10", "image of 65501 x 10 pixels is too large for .jpg (65500 pixels a side at most)" },
        { "out.webp", "10", "16384",
            "image of 10 x 16384 pixels is too large for .webp (16383 pixels a side at most)" },
        { "out.gif", "65536", "10", "image of 65536 x 10 pixels is too large for .gif (65535 pixels a side at most)" },
        { "out.gif", "20000", "20000",
            "image of 20000 x 20000 pixels is too large for .gif (268435456 pixels at most)" },
        { "out.png", "10000001", "10",
            "image of 10000001 x 10 pixels is too large for .png (10000000 pixels a side at most)" },
        { "out.tif", "100000", "100000",
            "image of 100000 x 100000 pixels is too large for .tif (8589934592 pixels at most)" },
    };
    for (const Case& c : cases) {
        Sandbox box;
        box.settings(0, c.ed2, c.ed3);
        box.write("plan.jww", drawing());
        auto r = box.convert("plan.jww", c.dst);
        EXPECT_EQ(r.exit_code, 4) << c.dst;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(box.path(c.dst))) << c.dst;
    }
}

} // namespace
