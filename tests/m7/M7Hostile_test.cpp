// Hostile ".m7" bytes: lengths, counts and sizes that lie must end cleanly inside the file.
#include "formats/m7/M7Unit.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>

#include "tests/support/m7_writer.h"

using m7w::Bytes;
using m7w::Head;
using m7w::Pt;
using m7w::Writer;

namespace {

Writer titled()
{
    Writer w;
    w.title("T");
    return w;
}

std::vector<uint8_t> seq(size_t n)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t(i * 7 + 1);
    return v;
}

Bytes cut(Bytes b, size_t n)
{
    b.data.resize(n);
    return b;
}

} // namespace

TEST(M7HostileLengths, NegativeLengthEndsThePass)
{
    struct Case {
        const char* name;
        Writer w;
        bool ok;
        int lines;
    };
    Writer first;
    first.chunk_len(1000, 10, -8, Bytes());
    Writer in_header = titled();
    // -16 would point the next chunk back at the title, over and over.
    in_header.chunk_len(1020, 20, -16, m7w::paper_body(1, 1, 1, 1, 1, 1));
    in_header.line({}, { 1, 1 }, { 2, 2 });
    Writer in_objects = titled();
    in_objects.line({}, { 1, 1 }, { 2, 2 });
    in_objects.chunk_len(2002, 20, -51, m7w::line_body({}, { 3, 3 }, { 4, 4 }));
    in_objects.line({}, { 5, 5 }, { 6, 6 });
    Writer min = titled();
    min.line({}, { 1, 1 }, { 2, 2 });
    min.chunk_len(2002, 20, INT32_MIN, Bytes());
    Case cases[] = {
        { "first chunk", first, false, 0 },
        { "header pass", in_header, true, 0 },
        { "object pass", in_objects, true, 1 },
        { "most negative", min, true, 1 },
    };
    for (auto& c : cases) {
        TM7Data d;
        EXPECT_EQ(d.read_memory(c.w.bytes()), c.ok) << c.name;
        EXPECT_EQ(d.lnN, c.lines) << c.name;
        EXPECT_EQ(d.psz.typ, 3) << c.name;
    }
}

TEST(M7HostileLengths, LengthPastTheEndReadsWhatIsThereAndStops)
{
    Writer doc = titled();
    doc.chunk_len(1020, 20, INT32_MAX, m7w::paper_body(7, 1, 0, 0, 10, 20));
    TM7Data d;
    EXPECT_TRUE(d.read_memory(doc.bytes()));
    EXPECT_EQ(d.psz.typ, 7);
    EXPECT_EQ(d.psz.size[3], 20);

    Writer obj = titled();
    obj.line({}, { 1, 1 }, { 2, 2 });
    obj.chunk_len(2018, 90, INT32_MAX, m7w::bitmap_body({}, INT32_MAX, 2, {}, seq(10)));
    TM7Data e;
    EXPECT_TRUE(e.read_memory(obj.bytes()));
    EXPECT_EQ(e.lnN, 1);
    ASSERT_EQ(e.bmN, 1);
    EXPECT_EQ(e.bm[0].byt, 10);
    EXPECT_EQ(e.bm[0].bmp, seq(10));
}

TEST(M7HostileLengths, TitleLongerThanTheFile)
{
    Writer w;
    w.chunk_len(1000, 10, 200, Bytes().raw("abc"));
    TM7Data d;
    EXPECT_TRUE(d.check_memory(w.bytes()));
    EXPECT_EQ(d.Title, u"abc");
    TM7Data e;
    EXPECT_TRUE(e.read_memory(w.bytes()));
    EXPECT_EQ(e.Title, u"abc");
}

TEST(M7HostileLengths, TruncatedChunkHeaderAtTheEndIsIgnored)
{
    for (size_t stray : { 1, 4, 7 }) {
        Writer w = titled();
        w.line({}, { 1, 1 }, { 2, 2 });
        w.raw(Bytes().fill(0xFF, stray));
        TM7Data d;
        EXPECT_TRUE(d.read_memory(w.bytes())) << stray;
        EXPECT_EQ(d.lnN, 1);
        Writer h = titled();
        h.raw(Bytes().fill(0xFF, stray));
        TM7Data e;
        EXPECT_TRUE(e.read_memory(h.bytes())) << stray;
    }
}

