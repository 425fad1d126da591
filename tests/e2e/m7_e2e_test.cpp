// ".m7" drawings through the real executable: pen colours, layer states, group scale, fills, pictures, the example.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/e2e_harness.h"
#include "tests/support/m7_writer.h"

namespace {

namespace fs = std::filesystem;
using e2e::Sandbox;
using std::numbers::pi;

// Paper 200 x 100 mm on a 420 x 210 pixel bitmap: 2 pixels per mm, the view starting at (-5, -2.5).
constexpr int kWidth = 420, kHeight = 210;
int px(double x) { return static_cast<int>((x + 5) * 2); }
int py(double y) { return static_cast<int>(kHeight - (y + 2.5) * 2); }
// A one-pixel line drawn along y covers exactly this pixel row.
constexpr double kRowY = 52.25; // py = 100.5

constexpr uint32_t kWhite = 0xFFFFFF;

m7w::Head head(int ly, int lg, int col, int typ, uint32_t colour = 0)
{
    m7w::Head h;
    h.attr = m7w::attr(ly, lg, col, typ);
    h.color = colour;
    return h;
}

// An uncompressed 24-bit Windows bitmap file, colour(x, y) with y counted from the top, 0xRRGGBB.
std::vector<uint8_t> bmp_file(int w, int h, const std::function<uint32_t(int, int)>& colour)
{
    const uint32_t stride = (static_cast<uint32_t>(w) * 3 + 3) / 4 * 4;
    const uint32_t size = 54 + stride * static_cast<uint32_t>(h);
    m7w::Bytes b;
    b.u8('B').u8('M').u32(size).u32(0).u32(54);
    b.u32(40)
        .i32(w)
        .i32(h)
        .u16(1)
        .u16(24)
        .u32(0)
        .u32(stride * static_cast<uint32_t>(h))
        .i32(2835)
        .i32(2835)
        .u32(0)
        .u32(0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour(x, y);
            b.u8(c & 0xFF).u8((c >> 8) & 0xFF).u8((c >> 16) & 0xFF);
        }
        b.zeros(stride - static_cast<uint32_t>(w) * 3);
    }
    return b.data;
}

// The document-level chunks every test drawing starts with; `groups` gives layer states and scales.
m7w::Writer start(const std::array<m7w::LayerGroup, 16>& groups = {})
{
    m7w::Writer w;
    w.title("e2e");
    w.chunk(1010, 20, m7w::layers_body(0, groups));
    w.paper(3, 0, 0, 0, 200, 100);
    return w;
}

e2e::Image convert(Sandbox& box, const m7w::Writer& w)
{
    box.settings(0, std::to_string(kWidth), std::to_string(kHeight));
    box.write("plan.m7", w.bytes());
    const auto r = box.convert("plan.m7", "out.png");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    auto img = e2e::load_image(box.path("out.png"));
    EXPECT_TRUE(img.has_value());
    if (!img)
        return {};
    EXPECT_EQ(img->width, kWidth);
    EXPECT_EQ(img->height, kHeight);
    return *img;
}

#define EXPECT_PIXEL(img, x, y, rgb) EXPECT_TRUE((img).near((x), (y), (rgb))) << std::hex << (img).at((x), (y))

TEST(M7Drawing, StrokesTakeTheirPenColoursNotTheirOwn)
{
    Sandbox box;
    auto w = start();
    w.line(head(0, 0, 6, 0, 0x00FF00), { 20, kRowY }, { 60, kRowY });
    w.line(head(0, 0, 3, 0, 0x0000FF), { 80, kRowY }, { 120, kRowY });
    w.line(head(0, 0, 7, 0, 0x000000), { 140, kRowY }, { 180, kRowY });
    const auto img = convert(box, w);
    EXPECT_PIXEL(img, px(40), 100, 0x0000FF);
    EXPECT_PIXEL(img, px(100), 100, 0x00AA37);
    EXPECT_PIXEL(img, px(160), 100, 0xFF00FF);
    EXPECT_PIXEL(img, px(40), 96, kWhite); // one pixel wide
    // The dashed blue paper frame, one pixel on a pixel edge: half blue on the rows either side.
    int frame = 0;
    for (int x = px(0); x < px(200); ++x)
        frame += img.near(x, py(0) - 1, 0x8080FF, 50) ? 1 : 0;
    EXPECT_GT(frame, 100);
}

