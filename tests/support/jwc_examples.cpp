// The example ".jwc" drawing and ".jwk" symbol of examples/, built by the test writers.
#include "tests/support/jwc_examples.h"

#include <cmath>
#include <fstream>
#include <string_view>

#include "platform/Cp932.h"
#include "tests/support/jwc_writer.h"

namespace test_jwc {
namespace {

std::string sjis(std::u16string_view text) { return platform::utf16_to_cp932(text); }

// The sampler keeps the usual drawing width of 518 units across its A3 sheet, so millimetres are converted.
constexpr int kDrawWidth = 518;
constexpr double kUnitsPerMm = kDrawWidth / 420.0;

float u(double mm) { return float(mm * kUnitsPerMm); }

class Sampler {
public:
    JwcFile f;

    void line(double x1, double y1, double x2, double y2, int col, int typ = 1, int lay = 0)
    {
        Line e;
        e.x1 = u(x1);
        e.y1 = u(y1);
        e.x2 = u(x2);
        e.y2 = u(y2);
        e.col = uint8_t(col);
        e.typ = uint8_t(typ);
        e.lay = uint8_t(lay);
        f.lines.push_back(e);
    }

    void box(double x1, double y1, double x2, double y2, int col, int typ = 1, int lay = 0)
    {
        line(x1, y1, x2, y1, col, typ, lay);
        line(x2, y1, x2, y2, col, typ, lay);
        line(x2, y2, x1, y2, col, typ, lay);
        line(x1, y2, x1, y1, col, typ, lay);
    }

    void arc(double x, double y, double r, double h, double st, double et, double tt, int col, int typ = 1, int lay = 0)
    {
        Arc e;
        e.x = u(x);
        e.y = u(y);
        e.r = u(r);
        e.h = h;
        e.st = st;
        e.et = et;
        e.tt = tt;
        e.col = uint8_t(col);
        e.typ = uint8_t(typ);
        e.lay = uint8_t(lay);
        f.arcs.push_back(e);
    }

    void circle(double x, double y, double r, int col, int typ = 1, int lay = 0)
    {
        arc(x, y, r, 1.0, 0, 360, 0, col, typ, lay);
    }

    void text(
        double x1, double y1, double x2, double y2, int no, std::u16string_view s, bool vertical = false, int lay = 0)
    {
        Text e;
        e.x1 = u(x1);
        e.y1 = u(y1);
        e.x2 = u(x2);
        e.y2 = u(y2);
        e.no = uint8_t(no);
        e.lay = uint8_t(lay);
        e.flg1 = vertical ? 0x20 : 0;
        e.bytes = sjis(s);
        f.texts.push_back(e);
    }

    void point(double x, double y, int col, int lay = 0)
    {
        Point e;
        e.x = u(x);
        e.y = u(y);
        e.col = uint8_t(col);
        e.lay = uint8_t(lay);
        f.points.push_back(e);
    }

