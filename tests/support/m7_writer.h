// Builds ".m7" files byte by byte for tests: every document-level and object chunk, and raw chunks.
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace m7w {

// Little-endian byte builder; `text` writes a fixed-length field padded with zeros (and cut to fit).
class Bytes {
public:
    Bytes& u8(uint8_t v);
    Bytes& i16(int16_t v);
    Bytes& u16(uint16_t v);
    Bytes& i32(int32_t v);
    Bytes& u32(uint32_t v);
    Bytes& f64(double v);
    Bytes& pt(double x, double y) { return f64(x).f64(y); }
    Bytes& text(std::string_view bytes, size_t field);
    Bytes& raw(std::string_view bytes);
    Bytes& raw(const std::vector<uint8_t>& bytes);
    Bytes& zeros(size_t n);
    Bytes& fill(uint8_t v, size_t n);
    Bytes& append(const Bytes& b) { return raw(b.data); }
    size_t size() const { return data.size(); }

    std::vector<uint8_t> data;
};

// Shift_JIS (code page 932) bytes of a UTF-8 text.
std::string sjis(std::string_view utf8);

struct Head {
    int32_t id = 0;
    uint8_t cotype = 0;
    uint16_t attr = 0;
    uint32_t color = 0;
};
uint16_t attr(int ly, int lg, int col, int typ);

struct EdgeEnd {
    double sx = 0, sy = 0, le = 0, ox = 0, oy = 0, r1 = 0, r2 = 0, ea = 0, an = 0;
    uint8_t sty = 0, ext = 0, exa = 0;
    double pa1 = 0, pa2 = 0;
};
struct Edge {
    EdgeEnd start {};
    EdgeEnd finish {};
};

struct Style {
    std::string style {}; // code page 932 bytes
    std::string font {};
    double hight = 0, width = 0, spce = 0, ofx = 0, ofy = 0;
    uint8_t penno = 0, txattr = 0, charset = 0, pitch = 0;
    int32_t count = 0;
};

struct Pt {
    double x = 0, y = 0;
};

// ---- Record bodies, laid out as the file holds them.
Bytes head_bytes(const Head& h);
Bytes edge_bytes(const Edge& e);
Bytes style_bytes(const Style& s);

struct Layer {
    uint8_t state = 2, attr = 0;
    uint32_t color = 0;
    std::string name {}, module {};
    int32_t comid = 0;
};
struct LayerGroup {
    uint8_t state = 2, current = 0;
    std::string name {};
    double scale = 1.0;
    std::array<Layer, 17> layer {};
};
Bytes layers_body(uint8_t current, const std::array<LayerGroup, 16>& groups);
Bytes paper_body(uint8_t typ, uint8_t lout, double x1, double y1, double x2, double y2);
Bytes axis_body(int32_t mode, double angle);
struct Grid {
    double ox = 0, oy = 0, sx = 0, sy = 0;
    int32_t dvx = 0, dvy = 0, disp = 0, snapmain = 0, snapsub = 0, typ = 0, angle = 0, ind = 0, abs = 0, top = 0;
};
Bytes grid_body(const Grid& g);
Bytes text_styles_body(const std::array<Style, 21>& s);
struct DimStyle {
    std::string style {};
    int32_t txtstlno = 0;
    double dlen = 0, xlen = 0, tlen = 0;
    uint8_t pen = 0, term = 0;
    double elen = 0;
};
Bytes dim_styles_body(const std::array<DimStyle, 20>& d);
// Point style in the second form entry: diameter and pen.
Bytes symbol_style_body(uint8_t pstl, uint8_t astl, double point_diameter, int32_t point_pen);
struct LineType {
    int32_t kind = 0, count = 0;
    std::array<uint32_t, 10> seg {};
};
Bytes print_style_body(const std::array<LineType, 16>& lt, const std::array<int32_t, 16>& width);
Bytes print_info_body(uint8_t ind, uint8_t base, uint8_t area, double x, double y);
Bytes color_table_body(const std::array<uint32_t, 272>& c);
struct View {
    std::string name {};
    double zoom = 0;
    int32_t ox = 0, oy = 0;
    uint32_t color = 0;
    int32_t penno = 0, ltype = 0;
    uint8_t grp_fill = 0;
};
Bytes views_body(const std::array<View, 32>& v);

Bytes point_body(const Head& h, Pt p);
Bytes line_body(const Head& h, Pt a, Pt b);
Bytes circle_body(const Head& h, Pt c, double r, double sa, double ea);
Bytes ellipse_body(const Head& h, Pt c, double r1, double r2, double sa, double ea, double tilt);
struct Symbol {
    Pt pos {};
    double len = 0;
    Pt o {};
    double r1 = 0, r2 = 0, elipang = 0, angle = 0;
    uint8_t style = 0, extype = 0, exattr = 0;
    double p1 = 0, p2 = 0;
};
Bytes symbol_body(const Head& h, const Symbol& s);
Bytes text_body(const Head& h, Pt pos, double angle, uint8_t style, uint8_t base, uint8_t lout, std::string_view text);
// `cnt` is written as given; `pts` are the points that follow it.
Bytes chain_body(const Head& h, uint8_t typ, int16_t cnt, const std::vector<Pt>& pts);
Bytes polygon_body(const Head& h, int32_t ptn, int16_t cnt, const std::vector<Pt>& pts);
struct Grad {
    int32_t typ = 0;
    uint32_t c0 = 0, c1 = 0;
    Pt p0 {}, p1 {};
    double angle = 0;
};
Bytes grad_bytes(const Grad& g);
struct Mapping {
    Pt p0 {}, p1 {};
    int32_t w = 0, h = 0, depth = 0;
    uint8_t pal_fill = 0;
    std::vector<uint8_t> pixels {};
};
Bytes mapping_bytes(const Mapping& m);
// `byt` is written as given; `data` follows the corners.
Bytes bitmap_body(
    const Head& h, int32_t byt, int32_t typ, const std::array<Pt, 4>& corners, const std::vector<uint8_t>& data);
Bytes group_part(const Head& h, const std::array<Pt, 3>& pos, int32_t cnt, std::string_view name);
struct Dim {
    double angle = 0, r = 0, funit = 0;
    std::array<double, 4> rc {};
    std::array<Pt, 4> pos {};
    std::array<double, 2> ang {};
    uint8_t base = 0, bunit = 0, point = 0, strip = 0, camma = 0, jtype = 0;
    Style txt {}, eps {};
};
Bytes dim_bytes(const Dim& d);
struct Anno {
    uint8_t align = 0, symb = 0, camma = 0, jtype = 0;
    int16_t line = 0;
    double spce = 0, angle = 0;
    Style txt {}, eps {};
    std::array<double, 4> rc {};
    double rcang = 0;
};
Bytes anno_bytes(const Anno& a);
struct Balloon {
    uint8_t aux = 0, symb = 0;
    double angle = 0;
    Style txt {};
    std::array<double, 4> rc {};
    double rcang = 0;
};
Bytes balloon_bytes(const Balloon& b);

// A file as a sequence of chunks.
class Writer {
public:
    // The chunk's length is the body's size.
    Writer& chunk(int16_t type, uint16_t version, const Bytes& body);
    // Any length, whatever the body holds: for hostile and truncated chunks.
    Writer& chunk_len(int16_t type, uint16_t version, int32_t length, const Bytes& body);
    Writer& raw(const Bytes& b);

    Writer& title(std::string_view sjis_bytes) { return chunk(1000, 10, Bytes().raw(sjis_bytes)); }
    Writer& paper(uint8_t typ, uint8_t lout, double x1, double y1, double x2, double y2)
    {
        return chunk(1020, 20, paper_body(typ, lout, x1, y1, x2, y2));
    }
    Writer& point(const Head& h, Pt p) { return chunk(2001, 20, point_body(h, p)); }
    Writer& line(const Head& h, Pt a, Pt b) { return chunk(2002, 20, line_body(h, a, b)); }
    Writer& group(const Head& h, int32_t cnt, std::string_view name)
    {
        return chunk(2032, 20, group_part(h, {}, cnt, name));
    }

    const std::vector<uint8_t>& bytes() const { return out_; }
    void save(const std::filesystem::path& p) const;

private:
    std::vector<uint8_t> out_;
};

// Small named drawings covering every chunk kind, plus a few hostile ones: the fuzzer's seeds.
struct Sample {
    std::string name;
    std::vector<uint8_t> bytes;
};
std::vector<Sample> samples();

} // namespace m7w