TEST(M7Drawing, GreyLayerHiddenGroupAndHiddenLayer)
{
    Sandbox box;
    std::array<m7w::LayerGroup, 16> groups {};
    groups[0].layer[1].state = 1; // grey layer
    groups[2].state = 0; // hidden group, its layers shown
    groups[0].layer[3].state = 0; // hidden layer
    auto w = start(groups);
    w.line(head(1, 0, 6, 0), { 20, kRowY }, { 60, kRowY });
    w.line(head(0, 2, 6, 0), { 80, kRowY }, { 120, kRowY });
    w.line(head(3, 0, 6, 0), { 140, kRowY }, { 180, kRowY });
    const auto img = convert(box, w);
    EXPECT_PIXEL(img, px(40), 100, 0xD8D8D8);
    EXPECT_PIXEL(img, px(100), 100, kWhite);
    EXPECT_PIXEL(img, px(160), 100, kWhite);
}

TEST(M7Drawing, GroupScaleMultipliesCoordinates)
{
    Sandbox box;
    std::array<m7w::LayerGroup, 16> groups {};
    groups[1].scale = 100;
    auto w = start(groups);
    w.line(head(0, 1, 6, 0), { 0.2, kRowY / 100 }, { 1.8, kRowY / 100 });
    const auto img = convert(box, w);
    EXPECT_PIXEL(img, px(100), 100, 0x0000FF);
    EXPECT_PIXEL(img, px(170), 100, 0x0000FF);
    EXPECT_PIXEL(img, px(1), py(0.5225), kWhite); // where the unscaled line would lie
}

TEST(M7Drawing, FilledPolygonsInTheirOwnColourAndAGradient)
{
    Sandbox box;
    auto w = start();
    w.chunk(2009, 40,
        m7w::polygon_body(head(0, 0, 6, 0, 0x0000FF), 0, 4, { { 20, 20 }, { 60, 20 }, { 60, 40 }, { 20, 40 } }));
    m7w::Grad g;
    g.typ = 0;
    g.c0 = 0x0000FF; // red at the left
    g.c1 = 0xFF0000; // blue at the right
    g.p0 = { 100, 30 };
    g.p1 = { 180, 30 };
    w.chunk(2009, 50,
        m7w::polygon_body(head(0, 0, 6, 0), 0, 4, { { 100, 20 }, { 180, 20 }, { 180, 40 }, { 100, 40 } })
            .append(m7w::grad_bytes(g)));
    const auto img = convert(box, w);
    EXPECT_PIXEL(img, px(40), py(30), 0xFF0000);
    EXPECT_PIXEL(img, px(40), py(45), kWhite);
    const uint32_t left = img.at(px(102), py(30)), right = img.at(px(178), py(30)), mid = img.at(px(140), py(30));
    EXPECT_GT(left >> 16, 0xE0u) << std::hex << left;
    EXPECT_LT(left & 0xFF, 0x20u) << std::hex << left;
    EXPECT_GT(right & 0xFF, 0xE0u) << std::hex << right;
    EXPECT_LT(right >> 16, 0x20u) << std::hex << right;
    EXPECT_NEAR(double(mid >> 16), double(mid & 0xFF), 40) << std::hex << mid;
    EXPECT_PIXEL(img, px(140), py(45), kWhite);
}

TEST(M7Drawing, HatchedPolygonShowsItsTile)
{
    Sandbox box;
    auto w = start();
    w.chunk(2009, 40,
        m7w::polygon_body(head(0, 0, 1, 0, 0x000000), 1, 4, { { 20, 20 }, { 60, 20 }, { 60, 40 }, { 20, 40 } }));
    const auto img = convert(box, w);
    // A 2 x 2 tile with two black pixels on the diagonal: half of any 2 x 2 block is black.
    int black = 0;
    for (int y = 140; y < 142; ++y)
        for (int x = 80; x < 82; ++x)
            black += img.near(x, y, 0x000000) ? 1 : 0;
    EXPECT_EQ(black, 2);
}

