// M7 object chunks: every kind read back field by field, short bodies, and the style-name rule of groups.
#include "formats/m7/M7Unit.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Cp932.h"
#include "tests/support/m7_writer.h"

using m7w::Bytes;
using m7w::Head;
using m7w::Pt;
using m7w::Writer;

namespace {

std::u16string u(const char* utf8) { return platform::utf8_to_utf16(utf8); }

// Distinct header values per object so a shifted header shows.
Head head(int n)
{
    return Head { .id = 1000 + n,
        .cotype = uint8_t(n),
        .attr = m7w::attr(n % 16, (n + 1) % 16, 6, 15),
        .color = 0x00112233u + uint32_t(n) };
}

void expect_head(const TM7ObjectHeader& h, int n)
{
    EXPECT_EQ(h.id, 1000 + n);
    EXPECT_EQ(h.cotype, n);
    EXPECT_EQ(h.attr, m7w::attr(n % 16, (n + 1) % 16, 6, 15));
    EXPECT_EQ(h.color, 0x00112233u + uint32_t(n));
}

m7w::Edge sample_edge()
{
    m7w::Edge e;
    e.start = { .sx = 1,
        .sy = 2,
        .le = 3,
        .ox = 4,
        .oy = 5,
        .r1 = 6,
        .r2 = 7,
        .ea = 8,
        .an = 9,
        .sty = 10,
        .ext = 11,
        .exa = 12,
        .pa1 = 13,
        .pa2 = 14 };
    e.finish = { .sx = -1,
        .sy = -2,
        .le = -3,
        .ox = -4,
        .oy = -5,
        .r1 = -6,
        .r2 = -7,
        .ea = -8,
        .an = -9,
        .sty = 20,
        .ext = 21,
        .exa = 22,
        .pa1 = -13,
        .pa2 = -14 };
    return e;
}

void expect_edge(const TM7ObjectEdge& e)
{
    const auto& s = e.half[0];
    EXPECT_EQ(s.sx, 1);
    EXPECT_EQ(s.sy, 2);
    EXPECT_EQ(s.le, 3);
    EXPECT_EQ(s.ox, 4);
    EXPECT_EQ(s.oy, 5);
    EXPECT_EQ(s.r1, 6);
    EXPECT_EQ(s.r2, 7);
    EXPECT_EQ(s.ea, 8);
    EXPECT_EQ(s.an, 9);
    EXPECT_EQ(s.sty, 10);
    EXPECT_EQ(s.ext, 11);
    EXPECT_EQ(s.exa, 12);
    EXPECT_EQ(s.pa1, 13);
    EXPECT_EQ(s.pa2, 14);
    const auto& f = e.half[1];
    EXPECT_EQ(f.sx, -1);
    EXPECT_EQ(f.an, -9);
    EXPECT_EQ(f.sty, 20);
    EXPECT_EQ(f.ext, 21);
    EXPECT_EQ(f.exa, 22);
    EXPECT_EQ(f.pa1, -13);
    EXPECT_EQ(f.pa2, -14);
}

m7w::Style sample_style(const char* name)
{
    return { .style = name,
        .font = m7w::sjis("ＭＳ 明朝"),
        .hight = 2.5,
        .width = 2,
        .spce = 0.25,
        .ofx = 0.5,
        .ofy = -0.5,
        .penno = 3,
        .txattr = 2,
        .charset = 128,
        .pitch = 49,
        .count = 4 };
}

void expect_style(const TM7TextStyle& s, const char* name)
{
    EXPECT_EQ(s.style, u(name));
    EXPECT_EQ(s.font, u("ＭＳ 明朝"));
    EXPECT_EQ(s.hight, 2.5);
    EXPECT_EQ(s.width, 2);
    EXPECT_EQ(s.spce, 0.25);
    EXPECT_EQ(s.ofset.X, 0.5);
    EXPECT_EQ(s.ofset.Y, -0.5);
    EXPECT_EQ(s.penno, 3);
    EXPECT_EQ(s.txattr, 2);
    EXPECT_EQ(s.lfCharSet, 128);
    EXPECT_EQ(s.lfPitchAndFamily, 49);
    EXPECT_EQ(s.count, 4);
}

void expect_cleared(const TM7TextStyle& s)
{
    EXPECT_TRUE(s.style.empty());
    EXPECT_TRUE(s.font.empty());
    EXPECT_EQ(s.hight, 0);
    EXPECT_EQ(s.width, 0);
    EXPECT_EQ(s.spce, 0);
    EXPECT_EQ(s.ofset.X, 0);
    EXPECT_EQ(s.penno, 0);
    EXPECT_EQ(s.lfPitchAndFamily, 0);
    EXPECT_EQ(s.count, 0);
}

Writer titled()
{
    Writer w;
    w.title("T");
    return w;
}

// Document with text styles named B and C (entries 0 and 20), as the style-name rule needs.
Writer styled()
{
    std::array<m7w::Style, 21> styles {};
    styles[0].style = "B";
    styles[20].style = "C";
    Writer w = titled();
    w.chunk(1050, 30, m7w::text_styles_body(styles));
    return w;
}

TM7Data& load(TM7Data& d, const Writer& w)
{
    EXPECT_TRUE(d.read_memory(w.bytes()));
    return d;
}

std::vector<uint8_t> seq(size_t n, uint8_t start)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t(start + i);
    return v;
}

} // namespace

