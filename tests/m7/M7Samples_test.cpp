// The writer's sample drawings load as expected, and the fuzz seed corpus holds exactly them.
#include "formats/m7/M7Unit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "tests/support/m7_writer.h"

namespace {

struct Expect {
    bool ok;
    int entries;
};

const std::map<std::string, Expect>& expectations()
{
    static const std::map<std::string, Expect> e = {
        { "document_only", { true, 0 } },
        { "every_object", { true, 25 } },
        { "groups", { true, 7 } },
        { "growth_101_lines", { true, 101 } },
        { "title_300", { true, 1 } },
        { "negative_length", { true, 1 } },
        { "length_past_end", { true, 1 } },
        { "hostile_counts", { true, 5 } },
    };
    return e;
}

std::vector<uint8_t> read_file(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

TEST(M7Samples, EverySampleLoadsAsExpected)
{
    auto samples = m7w::samples();
    ASSERT_EQ(samples.size(), expectations().size());
    for (const auto& s : samples) {
        auto it = expectations().find(s.name);
        ASSERT_NE(it, expectations().end()) << s.name;
        TM7Data d;
        EXPECT_EQ(d.read_memory(s.bytes), it->second.ok) << s.name;
        EXPECT_EQ(d.EntN, it->second.entries) << s.name;
    }
}

// The seeds are generated from the writer; a stale seed would fuzz a layout the writer no longer makes.
TEST(M7Samples, SeedCorpusMatchesTheWriter)
{
    std::filesystem::path dir = std::filesystem::path(TORVANE_SOURCE_DIR) / "tests/fuzz/corpus/m7";
    for (const auto& s : m7w::samples()) {
        auto bytes = read_file(dir / (s.name + ".m7"));
        EXPECT_EQ(bytes, s.bytes) << s.name;
    }
}