TEST(M7Drawing, PictureIsDrawnAndItsFileRemoved)
{
    Sandbox box;
    auto w = start();
    const auto bmp = bmp_file(8, 4, [](int x, int) { return x < 4 ? 0x00C000u : 0xFF8000u; });
    w.chunk(2018, 90,
        m7w::bitmap_body(head(0, 0, 1, 0), int32_t(bmp.size()), 12,
            { m7w::Pt { 100, 20 }, m7w::Pt { 180, 20 }, m7w::Pt { 180, 60 }, m7w::Pt { 100, 60 } }, bmp));
    const auto img = convert(box, w);
    EXPECT_PIXEL(img, px(120), py(40), 0x00C000);
    EXPECT_PIXEL(img, px(160), py(40), 0xFF8000);
    EXPECT_PIXEL(img, px(90), py(40), kWhite);
    for (const auto& e : fs::recursive_directory_iterator(box.dir()))
        EXPECT_EQ(e.path().filename().string().find("TmpImg"), std::string::npos) << e.path();
}

TEST(M7Drawing, DocumentWithoutObjectsGivesAnEmptyImage)
{
    Sandbox box;
    const auto img = convert(box, start());
    for (int y = 0; y < kHeight; y += 3)
        for (int x = 0; x < kWidth; x += 3)
            if (!img.near(x, y, kWhite)) {
                ADD_FAILURE() << "drawn at " << x << "," << y << ": " << std::hex << img.at(x, y);
                return;
            }
}

// ---- The example drawing of the demo.

