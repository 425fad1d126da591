// drawconv as a person runs it: command lines with their images and exit codes, batches, streams, thumbnails.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "tests/support/e2e_harness.h"

namespace {

namespace fs = std::filesystem;

const char* const kExamples[] = { "jww_sampler.jww", "jww_night.jww", "jws_symbol.jws", "jwc_sampler.jwc",
    "jwk_compass.jwk", "m7_sample.m7" };

// A folder holding copies of the example drawings and a file that is no drawing under a drawing's name.
class Work : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("drawconv-cli-" + std::to_string(getpid()) + "-" + std::to_string(n_++));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        for (const char* name : kExamples)
            fs::copy_file(fs::path(TORVANE_SOURCE_DIR) / "examples" / name, dir_ / name);
        write("bad.jww", "this is not a drawing");
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    e2e::RunResult drawconv(std::vector<std::string> args, const std::string& input = {}) const
    {
        args.insert(args.begin(), TORVANE_DRAWCONV);
        return e2e::run_command(args, dir_, input);
    }
    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    std::string read(const fs::path& name) const
    {
        std::ifstream in(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::optional<e2e::Image> image(const std::string& name) const { return e2e::load_image(dir_ / name); }
    fs::path path(const std::string& name) const { return dir_ / name; }

    fs::path dir_;
    static inline int n_ = 0;
};

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

struct Case {
    const char* what;
    std::vector<std::string> args;
    int exit_code;
    std::string output; // the image expected, "" for none
    std::string loader;
    int width = 0; // 0: not checked
    int height = 0;
    std::optional<uint32_t> corner = {}; // colour of the top-left pixel, in the margin outside the paper
    bool transparent_corner = false;
};

// Paper A3 (420 x 297 mm) for jww_sampler and jwc_sampler, A4 for jww_night and m7_sample; the symbols'
// extents give jwk_compass 278 x 337 pixels at 150 dpi.
const Case kCases[] = {
    { "default: the paper at 150 dpi", { "jww_sampler.jww" }, 0, "jww_sampler.png", "pngload", 2480, 1754, kWhite },
    { "--dpi", { "--dpi", "72", "jww_sampler.jww" }, 0, "jww_sampler.png", "pngload", 1191, 842, kWhite },
    { "--dpi on M7", { "--dpi", "100", "m7_sample.m7" }, 0, "m7_sample.png", "pngload", 1169, 827 },
    { "--size", { "--size", "300x200", "jwc_sampler.jwc" }, 0, "jwc_sampler.png", "pngload", 300, 200, kWhite },
    { "--width: the height follows the paper", { "--width", "800", "jww_sampler.jww" }, 0, "jww_sampler.png", "pngload",
        800, 566 },
    { "--height on a symbol: the width follows its extents", { "--height", "674", "jwk_compass.jwk" }, 0,
        "jwk_compass.png", "pngload", 556, 674 },
    { "-f jpg names the image .jpg", { "-f", "jpg", "--width", "400", "jww_sampler.jww" }, 0, "jww_sampler.jpg",
        "jpegload", 400, 283 },
    { "-f in capitals", { "-f", "TIF", "--width", "400", "jww_sampler.jww" }, 0, "jww_sampler.tif", "tiffload", 400,
        283 },
    { "-o FILE: its extension is the format", { "--width", "400", "jww_sampler.jww", "-o", "x.gif" }, 0, "x.gif",
        "gifload", 400, 283 },
    { "-o DIR/", { "--width", "400", "jww_sampler.jww", "-o", "images/" }, 0, "images/jww_sampler.png", "pngload", 400,
        283 },
    { "--background", { "--width", "400", "--background", "#ff0000", "jww_sampler.jww" }, 0, "jww_sampler.png",
        "pngload", 400, 283, 0xFF0000 },
    { "--background by name", { "--width", "400", "--background", "Blue", "jww_sampler.jww" }, 0, "jww_sampler.png",
        "pngload", 400, 283, 0x0000FF },
    { "a drawing asking for black keeps it", { "--width", "400", "jww_night.jww" }, 0, "jww_night.png", "pngload", 400,
        283, kBlack },
    { "--background white over a black drawing", { "--width", "400", "--background", "white", "jww_night.jww" }, 0,
        "jww_night.png", "pngload", 400, 283, kWhite },
    { "--transparent", { "--width", "400", "--transparent", "jww_night.jww" }, 0, "jww_night.png", "pngload", 400, 283,
        {}, true },
    { "--transparent in TIFF", { "--width", "400", "--transparent", "-f", "tif", "m7_sample.m7" }, 0, "m7_sample.tif",
        "tiffload", 400, 283, {}, true },
    { "--transparent refused for JPEG", { "--transparent", "-f", "jpg", "jww_sampler.jww" }, 2, "", "" },
    { "--transparent refused for BMP", { "--transparent", "jww_sampler.jww", "-o", "x.bmp" }, 2, "", "" },
    { "--transparent refused for EPS", { "--transparent", "-f", "eps", "jww_sampler.jww" }, 2, "", "" },
    { "size options exclude each other", { "--dpi", "100", "--size", "10x10", "jww_sampler.jww" }, 2, "", "" },
    { "--background excludes --transparent", { "--background", "red", "--transparent", "jww_sampler.jww" }, 2, "", "" },
    { "not a colour", { "--background", "#12345", "jww_sampler.jww" }, 2, "", "" },
    { "not a size", { "--size", "300", "jww_sampler.jww" }, 2, "", "" },
    { "zero dpi", { "--dpi", "0", "jww_sampler.jww" }, 2, "", "" },
    { "a format we do not write", { "-f", "dxf", "jww_sampler.jww" }, 2, "", "" },
    { "-o FILE whose extension is not -f", { "-f", "png", "jww_sampler.jww", "-o", "x.jpg" }, 2, "", "" },
    { "-o FILE for two sources", { "jww_sampler.jww", "jwc_sampler.jwc", "-o", "x.png" }, 2, "", "" },
    { "no source", {}, 2, "", "" },
    { "an unknown option", { "--frobnicate", "jww_sampler.jww" }, 2, "", "" },
    { "a missing source", { "absent.jww" }, 3, "", "" },
    { "an extension no reader takes", { "jww_sampler.dxf" }, 3, "", "" },
    // The pipeline's rule: the image of an unreadable drawing still holds what could be read (nothing here).
    { "not a drawing", { "--size", "40x30", "bad.jww" }, 3, "bad.png", "pngload", 40, 30, kWhite },
};

TEST_F(Work, CommandLinesGiveTheirImagesAndExitCodes)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir_))
            if (e.path().extension() != ".jww" && e.path().extension() != ".jws" && e.path().extension() != ".jwc"
                && e.path().extension() != ".jwk" && e.path().extension() != ".m7")
                fs::remove_all(e.path(), ec);
        const auto r = drawconv(c.args);
        EXPECT_EQ(r.exit_code, c.exit_code) << r.err;
        EXPECT_TRUE(r.out.empty());
        if (c.exit_code != 0) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line per failure: " << r.err;
        } else {
            EXPECT_EQ(r.err, "");
        }
        if (c.output.empty()) {
            for (const auto& e : fs::recursive_directory_iterator(dir_))
                EXPECT_FALSE(
                    e.path().extension() == ".png" || e.path().extension() == ".jpg" || e.path().extension() == ".bmp")
                    << "no image expected: " << e.path();
            continue;
        }
        const auto im = image(c.output);
        ASSERT_TRUE(im) << c.output;
        EXPECT_EQ(im->loader, c.loader);
        if (c.width) {
            EXPECT_EQ(im->width, c.width);
            EXPECT_EQ(im->height, c.height);
        }
        if (c.corner) {
            EXPECT_TRUE(im->near(0, 0, *c.corner, 8)) << std::hex << im->at(0, 0);
        }
        if (c.transparent_corner) {
            ASSERT_EQ(im->alpha.size(), size_t(im->width) * size_t(im->height));
            EXPECT_EQ(im->alpha[0], 0);
            EXPECT_TRUE(std::any_of(im->alpha.begin(), im->alpha.end(), [](uint8_t a) { return a == 255; }))
                << "the drawing itself stays opaque";
        } else {
            EXPECT_TRUE(im->alpha.empty() || im->alpha[0] == 255);
        }
    }
}

