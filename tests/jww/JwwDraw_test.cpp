// Layer states, text placement and the drawing of every JWW entity kind on the recording canvas.
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "formats/jww/JwwDraw.h"
#include "platform/Cp932.h"
#include "tests/jww/JwwDrawDoc.h"

using namespace jwwtest;
using namespace jwwdrawtest;
using detail::JwwTrans;

namespace {

using std::numbers::pi;

TEST(JwwLayerRule, GroupAndLayerStatesGiveTableStates)
{
    struct Case {
        int32_t group, layer, state;
    };
    const Case cases[] = { { 0, 0, 3 }, { 0, 1, 3 }, { 0, 2, 3 }, { 1, 0, 3 }, { 1, 1, 2 }, { 1, 2, 2 }, { 2, 0, 3 },
        { 2, 1, 2 }, { 2, 2, 1 }, { 7, 5, 1 }, { 3, 0, 3 } };
    for (const auto& c : cases)
        EXPECT_EQ(detail::jww_layer_state(c.group, c.layer), c.state) << c.group << "/" << c.layer;
}

TEST(JwwLayerRule, FontTypeFollowsStyleNumber)
{
    const std::pair<uint32_t, int> cases[] = { { 0, 0 }, { 5, 0 }, { 9999, 0 }, { 10003, 2 }, { 20003, 1 },
        { 29999, 1 }, { 30000, 3 }, { 30010, 3 } };
    for (auto [shu, ftyp] : cases)
        EXPECT_EQ(detail::moji_font_type(shu), ftyp) << shu;
}

TEST(JwwLayerRule, ImageReferenceNeedsMarkerAndComma)
{
    EXPECT_TRUE(detail::is_image_moji(u"^@BMa.png,10"));
    EXPECT_FALSE(detail::is_image_moji(u"^@BMa.png"));
    EXPECT_FALSE(detail::is_image_moji(u"x^@BMa.png,10"));
    EXPECT_FALSE(detail::is_image_moji(u"^@B"));
}

TEST(JwwLayerRule, TempPrefixResolvesIntoTheFolderOnly)
{
    const std::u16string folder = u"/run/img/";
    EXPECT_EQ(detail::jww_image_path(folder, u"%temp%a.png"), u"/run/img/a.png");
    // A stored name never leaves the folder.
    EXPECT_EQ(detail::jww_image_path(folder, u"%temp%..\\..\\etc\\a.png"), u"/run/img/a.png");
    EXPECT_EQ(detail::jww_image_path(folder, u"%TEMP%a.png"), u"%TEMP%a.png");
    EXPECT_EQ(detail::jww_image_path(folder, u"pics/a.png"), u"pics/a.png");
    EXPECT_EQ(detail::jww_image_path(u"", u"%temp%a.png"), u"");
    EXPECT_EQ(detail::jww_image_path(folder, u"%temp%.."), u"");
}

// ---- Text placement.

TEST(JwwTextPlacement, VerticalTextExchangesSizesAndTakesTheVerticalFont)
{
    TEntJwwMoji e = text(1, 2, 11, 2, 3, 4, 0.5, 20003, attr(1, 1, 0, 0, 0, 0x20));
    auto p = detail::moji_placement(e, u"ＭＳ 明朝");
    EXPECT_DOUBLE_EQ(p.h, 3);
    EXPECT_DOUBLE_EQ(p.w, 4);
    EXPECT_DOUBLE_EQ(p.sp, 0.5);
    EXPECT_EQ(p.Ftyp, 1);
    EXPECT_EQ(p.font, u"@ＭＳ 明朝");

    e.att.sFlg = 0;
    e.dSizeX = -3; // sizes count by their magnitude
    p = detail::moji_placement(e, u"ＭＳ 明朝");
    EXPECT_DOUBLE_EQ(p.h, 4);
    EXPECT_DOUBLE_EQ(p.w, 3);
    EXPECT_EQ(p.font, u"ＭＳ 明朝");
    EXPECT_DOUBLE_EQ(p.x2, 11);
}

TEST(JwwTextPlacement, BlockScaleAndMirrorMoveTheBaseLine)
{
    const TEntJwwMoji e = text(0, 0, 10, 0, 2, 3, 1);
    // Scale 2 at (100, 50).
    auto p = detail::moji_placement_block(e, u"f", JwwTrans { 100, 50, 2, 0, 0, 2, 1 });
    EXPECT_DOUBLE_EQ(p.x1, 100);
    EXPECT_DOUBLE_EQ(p.x2, 120);
    EXPECT_NEAR(p.w, 4, 1e-12);
    EXPECT_NEAR(p.h, 6, 1e-12);
    EXPECT_NEAR(p.sp, 2, 1e-12);
    // Mirrored in x: the placement points are exchanged so that the text still reads forwards.
    p = detail::moji_placement_block(e, u"f", JwwTrans { 100, 50, -1, 0, 0, 1, 1 });
    EXPECT_DOUBLE_EQ(p.x1, 90);
    EXPECT_DOUBLE_EQ(p.x2, 100);
    // A vertical text inside a block keeps the exchange of its sizes.
    TEntJwwMoji v = e;
    v.att.sFlg = 0x20;
    p = detail::moji_placement_block(v, u"f", JwwTrans { 0, 0, 1, 0, 0, 1, 1 });
    EXPECT_DOUBLE_EQ(p.w, 3);
    EXPECT_DOUBLE_EQ(p.h, 2);
    EXPECT_EQ(p.font, u"@f");
}

TEST(JwwTextPlacement, RegeneratedValueIsCentredOnItsPrintedWidth)
{
    const TEntJwwMoji e = text(0, 0, 10, 0, 2, 3, 0);
    // Six single-byte characters of width 2 (scaled: 4) print 6 x 2 = 12 wide, centred on the line's middle.
    auto p = detail::moji_placement_fit(e, u"f", u"2,469.", JwwTrans { 0, 0, 2, 0, 0, 2, 1 });
    EXPECT_NEAR(p.x1, 10 - 6, 1e-9);
    EXPECT_NEAR(p.x2, 10 + 6, 1e-9);
    EXPECT_NEAR(p.w, 4, 1e-12);
}

TEST(JwwTextPlacement, ImageInBlockIsScaledAndTurned)
{
    const TEntJwwMoji e = text(10, 0, 20, 0, 1, 1);
    // Rotation by 90 degrees at (100, 100), scale 2: the frame is 2W x 2H at T(10, 0), turned by 90 + dan.
    const double c = std::cos(pi / 2), s = std::sin(pi / 2);
    auto p = detail::image_placement_block(e, 30, 20, 0, JwwTrans { 100, 100, 2 * c, -2 * s, 2 * s, 2 * c, 1 });
    EXPECT_NEAR(p.x1, 100, 1e-9);
    EXPECT_NEAR(p.y1, 120, 1e-9);
    EXPECT_NEAR(p.x2 - p.x1, 60, 1e-9);
    EXPECT_NEAR(p.y2 - p.y1, 40, 1e-9);
    EXPECT_NEAR(p.dan, 90, 1e-9);
    p = detail::image_placement_block(e, 30, 20, 300, JwwTrans { 100, 100, 2 * c, -2 * s, 2 * s, 2 * c, 1 });
    EXPECT_NEAR(p.dan, 30, 1e-9);
}

// ---- Layer states into the attribute tables.

TEST(JwwSetGAttLayer, StatesScalesAndNamesReachTheTables)
{
    TgraAttribute att;
    gGraAtt = &att;
    TJwwData d;
    plain_tables(d);
    d.EntLgrp[1].anGLay = 1; // greyed group
    d.EntLay[16 + 2].aanLay = 2;
    d.EntLay[16 + 3].aanLay = 0;
    d.EntLgrp[2].adScale = 50;
    d.EntLgrp[2].aStrGLayName = u"plan";
    d.EntLay[2 * 16 + 4].aStrLayName = u"walls";
    d.EntLgrp[3].adScale = 0; // would divide by zero
    d.EntLgrp[4].anGLay = 0;
    d.SetGAttLayer();
    EXPECT_EQ(att.GetAttrLayerState(16 + 2), 2);
    EXPECT_EQ(att.GetAttrLayerState(16 + 3), 3);
    EXPECT_EQ(att.GetAttrLayerState(4 * 16 + 9), 3);
    EXPECT_EQ(att.GetAttrLayerState(0), 1);
    EXPECT_DOUBLE_EQ(att.GetAttrLayerScale(2 * 16 + 4), 0.02);
    EXPECT_DOUBLE_EQ(att.GetAttrLayerScale(3 * 16), 1.0);
    EXPECT_NE(att.GetAttrLayerGName(2 * 16 + 4).find(u"plan"), std::u16string::npos);
    EXPECT_NE(att.GetAttrLayerName(2 * 16 + 4).find(u"walls"), std::u16string::npos);
    gGraAtt = nullptr;
}

// ---- Drawing.

class JwwDrawTest : public Scene {
public:
    void SetUp() override
    {
        Scene::SetUp();
        plain_tables(doc);
    }
    // A fresh scene and an empty drawing with plain tables.
    void reset()
    {
        TearDown();
        SetUp();
        doc.DataInit();
        plain_tables(doc);
    }
    void draw()
    {
        doc.SetGAttLayer();
        doc.GLDrawALL();
    }
    TJwwData doc;
    Builder<TJwwData> b { doc };
};

TEST_F(JwwDrawTest, LineOfPenColourAtItsPlace)
{
    b.add(line(10, 20, 110, 20, attr(2)));
    draw();
    ASSERT_TRUE(has_line(dev(10, 20), dev(110, 20)));
    EXPECT_EQ(canvas->last(Op::Line)->stroke.Color, att->GetAttrColcol(2));
}

TEST_F(JwwDrawTest, OwnPenWidthWinsOverTheColourWidth)
{
    b.add(line(10, 20, 110, 20, attr(2, 1, 0, 0, 100))); // 1 mm = 5 px
    draw();
    ASSERT_NE(canvas->last(Op::Line), nullptr);
    EXPECT_NEAR(canvas->last(Op::Line)->stroke.Thickness, 5, 0.51);
}

TEST_F(JwwDrawTest, HiddenLayerDrawsNothingAndGreyedLayerDrawsGrey)
{
    doc.EntLay[1].aanLay = 0;
    doc.EntLay[2].aanLay = 1;
    b.add(line(10, 10, 50, 10, attr(2, 1, 1)));
    b.add(line(10, 30, 50, 30, attr(2, 1, 2)));
    draw();
    EXPECT_FALSE(has_line(dev(10, 10), dev(50, 10)));
    ASSERT_TRUE(has_line(dev(10, 30), dev(50, 30)));
    EXPECT_EQ(canvas->last(Op::Line)->stroke.Color, 0xFF808080u);
}

// What the auxiliary-display switch leaves out, kind by kind.
TEST_F(JwwDrawTest, AuxiliaryEntitiesFollowTheTable)
{
    struct Case {
        const char* what;
        int kind;
        int color, style;
        bool aux;
    };
    const Case cases[] = {
        { "line style 9", kJwwLine, 1, 9, true },
        { "line colour 9", kJwwLine, 9, 1, true },
        { "plain line", kJwwLine, 1, 1, false },
        { "arc style 9", kJwwEnko, 1, 9, true },
        { "arc colour 9", kJwwEnko, 9, 1, true },
        { "solid colour 9", kJwwSolid, 9, 1, true },
        { "solid style 9", kJwwSolid, 1, 9, false },
        { "point colour 9", kJwwTen, 9, 1, true },
        { "point style 9", kJwwTen, 1, 9, false },
        { "text colour 9", kJwwMoji, 9, 1, true },
        { "text style 9", kJwwMoji, 1, 9, false },
    };
    for (const auto& c : cases) {
        for (int hojo : { 1, 0 }) {
            reset();
            att->SetDispHojo(hojo);
            const TEntJwwAttr a = attr(c.color, c.style);
            switch (c.kind) {
            case kJwwLine: b.add(line(10, 10, 50, 10, a)); break;
            case kJwwEnko: b.add(circle(50, 50, 10, a)); break;
            case kJwwSolid: b.add(solid(10, 10, 50, 10, 50, 50, 10, 50, a)); break;
            case kJwwTen: b.add(point(50, 50, a)); break;
            case kJwwMoji: b.add(text(10, 10, 50, 10, 5, 5, 0, 1, a), u"AB"); break;
            }
            draw();
            const bool drawn = !canvas->drawn().empty();
            EXPECT_EQ(drawn, hojo == 1 || !c.aux) << c.what << ", auxiliary display " << hojo;
        }
    }
}

TEST_F(JwwDrawTest, DimensionTestsItsOwnLayerOnlyAndItsPartsEach)
{
    doc.EntLay[5].aanLay = 0; // layer 5 hidden
    TEntJwwSunpo hidden_dim = dimension(10, 60, 10, attr(1, 1, 5));
    b.add(hidden_dim, u"50");
    TEntJwwSunpo s = dimension(10, 60, 40);
    s.bSxfMode = 1;
    s.Ho1 = line(10, 30, 10, 40, attr(1, 1, 5)); // on the hidden layer, still drawn
    s.Ho2 = line(60, 30, 60, 40, attr(9)); // auxiliary
    s.Te1 = point(10, 40);
    s.Te2 = point(60, 40);
    b.add(s, u"50");
    draw();
    EXPECT_FALSE(has_line(dev(10, 10), dev(60, 10)));
    EXPECT_TRUE(has_line(dev(10, 40), dev(60, 40)));
    EXPECT_TRUE(has_line(dev(10, 30), dev(10, 40)));
    EXPECT_TRUE(has_line(dev(60, 30), dev(60, 40)));
    EXPECT_EQ(printed(), u"50");

    // With auxiliary display off the auxiliary extension line goes, the rest stays.
    canvas->clear_records();
    att->SetDispHojo(0);
    doc.GLDrawALL();
    EXPECT_TRUE(has_line(dev(10, 30), dev(10, 40)));
    EXPECT_FALSE(has_line(dev(60, 30), dev(60, 40)));
    EXPECT_TRUE(has_line(dev(10, 40), dev(60, 40)));
}

TEST_F(JwwDrawTest, DimensionWithoutExtensionPartsDrawsLineAndTextOnly)
{
    TEntJwwSunpo s = dimension(10, 60, 40);
    s.bSxfMode = 0; // as read from a version-419 file: the parts carry no geometry of their own
    s.Ho1 = line(10, 30, 10, 40);
    b.add(s, u"50");
    draw();
    EXPECT_TRUE(has_line(dev(10, 40), dev(60, 40)));
    EXPECT_FALSE(has_line(dev(10, 30), dev(10, 40)));
    EXPECT_EQ(printed(), u"50");
}

TEST_F(JwwDrawTest, ColouredSolidUsesItsOwnColourUnlessGreyed)
{
    doc.EntLay[3].aanLay = 1;
    b.add(solid_colored(10, 10, 50, 10, 50, 50, 10, 50, 0x0000FF)); // red as 0x00BBGGRR
    b.add(solid_colored(60, 10, 90, 10, 90, 50, 60, 50, 0x0000FF, attr(10, 1, 3)));
    draw();
    auto fills = canvas->of(Op::FillPolygon);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0]->fill_color, 0xFFFF0000u);
    EXPECT_EQ(fills[1]->fill_color, 0xFF808080u);
}

