// Every example drawing as PDF, SVG, EPS and PS from torvanesub: the pages rasterised by poppler, librsvg and
// Ghostscript agree with the PNG of the same settings, the PDF's text is the drawing's text, and two runs give
// the same bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/DocumentType.h"
#include "app/Unit1.h"
#include "platform/Cp932.h"
#include "platform/TextFile.h"
#include "tests/support/e2e_harness.h"

namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(TORVANE_SOURCE_DIR) / "examples";

std::vector<std::string> example_names()
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(kExamples))
        if (document_type_of_path(platform::from_fs_path(e.path())))
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A program on the PATH, or empty.
std::string tool(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && ::access((fs::path(dir) / name).c_str(), X_OK) == 0)
            return (fs::path(dir) / name).string();
    return {};
}

std::string slurp(const fs::path& f)
{
    std::ifstream in(f, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The share of pixels of `a` that some pixel of `b` at most one pixel away matches within `tol` on every
// channel: antialiased edges land a little differently through each rasteriser, and a thin line may cover a
// pixel half as much in one as in the other; ink where there is none, or none where there is, differs more.
double agreement(const e2e::Image& a, const e2e::Image& b, int tol = 128)
{
    if (a.width != b.width || a.height != b.height || a.width == 0)
        return 0;
    size_t agree = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const int u = x + dx, v = y + dy;
                    found = u >= 0 && v >= 0 && u < b.width && v < b.height && b.near(u, v, a.at(x, y), tol);
                }
            agree += found;
        }
    return double(agree) / (double(a.width) * a.height);
}

// Whitespace removed, the full-width space included: extraction puts breaks of its own between texts.
std::u16string squeezed(std::u16string s)
{
    std::erase_if(s, [](char16_t c) { return c <= u' ' || c == u'\u3000'; });
    return s;
}

class VectorOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string settings = slurp(kExamples / "Torvane.dat");
        box.write("Torvane.dat", settings);
        for (const std::string& n : example_names())
            box.write(n, slurp(kExamples / n));
    }

    // Converts `src` into `dst` inside the sandbox, which must not exist yet.
    void convert(const std::string& src, const std::string& dst)
    {
        fs::remove(box.path(dst));
        const e2e::RunResult r = box.convert(src, dst);
        ASSERT_EQ(r.exit_code, 0) << src << " -> " << dst << ": " << r.err;
    }

    // The texts the driver draws for `name`, as the display list holds them.
    std::vector<std::u16string> drawn_texts(const std::string& name)
    {
        TForm1 form;
        const std::u16string src = platform::from_fs_path(box.path(name));
        form.FormCreate({ u"/x/torvanesub", u"a", u"b", src, u"out.png" }, platform::from_fs_path(box.dir()));
        const DocumentType* type = document_type_of_path(src);
        (form.*type->load)(src);
        double sx = 0, sy = 0;
        form.GetDotSize(type->t, sx, sy);
        form.dispSub(type->t, sx, sy);
        std::vector<std::u16string> texts;
        for (const auto* r : form.Image1.of(platform::DisplayList::Op::Text))
            texts.push_back(r->text);
        form.FormClose();
        return texts;
    }

    // page.png, a document rasterised at the PNG's size, agrees with it both ways.
    void expect_page_like(const e2e::Image& png, const std::string& name)
    {
        const std::optional<e2e::Image> page = e2e::load_image(box.path("page.png"));
        ASSERT_TRUE(page) << name;
        EXPECT_GE(agreement(png, *page), 0.99) << name;
        EXPECT_GE(agreement(*page, png), 0.99) << name;
    }

    e2e::Sandbox box;
};

TEST_F(VectorOutput, PdfPagesLookLikeThePngOfTheSameRun)
{
    const std::string pdftoppm = tool("pdftoppm");
    if (pdftoppm.empty())
        GTEST_SKIP() << "pdftoppm is not installed";
    const std::vector<std::string> names = example_names();
    ASSERT_GE(names.size(), 6u);
    for (const std::string& n : names) {
        convert(n, n + ".png");
        convert(n, n + ".pdf");
        const std::optional<e2e::Image> png = e2e::load_image(box.path(n + ".png"));
        ASSERT_TRUE(png) << n;
        const e2e::RunResult r = e2e::run_command(
            { pdftoppm, "-png", "-singlefile", "-scale-to-x", std::to_string(png->width), "-scale-to-y",
                std::to_string(png->height), n + ".pdf", "page" },
            box.dir());
        ASSERT_EQ(r.exit_code, 0) << n << ": " << r.err;
        expect_page_like(*png, n);
    }
}