TEST(M7FixedObjects, PointLineCircleEllipseSymbol)
{
    Writer w = titled();
    w.point(head(1), { 1.5, -2.5 });
    w.line(head(2), { 1, 2 }, { 3, 4 });
    w.chunk(2003, 20, m7w::circle_body(head(3), { 5, 6 }, 7, 0.5, 1.5));
    w.chunk(2005, 20, m7w::ellipse_body(head(4), { 8, 9 }, 10, 5, 0.25, 3, 0.75));
    w.chunk(2020, 20,
        m7w::symbol_body(head(5),
            { .pos = { 1, 2 },
                .len = 3,
                .o = { 4, 5 },
                .r1 = 6,
                .r2 = 7,
                .elipang = 8,
                .angle = 9,
                .style = 10,
                .extype = 11,
                .exattr = 12,
                .p1 = 13,
                .p2 = 14 }));
    TM7Data d;
    load(d, w);
    ASSERT_EQ(d.ptN, 1);
    expect_head(d.pt[0].hd, 1);
    EXPECT_EQ(d.pt[0].pos.X, 1.5);
    EXPECT_EQ(d.pt[0].pos.Y, -2.5);

    ASSERT_EQ(d.lnN, 1);
    expect_head(d.ln[0].hd, 2);
    EXPECT_EQ(d.ln[0].pos[0].X, 1);
    EXPECT_EQ(d.ln[0].pos[0].Y, 2);
    EXPECT_EQ(d.ln[0].pos[1].X, 3);
    EXPECT_EQ(d.ln[0].pos[1].Y, 4);

    ASSERT_EQ(d.crN, 1);
    expect_head(d.cr[0].hd, 3);
    EXPECT_EQ(d.cr[0].pos.X, 5);
    EXPECT_EQ(d.cr[0].pos.Y, 6);
    EXPECT_EQ(d.cr[0].r, 7);
    EXPECT_EQ(d.cr[0].arc[0], 0.5);
    EXPECT_EQ(d.cr[0].arc[1], 1.5);

    ASSERT_EQ(d.epN, 1);
    expect_head(d.ep[0].hd, 4);
    EXPECT_EQ(d.ep[0].pos.Y, 9);
    EXPECT_EQ(d.ep[0].r[0], 10);
    EXPECT_EQ(d.ep[0].r[1], 5);
    EXPECT_EQ(d.ep[0].arc[0], 0.25);
    EXPECT_EQ(d.ep[0].arc[1], 3);
    EXPECT_EQ(d.ep[0].angle, 0.75);

    ASSERT_EQ(d.syN, 1);
    const auto& s = d.sy[0];
    expect_head(s.hd, 5);
    EXPECT_EQ(s.pos.X, 1);
    EXPECT_EQ(s.pos.Y, 2);
    EXPECT_EQ(s.len, 3);
    EXPECT_EQ(s.o.X, 4);
    EXPECT_EQ(s.o.Y, 5);
    EXPECT_EQ(s.r[0], 6);
    EXPECT_EQ(s.r[1], 7);
    EXPECT_EQ(s.elipang, 8);
    EXPECT_EQ(s.angle, 9);
    EXPECT_EQ(s.style, 10);
    EXPECT_EQ(s.extype, 11);
    EXPECT_EQ(s.exattr, 12);
    EXPECT_EQ(s.param[0], 13);
    EXPECT_EQ(s.param[1], 14);

    int ino[] = { 200120, 200220, 200320, 200520, 202020 };
    ASSERT_EQ(d.EntN, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(d.Ent[i].INo, ino[i]);
}

TEST(M7FixedObjects, KindsWithEdgeBlocks)
{
    m7w::Edge e = sample_edge();
    Writer w = titled();
    w.chunk(2002, 30, m7w::line_body(head(1), { 1, 2 }, { 3, 4 }).append(m7w::edge_bytes(e)));
    w.chunk(2003, 30, m7w::circle_body(head(2), { 5, 6 }, 7, 1, 2).append(m7w::edge_bytes(e)));
    w.chunk(2005, 30, m7w::ellipse_body(head(3), { 8, 9 }, 4, 2, 1, 2, 0.5).append(m7w::edge_bytes(e)));
    TM7Data d;
    load(d, w);
    ASSERT_EQ(d.lnxN, 1);
    expect_head(d.lnx[0].ln.hd, 1);
    EXPECT_EQ(d.lnx[0].ln.pos[1].Y, 4);
    expect_edge(d.lnx[0].e);
    ASSERT_EQ(d.crxN, 1);
    expect_head(d.crx[0].cr.hd, 2);
    EXPECT_EQ(d.crx[0].cr.arc[1], 2);
    expect_edge(d.crx[0].e);
    ASSERT_EQ(d.epxN, 1);
    expect_head(d.epx[0].ep.hd, 3);
    EXPECT_EQ(d.epx[0].ep.angle, 0.5);
    expect_edge(d.epx[0].e);
    EXPECT_EQ(d.Ent[0].INo, 200230);
    EXPECT_EQ(d.Ent[1].INo, 200330);
    EXPECT_EQ(d.Ent[2].INo, 200530);
}

TEST(M7FixedObjects, ShortBodyLeavesTheTailZero)
{
    // Line bodies cut after the start point (27 bytes) and after the end point's X (35 bytes).
    struct Case {
        size_t length;
        double end_x;
    };
    for (Case c : { Case { 27, 0 }, Case { 35, 3 } }) {
        Bytes l = m7w::line_body(head(1), { 1, 2 }, { 3, 4 });
        l.data.resize(c.length);
        Writer w = titled();
        w.chunk(2002, 20, l);
        TM7Data d;
        load(d, w);
        ASSERT_EQ(d.lnN, 1);
        expect_head(d.ln[0].hd, 1);
        EXPECT_EQ(d.ln[0].pos[0].X, 1);
        EXPECT_EQ(d.ln[0].pos[0].Y, 2);
        EXPECT_EQ(d.ln[0].pos[1].X, c.end_x) << c.length;
        EXPECT_EQ(d.ln[0].pos[1].Y, 0) << c.length;
    }
    // A circle cut inside its radius, a header cut inside its colour, and an empty point body.
    Bytes c = m7w::circle_body(head(2), { 5, 6 }, 7, 1, 2);
    c.data.resize(30);
    Bytes h = m7w::point_body(Head { .id = 1, .cotype = 2, .attr = 3, .color = 0x44332211 }, { 1, 1 });
    h.data.resize(9);
    Writer w = titled();
    w.chunk(2003, 20, c);
    w.chunk(2001, 20, h);
    w.chunk(2001, 20, Bytes());
    TM7Data d;
    load(d, w);
    ASSERT_EQ(d.crN, 1);
    EXPECT_EQ(d.cr[0].pos.Y, 6);
    EXPECT_EQ(d.cr[0].r, 0);
    EXPECT_EQ(d.cr[0].arc[1], 0);
    ASSERT_EQ(d.ptN, 2);
    EXPECT_EQ(d.pt[0].hd.attr, 3);
    EXPECT_EQ(d.pt[0].hd.color, 0x2211u);
    EXPECT_EQ(d.pt[0].pos.X, 0);
    EXPECT_EQ(d.pt[1].hd.attr, 0);
    EXPECT_EQ(d.EntN, 3);
}

TEST(M7FixedObjects, LongBodyIsCutToTheRecord)
{
    Writer w = titled();
    w.chunk(2002, 20, m7w::line_body(head(1), { 1, 2 }, { 3, 4 }).fill(0x7F, 100));
    w.point(head(2), { 9, 9 });
    TM7Data d;
    load(d, w);
    ASSERT_EQ(d.lnN, 1);
    EXPECT_EQ(d.ln[0].pos[1].Y, 4);
    ASSERT_EQ(d.ptN, 1);
    EXPECT_EQ(d.pt[0].pos.X, 9);
}

TEST(M7Texts, PlainTextTakesTheRestOfTheBody)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string text;
    };
    Case cases[] = {
        { "ascii", "Hello", u"Hello" },
        { "japanese", m7w::sjis("寸法 ｱｲ"), u("寸法 ｱｲ") },
        { "cut at zero", std::string("ab\0cd", 5), u"ab" },
        { "empty", "", u"" },
    };
    for (const auto& c : cases) {
        Writer w = titled();
        w.chunk(2007, 20, m7w::text_body(head(7), { 1, 2 }, 0.5, 20, 3, 1, c.bytes));
        TM7Data d;
        load(d, w);
        ASSERT_EQ(d.txN, 1) << c.name;
        const auto& t = d.tx[0];
        expect_head(t.hd, 7);
        EXPECT_EQ(t.pos.X, 1);
        EXPECT_EQ(t.pos.Y, 2);
        EXPECT_EQ(t.angle, 0.5);
        EXPECT_EQ(t.style, 20);
        EXPECT_EQ(t.base, 3);
        EXPECT_EQ(t.lout, 1);
        EXPECT_EQ(t.text, c.text) << c.name;
        EXPECT_EQ(d.Ent[0].INo, 200720);
    }
}

