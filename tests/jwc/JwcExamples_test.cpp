// The example ".jwc" and ".jwk" files in examples/ are what the generator makes, and they load whole.
// To rewrite them after changing the generator, run this test with TORVANE_WRITE_EXAMPLES=1 in the
// environment: the generator then writes into examples/ instead of a scratch folder.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"
#include "tests/support/jwc_examples.h"
#include "tests/support/jwc_writer.h"

namespace {

const std::filesystem::path kExamples = std::filesystem::path(TORVANE_SOURCE_DIR) / "examples";

std::string read_file(const std::filesystem::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>() };
}

bool rewrite_requested()
{
    const char* v = std::getenv("TORVANE_WRITE_EXAMPLES");
    return v && std::string(v) == "1";
}

bool has_japanese(const std::u16string& s)
{
    for (char16_t c : s) {
        if (c >= 0x3000)
            return true;
    }
    return false;
}

TEST(JwcExamples, CheckedInFilesMatchTheGenerator)
{
    test_jwc::ScratchDir scratch;
    const std::filesystem::path target = rewrite_requested() ? kExamples : scratch.path();
    ASSERT_TRUE(test_jwc::write_jwc_examples(target));
    for (const auto& [name, bytes] : test_jwc::jwc_example_files()) {
        EXPECT_EQ(read_file(target / name), bytes) << name << ": the generator wrote something else";
        EXPECT_TRUE(read_file(kExamples / name) == read_file(target / name))
            << name << " is stale: rerun with TORVANE_WRITE_EXAMPLES=1";
    }
}

TEST(JwcExamples, DrawingLoadsWholeWithEveryKind)
{
    test_jwc::ScratchDir dir;
    const auto files = test_jwc::jwc_example_files();
    ASSERT_EQ(files[0].first.substr(files[0].first.size() - 4), ".jwc");
    const auto path = dir.write(files[0].first, files[0].second);
    TJwcData d;
    ASSERT_TRUE(d.FileCheck(path));
    ASSERT_TRUE(d.FileIn(path));
    EXPECT_EQ(d.lineN, d.Enthd.lineCount);
    EXPECT_EQ(d.arcN, d.Enthd.arcCount);
    EXPECT_EQ(d.mojiN, d.Enthd.mojiCount);
    EXPECT_EQ(d.tenN, d.Enthd.tenCount);
    EXPECT_GT(d.vten_in_use(), 0);
    EXPECT_GT(d.arcN, 0);
    EXPECT_GT(d.tenN, 0);
    std::set<int> colours, types;
    for (int i = 0; i < d.lineN; ++i) {
        colours.insert(d.EntLine[size_t(i)].col);
        types.insert(d.EntLine[size_t(i)].typ);
    }
    EXPECT_GE(colours.size(), 9u);
    EXPECT_GE(types.size(), 18u) << "types 1 to 9, random lines and double-length lines";
    int japanese = 0, vertical = 0;
    for (int i = 0; i < d.mojiN; ++i) {
        const auto& t = d.EntMoji[size_t(i)];
        japanese += has_japanese(t.s);
        vertical += (t.flg1 & 0x20) != 0;
        EXPECT_GT(d.moji_type(t.no).height, 0) << "text " << i << " has a size";
    }
    EXPECT_GT(japanese, 3);
    EXPECT_GT(vertical, 0);
    // Every entity lies on the A3 sheet, so the paper fit shows all of it.
    for (int i = 0; i < d.lineN; ++i) {
        const auto& e = d.EntLine[size_t(i)];
        for (float x : { e.x1, e.x2 })
            EXPECT_TRUE(x >= 0 && x <= 420) << "line " << i;
        for (float y : { e.y1, e.y2 })
            EXPECT_TRUE(y >= 0 && y <= 297) << "line " << i;
    }
}

TEST(JwcExamples, SymbolLoadsWholeWithEveryKind)
{
    test_jwc::ScratchDir dir;
    const auto files = test_jwc::jwc_example_files();
    ASSERT_EQ(files[1].first.substr(files[1].first.size() - 4), ".jwk");
    const auto path = dir.write(files[1].first, files[1].second);
    TJwkData d;
    ASSERT_TRUE(d.FileCheck(path));
    ASSERT_TRUE(d.FileIn(path));
    EXPECT_EQ(d.lineN, d.Enthd.lineCount);
    EXPECT_EQ(d.arcN, d.Enthd.arcCount);
    EXPECT_EQ(d.mojiN, d.Enthd.mojiCount);
    EXPECT_EQ(d.tenN, d.Enthd.tenCount);
    EXPECT_GT(d.lineN, 0);
    EXPECT_GT(d.arcN, 0);
    EXPECT_GT(d.tenN, 0);
    EXPECT_GT(d.symbol_scale(), 1.0) << "file units are not millimetres";
    int japanese = 0;
    for (int i = 0; i < d.mojiN; ++i)
        japanese += has_japanese(d.EntMoji[size_t(i)].s);
    EXPECT_GT(japanese, 1);
}

} // namespace