    void temp_point(double x, double y)
    {
        f.vten_count += 1;
        f.vten[size_t(f.vten_count)] = { u(x), u(y), 0 };
    }
};

std::u16string number(int n)
{
    std::u16string s;
    for (char c : std::to_string(n))
        s.push_back(char16_t(c));
    return s;
}

std::string jwc_sampler()
{
    Sampler d;
    JwcFile& f = d.f;
    f.psize = 3;
    f.draw_width = kDrawWidth;
    f.comment1 = sjis(u"サンプル図面");
    f.comment2 = sjis(u"線種・線色・文字");

    // Text types 1..10: pen, width and height in tenths of a millimetre, spacing.
    const TextType types[11] = {
        { 2, 20, 20, 0 },
        { 2, 25, 25, 0 },
        { 2, 35, 35, 5 },
        { 6, 50, 50, 5 },
        { 5, 70, 70, 10 },
        { 8, 40, 60, 10 },
        { 3, 30, 30, 20 },
        { 4, 40, 40, 5 },
        { 7, 100, 100, 10 },
        { 2, 30, 30, 0 },
        { 2, 45, 45, 5 },
    };
    for (size_t i = 0; i < 11; ++i)
        f.text_types[i] = types[i];

    // Group 0 normal, group 1 display only (greyed); group scales 1:100 and 1:50.
    f.group_scale.fill(100.0f);
    f.group_scale[1] = 50.0f;
    f.group_srch[1] = 0;
    f.group_names[0] = sjis(u"平面図");
    f.group_names[1] = sjis(u"下書き");
    f.layer_names[0] = sjis(u"外形");
    f.layer_names[1] = sjis(u"文字");
    f.layer_names[16] = sjis(u"参考");

    // Sheet border and title block.
    d.box(10, 10, 410, 287, 2);
    d.box(290, 10, 410, 50, 2);
    d.line(290, 30, 410, 30, 2);
    d.line(340, 10, 340, 30, 2);
    d.text(295, 36, 405, 36, 4, u"ＪＷＣ サンプル図面", false, 1);
    d.text(295, 16, 335, 16, 2, u"縮尺 1:100", false, 1);
    d.text(345, 16, 405, 16, 2, u"A3  Torvane", false, 1);

    // Line types 1..9, each in the pen colour of its number.
    d.text(20, 272, 200, 272, 3, u"線種と線色", false, 1);
    for (int i = 1; i <= 9; ++i) {
        const double y = 262 - (i - 1) * 10;
        d.line(60, y, 200, y, i, i);
        d.text(20, y - 1, 55, y - 1, 1, u"線種 " + number(i), false, 1);
    }
    // Random lines 11..15 and double-length types 16..19.
    const int random_cols[5] = { 2, 3, 5, 6, 8 };
    for (int k = 0; k < 5; ++k) {
        const double y = 160 - k * 9;
        d.line(60, y, 200, y, random_cols[k], 11 + k);
        d.text(20, y - 1, 55, y - 1, 1, u"乱線 " + number(11 + k), false, 1);
    }
    for (int k = 0; k < 4; ++k) {
        const double y = 112 - k * 8;
        d.line(60, y, 200, y, 4 + k, 16 + k);
        d.text(20, y - 1, 55, y - 1, 1, u"倍長 " + number(16 + k), false, 1);
    }

    // Curves: circles, arcs (one across 0 degrees), a tilted ellipse and elliptic arc, a random-line circle.
    d.text(220, 272, 400, 272, 3, u"円・円弧・楕円", false, 1);
    d.circle(255, 235, 25, 2);
    d.circle(255, 235, 15, 3, 3);
    d.point(255, 235, 2);
    d.arc(335, 235, 25, 1.0, 30, 150, 0, 5);
    d.arc(335, 235, 25, 1.0, 330, 30, 0, 6, 2);
    d.arc(335, 235, 12, 1.0, 180, 360, 0, 7, 4);
    d.arc(255, 165, 35, 0.5, 0, 360, 30, 4);
    d.arc(355, 165, 35, 0.6, 0, 200, -20, 8, 5);
    d.circle(385, 235, 10, 3, 12);
    d.text(225, 122, 285, 122, 1, u"楕円 30°");
    d.text(325, 122, 395, 122, 1, u"楕円弧 0°〜200°");

    // Texts: sizes, Japanese, a turned base line and vertical writing.
    d.text(20, 60, 150, 60, 10, u"ABC abc 123 (type 10)", false, 1);
    d.text(20, 45, 150, 45, 5, u"日本語の文字", false, 1);
    d.text(20, 25, 150, 25, 8, u"ＪＩＳ漢字：東京都", false, 1);
    d.text(165, 20, 165 + 60 * std::cos(0.5), 20 + 60 * std::sin(0.5), 7, u"斜めの文字列", false, 1);
    d.text(225, 105, 225, 60, 6, u"縦書き文字", true, 1);
    d.text(245, 105, 245, 60, 3, u"たてがき", true, 1);

    // Points in several colours along a row, and temporary points.
    for (int i = 1; i <= 8; ++i)
        d.point(265 + i * 9, 90, i);
    d.temp_point(275, 75);
    d.temp_point(300, 75);
    d.temp_point(325, 75);

    // A greyed sketch on a display-only layer of group 1.
    d.box(345, 60, 400, 100, 2, 1, 16);
    d.line(345, 60, 400, 100, 2, 2, 16);
    d.text(350, 102, 400, 102, 1, u"参考（表示のみ）", false, 16);
    return f.bytes();
}

// A compass mark at 1:50: file units are fifty times the millimetres, and the reference point lies at its
// lower-left so that it stays clear of the drawing.
std::string jwk_compass()
{
    constexpr double kScale = 50;
    auto s = [](double mm) { return float(mm * kScale); };
    JwkFile f;
    f.comment1 = sjis(u"方位記号");
    f.comment2 = sjis(u"北");
    f.scale = "50";
    const double cx = 25, cy = 25;

    auto line = [&](double x1, double y1, double x2, double y2, int col, int typ) {
        Line e;
        e.x1 = s(cx + x1);
        e.y1 = s(cy + y1);
        e.x2 = s(cx + x2);
        e.y2 = s(cy + y2);
        e.col = uint8_t(col);
        e.typ = uint8_t(typ);
        f.lines.push_back(e);
    };
    auto arc = [&](double x, double y, double r, double h, double st, double et, double tt, int col, int typ) {
        Arc e;
        e.x = s(cx + x);
        e.y = s(cy + y);
        e.r = s(r);
        e.h = h;
        e.st = st;
        e.et = et;
        e.tt = tt;
        e.col = uint8_t(col);
        e.typ = uint8_t(typ);
        f.arcs.push_back(e);
    };
    auto text = [&](double x1, double y1, double x2, double y2, int no, std::u16string_view t, bool vertical) {
        Text e;
        e.x1 = s(cx + x1);
        e.y1 = s(cy + y1);
        e.x2 = s(cx + x2);
        e.y2 = s(cy + y2);
        e.no = uint8_t(no);
        e.flg1 = vertical ? 0x20 : 0;
        e.bytes = sjis(t);
        f.texts.push_back(e);
    };
    auto point = [&](double x, double y, int col) {
        Point e;
        e.x = s(cx + x);
        e.y = s(cy + y);
        e.col = uint8_t(col);
        f.points.push_back(e);
    };

    arc(0, 0, 15, 1.0, 0, 360, 0, 2, 1);
    arc(0, 0, 11, 1.0, 0, 360, 0, 3, 2);
    arc(0, 0, 18, 1.0, 20, 160, 0, 5, 11);
    arc(0, -22, 8, 0.4, 0, 360, 15, 7, 1);
    // The needle: north half outlined in red, south half in blue, with a cross of dotted lines.
    line(0, 14, -4, 0, 8, 1);
    line(-4, 0, 0, -14, 6, 1);
    line(0, -14, 4, 0, 6, 1);
    line(4, 0, 0, 14, 8, 1);
    line(0, 14, 0, -14, 2, 1);
    // The north arrow above the ring; texts widen the extents only by their base line, so the arrow also
    // keeps the "N" beside it inside the picture.
    line(0, 19, 0, 27, 2, 1);
    line(0, 27, -1.5, 24, 2, 1);
    line(0, 27, 1.5, 24, 2, 1);
    line(-15, 0, 15, 0, 1, 4);
    line(-12, -12, 12, 12, 4, 9);
    line(-12, 12, 12, -12, 4, 7);
    text(1.5, 21, 4.5, 21, 4, u"N", false);
    text(-2, -30, 2, -30, 3, u"北↑", false);
    text(22, 10, 22, -15, 2, u"方位記号", true);
    point(0, 0, 2);
    point(-15, 0, 3);
    point(15, 0, 5);
    point(0, -22, 8);
    return f.bytes();
}

} // namespace

std::vector<std::pair<std::string, std::string>> jwc_example_files()
{
    return { { "jwc_sampler.jwc", jwc_sampler() }, { "jwk_compass.jwk", jwk_compass() } };
}

bool write_jwc_examples(const std::filesystem::path& folder)
{
    for (const auto& [name, bytes] : jwc_example_files()) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        if (!out)
            return false;
    }
    return true;
}

} // namespace test_jwc
