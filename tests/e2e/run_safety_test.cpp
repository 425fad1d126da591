// The executable against hostile folders and arguments: the destination rule, planted links, the run's own
// folder, file names that are not UTF-8, absurd sizes and the messages that name what they are about.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <vips/vips.h>

#include "platform/Vips.h"

#include "tests/support/e2e_harness.h"
#include "tests/support/jww_writer.h"

namespace {

using e2e::Sandbox;
using namespace jwwtest;
namespace fs = std::filesystem;

constexpr uint32_t kRed = 0xFF0000;

// An A4 drawing with a stored picture that the run extracts into its own folder and draws over the middle.
std::vector<uint8_t> drawing_with_image()
{
    JwwWriter w(700);
    w.Enthd.nZumen = 4;
    w.image(u"red.bmp.gz", red_bmp_gz());
    w.add(text(-50, -25, 50, -25, 3, 3), u"ＭＳ ゴシック", u"^@BM%temp%red.bmp,100,50");
    return w.bytes();
}

// A drawing showing the picture file `name` beside it.
std::vector<uint8_t> drawing_with_picture(std::u16string_view name)
{
    JwwWriter w(600);
    w.Enthd.nZumen = 4;
    w.add(text(-50, -25, 50, -25, 3, 3), u"ＭＳ ゴシック", u"^@BM" + std::u16string(name) + u",100,50");
    return w.bytes();
}

// A 64 x 64 red PNG, made by libvips.
std::vector<uint8_t> red_png()
{
    VipsImage* black = nullptr;
    VipsImage* red = nullptr;
    void* buf = nullptr;
    size_t len = 0;
    const double colour[] = { 255, 0, 0 };
    if (platform::vips_ready() && vips_black(&black, 64, 64, "bands", 3, nullptr) == 0
        && vips_linear(black, &red, std::array<double, 3> { 1, 1, 1 }.data(), const_cast<double*>(colour), 3, "uchar",
               TRUE, nullptr)
            == 0)
        vips_image_write_to_buffer(red, ".png", &buf, &len, "compression", 0, nullptr);
    std::vector<uint8_t> out(static_cast<uint8_t*>(buf), static_cast<uint8_t*>(buf) + len);
    g_free(buf);
    for (VipsImage* im : { black, red })
        if (im)
            g_object_unref(im);
    return out;
}

std::vector<uint8_t> plain_drawing()
{
    JwwWriter w(600);
    w.Enthd.nZumen = 4;
    w.add(line(-100, 0, 100, 0));
    return w.bytes();
}

std::string read_file(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Names in a folder other than the ones a test put there.
std::vector<std::string> entries(const fs::path& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RunSafety, DestinationRule)
{
    struct Case {
        const char* name;
        const char* src; // relative to the sandbox
        const char* dst;
        int exit_code;
        bool dst_kept; // the file under DEST's name before the run is still there, unchanged
    };
    const Case cases[] = {
        { "arguments swapped: DEST is the drawing", "out.png", "plan.jww", 3, true },
        { "SOURCE equal to DEST", "plan.jww", "plan.jww", 4, true },
        { "DEST names a text file", "plan.jww", "notes.txt", 4, true },
        { "DEST is a link to the drawing", "plan.jww", "link.png", 4, true },
        { "DEST is an old image", "plan.jww", "old.png", 4, false },
        { "DEST is an old image in capitals", "plan.jww", "OLD.PNG", 4, false },
    };
    const std::vector<uint8_t> bytes = plain_drawing();
    const std::string drawing(bytes.begin(), bytes.end());
    for (const Case& c : cases) {
        Sandbox box;
        box.settings(0, "200", "100");
        box.write("plan.jww", bytes);
        box.write("notes.txt", "my notes");
        box.write("old.png", "an old image");
        box.write("OLD.PNG", "an old image");
        fs::create_symlink("plan.jww", box.path("link.png"));
        const std::string before = read_file(box.path(c.dst));
        auto r = box.convert(c.src, c.dst);
        EXPECT_EQ(r.exit_code, c.exit_code) << c.name << ": " << r.err;
        EXPECT_EQ(fs::exists(box.path(c.dst)), c.dst_kept) << c.name;
        if (c.dst_kept) {
            EXPECT_EQ(read_file(box.path(c.dst)), before) << c.name;
        }
        EXPECT_EQ(read_file(box.path("plan.jww")), drawing) << c.name << ": the drawing must never be touched";
        EXPECT_NE(r.err.find(box.path(c.exit_code == 3 ? c.src : c.dst).string()), std::string::npos)
            << c.name << ": the message names the file: " << r.err;
    }
}

TEST(RunSafety, DestinationThatIsNoFileIsLeftAsItIs)
{
    Sandbox box;
    box.settings(0, "200", "100");
    box.write("plan.jww", plain_drawing());
    fs::create_directory(box.path("dir.png"));
    fs::create_symlink(box.dir() / "elsewhere" / "target.png", box.path("dangling.png"));
    for (const char* dst : { "dir.png", "dangling.png" }) {
        auto r = box.convert("plan.jww", dst);
        EXPECT_EQ(r.exit_code, 4) << dst << ": " << r.err;
        EXPECT_TRUE(fs::exists(fs::symlink_status(box.path(dst)))) << dst;
    }
    EXPECT_FALSE(fs::exists(box.dir() / "elsewhere")) << "nothing is written through a dangling link";
}

// The image is written to a new file of our own and renamed: nothing planted in DEST's folder is written
// through, nothing is left beside DEST, and its mode is what a plain create under the umask gives.
TEST(RunSafety, OutputIsCreatedExclusivelyAndRenamed)
{
    Sandbox box;
    box.settings(0, "200", "100");
    box.write("plan.jww", plain_drawing());
    fs::create_directory(box.path("victim"));
    box.write("victim/precious.png", "precious");
    // Links under the names a predictable scheme would have used.
    for (const char* name : { ".out.partial.png", ".out.png", "out.png.tmp", ".out.partial1.png" })
        fs::create_symlink(box.path("victim/precious.png"), box.path(name));
    const mode_t old = umask(027);
    auto r = box.convert("plan.jww", "out.png");
    umask(old);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(read_file(box.path("victim/precious.png")), "precious");
    struct stat st { };
    ASSERT_EQ(lstat(box.path("out.png").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    for (const std::string& n : entries(box.dir()))
        EXPECT_EQ(n.find(".tv"), std::string::npos) << "temporary file left: " << n;
}

TEST(RunSafety, LongestFileNameTheFileSystemTakes)
{
    Sandbox box;
    box.settings(0, "200", "100");
    box.write("plan.jww", plain_drawing());
    const std::string dst = std::string(251, 'a') + ".png";
    auto r = box.convert("plan.jww", dst);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(e2e::load_image(box.path(dst)));
}

// Names from Windows archives are Shift_JIS bytes; 0x5C is also the trail byte of characters like 表.
TEST(RunSafety, FileNamesAreTakenByteForByte)
{
    struct Case {
        std::string src, dst;
    };
    const Case cases[] = {
        { "\x90\x7d\x96\xca.jww", "\x90\x7d\x96\xca.png" }, // 図面
        { "\x95\x5c.jww", "\x95\x5c.png" }, // 表
        { "\x83\x5c\x83\x74\x83\x67.JWW", "out\xff.png" }, // ソフト, and a byte that is no text at all
    };
    for (const Case& c : cases) {
        Sandbox box;
        box.settings(0, "200", "100");
        box.write(c.src, plain_drawing());
        auto r = box.convert(c.src, c.dst);
        EXPECT_EQ(r.exit_code, 0) << r.err;
        EXPECT_TRUE(e2e::load_image(box.path(c.dst)));
        EXPECT_EQ(entries(box.dir()).size(), 4u) << "only the executable, settings, drawing and image";
        auto missing = box.convert("missing" + c.src, c.dst + ".png");
        EXPECT_EQ(missing.exit_code, 3);
        EXPECT_NE(missing.err.find("missing" + c.src), std::string::npos) << "printed as given: " << missing.err;
    }
}

TEST(RunSafety, AbsurdSizesAreStatedAsAskedAndRefused)
{
    struct Case {
        const char* ed2;
        const char* ed3;
        const char* stated;
    };
    const Case cases[] = {
        { "1e300", "1e300", "1e+300 x 1e+300" },
        { "200", "9e18", "200 x 9e+18" },
        { "3000000", "3000000", "3000000 x 3000000" },
    };
    for (const Case& c : cases) {
        Sandbox box;
        box.settings(0, c.ed2, c.ed3);
        box.write("plan.jww", plain_drawing());
        auto r = box.convert("plan.jww", "out.png");
        EXPECT_EQ(r.exit_code, 4) << c.stated;
        EXPECT_NE(r.err.find(std::string(c.stated) + " pixels is too large"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(box.path("out.png")));
    }
}

TEST(RunSafety, EveryMessageNamesItsFileAndSuccessIsSilent)
{
    struct Case {
        const char* src;
        const char* dst;
        const char* named; // the argument the message must name
        int exit_code;
    };
    const Case cases[] = {
        { "plan.jww", "out.png", nullptr, 0 },
        { "cutpicture.jww", "out.png", nullptr, 0 }, // its decoder warns about the cut picture, to itself
        { "absent.jww", "out.png", "absent.jww", 3 },
        { "plan.dxf", "out.png", "plan.dxf", 3 },
        { "broken.jww", "out.png", "broken.jww", 3 },
        { "plan.jww", "out.xyz", "out.xyz", 4 },
        { "plan.jww", "nofolder/out.png", "nofolder/out.png", 4 },
    };
    for (const Case& c : cases) {
        Sandbox box;
        box.settings(0, "200", "100");
        box.write("plan.jww", plain_drawing());
        box.write("plan.dxf", "0\nSECTION\n");
        box.write("broken.jww", "not a drawing");
        box.write("cutpicture.jww", drawing_with_picture(u"cut.png"));
        const std::vector<uint8_t> png = red_png();
        box.write("cut.png", std::vector<uint8_t>(png.begin(), png.begin() + std::ptrdiff_t(png.size() / 2)));
        auto r = box.convert(c.src, c.dst);
        EXPECT_EQ(r.exit_code, c.exit_code) << c.src << " -> " << c.dst << ": " << r.err;
        if (!c.named) {
            EXPECT_EQ(r.err, "");
            continue;
        }
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(box.path(c.named).string() + ": "), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(".tv"), std::string::npos) << "a temporary name: " << r.err;
    }
}

// The run's folder for extracted pictures is its own, whatever TEMP holds when it starts; what was there stays.
TEST(RunSafety, RunFolderIgnoresWhatItFindsInTemp)
{
    enum class Temp { Absent, LinkElsewhere, File, ForeignRunFolder, ReadOnly };
    const Temp states[] = { Temp::Absent, Temp::LinkElsewhere, Temp::File, Temp::ForeignRunFolder, Temp::ReadOnly };
    for (Temp state : states) {
        Sandbox box;
        box.settings(0, "400", "300");
        box.write("plan.jww", drawing_with_image());
        fs::create_directory(box.path("elsewhere"));
        box.write("elsewhere/keep.bmp", "keep");
        const fs::path temp = box.path("TEMP");
        switch (state) {
        case Temp::Absent: break;
        case Temp::LinkElsewhere: fs::create_directory_symlink(box.path("elsewhere"), temp); break;
        case Temp::File: box.write("TEMP", "a file"); break;
        case Temp::ForeignRunFolder:
            fs::create_directories(temp / ("run" + std::to_string(getpid())));
            box.write("TEMP/run" + std::to_string(getpid()) + "/red.bmp", "another run's");
            break;
        case Temp::ReadOnly:
            fs::create_directory(temp);
            box.write("TEMP/keep", "keep");
            fs::permissions(temp, fs::perms::owner_read | fs::perms::owner_exec);
            break;
        }
        const auto temp_before = fs::is_directory(fs::symlink_status(temp)) ? entries(temp)
                                                                            : std::vector<std::string>();
        auto r = box.convert("plan.jww", "out.png");
        const int s = int(state);
        EXPECT_EQ(r.exit_code, 0) << s << ": " << r.err;
        auto img = e2e::load_image(box.path("out.png"));
        ASSERT_TRUE(img) << s;
        EXPECT_TRUE(img->near(img->width / 2, img->height / 2, kRed)) << s << ": the stored picture is drawn";
        EXPECT_EQ(entries(box.path("elsewhere")), std::vector<std::string> { "keep.bmp" }) << s;
        EXPECT_EQ(read_file(box.path("elsewhere/keep.bmp")), "keep") << s;
        switch (state) {
        case Temp::Absent: EXPECT_FALSE(fs::exists(fs::symlink_status(temp))) << "an empty TEMP goes"; break;
        case Temp::LinkElsewhere: EXPECT_TRUE(fs::is_symlink(temp)); break;
        case Temp::File: EXPECT_EQ(read_file(temp), "a file"); break;
        case Temp::ForeignRunFolder:
        case Temp::ReadOnly: EXPECT_EQ(entries(temp), temp_before) << s; break;
        }
        if (state == Temp::ReadOnly)
            fs::permissions(temp, fs::perms::owner_all);
    }
}

// Runs of one installed copy at the same time never share a folder (containers may even share pids).
TEST(RunSafety, ParallelRunsOfOneCopyAllSucceed)
{
    Sandbox box;
    box.settings(0, "400", "300");
    box.write("plan.jww", drawing_with_image());
    constexpr int kRuns = 12;
    std::vector<pid_t> pids;
    for (int i = 0; i < kRuns; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            auto r = box.convert("plan.jww", "out" + std::to_string(i) + ".png");
            _exit(r.exit_code);
        }
        pids.push_back(pid);
    }
    for (pid_t pid : pids) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int i = 0; i < kRuns; ++i) {
        auto img = e2e::load_image(box.path("out" + std::to_string(i) + ".png"));
        ASSERT_TRUE(img) << i;
        EXPECT_TRUE(img->near(img->width / 2, img->height / 2, kRed)) << i;
    }
    EXPECT_FALSE(fs::exists(box.path("TEMP")));
}

} // namespace
