// Reading ".jww" files: round trips by version, header rows, class tags, repairs, failures, hostile files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "formats/jww/JwwUnit.h"
#include "globals/UnitVal.h"
#include "tests/support/jww_tempdir.h"
#include "tests/support/jww_writer.h"
#include "util/Func_2_text.h"

using namespace jwwtest;

namespace {

// Loads bytes through a file in a private folder.
struct Loaded {
    TempDir dir;
    TJwwData jw;
    bool checked = false;
    bool ok = false;

    explicit Loaded(const std::vector<uint8_t>& bytes)
    {
        std::u16string path = dir.file("d.jww");
        FILE* f = std::fopen((dir.path() / "d.jww").c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        jw.BindImageFolder = dir.folder();
        jw.BindImageExp = jw.BindImageExr = true;
        checked = jw.FileCheck(path);
        ok = jw.FileIn(path);
    }
};

template <class T> bool same_bytes(const T& a, const T& b, size_t n = sizeof(T)) { return std::memcmp(&a, &b, n) == 0; }

// The record as a file of this version gives it back.
template <class T> T narrowed(T r, int32_t version)
{
    if (version < 351)
        r.att.nPenWidth = 0;
    return r;
}

TEntJwwTen narrowed_ten(TEntJwwTen t, int32_t version)
{
    t = narrowed(t, version);
    if (t.att.nPenStyle != 100) {
        t.nCode = 0;
        t.radKaitenKaku = 0;
        t.dBairitsu = 0;
    }
    return t;
}

// One record of every kind with every field set.
struct AllKinds {
    TEntJwwLine line = jwwtest::line(1.5, -2.25, 300.125, 4e5, attr(3, 2, 5, 7, 35, 0x10));
    TEntJwwEnko enko = arc(10, 20, 5, 0.5, 1.25, attr(4, 1, 1, 2, 0, 0), 0.5, 0.3);
    TEntJwwEnko full = circle(-1, -2, 3, attr(2));
    TEntJwwTen plain = point(7, 8, attr(5, 1, 3, 0));
    TEntJwwTen mark = marker(9, 10, 17, 0.75, 2.5, attr(6, 100, 2, 1, 20));
    TEntJwwMoji moji = text(0, 0, 40, 10, 4, 5, 0.5, 20003, attr(2, 1, 0, 3, 0, 0x20));
    TEntJwwSunpo sunpo;
    TEntJwwSolid sol = solid(0, 0, 1, 0, 1, 1, 0, 1, attr(7, 1, 9, 9));
    TEntJwwSolid colored = solid_colored(2, 2, 3, 2, 3, 3, 2, 3, 0x00123456);
    TEntJwwBlock ins = insert(42, 100, 200, 2, 3, 0.25, attr(8, 3, 4, 5));
    std::u16string font = u"ＭＳ ゴシック";
    std::u16string str = u"寸法 12.5 mm";

    AllKinds()
    {
        mark.bKariten = 1;
        plain.bKariten = 1;
        moji.degKakudo = 14.036;
        moji.att.lGroup = 0xDEADBEEF;
        sunpo.att = attr(9, 4, 1, 1, 15);
        sunpo.Sen = jwwtest::line(0, 0, 100, 0, attr(1, 1, 1, 1, 11));
        sunpo.Moji = text(40, 1, 60, 1, 2.5, 2.5, 0, 2, attr(1, 1, 1, 1, 12));
        sunpo.bSxfMode = 3;
        sunpo.Ho1 = jwwtest::line(0, -5, 0, 0, attr(2, 2, 1, 1, 13));
        sunpo.Ho2 = jwwtest::line(100, -5, 100, 0, attr(2, 2, 1, 1, 14));
        sunpo.Te1 = marker(0, 0, 3, 0.5, 1.5, attr(3, 100, 1, 1));
        sunpo.Te2 = point(100, 0, attr(3, 5, 1, 1));
        sunpo.Te2.bKariten = 1;
        sunpo.Kt1 = marker(1, 1, 4, 0.25, 2, attr(4, 100));
        sunpo.Kt2 = point(2, 2, attr(4, 6));
    }

