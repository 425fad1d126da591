// Drawing tests of ".jwc" drawings and ".jwk" symbols through TGraph2 onto a recording canvas.
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"
#include "globals/UnitVal.h"
#include "globals/ViewFit.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Cp932.h"
#include "platform/DisplayList.h"
#include "tests/support/jwc_writer.h"

namespace {

using Op = platform::DisplayList::Op;
using Record = platform::DisplayList::Record;
using test_jwc::JwcFile;
using test_jwc::JwkFile;

using std::numbers::pi;

class JwcDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        att = std::make_unique<TgraAttribute>();
        att->SetDisplayMode(true);
        att->SetDispHojo(1);
        att->SetDispKijun(1);
        gGraAtt = att.get();
        // An A3 sheet at two pixels per millimetre, lower-left corner at the origin.
        view(0, 0, 420, 297, 2);
    }
    void TearDown() override
    {
        gGraph2 = nullptr;
        gGraAtt = nullptr;
    }

    void view(double x1, double y1, double x2, double y2, double scale)
    {
        gDispX1 = x1;
        gDispY1 = y1;
        gDispX2 = x2;
        gDispY2 = y2;
        gDispScale = scale;
        gDispWidth = (x2 - x1) * scale;
        gDispHeight = (y2 - y1) * scale;
        canvas = std::make_unique<platform::DisplayList>(int(gDispWidth), int(gDispHeight));
        graph = std::make_unique<TGraph2>(canvas.get());
        gGraph2 = graph.get();
    }

    // Where a point in millimetres lands on the bitmap.
    static platform::PointF dev(double x, double y)
    {
        return { float((x - gDispX1) * gDispScale), float(gDispHeight - (y - gDispY1) * gDispScale) };
    }

    void draw(const JwcFile& f)
    {
        ASSERT_TRUE(jwc.FileIn(dir.write("d.jwc", f.bytes())));
        jwc.SetGAttLayer();
        canvas->clear_records();
        jwc.GLDrawALL();
    }
    void draw(const JwkFile& f)
    {
        ASSERT_TRUE(jwk.FileIn(dir.write("d.jwk", f.bytes())));
        jwk.SetGAttLayer();
        canvas->clear_records();
        jwk.GLDrawALL();
    }

    // Paths and lines: everything that strokes.
    std::vector<const Record*> strokes() const
    {
        std::vector<const Record*> out;
        for (const auto& r : canvas->records()) {
            if (r.op == Op::Line || r.op == Op::Path)
                out.push_back(&r);
        }
        return out;
    }

    std::unique_ptr<TgraAttribute> att;
    std::unique_ptr<platform::DisplayList> canvas;
    std::unique_ptr<TGraph2> graph;
    test_jwc::ScratchDir dir;
    TJwcData jwc;
    TJwkData jwk;
};

#define EXPECT_PT_NEAR(p, q, tol)                                                                                      \
    do {                                                                                                               \
        EXPECT_NEAR((p).X, (q).X, (tol));                                                                              \
        EXPECT_NEAR((p).Y, (q).Y, (tol));                                                                              \
    } while (0)

TEST_F(JwcDraw, LineLandsAtItsPaperPlace)
{
    for (bool display : { true, false }) {
        att->SetDisplayMode(display);
        JwcFile f; // A3, 518 file units across the sheet
        f.lines.push_back({ 0, 0, 518, 259, 1, 3, 0, 0, 0, 0 });
        draw(f);
        auto lines = canvas->of(Op::Line);
        ASSERT_EQ(lines.size(), 1u) << display;
        const double u = 420.0 / 518.0;
        EXPECT_PT_NEAR(lines[0]->pts[0], dev(0, 0), 0.01);
        EXPECT_PT_NEAR(lines[0]->pts[1], dev(518 * u, 259 * u), 0.01);
        EXPECT_EQ(lines[0]->stroke.Color, att->GetAttrColcol(3));
    }
}