// The vector documents come by -f, by -o's extension in any case, and through a pipe.
TEST_F(Work, VectorDocuments)
{
    ASSERT_EQ(drawconv({ "-q", "-f", "pdf", "-o", "v/", "jww_sampler.jww", "m7_sample.m7" }).exit_code, 0);
    EXPECT_TRUE(read("v/jww_sampler.pdf").starts_with("%PDF-"));
    EXPECT_TRUE(read("v/m7_sample.pdf").starts_with("%PDF-"));
    ASSERT_EQ(drawconv({ "jws_symbol.jws", "-o", "s.SVG" }).exit_code, 0);
    EXPECT_NE(read("s.SVG").find("<svg"), std::string::npos);
    const auto piped = drawconv({ "-", "-f", "eps" }, read("jwk_compass.jwk"));
    ASSERT_EQ(piped.exit_code, 0) << piped.err;
    EXPECT_TRUE(piped.out.starts_with("%!PS-Adobe-3.0 EPSF-3.0\n"));
}

// Standard input and output carry the same bytes as files do.
TEST_F(Work, StandardInputAndOutput)
{
    ASSERT_EQ(drawconv({ "--width", "300", "jwk_compass.jwk", "-o", "file.png" }).exit_code, 0);
    const std::string file = read("file.png");
    ASSERT_FALSE(file.empty());

    const auto piped = drawconv({ "--width", "300", "-" }, read("jwk_compass.jwk"));
    EXPECT_EQ(piped.exit_code, 0) << piped.err;
    EXPECT_EQ(piped.out, file) << "stdin to stdout";

    const auto to_stdout = drawconv({ "--width", "300", "jwk_compass.jwk", "-o", "-" });
    EXPECT_EQ(to_stdout.exit_code, 0) << to_stdout.err;
    EXPECT_EQ(to_stdout.out, file) << "a file to stdout";

    const auto to_file = drawconv({ "--width", "300", "-", "-o", "from-stdin.png" }, read("jwk_compass.jwk"));
    EXPECT_EQ(to_file.exit_code, 0) << to_file.err;
    EXPECT_EQ(read("from-stdin.png"), file) << "stdin to a file";

    const auto jpeg = drawconv({ "--width", "300", "-f", "jpg", "-" }, read("m7_sample.m7"));
    EXPECT_EQ(jpeg.exit_code, 0) << jpeg.err;
    EXPECT_EQ(jpeg.out.substr(0, 3), "\xFF\xD8\xFF") << "an M7 drawing told by its bytes, written as JPEG";

    const auto junk = drawconv({ "-" }, "not a drawing at all");
    EXPECT_EQ(junk.exit_code, 3);
    EXPECT_TRUE(junk.out.empty());
    EXPECT_NE(junk.err.find("-: not a drawing"), std::string::npos) << junk.err;

    EXPECT_EQ(drawconv({ "-", "jww_sampler.jww" }, read("jwk_compass.jwk")).exit_code, 2) << "stdin must be alone";
}