    void write(JwwWriter& w) const
    {
        w.add(line);
        w.add(enko);
        w.add(full);
        w.add(plain);
        w.add(mark);
        w.add(moji, font, str);
        w.add(sunpo, u"MS Gothic", u"100");
        w.add(sol);
        w.add(colored);
        w.add(ins);
        w.add(line);
    }
};

void expect_moji(const TJwwData& jw, const TEntJwwMoji& got, const TEntJwwMoji& want, int32_t version,
    const std::u16string& font, const std::u16string& str)
{
    EXPECT_TRUE(same_bytes(got, narrowed(want, version), 83));
    EXPECT_EQ(jw.text(got.strFontName), font);
    EXPECT_EQ(jw.text(got.str), str);
}

class RoundTrip : public ::testing::TestWithParam<int32_t> { };

TEST_P(RoundTrip, EveryFieldOfEveryKindReadsBack)
{
    const int32_t v = GetParam();
    AllKinds k;
    JwwWriter w(v);
    k.write(w);
    w.begin_block(42, u"部品\tA", attr(5, 1, 2, 3), 77, 1);
    k.write(w);
    w.end_block();
    Loaded l(w.bytes());
    ASSERT_TRUE(l.checked);
    ASSERT_TRUE(l.ok);
    const TJwwData& jw = l.jw;

    EXPECT_EQ(jw.Enthd.jwVer, v);
    EXPECT_EQ(jw.Enthd.n1, 11);
    EXPECT_EQ(jw.Enthd.n2, 1);
    ASSERT_EQ(jw.EntLineN, 2);
    ASSERT_EQ(jw.EntEnkoN, 2);
    ASSERT_EQ(jw.EntTenN, 2);
    ASSERT_EQ(jw.EntMojiN, 1);
    ASSERT_EQ(jw.EntSunpoN, 1);
    ASSERT_EQ(jw.EntSolidN, 2);
    ASSERT_EQ(jw.EntBlockN, 1);
    EXPECT_EQ(jw.EntLine.size(), 2u);

    EXPECT_TRUE(same_bytes(jw.EntLine[0], narrowed(k.line, v)));
    EXPECT_TRUE(same_bytes(jw.EntEnko[0], narrowed(k.enko, v)));
    EXPECT_TRUE(same_bytes(jw.EntEnko[1], narrowed(k.full, v)));
    EXPECT_TRUE(same_bytes(jw.EntTen[0], narrowed_ten(k.plain, v)));
    EXPECT_TRUE(same_bytes(jw.EntTen[1], narrowed_ten(k.mark, v)));
    expect_moji(jw, jw.EntMoji[0], k.moji, v, k.font, k.str);
    EXPECT_TRUE(same_bytes(jw.EntSolid[0], narrowed(k.sol, v)));
    EXPECT_TRUE(same_bytes(jw.EntSolid[1], narrowed(k.colored, v)));
    EXPECT_EQ(+(jw.EntSolid[1].Color), 0x00123456u);
    EXPECT_TRUE(same_bytes(jw.EntBlock[0], narrowed(k.ins, v)));

    const TEntJwwSunpo& s = jw.EntSunpo[0];
    EXPECT_TRUE(same_bytes(s.att, narrowed(k.sunpo, v).att));
    EXPECT_TRUE(same_bytes(s.Sen, narrowed(k.sunpo.Sen, v)));
    expect_moji(jw, s.Moji, k.sunpo.Moji, v, u"MS Gothic", u"100");
    if (v >= 420) {
        EXPECT_EQ(+(s.bSxfMode), 3);
        EXPECT_TRUE(same_bytes(s.Ho1, k.sunpo.Ho1));
        EXPECT_TRUE(same_bytes(s.Ho2, k.sunpo.Ho2));
        EXPECT_TRUE(same_bytes(s.Te1, narrowed_ten(k.sunpo.Te1, v)));
        EXPECT_TRUE(same_bytes(s.Te2, narrowed_ten(k.sunpo.Te2, v)));
        EXPECT_TRUE(same_bytes(s.Kt1, narrowed_ten(k.sunpo.Kt1, v)));
        EXPECT_TRUE(same_bytes(s.Kt2, narrowed_ten(k.sunpo.Kt2, v)));
    } else {
        // Older dimensions carry no extension parts: they take the dimension's attribute.
        TEntJwwAttr a = narrowed(k.sunpo, v).att;
        TEntJwwLine ho;
        ho.att = a;
        TEntJwwTen te;
        te.att = a;
        te.att.nPenStyle = 0;
        EXPECT_EQ(+(s.bSxfMode), 0);
        EXPECT_TRUE(same_bytes(s.Ho1, ho));
        EXPECT_TRUE(same_bytes(s.Ho2, ho));
        for (const TEntJwwTen* t : { &s.Te1, &s.Te2, &s.Kt1, &s.Kt2 })
            EXPECT_TRUE(same_bytes(*t, te));
    }

    // File order across kinds.
    const int32_t kinds[] = { 1, 2, 2, 3, 3, 4, 5, 6, 6, 7, 1 };
    const int32_t nos[] = { 0, 0, 1, 0, 1, 0, 0, 0, 1, 0, 1 };
    ASSERT_EQ(jw.EntNo.size(), 11u);
    for (size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(jw.EntNo[i].EntType, kinds[i]) << i;
        EXPECT_EQ(jw.EntNo[i].EntNo, nos[i]) << i;
    }

    ASSERT_EQ(jw.EntBlockDefN, 1);
    const TEntJwwBlockDef& d = jw.EntBlockDef[0];
    EXPECT_EQ(+(d.nNumber), 42u);
    EXPECT_EQ(+(d.bRefferd), 1u);
    EXPECT_EQ(+(d.dtime), 77u);
    EXPECT_EQ(+(d.att.nPenColor), 5);
    EXPECT_EQ(+(d.att.nGLayer), 3);
    EXPECT_EQ(d.strName, u"部品A");
    EXPECT_EQ(d.N, 11);
    EXPECT_EQ(d.mLineN, 2);
    EXPECT_EQ(d.mEnkoN, 2);
    EXPECT_EQ(d.mTenN, 2);
    EXPECT_EQ(d.mMojiN, 1);
    EXPECT_EQ(d.mSunpoN, 1);
    EXPECT_EQ(d.mSolidN, 2);
    EXPECT_EQ(d.mBlockN, 1);
    EXPECT_TRUE(same_bytes(d.mLine[1], narrowed(k.line, v)));
    EXPECT_TRUE(same_bytes(d.mTen[1], narrowed_ten(k.mark, v)));
    EXPECT_TRUE(same_bytes(d.mBlock[0], narrowed(k.ins, v)));
    expect_moji(jw, d.mMoji[0], k.moji, v, k.font, k.str);
    for (size_t i = 0; i < 11; ++i)
        EXPECT_EQ(d.mNo[i].EntType, kinds[i]);

    // The insert refers to the definition (number 42), which contains an insert of itself.
    ASSERT_GE(jw.EntBlockTreeN, 2);
    EXPECT_EQ(jw.EntBlockTree[0].defno, 0);
    EXPECT_EQ(jw.EntBlockTree[0].name, u"部品A");
    EXPECT_EQ(jw.EntBlockNum, 1);
    EXPECT_FALSE(jw.MojiEncode);
}

TEST_P(RoundTrip, HeaderRowsPresentOrAbsentByVersion)
{
    const int32_t v = GetParam();
    JwwWriter w(v);
    TEntJwwHeader& h = w.Enthd;
    h.strMemo = u"題名\r\n二行目";
    h.nZumen = 2;
    h.nWriteGLay = 4;
    h.lnSunpou1 = 11;
    h.lnSunpou5 = 15;
    h.nMaxDrawWid = -450;
    h.DPPrtGenten_x = 12.5;
    h.dPrtBairitsu = 0.5;
    h.nMemoriMode = 2;
    h.dMemoriX = 7;
    h.dKageLevel = 1.25;
    h.nKage9_15JiFlg = 1;
    h.dTenkuuZuLevel = 3.5;
    h.dTenkuuZuEnkoR = 4.5;
    h.nMMTani3D = 9;
    h.dBairitsu = 2;
    h.DPHanniGenten_y = -3;
    for (int i = 1; i <= 8; ++i) {
        h.dZoomJumpBairitsu[size_t(i)] = 10 + i;
        h.DPZoomJumpGenten_x[size_t(i)] = 20 + i;
        h.nZoomJumpGLay[size_t(i)] = i;
    }
    h.dDm11 = 1.1;
    h.lnDm1 = 5;
    h.nMojiBG = 3;
    h.adFukusenSuuchi[9] = 9.5;
    h.dRyougawaFukusenTomeDe = 0.5;
    h.nGyakuSearch = 1;
    h.nPrtKyoutsuuGray = 2;
    w.prt_dpi_word = -23;
    h.lnDrawTime = 7500;
    h.dEye_H_Ichi_3 = 33;
    h.dEye_V_Ichi_3 = 3.3;
    h.dEnHankeiSnpou = 6.5;
    h.SolidColor = 0x0000FF;
    h.dMojiSizeX = 4;
    h.nMojiShu = 3;
    h.nMojiKijunZureOn = 1;
    h.adMojiKijunZureY2 = 0.75;
    w.EntLgrp[3].anGLay = 1;
    w.EntLgrp[3].adScale = 50;
    w.EntLgrp[3].aStrGLayName = u"group\r3";
    w.EntLay[3 * 16 + 2].aanLay = 0;
    w.EntLay[3 * 16 + 2].aStrLayName = u"壁\t芯";
    w.EntLay[255].aanLayProtect = 1;
    w.EntCol[0].aPrtPenColor = 0x000000;
    w.EntCol[3].anPrtPenWidth = 5;
    w.EntLtp1[7].alLType = int32_t(0xAAAAAAAA);
    w.EntLtp2[4].anPrtRandSenWide = 44;
    w.EntLtp3[3].anPrtTokushuSenPich = 33;
    w.EntColS[256].aPrtPenColor = 0x112233;
    w.EntColS[256].astrUDColorName = u"朱";
    w.EntLtpS[32].anUDLTypeSegment = 12;
    w.EntLtpS[32].aadUDLTypePitch[10] = 1.5;
    w.EntLtpS[32].astrUDLTypeName = u"点線";
    w.EntMoj[9].adMojiY = 10;
    w.EntMoj[9].anMojiCol = 7;
    Loaded l(w.bytes());
    ASSERT_TRUE(l.ok);
    const TJwwData& jw = l.jw;
    const TEntJwwHeader& r = jw.Enthd;

    EXPECT_EQ(r.jwID, u"JwwData.");
    EXPECT_EQ(r.strMemo, u"題名\r\n二行目") << "the memo keeps its line break";
    EXPECT_EQ(r.nZumen, 2);
    EXPECT_EQ(r.nWriteGLay, 4);
    EXPECT_EQ(r.lnSunpou1, 11);
    EXPECT_EQ(r.lnSunpou5, 15);
    EXPECT_EQ(r.nMaxDrawWid, -450);
    EXPECT_TRUE(r.bSenHaba100);
    EXPECT_EQ(r.nMaxDrawWidBak, -50);
    EXPECT_EQ(r.DPPrtGenten_x, 12.5);
    EXPECT_EQ(r.dPrtBairitsu, 0.5);
    EXPECT_EQ(r.nMemoriMode, 2);
    EXPECT_EQ(r.dMemoriX, 7);
    EXPECT_EQ(r.dKageLevel, 1.25);
    EXPECT_EQ(r.nKage9_15JiFlg, 1);
    EXPECT_EQ(r.dTenkuuZuLevel, v >= 300 ? 3.5 : 0);
    EXPECT_EQ(r.dTenkuuZuEnkoR, v >= 300 ? 4.5 : 0);
    EXPECT_EQ(r.nMMTani3D, 9);
    EXPECT_EQ(+(r.dBairitsu), 2);
    EXPECT_EQ(r.DPHanniGenten_y, -3);
    for (int i = 1; i <= 8; ++i) {
        bool stored = v >= 231 || i <= 4;
        EXPECT_EQ(r.dZoomJumpBairitsu[size_t(i)], stored ? 10 + i : 1.0) << i;
        EXPECT_EQ(r.DPZoomJumpGenten_x[size_t(i)], stored ? 20 + i : 0.0) << i;
        EXPECT_EQ(r.nZoomJumpGLay[size_t(i)], v >= 231 ? i : -1) << i;
    }
    EXPECT_EQ(r.dDm11, v >= 231 ? 1.1 : 0);
    EXPECT_EQ(r.lnDm1, v >= 231 ? 5 : 0);
    EXPECT_EQ(r.nMojiBG, v >= 231 ? 3 : 0);
    EXPECT_EQ(r.adFukusenSuuchi[9], 9.5);
    EXPECT_EQ(r.dRyougawaFukusenTomeDe, 0.5);
    EXPECT_EQ(r.nGyakuSearch, 1);
    EXPECT_EQ(r.nPrtKyoutsuuGray, 2);
    EXPECT_EQ(r.nPrtDpi, -2) << "the division truncates toward zero";
    EXPECT_EQ(r.nPrtDispOnlyNonDraw, -3) << "the remainder takes the sign of the value";
    EXPECT_EQ(r.lnDrawTime, 7500);
    EXPECT_EQ(r.dEye_H_Ichi_3, 33);
    EXPECT_EQ(r.dEye_V_Ichi_3, 3.3);
    EXPECT_EQ(r.dEnHankeiSnpou, 6.5);
    EXPECT_EQ(r.SolidColor, 0x0000FF);
    EXPECT_EQ(r.dMojiSizeX, 4);
    EXPECT_EQ(r.nMojiShu, 3);
    EXPECT_EQ(r.nMojiKijunZureOn, 1);
    EXPECT_EQ(r.adMojiKijunZureY2, 0.75);

    ASSERT_EQ(jw.EntLgrp.size(), 16u);
    ASSERT_EQ(jw.EntLay.size(), 256u);
    ASSERT_EQ(jw.EntCol.size(), 10u);
    ASSERT_EQ(jw.EntLtp1.size(), 8u);
    ASSERT_EQ(jw.EntLtp2.size(), 5u);
    ASSERT_EQ(jw.EntLtp3.size(), 4u);
    ASSERT_EQ(jw.EntColS.size(), 257u);
    ASSERT_EQ(jw.EntLtpS.size(), 33u);
    ASSERT_EQ(jw.EntMoj.size(), 10u);
    EXPECT_EQ(jw.EntLgrp[3].anGLay, 1);
    EXPECT_EQ(jw.EntLgrp[3].adScale, 50);
    EXPECT_EQ(jw.EntLgrp[3].aStrGLayName, u"group3");
    EXPECT_EQ(jw.EntLgrp[0].anGLay, 2);
    EXPECT_EQ(jw.EntLay[50].aanLay, 0);
    EXPECT_EQ(jw.EntLay[50].aStrLayName, u"壁芯");
    EXPECT_EQ(jw.EntLay[255].aanLayProtect, 1);
    EXPECT_EQ(jw.EntCol[0].aPrtPenColor, 0);
    EXPECT_EQ(jw.EntCol[3].anPrtPenWidth, 5);
    EXPECT_EQ(jw.EntCol[1].adPrtTenHankei, 0.3);
    EXPECT_EQ(uint32_t(jw.EntLtp1[7].alLType), 0xAAAAAAAAu);
    EXPECT_EQ(jw.EntLtp2[4].anPrtRandSenWide, 44);
    EXPECT_EQ(jw.EntLtp3[3].anPrtTokushuSenPich, 33);
    EXPECT_EQ(jw.EntMoj[9].adMojiY, 10);
    EXPECT_EQ(jw.EntMoj[9].anMojiCol, 7);
    if (v >= 420) {
        EXPECT_EQ(jw.EntColS[256].aPrtPenColor, 0x112233);
        EXPECT_EQ(jw.EntColS[256].anPrtPenWidth, 25);
        EXPECT_EQ(jw.EntColS[256].astrUDColorName, u"朱");
        EXPECT_EQ(jw.EntLtpS[32].anUDLTypeSegment, 12);
        EXPECT_EQ(jw.EntLtpS[32].aadUDLTypePitch[10], 1.5);
        EXPECT_EQ(jw.EntLtpS[32].astrUDLTypeName, u"点線");
    } else {
        EXPECT_EQ(jw.EntColS[256].aPrtPenColor, 0);
        EXPECT_EQ(jw.EntColS[256].anPrtPenWidth, 0);
        EXPECT_EQ(jw.EntLtpS[32].anUDLTypeSegment, 0);
    }

    // Text-variable globals.
    EXPECT_EQ(gFilePath, l.dir.file("d.jww"));
    EXPECT_EQ(gDrawTime, u"2 : 05");
    EXPECT_EQ(gMemo1, u"題名");
    EXPECT_EQ(gMemo2, u"二行目");
    EXPECT_EQ(gDrawTitle, u"題名\u3000二行目");
    EXPECT_EQ(gPrtBairitsu, 0.5);
}

TEST_P(RoundTrip, TextsInTheUtf16FormReadBackAndMarkTheDocument)
{
    const int32_t v = GetParam();
    JwwWriter w(v);
    w.string_form = StrForm::utf16;
    w.Enthd.strMemo = u"メモ";
    w.add(text(0, 0, 1, 0, 2, 2), u"IPAGothic", u"𠀋 surrogate", StrForm::utf16_long);
    w.add(text(0, 0, 1, 0, 2, 2), u"", u"", StrForm::ansi_long);
    Loaded l(w.bytes());
    ASSERT_TRUE(l.ok);
    EXPECT_TRUE(l.jw.MojiEncode);
    EXPECT_EQ(l.jw.Enthd.strMemo, u"メモ");
    ASSERT_EQ(l.jw.EntMojiN, 2);
    EXPECT_EQ(l.jw.text(l.jw.EntMoji[0].str), u"𠀋 surrogate");
    EXPECT_EQ(l.jw.text(l.jw.EntMoji[0].strFontName), u"IPAGothic");
    EXPECT_EQ(l.jw.text(l.jw.EntMoji[1].str), u"");
}

INSTANTIATE_TEST_SUITE_P(Versions, RoundTrip, ::testing::Values(230, 300, 350, 351, 420, 600, 700),
    [](const auto& info) { return "v" + std::to_string(info.param); });

TEST(JwwRead, VersionLimitsOfTheFileCheck)
{
    struct Case {
        int32_t version;
        bool ok;
    } cases[] = { { 219, false }, { 220, true }, { 700, true }, { 701, false }, { -1, false } };
    for (const auto& c : cases) {
        JwwWriter w(c.version);
        Loaded l(w.bytes());
        EXPECT_EQ(l.checked, c.ok) << c.version;
        EXPECT_EQ(l.ok, c.ok) << c.version;
    }
}

TEST(JwwRead, MagicMustMatchExactly)
{
    for (const char* magic : { "jwwData.", "JwwData,", "JwwData", "" }) {
        JwwWriter w;
        w.magic = magic;
        Loaded l(w.bytes());
        EXPECT_FALSE(l.checked) << magic;
        EXPECT_FALSE(l.ok) << magic;
        EXPECT_EQ(l.jw.EntBlockTreeN, 0);
    }
}

TEST(JwwRead, FileCheckAndFileInOfMissingAndShortFiles)
{
    TempDir dir;
    TJwwData jw;
    EXPECT_FALSE(jw.FileCheck(dir.file("missing.jww")));
    EXPECT_FALSE(jw.FileIn(dir.file("missing.jww")));
    EXPECT_FALSE(jw.FileCheck(dir.folder())) << "a folder is no drawing";
    EXPECT_FALSE(jw.FileIn(dir.folder()));
    EXPECT_FALSE(jw.FileCheck(u""));
    std::vector<uint8_t> head(JwwWriter().bytes());
    head.resize(10);
    Loaded l(head);
    EXPECT_FALSE(l.checked);
    EXPECT_FALSE(l.ok);
}

TEST(JwwRead, HeaderCutAnywhereFailsTheLoad)
{
    JwwWriter w(600);
    std::vector<uint8_t> full = w.header_bytes();
    for (size_t cut : { size_t(12), size_t(500), full.size() / 2, full.size() - 8 }) {
        std::vector<uint8_t> b(full.begin(), full.begin() + std::ptrdiff_t(cut));
        Loaded l(b);
        EXPECT_FALSE(l.ok) << cut;
    }
    // The last header field is present but nothing follows: the entity count is missing.
    Loaded l(full);
    EXPECT_TRUE(l.checked);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.jw.Enthd.nZumen, 3) << "the header stays in the document";
}

TEST(JwwRead, DerivedPenWidthMode)
{
    struct Case {
        int32_t wid;
        bool haba100;
        int32_t bak;
    } cases[] = { { -450, true, -50 }, { -401, true, -1 }, { -500, true, -100 }, { -250, true, 50 }, { -201, true, 1 },
        { -150, true, -100 }, { -501, true, -100 }, { -100, false, -100 }, { 7, false, 7 } };
    for (const auto& c : cases) {
        JwwWriter w;
        w.Enthd.nMaxDrawWid = c.wid;
        Loaded l(w.bytes());
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(l.jw.Enthd.bSenHaba100, c.haba100) << c.wid;
        EXPECT_EQ(l.jw.Enthd.nMaxDrawWidBak, c.bak) << c.wid;
    }
}

TEST(JwwRead, NonFiniteTextSizesAreRepaired)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    JwwWriter w(351);
    w.EntMoj[2].adMojiX = nan;
    w.EntMoj[2].adMojiY = -inf;
    w.EntMoj[2].adMojiD = inf;
    w.Enthd.dMojiSizeX = nan;
    w.Enthd.dMojiSizeY = inf;
    w.Enthd.dMojiKankaku = nan;
    w.add(text(0, 0, 1, 0, nan, inf, -inf), u"f", u"t");
    TEntJwwSunpo s;
    s.Moji = text(0, 0, 1, 0, inf, nan, nan);
    w.add(s, u"f", u"1");
    Loaded l(w.bytes());
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.jw.EntMoj[2].adMojiX, 3.0);
    EXPECT_EQ(l.jw.EntMoj[2].adMojiY, 3.0);
    EXPECT_EQ(l.jw.EntMoj[2].adMojiD, 0.0);
    EXPECT_EQ(l.jw.Enthd.dMojiSizeX, 3.0);
    EXPECT_EQ(l.jw.Enthd.dMojiSizeY, 3.0);
    EXPECT_EQ(l.jw.Enthd.dMojiKankaku, 0.0);
    ASSERT_EQ(l.jw.EntMojiN, 1);
    EXPECT_EQ(+(l.jw.EntMoji[0].dSizeX), 3.0);
    EXPECT_EQ(+(l.jw.EntMoji[0].dSizeY), 3.0);
    EXPECT_EQ(+(l.jw.EntMoji[0].dKankaku), 0.0);
    ASSERT_EQ(l.jw.EntSunpoN, 1);
    EXPECT_EQ(+(l.jw.EntSunpo[0].Moji.dSizeX), 3.0);
    EXPECT_EQ(+(l.jw.EntSunpo[0].Moji.dSizeY), 3.0);
    EXPECT_EQ(+(l.jw.EntSunpo[0].Moji.dKankaku), 0.0);
}

