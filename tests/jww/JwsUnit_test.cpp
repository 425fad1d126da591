// TJwsData: file check, header, reading, layers, extents from the base point and the base-point mark.
#include <cmath>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/jww/JwwDrawDoc.h"
#include "tests/support/jww_symbol_writer.h"
#include "tests/support/jww_tempdir.h"

using namespace jwwtest;
using namespace jwwdrawtest;

namespace {

class JwsFileTest : public ::testing::Test {
public:
    std::u16string save(const JwsWriter& w, const std::string& name = "s.jws")
    {
        EXPECT_TRUE(w.save((dir.path() / name).string()));
        return dir.file(name);
    }
    std::u16string save_bytes(const std::vector<uint8_t>& b, const std::string& name)
    {
        std::ofstream f(dir.path() / name, std::ios::binary);
        f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
        return dir.file(name);
    }
    TempDir dir;
    TJwsData jws;
};

TEST_F(JwsFileTest, HeaderIs452BytesBeforeTheEntityList)
{
    JwsWriter w;
    EXPECT_EQ(w.bytes().size(), 452u + 2 + 2) << "header, empty entity list, no definitions";
}

TEST_F(JwsFileTest, CheckAcceptsMagicAndVersionRange)
{
    struct Case {
        const char* magic;
        int32_t version;
        bool ok;
    };
    const Case cases[] = { { "JwsData", 230, true }, { "JwsData", 700, true }, { "JwsData", 229, false },
        { "JwsData", 701, false }, { "JwwData", 600, false }, { "jwsdata", 600, false } };
    for (const auto& c : cases) {
        JwsWriter w(600);
        w.magic = c.magic;
        w.header_version = c.version;
        EXPECT_EQ(jws.FileCheck(save(w)), c.ok) << c.magic << " " << c.version;
    }
    EXPECT_FALSE(jws.FileCheck(dir.file("missing.jws")));
    EXPECT_FALSE(jws.FileCheck(save_bytes({ 'J', 'w', 's', 'D', 'a', 't', 'a' }, "short.jws")));
}

TEST_F(JwsFileTest, ReadsBasePointScalesAndEntities)
{
    JwsWriter w(600);
    w.base_x = 12.5;
    w.base_y = -3;
    w.scales[2] = 50;
    w.mxy = { 1, 2, 3, 4 };
    w.body.add(line(0, 0, 10, 0));
    w.body.add(text(0, 5, 10, 5, 3, 3), u"ＭＳ ゴシック", u"sym");
    w.body.begin_block(1, u"B");
    w.body.add(circle(0, 0, 2));
    w.body.end_block();
    w.body.add(insert(1, 20, 20));
    gDrawTitle = u"left from before";
    gPrtBairitsu = 3;
    const std::u16string path = save(w);
    ASSERT_TRUE(jws.FileIn(path));
    EXPECT_EQ(jws.Enthd.jwID, u"JwsData");
    EXPECT_EQ(jws.Enthd.jwVer, 600);
    EXPECT_EQ(jws.Enthd.BasePoint_x, 12.5);
    EXPECT_EQ(jws.Enthd.BasePoint_y, -3);
    EXPECT_EQ(jws.Enthd.My2, 4);
    ASSERT_EQ(jws.EntLgrp.size(), 16u);
    EXPECT_EQ(jws.EntLgrp[2].adScale, 50);
    EXPECT_EQ(jws.EntLgrp[2].anGLay, 2);
    EXPECT_EQ(jws.Enthd.n1, 3);
    EXPECT_EQ(jws.EntLineN, 1);
    EXPECT_EQ(jws.EntMojiN, 1);
    EXPECT_EQ(jws.text(jws.EntMoji[0].str), u"sym");
    EXPECT_EQ(jws.EntBlockDefN, 1);
    EXPECT_EQ(jws.EntBlockTreeN, 1);
    EXPECT_EQ(jws.EntBlockTree[0].defno, 0);
    EXPECT_EQ(gFilePath, path);
    EXPECT_EQ(gDrawTitle, u"");
    EXPECT_EQ(gPrtBairitsu, 1.0);
}

// Symbols keep control characters in every string; the same body read as a drawing drops them.
TEST_F(JwsFileTest, StringsKeepControlCharacters)
{
    JwsWriter w(600);
    w.body.add(text(0, 5, 10, 5, 3, 3), u"Font\tA", u"a\tb\x01c");
    w.body.begin_block(1, u"Blk\x02");
    w.body.add(circle(0, 0, 2));
    w.body.end_block();
    w.body.add(insert(1, 20, 20));
    ASSERT_TRUE(jws.FileIn(save(w)));
    ASSERT_EQ(jws.EntMojiN, 1);
    EXPECT_EQ(jws.text(jws.EntMoji[0].str), u"a\tb\x01c");
    EXPECT_EQ(jws.text(jws.EntMoji[0].strFontName), u"Font\tA");
    ASSERT_EQ(jws.EntBlockDefN, 1);
    EXPECT_EQ(jws.EntBlockDef[0].strName, u"Blk\x02");
}

TEST_F(JwsFileTest, OldVersionsUseTheNarrowAttribute)
{
    JwsWriter w(300);
    w.body.add(line(1, 2, 3, 4, attr(5, 2, 3, 1)));
    ASSERT_TRUE(jws.FileIn(save(w)));
    ASSERT_EQ(jws.EntLineN, 1);
    EXPECT_EQ(+jws.EntLine[0].end_y, 4); // packed fields are read by value
    EXPECT_EQ(+jws.EntLine[0].att.nPenColor, 5);
    EXPECT_EQ(+jws.EntLine[0].att.nLayer, 3);
}

TEST_F(JwsFileTest, ImageTableAfterTheDefinitionsIsNotRead)
{
    JwsWriter w(700);
    w.body.add(line(0, 0, 1, 1));
    w.body.image(u"a.png", std::vector<uint8_t>(100, 0x55));
    TJwsData d;
    d.BindImageFolder = dir.folder();
    ASSERT_TRUE(d.FileIn(save(w)));
    EXPECT_EQ(d.BindImageN, 0);
    EXPECT_TRUE(d.BindImage.empty());
    EXPECT_EQ(dir.listing(), "s.jws");
}

TEST_F(JwsFileTest, BadHeadersFailWithoutATree)
{
    struct Case {
        const char* what;
        const char* magic;
        int32_t version;
        size_t cut;
    };
    const Case cases[] = { { "magic", "JwwData", 600, 0 }, { "version", "JwsData", 229, 0 },
        { "cut before My2", "JwsData", 600, 450 }, { "cut inside the reserved bytes", "JwsData", 600, 100 } };
    for (const auto& c : cases) {
        JwsWriter w(600);
        w.magic = c.magic;
        w.header_version = c.version;
        w.truncate_at = c.cut;
        w.body.add(insert(1, 0, 0));
        EXPECT_FALSE(jws.FileIn(save(w))) << c.what;
        EXPECT_EQ(jws.EntBlockTreeN, 0) << c.what;
    }
}

TEST_F(JwsFileTest, MissingEntityListFailsAfterTheHeader)
{
    JwsWriter w(600);
    w.truncate_at = 452;
    EXPECT_FALSE(jws.FileIn(save(w)));
    EXPECT_EQ(jws.Enthd.jwVer, 600);
}

TEST_F(JwsFileTest, HostileCountsEndTheLoadCleanly)
{
    JwsWriter w(600);
    w.body.entity_count = 0xFFFFFFFFu;
    w.body.add(line(0, 0, 1, 1));
    EXPECT_FALSE(jws.FileIn(save(w)));
    EXPECT_EQ(jws.EntLineN, 1);
}

// ---- Layers, extents, drawing.

class JwsDrawTest : public Scene {
public:
    void SetUp() override
    {
        Scene::SetUp();
        jws.EntLgrp.assign(16, {});
        for (auto& g : jws.EntLgrp) {
            g.anGLay = 2;
            g.adScale = 1;
        }
    }
    TJwsData jws;
    Builder<TJwsData> b { jws };
};

TEST_F(JwsDrawTest, EveryLayerIsShownAndZeroScaleCountsAsOne)
{
    att->SetAttrLayer(17, 3, 1);
    jws.EntLgrp[1].anGLay = 0;
    jws.EntLgrp[1].adScale = 0;
    jws.EntLgrp[2].adScale = 4;
    jws.SetGAttLayer();
    for (int n = 0; n < 256; ++n)
        ASSERT_EQ(att->GetAttrLayerState(n), 1) << n;
    EXPECT_DOUBLE_EQ(att->GetAttrLayerScale(17), 1.0);
    EXPECT_DOUBLE_EQ(att->GetAttrLayerScale(2 * 16 + 5), 0.25);
}

TEST_F(JwsDrawTest, ExtentsStartAtTheBasePoint)
{
    jws.Enthd.BasePoint_x = 0;
    jws.Enthd.BasePoint_y = 0;
    b.add(line(10, 10, 20, 30));
    jws.GetMinMaxZahyo();
    EXPECT_EQ(gMinX, 0);
    EXPECT_EQ(gMinY, 0);
    EXPECT_EQ(gMaxX, 20);
    EXPECT_EQ(gMaxY, 30);
}

TEST_F(JwsDrawTest, EmptySymbolGrowsAroundItsBasePoint)
{
    jws.Enthd.BasePoint_x = 4;
    jws.Enthd.BasePoint_y = 5;
    jws.GetMinMaxZahyo();
    EXPECT_EQ(gMinX, -6);
    EXPECT_EQ(gMinY, -5);
    EXPECT_EQ(gMaxX, 14);
    EXPECT_EQ(gMaxY, 15);
}

TEST_F(JwsDrawTest, BaseMarkIsARedCircleOfFivePixelsDrawnLast)
{
    jws.Enthd.BasePoint_x = 100;
    jws.Enthd.BasePoint_y = 40;
    b.add(line(10, 10, 190, 10));
    jws.GLDrawALL();
    auto drawn = canvas->drawn();
    ASSERT_GE(drawn.size(), 2u);
    const Record* mark = drawn.back();
    // The renderer draws circles as closed outlines: every point lies 5 pixels from the base point.
    ASSERT_EQ(mark->op, Op::Path);
    EXPECT_EQ(mark->stroke.Color, 0xFFFF0000u);
    EXPECT_EQ(mark->stroke.Thickness, 2);
    ASSERT_GE(mark->pts.size(), 8u);
    const auto c = dev(100, 40);
    for (const auto& p : mark->pts)
        EXPECT_NEAR(std::hypot(p.X - c.X, p.Y - c.Y), 5, 0.05);
}

TEST_F(JwsDrawTest, BaseMarkAlsoOnAnEmptySymbolAndOnlyWhenAsked)
{
    jws.Enthd.BasePoint_x = 100;
    jws.Enthd.BasePoint_y = 100;
    jws.GLDrawALL();
    ASSERT_EQ(canvas->drawn().size(), 1u);
    EXPECT_EQ(canvas->drawn()[0]->stroke.Color, 0xFFFF0000u);
    canvas->clear_records();
    att->SetDispKijun(0);
    jws.GLDrawALL();
    EXPECT_TRUE(canvas->drawn().empty());
}

TEST_F(JwsDrawTest, SymbolDrawsLikeADrawingThroughItsBlocks)
{
    TEntJwwBlockDef& d = b.def(7);
    def_add(d, line(0, 0, 10, 0));
    b.add(insert(7, 100, 50, 2, 2));
    b.done();
    jws.GLDrawALL();
    EXPECT_TRUE(has_line(dev(100, 50), dev(120, 50)));
}

} // namespace
