// Tests of the M7 drawing: attribute words, colours, widths, dash patterns and every object kind on a recording canvas.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <numbers>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "formats/m7/M7Unit.h"
#include "globals/UnitVal.h"
#include "graphics/GraUnit.h"
#include "platform/Bitmap.h"
#include "platform/DisplayList.h"
#include "platform/ImageSave.h"
#include "tests/support/m7_writer.h"

namespace {

namespace fs = std::filesystem;
using Op = platform::DisplayList::Op;
using Record = platform::DisplayList::Record;
using std::numbers::pi;

// A private folder under the system's temporary directory, removed with its content.
class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("m7draw-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    size_t files() const { return static_cast<size_t>(std::distance(fs::directory_iterator(path_), {})); }

private:
    fs::path path_;
};

class M7DrawTest : public ::testing::Test {
public:
    void SetUp() override
    {
        gDispX1 = 0;
        gDispY1 = 0;
        gDispX2 = 100;
        gDispY2 = 100;
        gDispScale = 10;
        gDispHeight = 1000;
        gDispWidth = 1000;
        gLayerScale = 1;
        canvas = std::make_unique<platform::DisplayList>(1000, 1000);
        graph = std::make_unique<TGraph>(canvas.get());
        gGraph = graph.get();
        gRunTempFolder = tmp.path().u16string() + u"/";
        doc = std::make_unique<TM7Data>();
        doc->DispMode = false;
        doc->HojoMode = true;
    }
    void TearDown() override
    {
        gGraph = nullptr;
        gRunTempFolder.clear();
    }

    static platform::PointF dev(double x, double y)
    {
        return { float((x - gDispX1) * gDispScale), float(gDispHeight - (y - gDispY1) * gDispScale) };
    }

