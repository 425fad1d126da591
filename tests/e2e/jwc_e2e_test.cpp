// ".jwc" drawings and ".jwk" symbols through the real executable: paper fit, frame, extents fit, sizes, failures.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/e2e_harness.h"
#include "tests/support/jwc_writer.h"

namespace {

using e2e::Sandbox;
using test_jwc::JwcFile;
using test_jwc::JwkFile;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
// Default pen colours on a white background: 5 magenta, 7 teal, 8 crimson pink.
constexpr uint32_t kPen5 = 0xC000C0;
constexpr uint32_t kPen7 = 0x008080;
constexpr uint32_t kPen8 = 0xFF0080;

// The driver's view fit, worked out here: the rectangle with a 5 % margin, centred in a w x h bitmap.
struct Fit {
    double scale = 1, x1 = 0, y1 = 0, height = 0;

    Fit(double xmin, double ymin, double xmax, double ymax, int w, int h)
    {
        const double dx = std::max((xmax - xmin) * 1.05, 0.001);
        const double dy = std::max((ymax - ymin) * 1.05, 0.001);
        scale = std::min(w / dx, h / dy);
        x1 = (xmin + xmax) / 2 - 0.5 * w / scale;
        y1 = (ymin + ymax) / 2 - 0.5 * h / scale;
        height = h;
    }
    double fx(double x) const { return (x - x1) * scale; }
    double fy(double y) const { return height - (y - y1) * scale; }
    // The pixel that holds a drawing point: a stroke two pixels wide or more covers it whole.
    int px(double x) const { return int(std::floor(fx(x))); }
    int py(double y) const { return int(std::floor(fy(y))); }
};

// A4 (paper code 4) on a bitmap that gives about 5 pixels per mm, so pens 5 to 8 stroke 2 or 3 pixels wide.
constexpr int kW = 1560, kH = 1103;
constexpr double kPapX = 297, kPapY = 210;

// True when c lies between white and `rgb`, as antialiasing mixes a stroke into a white background.
bool white_blend(uint32_t c, uint32_t rgb, int tol = 12)
{
    double a = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int want = int((rgb >> shift) & 0xFF);
        if (want < 200)
            a = std::max(a, (255.0 - int((c >> shift) & 0xFF)) / (255.0 - want));
    }
    for (int shift = 0; shift <= 16; shift += 8) {
        const int want = int((rgb >> shift) & 0xFF);
        const double expect = 255 - a * (255 - want);
        if (std::abs(int((c >> shift) & 0xFF) - expect) > tol)
            return false;
    }
    return true;
}

bool bluish(uint32_t c)
{
    const int r = int(c >> 16), g = int((c >> 8) & 0xFF), b = int(c & 0xFF);
    return b - r > 60 && b - g > 60;
}

// Share of the places along one edge of a rectangle where blue shows within a pixel of the edge. The paper
// frame is stroked one pixel wide with the canvas's dash, so well over a third of them and not all.
double blue_share(const e2e::Image& img, const Fit& f, double x1, double y1, double x2, double y2)
{
    int hits = 0;
    const int n = 200;
    for (int i = 0; i < n; ++i) {
        const double t = 0.1 + 0.8 * i / (n - 1);
        const double x = f.fx(x1 + (x2 - x1) * t), y = f.fy(y1 + (y2 - y1) * t);
        bool hit = false;
        for (int d = -1; d <= 1 && !hit; ++d) {
            const bool vertical = x1 == x2;
            hit = bluish(img.at(int(std::floor(x)) + (vertical ? d : 0), int(std::floor(y)) + (vertical ? 0 : d)));
        }
        hits += hit;
    }
    return double(hits) / n;
}

// Blue pixels inside a pixel box.
int blue_count(const e2e::Image& img, int x1, int y1, int x2, int y2)
{
    int n = 0;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            n += bluish(img.at(x, y));
    return n;
}

// The four edges of a rectangle: shown as a dashed blue line, with no blue 5 pixels inside or outside.
void expect_frame(const e2e::Image& img, const Fit& f, double w, double h)
{
    const double edges[4][4] = { { 0, 0, 0, h }, { w, 0, w, h }, { 0, 0, w, 0 }, { 0, h, w, h } };
    for (const auto& e : edges) {
        const double share = blue_share(img, f, e[0], e[1], e[2], e[3]);
        EXPECT_GT(share, 0.4) << "edge " << e[0] << "," << e[1] << " - " << e[2] << "," << e[3];
        EXPECT_LT(share, 1.0) << "the frame is dashed";
    }
    EXPECT_EQ(blue_count(img, f.px(0) + 5, f.py(h) + 5, f.px(w) - 5, f.py(0) - 5), 0) << "inside the paper";
    EXPECT_EQ(blue_count(img, 0, 0, f.px(0) - 5, img.height - 1), 0) << "left of the paper";
    EXPECT_EQ(blue_count(img, f.px(w) + 5, 0, img.width - 1, img.height - 1), 0) << "right of the paper";
}

