// The example drawings in examples/ are what the generator makes, and they load whole.
// Regenerate them with: JwwExamples_test --gtest_also_run_disabled_tests --gtest_filter='*Regenerate*'
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "formats/jww/JwsUnit.h"
#include "formats/jww/JwwUnit.h"
#include "tests/support/jww_examples.h"
#include "tests/support/jww_tempdir.h"

namespace {

const std::string kExamples = std::string(TORVANE_SOURCE_DIR) + "/examples";

std::vector<uint8_t> read_file(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>() };
}

TEST(JwwExamples, CheckedInFilesMatchTheGenerator)
{
    for (const auto& [name, bytes] : jwwtest::jww_example_files())
        EXPECT_TRUE(read_file(kExamples + "/" + name) == bytes) << name << " is stale: regenerate the examples";
}

TEST(JwwExamples, EveryExampleLoadsWhole)
{
    jwwtest::TempDir dir;
    for (const auto& [name, bytes] : jwwtest::jww_example_files()) {
        {
            std::ofstream f(dir.path() / name, std::ios::binary);
            f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        }
        if (name.ends_with(".jws")) {
            TJwsData d;
            ASSERT_TRUE(d.FileCheck(dir.file(name))) << name;
            ASSERT_TRUE(d.FileIn(dir.file(name))) << name;
            EXPECT_GT(d.EntBlockTreeN, 0) << name;
            continue;
        }
        TJwwData d;
        d.BindImageFolder = dir.folder();
        d.BindImageExp = d.BindImageExr = true;
        ASSERT_TRUE(d.FileCheck(dir.file(name))) << name;
        ASSERT_TRUE(d.FileIn(dir.file(name))) << name;
        EXPECT_EQ(d.Enthd.n1, int32_t(d.EntNo.size())) << name << ": every entity read";
        EXPECT_GT(d.EntBlockTreeN, 0) << name;
        d.BindImageExplode();
        d.BindImageDeleteGzFile();
        d.BindImageDeleteNonGzFile();
    }
}

TEST(JwwExamples, SamplerShowsEveryKind)
{
    jwwtest::TempDir dir;
    const auto files = jwwtest::jww_example_files();
    {
        std::ofstream f(dir.path() / files[0].first, std::ios::binary);
        f.write(reinterpret_cast<const char*>(files[0].second.data()), std::streamsize(files[0].second.size()));
    }
    TJwwData d;
    ASSERT_TRUE(d.FileIn(dir.file(files[0].first)));
    EXPECT_GT(d.EntLineN, 0);
    EXPECT_GT(d.EntEnkoN, 0);
    EXPECT_GT(d.EntTenN, 0);
    EXPECT_GT(d.EntMojiN, 0);
    EXPECT_GT(d.EntSunpoN, 0);
    EXPECT_GT(d.EntSolidN, 0);
    EXPECT_GT(d.EntBlockN, 0);
    int nested = 0;
    for (int i = 0; i < d.EntBlockTreeN; ++i)
        nested += d.EntBlockTree[size_t(i)].level > 0;
    EXPECT_GT(nested, 0);
}

TEST(JwwExamples, DISABLED_Regenerate)
{
    std::filesystem::create_directories(kExamples);
    ASSERT_TRUE(jwwtest::write_jww_examples(kExamples));
}

} // namespace
