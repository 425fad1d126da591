// Header pens, widths, background and line types pushed into the attribute tables by the JWW loading step.
#include <gtest/gtest.h>

#include "app/Unit1.h"
#include "app/UnitVal_driver.h"
#include "formats/jww/JwwUnit.h"
#include "graphics/UnitGraAtt.h"
#include "platform/TextFile.h"

namespace {

class LoadingSteps : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.FormCreate({ u"/x/torvanesub" }, platform::from_fs_path(std::filesystem::temp_directory_path()));
        jw.EntCol.resize(10);
        jw.EntColS.resize(257);
        jw.EntLtp1.resize(8);
        jw.EntLtp2.resize(5);
        jw.EntLtp3.resize(4);
        jw.EntLtpS.resize(33);
        jw.EntCol[0].aPrtPenColor = 0xFFFFFF;
        jw.EntCol[0].aPenColor = 0xFFFFFF;
    }
    void TearDown() override { form.FormClose(); }
    TForm1 form;
    TJwwData jw;
};

TEST_F(LoadingSteps, PenWidthUnitByVersionResolutionAndMode)
{
    struct Case {
        int ver, dpi, maxwid, prt300;
        double unit;
    };
    const Case cases[] = {
        { 600, 1, 0, 0, 0.085 }, // 300 dpi printer
        { 600, 2, 0, 0, 0.042 }, // 600 dpi printer
        { 420, 1, 0, 0, 0.042 }, // old file: no usable printer resolution
        { 420, 1, 0, 1, 0.085 }, // ... unless taken as 300 dpi
        { 600, 0, 0, 0, 0.042 },
        { 600, 1, -10, 0, 0.1 }, // explicit unit
        { 600, 1, -20, 0, 0.05 },
        { 600, 1, -300, 0, 0.01 },
    };
    for (const Case& c : cases) {
        jw.Enthd.jwVer = c.ver;
        jw.Enthd.nPrtDpi = c.dpi;
        jw.Enthd.nMaxDrawWid = c.maxwid;
        gPrt300Dpi = c.prt300;
        jw.EntCol[3].anPrtPenWidth = 5;
        jw.EntCol[3].aPrtPenColor = 0x0000FF; // red
        jw.EntColS[7].anPrtPenWidth = 30;
        form.JwwFileColorSet(&jw);
        EXPECT_NEAR(gGraAtt->GetAttrColwid(3), 5 * c.unit, 1e-12) << c.ver << " " << c.dpi << " " << c.maxwid;
        EXPECT_EQ(gGraAtt->GetAttrColcol(3), 0xFFFF0000u);
        // Extended colours always count hundredths of a millimetre.
        EXPECT_NEAR(gGraAtt->GetAttrColwid(107), 0.3, 1e-12);
    }
    gPrt300Dpi = 0;
}

TEST_F(LoadingSteps, ScreenModeTakesScreenPens)
{
    gColorMode = 1;
    jw.Enthd.jwVer = 600;
    jw.Enthd.nPrtDpi = 1;
    jw.EntCol[2].aPenColor = 0x00FF00;
    jw.EntCol[2].anPenWidth = 2;
    jw.EntCol[2].aPrtPenColor = 0x0000FF;
    form.JwwFileColorSet(&jw);
    EXPECT_EQ(gGraAtt->GetAttrColcol(2), 0xFF00FF00u);
    EXPECT_NEAR(gGraAtt->GetAttrColwid(2), 0.17, 1e-12);
    gColorMode = 2;
}

TEST_F(LoadingSteps, BackgroundFromThePrinterBackgroundPen)
{
    struct Case {
        int32_t color;
        int back;
    };
    for (const Case& c : { Case { 0x000000, 1 }, Case { 0x141414, 1 }, Case { 0xF0F0F0, 0 }, Case { 0x808080, 0 } }) {
        gBackColorNo = 0;
        gGraAtt->SetBackColor(0);
        jw.EntCol[0].aPrtPenColor = c.color;
        form.JwwFileColorSet(&jw);
        EXPECT_EQ(gBackColorNo, c.back) << std::hex << c.color;
        EXPECT_EQ(gGraAtt->GetBackColorNo(), c.back) << std::hex << c.color;
    }
    // From black back to white.
    jw.EntCol[0].aPrtPenColor = 0xF0F0F0;
    form.JwwFileColorSet(&jw);
    EXPECT_EQ(gBackColorNo, 0);
}

TEST_F(LoadingSteps, NoHeaderTablesKeepTheDefaults)
{
    TJwwData empty;
    const double before = gGraAtt->GetAttrColwid(3);
    const int seg = gGraAtt->GetAttrTypseg(2);
    form.JwwFileColorSet(&empty);
    form.JwwFileLtypeSet(&empty);
    EXPECT_EQ(gGraAtt->GetAttrColwid(3), before);
    EXPECT_EQ(gGraAtt->GetAttrTypseg(2), seg);
}