    static TM7ObjectHeader head(int ly, int lg, int col, int typ, uint32_t colour = 0)
    {
        TM7ObjectHeader h;
        h.attr = m7w::attr(ly, lg, col, typ);
        h.color = colour;
        return h;
    }
    void reg(int ino, int eno) { doc->Ent.push_back({ ino, eno, 0, 0, 0 }), doc->EntN = int(doc->Ent.size()); }
    void add_line(const TM7ObjectHeader& h, TDPoint a, TDPoint b)
    {
        doc->ln.push_back({ h, { a, b } });
        reg(200220, doc->lnN++);
    }
    void add_polygon(const TM7ObjectHeader& h, int32_t ptn, std::vector<TDPoint> pts)
    {
        TM7ObjectPolygon p;
        p.hd = h;
        p.ptn = ptn;
        p.cnt = int16_t(pts.size());
        p.pt = std::move(pts);
        doc->pg.push_back(p);
        reg(200940, doc->pgN++);
    }
    void point_style(double diameter, int32_t pen)
    {
        std::memcpy(doc->symstl.form[1].data(), &diameter, 8);
        std::memcpy(doc->symstl.form[1].data() + 16, &pen, 4);
    }
    // PNG bytes of a w x h image of one colour.
    static std::vector<uint8_t> png(int w, int h, uint32_t argb, const fs::path& dir)
    {
        platform::Bitmap b;
        EXPECT_TRUE(b.resize(w, h));
        b.fill(argb);
        std::string err;
        const fs::path f = dir / "src.png";
        EXPECT_TRUE(platform::save_bitmap(b, f, err)) << err;
        std::ifstream in(f, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        fs::remove(f);
        return bytes;
    }

    std::vector<const Record*> strokes() const { return canvas->of(Op::Line); }

    TempDir tmp;
    std::unique_ptr<platform::DisplayList> canvas;
    std::unique_ptr<TGraph> graph;
    std::unique_ptr<TM7Data> doc;
};

#define EXPECT_PT_NEAR(p, ex, ey)                                                                                      \
    do {                                                                                                               \
        EXPECT_NEAR((p).X, (ex), 1e-3);                                                                                \
        EXPECT_NEAR((p).Y, (ey), 1e-3);                                                                                \
    } while (0)

// ---- Attributes into pens.

TEST_F(M7DrawTest, SepAttrSplitsTheFourNibbles)
{
    const struct {
        uint16_t a;
        int lg, ly, col, typ;
    } cases[] = { { 0x0000, 0, 0, 0, 0 }, { 0x1234, 2, 1, 3, 4 }, { 0xFFFF, 15, 15, 15, 15 },
        { 0xA05F, 0, 10, 5, 15 } };
    for (const auto& c : cases) {
        uint8_t lg, ly, col, typ;
        TM7Data::SepAttr(c.a, lg, ly, col, typ);
        EXPECT_EQ(lg, c.lg) << c.a;
        EXPECT_EQ(ly, c.ly) << c.a;
        EXPECT_EQ(col, c.col) << c.a;
        EXPECT_EQ(typ, c.typ) << c.a;
    }
}

TEST_F(M7DrawTest, SetColorFirstRuleThatApplies)
{
    doc->li.grp[3].state = 1;
    doc->li.grp[4].tab[2].state = 1;
    const struct {
        bool disp;
        int lg, ly, co, ty;
        uint32_t col;
        uint32_t want;
    } cases[] = {
        { false, 3, 0, 6, 15, 0x123456, 0xFFD8D8D8 }, // grey group beats everything
        { true, 4, 2, 6, 0, 0x123456, 0xFFD8D8D8 }, // grey layer
        { true, 4, 3, 6, 15, 0x123456, 0xFF888888 }, // auxiliary
        { true, 0, 0, 6, 0, 0x0000FF, 0xFFFF0000 }, // own colour, red in the low byte
        { false, 0, 0, 6, 0, 0x0000FF, 0xFF0000FF }, // pen 6 whatever the own colour
        { false, 0, 0, 0, 0, 0, 0xFF000000 },
        { false, 0, 0, 1, 0, 0, 0xFF009595 },
        { false, 0, 0, 10, 0, 0, 0xFFFFC0CB },
        { false, 0, 0, 11, 0, 0, 0xFFB8860B },
        { false, 0, 0, 12, 0, 0, 0xFF000000 },
        { false, 0, 0, 255, 0, 0, 0xFF000000 },
    };
    for (const auto& c : cases) {
        doc->DispMode = c.disp;
        doc->SetColor(uint8_t(c.lg), uint8_t(c.ly), uint8_t(c.co), uint8_t(c.ty), c.col);
        EXPECT_EQ(canvas->stroke().Color, c.want) << c.lg << "/" << c.ly << " pen " << c.co;
        EXPECT_EQ(canvas->fill_color(), c.want);
        EXPECT_EQ(graph->br0.Color, c.want);
    }
}

TEST_F(M7DrawTest, SetWidthInPixelsOnlyInColourMode)
{
    doc->prnstl.width[2] = 50; // 0.5 mm
    doc->prnstl.width[3] = 25; // 2.5 px at scale 10: halves to even
    doc->prnstl.width[4] = 35; // 3.5 px
    doc->prnstl.width[5] = 9000; // 900 px
    doc->prnstl.width[6] = 5;
    const struct {
        bool disp;
        int co, ty;
        float want;
    } cases[] = { { false, 2, 0, 1 }, { true, 2, 0, 5 }, { true, 2, 15, 1 }, { true, 3, 0, 2 }, { true, 4, 0, 4 },
        { true, 5, 0, 400 }, { true, 6, 0, 1 }, { true, 200, 0, 1 } };
    for (const auto& c : cases) {
        doc->DispMode = c.disp;
        doc->SetWidth(uint8_t(c.co), uint8_t(c.ty));
        EXPECT_EQ(canvas->stroke().Thickness, c.want) << c.co << " " << c.disp;
    }
}

TEST_F(M7DrawTest, SetLinePatternFromKindAndPenWidth)
{
    doc->prnstl.ltype[1].kind = 1;
    doc->prnstl.ltype[2].kind = 2;
    doc->prnstl.ltype[3].kind = 3;
    doc->prnstl.ltype[4].kind = 4;
    doc->prnstl.ltype[5].kind = 5;
    doc->prnstl.ltype[7] = { 7, 3, { 100, 50, 20 } };
    doc->prnstl.ltype[8] = { 7, 14, { 100, 100, 100, 100, 100, 100, 100, 100, 100, 100 } }; // count past the record
    doc->prnstl.width[0] = 1;
    doc->prnstl.width[1] = 500; // 5 mm: half of it exceeds the shortest entry of kind 1
    const struct {
        int co, ty;
        double scale;
        std::vector<double> want;
    } cases[] = {
        { 0, 1, 10, { 2, -2 } }, { 1, 1, 10, { 7, -7 } }, { 0, 2, 10, { 0.25, -0.5 } }, { 0, 3, 10, { 12, -1, 1, -1 } },
        { 0, 4, 10, { 12, -1, 1, -1, 1, -1 } }, { 0, 5, 10, {} }, { 0, 0, 10, {} }, { 0, 7, 10, { 1, -0.5, 0.2 } },
        { 0, 8, 10, { 1, -1, 1, -1, 1, -1, 1, -1, 1, -1 } },
        { 1, 15, 10, { 0.25, -2 } }, // auxiliary: one pixel is 0.1, half of it under 0.25
        { 1, 15, 1, { 1.25, -3 } }, // one pixel is 1 unit
    };
    for (const auto& c : cases) {
        gDispScale = c.scale;
        graph->LastSeg = 1;
        graph->LastLen = 0.5;
        doc->SetLinePattern(uint8_t(c.co), uint8_t(c.ty));
        ASSERT_EQ(graph->LtypPatN, int(c.want.size())) << "type " << c.ty << " pen " << c.co;
        for (size_t i = 0; i < c.want.size(); ++i)
            EXPECT_NEAR(graph->LtypPat[i], c.want[i], 1e-12) << "type " << c.ty << " entry " << i;
        EXPECT_EQ(graph->LastSeg, 0);
        EXPECT_EQ(graph->LastLen, 0);
    }
}

// ---- Drawing by layer state, mode and scale.

TEST_F(M7DrawTest, StrokesTakeThePenColourAndOnePixelWithoutColourMode)
{
    doc->prnstl.width[6] = 100;
    add_line(head(0, 0, 6, 0, 0x00FF00), { 10, 10 }, { 50, 10 });
    doc->GLDrawALL();
    const auto lines = strokes();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->stroke.Color, 0xFF0000FFu);
    EXPECT_EQ(lines[0]->stroke.Thickness, 1);
    EXPECT_PT_NEAR(lines[0]->pts[0], dev(10, 10).X, dev(10, 10).Y);
    EXPECT_PT_NEAR(lines[0]->pts[1], dev(50, 10).X, dev(50, 10).Y);
}

TEST_F(M7DrawTest, ObjectsOfHiddenGroupsAndLayersAreNotDrawn)
{
    doc->li.grp[2].state = 0; // hidden group, its layers still in state 2
    doc->li.grp[1].tab[4].state = 0;
    doc->li.grp[5].tab[1].state = 1; // grey layer
    add_line(head(0, 2, 1, 0), { 10, 10 }, { 50, 10 });
    add_line(head(4, 1, 1, 0), { 10, 20 }, { 50, 20 });
    add_line(head(1, 5, 1, 0), { 10, 30 }, { 50, 30 });
    doc->GLDrawALL();
    const auto lines = strokes();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->stroke.Color, 0xFFD8D8D8u);
    EXPECT_PT_NEAR(lines[0]->pts[0], dev(10, 30).X, dev(10, 30).Y);
}