TEST(JwwRead, DrawTimeAndMemoGlobals)
{
    struct Case {
        int32_t seconds;
        std::u16string memo;
        std::u16string time, memo1, memo2, title;
    } cases[] = {
        { 0, u"", u"0 : 00", u"", u"", u"" },
        { 59, u"one line", u"0 : 00", u"one line", u"", u"one line" },
        { 3600 * 12 + 60 * 10, u"a\r\nb\r\nc", u"12 : 10", u"a", u"b\r\nc", u"a\u3000b\r\nc" },
        { 7500, u"a\nb", u"2 : 05", u"a\nb", u"", u"a\nb" },
    };
    for (const auto& c : cases) {
        JwwWriter w;
        w.Enthd.lnDrawTime = c.seconds;
        w.Enthd.strMemo = c.memo;
        Loaded l(w.bytes());
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(gDrawTime, c.time) << c.seconds;
        EXPECT_EQ(gMemo1, c.memo1);
        EXPECT_EQ(gMemo2, c.memo2);
        EXPECT_EQ(gDrawTitle, c.title);
    }
}

TEST(JwwRead, ObjectSizesOnDisk)
{
    struct Case {
        const char* name;
        int32_t version;
        std::function<void(JwwWriter&)> add;
        size_t after_tag;
    } cases[] = {
        { "point", 700, [](JwwWriter& w) { w.add(point(1, 2)); }, 35 },
        { "marker point", 700, [](JwwWriter& w) { w.add(marker(1, 2, 3, 0, 1)); }, 55 },
        { "solid", 700, [](JwwWriter& w) { w.add(solid(0, 0, 1, 0, 1, 1, 0, 1)); }, 79 },
        { "solid of colour 10", 700, [](JwwWriter& w) { w.add(solid_colored(0, 0, 1, 0, 1, 1, 0, 1, 5)); }, 83 },
        { "old line", 350, [](JwwWriter& w) { w.add(line(0, 0, 1, 1)); }, 45 },
        { "line", 351, [](JwwWriter& w) { w.add(line(0, 0, 1, 1)); }, 47 },
        { "old dimension", 419, [](JwwWriter& w) { w.add(TEntJwwSunpo {}, u"", u""); }, 15 + 47 + 83 + 2 },
        { "dimension", 420, [](JwwWriter& w) { w.add(TEntJwwSunpo {}, u"", u""); },
            15 + 47 + 83 + 2 + 2 + 2 * 47 + 4 * 35 },
    };
    for (const auto& c : cases) {
        JwwWriter empty(c.version);
        JwwWriter w(c.version);
        c.add(w);
        // What the object adds: its new-class tag (6 bytes and the name) and its record.
        std::vector<uint8_t> b = w.bytes();
        size_t at = empty.header_bytes().size() + 2;
        size_t name_len = size_t(b[at + 4] | (b[at + 5] << 8));
        EXPECT_EQ(b.size() - empty.bytes().size() - 6 - name_len, c.after_tag) << c.name;
        Loaded l(b);
        EXPECT_TRUE(l.ok) << c.name;
        EXPECT_EQ(l.jw.EntNo.size(), 1u) << c.name;
    }
}