// Many sources: good ones converted, each failure one line naming its file, the worst code returned.
TEST_F(Work, ManySourcesWithFailures)
{
    const auto r = drawconv({ "-q", "-j", "2", "--width", "200", "-o", "out/", "jww_sampler.jww", "bad.jww",
        "jwk_compass.jwk", "absent.m7", "m7_sample.m7" });
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    EXPECT_NE(r.err.find("bad.jww"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("absent.m7"), std::string::npos) << r.err;
    for (const char* ok : { "out/jww_sampler.png", "out/jwk_compass.png", "out/m7_sample.png" }) {
        const auto im = image(ok);
        ASSERT_TRUE(im) << ok;
        EXPECT_EQ(im->width, 200) << ok;
    }
    EXPECT_FALSE(fs::exists(path("out/absent.png")));
}

// Every conversion runs in a process of its own: the number at once changes nothing in the bytes.
TEST_F(Work, OneJobAndTwoJobsWriteTheSameBytes)
{
    std::vector<std::string> sources(std::begin(kExamples), std::end(kExamples));
    auto run = [&](const std::string& jobs, const std::string& out) {
        std::vector<std::string> args = { "-q", "-j", jobs, "--dpi", "60", "-o", out + "/" };
        args.insert(args.end(), sources.begin(), sources.end());
        const auto r = drawconv(args);
        EXPECT_EQ(r.exit_code, 0) << r.err;
    };
    run("1", "one");
    run("2", "two");
    for (const char* name : kExamples) {
        const std::string png = fs::path(name).stem().string() + ".png";
        const std::string a = read(fs::path("one") / png);
        EXPECT_FALSE(a.empty()) << png;
        EXPECT_EQ(a, read(fs::path("two") / png)) << png;
    }
}

TEST_F(Work, SourcesFromAList)
{
    write("list.txt", "jww_sampler.jww\n\njwk_compass.jwk\n");
    auto r = drawconv({ "-q", "--width", "100", "--files-from", "list.txt", "-o", "a/" });
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(fs::exists(path("a/jww_sampler.png")));
    EXPECT_TRUE(fs::exists(path("a/jwk_compass.png")));

    // NUL-separated names from standard input, one with a line end in it.
    fs::copy_file(path("m7_sample.m7"), path("odd\nname.m7"));
    r = drawconv({ "-q", "--width", "100", "--files-from", "-", "-0", "-o", "b/" },
        std::string("odd\nname.m7") + '\0' + "jws_symbol.jws" + '\0');
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(fs::exists(path("b/odd\nname.png")));
    EXPECT_TRUE(fs::exists(path("b/jws_symbol.png")));

    EXPECT_EQ(drawconv({ "--files-from", "absent.txt" }).exit_code, 2);
}

// Two sources that would give the same image: the second is refused, not written over the first.
TEST_F(Work, TwoSourcesOfOneImageName)
{
    fs::create_directories(path("x"));
    fs::create_directories(path("y"));
    fs::copy_file(path("jww_sampler.jww"), path("x/plan.jww"));
    fs::copy_file(path("jwk_compass.jwk"), path("y/plan.jwk"));
    const auto r = drawconv({ "-q", "--width", "100", "-o", "out/", "x/plan.jww", "y/plan.jwk" });
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_NE(r.err.find("y/plan.jwk"), std::string::npos) << r.err;
    const auto im = image("out/plan.png");
    ASSERT_TRUE(im);
    EXPECT_EQ(im->height, 71) << "the image of the first source, A3 at 100 pixels wide";
}

TEST_F(Work, AnExistingImageIsReplacedButNothingElse)
{
    write("jww_sampler.png", "old bytes");
    EXPECT_EQ(drawconv({ "--width", "100", "jww_sampler.jww" }).exit_code, 0);
    EXPECT_EQ(image("jww_sampler.png")->width, 100);

    fs::create_directories(path("jwc_sampler.png"));
    const auto r = drawconv({ "--width", "100", "jwc_sampler.jwc" });
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_NE(r.err.find("jwc_sampler.png"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(path("jwc_sampler.png")));

    const auto self = drawconv({ "thumbnail", "-s", "64", "jww_night.jww", "jww_night.jww" });
    EXPECT_EQ(self.exit_code, 4) << "the source is never overwritten";
    EXPECT_EQ(read("jww_night.jww").substr(0, 8), "JwwData.");
}

TEST_F(Work, ProgressOnlyWhenAskedOffATerminal)
{
    auto quiet = drawconv({ "--width", "50", "-o", "p/", "jww_sampler.jww", "jwk_compass.jwk" });
    EXPECT_EQ(quiet.exit_code, 0);
    EXPECT_EQ(quiet.err, "") << "nothing on a pipe unless asked";

    auto asked = drawconv({ "--progress", "--width", "50", "-o", "p/", "jww_sampler.jww", "jwk_compass.jwk" });
    EXPECT_EQ(asked.exit_code, 0);
    EXPECT_NE(asked.err.find("[1/2]"), std::string::npos) << asked.err;
    EXPECT_NE(asked.err.find("[2/2]"), std::string::npos) << asked.err;
    EXPECT_NE(asked.err.find("2 converted, 0 failed"), std::string::npos) << asked.err;
}

// A preview for file managers: PNG whatever the output's name, the longest side SIZE.
TEST_F(Work, Thumbnails)
{
    struct Thumb {
        const char* source;
        int width, height;
    };
    for (const Thumb& t : { Thumb { "jww_sampler.jww", 128, 91 }, Thumb { "jwk_compass.jwk", 106, 128 } }) {
        SCOPED_TRACE(t.source);
        write("thumb-out", "a file the file manager made");
        const auto r = drawconv({ "thumbnail", "-s", "128", t.source, "thumb-out" });
        EXPECT_EQ(r.exit_code, 0) << r.err;
        EXPECT_EQ(read("thumb-out").substr(0, 8), "\x89PNG\r\n\x1A\n");
        const auto im = image("thumb-out");
        ASSERT_TRUE(im);
        EXPECT_EQ(im->width, t.width);
        EXPECT_EQ(im->height, t.height);
    }
    EXPECT_EQ(drawconv({ "thumbnail", "jww_sampler.jww", "x" }).exit_code, 2) << "-s is required";
    EXPECT_EQ(drawconv({ "thumbnail", "-s", "64", "bad.jww", "x.png" }).exit_code, 3);
}

TEST_F(Work, HelpAndVersionOfBothExecutables)
{
    struct Call {
        std::string exe;
        std::string arg;
        std::string says;
    };
    const Call calls[] = {
        { TORVANE_DRAWCONV, "--help", "--files-from" },
        { TORVANE_DRAWCONV, "-h", "--transparent" },
        { TORVANE_DRAWCONV, "--version", std::string("drawconv ") + TORVANE_VERSION },
        { TORVANE_BINARY, "--help", "Torvane.dat" },
        { TORVANE_BINARY, "--version", std::string("torvanesub ") + TORVANE_VERSION },
    };
    for (const Call& c : calls) {
        const auto r = e2e::run_command({ c.exe, c.arg }, dir_);
        EXPECT_EQ(r.exit_code, 0) << c.exe << " " << c.arg;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.exe << " " << c.arg << ": " << r.out;
        EXPECT_EQ(r.err, "");
    }
    const auto sub = e2e::run_command({ TORVANE_BINARY, "-h" }, dir_);
    EXPECT_EQ(sub.exit_code, 2) << "the sub-module's contract: one argument other than --help or --version is usage";
}

} // namespace