TEST(M7Texts, TextWithOwnStyleEndsWithTheStyleBlock)
{
    Writer w = titled();
    w.chunk(2007, 30,
        m7w::text_body(head(8), { 3, 4 }, 1, 2, 0, 0, m7w::sjis("文字")).append(m7w::style_bytes(sample_style("OWN"))));
    w.chunk(2007, 30, m7w::text_body(head(9), { 0, 0 }, 0, 0, 0, 0, "").append(m7w::style_bytes(sample_style("E"))));
    TM7Data d;
    load(d, w);
    ASSERT_EQ(d.txxN, 2);
    expect_head(d.txx[0].hd, 8);
    EXPECT_EQ(d.txx[0].pos.Y, 4);
    EXPECT_EQ(d.txx[0].style, 2);
    EXPECT_EQ(d.txx[0].text, u("文字"));
    expect_style(d.txx[0].ex, "OWN");
    EXPECT_TRUE(d.txx[1].text.empty());
    expect_style(d.txx[1].ex, "E");
    EXPECT_EQ(d.Ent[1].INo, 200730);
    EXPECT_EQ(d.Ent[1].ENo, 1);
}

TEST(M7Chains, PolylinesAndBeziersReadCntPoints)
{
    std::vector<Pt> pts = { { 0, 0 }, { 1, 1 }, { 2, 0 }, { 3, 1 } };
    m7w::Edge e = sample_edge();
    Writer w = titled();
    w.chunk(2008, 20, m7w::chain_body(head(1), 4, 4, pts));
    w.chunk(2008, 30, m7w::chain_body(head(2), 5, 3, { { 1, 2 }, { 3, 4 }, { 5, 6 } }).append(m7w::edge_bytes(e)));
    w.chunk(2017, 20, m7w::chain_body(head(3), 6, 4, pts));
    w.chunk(2017, 30, m7w::chain_body(head(4), 7, 2, { { 7, 8 }, { 9, 10 } }).append(m7w::edge_bytes(e)));
    TM7Data d;
    load(d, w);
    ASSERT_EQ(d.plN, 1);
    expect_head(d.pl[0].hd, 1);
    EXPECT_EQ(d.pl[0].typ, 4);
    ASSERT_EQ(d.pl[0].cnt, 4);
    ASSERT_EQ(d.pl[0].pt.size(), 4u);
    EXPECT_EQ(d.pl[0].pt[3].X, 3);
    EXPECT_EQ(d.pl[0].pt[3].Y, 1);
    ASSERT_EQ(d.plxN, 1);
    EXPECT_EQ(d.plx[0].typ, 5);
    ASSERT_EQ(d.plx[0].cnt, 3);
    EXPECT_EQ(d.plx[0].pt[2].Y, 6);
    expect_edge(d.plx[0].e);
    ASSERT_EQ(d.bzN, 1);
    expect_head(d.bz[0].hd, 3);
    EXPECT_EQ(d.bz[0].typ, 6);
    EXPECT_EQ(d.bz[0].pt[1].X, 1);
    ASSERT_EQ(d.bzxN, 1);
    ASSERT_EQ(d.bzx[0].cnt, 2);
    EXPECT_EQ(d.bzx[0].pt[1].Y, 10);
    expect_edge(d.bzx[0].e);
    int ino[] = { 200820, 200830, 201720, 201730 };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(d.Ent[i].INo, ino[i]);
}

