// Hostile and damaged drawings go through layers, extents and drawing without faults (run it under ASan).
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include <gtest/gtest.h>

#include "tests/jww/JwwDrawDoc.h"
#include "tests/support/jww_examples.h"
#include "tests/support/jww_symbol_writer.h"
#include "tests/support/jww_tempdir.h"

using namespace jwwtest;
using namespace jwwdrawtest;

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> read_file(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return { std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>() };
}

// The same bytes with a few bytes overwritten at places chosen by a fixed seed.
std::vector<uint8_t> damaged(std::vector<uint8_t> b, uint32_t seed)
{
    if (b.empty())
        return b;
    std::mt19937 rng(seed);
    for (int i = 0; i < 8; ++i) {
        const size_t at = rng() % b.size();
        const uint32_t kind = rng() % 4;
        b[at] = kind == 0 ? 0xFF : kind == 1 ? 0x00 : kind == 2 ? 0x7F : uint8_t(rng());
    }
    return b;
}

class JwwHostileTest : public Scene {
public:
    // Loads bytes as the named kind and runs every step the driver runs on it.
    void run(const std::vector<uint8_t>& bytes, bool symbol, const std::string& what)
    {
        const std::string name = symbol ? "in.jws" : "in.jww";
        {
            std::ofstream f(dir.path() / name, std::ios::binary | std::ios::trunc);
            f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        }
        canvas->clear_records();
        if (symbol) {
            TJwsData d;
            d.FileIn(dir.file(name));
            d.SetGAttLayer();
            d.GetMinMaxZahyo();
            d.GLDrawALL();
        } else {
            TJwwData d;
            d.FileIn(dir.file(name));
            d.SetGAttLayer();
            d.GetMinMaxZahyo();
            d.GLDrawALL();
        }
        EXPECT_TRUE(std::isfinite(gMinX) && std::isfinite(gMaxY)) << what;
        EXPECT_LE(gMaxX, 1e8 + 10) << what;
        EXPECT_GE(gMinX, -1e8 - 10) << what;
        EXPECT_EQ(GLPointsN, 0) << what;
    }
    TempDir dir;
};

TEST_F(JwwHostileTest, FuzzSeedsAndTheirDamagedCopiesDraw)
{
    const fs::path corpus = fs::path(TORVANE_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / "jww";
    if (!fs::exists(corpus))
        GTEST_SKIP() << "no seed corpus";
    for (const auto& entry : fs::directory_iterator(corpus)) {
        const auto bytes = read_file(entry.path());
        const std::string what = entry.path().filename().string();
        run(bytes, false, what);
        for (uint32_t seed = 1; seed <= 2; ++seed)
            run(damaged(bytes, seed), false, what + " damaged " + std::to_string(seed));
    }
}

TEST_F(JwwHostileTest, DamagedExamplesDraw)
{
    for (const auto& [name, bytes] : jww_example_files()) {
        const bool symbol = name.ends_with(".jws");
        run(bytes, symbol, name);
        for (uint32_t seed = 1; seed <= 24; ++seed)
            run(damaged(bytes, seed), symbol, name + " damaged " + std::to_string(seed));
    }
}

// Values that no sane drawing holds: infinite and huge coordinates, zero scales, unknown layers and styles.
TEST_F(JwwHostileTest, ExtremeRecordValuesDraw)
{
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    JwsWriter w(600);
    w.scales = { 0, -1, inf, nan, 1e-300, 1e300, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 };
    w.base_x = nan;
    JwwWriter& b = w.body;
    b.add(line(inf, 0, 1e300, nan, attr(356, 255, 15, 15, 65535)));
    b.add(circle(0, 0, 1e300, attr(1, 255)));
    b.add(arc(0, 0, nan, 0, inf));
    b.add(marker(0, 0, 0xFFFFFFFFu, inf, nan));
    b.add(solid(0, 0, inf, 0, 0, 0, nan, -1, attr(1, 101)));
    b.add(solid(0, 0, 1, 0, 0, 0, 1e9, 100, attr(10, 106)));
    b.add(text(0, 0, 1e-300, 0, nan, inf, nan, 0xFFFFFFFFu, attr(1, 1, 0, 0, 0xFFFF, 0xFFFF)), u"",
        u"^@BM%temp%,nan,inf");
    TEntJwwSunpo s;
    s.att = attr(1, 1, 3, 2);
    s.bSxfMode = 0xFFFF;
    s.Sen = line(0, 0, inf, 0);
    s.Moji = text(0, 0, 1, 0, 1, 1, 0, 1, attr(1, 1, 0, 0, 0xFFFF));
    b.begin_block(1, u"x");
    b.add(s, u"", u"1");
    b.add(insert(1, 0, 0, inf, 0, nan)); // a cycle, with a broken transform
    b.end_block();
    b.add(insert(1, 1, 1, 0, 0, 0));
    b.add(insert(1, 1, 1, -1e300, 1e300, 1));
    run(w.bytes(), true, "extreme symbol");
    JwwWriter j(700);
    j.EntLgrp[0].adScale = 0;
    j.EntLgrp[1].adScale = nan;
    j.add(s, u"f", u"1");
    j.begin_block(1, u"x");
    j.add(s, u"f", u"1");
    j.end_block();
    j.add(insert(1, 0, 0, 2, 2, 0.5));
    run(j.bytes(), false, "extreme drawing");
}

} // namespace
