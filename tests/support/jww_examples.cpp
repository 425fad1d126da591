// The example ".jww" and ".jws" drawings of examples/, built by the test writers.
#include "tests/support/jww_examples.h"

#include <cmath>
#include <fstream>
#include <numbers>

#include "tests/support/jww_symbol_writer.h"
#include "tests/support/jww_writer.h"

namespace jwwtest {
namespace {

using std::numbers::pi;
constexpr const char16_t* kGothic = u"ＭＳ ゴシック";
constexpr const char16_t* kMincho = u"ＭＳ 明朝";

// A 24-bit Windows bitmap with a colour wheel on a pale square, 64 x 40 pixels.
std::vector<uint8_t> picture_bmp()
{
    const int w = 64, h = 40;
    const uint32_t stride = (w * 3 + 3) / 4 * 4;
    std::vector<uint8_t> b;
    auto u16 = [&b](uint16_t v) { JwwWriter::put_u16(b, v); };
    auto u32 = [&b](uint32_t v) { JwwWriter::put_u32(b, v); };
    b.push_back('B');
    b.push_back('M');
    u32(54 + stride * h);
    u32(0);
    u32(54);
    u32(40);
    u32(w);
    u32(h);
    u16(1);
    u16(24);
    u32(0);
    u32(stride * h);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = x - w / 2.0, dy = y - h / 2.0;
            const double r = std::hypot(dx, dy), a = std::atan2(dy, dx);
            uint8_t red = 240, green = 240, blue = 220;
            if (r < 17) {
                red = uint8_t(127 + 127 * std::cos(a));
                green = uint8_t(127 + 127 * std::cos(a - 2 * pi / 3));
                blue = uint8_t(127 + 127 * std::cos(a + 2 * pi / 3));
            }
            b.push_back(blue);
            b.push_back(green);
            b.push_back(red);
        }
        b.insert(b.end(), stride - w * 3, 0);
    }
    return b;
}

// Printer pens 1..8 with readable widths, and dash patterns that differ from type to type.
void pens_and_line_types(JwwWriter& w)
{
    const int32_t widths[9] = { 0, 8, 10, 12, 14, 16, 18, 20, 12 };
    for (int c = 1; c <= 8; ++c)
        w.EntCol[size_t(c)].anPrtPenWidth = widths[c];
    const uint32_t patterns[8] = { 0xFFFF0000, 0xF0F0F0F0, 0xFFF0FF00, 0xFFFCF0C0, 0xFFFFFF00, 0xCCCCCCCC, 0xFFF0F0F0,
        0xFF00FF00 };
    for (int i = 0; i < 8; ++i) {
        w.EntLtp1[size_t(i)].alLType = int32_t(patterns[i]);
        w.EntLtp1[size_t(i)].anPrtTokushuSenPich = 12;
    }
    for (auto& t : w.EntLtp2) {
        t.alLType = int32_t(0xF0F0F0F0u);
        t.anPrtRandSenWide = 40;
        t.anPrtTokushuSenPich = 20;
    }
    for (auto& t : w.EntLtp3) {
        t.alLType = int32_t(0xFFFFF0F0u);
        t.anPrtTokushuSenPich = 16;
    }
}

TEntJwwSunpo dimension(double x1, double y1, double x2, double y2, double off, TEntJwwAttr a, uint16_t format)
{
    // The dimension line is offset from the measured points by `off` perpendicular to them.
    const double len = std::hypot(x2 - x1, y2 - y1);
    const double nx = -(y2 - y1) / len * off, ny = (x2 - x1) / len * off;
    TEntJwwSunpo s;
    s.att = a;
    s.Sen = line(x1 + nx, y1 + ny, x2 + nx, y2 + ny, a);
    const double ux = (x2 - x1) / len, uy = (y2 - y1) / len;
    s.Moji = text(x1 + nx + ux * len * 0.3 - uy, y1 + ny + uy * len * 0.3 + ux, x2 + nx - uy, y2 + ny + ux, 3.5, 3.5, 0,
        1, attr(a.nPenColor, 1, a.nLayer, a.nGLayer, format));
    s.bSxfMode = 1;
    s.Ho1 = line(x1, y1, x1 + nx * 1.15, y1 + ny * 1.15, a);
    s.Ho2 = line(x2, y2, x2 + nx * 1.15, y2 + ny * 1.15, a);
    const double ang = std::atan2(y2 - y1, x2 - x1);
    s.Te1 = marker(x1 + nx, y1 + ny, 6, ang + pi, 1, attr(a.nPenColor, 100, a.nLayer, a.nGLayer));
    s.Te2 = marker(x2 + nx, y2 + ny, 6, ang, 1, attr(a.nPenColor, 100, a.nLayer, a.nGLayer));
    s.Kt1 = point(x1, y1, a);
    s.Kt2 = point(x2, y2, a);
    return s;
}

