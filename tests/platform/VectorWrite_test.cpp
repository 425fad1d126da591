// Vector documents from a display list: each picture stored once, strokes of no width left out as on pixels,
// the title and date in the header, and failures to write reported.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>

#include "platform/Bitmap.h"
#include "platform/DisplayList.h"
#include "platform/ImageSave.h"
#include "platform/VectorWrite.h"
#include "tests/platform/TempFolder.h"

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& f)
{
    std::ifstream in(f, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

size_t occurrences(const std::string& s, const std::string& what)
{
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
        ++n;
    return n;
}

platform::Bitmap opaque(int w, int h, uint32_t argb)
{
    platform::Bitmap b;
    EXPECT_TRUE(b.resize(w, h));
    b.fill(argb);
    return b;
}

// Writes the list through save_display_list into `name` in `dir`, and returns the file's bytes.
std::string saved(
    platform::DisplayList& list, const TempFolder& dir, const std::string& name, const platform::SaveOptions& o = {})
{
    std::string error;
    EXPECT_TRUE(platform::save_display_list(list, dir.path() / name, error, o)) << name << ": " << error;
    return slurp(dir.path() / name);
}

struct Marker {
    const char* file;
    const char* image; // what each stored picture writes once
};

constexpr Marker kImages[] = {
    { "a.pdf", "/Subtype /Image" },
    { "a.svg", "<image " },
    { "a.eps", "/ImageType" },
    { "a.ps", "/ImageType" },
};

TEST(VectorWrite, EachPictureIsStoredOnceHoweverOftenItIsDrawn)
{
    TempFolder dir;
    // Drawings decode an image again at each use: equal pixels in separate bitmaps are one picture.
    const platform::Bitmap first = opaque(16, 8, 0xFF3366CC);
    const platform::Bitmap again = opaque(16, 8, 0xFF3366CC);
    const platform::Bitmap other = opaque(16, 8, 0xFFCC6633);
    ASSERT_NE(first.data(), again.data());
    for (const Marker& m : kImages) {
        platform::DisplayList list(200, 100);
        const platform::RectF src { 0, 0, 16, 8 };
        list.draw_bitmap(first, src, { 10, 10, 42, 26 });
        list.draw_bitmap(again, src, { 60, 10, 92, 26 });
        list.draw_bitmap(first, src, { 10, 50, 26, 58 });
        list.draw_bitmap(other, src, { 110, 10, 142, 26 });
        EXPECT_EQ(occurrences(saved(list, dir, m.file), m.image), 2u) << m.file;
    }
}

TEST(VectorWrite, StrokesOfNoWidthLeaveNoInkAsOnPixels)
{
    TempFolder dir;
    struct Case {
        float thickness;
        size_t paths;
    };
    // Cairo's image surfaces draw nothing for a width of 0; a PDF or SVG viewer would draw a hairline.
    for (const Case c : { Case { 0.0f, 0 }, Case { -1.0f, 0 }, Case { 1.0f, 1 } }) {
        platform::DisplayList list(100, 100);
        list.set_stroke({ 0xFF000000, c.thickness, platform::DashStyle::Solid });
        list.draw_line({ 10, 10 }, { 90, 90 });
        platform::SaveOptions transparent;
        transparent.transparent = true;
        transparent.replace = true;
        list.fill(0);
        EXPECT_EQ(occurrences(saved(list, dir, "l.svg", transparent), "<path"), c.paths) << c.thickness;
    }
}

TEST(VectorWrite, HeadersCarryTitleCreatorAndDate)
{
    TempFolder dir;
    ::setenv("SOURCE_DATE_EPOCH", "86400", 1);
    platform::DisplayList list(40, 30);
    list.set_stroke({ 0xFFFF0000, 2, platform::DashStyle::Solid });
    list.draw_line({ 1, 1 }, { 39, 29 });
    platform::SaveOptions o;
    o.page.title = "(図) <a&b>";
    const std::string eps = saved(list, dir, "t.eps", o);
    EXPECT_NE(eps.find("%%Title: (\\(\\345\\233\\263\\) <a&b>)\n"), std::string::npos) << eps.substr(0, 400);
    EXPECT_NE(eps.find("%%Creator: torvanesub\n"), std::string::npos);
    EXPECT_NE(eps.find("%%CreationDate: 1970-01-02T00:00:00Z\n"), std::string::npos);
    EXPECT_EQ(eps.find("cairographics"), std::string::npos);
    // Symbols have no paper: their pixels at 96 dpi.
    EXPECT_NE(eps.find("%%BoundingBox: 0 0 30 23\n"), std::string::npos);
    const std::string svg = saved(list, dir, "t.svg", o);
    EXPECT_NE(svg.find("<title>(図) &lt;a&amp;b&gt;</title>"), std::string::npos);
    const std::string pdf = saved(list, dir, "t.pdf", o);
    EXPECT_NE(pdf.find("/Creator (torvanesub)"), std::string::npos);
    EXPECT_NE(pdf.find("/CreationDate (19700102000000"), std::string::npos);
    ::unsetenv("SOURCE_DATE_EPOCH");
}

TEST(VectorWrite, PageIsThePaperWhenGiven)
{
    TempFolder dir;
    platform::DisplayList list(1654, 1169);
    platform::SaveOptions o;
    o.page.width_pt = 420 / 25.4 * 72;
    o.page.height_pt = 297 / 25.4 * 72;
    EXPECT_NE(saved(list, dir, "a3.eps", o).find("%%BoundingBox: 0 0 1191 842\n"), std::string::npos);
}

TEST(VectorWrite, DocumentTimeFollowsSourceDateEpochWhenItIsANumber)
{
    const int64_t now = int64_t(std::time(nullptr));
    struct Case {
        const char* value;
        int64_t want; // -1: now
    };
    for (const Case c : { Case { "1700000000", 1700000000 }, Case { "0", 0 }, Case { "12abc", -1 }, Case { "", -1 },
             Case { "-5", -1 } }) {
        ::setenv("SOURCE_DATE_EPOCH", c.value, 1);
        const int64_t t = platform::document_time();
        if (c.want >= 0)
            EXPECT_EQ(t, c.want) << c.value;
        else
            EXPECT_GE(t, now) << c.value;
    }
    ::unsetenv("SOURCE_DATE_EPOCH");
}

TEST(VectorWrite, AFailedWriteIsAFailure)
{
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        GTEST_SKIP() << "no /dev/full";
    platform::DisplayList list(100, 100);
    list.fill_text(u"日本語", { 0, 0, 100, 100 }, { "IPAGothic", 20 });
    for (const char* ext : { "x.pdf", "x.svg", "x.eps" }) {
        std::string error;
        EXPECT_FALSE(platform::write_vector(list, fd, *platform::output_format(ext), {}, {}, error)) << ext;
        EXPECT_FALSE(error.empty()) << ext;
    }
    ::close(fd);
}

TEST(VectorWrite, BitmapsAreNotSavedAsDocuments)
{
    TempFolder dir;
    const platform::Bitmap b = opaque(4, 4, 0xFF000000);
    std::string error;
    EXPECT_FALSE(platform::save_bitmap(b, dir.path() / "b.pdf", error));
    EXPECT_FALSE(fs::exists(dir.path() / "b.pdf"));
}

} // namespace