// The header stops on an object chunk that is the file's last 8 bytes: nothing is left to read.
TEST(M7HostileLengths, ObjectHeaderAtTheVeryEnd)
{
    Writer w = titled();
    w.chunk(2002, 20, Bytes());
    TM7Data d;
    EXPECT_TRUE(d.read_memory(w.bytes()));
    EXPECT_EQ(d.EntN, 0);
}

// A kind is its type and version together. A version of 100 or more belongs to no kind, so it never stands
// for another type's: type 1009 version 1020 is not the layers, type 2000 version 1020 not a point.
TEST(M7HostileKinds, LargeVersionsNameNoKind)
{
    std::array<m7w::LayerGroup, 16> groups {};
    groups[0].state = 0;
    Writer w = titled();
    w.chunk(1009, 1020, m7w::layers_body(0, groups));
    w.line({}, { 1, 1 }, { 2, 2 });
    w.chunk(2000, 1020, m7w::point_body({}, { 5, 5 }));
    w.line({}, { 3, 3 }, { 4, 4 });
    TM7Data d;
    EXPECT_TRUE(d.read_memory(w.bytes()));
    EXPECT_EQ(d.li.grp[0].state, 2) << "the layers keep their defaults";
    EXPECT_EQ(d.ptN, 0);
    EXPECT_EQ(d.lnN, 2);
    ASSERT_EQ(d.EntN, 2);
    EXPECT_EQ(d.Ent[1].INo, 200220);
}

TEST(M7HostileCounts, PointCountIsBoundedByTheChunk)
{
    struct Case {
        const char* name;
        int16_t cnt;
        size_t points_written;
        int16_t expected;
    };
    Case cases[] = {
        { "exact", 3, 3, 3 },
        { "too many", 32767, 2, 2 },
        { "too many, no points", 1000, 0, 1 },
        { "fewer than written", 2, 5, 2 },
    };
    for (const auto& c : cases) {
        std::vector<Pt> pts;
        for (size_t i = 0; i < c.points_written; ++i)
            pts.push_back({ double(i + 1), double(i + 1) });
        Writer w = titled();
        w.chunk(2008, 20, m7w::chain_body({}, 0, c.cnt, pts));
        w.chunk(2017, 20, m7w::chain_body({}, 0, c.cnt, pts));
        w.chunk(2009, 40, m7w::polygon_body({}, 0, c.cnt, pts));
        w.line({}, { 9, 9 }, { 9, 9 });
        TM7Data d;
        ASSERT_TRUE(d.read_memory(w.bytes())) << c.name;
        ASSERT_EQ(d.plN, 1);
        EXPECT_EQ(d.pl[0].cnt, c.expected) << c.name;
        EXPECT_EQ(d.pl[0].pt.size(), size_t(c.expected)) << c.name;
        EXPECT_EQ(d.bz[0].cnt, c.expected) << c.name;
        EXPECT_EQ(d.pg[0].cnt, c.expected) << c.name;
        EXPECT_EQ(d.pg[0].pt.size(), size_t(c.expected)) << c.name;
        if (c.points_written > 0) {
            EXPECT_EQ(d.pl[0].pt[0].X, 1) << c.name;
        }
        // The chunk after them is read from its own start.
        ASSERT_EQ(d.lnN, 1) << c.name;
        EXPECT_EQ(d.ln[0].pos[0].X, 9) << c.name;
    }
}

