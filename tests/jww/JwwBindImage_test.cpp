// Images stored in ".jww" files: extraction, inflation, deletion, hostile names and sizes, "%temp%".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "formats/jww/JwwUnit.h"
#include "platform/Cp932.h"
#include "tests/support/jww_tempdir.h"
#include "tests/support/jww_writer.h"

using namespace jwwtest;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> bytes(const std::string& s) { return { s.begin(), s.end() }; }

std::string contents(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return { std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>() };
}

// A drawing in src/ whose images go to img/, both inside one private folder.
struct ImageRun {
    TempDir dir;
    TJwwData jw;
    fs::path img = dir.path() / "img";

    ImageRun()
    {
        fs::create_directories(dir.path() / "src");
        fs::create_directories(img);
        jw.BindImageFolder = platform_folder(img);
        jw.BindImageExp = jw.BindImageExr = true;
    }
    static std::u16string platform_folder(const fs::path& p) { return platform::utf8_to_utf16(p.string() + "/"); }
    bool load(const JwwWriter& w)
    {
        w.save((dir.path() / "src" / "d.jww").string());
        return jw.FileIn(dir.file("src/d.jww"));
    }
    std::string listing() const
    {
        std::string out;
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(img))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        for (const auto& n : names)
            out += (out.empty() ? "" : " ") + n;
        return out;
    }
};

TEST(JwwBindImage, ExtractInflateAndDeleteLeaveNothingBehind)
{
    const std::string a = "BM image a, long enough to compress: aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa";
    ImageRun s;
    JwwWriter w(700);
    w.image(u"a.bmp.gz", gzip(a));
    w.image(u"b.PNG", bytes("png bytes"));
    w.image(u"c.GZ", gzip("capital"));
    w.image_entry(u"", 5, bytes("xxxxx"));
    w.image_entry(u"zero.bmp", 0, {});
    w.image(u"e.bmp", bytes("after the empty ones"));
    ASSERT_TRUE(s.load(w));
    ASSERT_EQ(s.jw.BindImageN, 6);
    EXPECT_EQ(s.jw.BindImage[0].Fname, u"a.bmp.gz");
    EXPECT_EQ(s.jw.BindImage[0].Fsize, int32_t(gzip(a).size()));
    EXPECT_EQ(s.listing(), "a.bmp.gz b.PNG c.GZ e.bmp");
    EXPECT_EQ(contents(s.img / "b.PNG"), "png bytes");
    EXPECT_EQ(contents(s.img / "e.bmp"), "after the empty ones");

    s.jw.BindImageExplode();
    EXPECT_EQ(s.listing(), "a.bmp a.bmp.gz b.PNG c c.GZ e.bmp");
    EXPECT_EQ(contents(s.img / "a.bmp"), a);
    EXPECT_EQ(contents(s.img / "c"), "capital");

    s.jw.BindImageDeleteGzFile();
    EXPECT_EQ(s.listing(), "a.bmp b.PNG c e.bmp");
    s.jw.BindImageDeleteNonGzFile();
    EXPECT_EQ(s.listing(), "");
    // Deleting again finds nothing and says nothing.
    s.jw.BindImageDeleteGzFile();
    s.jw.BindImageDeleteNonGzFile();
    s.jw.BindImageInit();
    EXPECT_EQ(s.jw.BindImageN, 0);
}

TEST(JwwBindImage, StoredNamesNeverWriteOrDeleteOutsideTheFolder)
{
    ImageRun s;
    std::ofstream(s.dir.path() / "x.bmp") << "outside";
    JwwWriter w(700);
    w.image(u"../x.bmp.gz", gzip("one"));
    w.image(u"/etc/passwd", bytes("two"));
    w.image(u"C:\\x", bytes("three"));
    w.image(u"a/b.png", bytes("four"));
    w.image(u"..", bytes("five"));
    w.image(u"..\\..\\..gz", gzip("six"));
    ASSERT_TRUE(s.load(w));
    EXPECT_EQ(s.listing(), "..gz b.png passwd x x.bmp.gz");
    EXPECT_EQ(contents(s.img / "x"), "three");
    s.jw.BindImageExplode();
    EXPECT_EQ(contents(s.img / "x.bmp"), "one");
    EXPECT_EQ(contents(s.dir.path() / "x.bmp"), "outside");
    s.jw.BindImageDeleteGzFile();
    s.jw.BindImageDeleteNonGzFile();
    EXPECT_EQ(s.listing(), "");
    EXPECT_EQ(contents(s.dir.path() / "x.bmp"), "outside");
    EXPECT_TRUE(fs::exists(s.dir.path() / "src" / "d.jww"));
    EXPECT_TRUE(fs::is_directory(s.img));
}

TEST(JwwBindImage, NeverWritesThroughALinkInTheFolder)
{
    ImageRun s;
    std::ofstream(s.dir.path() / "target") << "keep";
    fs::create_symlink(s.dir.path() / "target", s.img / "a.bmp");
    JwwWriter w(700);
    w.image(u"a.bmp", bytes("evil"));
    ASSERT_TRUE(s.load(w));
    EXPECT_EQ(contents(s.dir.path() / "target"), "keep");
    EXPECT_FALSE(fs::exists(fs::symlink_status(s.img / "a.bmp"))) << "the failed copy is removed";
}