std::vector<uint8_t> example_drawing()
{
    using m7w::Pt;
    std::array<m7w::LayerGroup, 16> groups {};
    groups[0].layer[2].state = 1; // a grey layer
    groups[1].scale = 10; // a part drawn at ten times its size
    m7w::Writer w;
    w.title(m7w::sjis("見本 sample"));
    w.chunk(1010, 20, m7w::layers_body(0, groups));
    w.paper(4, 0, 0, 0, 297, 210);
    std::array<m7w::Style, 21> styles {};
    styles[0] = { m7w::sjis("標準"), m7w::sjis("ＭＳ ゴシック"), 8, 8, 1, 0, 0, 2, 0, 0, 0, 0 };
    styles[1] = { "small", "MS Gothic", 4, 3, 0.5, 0, 0, 0, 0, 0, 0, 0 };
    w.chunk(1050, 30, m7w::text_styles_body(styles));
    std::array<m7w::LineType, 16> lt {};
    lt[1] = { 1, 0, {} };
    lt[2] = { 2, 0, {} };
    lt[3] = { 3, 0, {} };
    lt[4] = { 7, 4, { 600, 150, 50, 150 } };
    std::array<int32_t, 16> widths {};
    widths.fill(25);
    w.chunk(1080, 20, m7w::print_style_body(lt, widths));
    w.chunk(1070, 20, m7w::symbol_style_body(0, 0, 2.5, 0));

    // A title in the document's first style and a vertical text beside it.
    w.chunk(2007, 20, m7w::text_body(head(0, 0, 2, 0), { 20, 180 }, 0, 0, 0, 0, m7w::sjis("M7 見本図 ^$6blue")));
    w.chunk(2007, 20, m7w::text_body(head(0, 0, 5, 0), { 280, 190 }, -pi / 2, 1, 0, 1, m7w::sjis("縦書き")));
    // Lines in four line types and pens.
    for (int i = 0; i < 4; ++i)
        w.line(head(0, 0, 3 + i, 1 + i), { 20, 160 - 8.0 * i }, { 140, 160 - 8.0 * i });
    // An arc with an arrowhead at each end, and an ellipse.
    m7w::Edge e;
    // The wings point back along the arc: left from its start at the top, up from its end at the left.
    e.start = { 200, 160, 0, 0, 0, 0, 0, 0, pi, 13, 0, 0, 6, pi / 8 };
    e.finish = { 170, 130, 0, 0, 0, 0, 0, 0, pi / 2, 13, 0, 0, 6, pi / 8 };
    w.chunk(2003, 30, m7w::circle_body(head(0, 0, 6, 0), { 200, 130 }, 30, pi / 2, pi).append(m7w::edge_bytes(e)));
    w.chunk(2005, 20, m7w::ellipse_body(head(0, 0, 8, 0), { 240, 130 }, 25, 12, 0, 0, pi / 6));
    // A Bezier curve and a polyline with a dashed pattern.
    w.chunk(2017, 20,
        m7w::chain_body(head(0, 0, 7, 3), 0, 7,
            { { 20, 100 }, { 40, 130 }, { 60, 70 }, { 80, 100 }, { 100, 130 }, { 120, 70 }, { 140, 100 } }));
    w.chunk(2008, 20,
        m7w::chain_body(head(0, 0, 1, 1), 0, 5, { { 150, 70 }, { 170, 100 }, { 190, 70 }, { 210, 100 }, { 230, 70 } }));
    // Fills: hatch, gradient, picture-filled, and a picture.
    w.chunk(2009, 40,
        m7w::polygon_body(head(0, 0, 1, 0, 0x00A000), 3, 4, { { 20, 20 }, { 70, 20 }, { 70, 55 }, { 20, 55 } }));
    m7w::Grad g { 0, 0x0000FF, 0xFF8000, { 80, 20 }, { 130, 55 }, 0 };
    w.chunk(2009, 50,
        m7w::polygon_body(head(0, 0, 1, 0), 0, 5, { { 80, 20 }, { 130, 20 }, { 140, 40 }, { 110, 55 }, { 80, 40 } })
            .append(m7w::grad_bytes(g)));
    m7w::Mapping map;
    map.w = 4;
    map.h = 4;
    map.depth = 24;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool dark = (x < 2) != (y < 2);
            map.pixels.insert(map.pixels.end(),
                { uint8_t(dark ? 0x60 : 0xF0), uint8_t(dark ? 0x30 : 0xE0), uint8_t(dark ? 0x30 : 0xE0) });
        }
    w.chunk(2009, 60,
        m7w::polygon_body(head(0, 0, 1, 0), 0, 3, { { 150, 20 }, { 200, 20 }, { 175, 55 } })
            .append(m7w::mapping_bytes(map)));
    const auto pic = bmp_file(32, 16, [](int x, int y) { return uint32_t((x * 8) << 16 | (y * 16) << 8 | 0x80); });
    w.chunk(2018, 90,
        m7w::bitmap_body(head(0, 0, 1, 0), int32_t(pic.size()), 12,
            { Pt { 210, 20 }, Pt { 270, 20 }, Pt { 270, 50 }, Pt { 210, 50 } }, pic));
    // Symbols: disc, circle pair, filled square, cross line, quarter arcs.
    const uint8_t shapes[] = { 1, 3, 19, 15, 16, 13 };
    for (int i = 0; i < 6; ++i) {
        m7w::Symbol s;
        s.pos = { 160 + 18.0 * i, 175 };
        s.style = shapes[i];
        s.p1 = 8;
        s.p2 = pi / 6;
        w.chunk(2020, 20, m7w::symbol_body(head(0, 0, 6, 0), s));
    }
    // A grey layer, an auxiliary line, a point, and a group drawn at scale 10.
    w.line(head(2, 0, 1, 0), { 20, 62 }, { 280, 62 });
    w.line(head(0, 0, 1, 15), { 20, 195 }, { 280, 195 });
    w.point(head(0, 0, 6, 0), { 150, 160 });
    w.group(head(0, 1, 0, 0), 2, "scaled");
    w.line(head(0, 1, 9, 0), { 24, 8.5 }, { 28, 8.5 });
    w.chunk(2003, 20, m7w::circle_body(head(0, 1, 9, 0), { 26, 8.5 }, 0.5, 0, 0));
    return w.bytes();
}

TEST(M7Example, CheckedInExampleIsWhatTheWriterMakes)
{
    // TORVANE_REGENERATE_EXAMPLES=1 rewrites the file instead of comparing.
    const fs::path file = fs::path(TORVANE_SOURCE_DIR) / "examples" / "m7_sample.m7";
    const auto bytes = example_drawing();
    if (const char* regen = std::getenv("TORVANE_REGENERATE_EXAMPLES"); regen && std::string(regen) == "1") {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in) << file;
    const std::vector<uint8_t> stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(stored == bytes) << "examples/m7_sample.m7 is stale; regenerate it";
}

TEST(M7Example, ConvertsWithEveryKindDrawn)
{
    Sandbox box;
    box.settings(9);
    box.write("sample.m7", example_drawing());
    const auto r = box.convert("sample.m7", "sample.png");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const auto img = e2e::load_image(box.path("sample.png"));
    ASSERT_TRUE(img);
    // A4 landscape at 300 dpi.
    EXPECT_EQ(img->width, 3508);
    EXPECT_EQ(img->height, 2480);
}

} // namespace