TEST(M7Chains, CntNotAboveZeroReadsOnePoint)
{
    for (int16_t cnt : { int16_t(0), int16_t(-1), int16_t(-32768) }) {
        Writer w = titled();
        w.chunk(2008, 20, m7w::chain_body(head(1), 0, cnt, { { 4, 5 }, { 6, 7 } }));
        w.chunk(2009, 40, m7w::polygon_body(head(2), 1, cnt, { { 8, 9 } }));
        TM7Data d;
        load(d, w);
        ASSERT_EQ(d.plN, 1);
        EXPECT_EQ(d.pl[0].cnt, 1) << cnt;
        ASSERT_EQ(d.pl[0].pt.size(), 1u);
        EXPECT_EQ(d.pl[0].pt[0].X, 4);
        EXPECT_EQ(d.pl[0].pt[0].Y, 5);
        ASSERT_EQ(d.pgN, 1);
        EXPECT_EQ(d.pg[0].cnt, 1);
        EXPECT_EQ(d.pg[0].pt[0].Y, 9);
    }
}

TEST(M7Polygons, HatchedGradientAndMapped)
{
    std::vector<Pt> tri = { { 0, 0 }, { 10, 0 }, { 5, 8 } };
    m7w::Grad g { .typ = 2, .c0 = 0x0000FF, .c1 = 0xFF0000, .p0 = { 1, 2 }, .p1 = { 3, 4 }, .angle = 0.5 };
    m7w::Mapping m {
        .p0 = { 5, 6 }, .p1 = { 7, 8 }, .w = 2, .h = 3, .depth = 24, .pal_fill = 0x99, .pixels = seq(18, 1)
    };
    Writer w = titled();
    w.chunk(2009, 40, m7w::polygon_body(head(1), 35, 3, tri));
    w.chunk(2009, 50, m7w::polygon_body(head(2), 0, 3, tri).append(m7w::grad_bytes(g)));
    w.chunk(2009, 60, m7w::polygon_body(head(3), 7, 3, tri).append(m7w::mapping_bytes(m)));
    TM7Data d;
    load(d, w);
    ASSERT_EQ(d.pgN, 1);
    expect_head(d.pg[0].hd, 1);
    EXPECT_EQ(d.pg[0].ptn, 35);
    ASSERT_EQ(d.pg[0].cnt, 3);
    EXPECT_EQ(d.pg[0].pt[2].Y, 8);

    ASSERT_EQ(d.pggN, 1);
    const auto& gg = d.pgg[0];
    expect_head(gg.hd, 2);
    EXPECT_EQ(gg.pt[1].X, 10);
    EXPECT_EQ(gg.e.typ, 2);
    EXPECT_EQ(gg.e.col[0], 0x0000FFu);
    EXPECT_EQ(gg.e.col[1], 0xFF0000u);
    EXPECT_EQ(gg.e.pos[0].X, 1);
    EXPECT_EQ(gg.e.pos[1].Y, 4);
    EXPECT_EQ(gg.e.angle, 0.5);

    ASSERT_EQ(d.pgmN, 1);
    const auto& pm = d.pgm[0];
    expect_head(pm.hd, 3);
    EXPECT_EQ(pm.ptn, 7);
    EXPECT_EQ(pm.e.pos[0].X, 5);
    EXPECT_EQ(pm.e.pos[1].Y, 8);
    EXPECT_EQ(pm.e.size.X, 2);
    EXPECT_EQ(pm.e.size.Y, 3);
    EXPECT_EQ(pm.e.depth, 24);
    EXPECT_EQ(pm.e.pe[0], 0x99);
    EXPECT_EQ(pm.e.pe[1023], 0x99);
    EXPECT_EQ(pm.e.bmp, seq(18, 1));
    int ino[] = { 200940, 200950, 200960 };
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(d.Ent[i].INo, ino[i]);
}