// A door leaf with its swing, a knob and a label: a block that shows turning and mirroring at a glance.
void door_block(JwwWriter& w)
{
    w.begin_block(1, u"door");
    w.add(line(0, 0, 20, 0, attr(1, 1)));
    w.add(line(0, 0, 0, 20, attr(5, 1)));
    w.add(arc(0, 0, 20, 0, pi / 2, attr(6, 2)));
    w.add(solid(16, 1, 19, 1, 19, 3, 16, 3, attr(2)));
    w.add(text(2, 2, 12, 2, 3, 3, 0, 1, attr(4)), kGothic, u"DOOR");
    w.end_block();
}

std::vector<uint8_t> sampler()
{
    JwwWriter w(700);
    w.Enthd.nZumen = 3; // A3
    w.Enthd.strMemo = u"Sampler\r\nevery kind of entity";
    pens_and_line_types(w);
    w.EntLgrp[1].adScale = 50;
    w.EntLgrp[1].aStrGLayName = u"scaled 1:50";
    w.EntLay[1].aanLay = 1; // greyed
    w.EntLay[2].aanLay = 0; // hidden
    w.EntLay[1].aStrLayName = u"greyed";
    w.EntLay[2].aStrLayName = u"hidden";

    // Line types 1..9 and random lines 11..15, top left.
    for (int t = 1; t <= 9; ++t) {
        const double y = 140 - t * 7.5;
        w.add(line(-200, y, -125, y, attr(1 + (t - 1) % 8, t)));
        w.add(
            text(-122, y - 1.5, -112, y - 1.5, 3, 3, 0, 1), kGothic, u"type " + std::u16string(1, char16_t(u'0' + t)));
    }
    for (int t = 11; t <= 15; ++t) {
        const double y = 140 - (t - 10) * 12;
        w.add(line(-100, y, -45, y, attr(1 + t % 8, t)));
    }
    // Line types 16..19 from the third table.
    for (int t = 16; t <= 19; ++t)
        w.add(line(-100, 62 - (t - 16) * 4.0, -45, 62 - (t - 16) * 4.0, attr(3, t)));

    // Curves, top middle.
    w.add(circle(-10, 110, 22, attr(2)));
    TEntJwwEnko ell = circle(-10, 110, 16, attr(3));
    ell.dHenpeiRitsu = 0.45;
    ell.radKatamukiKaku = pi / 6;
    w.add(ell);
    w.add(arc(45, 110, 22, pi / 4, pi, attr(4)));
    w.add(arc(45, 110, 14, 0, 1.5 * pi, attr(5, 2), 0.6, -pi / 8));
    w.add(circle(45, 110, 3, attr(6)));

    // Solids, points and markers, top right.
    w.add(solid(85, 85, 125, 85, 130, 130, 90, 125, attr(3)));
    w.add(solid_colored(135, 85, 160, 85, 160, 110, 135, 110, 0x0080FF)); // orange as 0x00BBGGRR
    w.add(solid(185, 110, 22, 1, 0, pi / 6, pi / 1.5, 0, attr(4, 101))); // sector
    w.add(solid(185, 105, 10, 0.6, 0, 0, 0, 100, attr(5, 101))); // whole ellipse
    w.add(solid(110, 75, 15, 1, 0, pi, pi, 8, attr(6, 105))); // half ring
    for (int code = 1; code <= 11; ++code)
        w.add(marker(130 + (code - 1) * 7, 68, uint32_t(code), pi / 8, 1, attr(1 + code % 8, 100)));
    w.add(point(200, 68, attr(2)));
    TEntJwwTen temp = point(200, 75, attr(2));
    temp.bKariten = 1;
    w.add(temp);

    // Texts, middle row.
    w.add(text(-200, 30, -90, 30, 6, 6, 0.5, 1, attr(1)), kGothic, u"Jw drawing サンプル");
    w.add(text(-200, 18, -120, 18, 5, 5, 0, 20001, attr(2)), kGothic, u"Bold 太字");
    w.add(text(-115, 18, -50, 18, 5, 5, 0, 10001, attr(3)), kMincho, u"Italic 斜体");
    w.add(text(-200, 6, -120, 6, 5, 5, 0, 30001, attr(4)), kGothic, u"Both 両方");
    w.add(text(-110, -5, -50, 30, 4, 4, 0, 1, attr(5)), kGothic, u"turned 30°");
    w.add(text(-30, 45, -30, -15, 6, 6, 1, 1, attr(6, 1, 0, 0, 0, 0x20)), kMincho, u"縦書きの日本語");
    w.add(text(-15, 30, 40, 30, 4, 4, 0, 1, attr(2, 1, 0, 1)), kGothic, u"%SS");
    w.add(text(-15, 20, 40, 20, 4, 4, 0, 1, attr(1)), kGothic, u"%mm");
    w.add(text(-15, 10, 40, 10, 4, 4, 0, 1, attr(1, 1, 1)), kGothic, u"greyed layer");
    w.add(text(-15, 0, 40, 0, 4, 4, 0, 1, attr(1, 1, 2)), kGothic, u"HIDDEN LAYER");
    w.add(line(-15, -6, 40, -6, attr(9)));
    w.add(text(-15, -12, 40, -12, 3, 3, 0, 1, attr(9)), kGothic, u"auxiliary");

    // A stored image (gzip), placed twice: plainly and turned with trimming.
    w.image(u"wheel.bmp.gz", gzip(picture_bmp()));
    w.add(text(60, 0, 120, 0, 3, 3), kGothic, u"^@BM%temp%wheel.bmp,64,40");
    w.add(text(135, 5, 195, 5, 3, 3), kGothic, u"^@BM%temp%wheel.bmp,48,30,0,0,1,15");

    // Dimensions, bottom left.
    w.add(dimension(-200, -60, -120, -60, -12, attr(2), 0x2000 + 0x40), kGothic, u"80");
    w.add(dimension(-110, -60, -60, -30, -10, attr(3), 0x2000 + 0x40), kGothic, u"58.31");

    // Block inserts, bottom right: plain, turned, mirrored, scaled; a nested pair; a dimension in a block.
    door_block(w);
    w.begin_block(2, u"pair");
    w.add(insert(1, 0, 0));
    w.add(insert(1, 50, 0, -1, 1));
    w.end_block();
    w.begin_block(3, u"measured");
    w.add(dimension(0, 0, 30, 0, -6, attr(4), 0x2000 + 0x40 + 0x2), kGothic, u"30");
    w.end_block();
    w.add(insert(1, -40, -140));
    w.add(insert(1, 20, -140, 1, 1, pi / 4));
    w.add(insert(1, 60, -140, -1, 1));
    w.add(insert(1, 70, -140, 1.5, 1.5));
    w.add(insert(2, 110, -140, 1, 1, pi / 2));
    w.add(insert(2, 150, -110, 0.8, 0.8));
    w.add(insert(3, -40, -80, 2, 2));
    return w.bytes();
}