TEST_F(M7DrawTest, AuxiliaryLinesAreGreyDottedAndFollowHojoMode)
{
    add_line(head(0, 0, 3, 15), { 10, 10 }, { 50, 10 });
    doc->HojoMode = false;
    doc->GLDrawALL();
    EXPECT_EQ(canvas->count(Op::Line), 0u);
    doc->HojoMode = true;
    doc->GLDrawALL();
    const auto lines = strokes();
    ASSERT_GT(lines.size(), 10u); // dots 2.25 units apart
    for (const Record* r : lines)
        EXPECT_EQ(r->stroke.Color, 0xFF888888u);
    EXPECT_NEAR(lines[2]->pts[0].X - lines[1]->pts[0].X, 22.5, 1e-3);
}

TEST_F(M7DrawTest, GroupScaleMultipliesCoordinatesAndSetsTheLayerScale)
{
    gDispX2 = 1000;
    gDispY2 = 1000;
    gDispScale = 1;
    doc->li.grp[3].scale = 100;
    add_line(head(0, 3, 1, 0), { 1, 1 }, { 2, 1 });
    doc->GLDrawALL();
    const auto lines = strokes();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_PT_NEAR(lines[0]->pts[0], dev(100, 100).X, dev(100, 100).Y);
    EXPECT_PT_NEAR(lines[0]->pts[1], dev(200, 100).X, dev(200, 100).Y);
    EXPECT_DOUBLE_EQ(gLayerScale, 0.01);
}