TEST_F(JwcDraw, HiddenLayersAndAuxiliaryLines)
{
    att->SetDisplayMode(false); // one stroke per entity, whatever its line type
    JwcFile f;
    f.psize = 99;
    f.lines.push_back({ 10, 10, 20, 10, 1, 1, 0, 0, 0, 0 });
    f.lines.push_back({ 10, 20, 20, 20, 9, 1, 0, 0, 0, 0 }); // auxiliary line type
    f.lines.push_back({ 10, 30, 20, 30, 1, 1, 17, 0, 0, 0 }); // layer 17: hidden below
    f.arcs.push_back({ 50, 50, 5, 1.0, 0, 0, 0, 9, 1, 0 }); // auxiliary circle
    f.texts.push_back({ 10, 40, 20, 40, "x", 1, 17 }); // text on the hidden layer
    f.points.push_back({ 60, 60, 17, 1 }); // point on the hidden layer
    f.layer_disp[17] = 0;

    draw(f);
    EXPECT_EQ(canvas->count(Op::Line), 2u);
    EXPECT_EQ(canvas->count(Op::Path), 1u);
    EXPECT_EQ(canvas->count(Op::Text), 0u);
    EXPECT_EQ(canvas->count(Op::FillPolygon), 0u);

    att->SetDispHojo(0);
    canvas->clear_records();
    jwc.GLDrawALL();
    auto lines = canvas->of(Op::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_PT_NEAR(lines[0]->pts[0], dev(10, 10), 0.01);
    EXPECT_EQ(canvas->count(Op::Path), 0u);
}

TEST_F(JwcDraw, ArcAcrossZeroIsTwentyDegrees)
{
    JwcFile f;
    f.psize = 99;
    f.arcs.push_back({ 100, 100, 50, 1.0, 350, 10 });
    draw(f);
    auto paths = canvas->of(Op::Path);
    ASSERT_EQ(paths.size(), 1u);
    const auto& pts = paths[0]->pts;
    ASSERT_GE(pts.size(), 2u);
    auto angle_at = [&](const platform::PointF& p) {
        const auto c = dev(100, 100);
        return std::atan2(-(p.Y - c.Y), p.X - c.X) * 180 / pi;
    };
    EXPECT_NEAR(angle_at(pts.front()), -10, 0.01);
    EXPECT_NEAR(angle_at(pts.back()), 10, 0.01);
    for (const auto& p : pts)
        EXPECT_LE(std::fabs(angle_at(p)), 10.01);
}

TEST_F(JwcDraw, SweepZeroOrWholeTurnIsAFullEllipse)
{
    for (double et : { 30.0, 390.0 }) {
        JwcFile f;
        f.psize = 99;
        f.arcs.push_back({ 100, 100, 50, 0.5, 30, et, 0 });
        draw(f);
        auto paths = canvas->of(Op::Path);
        ASSERT_EQ(paths.size(), 1u) << et;
        const auto& pts = paths[0]->pts;
        EXPECT_PT_NEAR(pts.front(), pts.back(), 0.01);
        float top = 1e9f, bottom = -1e9f, left = 1e9f, right = -1e9f;
        for (const auto& p : pts) {
            top = std::min(top, p.Y);
            bottom = std::max(bottom, p.Y);
            left = std::min(left, p.X);
            right = std::max(right, p.X);
        }
        EXPECT_NEAR(right - left, 2 * 50 * gDispScale, 0.5) << et;
        EXPECT_NEAR(bottom - top, 2 * 25 * gDispScale, 0.5) << et;
    }
}

TEST_F(JwcDraw, PointsAndTemporaryPoints)
{
    JwcFile f;
    f.psize = 99;
    f.points.push_back({ 30, 40, 0, 4 });
    f.vten_count = 1;
    f.vten[0] = { 200, 200, 0 }; // slot 0 is never drawn
    f.vten[1] = { 100, 50, 17 }; // drawn whatever its layer's colour
    draw(f);
    // The point's marker is a dot this small, in its colour number's colour.
    auto dots = canvas->of(Op::Line);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_PT_NEAR(dots[0]->pts[0], dev(30, 40), 0.01);
    EXPECT_EQ(dots[0]->stroke.Color, att->GetAttrColcol(4));
    auto paths = canvas->of(Op::Path);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0]->stroke.Color, att->GetAttrColcol(2));
    // A circle of three pixels around the slot's point.
    const auto c = dev(100, 50);
    for (const auto& p : paths[0]->pts)
        EXPECT_NEAR(std::hypot(p.X - c.X, p.Y - c.Y), 3.0, 0.01);
}

