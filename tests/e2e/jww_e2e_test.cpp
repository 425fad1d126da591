// ".jww" and ".jws" drawings through the real executable: pens, layers, blocks, dimensions, texts, symbols.
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/e2e_harness.h"
#include "tests/support/jww_symbol_writer.h"
#include "tests/support/jww_writer.h"

namespace {

using e2e::Sandbox;
using namespace jwwtest;
using std::numbers::pi;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;

// An A3 drawing (420 x 297 mm, centred on the origin) on an 882 x 624 bitmap: the fit with its 5 % margin
// gives 2 pixels per mm, so a drawing point (x, y) lands on pixel (441 + 2x, 312 - 2y).
constexpr int kW = 882, kH = 624;
constexpr double kScale = 2;
int px(double x) { return int(std::lround(kW / 2.0 + kScale * x)); }
int py(double y) { return int(std::lround(kH / 2.0 - kScale * y)); }

// A plain A3 drawing whose printer pen 2 is red and 3 green, each 100 units wide (4.2 mm: 8 pixels).
JwwWriter a3(int32_t version = 600)
{
    JwwWriter w(version);
    w.Enthd.nZumen = 3;
    w.EntCol[2].aPrtPenColor = 0x0000FF;
    w.EntCol[3].aPrtPenColor = 0x00FF00;
    w.EntCol[2].anPrtPenWidth = w.EntCol[3].anPrtPenWidth = 100;
    return w;
}

e2e::Image convert(
    Sandbox& box, const std::vector<uint8_t>& drawing, const std::string& name = "plan.jww", int w = kW, int h = kH)
{
    box.settings(0, std::to_string(w), std::to_string(h));
    box.write(name, drawing);
    auto r = box.convert(name, "out.png");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    auto img = e2e::load_image(box.path("out.png"));
    EXPECT_TRUE(img.has_value());
    if (!img)
        return {};
    EXPECT_EQ(img->width, w);
    EXPECT_EQ(img->height, h);
    return *img;
}

// Pixels within a box that are not background.
int ink(const e2e::Image& img, int x1, int y1, int x2, int y2, uint32_t back = kWhite)
{
    int n = 0;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            n += !img.near(x, y, back, 60);
    return n;
}

TEST(JwwE2E, ThickLineOfItsPenColourWhereTheFitPutsIt)
{
    Sandbox box;
    JwwWriter w = a3();
    w.add(line(-100, 50, 100, 50, attr(2)));
    auto img = convert(box, w.bytes());
    for (int dy : { -3, 0, 3 })
        EXPECT_TRUE(img.near(px(0), py(50) + dy, kRed)) << dy;
    EXPECT_TRUE(img.near(px(-95), py(50), kRed));
    EXPECT_TRUE(img.near(px(0), py(50) + 8, kWhite));
    EXPECT_TRUE(img.near(px(105), py(50), kWhite));
    // The blue paper frame at the paper's edge, one unit wide and shared by two pixel columns.
    auto blue = [&](int x) {
        const uint32_t c = img.at(x, py(0));
        return int(c & 0xFF) - int(c >> 16) > 60;
    };
    EXPECT_TRUE(blue(px(-210) - 1) || blue(px(-210)));
    EXPECT_FALSE(blue(px(-205)));
}

TEST(JwwE2E, HiddenLayerAbsentGreyedLayerGrey)
{
    Sandbox box;
    JwwWriter w = a3();
    w.EntLay[1].aanLay = 0; // hidden
    w.EntLay[2].aanLay = 1; // greyed
    w.EntLgrp[1].anGLay = 0; // a hidden group hides all its layers
    w.add(line(-100, 0, 100, 0, attr(2, 1, 1)));
    w.add(line(-100, -50, 100, -50, attr(2, 1, 2)));
    w.add(line(-100, 50, 100, 50, attr(2, 1, 5, 1)));
    auto img = convert(box, w.bytes());
    EXPECT_TRUE(img.near(px(0), py(0), kWhite));
    EXPECT_TRUE(img.near(px(0), py(50), kWhite));
    EXPECT_TRUE(img.near(px(0), py(-50), 0x808080, 30));
}

// The driver shows auxiliary entities, so every kind the table names as auxiliary is on the image.
TEST(JwwE2E, AuxiliaryEntitiesAreShown)
{
    Sandbox box;
    JwwWriter w = a3();
    w.add(line(-150, 100, -50, 100, attr(9)));
    w.add(solid(0, 80, 40, 80, 40, 120, 0, 120, attr(9)));
    w.add(line(-150, 0, -50, 0, attr(2, 9, 0, 0, 100)));
    auto img = convert(box, w.bytes());
    EXPECT_GT(ink(img, px(-150), py(100) - 2, px(-50), py(100) + 2), 50);
    EXPECT_FALSE(img.near(px(20), py(100), kWhite));
    EXPECT_GT(ink(img, px(-150), py(0) - 3, px(-50), py(0) + 3), 50);
}

TEST(JwwE2E, ScaledTurnedMirroredBlockLandsAtItsTransformedPlace)
{
    Sandbox box;
    JwwWriter w = a3();
    w.begin_block(1, u"arm");
    w.add(line(0, 0, 20, 0, attr(2)));
    w.add(solid(20, -5, 30, -5, 30, 5, 20, 5, attr(3)));
    w.end_block();
    // Mirrored in x (scale -2, 2) and turned by 90 degrees at (50, -50): the definition's x axis points down.
    w.add(insert(1, 50, -50, -2, 2, pi / 2));
    auto img = convert(box, w.bytes());
    EXPECT_TRUE(img.near(px(50), py(-70), kRed));
    EXPECT_TRUE(img.near(px(50), py(-100), 0x00FF00));
    // Where the same insert would land unmirrored (up) or unturned (left, right).
    EXPECT_TRUE(img.near(px(50), py(-30), kWhite));
    EXPECT_TRUE(img.near(px(20), py(-50), kWhite));
    EXPECT_TRUE(img.near(px(90), py(-50), kWhite));
}

TEST(JwwE2E, NestedBlocksCompose)
{
    Sandbox box;
    JwwWriter w = a3();
    w.begin_block(2, u"inner");
    w.add(line(0, 0, 10, 0, attr(2)));
    w.end_block();
    w.begin_block(1, u"outer");
    w.add(insert(2, 10, 0, 3, 3));
    w.end_block();
    w.add(insert(1, -100, -100, 2, 2));
    auto img = convert(box, w.bytes());
    // Outer (scale 2 at (-100, -100)) places the inner origin at (-80, -100); inner scale 3 x 2: 60 long.
    EXPECT_TRUE(img.near(px(-50), py(-100), kRed));
    EXPECT_TRUE(img.near(px(-15), py(-100), kWhite));
}

// A dimension of 1234.5 in a block scaled by 2 prints its regenerated value, centred on the line: the
// two-decimal variant is the wider one by its two extra digits.
TEST(JwwE2E, DimensionValueRegeneratedInScaledBlock)
{
    auto value_ink = [](uint16_t format) {
        Sandbox box;
        JwwWriter w(600);
        w.Enthd.nZumen = 10; // 3364 x 2378 mm, room for the 2469 mm line
        TEntJwwSunpo s;
        s.att = attr(2);
        s.Sen = line(0, 0, 1234.5, 0, attr(2));
        s.Moji = text(0, 10, 1234.5, 10, 100, 100, 0, 1, attr(2, 1, 0, 0, format));
        w.begin_block(1, u"dim");
        w.add(s, u"ＭＳ ゴシック", u"1234.5");
        w.end_block();
        w.add(insert(1, -1234.5, 0, 2, 2));
        auto img = convert(box, w.bytes(), "dim.jww", 1000, 707);
        // 1000 / (3364 x 1.05) px/mm; the value stands from y = 20 to 220 mm, centred on x = 0 (pixel 500).
        const double k = 1000 / (3364 * 1.05);
        const int top = int(707 / 2.0 - 220 * k), bottom = int(707 / 2.0 - 20 * k);
        return std::make_pair(ink(img, 500 - 130, top, 500 + 130, bottom), ink(img, 500 + 95, top, 500 + 130, bottom));
    };
    auto [plain_total, plain_far] = value_ink(0x2000 + 0x40 + 0x2); // 2,469.
    auto [zeros_total, zeros_far] = value_ink(0x2000 + 0x40 + 0x80 + 0x2); // 2,469.00
    EXPECT_GT(plain_total, 100);
    EXPECT_EQ(plain_far, 0) << "six half-width characters end 85 px right of the middle";
    EXPECT_GT(zeros_far, 20) << "eight half-width characters reach 113 px right of the middle";
}

// Bold (20000 + style) prints heavier strokes than the plain style; italic leans but keeps the weight.
TEST(JwwE2E, TextStylesChangeTheStroke)
{
    auto text_ink = [](uint32_t shu) {
        Sandbox box;
        JwwWriter w = a3();
        w.add(text(-150, 0, 150, 0, 20, 20, 0, shu, attr(1)), u"ＭＳ ゴシック", u"IIIIIIIIII");
        auto img = convert(box, w.bytes());
        return ink(img, px(-160), py(25), px(160), py(-5));
    };
    const int plain = text_ink(1);
    const int bold = text_ink(20001);
    EXPECT_GT(plain, 200);
    EXPECT_GT(bold, plain * 6 / 5);
}

// Vertical writing runs its characters down the base line; the sizes are exchanged, so the character
// width (25 mm) is the step along the line and the height (10 mm) the breadth of the column.
TEST(JwwE2E, VerticalTextRunsDownTheBaseLineWithExchangedSizes)
{
    Sandbox box;
    JwwWriter w = a3();
    w.add(text(0, 100, 0, 0, 10, 25, 0, 1, attr(1, 1, 0, 0, 0, 0x20)), u"ＭＳ ゴシック", u"日本語");
    auto img = convert(box, w.bytes());
    EXPECT_GT(ink(img, px(-14), py(45), px(14), py(30)), 30) << "the third character stands 50 to 25 mm high";
    // A stray antialiased pixel may reach beyond the cell; a 25 mm broad column would leave hundreds.
    EXPECT_LT(ink(img, px(-40), py(110), px(-16), py(0)), 5) << "the column is 10 mm broad";
    EXPECT_LT(ink(img, px(16), py(110), px(40), py(0)), 5) << "the column is 10 mm broad";
    EXPECT_EQ(ink(img, px(-30), py(20), px(30), py(-20)), 0) << "three 25 mm steps end at 25 mm";
}

TEST(JwwE2E, StoredImageIsDrawnWhereItsReferencePlacesItAndRemoved)
{
    Sandbox box;
    JwwWriter w = a3(700);
    w.image(u"red.bmp.gz", red_bmp_gz());
    w.add(text(-50, -25, 50, -25, 3, 3), u"ＭＳ ゴシック", u"^@BM%temp%red.bmp,100,50");
    auto img = convert(box, w.bytes());
    // A simple reference keeps the picture's proportions over the given width: 100 x 50 for 16 x 8.
    EXPECT_TRUE(img.near(px(0), py(0), kRed));
    EXPECT_TRUE(img.near(px(-45), py(20), kRed));
    EXPECT_TRUE(img.near(px(0), py(30), kWhite));
    EXPECT_TRUE(img.near(px(60), py(0), kWhite));
    for (const auto& e : std::filesystem::recursive_directory_iterator(box.dir()))
        EXPECT_EQ(e.path().filename().string().find("red.bmp"), std::string::npos) << e.path();
}

TEST(JwwE2E, BlackBackgroundFromThePrinterBackgroundColour)
{
    Sandbox box;
    JwwWriter w = a3();
    w.EntCol[0].aPrtPenColor = 0x000000;
    w.add(line(-100, 50, 100, 50, attr(2)));
    auto img = convert(box, w.bytes());
    EXPECT_TRUE(img.near(5, 5, 0x000000, 10));
    EXPECT_TRUE(img.near(px(0), py(0), 0x000000, 10));
    EXPECT_TRUE(img.near(px(0), py(50), kRed));
}

TEST(JwwE2E, CutDrawingStillExitsAsUnreadable)
{
    Sandbox box;
    JwwWriter w = a3();
    w.add(line(-100, 50, 100, 50, attr(2)));
    auto bytes = w.header_bytes();
    bytes.resize(bytes.size() - 4);
    box.settings(0, "100", "100");
    box.write("cut.jww", bytes);
    auto r = box.convert("cut.jww", "out.png");
    EXPECT_EQ(r.exit_code, 3);
}

// ---- Symbols: the size comes from the settings, the view from the extents.

TEST(JwsE2E, SymbolFittedToItsExtentsWithRedBaseCircle)
{
    Sandbox box;
    JwsWriter w(600);
    w.base_x = 0;
    w.base_y = -20;
    w.body.add(line(0, 0, 100, 0, attr(2, 1, 0, 0, 100)));
    box.settings(9, "400", "400"); // the resolution choice does not apply to symbols
    box.write("sym.jws", w.bytes());
    auto r = box.convert("sym.jws", "out.png");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    auto img = e2e::load_image(box.path("out.png"));
    ASSERT_TRUE(img);
    ASSERT_EQ(img->width, 400);
    ASSERT_EQ(img->height, 400);
    // Extents (0, -20) to (100, 0): 400 / 105 pixels per mm, centred on (50, -10).
    const double s = 400 / 105.0;
    auto sx = [&](double x) { return int(std::lround(200 + (x - 50) * s)); };
    auto sy = [&](double y) { return int(std::lround(200 - (y + 10) * s)); };
    EXPECT_FALSE(img->near(sx(50), sy(0), kWhite));
    EXPECT_FALSE(img->near(sx(2), sy(0), kWhite));
    EXPECT_TRUE(img->near(sx(50), sy(-10), kWhite));
    // The base circle: 5 pixels round the base point, its centre left empty.
    const int bx = sx(0), by = sy(-20);
    int red = 0;
    for (int dy = -7; dy <= 7; ++dy)
        for (int dx = -7; dx <= 7; ++dx)
            red += img->near(bx + dx, by + dy, kRed, 90);
    EXPECT_GT(red, 12);
    EXPECT_TRUE(img->near(bx, by, kWhite));
    EXPECT_TRUE(img->near(bx + 5, by, kRed, 90) || img->near(bx + 4, by, kRed, 90));
}

TEST(JwsE2E, ImageReferenceFarCornerWidensTheFit)
{
    Sandbox box;
    JwsWriter w(600);
    w.base_x = 10;
    w.base_y = 20;
    w.body.add(line(10, 20, 110, 20, attr(2, 1, 0, 0, 100)));
    w.body.add(text(10, 20, 110, 20, 3, 3), u"ＭＳ ゴシック", u"^@BMabsent.png,100,50");
    box.settings(0, "400", "400");
    box.write("img.jws", w.bytes());
    ASSERT_EQ(box.convert("img.jws", "out.png").exit_code, 0);
    auto img = e2e::load_image(box.path("out.png"));
    ASSERT_TRUE(img);
    // Extents (10, 20) to (110, 70): centred on y = 45, so the line sits 25 mm below the middle.
    const int row = int(std::lround(200 + 25 * 400 / 105.0));
    EXPECT_FALSE(img->near(200, row, kWhite));
    EXPECT_TRUE(img->near(200, 200, kWhite));
}

TEST(JwsE2E, LonePointSymbolGrowsAroundIt)
{
    Sandbox box;
    JwsWriter w(600);
    w.base_x = 3;
    w.base_y = 4;
    w.body.add(point(3, 4));
    box.settings(0, "200", "200");
    box.write("pt.jws", w.bytes());
    ASSERT_EQ(box.convert("pt.jws", "out.png").exit_code, 0);
    auto img = e2e::load_image(box.path("out.png"));
    ASSERT_TRUE(img);
    // Extents (-7, -6) to (13, 14): the base point is the middle of the image, marked by the red circle.
    int red = 0;
    for (int dy = -7; dy <= 7; ++dy)
        for (int dx = -7; dx <= 7; ++dx)
            red += img->near(100 + dx, 100 + dy, kRed, 90);
    EXPECT_GT(red, 12);
    EXPECT_TRUE(img->near(100 + 30, 100, kWhite));
}

} // namespace