TEST(M7HostileCounts, ChainsWithEdgesAndFillsStayInsideTheChunk)
{
    // cnt claims far more points than the body holds: the points take what there is, and
    // the trailing blocks read what is left, never the next chunk.
    Writer w = titled();
    w.chunk(2008, 30, m7w::chain_body({}, 0, 1000, { { 1, 1 }, { 2, 2 } }).append(m7w::edge_bytes({})));
    w.chunk(2009, 50, m7w::polygon_body({}, 0, 500, { { 1, 1 } }).append(m7w::grad_bytes({ .typ = 3 })));
    w.chunk(2009, 60, m7w::polygon_body({}, 0, 500, { { 1, 1 } }).append(m7w::mapping_bytes({ .w = 1 })));
    w.line({}, { 9, 9 }, { 9, 9 });
    TM7Data d;
    ASSERT_TRUE(d.read_memory(w.bytes()));
    ASSERT_EQ(d.plxN, 1);
    EXPECT_EQ(size_t(d.plx[0].cnt), d.plx[0].pt.size());
    EXPECT_LE(d.plx[0].pt.size() * 16, 2 * 16 + 262u);
    ASSERT_EQ(d.pggN, 1);
    EXPECT_EQ(size_t(d.pgg[0].cnt), d.pgg[0].pt.size());
    EXPECT_LE(d.pgg[0].pt.size() * 16, 16 + 56u);
    ASSERT_EQ(d.pgmN, 1);
    EXPECT_EQ(size_t(d.pgm[0].cnt), d.pgm[0].pt.size());
    EXPECT_TRUE(d.pgm[0].e.bmp.empty());
    ASSERT_EQ(d.lnN, 1);
    EXPECT_EQ(d.ln[0].pos[0].X, 9);
}

TEST(M7HostileCounts, PictureSizesAreBoundedByTheChunk)
{
    struct Case {
        const char* name;
        int32_t byt;
        size_t data;
        size_t bmp;
        size_t exdata;
    };
    Case cases[] = {
        { "negative", -5, 12, 0, 12 },
        { "most negative", INT32_MIN, 4, 0, 4 },
        { "beyond the chunk", 1000, 10, 10, 0 },
        { "huge", INT32_MAX, 3, 3, 0 },
        { "zero", 0, 6, 0, 6 },
    };
    for (const auto& c : cases) {
        Writer w = titled();
        w.chunk(2018, 90, m7w::bitmap_body({}, c.byt, 2, {}, seq(c.data)));
        w.chunk(2018, 91, m7w::bitmap_body({}, c.byt, 2, {}, seq(c.data)));
        w.line({}, { 9, 9 }, { 9, 9 });
        TM7Data d;
        ASSERT_TRUE(d.read_memory(w.bytes())) << c.name;
        ASSERT_EQ(d.bmN, 1);
        EXPECT_EQ(d.bm[0].bmp.size(), c.bmp) << c.name;
        EXPECT_EQ(d.bm[0].byt, int32_t(c.bmp)) << c.name;
        ASSERT_EQ(d.bmxN, 1);
        EXPECT_EQ(d.bmx[0].bmp.size(), c.bmp) << c.name;
        EXPECT_EQ(d.bmx[0].exdata.size(), c.exdata) << c.name;
        ASSERT_EQ(d.lnN, 1) << c.name;
        EXPECT_EQ(d.ln[0].pos[0].X, 9) << c.name;
    }
}