TEST(M7Pictures, BytesAreKeptWhateverTheKind)
{
    std::array<Pt, 4> corners = { Pt { 0, 0 }, Pt { 4, 0 }, Pt { 4, 3 }, Pt { 0, 3 } };
    for (int32_t typ : { 1, 2, 5, 10, 11, 12 }) {
        Writer w = titled();
        w.chunk(2018, 90, m7w::bitmap_body(head(1), 5000, typ, corners, seq(5000, 7)));
        w.chunk(2018, 91, m7w::bitmap_body(head(2), 3, typ, corners, seq(3, 200)).raw(seq(4, 50)));
        TM7Data d;
        load(d, w);
        ASSERT_EQ(d.bmN, 1);
        expect_head(d.bm[0].hd, 1);
        EXPECT_EQ(d.bm[0].typ, typ);
        EXPECT_EQ(d.bm[0].byt, 5000);
        EXPECT_EQ(d.bm[0].bmp, seq(5000, 7));
        EXPECT_EQ(d.bm[0].pos[2].X, 4);
        EXPECT_EQ(d.bm[0].pos[3].Y, 3);
        ASSERT_EQ(d.bmxN, 1);
        EXPECT_EQ(d.bmx[0].byt, 3);
        EXPECT_EQ(d.bmx[0].bmp, seq(3, 200));
        EXPECT_EQ(d.bmx[0].exdata, seq(4, 50));
        EXPECT_EQ(d.Ent[0].INo, 201890);
        EXPECT_EQ(d.Ent[1].INo, 201891);
    }
}