struct Converted {
    int exit_code = -1;
    std::string err;
    e2e::Image img;
};

Converted convert(const std::string& name, const std::string& bytes, int cb3, int w, int h)
{
    Sandbox box;
    box.settings(cb3, std::to_string(w), std::to_string(h));
    box.write(name, bytes);
    Converted run;
    const auto r = box.convert(name, "out.png");
    run.exit_code = r.exit_code;
    run.err = r.err;
    auto img = e2e::load_image(box.path("out.png"));
    EXPECT_TRUE(img.has_value()) << name << ": no image written";
    if (img)
        run.img = *img;
    return run;
}

test_jwc::Line line(float x1, float y1, float x2, float y2, uint8_t col, uint8_t typ = 1)
{
    test_jwc::Line e;
    e.x1 = x1;
    e.y1 = y1;
    e.x2 = x2;
    e.y2 = y2;
    e.col = col;
    e.typ = typ;
    return e;
}

// An A4 drawing 594 units wide, so the reader halves every coordinate: each value here is twice its mm.
JwcFile a4_with_lines()
{
    JwcFile f;
    f.psize = 4;
    f.draw_width = 594;
    f.lines.push_back(line(80, 160, 260, 160, 8)); // (40, 80) - (130, 80) mm
    f.lines.push_back(line(280, 40, 280, 180, 7)); // (140, 20) - (140, 90) mm
    test_jwc::Arc a;
    a.x = 440;
    a.y = 120;
    a.r = 50;
    a.et = 360;
    a.col = 5;
    f.arcs.push_back(a); // circle of radius 25 mm round (220, 60)
    return f;
}

struct Probe {
    double x, y; // millimetres
    int dx, dy; // then pixels
    uint32_t rgb;
    const char* what;
};

const Probe kA4Probes[] = {
    { 40, 80, 3, 0, kPen8, "pen 8 line, left end" },
    { 85, 80, 0, 0, kPen8, "pen 8 line, middle" },
    { 130, 80, -3, 0, kPen8, "pen 8 line, right end" },
    { 85, 80, 0, -6, kWhite, "above the pen 8 line" },
    { 85, 80, 0, 6, kWhite, "below the pen 8 line" },
    { 130, 80, 6, 0, kWhite, "past the pen 8 line's end" },
    { 140, 55, 0, 0, kPen7, "pen 7 line" },
    { 140, 55, 6, 0, kWhite, "beside the pen 7 line" },
    { 245, 60, 0, 0, kPen5, "pen 5 circle, east" },
    { 220, 85, 0, 0, kPen5, "pen 5 circle, north" },
    { 220, 60, 0, 0, kWhite, "centre of the circle" },
    { 170, 160, 0, 0, kWhite, "where unconverted units would put the pen 8 line" },
    { 280, 100, 0, 0, kWhite, "where unconverted units would put the pen 7 line" },
};

void expect_probes(const e2e::Image& img, const Fit& f, const std::string& label)
{
    for (const auto& p : kA4Probes) {
        const int x = f.px(p.x) + p.dx, y = f.py(p.y) + p.dy;
        EXPECT_TRUE(img.near(x, y, p.rgb))
            << label << ": " << p.what << " at " << x << "," << y << " is " << std::hex << img.at(x, y);
    }
}

TEST(JwcE2E, EntitiesAtTheirPaperPlaceInTheirPenColours)
{
    const Converted run = convert("plan.jwc", a4_with_lines().bytes(), 0, kW, kH);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    ASSERT_EQ(run.img.width, kW);
    ASSERT_EQ(run.img.height, kH);
    expect_probes(run.img, Fit(0, 0, kPapX, kPapY, kW, kH), "plan.jwc");
}

// No emptiness test for this kind: a drawing without entities still shows its sheet.
TEST(JwcE2E, EmptyDrawingShowsItsBluePaperFrameAtTheOrigin)
{
    JwcFile f;
    f.psize = 4;
    const Converted run = convert("empty.jwc", f.bytes(), 0, kW, kH);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const Fit fit(0, 0, kPapX, kPapY, kW, kH);
    expect_frame(run.img, fit, kPapX, kPapY);
    EXPECT_TRUE(run.img.near(fit.px(kPapX / 2), fit.py(kPapY / 2), kWhite));
}