TEST_F(M7DrawTest, RegistryEntriesPastTheirListsAreSkipped)
{
    add_line(head(0, 0, 1, 0), { 10, 10 }, { 50, 10 });
    reg(200220, 7);
    reg(200720, 0);
    reg(201890, -1);
    reg(999999, 0);
    doc->EntN = 50; // more than the registry holds
    doc->GLDrawALL();
    EXPECT_EQ(canvas->count(Op::Line), 1u);
}

// ---- Circles and ellipses.

TEST_F(M7DrawTest, CircleOfEqualAnglesIsFullAndHasNoEnds)
{
    TM7ObjectCircleEx c;
    c.cr = { head(0, 0, 1, 0), { 50, 50 }, 10, { 1, 1 } };
    c.e.half[0].sty = 18;
    c.e.half[0].pa1 = 2;
    doc->crx.push_back(c);
    reg(200330, doc->crxN++);
    doc->GLDrawALL();
    ASSERT_EQ(canvas->count(Op::Path), 1u);
    const auto& pts = canvas->last(Op::Path)->pts;
    ASSERT_EQ(pts.size(), 73u);
    EXPECT_PT_NEAR(pts.front(), pts.back().X, pts.back().Y);
    EXPECT_EQ(canvas->count(Op::Line), 0u);
}

TEST_F(M7DrawTest, ArcWithEndsDrawsItsSymbolsScaled)
{
    doc->li.grp[0].scale = 2;
    TM7ObjectCircleEx c;
    c.cr = { head(0, 0, 1, 0), { 20, 20 }, 5, { 3 * pi / 2, pi / 2 } }; // wraps: sweep pi
    c.e.half[1].sx = 20;
    c.e.half[1].sy = 25;
    c.e.half[1].sty = 18;
    c.e.half[1].pa1 = 2; // not scaled
    doc->crx.push_back(c);
    reg(200330, doc->crxN++);
    doc->GLDrawALL();
    const Record* arc = canvas->of(Op::Path).at(0);
    EXPECT_PT_NEAR(arc->pts.front(), dev(40, 30).X, dev(40, 30).Y);
    EXPECT_PT_NEAR(arc->pts.back(), dev(40, 50).X, dev(40, 50).Y);
    // The square of side 2 around (40, 50).
    const auto lines = strokes();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_PT_NEAR(lines[0]->pts[0], dev(39, 49).X, dev(39, 49).Y);
}

TEST_F(M7DrawTest, DegenerateEllipsesCollapseOntoTheirAxis)
{
    const struct {
        double r1, r2;
        bool vertical; // the points lie on x = 50, else on y = 50
        double reach;
    } cases[] = { { 10, 0, false, 10 }, { 0, 5, true, 5 }, { 1e-12, 3, true, 3 } };
    for (const auto& c : cases) {
        canvas->clear_records();
        doc = std::make_unique<TM7Data>();
        TM7ObjectEllipse e { head(0, 0, 1, 0), { 50, 50 }, { c.r1, c.r2 }, { 0, 0 }, 0 };
        doc->ep.push_back(e);
        reg(200520, doc->epN++);
        doc->GLDrawALL();
        const Record* path = canvas->last(Op::Path);
        ASSERT_NE(path, nullptr) << c.r1 << " " << c.r2;
        double far = 0;
        for (const auto& p : path->pts) {
            const double x = p.X / gDispScale, y = (gDispHeight - p.Y) / gDispScale;
            EXPECT_NEAR(c.vertical ? x : y, 50, 1e-3);
            far = std::max(far, std::fabs((c.vertical ? y : x) - 50));
        }
        EXPECT_NEAR(far, c.reach, 1e-3);
    }
    // No axes at all: a dot at most.
    canvas->clear_records();
    doc = std::make_unique<TM7Data>();
    doc->ep.push_back({ head(0, 0, 1, 0), { 50, 50 }, { 0, 0 }, { 0, 0 }, 0 });
    reg(200520, doc->epN++);
    doc->GLDrawALL();
    EXPECT_EQ(canvas->count(Op::Path), 0u);
    EXPECT_LE(canvas->count(Op::Line), 1u);
}