TEST_F(JwwDrawTest, TextsSetTheirGroupScaleAndZeroCountsAsOne)
{
    doc.EntLgrp[3].adScale = 100;
    b.add(text(10, 10, 50, 10, 5, 5, 0, 1, attr(1, 1, 0, 3)), u"A");
    draw();
    EXPECT_DOUBLE_EQ(gLayerScale, 100);
    doc.EntLgrp[3].adScale = 0;
    doc.GLDrawALL();
    EXPECT_DOUBLE_EQ(gLayerScale, 1);
}

TEST_F(JwwDrawTest, ImageReferenceIsNotPrintedAsText)
{
    b.add(text(10, 10, 50, 10, 5, 5), u"^@BMmissing.png,40,30");
    b.add(text(10, 30, 50, 30, 5, 5), u"^@BMx");
    draw();
    EXPECT_EQ(printed(), u"^@BMx");
}

// Without display mode an image reference is drawn as its frame in the text's pen.
TEST_F(JwwDrawTest, ImageFrameWithoutDisplayMode)
{
    att->SetDisplayMode(false);
    b.add(text(10, 10, 50, 10, 5, 5, 0, 1, attr(2)), u"^@BMmissing.png,40,30");
    draw();
    auto near = [](platform::PointF p, platform::PointF q) {
        return std::fabs(p.X - q.X) < 0.6 && std::fabs(p.Y - q.Y) < 0.6;
    };
    bool lower_left = false, upper_right = false;
    for (const Record* r : canvas->drawn())
        for (const auto& p : r->pts) {
            lower_left = lower_left || near(p, dev(10, 10));
            upper_right = upper_right || near(p, dev(50, 40));
        }
    EXPECT_TRUE(lower_left);
    EXPECT_TRUE(upper_right);
    EXPECT_EQ(printed(), u"");
}

