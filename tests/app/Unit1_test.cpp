// The form's own arithmetic and files: argument log, output size, view fit, settings and reference files.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "app/Unit1.h"
#include "app/UnitVal_driver.h"
#include "platform/TextFile.h"
#include "util/Func_2.h"

namespace {

namespace fs = std::filesystem;

class FormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path()
            / ("torvane-form-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        form.FormClose();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    void write(const std::string& name, const std::string& text)
    {
        fs::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << text;
    }
    void create(std::vector<std::u16string> args = { u"/x/torvanesub" })
    {
        form.FormCreate(args, platform::from_fs_path(dir));
    }
    fs::path dir;
    TForm1 form;
};

TEST_F(FormTest, ArgumentLogHoldsExecutableAndFourArguments)
{
    create({ u"/x/torvanesub", u"p1", u"p2", u"/d/src.jww", u"/d/out.png" });
    ASSERT_EQ(form.Memo1.size(), 5u);
    EXPECT_EQ(form.Memo1[0], u"/x/torvanesub");
    EXPECT_EQ(form.Memo1[4], u"/d/out.png");
}

TEST_F(FormTest, SettingsDefaultsWithoutFile)
{
    create();
    EXPECT_EQ(form.Fm1w, 480);
    EXPECT_TRUE(form.rb1);
    EXPECT_EQ(form.gstyle, u"Windows");
    EXPECT_EQ(form.ed2, u"100");
    EXPECT_EQ(form.cb3, 0);
    EXPECT_EQ(form.lb2, form.AppPath);
}

TEST_F(FormTest, SettingsReadLineByLineAndShortFileEmptiesTheRest)
{
    write("Torvane.dat",
        "$10\r\n 20\r\n0x30\r\n-7\r\nON\r\nyes\r\n\xef\xbc\x91\r\n1\r\n0\r\ned\r\nl1\r\nl2\r\n3\r\nStyle\r\n4\n12");
    create();
    EXPECT_EQ(form.Fm1x, 16);
    EXPECT_EQ(form.Fm1y, 20);
    EXPECT_EQ(form.Fm1w, 48);
    EXPECT_EQ(form.Fm1h, -7);
    EXPECT_TRUE(form.rb1);
    EXPECT_FALSE(form.rb2);
    EXPECT_TRUE(form.rb4);
    EXPECT_EQ(form.ed1, u"ed");
    EXPECT_EQ(form.gstyle, u"Style");
    EXPECT_EQ(form.cb2, 4);
    EXPECT_EQ(form.cb3, 12);
    EXPECT_EQ(form.ed2, u"");
    EXPECT_EQ(form.ed3, u"");
}

TEST_F(FormTest, DotSizeFromPixelsOrResolution)
{
    create();
    form.papx = 420;
    form.papy = 297;
    double sx = 0, sy = 0;
    form.cb3 = 9;
    form.GetDotSize(2, sx, sy);
    EXPECT_EQ(sx, 4961);
    EXPECT_EQ(sy, 3508);
    // The symbol formats always take the pixel size.
    form.ed2 = u"800";
    form.ed3 = u"600";
    form.GetDotSize(3, sx, sy);
    EXPECT_EQ(sx, 800);
    EXPECT_EQ(sy, 600);
    form.cb3 = 0;
    form.GetDotSize(2, sx, sy);
    EXPECT_EQ(sx, 800);
    EXPECT_EQ(sy, 600);
    form.cb3 = -4;
    form.GetDotSize(4, sx, sy);
    EXPECT_EQ(sx, 4961);
}

TEST_F(FormTest, A3LandscapeFittedIntoASquare)
{
    create();
    form.papx = 420;
    form.papy = 297;
    form.dispSub(2, 100, 100);
    EXPECT_DOUBLE_EQ(gDispScale, 100 / (420 * 1.05));
    EXPECT_NEAR(gDispX1, -220.5, 1e-9);
    EXPECT_NEAR(gDispX2, 220.5, 1e-9);
    EXPECT_NEAR(gDispY1, -220.5, 1e-9);
    EXPECT_NEAR(gDispY2, 220.5, 1e-9);
    EXPECT_EQ(form.Image1.width(), 100);
}

TEST_F(FormTest, DegenerateExtentsKeepTheScaleFinite)
{
    create();
    gMinX = gMaxX = 5;
    gMinY = gMaxY = 7;
    form.dispSub(3, 10, 10);
    EXPECT_DOUBLE_EQ(gDispScale, 10 / 0.001);
    EXPECT_NEAR((gDispX1 + gDispX2) / 2, 5, 1e-12);
}

TEST_F(FormTest, ReferenceFileNameFromJwf)
{
    struct Case {
        const char* jwf;
        const char16_t* name;
    };
    const Case cases[] = {
        { "A=1\r\nref_file = c:\\data\\ref.txt\r\nEND\r\n", u"C:\\DATA\\REF.TXT" },
        { "REF_FILE=ref.txt\r\n", u"REF.TXT" },
        { "END\r\nREF_FILE = x.txt\r\n", u"" },
        { "REF_FILE:x.txt\r\n", u"" },
    };
    for (const Case& c : cases) {
        write("Jw_win.jwf", c.jwf);
        gRefFileName.clear();
        form.AppPath = AddPathDelim(platform::from_fs_path(dir));
        form.GetRefFileName();
        EXPECT_EQ(gRefFileName, c.name) << c.jwf;
    }
}

TEST_F(FormTest, ReferenceListSkipsMalformedLines)
{
    create();
    write("drawings/REF.TXT",
        "%%PROJECT\tTower B\r\nno tab\r\n%%A B\tx\r\nPLAIN\ty\r\n\tempty\r\n%%ctl\tv\x01w\r\n%%PROJECT\tsecond\r\n");
    gFilePath = platform::from_fs_path(dir / "drawings" / "plan.jww");
    gRefFileName = u"ref.txt"; // a bare name, in another case than on disk: found beside the drawing
    form.RefFileOpen();
    ASSERT_EQ(gRefCount, 3);
    EXPECT_EQ(gRefList[0].s1, u"%%PROJECT");
    EXPECT_EQ(gRefList[0].s2, u"Tower B");
    EXPECT_EQ(gRefList[1].s2, u"vw");
    EXPECT_EQ(gRefList[2].s2, u"second");
}

TEST_F(FormTest, WindowsReferencePathFallsBackToTheDrawingFolder)
{
    create();
    write("drawings/ref.txt", "%%K\tV\r\n");
    gFilePath = platform::from_fs_path(dir / "drawings" / "plan.jww");
    gRefFileName = u"C:\\DATA\\REF.TXT";
    form.RefFileOpen();
    ASSERT_EQ(gRefCount, 1);
    EXPECT_EQ(gRefList[0].s2, u"V");
}

} // namespace