TEST_F(JwcDraw, TemporaryPointOnAHiddenLayerIsSkipped)
{
    JwcFile f;
    f.psize = 99;
    f.vten_count = 200; // more than the slots: only the 100 slots are drawn
    for (int i = 1; i <= 100; ++i)
        f.vten[size_t(i)] = { float(10 + 3 * i), 100, uint8_t(i == 5 ? 17 : 0) };
    f.layer_disp[17] = 0;
    draw(f);
    EXPECT_EQ(canvas->count(Op::Path), 99u);
}

TEST_F(JwcDraw, TextUsesItsLayerGroupScale)
{
    JwcFile f;
    f.psize = 99;
    f.group_scale[2] = 250;
    f.text_types[1] = { 1, 30, 40, 5 };
    f.texts.push_back({ 10, 10, 30, 10, "AB", 1, 2 * 16 + 1 });
    gLayerScale = 1;
    draw(f);
    EXPECT_EQ(gLayerScale, 250.0);
    EXPECT_GE(canvas->count(Op::Text), 1u);
}

// Glyph height in pixels and width-to-height ratio of each text record, from its size and transform.
struct Glyph {
    float size;
    double aspect;
};

std::vector<Glyph> glyphs(const platform::DisplayList& c)
{
    std::vector<Glyph> out;
    for (const Record* r : c.of(Op::Text)) {
        const auto& m = r->transform;
        out.push_back({ r->font.SizePx, std::hypot(m.xx, m.yx) / std::hypot(m.xy, m.yy) });
    }
    return out;
}

TEST_F(JwcDraw, TextTypeSetsCharacterSizeAndVerticalWritingSwapsIt)
{
    struct Case {
        const char* what;
        uint8_t no, flg1;
        double height_mm, width_mm;
    };
    const Case cases[] = {
        { "horizontal", 1, 0, 4.0, 3.0 },
        { "vertical", 1, 0x20, 3.0, 4.0 },
        { "type beyond the table counts as type 0", 200, 0, 6.0, 5.0 },
    };
    for (const auto& c : cases) {
        JwcFile f;
        f.psize = 99;
        f.text_types[0] = { 1, 50, 60, 0 };
        f.text_types[1] = { 1, 30, 40, 5 };
        test_jwc::Text t;
        t.x1 = 100;
        t.y1 = 100;
        t.x2 = c.flg1 ? 100 : 200;
        t.y2 = c.flg1 ? 0 : 100;
        t.bytes = "AB";
        t.no = c.no;
        t.flg1 = c.flg1;
        f.texts.push_back(t);
        draw(f);
        SCOPED_TRACE(c.what);
        auto g = glyphs(*canvas);
        ASSERT_EQ(g.size(), 2u);
        for (const auto& one : g) {
            EXPECT_NEAR(one.size, c.height_mm * gDispScale, 1e-3);
            EXPECT_NEAR(one.aspect, c.width_mm / c.height_mm, 1e-6);
        }
        EXPECT_EQ(canvas->of(Op::Text)[0]->text, u"A");
    }
}

TEST_F(JwcDraw, NothingWithoutRendererOrTables)
{
    JwcFile f;
    f.lines.push_back({ 0, 0, 10, 10 });
    ASSERT_TRUE(jwc.FileIn(dir.write("n.jwc", f.bytes())));
    gGraph2 = nullptr;
    jwc.GLDrawALL();
    EXPECT_EQ(jwc.GLDrawLine(false, 0, jwc.EntLine[0]), 3);
    gGraph2 = graph.get();
    gGraAtt = nullptr;
    jwc.GLDrawALL();
    jwc.SetGAttLayer();
    EXPECT_EQ(canvas->count(Op::Line), 0u);
}

// ---- Symbols.