TEST(JwcE2E, UpperAndMixedCaseExtensionsConvert)
{
    for (const std::string name : { "PLAN.JWC", "plan.Jwc" }) {
        const Converted run = convert(name, a4_with_lines().bytes(), 0, kW, kH);
        ASSERT_EQ(run.exit_code, 0) << name << ": " << run.err;
        expect_probes(run.img, Fit(0, 0, kPapX, kPapY, kW, kH), name);
    }
    JwkFile k;
    k.lines.push_back(line(0, 0, 50, 0, 8));
    for (const std::string name : { "MARK.JWK", "mark.jWk" }) {
        const Converted run = convert(name, k.bytes(), 0, 400, 300);
        ASSERT_EQ(run.exit_code, 0) << name << ": " << run.err;
        const Fit fit(0, 0, 50, 0, 400, 300); // a box of no height keeps the width alone
        EXPECT_TRUE(run.img.near(fit.px(25), fit.py(0), kPen8)) << name;
    }
}

// Symbols take their pixel size from the settings whatever the resolution says; drawings take theirs
// from the paper and the resolution when one is chosen.
TEST(JwcE2E, PixelSizeByKindAndResolution)
{
    JwkFile k;
    k.lines.push_back(line(10, 10, 30, 20, 2));
    JwcFile c;
    c.psize = 4;
    const int a4_36dpi_w = int(std::nearbyint(kPapX / 25.4 * 36));
    const int a4_36dpi_h = int(std::nearbyint(kPapY / 25.4 * 36));
    struct Case {
        std::string name, bytes;
        int cb3;
        int want_w, want_h;
    };
    const Case cases[] = {
        { "s.jwk", k.bytes(), 9, 300, 200 },
        { "s.jwk", k.bytes(), 1, 300, 200 },
        { "s.jwk", k.bytes(), 0, 300, 200 },
        { "s.jwk", k.bytes(), 25, 300, 200 },
        { "d.jwc", c.bytes(), 0, 300, 200 },
        { "d.jwc", c.bytes(), 1, a4_36dpi_w, a4_36dpi_h },
    };
    for (const auto& cs : cases) {
        const Converted run = convert(cs.name, cs.bytes, cs.cb3, 300, 200);
        EXPECT_EQ(run.exit_code, 0) << cs.name << " cb3 " << cs.cb3 << ": " << run.err;
        EXPECT_EQ(run.img.width, cs.want_w) << cs.name << " cb3 " << cs.cb3;
        EXPECT_EQ(run.img.height, cs.want_h) << cs.name << " cb3 " << cs.cb3;
    }
}

// A symbol of a pen 8 line and a pen 7 line away from its reference point; `unit` file units per mm.
JwkFile symbol(float unit, const std::string& scale)
{
    JwkFile k;
    k.scale = scale;
    k.lines.push_back(line(10 * unit, 20 * unit, 60 * unit, 20 * unit, 8));
    k.lines.push_back(line(60 * unit, 20 * unit, 60 * unit, 40 * unit, 7));
    return k;
}

TEST(JwkE2E, SymbolFittedToItsExtentsWithRedCircleAtTheOrigin)
{
    const Converted run = convert("door.jwk", symbol(1, "1").bytes(), 9, 640, 480);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    ASSERT_EQ(run.img.width, 640);
    ASSERT_EQ(run.img.height, 480);
    // The extents reach from the reference point (0, 0) to (60, 40).
    const Fit f(0, 0, 60, 40, 640, 480);
    const e2e::Image& img = run.img;
    EXPECT_TRUE(img.near(f.px(35), f.py(20), kPen8));
    EXPECT_TRUE(img.near(f.px(60), f.py(30), kPen7));
    EXPECT_TRUE(img.near(f.px(35), f.py(20) - 8, kWhite));
    EXPECT_TRUE(img.near(f.px(30), f.py(30), kWhite));
    // The right end touches the margin: 5 % of the width split on both sides.
    EXPECT_NEAR(f.fx(60), 640 - 640 * 0.025, 1.0);
    // A red ring of 5 pixels radius round the origin, its middle empty.
    const double ox = f.fx(0), oy = f.fy(0);
    int red = 0;
    for (int dy = -8; dy <= 8; ++dy)
        for (int dx = -8; dx <= 8; ++dx)
            red += img.near(int(ox) + dx, int(oy) + dy, kRed, 90);
    EXPECT_GT(red, 20);
    EXPECT_TRUE(img.near(int(std::floor(ox)), int(std::floor(oy)), kWhite));
    EXPECT_TRUE(img.near(int(std::floor(ox + 5)), int(std::floor(oy)), kRed, 90));
    EXPECT_TRUE(img.near(int(std::floor(ox)), int(std::floor(oy - 5)), kRed, 90));
    EXPECT_TRUE(img.near(int(std::floor(ox + 10)), int(std::floor(oy)), kWhite));
}

