// Bounded reads, counted strings in both forms, object counts and stored-image names.
#include <ostream>

#include <gtest/gtest.h>

#include "formats/jww/JwwArchive.h"
#include "tests/support/jww_writer.h"

using detail::JwwArchive;
using jwwtest::JwwWriter;
using jwwtest::StrForm;

namespace {

std::vector<uint8_t> bytes_of(std::initializer_list<int> v)
{
    std::vector<uint8_t> out;
    for (int b : v)
        out.push_back(uint8_t(b));
    return out;
}

} // namespace

TEST(JwwArchive, LittleEndianScalars)
{
    std::vector<uint8_t> b;
    JwwWriter::put_u16(b, 0xBEEF);
    JwwWriter::put_i32(b, -5);
    JwwWriter::put_u32(b, 0x80000001u);
    JwwWriter::put_f64(b, -2.5);
    EXPECT_EQ(b[0], 0xEF);
    JwwArchive ar(b);
    EXPECT_EQ(ar.u16(), 0xBEEF);
    EXPECT_EQ(ar.i32(), -5);
    EXPECT_EQ(ar.u32(), 0x80000001u);
    EXPECT_EQ(ar.f64(), -2.5);
    EXPECT_TRUE(ar.at_end());
}

TEST(JwwArchive, ReadPastTheEndDeliversWhatRemainsAndKeepsTheRest)
{
    auto b = bytes_of({ 0x11, 0x22, 0x33 });
    JwwArchive ar(b);
    uint32_t v = 0xAAAAAAAA;
    EXPECT_EQ(ar.read_into(v), 3u);
    EXPECT_EQ(v, 0xAA332211u);
    EXPECT_EQ(ar.read_into(v), 0u);
    EXPECT_EQ(v, 0xAA332211u);
    EXPECT_EQ(ar.u16(), 0) << "a fresh value past the end is zero";
    EXPECT_EQ(ar.take(100).size(), 0u);
    ar.seek(1000);
    EXPECT_EQ(ar.position(), 3u);
}

struct StringCase {
    const char* name;
    std::vector<uint8_t> bytes;
    std::u16string expected;
    bool moji_encode;
    size_t consumed;
};

// Failure messages name the case, not its bytes.
void PrintTo(const StringCase& c, std::ostream* os) { *os << c.name; }

class CountedString : public ::testing::TestWithParam<StringCase> { };

TEST_P(CountedString, DecodesAndAdvancesByTheFullLength)
{
    const auto& c = GetParam();
    JwwArchive ar(c.bytes);
    bool enc = false;
    EXPECT_EQ(detail::read_counted_string(ar, enc), c.expected);
    EXPECT_EQ(enc, c.moji_encode);
    EXPECT_EQ(ar.position(), c.consumed);

    JwwArchive skip(c.bytes);
    bool enc2 = false;
    detail::skip_counted_string(skip, enc2);
    EXPECT_EQ(skip.position(), c.consumed) << "skipping consumes what reading consumes";
    EXPECT_EQ(enc2, c.moji_encode);
}

std::vector<uint8_t> long_ansi(size_t n)
{
    std::vector<uint8_t> b = bytes_of({ 0xFF });
    JwwWriter::put_u16(b, uint16_t(n));
    b.insert(b.end(), n, 'a');
    return b;
}

INSTANTIATE_TEST_SUITE_P(Forms, CountedString,
    ::testing::Values(StringCase { "empty", bytes_of({ 0 }), u"", false, 1 },
        StringCase { "ansi", bytes_of({ 3, 'a', 'b', 'c' }), u"abc", false, 4 },
        StringCase { "shift_jis", bytes_of({ 4, 0x93, 0xFA, 0x96, 0x7B }), u"日本", false, 5 },
        StringCase { "nul_inside", bytes_of({ 4, 'a', 0, 'b', 'c', 'z' }), u"a", false, 5 },
        StringCase { "ansi_long", bytes_of({ 0xFF, 2, 0, 'h', 'i' }), u"hi", false, 5 },
        StringCase { "ffff_is_a_length", long_ansi(0xFFFF), std::u16string(0xFFFF, u'a'), false, 3 + 0xFFFF },
        StringCase { "utf16", bytes_of({ 0xFF, 0xFE, 0xFF, 2, 0xE5, 0x65, 0x2C, 0x67 }), u"日本", true, 8 },
        StringCase { "utf16_long", bytes_of({ 0xFF, 0xFE, 0xFF, 0xFF, 1, 0, 'x', 0 }), u"x", true, 8 },
        StringCase { "utf16_nul_inside", bytes_of({ 0xFF, 0xFE, 0xFF, 2, 0, 0, 'x', 0 }), u"", true, 8 },
        StringCase { "short_file", bytes_of({ 9, 'a', 'b' }), u"ab", false, 3 },
        StringCase { "nothing", {}, u"", false, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JwwArchive, CleanStringDropsEveryControlCharacter)
{
    std::vector<uint8_t> b;
    JwwWriter::put_ansi_bytes(b, "a\tb\r\nc\x1f");
    JwwWriter::put_string(b, u"x\u0001y", StrForm::utf16);
    JwwArchive ar(b);
    bool enc = false;
    EXPECT_EQ(detail::read_clean_string(ar, enc), u"abc");
    EXPECT_EQ(detail::read_clean_string(ar, enc), u"xy");
}

TEST(JwwArchive, WriterStringFormsReadBack)
{
    const std::u16string s = u"図面 A-1";
    for (auto form : { StrForm::ansi, StrForm::ansi_long, StrForm::utf16, StrForm::utf16_long }) {
        std::vector<uint8_t> b;
        JwwWriter::put_string(b, s, form);
        JwwArchive ar(b);
        bool enc = false;
        EXPECT_EQ(detail::read_counted_string(ar, enc), s);
        EXPECT_EQ(enc, form == StrForm::utf16 || form == StrForm::utf16_long);
        EXPECT_TRUE(ar.at_end());
    }
}

TEST(JwwArchive, ObjectCountShortAndLong)
{
    std::vector<uint8_t> b;
    JwwWriter::put_u16(b, 12);
    JwwWriter::put_u16(b, 0xFFFF);
    JwwWriter::put_u32(b, 70000);
    JwwArchive ar(b);
    EXPECT_EQ(detail::read_object_count(ar), 12u);
    EXPECT_EQ(detail::read_object_count(ar), 70000u);
    EXPECT_EQ(detail::read_object_count(ar), 0u);
}

TEST(JwwArchive, StoredImageNamesNeverLeaveTheirFolder)
{
    struct Case {
        std::u16string in, out;
    } cases[] = {
        { u"a.bmp.gz", u"a.bmp.gz" },
        { u"../x.bmp.gz", u"x.bmp.gz" },
        { u"/etc/x", u"x" },
        { u"C:\\x", u"x" },
        { u"C:x", u"x" },
        { u"a/b.png", u"b.png" },
        { u"a\\..\\b.png", u"b.png" },
        { u"..", u"" },
        { u"dir/..", u"" },
        { u".", u"" },
        { u"x/", u"" },
        { u"", u"" },
        { u"\U00020B9F.png", u"\U00020B9F.png" },
        { std::u16string(u"a\xD800.png"), u"" },
        { std::u16string(u"a\xDC00.png"), u"" },
        { std::u16string(u"a\xD800"), u"" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(detail::bind_image_plain_name(c.in), c.out);
}
