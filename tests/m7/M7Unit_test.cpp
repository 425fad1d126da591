// TM7Data: defaults, document-level chunks, the two passes, the registry and group membership.
#include "formats/m7/M7Unit.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/Cp932.h"
#include "tests/support/m7_writer.h"

namespace fs = std::filesystem;
using m7w::Bytes;
using m7w::Head;
using m7w::Writer;

namespace {

std::u16string u(const char* utf8) { return platform::utf8_to_utf16(utf8); }

// A drawing that passes the header pass: title first.
Writer titled(const char* title = "T")
{
    Writer w;
    w.title(m7w::sjis(title));
    return w;
}

bool read(TM7Data& d, const Writer& w) { return d.read_memory(w.bytes()); }

class TempDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path()
            / ("m7unit-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path save(const Writer& w, const char* name = "a.m7")
    {
        fs::path p = dir_ / name;
        w.save(p);
        return p;
    }
    fs::path dir_;
};

double double_at(const uint8_t* p)
{
    uint64_t v = 0;
    std::memcpy(&v, p, 8);
    return std::bit_cast<double>(v);
}

} // namespace

// ---- Defaults.

TEST(M7Defaults, FreshDocumentHoldsTheDocumentedDefaults)
{
    TM7Data d;
    EXPECT_TRUE(d.Title.empty());
    for (const auto& g : d.li.grp) {
        EXPECT_EQ(g.state, 2);
        EXPECT_EQ(g.scale, 1.0);
        for (const auto& l : g.tab)
            EXPECT_EQ(l.state, 2);
    }
    EXPECT_EQ(d.psz.typ, 3);
    EXPECT_EQ(d.psz.lout, 0);
    EXPECT_EQ(d.psz.size, (std::array<double, 4> { 0, 0, 420, 297 }));
    EXPECT_EQ(d.gi.dv.X, 5);
    EXPECT_EQ(d.gi.dv.Y, 5);
    EXPECT_EQ(d.gi.snapmain, 1);
    EXPECT_EQ(d.gi.snapsub, 1);
    EXPECT_EQ(d.gi.angle, 1);
    EXPECT_EQ(d.gi.disp, 0);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(d.prnstl.width[i], 1);
        EXPECT_EQ(d.prnstl.ltype[i].kind, 0);
        EXPECT_EQ(d.prnstl.ltype[i].count, 0);
    }
    for (const auto& v : d.viewinfo)
        EXPECT_EQ(v.zoom, 1.0);
    for (int e = 0; e < 3; ++e)
        EXPECT_EQ(double_at(d.dimstlex.data() + 78 * e), 1.0) << "entry " << e;
    EXPECT_EQ(d.dimstlex[8], 0);
    EXPECT_EQ(d.EntN, 0);
    EXPECT_EQ(d.ptN, 0);
    EXPECT_TRUE(d.Ent.empty());
}

TEST(M7Defaults, DataFreeRestoresDefaultsButKeepsTheModes)
{
    TM7Data d;
    d.DispMode = true;
    d.HojoMode = false;
    Writer w = titled("x");
    w.paper(1, 1, 1, 2, 3, 4);
    w.chunk(1040, 10, m7w::grid_body({ .dvx = 9, .snapmain = 7 }));
    w.line({}, { 1, 1 }, { 2, 2 });
    w.group({}, 3, "g");
    ASSERT_TRUE(read(d, w));
    ASSERT_EQ(d.lnN, 1);
    ASSERT_NE(d.CurGrpId, 0);

    d.DataFree();
    EXPECT_TRUE(d.Title.empty());
    EXPECT_EQ(d.psz.typ, 3);
    EXPECT_EQ(d.gi.dv.X, 5);
    EXPECT_EQ(d.gi.snapmain, 1);
    EXPECT_EQ(d.lnN, 0);
    EXPECT_TRUE(d.ln.empty());
    EXPECT_EQ(d.EntN, 0);
    EXPECT_EQ(d.CurGrpId, 0);
    EXPECT_EQ(d.CurGrpN, 0);
    EXPECT_TRUE(d.DispMode);
    EXPECT_FALSE(d.HojoMode);
}

// ---- Document-level chunks.

