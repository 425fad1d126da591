// Text conversions at the edges: UTF-8 texts, and file names that must come back byte for byte.
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "platform/TextFile.h"

namespace {

using platform::path_from_bytes;
using platform::path_to_bytes;

TEST(PathBytes, AnyBytesComeBackAsTheyWere)
{
    const std::string cases[] = {
        "plan.jww",
        "\xe5\x9b\xb3\xe9\x9d\xa2.jww", // 図面 in UTF-8
        "\x90\x7d\x96\xca.jww", // 図面 in Shift_JIS
        "\x95\x5c", // 表 in Shift_JIS: its trail byte is "\\"
        "\xff\xfe\x80",
        "\xc0\xaf", // an overlong "/"
        "\xed\xa0\x80", // an encoded surrogate
        "\xe5\x9b", // a cut sequence
        std::string("a\0b", 3),
    };
    for (const std::string& b : cases)
        EXPECT_EQ(path_to_bytes(path_from_bytes(b)), b);
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        std::string b(size_t(rng() % 12), '\0');
        for (char& c : b)
            c = char(rng());
        ASSERT_EQ(path_to_bytes(path_from_bytes(b)), b) << i;
    }
}

TEST(PathBytes, ShiftJisTrailByteIsNoSeparator)
{
    const std::u16string p = path_from_bytes("dir/\x95\x5c.jww");
    EXPECT_EQ(p.find(u'\\'), std::u16string::npos);
    EXPECT_EQ(p.substr(0, 4), u"dir/");
    EXPECT_EQ(p.substr(p.size() - 4), u".jww");
    // UTF-8 names read as their characters.
    EXPECT_EQ(path_from_bytes("\xe5\x9b\xb3.jww"), u"図.jww");
    EXPECT_EQ(platform::fs_path(path_from_bytes("\x95\x5c.png")).native(), "\x95\x5c.png");
}

TEST(Utf8, MalformedBytesBecomeReplacementCharacters)
{
    EXPECT_EQ(platform::utf8_to_utf16("a\xff"
                                      "b"),
        u"a\uFFFDb");
    EXPECT_EQ(platform::utf8_to_utf16("\xc0\xaf"), u"\uFFFD\uFFFD");
    EXPECT_EQ(platform::utf16_to_utf8(u"\xD800x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(platform::utf16_to_utf8(u"日本"), "\xe6\x97\xa5\xe6\x9c\xac");
}

} // namespace