TEST_F(JwcDraw, SymbolReferenceMarkIsARedCircleOfFivePixels)
{
    view(-50, -50, 50, 50, 4);
    JwkFile f;
    f.lines.push_back({ 0, 0, 10, 0 });
    draw(f);
    auto paths = canvas->of(Op::Path);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0]->stroke.Color, 0xFFFF0000u);
    EXPECT_EQ(paths[0]->stroke.Thickness, 2.0f);
    const auto c = dev(0, 0);
    for (const auto& p : paths[0]->pts)
        EXPECT_NEAR(std::hypot(p.X - c.X, p.Y - c.Y), 5.0, 0.01);

    att->SetDispKijun(0);
    canvas->clear_records();
    jwk.GLDrawALL();
    EXPECT_EQ(canvas->count(Op::Path), 0u);
    EXPECT_EQ(canvas->count(Op::Line), 1u);
}

TEST_F(JwcDraw, SymbolDividesByItsScaleAndScaleZeroActsAsOne)
{
    view(-50, -50, 50, 50, 4);
    att->SetDispKijun(0);
    struct Case {
        std::string scale;
        double divisor;
    };
    for (const Case& c : { Case { "100", 100 }, Case { "0", 1 }, Case { "-3", 1 } }) {
        JwkFile f;
        f.scale = c.scale;
        f.lines.push_back({ 10, 20, 30, -40 });
        f.arcs.push_back({ 0, 0, 20, 1.0, 0, 0 });
        f.points.push_back({ -20, -10, 0, 1 });
        draw(f);
        SCOPED_TRACE(c.scale);
        auto lines = canvas->of(Op::Line); // the line, then the point's dot
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_PT_NEAR(lines[0]->pts[0], dev(10 / c.divisor, 20 / c.divisor), 0.01);
        EXPECT_PT_NEAR(lines[0]->pts[1], dev(30 / c.divisor, -40 / c.divisor), 0.01);
        auto paths = canvas->of(Op::Path);
        ASSERT_EQ(paths.size(), 1u);
        const auto centre = dev(0, 0);
        EXPECT_NEAR(std::hypot(paths[0]->pts[0].X - centre.X, paths[0]->pts[0].Y - centre.Y),
            20 / c.divisor * gDispScale, 0.01);
        EXPECT_PT_NEAR(lines[1]->pts[0], dev(-20 / c.divisor, -10 / c.divisor), 0.01);
    }
}

TEST_F(JwcDraw, SymbolTextSetsLayerScaleOne)
{
    JwkFile f;
    f.scale = "50";
    test_jwc::Text t;
    t.x1 = 500;
    t.y1 = 500;
    t.x2 = 1500;
    t.y2 = 500;
    t.bytes = "S";
    t.no = 3;
    f.texts.push_back(t);
    gLayerScale = 77;
    draw(f);
    EXPECT_EQ(gLayerScale, 1.0);
    EXPECT_GE(canvas->count(Op::Text), 1u);
}

} // namespace

// A symbol whose dashed lines run from near the origin to 1e34 units out, in a view of a thousandth of a unit:
// the clipped ends come out of ClipLine far outside the view, and the dash walk over them never ended.
TEST_F(JwcDraw, SymbolOfFarClippedDashedLinesDrawsWhatTheViewShows)
{
    const std::filesystem::path file = std::filesystem::path(TORVANE_SOURCE_DIR)
        / "tests/fuzz/corpus/jwc/jwk_dash_walk_far_clip.jwk";
    ASSERT_TRUE(jwk.FileIn(platform::utf8_to_utf16(file.string())));
    jwk.SetGAttLayer();
    gMinX = gMinY = 0;
    gMaxX = gMaxY = 400;
    jwk.GetMinMaxZahyo();
    detail::fit_view(gMinX, gMinY, gMaxX, gMaxY, 800, 600);
    view(gDispX1, gDispY1, gDispX2, gDispY2, gDispScale);
    ASSERT_GT(jwk.lineN, 0);
    jwk.GLDrawALL();
    // Every line may at most cross the view once: 32 entries a period of at least 2 of its 1000 diagonal pixels.
    EXPECT_LE(canvas->count(Op::Line), size_t(jwk.lineN) * 32 * 502);
}