TEST(M7DocumentChunks, EveryKindRoundTrips)
{
    std::array<m7w::LayerGroup, 16> groups {};
    groups[3].state = 1;
    groups[3].current = 4;
    groups[3].name = m7w::sjis("平面");
    groups[3].scale = 50;
    groups[3].layer[5] = { .state = 0, .attr = 7, .color = 0x123456, .name = "wall", .module = "mod", .comid = -3 };
    groups[15].scale = 0.5;
    groups[15].layer[16] = {
        .state = 1, .attr = 2, .color = 0xABCDEF, .name = std::string(256, 'n'), .module = "", .comid = 77
    };

    std::array<m7w::Style, 21> styles {};
    styles[0] = { .style = "S0",
        .font = m7w::sjis("ＭＳ ゴシック"),
        .hight = 3.5,
        .width = 3,
        .spce = 0.5,
        .ofx = 1,
        .ofy = -1,
        .penno = 4,
        .txattr = 3,
        .charset = 128,
        .pitch = 1,
        .count = 9 };
    styles[20] = { .style = "LAST", .font = "Arial", .hight = 10, .count = -1 };

    std::array<m7w::DimStyle, 20> dims {};
    dims[19] = { .style = "DIM", .txtstlno = 5, .dlen = 1, .xlen = 2, .tlen = 3, .pen = 6, .term = 7, .elen = 8 };

    std::array<m7w::LineType, 16> lts {};
    lts[7] = { .kind = 7, .count = 4, .seg = { 100, 50, 25, 50 } };
    lts[15] = { .kind = 1, .count = 10, .seg = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 } };
    std::array<int32_t, 16> widths {};
    for (int i = 0; i < 16; ++i)
        widths[i] = 10 * i + 5;

    std::array<uint32_t, 272> colours {};
    colours[0] = 0x010203;
    colours[271] = 0xFFEEDD;

    std::array<m7w::View, 32> views {};
    views[31] = { .name = "V", .zoom = 2.5, .ox = -4, .oy = 8, .color = 0xFF, .penno = 3, .ltype = 2, .grp_fill = 1 };

    Bytes ext;
    ext.fill(0x5A, 234);

    Writer w = titled("図面");
    w.chunk(1010, 20, m7w::layers_body(2, groups));
    w.paper(4, 1, -10, -20, 594, 420);
    w.chunk(1030, 10, m7w::axis_body(2, 0.25));
    w.chunk(1040, 10,
        m7w::grid_body({ .ox = 1,
            .oy = 2,
            .sx = 3,
            .sy = 4,
            .dvx = 6,
            .dvy = 7,
            .disp = 1,
            .snapmain = 2,
            .snapsub = 3,
            .typ = 4,
            .angle = 5,
            .ind = 6,
            .abs = 7,
            .top = 8 }));
    w.chunk(1050, 30, m7w::text_styles_body(styles));
    w.chunk(1060, 30, m7w::dim_styles_body(dims));
    w.chunk(1060, 40, ext);
    w.chunk(1070, 20, m7w::symbol_style_body(1, 2, 1.5, 12));
    w.chunk(1080, 20, m7w::print_style_body(lts, widths));
    w.chunk(1085, 10, m7w::print_info_body(1, 2, 3, 4.5, 5.5));
    w.chunk(1090, 20, m7w::color_table_body(colours));
    w.chunk(1100, 20, m7w::views_body(views));

    TM7Data d;
    ASSERT_TRUE(read(d, w));
    EXPECT_EQ(d.Title, u("図面"));
    EXPECT_EQ(d.li.current, 2);
    const auto& g3 = d.li.grp[3];
    EXPECT_EQ(g3.state, 1);
    EXPECT_EQ(g3.current, 4);
    EXPECT_EQ(g3.text, u("平面"));
    EXPECT_EQ(g3.scale, 50);
    EXPECT_EQ(g3.tab[5].state, 0);
    EXPECT_EQ(g3.tab[5].attr, 7);
    EXPECT_EQ(g3.tab[5].color, 0x123456u);
    EXPECT_EQ(g3.tab[5].text, u("wall"));
    EXPECT_EQ(g3.tab[5].module, u("mod"));
    EXPECT_EQ(g3.tab[5].comid, -3);
    EXPECT_EQ(g3.tab[4].state, 2);
    const auto& last = d.li.grp[15].tab[16];
    EXPECT_EQ(d.li.grp[15].scale, 0.5);
    EXPECT_EQ(last.state, 1);
    EXPECT_EQ(last.color, 0xABCDEFu);
    EXPECT_EQ(last.text, std::u16string(256, u'n'));
    EXPECT_EQ(last.comid, 77);

    EXPECT_EQ(d.psz.typ, 4);
    EXPECT_EQ(d.psz.lout, 1);
    EXPECT_EQ(d.psz.size, (std::array<double, 4> { -10, -20, 594, 420 }));
    EXPECT_EQ(d.ai.mode, 2);
    EXPECT_EQ(d.ai.angle, 0.25);
    EXPECT_EQ(d.gi.org.X, 1);
    EXPECT_EQ(d.gi.spc.Y, 4);
    EXPECT_EQ(d.gi.dv.X, 6);
    EXPECT_EQ(d.gi.dv.Y, 7);
    EXPECT_EQ(d.gi.disp, 1);
    EXPECT_EQ(d.gi.angle, 5);
    EXPECT_EQ(d.gi.top, 8);

    const auto& s0 = d.txtstl[0];
    EXPECT_EQ(s0.style, u("S0"));
    EXPECT_EQ(s0.font, u("ＭＳ ゴシック"));
    EXPECT_EQ(s0.hight, 3.5);
    EXPECT_EQ(s0.width, 3);
    EXPECT_EQ(s0.spce, 0.5);
    EXPECT_EQ(s0.ofset.X, 1);
    EXPECT_EQ(s0.ofset.Y, -1);
    EXPECT_EQ(s0.penno, 4);
    EXPECT_EQ(s0.txattr, 3);
    EXPECT_EQ(s0.lfCharSet, 128);
    EXPECT_EQ(s0.lfPitchAndFamily, 1);
    EXPECT_EQ(s0.count, 9);
    EXPECT_EQ(d.txtstl[20].style, u("LAST"));
    EXPECT_EQ(d.txtstl[20].font, u("Arial"));
    EXPECT_EQ(d.txtstl[20].count, -1);

    const auto& ds = d.dimstl[19];
    EXPECT_EQ(ds.style, u("DIM"));
    EXPECT_EQ(ds.txtstlno, 5);
    EXPECT_EQ(ds.tlen, 3);
    EXPECT_EQ(ds.pen, 6);
    EXPECT_EQ(ds.term, 7);
    EXPECT_EQ(ds.elen, 8);
    EXPECT_EQ(d.dimstlex[0], 0x5A);
    EXPECT_EQ(d.dimstlex[233], 0x5A);

    EXPECT_EQ(d.symstl.current_pstl, 1);
    EXPECT_EQ(d.symstl.current_astl, 2);
    EXPECT_EQ(d.symstl.point_diameter(), 1.5);
    EXPECT_EQ(d.symstl.point_pen(), 12);

    EXPECT_EQ(d.prnstl.ltype[7].kind, 7);
    EXPECT_EQ(d.prnstl.ltype[7].count, 4);
    EXPECT_EQ(d.prnstl.ltype[7].seg[0], 100u);
    EXPECT_EQ(d.prnstl.ltype[7].seg[3], 50u);
    EXPECT_EQ(d.prnstl.ltype[15].seg[9], 10u);
    EXPECT_EQ(d.prnstl.width[0], 5);
    EXPECT_EQ(d.prnstl.width[15], 155);

    EXPECT_EQ(d.pri.ind, 1);
    EXPECT_EQ(d.pri.area, 3);
    EXPECT_EQ(d.pri.pos.Y, 5.5);
    EXPECT_EQ(d.coltbl[0], 0x010203u);
    EXPECT_EQ(d.coltbl[271], 0xFFEEDDu);

    const auto& v = d.viewinfo[31];
    EXPECT_EQ(v.name, u("V"));
    EXPECT_EQ(v.zoom, 2.5);
    EXPECT_EQ(v.ofset.X, -4);
    EXPECT_EQ(v.ofset.Y, 8);
    EXPECT_EQ(v.color, 0xFFu);
    EXPECT_EQ(v.penno, 3);
    EXPECT_EQ(v.ltype, 2);
    EXPECT_EQ(v.grp[15][16], 1);
    EXPECT_EQ(d.viewinfo[0].zoom, 0);
    EXPECT_EQ(d.EntN, 0);
}