TEST(M7Groups, EveryGroupKindRoundTrips)
{
    std::array<Pt, 3> pos = { Pt { 1, 2 }, Pt { 3, 4 }, Pt { 5, 6 } };
    m7w::Dim dim { .angle = 0.5,
        .r = 2,
        .funit = 3,
        .rc = { 1, 2, 3, 4 },
        .pos = { Pt { 1, 1 }, Pt { 2, 2 }, Pt { 3, 3 }, Pt { 4, 4 } },
        .ang = { 0.1, 0.2 },
        .base = 1,
        .bunit = 2,
        .point = 3,
        .strip = 4,
        .camma = 5,
        .jtype = 6,
        .txt = sample_style("DT"),
        .eps = sample_style("B") };
    m7w::Anno anno { .align = 1,
        .symb = 2,
        .camma = 3,
        .jtype = 4,
        .line = -5,
        .spce = 1.5,
        .angle = 0.25,
        .txt = sample_style("AT"),
        .eps = sample_style("C"),
        .rc = { 5, 6, 7, 8 },
        .rcang = 0.75 };
    m7w::Balloon bar {
        .aux = 9, .symb = 8, .angle = 1.25, .txt = sample_style("BT"), .rc = { 9, 10, 11, 12 }, .rcang = 2
    };
    Writer w = styled();
    w.chunk(2032, 20, m7w::group_part(head(1), pos, 0, m7w::sjis("組")));
    w.chunk(2032, 30, m7w::group_part(head(2), pos, 0, "dim").append(m7w::dim_bytes(dim)));
    w.chunk(2032, 40, m7w::group_part(head(3), pos, 0, "anno").append(m7w::anno_bytes(anno)));
    w.chunk(2032, 50, m7w::group_part(head(4), pos, 0, "").append(m7w::balloon_bytes(bar)));
    TM7Data d;
    load(d, w);
    ASSERT_EQ(d.grN, 1);
    expect_head(d.gr[0].hd, 1);
    EXPECT_EQ(d.gr[0].pos[2].Y, 6);
    EXPECT_EQ(d.gr[0].gname, u("組"));

    ASSERT_EQ(d.grdimN, 1);
    const auto& gd = d.grdim[0];
    expect_head(gd.hd, 2);
    EXPECT_EQ(gd.pos[0].X, 1);
    EXPECT_EQ(gd.gname, u"dim");
    EXPECT_EQ(gd.dim.rc[3], 4);
    EXPECT_EQ(gd.dim.angle, 0.5);
    EXPECT_EQ(gd.dim.pos[3].Y, 4);
    EXPECT_EQ(gd.dim.ang[1], 0.2);
    EXPECT_EQ(gd.dim.r, 2);
    EXPECT_EQ(gd.dim.funit, 3);
    EXPECT_EQ(gd.dim.base, 1);
    EXPECT_EQ(gd.dim.jtype, 6);
    expect_style(gd.dim.txtstl, "DT");
    expect_style(gd.dim.epsstl, "B");

    ASSERT_EQ(d.grqleN, 1);
    const auto& q = d.grqle[0];
    expect_head(q.hd, 3);
    EXPECT_EQ(q.gname, u"anno");
    EXPECT_EQ(q.qle.align, 1);
    EXPECT_EQ(q.qle.jtype, 4);
    EXPECT_EQ(q.qle.line, -5);
    EXPECT_EQ(q.qle.spce, 1.5);
    EXPECT_EQ(q.qle.angle, 0.25);
    expect_style(q.qle.txtstl, "AT");
    expect_style(q.qle.epsstl, "C");
    EXPECT_EQ(q.qle.rc[0], 5);
    EXPECT_EQ(q.qle.rcang, 0.75);

    ASSERT_EQ(d.grbarN, 1);
    const auto& b = d.grbar[0];
    expect_head(b.hd, 4);
    EXPECT_TRUE(b.gname.empty());
    EXPECT_EQ(b.bar.aux, 9);
    EXPECT_EQ(b.bar.symb, 8);
    EXPECT_EQ(b.bar.angle, 1.25);
    expect_style(b.bar.txtstl, "BT");
    EXPECT_EQ(b.bar.rc[3], 12);
    EXPECT_EQ(b.bar.rcang, 2);
}