TEST_F(JwwDrawTest, ScaledBlockPlacesItsLine)
{
    TEntJwwBlockDef& d = b.def(7);
    def_add(d, line(0, 0, 10, 0));
    b.add(insert(7, 100, 50, 2, 2));
    b.done();
    draw();
    EXPECT_TRUE(has_line(dev(100, 50), dev(120, 50)));
}

TEST_F(JwwDrawTest, NestedRotatedMirroredBlocksComposeTheirTransforms)
{
    TEntJwwBlockDef& inner = b.def(2);
    def_add(inner, line(0, 0, 10, 0));
    TEntJwwBlockDef& outer = b.def(1);
    def_add(outer, insert(2, 5, 0, -1, 1)); // mirrored in x at (5, 0)
    b.add(insert(1, 100, 100, 2, 2, pi / 2));
    b.add(insert(9, 10, 10)); // no definition: nothing
    b.done();
    draw();
    // Outer: rotate 90, scale 2 at (100, 100): (5, 0) -> (100, 110); inner x axis mirrored then turned: -y.
    EXPECT_TRUE(has_line(dev(100, 110), dev(100, 90)));
    EXPECT_EQ(canvas->of(Op::Line).size(), 1u);
}

// The marker of a point inside a block turns with the block: same records as the marker drawn directly.
TEST_F(JwwDrawTest, MarkerTurnsWithItsBlock)
{
    struct Case {
        const char* what;
        double sx, rot;
        double extra;
    };
    const Case cases[] = { { "rotated 90", 1, pi / 2, pi / 2 }, { "mirrored", -1, 0, 0 } };
    for (const auto& c : cases) {
        const TEntJwwTen m = marker(5, 0, 3, 0.3, 2);
        const double ct = std::cos(c.rot), st = std::sin(c.rot);
        doc.GLDrawTen2(true, 0, m, false, 1, 100, 100, c.sx * ct, -st, c.sx * st, ct);
        auto via_block = canvas->records();
        canvas->clear_records();
        TEntJwwTen direct = m;
        direct.start_x = 100 + c.sx * ct * 5;
        direct.start_y = 100 + c.sx * st * 5;
        direct.radKaitenKaku = std::fmod(0.3 + c.extra, 2 * pi);
        doc.GLDrawTen(true, 0, direct);
        ASSERT_EQ(via_block.size(), canvas->records().size()) << c.what;
        ASSERT_FALSE(via_block.empty());
        for (size_t i = 0; i < via_block.size(); ++i) {
            ASSERT_EQ(via_block[i].pts.size(), canvas->records()[i].pts.size()) << c.what;
            for (size_t k = 0; k < via_block[i].pts.size(); ++k) {
                EXPECT_NEAR(via_block[i].pts[k].X, canvas->records()[i].pts[k].X, 1e-3) << c.what;
                EXPECT_NEAR(via_block[i].pts[k].Y, canvas->records()[i].pts[k].Y, 1e-3) << c.what;
            }
        }
        canvas->clear_records();
    }
}