TEST(M7DocumentChunks, ShortBodyLeavesTheRestAtItsDefaults)
{
    Writer w = titled();
    // Only org and spc of the grid: dv and the snaps stay at their defaults.
    w.chunk(1040, 10, Bytes().pt(1, 2).pt(3, 4));
    // Only typ and lout of the paper.
    w.chunk(1020, 20, Bytes().u8(9).u8(1));
    // Two of 16 line types: the rest keep kind 0 and every width stays 1.
    w.chunk(1080, 20, Bytes().i32(1).i32(2).zeros(40).i32(7).i32(1).u32(300));
    TM7Data d;
    ASSERT_TRUE(read(d, w));
    EXPECT_EQ(d.gi.spc.Y, 4);
    EXPECT_EQ(d.gi.dv.X, 5);
    EXPECT_EQ(d.gi.snapmain, 1);
    EXPECT_EQ(d.psz.typ, 9);
    EXPECT_EQ(d.psz.lout, 1);
    EXPECT_EQ(d.psz.size, (std::array<double, 4> { 0, 0, 420, 297 }));
    EXPECT_EQ(d.prnstl.ltype[1].kind, 7);
    EXPECT_EQ(d.prnstl.ltype[1].seg[0], 300u);
    EXPECT_EQ(d.prnstl.ltype[2].kind, 0);
    EXPECT_EQ(d.prnstl.width[0], 1);
}