std::vector<uint8_t> night()
{
    JwwWriter w(600);
    w.Enthd.nZumen = 4; // A4
    pens_and_line_types(w);
    w.EntCol[0].aPrtPenColor = 0x000000; // black background
    w.EntCol[1].aPrtPenColor = 0xFFFFFF;
    for (int i = 0; i < 12; ++i) {
        const double a = i * pi / 6;
        w.add(line(0, 0, 90 * std::cos(a), 90 * std::sin(a), attr(1 + i % 8, 1 + i % 9)));
    }
    w.add(circle(0, 0, 95, attr(1)));
    w.add(circle(0, 0, 60, attr(5, 12)));
    door_block(w);
    for (int i = 0; i < 4; ++i)
        w.add(insert(1, 0, 0, 2, 2, i * pi / 2));
    w.add(text(-120, -95, -20, -95, 6, 6, 0, 20001, attr(1)), kGothic, u"夜 night");
    return w.bytes();
}

std::vector<uint8_t> symbol()
{
    JwsWriter w(600);
    w.base_x = 0;
    w.base_y = 0;
    JwwWriter& b = w.body;
    b.add(line(-20, 0, 20, 0, attr(2, 1, 0, 0, 50)));
    b.add(line(0, -20, 0, 20, attr(2, 1, 0, 0, 50)));
    b.add(circle(0, 0, 12, attr(3, 1, 0, 0, 35)));
    b.add(solid(14, 14, 22, 14, 22, 22, 14, 22, attr(4)));
    b.add(text(-20, -30, 20, -30, 5, 5, 0, 1, attr(1)), kGothic, u"SYMBOL 記号");
    b.begin_block(1, u"tick");
    b.add(line(0, 0, 6, 0, attr(5, 1, 0, 0, 35)));
    b.end_block();
    for (int i = 0; i < 8; ++i)
        b.add(insert(1, 16 * std::cos(i * pi / 4), 16 * std::sin(i * pi / 4), 1, 1, i * pi / 4));
    return w.bytes();
}

} // namespace

