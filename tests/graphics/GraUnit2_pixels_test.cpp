// Pixel tests of TGraph2 on the Cairo canvas, for what only pixels show: fills, hollow markers, turned images.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Bitmap.h"
#include "platform/CairoCanvas.h"
#include "platform/Cp932.h"
#include "platform/ImageSave.h"

namespace {

namespace fs = std::filesystem;
constexpr uint32_t white = 0xFFFFFFFF;

class PixelTest : public ::testing::Test {
public:
    void SetUp() override
    {
        att = std::make_unique<TgraAttribute>();
        att->SetDisplayMode(true);
        gGraAtt = att.get();
        // 200 x 200 pixels over (0, 0)-(100, 100).
        gDispX1 = 0;
        gDispY1 = 0;
        gDispX2 = 100;
        gDispY2 = 100;
        gDispScale = 2;
        gDispHeight = 200;
        ASSERT_TRUE(bitmap.resize(200, 200));
        canvas = std::make_unique<platform::CairoCanvas>(bitmap);
        g = std::make_unique<TGraph2>(canvas.get());
        canvas->begin_scene();
        g->GCls(white);
    }
    void TearDown() override
    {
        g.reset();
        canvas.reset();
        gGraAtt = nullptr;
    }

    // The pixel under a drawing point, after the scene has ended.
    uint32_t at(double x, double y)
    {
        canvas->end_scene();
        canvas->begin_scene();
        return bitmap.pixel(int(x * gDispScale), int(gDispHeight - y * gDispScale));
    }

    platform::Bitmap bitmap;
    std::unique_ptr<TgraAttribute> att;
    std::unique_ptr<platform::CairoCanvas> canvas;
    std::unique_ptr<TGraph2> g;
};

TEST_F(PixelTest, SolidFillsItsPolygonOnly)
{
    g->GLPenSet(0, 6, 1, 0); // pen colour 6, blue
    GLPoints = { { 10, 10 }, { 90, 10 }, { 10, 90 } };
    GLPointsN = 3;
    EXPECT_EQ(g->GLSolid(), 0);
    EXPECT_EQ(at(20, 20), att->GetAttrColcol(6));
    EXPECT_EQ(at(80, 80), white);
}

TEST_F(PixelTest, SolidArcSectorFillsBetweenArcAndCentre)
{
    g->GLPenSet(0, 3, 1, 0);
    EXPECT_EQ(g->GLSolidArc(101, 50, 50, 40, 1, 0, 0, std::numbers::pi / 2, 0), 0);
    EXPECT_EQ(at(60, 60), att->GetAttrColcol(3));
    EXPECT_EQ(at(40, 60), white); // the next quadrant stays empty
    EXPECT_EQ(at(88, 88), white); // beyond the arc
}

TEST_F(PixelTest, HollowMarkerCoversItsInsideWithTheBackground)
{
    // A black background colour makes the cover visible on the white bitmap.
    att->SetBackColor(1);
    att->SetDefaultColor();
    const uint32_t pen = att->GetAttrColcol(2);
    g->GLTenMarker(30, 50, 0, 2, 0, 8, 0, 2, 0, 0); // hollow square of half side 10
    g->GLTenMarker(70, 50, 0, 5, 0, 8, 0, 2, 0, 0); // filled square
    EXPECT_EQ(at(30, 50), att->BackColor);
    EXPECT_EQ(at(70, 50), pen);
    EXPECT_EQ(at(30, 35), white); // outside the marker
    EXPECT_EQ(canvas->fill_color(), pen);
}

TEST_F(PixelTest, TurnedImageLiesAboveItsCorner)
{
    std::string tmpl = (fs::temp_directory_path() / "pixels-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    const fs::path dir = tmpl;
    // 40 x 20: red left half, blue right half.
    platform::Bitmap img;
    ASSERT_TRUE(img.resize(40, 20));
    auto* px = reinterpret_cast<uint32_t*>(img.data());
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            px[y * 40 + x] = x < 20 ? 0xFFFF0000 : 0xFF0000FF;
    std::string error;
    ASSERT_TRUE(platform::save_bitmap(img, dir / "pic.png", error)) << error;
    gFilePath = platform::utf8_to_utf16((dir / "drawing.jww").string());

    // (20, 20)-(60, 40) turned a quarter counter-clockwise about (20, 20): it stands at x 0..20, y 20..60,
    // its left (red) half below, its right (blue) half above.
    EXPECT_EQ(g->GLImage2(20, 20, 60, 40, 0, 0, 0, 90, u"pic.png"), 0);
    EXPECT_EQ(at(10, 30), 0xFFFF0000u);
    EXPECT_EQ(at(10, 50), 0xFF0000FFu);
    EXPECT_EQ(at(40, 30), white); // where it would lie unturned
    gFilePath.clear();
    fs::remove_all(dir);
}

} // namespace