TEST_F(JwwDrawTest, DimensionValueInScaledBlockIsRegenerated)
{
    struct Case {
        uint16_t format;
        const char16_t* printed;
    };
    const Case cases[] = {
        { 0x2000 + 0x40 + 0x2, u"2,469." }, { 0x2000 + 0x40 + 0x80 + 0x2, u"2,469.00" },
        { 0x2000 + 0x40, u"stored" }, // bit 0x2 clear: the stored text stays
    };
    for (const auto& c : cases) {
        reset();
        // The doubled dimension line runs to x = 2469.
        gDispX1 = -100;
        gDispX2 = 2900;
        gDispY1 = -1500;
        gDispY2 = 1500;
        gDispScale = 1000.0 / 3000;
        TEntJwwSunpo s = dimension(0, 1234.5, 0);
        s.Moji.dSizeX = s.Moji.dSizeY = 60; // large enough to be printed at this view
        s.Moji.att.nPenWidth = c.format;
        TEntJwwBlockDef& d = b.def(4);
        s.Moji.strFontName = doc.add_text(u"ＭＳ ゴシック");
        s.Moji.str = doc.add_text(u"stored");
        def_add(d, s);
        b.add(insert(4, 0, 0, 2, 2));
        b.done();
        draw();
        EXPECT_EQ(printed(), c.printed);
    }
}