TEST_F(VectorOutput, PdfTextHoldsEveryTextTheDrawingDraws)
{
    const std::string pdftotext = tool("pdftotext");
    if (pdftotext.empty())
        GTEST_SKIP() << "pdftotext is not installed";
    size_t japanese = 0;
    for (const std::string& n : example_names()) {
        convert(n, n + ".pdf");
        const e2e::RunResult r = e2e::run_command({ pdftotext, "-enc", "UTF-8", n + ".pdf", "-" }, box.dir());
        ASSERT_EQ(r.exit_code, 0) << n << ": " << r.err;
        const std::u16string found = squeezed(platform::utf8_to_utf16(r.out));
        for (const std::u16string& t : drawn_texts(n)) {
            const std::u16string want = squeezed(t);
            EXPECT_NE(found.find(want), std::u16string::npos)
                << n << ": \"" << platform::utf16_to_utf8(t) << "\" not in:\n"
                << r.out;
            japanese += std::any_of(want.begin(), want.end(), [](char16_t c) { return c >= 0x3000; });
        }
    }
    EXPECT_GT(japanese, 0u);
}

TEST_F(VectorOutput, SvgLooksLikeThePngOfTheSameRun)
{
    const std::string rsvg = tool("rsvg-convert");
    if (rsvg.empty())
        GTEST_SKIP() << "rsvg-convert is not installed";
    for (const std::string& n : example_names()) {
        convert(n, n + ".png");
        convert(n, n + ".svg");
        const std::optional<e2e::Image> png = e2e::load_image(box.path(n + ".png"));
        ASSERT_TRUE(png) << n;
        const e2e::RunResult r = e2e::run_command(
            { rsvg, "-w", std::to_string(png->width), "-h", std::to_string(png->height), "-b", "white", "-o",
                "page.png", n + ".svg" },
            box.dir());
        ASSERT_EQ(r.exit_code, 0) << n << ": " << r.err;
        expect_page_like(*png, n);
        EXPECT_NE(slurp(box.path(n + ".svg")).find("<title>"), std::string::npos) << n;
    }
}

TEST_F(VectorOutput, PostScriptIsReadByGhostscriptOrWellFormed)
{
    const std::string gs = tool("gs");
    for (const std::string& n : example_names()) {
        convert(n, n + ".png");
        const std::optional<e2e::Image> png = e2e::load_image(box.path(n + ".png"));
        ASSERT_TRUE(png) << n;
        for (const std::string ext : { ".eps", ".ps" }) {
            convert(n, n + ext);
            const std::string doc = slurp(box.path(n + ext));
            EXPECT_TRUE(doc.starts_with(ext == ".eps" ? "%!PS-Adobe-3.0 EPSF-3.0\n" : "%!PS-Adobe-3.0\n")) << n;
            EXPECT_NE(doc.find("%%Creator: torvanesub\n"), std::string::npos) << n;
            EXPECT_NE(doc.find("%%BoundingBox: 0 0 "), std::string::npos) << n;
            EXPECT_NE(doc.find("%%EOF"), std::string::npos) << n;
            if (gs.empty() || ext != ".eps")
                continue;
            const e2e::RunResult r = e2e::run_command(
                { gs, "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=png16m", "-dEPSFitPage", "-dFIXEDMEDIA",
                    "-g" + std::to_string(png->width) + "x" + std::to_string(png->height), "-sOutputFile=page.png",
                    n + ext },
                box.dir());
            ASSERT_EQ(r.exit_code, 0) << n << ": " << r.err;
            expect_page_like(*png, n);
        }
    }
}

TEST_F(VectorOutput, RunsWithSourceDateEpochGiveTheSameBytes)
{
    const char* saved = std::getenv("SOURCE_DATE_EPOCH");
    const std::string before = saved ? saved : "";
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    for (const std::string& n : example_names())
        for (const std::string ext : { ".pdf", ".svg", ".eps", ".ps" }) {
            convert(n, "one" + ext);
            convert(n, "two" + ext);
            const std::string one = slurp(box.path("one" + ext));
            EXPECT_FALSE(one.empty()) << n << ext;
            EXPECT_TRUE(one == slurp(box.path("two" + ext))) << n << ext;
            if (ext == ".pdf") {
                EXPECT_NE(one.find("/CreationDate (20231114221320"), std::string::npos) << n;
            }
            if (ext == ".eps") {
                EXPECT_NE(one.find("%%CreationDate: 2023-11-14T22:13:20Z"), std::string::npos) << n;
            }
        }
    if (saved)
        ::setenv("SOURCE_DATE_EPOCH", before.c_str(), 1);
    else
        ::unsetenv("SOURCE_DATE_EPOCH");
}

TEST_F(VectorOutput, AnUnwritableFolderEndsTheRunAsAnOutputFailure)
{
    for (const std::string ext : { ".pdf", ".svg", ".eps", ".ps" }) {
        const e2e::RunResult r = box.convert("jww_sampler.jww", "missing/out" + ext);
        EXPECT_EQ(r.exit_code, 4) << ext;
        EXPECT_NE(r.err.find("cannot write the image"), std::string::npos) << r.err;
    }
}

} // namespace