TEST(JwwBindImage, FlagsDecideWhatIsReadAndWritten)
{
    struct Case {
        bool exp, exr;
        int32_t entries;
        const char* files;
    } cases[] = { { true, true, 1, "a.bmp" }, { false, true, 1, "" }, { true, false, 1, "a.bmp" },
        { false, false, 0, "" } };
    for (const auto& c : cases) {
        ImageRun s;
        s.jw.BindImageExp = c.exp;
        s.jw.BindImageExr = c.exr;
        JwwWriter w(700);
        w.image(u"a.bmp", bytes("data"));
        ASSERT_TRUE(s.load(w));
        EXPECT_EQ(s.jw.BindImageN, c.entries);
        EXPECT_EQ(s.listing(), c.files);
    }
}

TEST(JwwBindImage, OnlyVersion700HasATable)
{
    ImageRun s;
    JwwWriter w(600);
    w.tail = { 1, 0, 0, 0 };
    ASSERT_TRUE(s.load(w));
    EXPECT_EQ(s.jw.BindImageN, 0);
}

TEST(JwwBindImage, SizesThatLieAboutTheData)
{
    // A negative size carries no data, so the next entry follows at once; its file is made empty.
    ImageRun s;
    JwwWriter w(700);
    w.image_entry(u"neg.bmp", -5, {});
    w.image(u"ok.bmp", bytes("fine"));
    ASSERT_TRUE(s.load(w));
    EXPECT_EQ(s.listing(), "neg.bmp ok.bmp");
    EXPECT_EQ(contents(s.img / "neg.bmp"), "");
    EXPECT_EQ(contents(s.img / "ok.bmp"), "fine");

    // A size past the end copies what there is.
    ImageRun t;
    JwwWriter big(700);
    big.image_entry(u"cut.bmp", 1 << 30, bytes("short"));
    ASSERT_TRUE(t.load(big));
    EXPECT_EQ(contents(t.img / "cut.bmp"), "short");

    // More entries announced than the file holds: the load fails, the entries read stay.
    ImageRun u;
    JwwWriter more(700);
    more.image(u"one.bmp", bytes("1"));
    more.image_count = 0x7FFFFFFF;
    EXPECT_FALSE(u.load(more));
    EXPECT_EQ(u.jw.BindImageN, 1);
    EXPECT_EQ(u.listing(), "one.bmp");
}

TEST(JwwBindImage, BrokenGzipLeavesWhatWasInflated)
{
    ImageRun s;
    std::vector<uint8_t> z = gzip(std::string(5000, 'q'));
    z.resize(z.size() / 2);
    JwwWriter w(700);
    w.image(u"half.bmp.gz", z);
    w.image(u"junk.bmp.gz", bytes("not gzip at all"));
    ASSERT_TRUE(s.load(w));
    s.jw.BindImageExplode();
    EXPECT_TRUE(fs::exists(s.img / "half.bmp"));
    EXPECT_TRUE(fs::exists(s.img / "junk.bmp"));
    EXPECT_EQ(contents(s.img / "junk.bmp"), "");
    s.jw.BindImageDeleteGzFile();
    s.jw.BindImageDeleteNonGzFile();
    EXPECT_EQ(s.listing(), "");
}

TEST(JwwBindImage, InflationStopsAtTheBudget)
{
    TempDir dir;
    std::vector<uint8_t> z = gzip(std::string(100000, 'z'));
    std::ofstream(dir.path() / "bomb.gz", std::ios::binary)
        .write(reinterpret_cast<const char*>(z.data()), std::streamsize(z.size()));
    EXPECT_EQ(detail::inflate_gzip_file(dir.file("bomb.gz"), dir.file("bomb"), 50000), detail::JwwInflate::too_large);
    EXPECT_FALSE(fs::exists(dir.path() / "bomb")) << "nothing past the budget stays on the disk";
    EXPECT_EQ(detail::inflate_gzip_file(dir.file("bomb.gz"), dir.file("bomb"), 100000), detail::JwwInflate::done);
    EXPECT_EQ(fs::file_size(dir.path() / "bomb"), 100000u);
    EXPECT_EQ(detail::inflate_gzip_file(dir.file("none.gz"), dir.file("x"), 10), detail::JwwInflate::failed);
    EXPECT_FALSE(fs::exists(dir.path() / "x"));
}

TEST(JwwBindImage, EmptyFolderWritesNothing)
{
    // With no folder set, names would land in the working directory; nothing is written.
    TempDir dir;
    JwwWriter w(700);
    w.image(u"jww-empty-folder-probe.bmp", bytes("data"));
    w.save((dir.path() / "d.jww").string());
    TJwwData jw;
    jw.BindImageExp = jw.BindImageExr = true;
    ASSERT_TRUE(jw.FileIn(dir.file("d.jww")));
    EXPECT_EQ(jw.BindImageN, 1);
    EXPECT_EQ(dir.listing(), "d.jww");
    EXPECT_EQ(jw.bind_image_path(u"%temp%jww-empty-folder-probe.bmp"), u"");
}

TEST(JwwBindImage, TempPrefixResolvesToTheFolder)
{
    TJwwData jw;
    jw.BindImageFolder = u"/run/imgs/";
    struct Case {
        std::u16string in, out;
    } cases[] = {
        { u"%temp%a.bmp", u"/run/imgs/a.bmp" },
        { u"%TEMP%a.bmp", u"%TEMP%a.bmp" },
        { u"%temp%../x.bmp", u"/run/imgs/x.bmp" },
        { u"%temp%sub\\b.png", u"/run/imgs/b.png" },
        { u"%temp%", u"" },
        { u"C:\\images\\a.bmp", u"C:\\images\\a.bmp" },
        { u"", u"" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(jw.bind_image_path(c.in), c.out);
}

} // namespace