// A short body of a record read whole must not take bytes from the chunk after it.
TEST(M7DocumentChunks, ShortWholeRecordDoesNotReadTheNextChunk)
{
    Writer w = titled();
    w.chunk(1020, 20, Bytes().u8(5));
    w.chunk(1030, 10, m7w::axis_body(3, 1.0));
    TM7Data d;
    ASSERT_TRUE(read(d, w));
    EXPECT_EQ(d.psz.typ, 5);
    EXPECT_EQ(d.psz.lout, 0);
    EXPECT_EQ(d.psz.size, (std::array<double, 4> { 0, 0, 420, 297 }));
    EXPECT_EQ(d.ai.mode, 3);
}

TEST(M7DocumentChunks, LongBodyIsCutToTheRecordAndTheNextChunkFollowsItsLength)
{
    Bytes big = m7w::grid_body({ .dvx = 11, .top = 12 });
    big.fill(0xFF, 500);
    Bytes ext;
    ext.fill(0x11, 234).fill(0x22, 100);
    Bytes colours;
    colours.fill(0x33, 1088).fill(0x44, 8);
    Writer w = titled();
    w.chunk(1040, 10, big);
    w.chunk(1060, 40, ext);
    w.chunk(1090, 20, colours);
    w.chunk(1070, 20, Bytes().u8(1).u8(2).zeros(2000));
    w.chunk(1085, 10, m7w::print_info_body(7, 0, 0, 0, 0).fill(0xEE, 50));
    w.paper(2, 0, 0, 0, 100, 50);
    TM7Data d;
    ASSERT_TRUE(read(d, w));
    EXPECT_EQ(d.gi.dv.X, 11);
    EXPECT_EQ(d.gi.top, 12);
    EXPECT_EQ(d.gi.reserved[107], 0);
    EXPECT_EQ(d.dimstlex[233], 0x11);
    EXPECT_EQ(d.coltbl[271], 0x33333333u);
    EXPECT_EQ(d.symstl.current_astl, 2);
    EXPECT_EQ(d.pri.ind, 7);
    EXPECT_EQ(d.psz.typ, 2);
    EXPECT_EQ(d.psz.size[2], 100);
}

// ---- The passes.

TEST(M7Passes, OnlyDocumentChunksLoadWithAnEmptyRegistry)
{
    Writer w = titled();
    w.paper(3, 0, 0, 0, 297, 210);
    TM7Data d;
    EXPECT_TRUE(read(d, w));
    EXPECT_EQ(d.EntN, 0);
    EXPECT_EQ(d.psz.size[2], 297);
}

TEST(M7Passes, UnknownChunksAreSkippedByTheirLength)
{
    Writer w = titled();
    // Would be a paper of typ 0xAB if it were not skipped as a whole.
    w.chunk(1020, 99, Bytes().fill(0xAB, 34));
    w.chunk(-5, 0, Bytes().fill(0xAB, 3));
    w.paper(6, 0, 0, 0, 1, 1);
    w.chunk(1500, 1, Bytes());
    w.line({}, { 1, 2 }, { 3, 4 });
    w.chunk(2002, 21, Bytes().fill(0xCD, 43));
    w.chunk(1020, 20, m7w::paper_body(8, 0, 0, 0, 1, 1));
    w.line({}, { 5, 6 }, { 7, 8 });
    TM7Data d;
    ASSERT_TRUE(read(d, w));
    EXPECT_EQ(d.psz.typ, 6);
    ASSERT_EQ(d.lnN, 2);
    EXPECT_EQ(d.ln[1].pos[0].X, 5);
    EXPECT_EQ(d.EntN, 2);
}