TEST(JwwRead, OldLineTakesItsLayerFromBytesSevenAndEight)
{
    JwwWriter w(350);
    w.add(line(0, 0, 1, 1, attr(2, 3, 9, 4, 77, 0x20)));
    Loaded l(w.bytes());
    ASSERT_TRUE(l.ok);
    ASSERT_EQ(l.jw.EntLineN, 1);
    const auto& a = l.jw.EntLine[0].att;
    EXPECT_EQ(+(a.nPenWidth), 0);
    EXPECT_EQ(+(a.nLayer), 9);
    EXPECT_EQ(+(a.nGLayer), 4);
    EXPECT_EQ(+(a.sFlg), 0x20);
    EXPECT_EQ(+(a.nPenColor), 2);
}

TEST(JwwRead, ReferenceTagsResolveToTheirClass)
{
    for (auto form : { TagForm::short_ref, TagForm::long_ref, TagForm::long_ref_top_bit }) {
        JwwWriter w;
        w.tag_form = form;
        // Interleaved kinds so that every reference must pick the right class.
        for (int i = 0; i < 3; ++i) {
            w.add(line(i, 0, i, 1));
            w.add(point(i, 2));
            w.add(text(i, 0, i + 1, 0, 1, 1), u"f", u"t");
            w.add(insert(uint32_t(i), i, 0));
        }
        std::vector<uint8_t> b = w.bytes();
        Loaded l(b);
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(l.jw.EntLineN, 3);
        EXPECT_EQ(l.jw.EntTenN, 3);
        EXPECT_EQ(l.jw.EntMojiN, 3);
        EXPECT_EQ(l.jw.EntBlockN, 3);
        EXPECT_EQ(+(l.jw.EntTen[2].start_x), 2);
        EXPECT_EQ(+(l.jw.EntBlock[2].nNumber), 2u);
    }
    // The first class named gets index 1 and its first object is object 2.
    JwwWriter w;
    w.add(line(0, 0, 1, 1));
    w.add(line(0, 0, 2, 2));
    std::vector<uint8_t> b = w.bytes();
    size_t second = JwwWriter().header_bytes().size() + 2 + 6 + 8 + 47;
    EXPECT_EQ(b[second], 0x01);
    EXPECT_EQ(b[second + 1], 0x80);
}