TEST(M7Groups, EpsStyleOutsideTheTextStylesIsCleared)
{
    struct Case {
        const char* eps;
        bool kept;
    };
    for (Case c :
        { Case { "A", false }, Case { "", false }, Case { "B", true }, Case { "C", true }, Case { "b", false } }) {
        m7w::Dim dim { .txt = sample_style("X"), .eps = sample_style(c.eps) };
        m7w::Anno anno { .txt = sample_style("Y"), .eps = sample_style(c.eps) };
        Writer w = styled();
        w.chunk(2032, 30, m7w::group_part(head(1), {}, 0, "").append(m7w::dim_bytes(dim)));
        w.chunk(2032, 40, m7w::group_part(head(2), {}, 0, "").append(m7w::anno_bytes(anno)));
        TM7Data d;
        load(d, w);
        ASSERT_EQ(d.grdimN, 1);
        ASSERT_EQ(d.grqleN, 1);
        // The text style of the group itself is never touched.
        expect_style(d.grdim[0].dim.txtstl, "X");
        expect_style(d.grqle[0].qle.txtstl, "Y");
        if (c.kept) {
            expect_style(d.grdim[0].dim.epsstl, c.eps);
            expect_style(d.grqle[0].qle.epsstl, c.eps);
        } else {
            SCOPED_TRACE(c.eps);
            expect_cleared(d.grdim[0].dim.epsstl);
            expect_cleared(d.grqle[0].qle.epsstl);
        }
    }
}

// Text styles all empty: an empty eps name must not match them.
TEST(M7Groups, EmptyEpsNameNeverMatchesEmptyStyleNames)
{
    m7w::Dim dim { .txt = {}, .eps = sample_style("") };
    Writer w = titled();
    w.chunk(2032, 30, m7w::group_part(head(1), {}, 0, "").append(m7w::dim_bytes(dim)));
    TM7Data d;
    load(d, w);
    ASSERT_EQ(d.grdimN, 1);
    expect_cleared(d.grdim[0].dim.epsstl);
}