TEST_F(M7DrawTest, EllipseArcSweepsFromStartToEnd)
{
    doc->ep.push_back({ head(0, 0, 1, 0), { 50, 50 }, { 10, 5 }, { 0, pi / 2 }, pi / 2 });
    reg(200520, doc->epN++);
    doc->GLDrawALL();
    const Record* path = canvas->last(Op::Path);
    ASSERT_NE(path, nullptr);
    EXPECT_PT_NEAR(path->pts.front(), dev(50, 60).X, dev(50, 60).Y);
    EXPECT_PT_NEAR(path->pts.back(), dev(45, 50).X, dev(45, 50).Y);
}

// ---- Points, symbols, chains.

TEST_F(M7DrawTest, PointUsesTheStylePenAndDiameter)
{
    point_style(4, 3);
    doc->pt.push_back({ head(0, 0, 6, 0), { 50, 50 } });
    reg(200120, doc->ptN++);
    doc->GLDrawALL();
    const Record* fill = canvas->last(Op::FillPolygon);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->fill_color, 0xFF00AA37u);
    EXPECT_NEAR(fill->pts[0].X, dev(52, 50).X, 1e-3);
    ASSERT_EQ(canvas->count(Op::Path), 1u);

    for (const int32_t pen : { 0, 300, -2 }) {
        canvas->clear_records();
        point_style(4, pen);
        doc->GLDrawALL();
        EXPECT_EQ(canvas->last(Op::FillPolygon)->fill_color, pen == 0 ? 0xFF0000FFu : 0xFF000000u) << pen;
    }
}

TEST_F(M7DrawTest, PolylineAndBezierDrawTheirPoints)
{
    TM7ObjectBezier pl { head(0, 0, 1, 0), 0, 3, { { 10, 10 }, { 20, 10 }, { 20, 20 } } };
    doc->pl.push_back(pl);
    reg(200820, doc->plN++);
    TM7ObjectBezier bz { head(0, 0, 1, 0), 0, 4, { { 30, 30 }, { 30, 40 }, { 40, 40 }, { 40, 30 } } };
    doc->bz.push_back(bz);
    reg(201720, doc->bzN++);
    TM7ObjectBezier lying { head(0, 0, 1, 0), 0, 40, { { 60, 60 }, { 70, 60 } } }; // count past the points
    doc->pl.push_back(lying);
    reg(200820, doc->plN++);
    doc->GLDrawALL();
    EXPECT_EQ(canvas->count(Op::Line), 2u + 10u + 1u);
}

TEST_F(M7DrawTest, SymbolObjectIsDrawnAlone)
{
    TM7ObjectSymbol s;
    s.hd = head(0, 0, 1, 0);
    s.pos = { 10, 10 };
    s.len = 30; // no extension for a symbol object
    s.extype = 2;
    s.style = 18;
    s.param = { 2, 0 };
    doc->sy.push_back(s);
    reg(202020, doc->syN++);
    doc->GLDrawALL();
    const auto lines = strokes();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_PT_NEAR(lines[0]->pts[0], dev(9, 9).X, dev(9, 9).Y);
}

// ---- Texts.

TEST_F(M7DrawTest, NarrowTextStyleWidthBecomesItsHeight)
{
    const struct {
        double hight, width;
        double ratio; // the glyph's horizontal stretch: width / height
    } cases[] = { { 3, 0.2, 1 }, { 3, 0.3, 1 }, { 3, 1.5, 0.5 }, { -3, -1.5, 0.5 } };
    for (const auto& c : cases) {
        canvas->clear_records();
        doc = std::make_unique<TM7Data>();
        doc->txtstl[2].font = u"MS Gothic";
        doc->txtstl[2].hight = c.hight;
        doc->txtstl[2].width = c.width;
        doc->tx.push_back({ head(0, 0, 1, 0), { 10, 50 }, 0, 2, 0, 0, u"A" });
        reg(200720, doc->txN++);
        doc->GLDrawALL();
        const Record* m = canvas->last(Op::MultiplyTransform);
        ASSERT_NE(m, nullptr) << c.width;
        EXPECT_NEAR(m->given.xx, c.ratio, 1e-9) << c.width;
        ASSERT_EQ(canvas->count(Op::Text), 1u);
        EXPECT_EQ(canvas->last(Op::Text)->text, u"A");
        EXPECT_NEAR(canvas->last(Op::Text)->font.SizePx, 30, 1e-3);
    }
}