std::vector<uint8_t> jww_large_drawing(int entities)
{
    JwwWriter w(600);
    w.Enthd.nZumen = 3;
    pens_and_line_types(w);
    uint32_t state = 12345;
    auto rnd = [&state](double lo, double hi) {
        state = state * 1664525u + 1013904223u;
        return lo + (hi - lo) * ((state >> 8) / double(1u << 24));
    };
    auto x = [&] { return rnd(-205, 205); };
    auto y = [&] { return rnd(-145, 145); };
    auto pen = [&](int style) { return attr(1 + int(rnd(0, 8)), style, int(rnd(0, 16)), int(rnd(0, 4))); };

    door_block(w);
    for (uint32_t d = 2; d <= 10; ++d) {
        w.begin_block(d, u"part");
        for (int i = 0; i < 12; ++i)
            w.add(line(rnd(-10, 10), rnd(-10, 10), rnd(-10, 10), rnd(-10, 10), pen(1 + i % 9)));
        w.add(arc(0, 0, 6, 0, pi, pen(1)));
        w.add(text(-5, -8, 5, -8, 2, 2, 0, 1, pen(1)), kGothic, u"部品");
        w.add(insert(d - 1, 4, 4, 0.5, 0.5, 0.3));
        w.end_block();
    }

    const int types[14] = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15 };
    for (int i = 0; i < entities; ++i) {
        const int k = i % 100;
        if (k == 0) {
            w.add(insert(uint32_t(1 + i / 100 % 10), x(), y(), rnd(0.5, 2), rnd(0.5, 2), rnd(0, 2 * pi), pen(1)));
        } else if (k < 46) {
            const double x1 = x(), y1 = y();
            w.add(line(x1, y1, x1 + rnd(-30, 30), y1 + rnd(-30, 30), pen(types[k % 14])));
        } else if (k < 66) {
            w.add(arc(x(), y(), rnd(1, 20), rnd(0, 6), rnd(0.5, 6.2), pen(1 + k % 2), rnd(0.3, 1), rnd(0, 3)));
        } else if (k < 78) {
            const double x1 = x(), y1 = y();
            w.add(text(x1, y1, x1 + 20, y1 + rnd(-5, 5), 2.5, 2.5, 0, 1, pen(1)), kGothic,
                k % 2 ? u"図面 text" : u"寸法 1234");
        } else if (k < 90) {
            const double x1 = x(), y1 = y();
            w.add(solid(x1, y1, x1 + 5, y1, x1 + 6, y1 + 4, x1, y1 + 5, pen(1)));
        } else if (k < 96) {
            w.add(k % 2 ? point(x(), y(), pen(1)) : marker(x(), y(), uint32_t(1 + k % 11), rnd(0, 6), 1));
        } else {
            const double x1 = x(), y1 = y();
            w.add(dimension(x1, y1, x1 + 40, y1, -8, pen(1), 0x2000 + 0x40 + 0x2), kGothic, u"40");
        }
    }
    return w.bytes();
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> jww_example_files()
{
    return { { "jww_sampler.jww", sampler() }, { "jww_night.jww", night() }, { "jws_symbol.jws", symbol() } };
}

bool write_jww_examples(const std::string& folder)
{
    bool ok = true;
    for (const auto& [name, bytes] : jww_example_files()) {
        std::ofstream f(folder + "/" + name, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        ok = ok && bool(f);
    }
    return ok;
}

} // namespace jwwtest