TEST_F(JwwDrawTest, DimensionValueInUnmovedBlockStaysAsStored)
{
    TEntJwwSunpo s = dimension(0, 1234.5, 0);
    s.Moji.att.nPenWidth = 0x2000 + 0x40 + 0x2;
    s.Moji.strFontName = doc.add_text(u"ＭＳ ゴシック");
    s.Moji.str = doc.add_text(u"1234.5");
    TEntJwwBlockDef& d = b.def(4);
    def_add(d, s);
    b.add(insert(4, 30, 30));
    b.done();
    draw();
    EXPECT_EQ(printed(), u"1234.5");
}

// Definitions holding two inserts of the next, twenty deep: a million instances of one line each when
// unbounded. The drawing stops at the instance budget, each instance drawing its one line at most.
TEST_F(JwwDrawTest, FannedOutBlocksDrawUpToTheBudget)
{
    const std::string file = std::string(TORVANE_SOURCE_DIR) + "/tests/fuzz/corpus/jww/block_fanout.jww";
    doc.FileIn(platform::utf8_to_utf16(file));
    ASSERT_EQ(size_t(doc.EntBlockTreeN), detail::kJwwMaxBlockInstances);
    // The whole figure lies within a few millimetres of the origin: show (-10, -10)-(10, 10).
    gDispX1 = gDispY1 = -10;
    gDispX2 = gDispY2 = 10;
    gDispScale = 50;
    draw();
    const size_t lines = canvas->of(Op::Line).size();
    EXPECT_GT(lines, 0u);
    EXPECT_LE(lines, detail::kJwwMaxBlockInstances);
}