// A file whose last document chunk is unknown, or holds more than its record, has no object pass.
TEST(M7Passes, TrailingDocumentChunkIsNotTakenForAnObject)
{
    Writer a = titled();
    a.chunk(1234, 1, Bytes().fill(1, 20));
    Writer b = titled();
    b.chunk(1040, 10, Bytes().zeros(250));
    for (const Writer* w : { &a, &b }) {
        TM7Data d;
        EXPECT_TRUE(read(d, *w));
        EXPECT_EQ(d.EntN, 0);
    }
}

TEST(M7Passes, FirstChunkDecidesTheResult)
{
    struct Case {
        const char* name;
        Writer w;
        bool ok;
    };
    Writer unknown;
    unknown.chunk(1999, 1, Bytes().zeros(4));
    unknown.title("T");
    Writer object_first;
    object_first.line({}, { 0, 0 }, { 1, 1 });
    Writer paper_first;
    paper_first.paper(1, 0, 0, 0, 10, 10);
    Writer empty;
    Case cases[] = { { "unknown first", unknown, false }, { "object first", object_first, false },
        { "paper first", paper_first, true }, { "empty file", empty, false } };
    for (auto& c : cases) {
        TM7Data d;
        EXPECT_EQ(read(d, c.w), c.ok) << c.name;
        EXPECT_EQ(d.EntN, 0) << c.name;
    }
}

TEST(M7Passes, UnknownFirstObjectChunkFailsTheObjectPass)
{
    Writer w = titled();
    w.chunk(2999, 1, Bytes().zeros(10));
    w.line({}, { 1, 1 }, { 2, 2 });
    TM7Data d;
    EXPECT_FALSE(read(d, w));
    EXPECT_EQ(d.lnN, 0);
}

TEST(M7Passes, DocumentChunksAmongObjectsAreSkipped)
{
    Writer w = titled("first");
    w.line({}, { 1, 1 }, { 2, 2 });
    w.title("second");
    w.line({}, { 3, 3 }, { 4, 4 });
    TM7Data d;
    ASSERT_TRUE(read(d, w));
    EXPECT_EQ(d.Title, u"first");
    EXPECT_EQ(d.lnN, 2);
}

// ---- Files.

using M7Files = TempDir;

TEST_F(M7Files, FileCheckAcceptsTitlesUpTo256Bytes)
{
    struct Case {
        size_t length;
        bool check;
    };
    for (Case c :
        { Case { 0, true }, Case { 5, true }, Case { 256, true }, Case { 257, false }, Case { 300, false } }) {
        Writer w = Writer().title(std::string(c.length, 'a'));
        w.line({}, { 1, 1 }, { 2, 2 });
        fs::path p = save(w);
        TM7Data d;
        EXPECT_EQ(d.FileCheck(p), c.check) << c.length;
        if (c.check) {
            EXPECT_EQ(d.Title, std::u16string(c.length, u'a'));
        }
        TM7Data e;
        EXPECT_TRUE(e.FileIn(p)) << c.length;
        EXPECT_EQ(e.Title.size(), c.length);
        EXPECT_EQ(e.lnN, 1);
    }
}

TEST_F(M7Files, FileCheckRejectsOtherStarts)
{
    struct Case {
        const char* name;
        Bytes bytes;
    };
    Case cases[] = {
        { "short header", Bytes().i16(1000).u16(10).u8(0) },
        { "wrong type", Bytes().i16(1020).u16(10).i32(0) },
        { "wrong version", Bytes().i16(1000).u16(20).i32(0) },
        { "negative length", Bytes().i16(1000).u16(10).i32(-1) },
        { "empty", Bytes() },
    };
    for (auto& c : cases) {
        fs::path p = save(Writer().raw(c.bytes));
        TM7Data d;
        EXPECT_FALSE(d.FileCheck(p)) << c.name;
    }
    TM7Data d;
    EXPECT_FALSE(d.FileCheck(dir_ / "missing.m7"));
    EXPECT_FALSE(d.FileIn(dir_ / "missing.m7"));
    EXPECT_FALSE(d.FileCheck(dir_));
    EXPECT_FALSE(d.FileIn(dir_));
}