TEST(JwwRead, TagsSelectingNoClassAreSkippedUncounted)
{
    JwwWriter w;
    w.add(line(0, 0, 1, 1));
    // 0x8005 refers to an index no class has; 0x1234 is below 0x8000.
    w.raw({ 0x05, 0x80, 0x34, 0x12 });
    w.add(line(2, 2, 3, 3));
    Loaded l(w.bytes());
    ASSERT_TRUE(l.ok);
    ASSERT_EQ(l.jw.EntLineN, 2);
    EXPECT_EQ(+(l.jw.EntLine[1].start_x), 2);
}

TEST(JwwRead, UnnamedReferenceZeroPicksTheLastUnnamedKind)
{
    // Tag 0x8000 matches every class not named yet; the last of them in kind order wins: block.
    JwwWriter w;
    w.add(line(0, 0, 1, 1));
    std::vector<uint8_t> body = { 0x00, 0x80 };
    TEntJwwBlock blk = insert(9, 1, 2);
    JwwWriter::put_record(body, &blk, 59, 700);
    w.raw(body);
    w.entity_count = 2;
    Loaded l(w.bytes());
    ASSERT_TRUE(l.ok);
    ASSERT_EQ(l.jw.EntBlockN, 1);
    EXPECT_EQ(+(l.jw.EntBlock[0].nNumber), 9u);
}

