// Tests of the ".jwc" reader: header blocks, both table layouts, records, string pool, names, failures.
#include "formats/jwc/JwcUnit.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "globals/UnitVal.h"
#include "tests/support/jwc_writer.h"

namespace {

using test_jwc::JwcFile;

struct Loaded {
    bool ok = false;
    std::u16string path;
};

Loaded load(TJwcData& d, const test_jwc::ScratchDir& dir, const JwcFile& f, const std::string& name = "a.jwc")
{
    Loaded l;
    l.path = dir.write(name, f.bytes());
    l.ok = d.FileIn(l.path);
    return l;
}

bool load_bytes(TJwcData& d, const test_jwc::ScratchDir& dir, const std::string& bytes)
{
    return d.FileIn(dir.write("b.jwc", bytes));
}

test_jwc::Text text_of(const std::string& bytes)
{
    test_jwc::Text t;
    t.x2 = 1;
    t.bytes = bytes;
    return t;
}

// A text record pointing at an address of its own choosing.
test_jwc::Text text_at(uint32_t address)
{
    test_jwc::Text t = text_of("");
    t.address = address;
    return t;
}

class JwcReader : public ::testing::Test {
protected:
    test_jwc::ScratchDir dir;
    TJwcData doc;
};

TEST_F(JwcReader, EmptyDrawingReadsWithDefaults)
{
    JwcFile f;
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_EQ(doc.lineN + doc.arcN + doc.mojiN + doc.tenN, 0);
    EXPECT_EQ(doc.EntVten.size(), 101u);
    EXPECT_EQ(doc.EntMjtp.size(), 12u);
    EXPECT_EQ(doc.EntLgrp.size(), 16u);
    EXPECT_EQ(doc.EntLay.size(), 256u);
    EXPECT_TRUE(doc.Enthd.scaleF);
    EXPECT_EQ(doc.Enthd.psize, 3);
    EXPECT_FLOAT_EQ(doc.Enthd.dataUnit, 420.0f / 518.0f);
}

TEST_F(JwcReader, DataUnitFollowsPaperCodeAndDrawWidth)
{
    struct Case {
        int psize;
        int drawWidth;
        float width; // paper width the code stands for; the draw width itself for unknown codes
    };
    const Case cases[] = {
        { 0, 518, 1189 }, { 1, 518, 841 }, { 2, 518, 594 }, { 3, 1000, 420 }, { 4, 518, 297 }, { 8, 518, 1682 },
        { 9, 518, 2378 }, { 10, 518, 3364 }, { 11, 518, 4756 }, { 12, 518, 10000 }, { 13, 518, 50000 },
        { 14, 518, 100000 }, { 5, 518, 518 }, { 6, 777, 777 }, { 7, 518, 518 }, { 15, 518, 518 }, { -1, 518, 518 },
        { 3, 0, 420 }, // a draw width of 0 stands for 518
    };
    for (const auto& c : cases) {
        JwcFile f;
        f.psize = c.psize;
        f.draw_width = c.drawWidth;
        ASSERT_TRUE(load(doc, dir, f).ok) << c.psize;
        const int dw = c.drawWidth == 0 ? 518 : c.drawWidth;
        EXPECT_EQ(doc.Enthd.drawWidth, dw) << c.psize;
        EXPECT_FLOAT_EQ(doc.Enthd.dataUnit, c.width / float(dw)) << c.psize << " " << c.drawWidth;
    }
}

TEST_F(JwcReader, HeaderIdentityCommentsAndScaleMark)
{
    JwcFile f;
    f.comment1 = "first\x01 memo";
    f.comment2 = std::string(32, 'c'); // fills its field: no terminator
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_EQ(doc.Enthd.jwID.substr(0, 20), u"jw_cad(c)data.......");
    EXPECT_EQ(doc.Enthd.comment1, u"first\x01 memo"); // stored unstripped
    EXPECT_EQ(doc.Enthd.comment2, std::u16string(32, u'c'));
    EXPECT_TRUE(doc.Enthd.scaleF);

    f.scale_f = false;
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_FALSE(doc.Enthd.scaleF);
}

TEST_F(JwcReader, PublishesDocumentInformation)
{
    gDrawTime = u"stale";
    gPrtBairitsu = 3;
    JwcFile f;
    f.comment1 = "Plan\x09"
                 "A";
    f.comment2 = "\x90\x7D\x96\xCA"; // code page 932 for the two characters below
    auto l = load(doc, dir, f);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(gFilePath, l.path);
    EXPECT_EQ(gDrawTime, u"");
    EXPECT_EQ(gMemo1, u"PlanA");
    EXPECT_EQ(gMemo2, u"図面");
    EXPECT_EQ(gDrawTitle, u"PlanA\u3000図面");
    EXPECT_EQ(gPrtBairitsu, 1.0);

    f.comment2.clear();
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_EQ(gDrawTitle, u"PlanA");
}

// Every header field outside the counts is read from its field and kept as written.
TEST_F(JwcReader, EveryHeaderFieldKeepsItsValue)
{
    struct Case {
        int block;
        int field;
        std::string text;
        std::function<double(const TEntJwcHeader&)> get;
        double expected;
    };
    const std::vector<Case> cases = {
        { 2, 5, "7", [](auto& h) { return h.curFno; }, 7 },
        { 2, 6, "8", [](auto& h) { return h.curMfno; }, 8 },
        { 2, 7, "9", [](auto& h) { return h.curMlcol; }, 9 },
        { 2, 8, "10", [](auto& h) { return h.curMpcol; }, 10 },
        { 2, 9, "1.5", [](auto& h) { return h.wLayScale; }, 1.5 },
        { 2, 10, "11", [](auto& h) { return h.wLayNo; }, 11 },
        { 2, 12, "12", [](auto& h) { return h.lcol; }, 12 },
        { 2, 13, "13", [](auto& h) { return h.ltyp; }, 13 },
        { 2, 14, "2.25", [](auto& h) { return h.plotOrgX; }, 2.25 },
        { 2, 15, "-3.5", [](auto& h) { return h.plotOrgY; }, -3.5 },
        { 2, 16, "0.75", [](auto& h) { return h.lpitch1; }, 0.75 },
        { 2, 17, "1.75", [](auto& h) { return h.lpitch2; }, 1.75 },
        { 2, 18, "3600", [](auto& h) { return h.drawtime; }, 3600 },
        { 2, 19, "1", [](auto& h) { return h.penWidth[0]; }, 1 },
        { 2, 24, "6", [](auto& h) { return h.penWidth[5]; }, 6 },
        { 2, 25, "5", [](auto& h) { return h.gridX; }, 5 },
        { 2, 26, "6", [](auto& h) { return h.gridY; }, 6 },
        { 2, 27, "7", [](auto& h) { return h.gridOrgX; }, 7 },
        { 2, 28, "8", [](auto& h) { return h.gridOrgY; }, 8 },
        { 2, 29, "9", [](auto& h) { return h.gridScale; }, 9 },
        { 2, 31, "1", [](auto& h) { return h.flgPthin; }, 1 },
        { 3, 0, "1.5", [](auto& h) { return h.mvDist; }, 1.5 },
        { 3, 3, "45", [](auto& h) { return h.arAng; }, 45 },
        { 3, 4, "4", [](auto& h) { return h.locMR; }, 4 },
        { 3, 9, "3", [](auto& h) { return h.mvKeta; }, 3 },
        { 3, 10, "0.5", [](auto& h) { return h.sOfsetXL; }, 0.5 },
        { 3, 15, "2.5", [](auto& h) { return h.sOfsetYT; }, 2.5 },
        { 3, 16, "16", [](auto& h) { return h.s1len; }, 16 },
        { 3, 18, "18", [](auto& h) { return h.sOrgYm; }, 18 },
        { 3, 19, "1.25", [](auto& h) { return h.dlinDistB; }, 1.25 },
        { 3, 20, "2.5", [](auto& h) { return h.dlinDist[0]; }, 2.5 },
        { 3, 24, "6.5", [](auto& h) { return h.dlinDist[4]; }, 6.5 },
        { 3, 27, "0.125", [](auto& h) { return h.svScrnScl; }, 0.125 },
        { 4, 2, "1.5", [](auto& h) { return h.subZm0X; }, 1.5 },
        { 4, 4, "3.5", [](auto& h) { return h.subZm0S; }, 3.5 },
        { 4, 16, "4.5", [](auto& h) { return h.subZm4S; }, 4.5 },
        { 4, 17, "35.5", [](auto& h) { return h.hiIdo; }, 35.5 },
        { 4, 19, "12", [](auto& h) { return h.hiTaka; }, 12 },
        { 4, 20, "1", [](auto& h) { return h.flgHok; }, 1 },
        { 4, 21, "2", [](auto& h) { return h.flg25Dm; }, 2 },
    };
    for (const auto& c : cases) {
        JwcFile f;
        auto& fields = c.block == 2 ? f.block2_fields : c.block == 3 ? f.block3_fields : f.block4_fields;
        fields[c.field] = c.text;
        ASSERT_TRUE(load(doc, dir, f).ok);
        EXPECT_DOUBLE_EQ(c.get(doc.Enthd), c.expected) << "block " << c.block << " field " << c.field;
    }
}

TEST_F(JwcReader, NumericFieldsFollowTheStrictParser)
{
    struct Case {
        std::string text;
        int32_t expected;
    };
    const Case cases[] = {
        { "12", 12 },
        { " 12", 12 },
        { "12 ", 0 },
        { "$1F", 31 },
        { "-7", -7 },
        { "1.5", 0 },
        { "", 0 },
        { "x", 0 },
    };
    for (const auto& c : cases) {
        JwcFile f;
        f.block2_fields[5] = c.text;
        ASSERT_TRUE(load(doc, dir, f).ok);
        EXPECT_EQ(doc.Enthd.curFno, c.expected) << "'" << c.text << "'";
    }
}

TEST_F(JwcReader, RealsBeyondSinglePrecisionSaturate)
{
    JwcFile f;
    f.block2_fields[9] = "1e300";
    f.block2_fields[14] = "-1e300";
    f.block2_fields[15] = "1e-300";
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_EQ(doc.Enthd.wLayScale, std::numeric_limits<float>::infinity());
    EXPECT_EQ(doc.Enthd.plotOrgX, -std::numeric_limits<float>::infinity());
    EXPECT_EQ(doc.Enthd.plotOrgY, 0.0f);
}

TEST_F(JwcReader, ShortBlockLeavesMissingFieldsZero)
{
    JwcFile f;
    f.block2_text = "0,0,0,0,3,1,2";
    f.psize = 3;
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_EQ(doc.Enthd.vtenCount, 3);
    EXPECT_EQ(doc.Enthd.curMfno, 2);
    EXPECT_EQ(doc.Enthd.psize, 0); // field 11 missing
    EXPECT_EQ(doc.Enthd.drawWidth, 518); // field 30 missing reads 0
    EXPECT_FLOAT_EQ(doc.Enthd.dataUnit, 1189.0f / 518.0f);
}

TEST_F(JwcReader, TextAfterTheLastFieldIsIgnored)
{
    JwcFile f;
    std::string text;
    for (int i = 0; i < 32; ++i)
        text += (i == 30 ? "1000" : i == 31 ? "4" : "0") + std::string(",");
    text += "99,98";
    f.block2_text = text;
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_EQ(doc.Enthd.drawWidth, 1000);
    EXPECT_EQ(doc.Enthd.flgPthin, 4);
}

TEST_F(JwcReader, SegmentedAddresses)
{
    struct Case {
        std::string text;
        int32_t expected;
    };
    const Case cases[] = {
        { "1234:0005", 0x1234 * 16 + 5 },
        { "0000:0000", 0 },
        { "FFFF:FFFF", 0xFFFF * 16 + 0xFFFF },
        { "abcd-0010", 0xABCD * 16 + 0x10 }, // the separator is not examined
        { "12G4:0005", 5 }, // a malformed half counts as 0
        { "1234", 0x1234 * 16 },
        { "", 0 },
    };
    for (const auto& c : cases) {
        JwcFile f;
        f.texts.clear();
        f.block4_fields[0] = c.text;
        f.block4_fields[1] = c.text;
        ASSERT_TRUE(load(doc, dir, f).ok);
        EXPECT_EQ(doc.Enthd.sBufAdr1, c.expected) << c.text;
        EXPECT_EQ(doc.Enthd.sBufAdr2, c.expected) << c.text;
    }
}

TEST_F(JwcReader, FixedTablesInBothScaleLayouts)
{
    for (bool scale_f : { true, false }) {
        JwcFile f;
        f.scale_f = scale_f;
        f.psize = 99; // coordinates as written
        f.vten_count = 2;
        f.vten[1] = { 1.5f, 2.5f, 7 };
        f.vten[100] = { -4.0f, 8.0f, 255 };
        for (int i = 0; i < 11; ++i)
            f.text_types[size_t(i)] = { uint16_t(i + 1), uint16_t(10 * i), uint16_t(20 * i), uint16_t(i) };
        for (int g = 0; g < 16; ++g) {
            f.group_scale[size_t(g)] = float(100 + g);
            f.group_srch[size_t(g)] = uint8_t(g & 1);
            f.group_disp[size_t(g)] = uint8_t((g >> 1) & 1);
            f.group_wlay[size_t(g)] = uint8_t(g);
        }
        f.layer_srch[37] = 0;
        f.layer_disp[200] = 0;
        f.lines.push_back({ 1, 2, 3, 4, 2, 5, 17, 0, 0, 0 });
        auto bytes = f.bytes();
        if (!scale_f) { // 16-bit scales: 100 is the two bytes 0x64 0x00
            EXPECT_EQ(bytes.substr(1797, 2), std::string("\x64\x00", 2));
        }
        // The first line record sits where the layout says.
        float x1;
        std::memcpy(&x1, bytes.data() + f.records_offset(), 4);
        EXPECT_EQ(x1, 1.0f);

        ASSERT_TRUE(load_bytes(doc, dir, bytes)) << scale_f;
        EXPECT_EQ(doc.EntVten[1].x, 1.5f);
        EXPECT_EQ(doc.EntVten[1].y, 2.5f);
        EXPECT_EQ(doc.EntVten[1].lay, 7);
        EXPECT_EQ(doc.EntVten[100].x, -4.0f);
        EXPECT_EQ(doc.EntVten[100].lay, 255);
        for (int i = 0; i < 11; ++i) {
            EXPECT_EQ(doc.EntMjtp[size_t(i)].penNo, i + 1);
            EXPECT_EQ(doc.EntMjtp[size_t(i)].width, 10 * i);
            EXPECT_EQ(doc.EntMjtp[size_t(i)].height, 20 * i);
            EXPECT_EQ(doc.EntMjtp[size_t(i)].dist, i);
        }
        EXPECT_EQ(doc.EntMjtp[11].penNo, 0); // not in the file
        for (int g = 0; g < 16; ++g) {
            EXPECT_EQ(doc.EntLgrp[size_t(g)].scale, float(100 + g));
            EXPECT_EQ(doc.EntLgrp[size_t(g)].srchF, g & 1);
            EXPECT_EQ(doc.EntLgrp[size_t(g)].dispF, (g >> 1) & 1);
            EXPECT_EQ(doc.EntLgrp[size_t(g)].w_lay, g);
        }
        EXPECT_EQ(doc.EntLay[37].srchF, 0);
        EXPECT_EQ(doc.EntLay[36].srchF, 1);
        EXPECT_EQ(doc.EntLay[200].dispF, 0);
        ASSERT_EQ(doc.lineN, 1);
        EXPECT_EQ(doc.EntLine[0].y2, 4.0f);
        EXPECT_EQ(doc.EntLine[0].lay, 17);
    }
}

TEST_F(JwcReader, RecordsAreScaledToMillimetres)
{
    JwcFile f;
    f.psize = 4;
    f.draw_width = 594; // two file units per millimetre
    f.lines.push_back({ 10, 20, 30, -40, 2, 3, 18, 4, 5, 6 });
    f.arcs.push_back({ 100, 200, 50, 0.5, 30, 120.25, -15, 9, 7, 33, 1, 2, 3 });
    test_jwc::Text text = text_of("abc");
    text.x1 = 2;
    text.y1 = 4;
    text.x2 = 6;
    text.y2 = 8;
    text.no = 3;
    text.lay = 40;
    text.flg1 = 0x20;
    text.flg2 = 9;
    f.texts.push_back(text);
    f.points.push_back({ -2, -4, 12, 8, 1, 2 });
    f.vten_count = 1;
    f.vten[1] = { 6, 8, 0 };
    ASSERT_TRUE(load(doc, dir, f).ok);
    const float u = 297.0f / 594.0f;
    ASSERT_FLOAT_EQ(doc.Enthd.dataUnit, u);

    ASSERT_EQ(doc.lineN, 1);
    const auto& l = doc.EntLine[0];
    EXPECT_FLOAT_EQ(l.x1, 10 * u);
    EXPECT_FLOAT_EQ(l.y1, 20 * u);
    EXPECT_FLOAT_EQ(l.x2, 30 * u);
    EXPECT_FLOAT_EQ(l.y2, -40 * u);
    EXPECT_EQ(l.typ, 2);
    EXPECT_EQ(l.col, 3);
    EXPECT_EQ(l.lay, 18);
    EXPECT_EQ(l.flg1, 4);
    EXPECT_EQ(l.flg2, 5);
    EXPECT_EQ(l.flg3, 6);

    ASSERT_EQ(doc.arcN, 1);
    const auto& a = doc.EntArc[0];
    EXPECT_FLOAT_EQ(a.x, 100 * u);
    EXPECT_FLOAT_EQ(a.y, 200 * u);
    EXPECT_FLOAT_EQ(a.r, 50 * u);
    EXPECT_FLOAT_EQ(a.h, 0.5f);
    EXPECT_FLOAT_EQ(a.st, 30);
    EXPECT_FLOAT_EQ(a.et, 120.25f);
    EXPECT_FLOAT_EQ(a.tt, -15);
    EXPECT_EQ(a.typ, 9);
    EXPECT_EQ(a.col, 7);
    EXPECT_EQ(a.lay, 33);
    EXPECT_EQ(a.flg3, 3);

    ASSERT_EQ(doc.mojiN, 1);
    const auto& m = doc.EntMoji[0];
    EXPECT_FLOAT_EQ(m.x2, 6 * u);
    EXPECT_FLOAT_EQ(m.y2, 8 * u);
    EXPECT_EQ(m.p, int32_t(f.pool_base));
    EXPECT_EQ(m.no, 3);
    EXPECT_EQ(m.lay, 40);
    EXPECT_EQ(m.flg1, 0x20);
    EXPECT_EQ(m.flg2, 9);
    EXPECT_EQ(m.s, u"abc");

    ASSERT_EQ(doc.tenN, 1);
    const auto& t = doc.EntTen[0];
    EXPECT_FLOAT_EQ(t.x, -2 * u);
    EXPECT_FLOAT_EQ(t.y, -4 * u);
    EXPECT_EQ(t.lay, 12);
    EXPECT_EQ(t.col, 8);
    EXPECT_EQ(t.flg1, 1);
    EXPECT_EQ(t.flg2, 2);

    EXPECT_FLOAT_EQ(doc.EntVten[1].x, 6 * u);
}

TEST_F(JwcReader, StringPoolThroughTheSegmentedAddresses)
{
    JwcFile f;
    f.texts.push_back(text_of("first"));
    f.texts.push_back(text_of("\x90\x7D\x96\xCA"));
    f.texts.push_back(text_of("with\x0D\x0A"
                              "break"));
    f.texts.push_back(text_of(""));
    f.texts.push_back(text_at(f.pool_base + 2)); // inside "first"
    f.texts.push_back(text_at(f.pool_base)); // the start of the pool
    f.texts.push_back(text_at(f.pool_base - 1)); // before the pool
    f.texts.push_back(text_at(f.pool_base + 1000)); // beyond it
    f.points.push_back({ 5, 6 });
    f.layer_names[0] = "L0";
    ASSERT_TRUE(load(doc, dir, f).ok);
    ASSERT_EQ(doc.mojiN, 8);
    EXPECT_EQ(doc.Enthd.sBufAdr1, int32_t(f.pool_base));
    EXPECT_GT(doc.Enthd.sBufAdr2, doc.Enthd.sBufAdr1);
    EXPECT_EQ(doc.EntMoji[0].s, u"first");
    EXPECT_EQ(doc.EntMoji[1].s, u"図面");
    EXPECT_EQ(doc.EntMoji[2].s, u"withbreak");
    EXPECT_EQ(doc.EntMoji[3].s, u"");
    EXPECT_EQ(doc.EntMoji[4].s, u"rst");
    EXPECT_EQ(doc.EntMoji[5].s, u"first");
    EXPECT_EQ(doc.EntMoji[6].s, u"");
    EXPECT_EQ(doc.EntMoji[7].s, u"");
    ASSERT_EQ(doc.tenN, 1);
    EXPECT_FLOAT_EQ(doc.EntTen[0].y, 6 * doc.Enthd.dataUnit);
    EXPECT_EQ(doc.EntLay[0].name, u"L0");
}

TEST_F(JwcReader, TextAddressIsSegmentTimesSixteenPlusOffset)
{
    JwcFile f;
    f.pool_base = 0x12345;
    f.texts.push_back(text_of("abcdef"));
    auto bytes = f.bytes();
    // Offset 0x0017 at byte 16, segment 0x1233 at byte 18: 0x12347, two bytes into the pool.
    const size_t rec = f.records_offset();
    const char addr[] = { 0x17, 0x00, 0x33, 0x12 };
    bytes.replace(rec + 16, 4, addr, 4);
    ASSERT_TRUE(load_bytes(doc, dir, bytes));
    EXPECT_EQ(doc.EntMoji[0].p, 0x12347);
    EXPECT_EQ(doc.EntMoji[0].s, u"cdef");
}

TEST_F(JwcReader, LastTextOfThePoolEndsAtThePoolEnd)
{
    JwcFile f;
    f.texts.push_back(text_of(""));
    f.pool = "abc"; // no terminator inside the pool
    f.points.push_back({ 1, 1 });
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_EQ(doc.EntMoji[0].s, u"abc");
    EXPECT_EQ(doc.tenN, 1);
}

TEST_F(JwcReader, NoPoolWhenSecondAddressIsNotAbove)
{
    for (std::string second : { "1234:0005", "1000:0000" }) {
        JwcFile f;
        f.pool = "";
        f.texts.push_back(text_at(f.pool_base));
        f.block4_fields[1] = second;
        f.points.push_back({ 3, 4 });
        f.layer_names[255] = "last";
        f.group_names[15] = "G-last";
        ASSERT_TRUE(load(doc, dir, f).ok) << second;
        EXPECT_EQ(doc.EntMoji[0].s, u"");
        ASSERT_EQ(doc.tenN, 1);
        EXPECT_FLOAT_EQ(doc.EntTen[0].x, 3 * doc.Enthd.dataUnit);
        EXPECT_EQ(doc.EntLay[255].name, u"last");
        EXPECT_EQ(doc.EntLgrp[15].name, u"G-last");
    }
}

TEST_F(JwcReader, NamesDropControlCharactersAndMayFillTheirField)
{
    JwcFile f;
    f.layer_names[0] = "ab\x01"
                       "cd";
    f.layer_names[1] = "12345678"; // full: no terminator
    f.layer_names[2] = "123456789"; // the writer cuts it to the field
    f.layer_names[3] = "\x8A\x4B"; // one double-byte character
    f.group_names[0] = "Group\x1F"
                       "Zero";
    f.group_names[1] = std::string(16, 'g');
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_EQ(doc.EntLay[0].name, u"abcd");
    EXPECT_EQ(doc.EntLay[1].name, u"12345678");
    EXPECT_EQ(doc.EntLay[2].name, u"12345678");
    EXPECT_EQ(doc.EntLay[3].name, u"階");
    EXPECT_EQ(doc.EntLgrp[0].name, u"GroupZero");
    EXPECT_EQ(doc.EntLgrp[1].name, std::u16string(16, u'g'));
    EXPECT_EQ(doc.EntLay[4].name, u"");
}

TEST_F(JwcReader, FileCheckAcceptsOnlyTheDrawingIdentification)
{
    JwcFile f;
    EXPECT_TRUE(doc.FileCheck(dir.write("ok.jwc", f.bytes())));
    f.id = "jw_cad(c)sym........";
    EXPECT_FALSE(doc.FileCheck(dir.write("sym.jwc", f.bytes())));
    EXPECT_FALSE(doc.FileCheck(dir.write("short.jwc", "jw_cad(c)data....")));
    EXPECT_TRUE(doc.FileCheck(dir.write("bare.jwc", "jw_cad(c)data.......")));
    EXPECT_FALSE(doc.FileCheck(dir.write("empty.jwc", "")));
    EXPECT_FALSE(doc.FileCheck(dir.path().u16string() + u"/missing.jwc"));
    EXPECT_FALSE(doc.FileCheck(dir.path().u16string())); // a folder
    EXPECT_FALSE(doc.FileIn(dir.path().u16string()));
    EXPECT_FALSE(doc.FileCheck(u""));
}

TEST_F(JwcReader, WrongIdentificationFailsTheLoad)
{
    JwcFile f;
    f.id = "jw_cad(c)sym........";
    EXPECT_FALSE(load(doc, dir, f).ok);
    EXPECT_FALSE(doc.FileIn(dir.path().u16string() + u"/missing.jwc"));
}

TEST_F(JwcReader, FileHeaderInReadsOnlyTheBlocks)
{
    JwcFile f;
    f.psize = 2;
    f.lines.push_back({ 1, 2, 3, 4 });
    auto bytes = f.bytes().substr(0, 800); // nothing after the header
    ASSERT_TRUE(doc.FileHeaderIn(dir.write("h.jwc", bytes)));
    EXPECT_EQ(doc.Enthd.lineCount, 1);
    EXPECT_EQ(doc.Enthd.psize, 2);
    EXPECT_EQ(doc.lineN, 0);
    EXPECT_TRUE(doc.EntLine.empty());
    EXPECT_FALSE(doc.FileHeaderIn(dir.write("h2.jwc", bytes.substr(0, 500))));
}

TEST_F(JwcReader, TruncatedFilesFail)
{
    JwcFile f;
    f.lines.push_back({ 1, 2, 3, 4 });
    f.texts.push_back(text_of("t"));
    f.points.push_back({ 1, 1 });
    const auto bytes = f.bytes();
    ASSERT_TRUE(load_bytes(doc, dir, bytes));
    // The names are read with a check, so a file that ends before its last name section fails;
    // one cut inside the last group name still loads.
    const size_t last_group_name = bytes.size() - 16;
    EXPECT_TRUE(load_bytes(doc, dir, bytes.substr(0, last_group_name + 1)));
    for (size_t cut : { size_t(0), size_t(100), size_t(700), size_t(1000), f.records_offset(), f.records_offset() + 10,
             last_group_name - 8, last_group_name }) {
        EXPECT_FALSE(load_bytes(doc, dir, bytes.substr(0, cut))) << cut;
    }
}

TEST_F(JwcReader, HostileCountsFailWithoutReadingPastTheData)
{
    struct Case {
        const char* what;
        std::function<void(JwcFile&)> set;
    };
    const Case cases[] = {
        { "negative lines", [](JwcFile& f) { f.line_count = -1; } },
        { "negative points", [](JwcFile& f) { f.ten_count = -5; } },
        { "two billion lines", [](JwcFile& f) { f.line_count = 2000000000; } },
        { "two billion arcs", [](JwcFile& f) { f.arc_count = 2000000000; } },
        { "two billion texts", [](JwcFile& f) { f.moji_count = 2000000000; } },
        { "two billion points", [](JwcFile& f) { f.ten_count = 2000000000; } },
        { "one line too many", [](JwcFile& f) { f.line_count = 3; } },
        { "pool beyond the file", [](JwcFile& f) { f.block4_fields[1] = "FFFF:FFFF"; } },
    };
    for (const auto& c : cases) {
        JwcFile f;
        f.lines.push_back({ 1, 2, 3, 4 });
        f.lines.push_back({ 5, 6, 7, 8 });
        c.set(f);
        EXPECT_FALSE(load(doc, dir, f).ok) << c.what;
        EXPECT_LE(size_t(doc.lineN), doc.EntLine.size()) << c.what;
        EXPECT_LE(doc.EntLine.size(), 3u) << c.what;
        EXPECT_TRUE(doc.EntArc.empty()) << c.what;
    }
}

TEST_F(JwcReader, TemporaryPointAndTextTypeLimits)
{
    JwcFile f;
    f.vten_count = 150;
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_EQ(doc.Enthd.vtenCount, 150); // kept as written
    EXPECT_EQ(doc.vten_in_use(), 100);
    f.vten_count = -3;
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_EQ(doc.vten_in_use(), 0);

    f.text_types[0] = { 4, 11, 22, 33 };
    f.text_types[5] = { 5, 1, 2, 3 };
    ASSERT_TRUE(load(doc, dir, f).ok);
    EXPECT_EQ(doc.moji_type(5).penNo, 5);
    EXPECT_EQ(doc.moji_type(11).penNo, 0);
    EXPECT_EQ(doc.moji_type(12).penNo, 4); // beyond the table: type 0
    EXPECT_EQ(doc.moji_type(255).height, 22);

    doc.DataFree();
    EXPECT_EQ(doc.vten_in_use(), 0);
    EXPECT_EQ(doc.moji_type(3).penNo, 0);
}

TEST_F(JwcReader, DataFreeResetsEverything)
{
    JwcFile f;
    f.psize = 1;
    f.lines.push_back({ 1, 2, 3, 4 });
    ASSERT_TRUE(load(doc, dir, f).ok);
    doc.DataFree();
    EXPECT_EQ(doc.lineN, 0);
    EXPECT_TRUE(doc.EntLine.empty());
    EXPECT_TRUE(doc.EntLay.empty());
    EXPECT_EQ(doc.Enthd.psize, 3);
    EXPECT_EQ(doc.Enthd.drawWidth, 518);
    EXPECT_EQ(doc.Enthd.dataUnit, 1.0f);
    EXPECT_TRUE(doc.Enthd.scaleF);
}

TEST_F(JwcReader, BytesInMemoryReadLikeTheFile)
{
    JwcFile f;
    f.lines.push_back({ 1, 2, 3, 4 });
    const auto s = f.bytes();
    std::vector<uint8_t> b(s.begin(), s.end());
    EXPECT_TRUE(TJwcData::check_bytes(b));
    ASSERT_TRUE(doc.read_bytes(b, u"mem.jwc"));
    EXPECT_EQ(doc.lineN, 1);
    EXPECT_EQ(gFilePath, u"mem.jwc");
}

} // namespace