TEST_F(M7DrawTest, TextColourFromStylePenAndOwnStyleBlock)
{
    doc->txtstl[0] = { u"s", u"MS Gothic", 3, 3, 0, {}, 4, 0, 0, 0, {}, 0 };
    doc->tx.push_back({ head(0, 0, 6, 0), { 10, 50 }, 0, 0, 0, 0, u"A" });
    reg(200720, doc->txN++);
    TM7ObjectTextEx own;
    own.hd = head(0, 0, 6, 0);
    own.pos = { 10, 30 };
    own.text = u"B";
    own.ex = { u"x", u"MS Gothic", 3, 3, 0, {}, 0, 0, 0, 0, {}, 0 };
    doc->txx.push_back(own);
    reg(200730, doc->txxN++);
    doc->GLDrawALL();
    const auto texts = canvas->of(Op::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->fill_color, 0xFFC0C000u); // the style's pen 4
    EXPECT_EQ(texts[1]->fill_color, 0xFF0000FFu); // no style pen: the object's pen 6
}

TEST_F(M7DrawTest, TextWithStyleNumberPastTheTableIsSkipped)
{
    doc->tx.push_back({ head(0, 0, 1, 0), { 10, 50 }, 0, 21, 0, 0, u"A" });
    reg(200720, doc->txN++);
    doc->tx.push_back({ head(0, 0, 1, 0), { 10, 50 }, 0, 255, 0, 0, u"A" });
    reg(200720, doc->txN++);
    doc->GLDrawALL();
    EXPECT_TRUE(canvas->drawn().empty());
}

TEST_F(M7DrawTest, VerticalTextGetsTheAtPrefix)
{
    doc->txtstl[0] = { u"s", u"MS Gothic", 3, 3, 0, {}, 0, 0, 0, 0, {}, 0 };
    doc->tx.push_back({ head(0, 0, 1, 0), { 10, 50 }, 0, 0, 0, 1, u"字" });
    reg(200720, doc->txN++);
    doc->GLDrawALL();
    // A full-width character of a vertical run is turned a quarter.
    const Record* m = canvas->last(Op::MultiplyTransform);
    ASSERT_NE(m, nullptr);
    EXPECT_NEAR(std::fabs(m->given.xy), 1, 1e-9);
}

// ---- Fills and pictures.

TEST_F(M7DrawTest, HatchedPolygonTakesItsOwnColourAndEndsSolid)
{
    add_polygon(head(0, 0, 6, 0, 0x00FF00), 3, { { 10, 10 }, { 30, 10 }, { 30, 30 } });
    doc->GLDrawALL();
    const Record* fill = canvas->last(Op::FillPolygon);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->fill_kind, platform::DisplayList::FillKind::Bitmap);
    ASSERT_EQ(fill->image_width, 4);
    EXPECT_EQ(fill->image[0], 0xFF00FF00u);
    EXPECT_FALSE(doc->DispMode); // restored
    EXPECT_EQ(canvas->drawn().size(), 1u); // no outline
    EXPECT_EQ(canvas->stroke().Color, 0xFF00FF00u);
    EXPECT_EQ(canvas->stroke().Thickness, 1);
    EXPECT_EQ(canvas->records().back().op, Op::SetFillColor); // solid again
}

TEST_F(M7DrawTest, PlainPolygonFillsSolidInItsOwnColour)
{
    add_polygon(head(0, 0, 6, 0, 0x0000FF), 0, { { 10, 10 }, { 30, 10 }, { 30, 30 } });
    doc->li.grp[1].state = 1;
    add_polygon(head(0, 1, 6, 0, 0x0000FF), 2, { { 10, 10 }, { 30, 10 }, { 30, 30 } });
    doc->GLDrawALL();
    const auto fills = canvas->of(Op::FillPolygon);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0]->fill_kind, platform::DisplayList::FillKind::Color);
    EXPECT_EQ(fills[0]->fill_color, 0xFFFF0000u);
    EXPECT_EQ(fills[1]->image.at(0), 0xFFD8D8D8u); // the hatch of a grey group is grey
}