// Nesting that stays within the budget draws every instance, exactly as the unbounded tree does.
TEST_F(JwwDrawTest, WellFormedNestingDrawsAsWithoutABudget)
{
    TEntJwwBlockDef& leaf = b.def(3);
    def_add(leaf, line(0, 0, 4, 0));
    def_add(leaf, point(1, 1));
    TEntJwwBlockDef& mid = b.def(2);
    def_add(mid, line(0, 0, 0, 6));
    for (int i = 0; i < 3; ++i)
        def_add(mid, insert(3, i * 5, 0, 1, 1, i * 0.3));
    TEntJwwBlockDef& top = b.def(1);
    for (int i = 0; i < 4; ++i)
        def_add(top, insert(2, 0, i * 10, 0.5 + i, 1));
    b.add(insert(1, 20, 20, 2, 2, 0.2));
    b.add(insert(1, 120, 40, -1, 1));
    b.done();
    ASSERT_EQ(doc.EntBlockTreeN, 2 + 2 * 4 + 2 * 4 * 3);
    draw();
    const auto budgeted = canvas->records();

    detail::build_block_tree(doc.EntBlock, doc.EntBlockDef, doc.EntBlockTree, doc.EntBlockNum, { SIZE_MAX, SIZE_MAX });
    ASSERT_EQ(doc.EntBlockTree.size(), size_t(doc.EntBlockTreeN));
    canvas->clear_records();
    draw();
    ASSERT_EQ(canvas->records().size(), budgeted.size());
    for (size_t i = 0; i < budgeted.size(); ++i) {
        EXPECT_EQ(canvas->records()[i].op, budgeted[i].op) << i;
        ASSERT_EQ(canvas->records()[i].pts.size(), budgeted[i].pts.size()) << i;
        for (size_t k = 0; k < budgeted[i].pts.size(); ++k) {
            EXPECT_EQ(canvas->records()[i].pts[k].X, budgeted[i].pts[k].X) << i;
            EXPECT_EQ(canvas->records()[i].pts[k].Y, budgeted[i].pts[k].Y) << i;
        }
    }
    EXPECT_EQ(canvas->of(Op::Line).size(), size_t(2 * 4 + 2 * 4 * 3 * 2)) << "every instance's line and point";
}

TEST_F(JwwDrawTest, EmptyDocumentDrawsNothing)
{
    TJwwData empty;
    empty.GLDrawALL();
    EXPECT_TRUE(canvas->drawn().empty());
}

TEST_F(JwwDrawTest, CountsBeyondTheListsAreNotFollowed)
{
    b.add(line(10, 10, 50, 10));
    doc.EntLineN = 1000; // a count the list does not hold
    doc.EntBlockTreeN = 50;
    draw();
    EXPECT_EQ(canvas->of(Op::Line).size(), 1u);
}

} // namespace
