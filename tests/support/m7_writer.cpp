// Byte layouts of the ".m7" chunks as the test writer lays them out.
#include "tests/support/m7_writer.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <stdexcept>

#include "platform/Cp932.h"

namespace m7w {
namespace {

// Every block has a fixed size in the file; a writer slip must not pass silently into a test.
Bytes sized(Bytes b, size_t expected, const char* what)
{
    if (b.size() != expected)
        throw std::logic_error(std::string("m7 writer: wrong size of ") + what);
    return b;
}

} // namespace

Bytes& Bytes::u8(uint8_t v)
{
    data.push_back(v);
    return *this;
}

Bytes& Bytes::u16(uint16_t v) { return u8(uint8_t(v)).u8(uint8_t(v >> 8)); }

Bytes& Bytes::i16(int16_t v) { return u16(uint16_t(v)); }

Bytes& Bytes::u32(uint32_t v) { return u16(uint16_t(v)).u16(uint16_t(v >> 16)); }

Bytes& Bytes::i32(int32_t v) { return u32(uint32_t(v)); }

Bytes& Bytes::f64(double v)
{
    uint64_t u = std::bit_cast<uint64_t>(v);
    return u32(uint32_t(u)).u32(uint32_t(u >> 32));
}

Bytes& Bytes::text(std::string_view bytes, size_t field)
{
    size_t n = std::min(bytes.size(), field);
    raw(bytes.substr(0, n));
    return zeros(field - n);
}

Bytes& Bytes::raw(std::string_view bytes)
{
    data.insert(data.end(), bytes.begin(), bytes.end());
    return *this;
}

Bytes& Bytes::raw(const std::vector<uint8_t>& bytes)
{
    data.insert(data.end(), bytes.begin(), bytes.end());
    return *this;
}

Bytes& Bytes::zeros(size_t n) { return fill(0, n); }

Bytes& Bytes::fill(uint8_t v, size_t n)
{
    data.insert(data.end(), n, v);
    return *this;
}

std::string sjis(std::string_view utf8) { return platform::utf16_to_cp932(platform::utf8_to_utf16(utf8)); }

uint16_t attr(int ly, int lg, int col, int typ)
{
    return uint16_t((ly & 15) << 12 | (lg & 15) << 8 | (col & 15) << 4 | (typ & 15));
}

Bytes head_bytes(const Head& h)
{
    return sized(Bytes().i32(h.id).u8(h.cotype).u16(h.attr).u32(h.color), 11, "object header");
}

Bytes edge_bytes(const Edge& e)
{
    Bytes b;
    for (const EdgeEnd* h : { &e.start, &e.finish }) {
        b.zeros(40);
        b.f64(h->sx).f64(h->sy).f64(h->le).f64(h->ox).f64(h->oy).f64(h->r1).f64(h->r2).f64(h->ea).f64(h->an);
        b.u8(h->sty).u8(h->ext).u8(h->exa).f64(h->pa1).f64(h->pa2);
    }
    return sized(b, 262, "edge block");
}

Bytes style_bytes(const Style& s)
{
    Bytes b;
    b.text(s.style, 17).text(s.font, 33).f64(s.hight).f64(s.width).f64(s.spce).pt(s.ofx, s.ofy);
    b.u8(s.penno).u8(s.txattr).u8(s.charset).u8(s.pitch).zeros(12).i32(s.count);
    return sized(b, 110, "style block");
}

Bytes layers_body(uint8_t current, const std::array<LayerGroup, 16>& groups)
{
    Bytes b;
    b.u8(current);
    for (const auto& g : groups) {
        b.u8(g.state).u8(g.current).text(g.name, 17).f64(g.scale).zeros(128);
        for (const auto& l : g.layer)
            b.u8(l.state).u8(l.attr).u32(l.color).i32(0).text(l.name, 257).text(l.module, 17).i32(l.comid).zeros(32);
    }
    return sized(b, 89521, "layer chunk");
}

Bytes paper_body(uint8_t typ, uint8_t lout, double x1, double y1, double x2, double y2)
{
    return sized(Bytes().u8(typ).u8(lout).f64(x1).f64(y1).f64(x2).f64(y2), 34, "paper");
}

Bytes axis_body(int32_t mode, double angle) { return sized(Bytes().i32(mode).f64(angle).zeros(128), 140, "axis"); }

Bytes grid_body(const Grid& g)
{
    Bytes b;
    b.pt(g.ox, g.oy).pt(g.sx, g.sy).i32(g.dvx).i32(g.dvy);
    b.i32(g.disp).i32(g.snapmain).i32(g.snapsub).i32(g.typ).i32(g.angle).i32(g.ind).i32(g.abs).i32(g.top);
    return sized(b.zeros(108), 180, "grid");
}

Bytes text_styles_body(const std::array<Style, 21>& s)
{
    Bytes b;
    for (const auto& e : s)
        b.append(style_bytes(e));
    return sized(b, 21 * 110, "text styles");
}

Bytes dim_styles_body(const std::array<DimStyle, 20>& d)
{
    Bytes b;
    for (const auto& e : d) {
        b.text(e.style, 16).i32(e.txtstlno).f64(e.dlen).f64(e.xlen).f64(e.tlen);
        b.u8(e.pen).u8(e.term).zeros(3).f64(e.elen).zeros(16);
    }
    return sized(b, 20 * 73, "dimension styles");
}

Bytes symbol_style_body(uint8_t pstl, uint8_t astl, double point_diameter, int32_t point_pen)
{
    Bytes b;
    b.u8(pstl).u8(astl).zeros(8);
    b.zeros(52); // form[0]
    b.f64(point_diameter).zeros(8).i32(point_pen).zeros(32); // form[1]
    b.zeros(20 * 52);
    return sized(b, 1154, "symbol styles");
}

Bytes print_style_body(const std::array<LineType, 16>& lt, const std::array<int32_t, 16>& width)
{
    Bytes b;
    for (const auto& t : lt) {
        b.i32(t.kind).i32(t.count);
        for (uint32_t s : t.seg)
            b.u32(s);
    }
    for (int32_t w : width)
        b.i32(w);
    return sized(b, 832, "print styles");
}

Bytes print_info_body(uint8_t ind, uint8_t base, uint8_t area, double x, double y)
{
    return sized(Bytes().u8(ind).u8(base).u8(area).u8(0).pt(x, y).zeros(64), 84, "print info");
}

Bytes color_table_body(const std::array<uint32_t, 272>& c)
{
    Bytes b;
    for (uint32_t v : c)
        b.u32(v);
    return sized(b, 1088, "colour table");
}

Bytes views_body(const std::array<View, 32>& v)
{
    Bytes b;
    for (const auto& e : v) {
        b.text(e.name, 17).f64(e.zoom).i32(e.ox).i32(e.oy).u32(e.color).i32(e.penno).i32(e.ltype);
        b.fill(e.grp_fill, 16 * 17).zeros(8);
    }
    return sized(b, 32 * 325, "views");
}

Bytes point_body(const Head& h, Pt p) { return sized(head_bytes(h).pt(p.x, p.y), 27, "point"); }

Bytes line_body(const Head& h, Pt a, Pt b) { return sized(head_bytes(h).pt(a.x, a.y).pt(b.x, b.y), 43, "line"); }

Bytes circle_body(const Head& h, Pt c, double r, double sa, double ea)
{
    return sized(head_bytes(h).pt(c.x, c.y).f64(r).f64(sa).f64(ea), 51, "circle");
}

Bytes ellipse_body(const Head& h, Pt c, double r1, double r2, double sa, double ea, double tilt)
{
    return sized(head_bytes(h).pt(c.x, c.y).f64(r1).f64(r2).f64(sa).f64(ea).f64(tilt), 67, "ellipse");
}

Bytes symbol_body(const Head& h, const Symbol& s)
{
    Bytes b = head_bytes(h);
    b.pt(s.pos.x, s.pos.y).f64(s.len).pt(s.o.x, s.o.y).f64(s.r1).f64(s.r2).f64(s.elipang).f64(s.angle);
    b.u8(s.style).u8(s.extype).u8(s.exattr).f64(s.p1).f64(s.p2);
    return sized(b, 102, "symbol");
}

Bytes text_body(const Head& h, Pt pos, double angle, uint8_t style, uint8_t base, uint8_t lout, std::string_view text)
{
    return head_bytes(h).pt(pos.x, pos.y).f64(angle).u8(style).u8(base).u8(lout).raw(text);
}

Bytes chain_body(const Head& h, uint8_t typ, int16_t cnt, const std::vector<Pt>& pts)
{
    Bytes b = head_bytes(h).u8(typ).i16(cnt);
    for (const auto& p : pts)
        b.pt(p.x, p.y);
    return b;
}

Bytes polygon_body(const Head& h, int32_t ptn, int16_t cnt, const std::vector<Pt>& pts)
{
    Bytes b = head_bytes(h).i32(ptn).i16(cnt);
    for (const auto& p : pts)
        b.pt(p.x, p.y);
    return b;
}

Bytes grad_bytes(const Grad& g)
{
    Bytes b;
    b.i32(g.typ).i32(0).u32(g.c0).u32(g.c1).pt(g.p0.x, g.p0.y).pt(g.p1.x, g.p1.y).f64(g.angle);
    return sized(b, 56, "gradient");
}

Bytes mapping_bytes(const Mapping& m)
{
    Bytes b;
    b.zeros(4).pt(m.p0.x, m.p0.y).pt(m.p1.x, m.p1.y).i32(m.w).i32(m.h).i32(m.depth).fill(m.pal_fill, 1024);
    sized(b, 1072, "mapping");
    return b.raw(m.pixels);
}

Bytes bitmap_body(
    const Head& h, int32_t byt, int32_t typ, const std::array<Pt, 4>& corners, const std::vector<uint8_t>& data)
{
    Bytes b = head_bytes(h).i32(byt).i32(typ);
    for (const auto& p : corners)
        b.pt(p.x, p.y);
    sized(b, 83, "bitmap part");
    return b.raw(data);
}

Bytes group_part(const Head& h, const std::array<Pt, 3>& pos, int32_t cnt, std::string_view name)
{
    Bytes b = head_bytes(h);
    for (const auto& p : pos)
        b.pt(p.x, p.y);
    b.i32(cnt);
    sized(b, 63, "group part");
    return b.raw(name);
}

Bytes dim_bytes(const Dim& d)
{
    Bytes b;
    for (double v : d.rc)
        b.f64(v);
    b.f64(d.angle);
    for (const auto& p : d.pos)
        b.pt(p.x, p.y);
    b.f64(d.ang[0]).f64(d.ang[1]).f64(d.r).f64(d.funit);
    b.u8(d.base).u8(d.bunit).u8(d.point).u8(d.strip).u8(d.camma).u8(d.jtype);
    b.append(style_bytes(d.txt)).append(style_bytes(d.eps)).zeros(10);
    return sized(b, 372, "dimension block");
}

Bytes anno_bytes(const Anno& a)
{
    Bytes b;
    b.u8(a.align).u8(a.symb).u8(a.camma).u8(a.jtype).i16(a.line).f64(a.spce).f64(a.angle);
    b.append(style_bytes(a.txt)).append(style_bytes(a.eps));
    for (double v : a.rc)
        b.f64(v);
    b.f64(a.rcang);
    return sized(b, 282, "annotation block");
}

Bytes balloon_bytes(const Balloon& a)
{
    Bytes b;
    b.u8(a.aux).u8(a.symb).f64(a.angle).append(style_bytes(a.txt));
    for (double v : a.rc)
        b.f64(v);
    b.f64(a.rcang);
    return sized(b, 160, "balloon block");
}

Writer& Writer::chunk(int16_t type, uint16_t version, const Bytes& body)
{
    return chunk_len(type, version, int32_t(body.size()), body);
}

Writer& Writer::chunk_len(int16_t type, uint16_t version, int32_t length, const Bytes& body)
{
    Bytes h;
    h.i16(type).u16(version).i32(length);
    out_.insert(out_.end(), h.data.begin(), h.data.end());
    out_.insert(out_.end(), body.data.begin(), body.data.end());
    return *this;
}

Writer& Writer::raw(const Bytes& b)
{
    out_.insert(out_.end(), b.data.begin(), b.data.end());
    return *this;
}

void Writer::save(const std::filesystem::path& p) const
{
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(out_.data()), std::streamsize(out_.size()));
    if (!f)
        throw std::runtime_error("m7 writer: cannot write " + p.string());
}