TEST_F(LoadingSteps, PatternWordsBecomeRuns)
{
    jw.Enthd.jwVer = 600;
    jw.Enthd.nPrtDpi = 1; // pitch unit 0.085
    struct Case {
        uint32_t word;
        std::vector<double> runs; // in pitch units
    };
    const std::vector<Case> cases = {
        { 0xFFFF0000u, { 16, -16 } },
        { 0xF0F0F0F0u, { 4, -4, 4, -4, 4, -4, 4, -4 } },
        { 0u, { -32 } },
        { 0xFFFFFFFFu, { 32 } },
    };
    for (const Case& c : cases) {
        jw.EntLtp1[0].alLType = int32_t(c.word);
        jw.EntLtp1[0].anPrtTokushuSenPich = 2;
        form.JwwFileLtypeSet(&jw);
        ASSERT_EQ(gGraAtt->GetAttrTypseg(2), int(c.runs.size())) << std::hex << c.word;
        for (size_t m = 0; m < c.runs.size(); ++m)
            EXPECT_NEAR(gGraAtt->GetAttrTyppa1(2, int(m)), c.runs[m] * 2 * 0.085, 1e-12) << std::hex << c.word;
    }
    // Alternating bits: all 32 entries kept.
    jw.EntLtp1[0].alLType = int32_t(0xAAAAAAAAu);
    form.JwwFileLtypeSet(&jw);
    ASSERT_EQ(gGraAtt->GetAttrTypseg(2), 32);
    EXPECT_NEAR(gGraAtt->GetAttrTyppa1(2, 0), 2 * 0.085, 1e-12);
    EXPECT_NEAR(gGraAtt->GetAttrTyppa1(2, 31), -2 * 0.085, 1e-12);
}

TEST_F(LoadingSteps, PitchUnitDiffersFromTheWidthUnit)
{
    struct Case {
        int ver, dpi, maxwid;
        double unit;
    };
    for (const Case& c : { Case { 420, 1, 0, 0.035 }, Case { 600, 1, 0, 0.085 }, Case { 600, 2, 0, 0.042 },
             Case { 600, 1, -20, 0.035 } }) {
        jw.Enthd.jwVer = c.ver;
        jw.Enthd.nPrtDpi = c.dpi;
        jw.Enthd.nMaxDrawWid = c.maxwid;
        jw.EntLtp1[1].alLType = int32_t(0xFFFF0000u);
        jw.EntLtp1[1].anPrtTokushuSenPich = 1;
        form.JwwFileLtypeSet(&jw);
        EXPECT_NEAR(gGraAtt->GetAttrTyppa1(3, 0), 16 * c.unit, 1e-12) << c.ver << " " << c.maxwid;
    }
}

TEST_F(LoadingSteps, RandomLinesTakeTheirAmplitude)
{
    jw.Enthd.jwVer = 600;
    jw.Enthd.nPrtDpi = 2; // unit 0.042
    jw.EntLtp2[0].alLType = int32_t(0xFF00FF00u);
    jw.EntLtp2[0].anPrtRandSenWide = 10;
    jw.EntLtp2[0].anPrtTokushuSenPich = 1;
    form.JwwFileLtypeSet(&jw);
    EXPECT_NEAR(gGraAtt->GetAttrTypamp(11), 0.42, 1e-12);
    EXPECT_EQ(gGraAtt->GetAttrTypseg(11), 4);
}

TEST_F(LoadingSteps, UserLineTypesKeepAtMostTenEntries)
{
    jw.Enthd.jwVer = 600;
    auto& t = jw.EntLtpS[1];
    t.anUDLTypeSegment = 12;
    for (int m = 1; m <= 10; ++m)
        t.aadUDLTypePitch[size_t(m)] = m;
    form.JwwFileLtypeSet(&jw);
    ASSERT_EQ(gGraAtt->GetAttrTypseg(31), 10);
    EXPECT_DOUBLE_EQ(gGraAtt->GetAttrTyppa1(31, 0), 1);
    EXPECT_DOUBLE_EQ(gGraAtt->GetAttrTyppa1(31, 1), -2);
    EXPECT_DOUBLE_EQ(gGraAtt->GetAttrTyppa1(31, 9), -10);
}

TEST_F(LoadingSteps, JwcLoadingResetsColoursAndLineTypes)
{
    gGraAtt->SetAttrCol(3, 0xFF123456u, 9.0);
    gGraAtt->SetAttrTypseg(2, 1);
    form.JwcFileColorSet();
    form.JwcFileLtypeSet();
    TgraAttribute fresh;
    fresh.SetBackColor(gGraAtt->GetBackColorNo());
    fresh.SetDefaultColor();
    fresh.SetDefaultWidth();
    fresh.SetDefaultLtype();
    EXPECT_EQ(gGraAtt->GetAttrColcol(3), fresh.GetAttrColcol(3));
    EXPECT_EQ(gGraAtt->GetAttrColwid(3), fresh.GetAttrColwid(3));
    EXPECT_EQ(gGraAtt->GetAttrTypseg(2), fresh.GetAttrTypseg(2));
}

} // namespace