// A file beyond the size limit is refused before anything is allocated for it (the file is sparse).
TEST_F(M7Files, OversizedFileIsRefused)
{
    fs::path p = save(titled());
    std::error_code ec;
    fs::resize_file(p, TM7Data::kMaxFileBytes + 1, ec);
    if (ec)
        GTEST_SKIP() << "cannot make a sparse file here";
    TM7Data d;
    EXPECT_FALSE(d.FileIn(p));
    EXPECT_FALSE(d.FileHeaderIn(p));
    EXPECT_TRUE(d.FileCheck(p));
    EXPECT_EQ(d.Title, u"T");
}

TEST_F(M7Files, TitleIsCutAtItsFirstZeroByte)
{
    fs::path p = save(Writer().title(std::string("ab\0cd", 5)));
    TM7Data d;
    EXPECT_TRUE(d.FileCheck(p));
    EXPECT_EQ(d.Title, u"ab");
}

TEST_F(M7Files, FileHeaderInStopsBeforeTheObjects)
{
    Writer w = titled("head");
    w.paper(5, 0, 0, 0, 1, 1);
    w.line({}, { 1, 1 }, { 2, 2 });
    w.chunk(1020, 20, m7w::paper_body(9, 0, 0, 0, 1, 1));
    fs::path p = save(w);
    TM7Data d;
    EXPECT_TRUE(d.FileHeaderIn(p));
    EXPECT_EQ(d.Title, u"head");
    EXPECT_EQ(d.psz.typ, 5);
    EXPECT_EQ(d.EntN, 0);
    EXPECT_EQ(d.lnN, 0);
    TM7Data e;
    EXPECT_TRUE(e.FileIn(p));
    EXPECT_EQ(e.lnN, 1);
    EXPECT_EQ(e.psz.typ, 5);
}

TEST_F(M7Files, FileInAddsToWhatIsThere)
{
    Writer w = titled();
    w.line({}, { 1, 1 }, { 2, 2 });
    fs::path p = save(w);
    TM7Data d;
    ASSERT_TRUE(d.FileIn(p));
    ASSERT_TRUE(d.FileIn(p));
    EXPECT_EQ(d.lnN, 2);
    d.DataFree();
    ASSERT_TRUE(d.FileIn(p));
    EXPECT_EQ(d.lnN, 1);
}

// ---- Registry and groups.

TEST(M7Registry, EntriesRecordKindAndIndexInFileOrder)
{
    Writer w = titled();
    w.line({}, { 0, 0 }, { 1, 1 });
    w.point({}, { 2, 2 });
    w.line({}, { 3, 3 }, { 4, 4 });
    w.chunk(2003, 20, m7w::circle_body({}, { 0, 0 }, 1, 0, 0));
    TM7Data d;
    ASSERT_TRUE(read(d, w));
    ASSERT_EQ(d.EntN, 4);
    int expected[4][2] = { { 200220, 0 }, { 200120, 0 }, { 200220, 1 }, { 200320, 0 } };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(d.Ent[i].INo, expected[i][0]) << i;
        EXPECT_EQ(d.Ent[i].ENo, expected[i][1]) << i;
        EXPECT_EQ(d.Ent[i].grpid, 0) << i;
    }
}

TEST(M7Registry, GroupTakesTheNextCntObjects)
{
    Writer w = titled();
    w.line({}, { 0, 0 }, { 1, 1 });
    w.group({}, 2, "G");
    for (int i = 0; i < 3; ++i)
        w.line({}, { double(i), 0 }, { double(i), 1 });
    TM7Data d;
    ASSERT_TRUE(read(d, w));
    ASSERT_EQ(d.EntN, 5);
    EXPECT_EQ(d.Ent[1].INo, 203220);
    EXPECT_EQ(d.Ent[1].grpid, 0);
    for (int m = 0; m < 2; ++m) {
        EXPECT_EQ(d.Ent[2 + m].grpid, 203220);
        EXPECT_EQ(d.Ent[2 + m].grpen, 0);
        EXPECT_EQ(d.Ent[2 + m].grpno, m);
    }
    EXPECT_EQ(d.Ent[4].grpid, 0);
    EXPECT_EQ(d.Ent[4].grpno, 0);
    EXPECT_EQ(d.CurGrpId, 0);
    EXPECT_EQ(d.gr[0].gname, u"G");
}