std::vector<Sample> samples()
{
    std::vector<Sample> out;
    auto add = [&](const char* name, const Writer& w) { out.push_back({ name, w.bytes() }); };

    std::array<Style, 21> styles {};
    styles[0] = { .style = "STD", .font = sjis("ＭＳ ゴシック"), .hight = 3, .width = 3, .spce = 0.5, .penno = 2 };
    styles[1] = { .style = "BIG", .font = "Arial", .hight = 10, .width = 0.5, .txattr = 1 };
    std::array<LineType, 16> lts {};
    lts[1] = { .kind = 1 };
    lts[7] = { .kind = 7, .count = 4, .seg = { 200, 100, 50, 100 } };
    std::array<int32_t, 16> widths {};
    widths.fill(25);
    Head h { .id = 1, .attr = attr(0, 0, 6, 1), .color = 0x0000FF };
    Edge edge;
    edge.start = { .sx = 0, .sy = 0, .le = 3, .r1 = 1, .r2 = 1, .sty = 1 };
    edge.finish = { .sx = 10, .sy = 0, .le = 3, .r1 = 1, .r2 = 1, .sty = 2 };

    Writer doc;
    doc.title(sjis("全チャンク"));
    std::array<LayerGroup, 16> groups {};
    groups[0].scale = 1;
    groups[1].scale = 100;
    groups[2].state = 1;
    // The first two layer groups and four views keep the seed small; the rest stay at their defaults.
    Bytes layers = layers_body(0, groups);
    layers.data.resize(1 + 2 * 5595);
    doc.chunk(1010, 20, layers);
    doc.paper(3, 0, 0, 0, 420, 297);
    doc.chunk(1030, 10, axis_body(0, 0));
    doc.chunk(1040, 10, grid_body({ .dvx = 5, .dvy = 5, .snapmain = 1, .snapsub = 1, .angle = 1 }));
    doc.chunk(1050, 30, text_styles_body(styles));
    doc.chunk(1060, 30, dim_styles_body({}));
    doc.chunk(1060, 40, Bytes().f64(1).zeros(70).f64(1).zeros(70).f64(1).zeros(70));
    doc.chunk(1070, 20, symbol_style_body(0, 0, 1.0, 0));
    doc.chunk(1080, 20, print_style_body(lts, widths));
    doc.chunk(1085, 10, print_info_body(0, 0, 0, 0, 0));
    doc.chunk(1090, 20, color_table_body({}));
    Bytes views = views_body({});
    views.data.resize(4 * 325);
    doc.chunk(1100, 20, views);
    add("document_only", doc);

    Writer obj;
    obj.title("objects");
    obj.paper(3, 0, 0, 0, 420, 297);
    obj.chunk(1050, 30, text_styles_body(styles));
    obj.chunk(1070, 20, symbol_style_body(0, 0, 1.5, 3));
    obj.chunk(1080, 20, print_style_body(lts, widths));
    obj.point(h, { 10, 10 });
    obj.line(h, { 20, 20 }, { 120, 20 });
    obj.chunk(2002, 30, line_body(h, { 20, 30 }, { 120, 30 }).append(edge_bytes(edge)));
    obj.chunk(2003, 20, circle_body(h, { 200, 100 }, 30, 0, 0));
    obj.chunk(2003, 30, circle_body(h, { 200, 100 }, 40, 0, 1.5).append(edge_bytes(edge)));
    obj.chunk(2005, 20, ellipse_body(h, { 300, 100 }, 40, 20, 0, 0, 0.3));
    obj.chunk(2005, 30, ellipse_body(h, { 300, 150 }, 40, 20, 0.5, 2, 0.3).append(edge_bytes(edge)));
    obj.chunk(2007, 20, text_body(h, { 20, 200 }, 0, 0, 0, 0, sjis("文字 text")));
    obj.chunk(2007, 30, text_body(h, { 20, 220 }, 0.2, 0, 0, 1, sjis("縦書き")).append(style_bytes(styles[1])));
    std::vector<Pt> zig = { { 10, 250 }, { 30, 270 }, { 50, 250 }, { 70, 270 } };
    obj.chunk(2008, 20, chain_body(h, 0, 4, zig));
    obj.chunk(2008, 30, chain_body(h, 0, 4, zig).append(edge_bytes(edge)));
    obj.chunk(2017, 20, chain_body(h, 0, 4, zig));
    obj.chunk(2017, 30, chain_body(h, 0, 4, zig).append(edge_bytes(edge)));
    std::vector<Pt> sq = { { 300, 200 }, { 350, 200 }, { 350, 250 }, { 300, 250 } };
    obj.chunk(2009, 40, polygon_body(h, 1, 4, sq));
    obj.chunk(2009, 50, polygon_body(h, 0, 4, sq).append(grad_bytes({ .typ = 1, .c0 = 0xFF, .c1 = 0xFF0000 })));
    obj.chunk(2009, 60,
        polygon_body(h, 0, 4, sq)
            .append(mapping_bytes({ .w = 2, .h = 2, .depth = 24, .pixels = std::vector<uint8_t>(16, 0x80) })));
    obj.chunk(2018, 90, bitmap_body(h, 4, 5, { Pt { 0, 0 }, Pt { 4, 0 }, Pt { 4, 3 }, Pt { 0, 3 } }, { 1, 2, 3, 4 }));
    obj.chunk(2018, 91, bitmap_body(h, 2, 2, {}, { 0x89, 0x50 }).raw("ex"));
    obj.chunk(2020, 20, symbol_body(h, { .pos = { 100, 100 }, .len = 5, .r1 = 1, .r2 = 1, .style = 3 }));
    obj.chunk(2032, 30, group_part(h, {}, 1, "dim").append(dim_bytes({ .txt = styles[0], .eps = styles[1] })));
    obj.line(h, { 0, 0 }, { 1, 1 });
    obj.chunk(2032, 40, group_part(h, {}, 1, "anno").append(anno_bytes({ .txt = styles[0], .eps = {} })));
    obj.line(h, { 0, 0 }, { 1, 1 });
    obj.chunk(2032, 50, group_part(h, {}, 1, "bar").append(balloon_bytes({ .txt = styles[0] })));
    obj.line(h, { 0, 0 }, { 1, 1 });
    add("every_object", obj);

    Writer grp;
    grp.title("groups");
    grp.group(h, 3, "outer");
    grp.line(h, { 0, 0 }, { 1, 0 });
    grp.group(h, 1, "inner");
    grp.point(h, { 1, 1 });
    grp.line(h, { 0, 1 }, { 1, 1 });
    grp.group(h, 0, "empty");
    grp.line(h, { 0, 2 }, { 1, 2 });
    add("groups", grp);

    Writer many;
    many.title("many");
    for (int i = 0; i < 101; ++i)
        many.line(h, { double(i), 0 }, { double(i), 10 });
    add("growth_101_lines", many);

    add("title_300", Writer().title(std::string(300, 'a')).line(h, { 0, 0 }, { 1, 1 }));

    Writer neg;
    neg.title("neg");
    neg.line(h, { 0, 0 }, { 1, 1 });
    neg.chunk_len(2002, 20, -16, line_body(h, { 0, 0 }, { 1, 1 }));
    add("negative_length", neg);

    Writer past;
    past.title("past");
    past.chunk_len(2018, 90, 1 << 30, bitmap_body(h, 1 << 30, 2, {}, { 1, 2, 3 }));
    add("length_past_end", past);

    Writer counts;
    counts.title("counts");
    std::array<LineType, 16> bad {};
    bad[3] = { .kind = 7, .count = 99 };
    counts.chunk(1080, 20, print_style_body(bad, widths));
    counts.chunk(2008, 20, chain_body(h, 0, 32767, { { 1, 1 } }));
    counts.chunk(2008, 20, chain_body(h, 0, 0, { { 2, 2 } }));
    counts.chunk(2018, 91, bitmap_body(h, -100, 1, {}, { 9, 9 }));
    counts.chunk(2007, 30, text_body(h, { 0, 0 }, 0, 200, 0, 0, "short"));
    counts.chunk(2032, 30, group_part(h, {}, -1, "short"));
    add("hostile_counts", counts);
    return out;
}

} // namespace m7w