// Coordinates are divided by the header's scale, and a scale of zero or below counts as 1: the same symbol
// stored at 1:10 with scale 10, or at 1:1 with scale 0, is the same picture as at 1:1 with scale 1.
TEST(JwkE2E, ScaleDividesFileUnitsAndZeroCountsAsOne)
{
    const Converted ref = convert("s.jwk", symbol(1, "1").bytes(), 0, 400, 300);
    ASSERT_EQ(ref.exit_code, 0) << ref.err;
    ASSERT_FALSE(ref.img.rgb.empty());
    struct Case {
        float unit;
        std::string scale;
        bool same;
    };
    const Case cases[] = {
        { 1, "0", true },
        { 1, "-2", true },
        { 10, "10", true },
        { 4, "4", true },
        // Ten times the units at scale 1: the fit shrinks tenfold, the pens keep their mm and go thin.
        { 10, "1", false },
        { 1, "0.5", false },
    };
    for (const auto& c : cases) {
        const Converted run = convert("s.jwk", symbol(c.unit, c.scale).bytes(), 0, 400, 300);
        ASSERT_EQ(run.exit_code, 0) << c.scale << ": " << run.err;
        EXPECT_EQ(run.img.rgb == ref.img.rgb, c.same) << "units x" << c.unit << ", scale " << c.scale;
    }
}

// A file that fails the identification check still leaves an image: the background, and for a drawing
// the blue frame of the start paper (400 x 400 mm) since no paper size was read. A symbol shows its red
// reference circle at the origin of the start extents (0, 0) - (400, 400).
TEST(JwcE2E, UnidentifiedFilesExitThreeWithAnImage)
{
    JwcFile drawing;
    drawing.lines.push_back(line(10, 10, 100, 100, 8));
    JwkFile sym = symbol(1, "1");
    struct Case {
        std::string name, bytes;
    };
    const Case cases[] = {
        { "junk.jwc", "this is not a drawing at all, only some text that runs on" },
        { "empty.jwc", "" },
        { "sym.jwc", sym.bytes() },
        { "junk.jwk", "this is not a symbol at all, only some text that runs on" },
        { "empty.jwk", "" },
        { "plan.jwk", drawing.bytes() },
    };
    const Fit start(0, 0, 400, 400, 500, 460);
    for (const auto& c : cases) {
        const Converted run = convert(c.name, c.bytes, 0, 500, 460);
        EXPECT_EQ(run.exit_code, 3) << c.name;
        EXPECT_FALSE(run.err.empty()) << c.name;
        ASSERT_EQ(run.img.width, 500) << c.name;
        ASSERT_EQ(run.img.height, 460) << c.name;
        const e2e::Image& img = run.img;
        int ink = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
                ink += !white_blend(img.at(x, y), 0x0000FF) && !white_blend(img.at(x, y), kRed);
        EXPECT_EQ(ink, 0) << c.name << ": only background, frame and reference mark";
        if (c.name.ends_with(".jwc")) {
            expect_frame(img, start, 400, 400);
        } else {
            EXPECT_EQ(blue_count(img, 0, 0, img.width - 1, img.height - 1), 0) << c.name << ": no frame";
            EXPECT_TRUE(img.near(int(std::floor(start.fx(0) + 5)), int(std::floor(start.fy(0))), kRed, 90)) << c.name;
        }
    }
}

} // namespace

// A hostile symbol whose dashed lines reach 1e34 units out of a view a thousandth of a unit wide: its dash walk
// once followed those lengths and did not end.
TEST(JwkE2E, FarClippedDashedLinesConvertAt800x600)
{
    std::ifstream in(
        std::string(TORVANE_SOURCE_DIR) + "/tests/fuzz/corpus/jwc/jwk_dash_walk_far_clip.jwk", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    const Converted run = convert("far.jwk", bytes, 0, 800, 600);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.img.width, 800);
    EXPECT_EQ(run.img.height, 600);
}