TEST(JwwRead, LongEntityCount)
{
    JwwWriter w(600);
    for (int i = 0; i < 70000; ++i)
        w.add(line(i, 0, i, 1));
    std::vector<uint8_t> b = w.bytes();
    size_t at = w.header_bytes().size();
    EXPECT_EQ(b[at], 0xFF);
    EXPECT_EQ(b[at + 1], 0xFF);
    Loaded l(b);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.jw.Enthd.n1, 70000);
    EXPECT_EQ(l.jw.EntLineN, 70000);
    EXPECT_EQ(l.jw.EntLine.capacity(), 70000u) << "lists are cut to their counts";
    EXPECT_EQ(+(l.jw.EntLine[69999].start_x), 69999);
}

TEST(JwwRead, EmptyDrawingLoads)
{
    JwwWriter w;
    Loaded l(w.bytes());
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.jw.Enthd.n1, 0);
    EXPECT_EQ(l.jw.Enthd.n2, 0);
    EXPECT_EQ(l.jw.EntNo.size(), 0u);
    EXPECT_EQ(l.jw.EntBlockTreeN, 0);
    EXPECT_EQ(l.jw.EntBlockNum, 0);
}

TEST(JwwRead, UnknownClassFailsTheLoadKeepingWhatWasRead)
{
    JwwWriter w;
    w.add(line(0, 0, 1, 1));
    w.unknown_class_object("CDataKukan", std::vector<uint8_t>(47, 0));
    w.add(line(0, 0, 1, 1));
    Loaded l(w.bytes());
    EXPECT_TRUE(l.checked);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.jw.EntLineN, 1);
}

