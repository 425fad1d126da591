// Tests of the ".jwk" reader: header, section order, pool offsets, built-in text types, short files.
#include "formats/jwc/JwkUnit.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "globals/UnitVal.h"
#include "tests/support/jwc_writer.h"

namespace {

using test_jwc::JwkFile;

test_jwc::Text text_of(const std::string& bytes, float x1 = 0, float y1 = 0, float x2 = 1, float y2 = 0)
{
    test_jwc::Text t;
    t.x1 = x1;
    t.y1 = y1;
    t.x2 = x2;
    t.y2 = y2;
    t.bytes = bytes;
    return t;
}

class JwkReader : public ::testing::Test {
protected:
    bool load(const JwkFile& f) { return doc.FileIn(dir.write("s.jwk", f.bytes())); }
    bool load_bytes(const std::string& b) { return doc.FileIn(dir.write("b.jwk", b)); }

    test_jwc::ScratchDir dir;
    TJwkData doc;
};

TEST_F(JwkReader, HeaderFieldsRoundTrip)
{
    JwkFile f;
    f.comment1 = "sym\x02"
                 "bol";
    f.comment2 = "two";
    f.org_x = "12.5";
    f.org_y = "-3";
    f.disp_scale = "0.5";
    f.str_space = 0;
    f.scale = "50";
    auto path = dir.write("h.jwk", f.bytes());
    ASSERT_TRUE(doc.FileIn(path));
    EXPECT_EQ(doc.Enthd.jwID.substr(0, 20), u"jw_cad(c)sym........");
    EXPECT_EQ(doc.Enthd.comment1,
        u"sym\x02"
        u"bol");
    EXPECT_FLOAT_EQ(doc.Enthd.org_x, 12.5f);
    EXPECT_FLOAT_EQ(doc.Enthd.org_y, -3.0f);
    EXPECT_FLOAT_EQ(doc.Enthd.dispScale, 0.5f);
    EXPECT_EQ(doc.Enthd.strSpace, 0);
    EXPECT_FLOAT_EQ(doc.Enthd.scale, 50.0f);
    EXPECT_EQ(gFilePath, path);
    EXPECT_EQ(gMemo1, u"symbol");
    EXPECT_EQ(gDrawTitle, u"symbol\u3000two");
    EXPECT_EQ(gDrawTime, u"");
    EXPECT_EQ(gPrtBairitsu, 1.0);
}

TEST_F(JwkReader, ScaleNotAboveTinyBecomesOne)
{
    struct Case {
        std::string text;
        float expected;
    };
    const Case cases[] = { { "0", 1 }, { "-5", 1 }, { "1e-15", 1 }, { "", 1 }, { "junk", 1 }, { "2", 2 },
        { "0.001", 0.001f } };
    for (const auto& c : cases) {
        JwkFile f;
        f.scale = c.text;
        ASSERT_TRUE(load(f)) << c.text;
        EXPECT_FLOAT_EQ(doc.Enthd.scale, c.expected) << c.text;
        EXPECT_DOUBLE_EQ(doc.symbol_scale(), double(c.expected)) << c.text;
    }
}

TEST_F(JwkReader, PointsComeBeforeTextsAndValuesStayInFileUnits)
{
    JwkFile f;
    f.scale = "100";
    f.lines.push_back({ 100, 200, 300, 400, 2, 3, 4, 0, 0, 0 });
    f.arcs.push_back({ 50, 60, 70, 0.25, -90, 45.5, 30, 1, 5, 6, 0, 0, 0 });
    f.points.push_back({ 7, 8, 9, 10, 0, 0 });
    f.texts.push_back(text_of("ab", 1, 2, 3, 4));
    ASSERT_TRUE(load(f));
    ASSERT_EQ(doc.lineN, 1);
    EXPECT_EQ(doc.EntLine[0].x2, 300.0f);
    EXPECT_EQ(doc.EntLine[0].lay, 4);
    ASSERT_EQ(doc.arcN, 1);
    EXPECT_EQ(doc.EntArc[0].r, 70.0f);
    EXPECT_FLOAT_EQ(doc.EntArc[0].h, 0.25f);
    EXPECT_FLOAT_EQ(doc.EntArc[0].st, -90.0f);
    EXPECT_FLOAT_EQ(doc.EntArc[0].et, 45.5f);
    EXPECT_FLOAT_EQ(doc.EntArc[0].tt, 30.0f);
    ASSERT_EQ(doc.tenN, 1);
    EXPECT_EQ(doc.EntTen[0].x, 7.0f);
    EXPECT_EQ(doc.EntTen[0].lay, 9);
    EXPECT_EQ(doc.EntTen[0].col, 10);
    ASSERT_EQ(doc.mojiN, 1);
    EXPECT_EQ(doc.EntMoji[0].y2, 4.0f);
    EXPECT_EQ(doc.EntMoji[0].s, u"ab");
}

TEST_F(JwkReader, TextsComeFromPoolOffsets)
{
    JwkFile f;
    f.texts.push_back(text_of("first"));
    f.texts.push_back(text_of("\x90\x7D\x96\xCA\x01"));
    auto spare = text_of("");
    spare.address = 1; // inside "first"
    spare.jwk_spare = 0xBEEF; // the unused bytes play no part
    f.texts.push_back(spare);
    auto outside = text_of("");
    outside.address = 60000;
    f.texts.push_back(outside);
    ASSERT_TRUE(load(f));
    ASSERT_EQ(doc.mojiN, 4);
    EXPECT_EQ(doc.EntMoji[0].s, u"first");
    EXPECT_EQ(doc.EntMoji[1].s, u"図面");
    EXPECT_EQ(doc.EntMoji[2].p, 1);
    EXPECT_EQ(doc.EntMoji[2].s, u"irst");
    EXPECT_EQ(doc.EntMoji[3].s, u"");
}

TEST_F(JwkReader, OffsetAtPoolSizeIsEmpty)
{
    JwkFile f;
    f.pool = "abc"; // no terminator: the reader adds one
    auto t = text_of("");
    t.address = 0;
    f.texts.push_back(t);
    t.address = 3;
    f.texts.push_back(t);
    ASSERT_TRUE(load(f));
    EXPECT_EQ(doc.EntMoji[0].s, u"abc");
    EXPECT_EQ(doc.EntMoji[1].s, u"");
}

TEST_F(JwkReader, NoPoolWhenStrSpaceIsNotPositive)
{
    for (int64_t space : { 0, -10 }) {
        JwkFile f;
        f.texts.push_back(text_of("lost"));
        f.str_space = space;
        f.pool = "";
        ASSERT_TRUE(load(f)) << space;
        ASSERT_EQ(doc.mojiN, 1);
        EXPECT_EQ(doc.EntMoji[0].s, u"");
    }
}

TEST_F(JwkReader, BuiltInTextTypes)
{
    struct Slot {
        int no;
        uint16_t pen, width, height, dist;
    };
    const Slot slots[] = { { 0, 0, 0, 0, 0 }, { 1, 1, 20, 20, 0 }, { 2, 1, 25, 25, 5 }, { 3, 2, 30, 30, 5 },
        { 4, 2, 40, 40, 5 }, { 5, 3, 50, 50, 10 }, { 6, 3, 60, 60, 10 }, { 7, 4, 70, 70, 10 }, { 8, 4, 80, 80, 10 },
        { 9, 5, 90, 90, 10 }, { 10, 5, 100, 100, 10 }, { 11, 0, 0, 0, 0 } };
    ASSERT_EQ(doc.EntMjtp.size(), 12u);
    for (const auto& s : slots) {
        const auto& t = doc.EntMjtp[size_t(s.no)];
        EXPECT_EQ(t.penNo, s.pen) << s.no;
        EXPECT_EQ(t.width, s.width) << s.no;
        EXPECT_EQ(t.height, s.height) << s.no;
        EXPECT_EQ(t.dist, s.dist) << s.no;
    }
    EXPECT_EQ(doc.moji_type(200).penNo, 0); // beyond the table: type 0
    EXPECT_EQ(doc.moji_type(4).width, 40);

    doc.DataFree();
    EXPECT_TRUE(doc.EntMjtp.empty());
    ASSERT_TRUE(load(JwkFile {}));
    EXPECT_EQ(doc.EntMjtp.size(), 12u);
    EXPECT_EQ(doc.EntMjtp[10].width, 100);
}

TEST_F(JwkReader, FileCheckAcceptsOnlyTheSymbolIdentification)
{
    JwkFile f;
    EXPECT_TRUE(doc.FileCheck(dir.write("ok.jwk", f.bytes())));
    f.id = "jw_cad(c)data.......";
    EXPECT_FALSE(doc.FileCheck(dir.write("jwc.jwk", f.bytes())));
    EXPECT_FALSE(load(f));
    EXPECT_FALSE(doc.FileCheck(dir.path().u16string() + u"/missing.jwk"));
}

TEST_F(JwkReader, ShortFilesLoadWhileEveryReadFindsAByte)
{
    JwkFile f;
    f.lines.push_back({ 1, 2, 3, 4 });
    f.texts.push_back(text_of("hello"));
    const auto full = f.bytes();
    const size_t texts_at = 400 + 22;
    const size_t pool_at = texts_at + 24;
    ASSERT_TRUE(load_bytes(full));

    struct Case {
        size_t cut;
        bool loads;
    };
    const Case cases[] = {
        { pool_at + 2, true }, // inside the pool: the text is cut
        { pool_at + 1, true },
        { pool_at, false }, // the pool read finds nothing
        { texts_at + 5, false }, // the pool read after the cut record finds nothing
        { texts_at, false }, // the text record finds nothing
        { 300, false }, // inside the text block: no records read
        { 200, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(load_bytes(full.substr(0, c.cut)), c.loads) << c.cut;

    ASSERT_TRUE(load_bytes(full.substr(0, pool_at + 2)));
    EXPECT_EQ(doc.EntMoji[0].s, u"he");

    // Without a pool, a file cut inside its last record loads with the rest of the record zero.
    JwkFile lines_only;
    lines_only.lines.push_back({ 1, 2, 3, 4 });
    lines_only.lines.push_back({ 5, 6, 7, 8 });
    ASSERT_TRUE(load_bytes(lines_only.bytes().substr(0, 400 + 22 + 8)));
    ASSERT_EQ(doc.lineN, 2);
    EXPECT_EQ(doc.EntLine[1].y1, 6.0f);
    EXPECT_EQ(doc.EntLine[1].x2, 0.0f);
}

TEST_F(JwkReader, HostileCountsFail)
{
    struct Case {
        const char* what;
        std::function<void(JwkFile&)> set;
    };
    const Case cases[] = {
        { "negative lines", [](JwkFile& f) { f.line_count = -1; } },
        { "negative texts", [](JwkFile& f) { f.moji_count = -1; } },
        { "two billion lines", [](JwkFile& f) { f.line_count = 2000000000; } },
        { "two billion points", [](JwkFile& f) { f.ten_count = 2000000000; } },
        { "two billion texts", [](JwkFile& f) { f.moji_count = 2000000000; } },
    };
    for (const auto& c : cases) {
        JwkFile f;
        f.lines.push_back({ 1, 2, 3, 4 });
        c.set(f);
        EXPECT_FALSE(load(f)) << c.what;
        EXPECT_LE(doc.EntLine.size(), 1u) << c.what;
        EXPECT_LE(doc.EntTen.size(), 1u) << c.what;
        EXPECT_LE(doc.EntMoji.size(), 1u) << c.what;
    }
    // A pool announced far beyond the file keeps only what is there.
    JwkFile f;
    f.texts.push_back(text_of("abc"));
    f.str_space = 2000000000;
    ASSERT_TRUE(load(f));
    EXPECT_EQ(doc.EntMoji[0].s, u"abc");
}

TEST_F(JwkReader, FileHeaderInReadsOnlyTheBlock)
{
    JwkFile f;
    f.lines.push_back({ 1, 2, 3, 4 });
    f.scale = "20";
    ASSERT_TRUE(doc.FileHeaderIn(dir.write("h.jwk", f.bytes().substr(0, 400))));
    EXPECT_EQ(doc.Enthd.lineCount, 1);
    EXPECT_FLOAT_EQ(doc.Enthd.scale, 20.0f);
    EXPECT_EQ(doc.lineN, 0);
}

} // namespace