TEST(M7HostileCounts, TextAndGroupBodiesShorterThanTheirFixedPart)
{
    struct Case {
        const char* name;
        int16_t type;
        uint16_t version;
        Bytes body;
    };
    Bytes style = m7w::style_bytes({ .style = "S", .hight = 4 });
    Case cases[] = {
        { "text 10", 2007, 20, cut(m7w::text_body({}, { 1, 2 }, 0, 0, 0, 0, ""), 10) },
        { "text ex 38", 2007, 30, m7w::text_body({}, { 1, 2 }, 0, 0, 0, 0, "") },
        { "text ex 100", 2007, 30, cut(m7w::text_body({}, { 1, 2 }, 0, 0, 0, 0, "").append(style), 100) },
        { "text ex 147", 2007, 30, cut(m7w::text_body({}, { 1, 2 }, 0, 0, 0, 0, "x").append(style), 147) },
        { "group 20", 2032, 20, cut(m7w::group_part({}, {}, 1, ""), 20) },
        { "group dim 100", 2032, 30, cut(m7w::group_part({}, {}, 1, "").append(m7w::dim_bytes({})), 100) },
        { "group anno 300", 2032, 40, cut(m7w::group_part({}, {}, 1, "").append(m7w::anno_bytes({})), 300) },
        { "group bar 63", 2032, 50, m7w::group_part({}, {}, 1, "") },
    };
    for (auto& c : cases) {
        Writer w = titled();
        w.chunk(c.type, c.version, c.body);
        w.line({}, { 9, 9 }, { 9, 9 });
        TM7Data d;
        ASSERT_TRUE(d.read_memory(w.bytes())) << c.name;
        EXPECT_EQ(d.EntN, 2) << c.name;
        ASSERT_EQ(d.lnN, 1) << c.name;
        EXPECT_EQ(d.ln[0].pos[0].X, 9) << c.name;
        if (d.txN) {
            EXPECT_TRUE(d.tx[0].text.empty()) << c.name;
        }
        if (d.txxN) {
            EXPECT_TRUE(d.txx[0].text.empty()) << c.name;
        }
        if (d.grN) {
            EXPECT_TRUE(d.gr[0].gname.empty()) << c.name;
        }
        if (d.grdimN) {
            EXPECT_TRUE(d.grdim[0].gname.empty()) << c.name;
        }
        if (d.grqleN) {
            EXPECT_TRUE(d.grqle[0].gname.empty()) << c.name;
        }
        if (d.grbarN) {
            EXPECT_TRUE(d.grbar[0].gname.empty()) << c.name;
        }
    }
}

TEST(M7HostileCounts, LineTypeSegmentCountStaysWithinItsTable)
{
    struct Case {
        int32_t count;
        int32_t kept;
    };
    for (Case c :
        { Case { 50, 10 }, Case { 11, 10 }, Case { 10, 10 }, Case { -3, 0 }, Case { INT32_MIN, 0 }, Case { 4, 4 } }) {
        std::array<m7w::LineType, 16> lt {};
        lt[0] = { .kind = 7, .count = c.count, .seg = { 1, 2, 3 } };
        lt[15] = { .kind = 7, .count = c.count };
        std::array<int32_t, 16> widths {};
        Writer w = titled();
        w.chunk(1080, 20, m7w::print_style_body(lt, widths));
        TM7Data d;
        ASSERT_TRUE(d.read_memory(w.bytes()));
        EXPECT_EQ(d.prnstl.ltype[0].count, c.kept) << c.count;
        EXPECT_EQ(d.prnstl.ltype[15].count, c.kept) << c.count;
        EXPECT_EQ(d.prnstl.ltype[0].seg[2], 3u);
    }
}

// Lists reserve memory in steps; a file of many tiny chunks must not reserve without bound.
TEST(M7HostileCounts, ListMemoryLimitFailsTheRead)
{
    Writer w = titled();
    for (int i = 0; i < 150; ++i)
        w.chunk(2002, 20, Bytes());
    TM7Data d;
    d.list_limit = 100 * sizeof(TM7ObjectLine) + 100 * sizeof(TM7EntNo);
    EXPECT_FALSE(d.read_memory(w.bytes()));
    EXPECT_EQ(d.lnN, 100);
    EXPECT_EQ(d.EntN, 100);
    EXPECT_LE(d.list_bytes(), d.list_limit);

    TM7Data e;
    EXPECT_TRUE(e.read_memory(w.bytes()));
    EXPECT_EQ(e.lnN, 150);
    EXPECT_EQ(e.list_bytes(), 200 * sizeof(TM7ObjectLine) + 200 * sizeof(TM7EntNo));
}

TEST(M7HostileCounts, GroupWithAHugeCountNeverOverflows)
{
    Writer w = titled();
    w.group({}, INT32_MAX, "all");
    for (int i = 0; i < 5; ++i)
        w.line({}, { 0, 0 }, { 1, 1 });
    TM7Data d;
    ASSERT_TRUE(d.read_memory(w.bytes()));
    ASSERT_EQ(d.EntN, 6);
    EXPECT_EQ(d.Ent[5].grpid, 203220);
    EXPECT_EQ(d.Ent[5].grpno, 4);
    EXPECT_EQ(d.CurGrpNo, 5);
}