TEST(M7Registry, EveryGroupKindOpensAGroup)
{
    struct Case {
        uint16_t version;
        size_t tail;
        int ino;
    };
    for (Case c :
        { Case { 20, 0, 203220 }, Case { 30, 372, 203230 }, Case { 40, 282, 203240 }, Case { 50, 160, 203250 } }) {
        Writer w = titled();
        w.line({}, { 0, 0 }, { 1, 1 });
        w.line({}, { 0, 0 }, { 1, 1 });
        Bytes g = m7w::group_part({}, {}, 1, "x");
        g.zeros(c.tail);
        w.chunk(2032, c.version, g);
        w.line({}, { 0, 0 }, { 1, 1 });
        w.line({}, { 0, 0 }, { 1, 1 });
        TM7Data d;
        ASSERT_TRUE(read(d, w)) << c.version;
        ASSERT_EQ(d.EntN, 5);
        EXPECT_EQ(d.Ent[2].INo, c.ino);
        EXPECT_EQ(d.Ent[3].grpid, c.ino) << c.version;
        EXPECT_EQ(d.Ent[3].grpen, 0);
        EXPECT_EQ(d.Ent[4].grpid, 0) << c.version;
    }
}

TEST(M7Registry, InnerGroupReplacesTheOuterOne)
{
    Writer w = titled();
    w.group({}, 5, "outer");
    w.line({}, { 0, 0 }, { 1, 1 });
    w.group({}, 1, "inner");
    w.line({}, { 0, 0 }, { 1, 1 });
    w.line({}, { 0, 0 }, { 1, 1 });
    TM7Data d;
    ASSERT_TRUE(read(d, w));
    ASSERT_EQ(d.EntN, 5);
    EXPECT_EQ(d.Ent[1].grpid, 203220);
    EXPECT_EQ(d.Ent[1].grpen, 0);
    EXPECT_EQ(d.Ent[1].grpno, 0);
    // The inner group is itself the outer group's second member.
    EXPECT_EQ(d.Ent[2].grpen, 0);
    EXPECT_EQ(d.Ent[2].grpno, 1);
    EXPECT_EQ(d.Ent[3].grpid, 203220);
    EXPECT_EQ(d.Ent[3].grpen, 1);
    EXPECT_EQ(d.Ent[3].grpno, 0);
    EXPECT_EQ(d.Ent[4].grpid, 0);
}

// A group without members would otherwise never close and swallow the rest of the drawing.
TEST(M7Registry, GroupWithoutMembersCapturesNothing)
{
    for (int32_t cnt : { 0, -1, INT32_MIN }) {
        Writer w = titled();
        w.group({}, 2, "outer");
        w.group({}, cnt, "empty");
        w.line({}, { 0, 0 }, { 1, 1 });
        w.line({}, { 0, 0 }, { 1, 1 });
        TM7Data d;
        ASSERT_TRUE(read(d, w));
        ASSERT_EQ(d.EntN, 4);
        EXPECT_EQ(d.Ent[1].grpno, 0) << cnt;
        EXPECT_EQ(d.Ent[2].grpid, 0) << cnt;
        EXPECT_EQ(d.Ent[3].grpid, 0) << cnt;
        EXPECT_EQ(d.CurGrpId, 0);
    }
}

TEST(M7Registry, ListsGrowInStepsOfAHundred)
{
    struct Case {
        int lines;
        size_t capacity;
    };
    for (Case c : { Case { 1, 100 }, Case { 100, 100 }, Case { 101, 200 }, Case { 250, 300 } }) {
        Writer w = titled();
        for (int i = 0; i < c.lines; ++i)
            w.line({}, { double(i), 0 }, { 0, 0 });
        TM7Data d;
        ASSERT_TRUE(read(d, w));
        EXPECT_EQ(d.lnN, c.lines);
        EXPECT_EQ(d.ln.size(), c.capacity) << c.lines;
        EXPECT_EQ(d.EntN, c.lines);
        EXPECT_EQ(d.Ent.size(), c.capacity) << c.lines;
        EXPECT_EQ(d.ln[size_t(c.lines - 1)].pos[0].X, c.lines - 1);
        EXPECT_TRUE(d.pt.empty());
    }
}