TEST(JwwRead, OverlongClassNameIsRefused)
{
    for (size_t len : { size_t(2047), size_t(2048), size_t(65535) }) {
        JwwWriter w;
        std::string name = "CDataSen";
        name.resize(len, ' ');
        w.unknown_class_object(name, std::vector<uint8_t>(47, 0));
        Loaded l(w.bytes());
        EXPECT_FALSE(l.ok) << len;
        EXPECT_EQ(l.jw.EntLineN, 0);
    }
    // A NUL ends the name as it is decoded, so padding after it still names the class.
    JwwWriter w;
    std::string name("CDataSen\0xyz", 12);
    std::vector<uint8_t> body;
    TEntJwwLine ln = line(0, 0, 4, 4);
    JwwWriter::put_record(body, &ln, 47, 700);
    w.unknown_class_object(name, body);
    Loaded l(w.bytes());
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(l.jw.EntLineN, 1);
}

TEST(JwwRead, RecordCutByTheEndIsDroppedAndReadingGoesOn)
{
    JwwWriter w;
    w.add(line(0, 0, 1, 1));
    w.add(line(0, 0, 2, 2));
    w.write_image_table = false;
    std::vector<uint8_t> b = w.bytes();
    // Drop the block-definition count and the whole second record, keeping its tag.
    b.resize(b.size() - 2 - 47);
    Loaded l(b);
    EXPECT_TRUE(l.ok) << "the block count is not a checked read";
    EXPECT_EQ(l.jw.EntLineN, 1);
    EXPECT_EQ(l.jw.EntNo.size(), 1u);
    EXPECT_EQ(l.jw.Enthd.n1, 2);
}

TEST(JwwRead, CountBeyondTheEndFailsQuicklyWithoutAllocating)
{
    for (uint32_t n : { 3u, 70000u, 0xFFFFFFFFu }) {
        JwwWriter w(420);
        w.add(line(0, 0, 1, 1));
        w.add(text(0, 0, 1, 0, 1, 1), u"f", u"t");
        w.entity_count = n;
        w.long_counts = true;
        Loaded l(w.bytes());
        EXPECT_FALSE(l.ok) << n;
        EXPECT_EQ(l.jw.EntLineN, 1);
        EXPECT_EQ(l.jw.EntMojiN, 1);
        EXPECT_LE(l.jw.EntLine.capacity(), 1000u);
        EXPECT_LE(l.jw.EntNo.capacity(), 1000u);
    }
}

TEST(JwwRead, HundredByteFileAnnouncingFourBillionEntities)
{
    // Header of a small version, then 0xFFFF 0xFFFFFFFF and a few bytes of nothing selectable.
    JwwWriter w(220);
    w.entity_count = 0xFFFFFFFFu;
    w.raw(std::vector<uint8_t>(100, 0x00));
    Loaded l(w.bytes());
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.jw.EntNo.size(), 0u);
    EXPECT_EQ(l.jw.Enthd.n1, std::numeric_limits<int32_t>::max());
}

TEST(JwwRead, BlockDefinitionsCountAndTimeExtension)
{
    JwwWriter w;
    w.begin_block(1, u"a", attr(), 5);
    w.end_block();
    w.begin_block(2, u"b", attr(), 123, 0, true);
    w.add(line(0, 0, 1, 1));
    w.end_block();
    w.begin_block(3, u"c", attr(), 0x80000000u);
    w.end_block();
    w.begin_block(4, u"d", attr(), 0x7FFFFFFFu);
    w.end_block();
    Loaded l(w.bytes());
    ASSERT_TRUE(l.ok);
    ASSERT_EQ(l.jw.EntBlockDefN, 4);
    EXPECT_EQ(+(l.jw.EntBlockDef[0].dtime), 5u);
    EXPECT_EQ(+(l.jw.EntBlockDef[1].dtime), 2u) << "the stamp becomes the 1-based position";
    EXPECT_EQ(l.jw.EntBlockDef[1].mLineN, 1);
    EXPECT_EQ(l.jw.EntBlockDef[2].strName, u"c");
    EXPECT_EQ(+(l.jw.EntBlockDef[2].dtime), 3u);
    EXPECT_EQ(+(l.jw.EntBlockDef[3].dtime), 0x7FFFFFFFu);
    EXPECT_EQ(l.jw.EntBlockDef[3].strName, u"d");
}

TEST(JwwRead, BlockDefinitionCutOffFailsTheLoad)
{
    JwwWriter w;
    w.begin_block(1, u"a");
    w.add(line(0, 0, 1, 1));
    w.end_block();
    w.block_count = 5;
    w.write_image_table = false;
    Loaded l(w.bytes());
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.jw.Enthd.n2, 5);
    ASSERT_EQ(l.jw.EntBlockDefN, 1) << "the count is what was read";
    EXPECT_EQ(l.jw.EntBlockDef[0].mLineN, 1);

    JwwWriter huge;
    huge.block_count = 0xFFFFFFFFu;
    huge.write_image_table = false;
    Loaded h(huge.bytes());
    EXPECT_FALSE(h.ok);
    EXPECT_EQ(h.jw.EntBlockDefN, 0);
}

