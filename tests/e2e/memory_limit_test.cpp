// The executable under a memory limit (prlimit): a reader that runs out of memory, an output that cannot be made
// in the memory left, and an output far larger than the limit that is made in bands all the same. Each run ends
// with its exit status and one message, and leaves neither its private folder nor a half-written file.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/e2e_harness.h"
#include "tests/support/jwc_writer.h"
#include "tests/support/jww_symbol_writer.h"
#include "tests/support/jww_writer.h"
#include "tests/support/m7_writer.h"

namespace {

namespace fs = std::filesystem;
using e2e::Sandbox;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr size_t kMiB = 1024 * 1024;

// Runs the conversion with the data segment (heap, anonymous mappings, thread stacks) limited to `mib`.
e2e::RunResult convert_within(const Sandbox& box, size_t mib, const std::string& src, const std::string& dst)
{
    return e2e::run_command({ "/usr/bin/prlimit", "--data=" + std::to_string(mib * kMiB), "--", box.exe().string(),
                                "parent1", "parent2", box.path(src).string(), box.path(dst).string() },
        box.dir());
}

// Names in the sandbox other than the inputs: what a run left behind.
std::vector<std::string> left_behind(const Sandbox& box, const std::vector<std::string>& inputs)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(box.dir())) {
        const std::string n = e.path().filename().string();
        if (n != "torvanesub" && n != "Torvane.dat" && std::find(inputs.begin(), inputs.end(), n) == inputs.end())
            names.push_back(n);
    }
    return names;
}

// Lines spread over an A4-sized area, enough that reading them needs several times the limit below.
constexpr int kLines = 300000;

std::vector<uint8_t> many_jww_lines()
{
    jwwtest::JwwWriter w(600);
    w.Enthd.nZumen = 4;
    for (int i = 0; i < kLines; ++i)
        w.add(jwwtest::line(-100 + i % 200, -100, 100, -100 + i % 200));
    return w.bytes();
}

std::vector<uint8_t> many_jws_lines()
{
    jwwtest::JwsWriter w(600);
    for (int i = 0; i < kLines; ++i)
        w.body.add(jwwtest::line(i % 200, 0, 200, i % 200));
    return w.bytes();
}

template <class File> std::vector<uint8_t> many_jwc_lines()
{
    File f;
    for (int i = 0; i < kLines; ++i)
        f.lines.push_back({ float(i % 400), 0, 400, float(i % 300) });
    const std::string b = f.bytes();
    return std::vector<uint8_t>(b.begin(), b.end());
}

std::vector<uint8_t> many_m7_lines()
{
    m7w::Writer w;
    w.title("lines");
    w.paper(3, 0, 0, 0, 200, 100);
    for (int i = 0; i < kLines; ++i)
        w.line({}, { double(i % 200), 0 }, { 200, double(i % 100) });
    return w.bytes();
}

} // namespace

// Every reader: the drawing cannot be held in memory; the run says so about the source and cleans up.
TEST(MemoryLimit, ReaderOutOfMemoryEndsTheRunAboutTheSource)
{
    if (kSanitized)
        GTEST_SKIP() << "the sanitizers' shadow memory does not fit under a data limit";
    struct Case {
        const char* name;
        std::vector<uint8_t> (*bytes)();
    };
    const Case cases[] = {
        { "plan.jww", many_jww_lines },
        { "plan.jws", many_jws_lines },
        { "plan.jwc", many_jwc_lines<test_jwc::JwcFile> },
        { "plan.jwk", many_jwc_lines<test_jwc::JwkFile> },
        { "plan.m7", many_m7_lines },
    };
    for (const Case& c : cases) {
        Sandbox box;
        box.settings(0, "400", "300");
        box.write(c.name, c.bytes());
        const auto r = convert_within(box, 12, c.name, "out.png");
        EXPECT_EQ(r.exit_code, 3) << c.name << ": " << r.err;
        EXPECT_EQ(r.err, "torvanesub: " + box.path(c.name).string() + ": out of memory while reading the drawing\n");
        EXPECT_EQ(left_behind(box, { c.name }), std::vector<std::string> {}) << c.name << ": TEMP and the output go";
    }
}

// A drawing that reads, made into images in what is left. The encoders that need threads or a frame cannot start:
// the message is about the output, and no hidden file stays beside it. BMP strips are written by this thread.
TEST(MemoryLimit, OutputOutOfMemoryEndsTheRunAboutTheDestination)
{
    if (kSanitized)
        GTEST_SKIP() << "the sanitizers' shadow memory does not fit under a data limit";
    struct Case {
        const char* dst;
        int exit_code;
    };
    for (const Case& c :
        { Case { "out.png", 4 }, Case { "out.tif", 4 }, Case { "out.jpg", 4 }, Case { "out.bmp", 0 } }) {
        Sandbox box;
        box.settings(0, "4000", "3000");
        jwwtest::JwwWriter w(600);
        w.Enthd.nZumen = 4;
        w.add(jwwtest::line(-100, 0, 100, 0));
        box.write("plan.jww", w.bytes());
        const auto r = convert_within(box, 16, "plan.jww", c.dst);
        EXPECT_EQ(r.exit_code, c.exit_code) << c.dst << ": " << r.err;
        if (c.exit_code == 0) {
            EXPECT_EQ(r.err, "");
            const auto img = e2e::load_image(box.path(c.dst));
            ASSERT_TRUE(img) << c.dst;
            EXPECT_EQ(img->width, 4000);
            EXPECT_EQ(left_behind(box, { "plan.jww" }), std::vector<std::string> { c.dst });
            continue;
        }
        EXPECT_EQ(r.err.rfind("torvanesub: " + box.path(c.dst).string() + ": ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(left_behind(box, { "plan.jww" }), std::vector<std::string> {}) << c.dst;
    }
}

// An image whose whole bitmap would take 576 MiB is made in bands within 256 MiB.
TEST(MemoryLimit, OutputLargerThanTheLimitIsMadeInBands)
{
    if (kSanitized)
        GTEST_SKIP() << "the sanitizers' shadow memory does not fit under a data limit";
    Sandbox box;
    box.settings(0, "12000", "12000");
    jwwtest::JwwWriter w(600);
    w.Enthd.nZumen = 4;
    w.add(jwwtest::line(-100, -100, 100, 100));
    box.write("plan.jww", w.bytes());
    const auto r = convert_within(box, 256, "plan.jww", "out.png");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // The size from the header; the decoders' check of every row is the format tests' business.
    std::ifstream f(box.path("out.png"), std::ios::binary);
    unsigned char head[24] = {};
    ASSERT_TRUE(f.read(reinterpret_cast<char*>(head), sizeof head));
    auto be32 = [&](int at) {
        return uint32_t(head[at]) << 24 | uint32_t(head[at + 1]) << 16 | head[at + 2] << 8 | head[at + 3];
    };
    EXPECT_EQ(be32(16), 12000u);
    EXPECT_EQ(be32(20), 12000u);
    EXPECT_EQ(left_behind(box, { "plan.jww" }), std::vector<std::string> { "out.png" });
}