TEST_F(M7DrawTest, GradientPolygonIsRelativeToItsUnscaledBox)
{
    doc->li.grp[0].scale = 2;
    TM7ObjectPolygonGrad p;
    p.hd = head(0, 0, 1, 0);
    p.cnt = 4;
    p.pt = { { 10, 10 }, { 30, 10 }, { 30, 20 }, { 10, 20 } };
    p.e = { 0, 0, { 0x0000FF, 0xFF0000 }, { TDPoint { 15, 10 }, TDPoint { 30, 20 } }, 0 };
    doc->pgg.push_back(p);
    reg(200950, doc->pggN++);
    doc->GLDrawALL();
    const Record* fill = canvas->last(Op::FillPolygon);
    ASSERT_NE(fill, nullptr);
    ASSERT_EQ(fill->fill_kind, platform::DisplayList::FillKind::Gradient);
    EXPECT_PT_NEAR(fill->gradient.Start, 0.25, 1.0);
    EXPECT_PT_NEAR(fill->gradient.End, 1.0, 0.0);
    EXPECT_PT_NEAR(fill->pts[2], dev(60, 40).X, dev(60, 40).Y);
}

TEST_F(M7DrawTest, PictureFilledPolygonUsesItsPixelsAndPalette)
{
    TM7ObjectPolygonMapping p;
    p.hd = head(0, 0, 1, 0);
    p.cnt = 3;
    p.pt = { { 10, 10 }, { 30, 10 }, { 30, 30 } };
    p.e.size = { 1, 1 };
    p.e.depth = 8;
    p.e.pe[4 * 5 + 1] = 0x80; // entry 5: green 0x80
    p.e.bmp = { 5, 0, 0, 0 };
    doc->pgm.push_back(p);
    reg(200960, doc->pgmN++);
    doc->GLDrawALL();
    const Record* fill = canvas->last(Op::FillPolygon);
    ASSERT_NE(fill, nullptr);
    ASSERT_EQ(fill->fill_kind, platform::DisplayList::FillKind::Bitmap);
    EXPECT_EQ(fill->image.at(0), 0xFF008000u);
}

TEST_F(M7DrawTest, PictureIsDrawnFromAFileInThePrivateFolderThenRemoved)
{
    TM7ObjectBitmap b;
    b.hd = head(0, 0, 1, 0);
    b.typ = 2;
    b.bmp = png(8, 4, 0xFFFF0000, tmp.path());
    b.byt = int32_t(b.bmp.size());
    b.pos = { TDPoint { 10, 10 }, TDPoint { 50, 10 }, TDPoint { 50, 30 }, TDPoint { 10, 30 } };
    doc->bm.push_back(b);
    reg(201890, doc->bmN++);
    doc->GLDrawALL();
    const Record* pic = canvas->last(Op::Bitmap);
    ASSERT_NE(pic, nullptr);
    EXPECT_NEAR(pic->rect.Left, dev(10, 30).X, 1e-3);
    EXPECT_NEAR(pic->rect.Top, dev(10, 30).Y, 1e-3);
    EXPECT_NEAR(pic->rect.Right, dev(50, 10).X, 1e-3);
    EXPECT_NEAR(pic->rect.Bottom, dev(50, 10).Y, 1e-3);
    EXPECT_EQ(tmp.files(), 0u);
}

TEST_F(M7DrawTest, PicturesWithoutFileFormOrFolderAreNotDrawn)
{
    TM7ObjectBitmap b;
    b.hd = head(0, 0, 1, 0);
    b.typ = 5;
    b.bmp = png(8, 4, 0xFFFF0000, tmp.path());
    b.byt = int32_t(b.bmp.size());
    b.pos = { TDPoint { 10, 10 }, TDPoint { 50, 10 }, TDPoint { 50, 30 }, TDPoint { 10, 30 } };
    doc->bm.push_back(b);
    reg(201890, doc->bmN++);
    doc->GLDrawALL();
    EXPECT_EQ(canvas->count(Op::Bitmap), 0u);
    EXPECT_EQ(tmp.files(), 0u);

    doc->bm[0].typ = 2;
    gRunTempFolder.clear();
    doc->GLDrawALL();
    EXPECT_EQ(canvas->count(Op::Bitmap), 0u);
}

TEST_F(M7DrawTest, PictureOnAGreyLayerIsAPlainGreyQuadrilateral)
{
    doc->li.grp[0].tab[0].state = 1;
    doc->pt.resize(3); // a point count that once chose a hatch
    doc->ptN = 3;
    TM7ObjectBitmapEx b;
    b.hd = head(0, 0, 1, 0);
    b.typ = 2;
    b.pos = { TDPoint { 10, 10 }, TDPoint { 50, 10 }, TDPoint { 50, 30 }, TDPoint { 10, 30 } };
    doc->bmx.push_back(b);
    reg(201891, doc->bmxN++);
    doc->GLDrawALL();
    EXPECT_EQ(canvas->count(Op::Bitmap), 0u);
    const Record* fill = canvas->last(Op::FillPolygon);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->fill_kind, platform::DisplayList::FillKind::Color);
    EXPECT_EQ(fill->fill_color, 0xFFD8D8D8u);
    EXPECT_EQ(fill->pts.size(), 5u);
}