TEST(JwwRead, ClassIndexesRunOnThroughDefinitions)
{
    // Lines in the drawing, then in two definitions by reference; a definition takes an index too.
    for (auto form : { TagForm::automatic, TagForm::long_ref }) {
        JwwWriter w;
        w.tag_form = form;
        w.add(line(0, 0, 1, 1));
        w.add(circle(0, 0, 1));
        w.begin_block(1, u"a");
        w.add(circle(1, 1, 1));
        w.add(line(1, 1, 2, 2));
        w.end_block();
        w.begin_block(2, u"b");
        w.add(line(2, 2, 3, 3));
        w.add(point(2, 2));
        w.end_block();
        Loaded l(w.bytes());
        ASSERT_TRUE(l.ok);
        ASSERT_EQ(l.jw.EntBlockDefN, 2);
        EXPECT_EQ(l.jw.EntBlockDef[0].mEnkoN, 1);
        EXPECT_EQ(l.jw.EntBlockDef[0].mLineN, 1);
        EXPECT_EQ(l.jw.EntBlockDef[1].mLineN, 1);
        EXPECT_EQ(l.jw.EntBlockDef[1].mTenN, 1);
        EXPECT_EQ(+(l.jw.EntBlockDef[1].mLine[0].start_x), 2);
    }
}

TEST(JwwRead, DataFreeEmptiesEverything)
{
    JwwWriter w;
    w.add(insert(1, 0, 0));
    w.begin_block(1, u"a");
    w.add(line(0, 0, 1, 1));
    w.end_block();
    Loaded l(w.bytes());
    ASSERT_TRUE(l.ok);
    ASSERT_EQ(l.jw.EntBlockDefN, 1);
    l.jw.DataFree();
    EXPECT_EQ(l.jw.EntBlockDefN, 0);
    EXPECT_EQ(l.jw.EntBlockDef.capacity(), 0u) << "the memory is given back";
    EXPECT_EQ(l.jw.EntLay.capacity(), 0u);
    EXPECT_EQ(l.jw.EntNo.capacity(), 0u);
    EXPECT_EQ(l.jw.EntBlockTreeN, 0);
    EXPECT_EQ(l.jw.EntBlockN, 0);
    EXPECT_TRUE(l.jw.EntCol.empty());
    EXPECT_EQ(l.jw.Enthd.jwVer, 0);
    EXPECT_EQ(+(l.jw.Enthd.dBairitsu), 1.0);
    EXPECT_EQ(l.jw.Enthd.nZoomJumpGLay[8], -1);
    EXPECT_EQ(l.jw.BindImageFolder, l.dir.folder()) << "the driver's settings stay";
    EXPECT_TRUE(l.jw.BindImageExp);
}

TEST(JwwRead, FreshDocumentDefaults)
{
    TJwwData jw;
    EXPECT_EQ(jw.EntLineN + jw.EntEnkoN + jw.EntTenN + jw.EntMojiN + jw.EntSunpoN + jw.EntSolidN + jw.EntBlockN, 0);
    EXPECT_TRUE(jw.EntLgrp.empty());
    EXPECT_EQ(jw.Enthd.dPrtBairitsu, 1.0);
    EXPECT_EQ(jw.Enthd.dMemoriHyoujiMin, 1.0);
    EXPECT_EQ(jw.Enthd.dHanniBairitsu, 1.0);
    EXPECT_EQ(jw.Enthd.dZoomJumpBairitsu[1], 1.0);
    EXPECT_EQ(jw.Enthd.nZoomJumpGLay[1], -1);
    EXPECT_EQ(jw.Enthd.nZumen, 0);
    EXPECT_FALSE(jw.MojiEncode);
    EXPECT_EQ(jw.text(TEntJwwMoji {}.str), u"");
}

TEST(JwwRead, ReloadStartsFromAnEmptyDocument)
{
    JwwWriter a;
    a.add(line(0, 0, 1, 1));
    a.add(text(0, 0, 1, 0, 1, 1), u"f", u"first", StrForm::utf16);
    JwwWriter b;
    b.add(circle(0, 0, 1));
    TempDir dir;
    a.save((dir.path() / "a.jww").string());
    b.save((dir.path() / "b.jww").string());
    TJwwData jw;
    ASSERT_TRUE(jw.FileIn(dir.file("a.jww")));
    EXPECT_TRUE(jw.MojiEncode);
    ASSERT_TRUE(jw.FileIn(dir.file("b.jww")));
    EXPECT_EQ(jw.EntLineN, 0);
    EXPECT_EQ(jw.EntMojiN, 0);
    EXPECT_EQ(jw.EntEnkoN, 1);
    EXPECT_FALSE(jw.MojiEncode);
}

} // namespace

namespace {

TEST(JwwRead, FontNamesSharedOnlyWhenStoredAlike)
{
    // Names are decoded once while repeated; a change of name or of form must not reuse the last one.
    JwwWriter w;
    TEntJwwMoji m = text(0, 0, 1, 0, 1, 1);
    w.add(m, u"A", u"1");
    w.add(m, u"A", u"2");
    w.add(m, u"B", u"3");
    w.add(m, u"A", u"4", StrForm::utf16);
    w.add(m, u"A\t", u"5");
    w.add(m, u"", u"6");
    w.add(m, u"", u"7");
    Loaded l(w.bytes());
    ASSERT_TRUE(l.ok);
    const std::u16string fonts[] = { u"A", u"A", u"B", u"A", u"A", u"", u"" };
    ASSERT_EQ(l.jw.EntMojiN, 7);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(l.jw.text(l.jw.EntMoji[i].strFontName), fonts[i]) << i;
        EXPECT_EQ(l.jw.text(l.jw.EntMoji[i].str), IntToText(int64_t(i + 1))) << i;
    }
    EXPECT_EQ(+l.jw.EntMoji[0].strFontName.index, +l.jw.EntMoji[1].strFontName.index);
}

TEST(JwwRead, FileHeaderInReadsTheHeaderOnly)
{
    JwwWriter w(420);
    w.Enthd.nZumen = 4;
    w.add(line(0, 0, 1, 1));
    TempDir dir;
    w.save((dir.path() / "h.jww").string());
    TJwwData jw;
    EXPECT_TRUE(jw.FileHeaderIn(dir.file("h.jww")));
    EXPECT_EQ(jw.Enthd.nZumen, 4);
    EXPECT_EQ(jw.EntLineN, 0);
    EXPECT_FALSE(jw.FileHeaderIn(dir.file("none.jww")));
}

} // namespace