TEST_F(M7DrawTest, HostileNumbersDrawWithoutHangingOrCrashing)
{
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const double values[] = { nan, inf, -inf, 1e300, -1e300, 0, 1e-300 };
    doc->prnstl.ltype[1].kind = 1;
    doc->prnstl.ltype[7] = { 7, 10, { 0, 1, 0, 1, 0, 1, 0, 1, 0, 1 } };
    doc->prnstl.width[1] = -500;
    for (double v : values) {
        TM7ObjectEllipseEx e;
        e.ep = { head(0, 0, 1, 1), { v, 50 }, { v, 10 }, { 0, v }, v };
        e.e.half[0] = { {}, v, v, v, v, v, v, v, v, v, 11, 4, 0, v, v };
        e.e.half[1] = { {}, 50, 50, v, 40, 50, v, v, v, v, 16, 6, 0, v, v };
        doc->epx.push_back(e);
        reg(200530, doc->epxN++);
        doc->ln.push_back({ head(0, 0, 1, 7), { TDPoint { -v, 50 }, TDPoint { v, 50 } } });
        reg(200220, doc->lnN++);
        doc->ln.push_back({ head(0, 0, 1, 1), { TDPoint { -1e300, 50 }, TDPoint { 1e300, 50 } } });
        reg(200220, doc->lnN++);
        TM7ObjectBezier bz { head(0, 0, 1, 1), 0, 7, std::vector<TDPoint>(7, TDPoint { v, v }) };
        bz.pt[3] = { 50, 50 };
        doc->bz.push_back(bz);
        reg(201720, doc->bzN++);
        doc->tx.push_back({ head(0, 0, 1, 0), { v, 50 }, v, 0, 0, 0, u"A" });
        reg(200720, doc->txN++);
        TM7ObjectPolygonGrad p;
        p.hd = head(0, 0, 1, 0);
        p.cnt = 3;
        p.pt = { { v, 10 }, { 30, v }, { 30, 30 } };
        p.e = { 2, 0, { 0, 0 }, { TDPoint { v, v }, TDPoint { v, v } }, v };
        doc->pgg.push_back(p);
        reg(200950, doc->pggN++);
    }
    doc->txtstl[0] = { u"s", u"MS Gothic", 3, 3, 0, {}, 0, 0, 0, 0, {}, 0 };
    for (double scale : { 1.0, 0.0, -1.0, 1e300 }) {
        doc->li.grp[0].scale = scale;
        doc->DispMode = scale > 0;
        doc->GLDrawALL();
    }
    EXPECT_GT(canvas->records().size(), 0u);
}

// ---- From a file.

TEST_F(M7DrawTest, DrawsWhatTheReaderRead)
{
    m7w::Writer w;
    w.title("t");
    std::array<m7w::LayerGroup, 16> groups {};
    groups[1].scale = 10;
    w.chunk(1010, 20, m7w::layers_body(0, groups));
    m7w::Head h;
    h.attr = m7w::attr(0, 1, 6, 0);
    w.group(h, 1, "g");
    w.line(h, { 1, 1 }, { 5, 1 });
    ASSERT_TRUE(doc->read_memory(w.bytes()));
    ASSERT_EQ(doc->EntN, 2);
    doc->GLDrawALL();
    const auto lines = strokes();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_PT_NEAR(lines[0]->pts[1], dev(50, 10).X, dev(50, 10).Y);
    EXPECT_EQ(lines[0]->stroke.Color, 0xFF0000FFu);
}

TEST_F(M7DrawTest, NothingHappensWithoutARenderer)
{
    gGraph = nullptr;
    add_line(head(0, 0, 1, 0), { 10, 10 }, { 50, 10 });
    doc->GLDrawALL();
    doc->SetColor(0, 0, 1, 0, 0);
    doc->SetWidth(1, 0);
    doc->SetLinePattern(1, 1);
    EXPECT_TRUE(canvas->records().empty());
}

} // namespace
