// Bounded reading shared by the ".jwc" and ".jwk" readers.
#include "formats/jwc/JwcRead.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>

#include "globals/UnitVal.h"
#include "platform/Cp932.h"
#include "platform/TextFile.h"
#include "util/Func_2_text.h"

namespace detail {

size_t JwcByteReader::read(uint8_t* dst, size_t n)
{
    size_t got = std::min(n, remaining());
    if (got > 0)
        std::memcpy(dst, data_.data() + pos_, got);
    if (got < n)
        std::memset(dst + got, 0, n - got);
    pos_ += got;
    return got;
}

size_t JwcByteReader::read_checked(uint8_t* dst, size_t n)
{
    size_t got = read(dst, n);
    if (got == 0 && n > 0)
        throw JwcIoError(kJwcIoMessage);
    return got;
}

uint8_t JwcByteReader::u8()
{
    uint8_t b = 0;
    read(&b, 1);
    return b;
}

uint16_t JwcByteReader::u16()
{
    uint8_t b[2];
    read(b, 2);
    return le_u16(b);
}

float JwcByteReader::f32()
{
    uint8_t b[4];
    read(b, 4);
    return le_f32(b);
}

uint16_t le_u16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

int32_t le_i32(const uint8_t* p)
{
    uint32_t v = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    return int32_t(v);
}

float le_f32(const uint8_t* p)
{
    uint32_t v = uint32_t(le_i32(p));
    float f;
    std::memcpy(&f, &v, sizeof f);
    return f;
}

bool read_whole_file(const std::u16string& name, std::vector<uint8_t>& out)
{
    out.clear();
    if (name.empty())
        return false;
    std::ifstream in(platform::fs_path(name), std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || uint64_t(size) > kMaxJwcFileBytes)
        return false;
    in.seekg(0, std::ios::beg);
    out.resize(size_t(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(out.data()), size))
        return false;
    return true;
}

bool read_file_head(const std::u16string& name, size_t n, std::vector<uint8_t>& out)
{
    out.clear();
    if (name.empty())
        return false;
    std::ifstream in(platform::fs_path(name), std::ios::binary);
    if (!in)
        return false;
    out.resize(n);
    in.read(reinterpret_cast<char*>(out.data()), std::streamsize(n));
    out.resize(size_t(in.gcount()));
    return true;
}

bool has_identification(std::span<const uint8_t> data, std::string_view id)
{
    size_t n = std::min<size_t>(data.size(), 20);
    std::string_view head(reinterpret_cast<const char*>(data.data()), n);
    return AnsiBytesToText(head) == platform::cp932_to_utf16(id);
}

std::u16string decode_name(std::span<const uint8_t> bytes)
{
    std::string_view b(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return RemoveCtrlChars(AnsiBytesToText(b));
}

void split_fields(const std::u16string& text, int count, std::vector<std::u16string>& para)
{
    para.assign(size_t(std::max(count, 0)), u"0");
    size_t pos = 0;
    for (int i = 0; i < count && pos < text.size(); ++i) {
        size_t comma = text.find(u',', pos);
        if (comma == std::u16string::npos) {
            para[size_t(i)] = text.substr(pos);
            break;
        }
        para[size_t(i)] = text.substr(pos, comma - pos);
        pos = comma + 1;
    }
}

namespace {

std::u16string_view field_text(const std::vector<std::u16string>& para, int i)
{
    if (i < 0 || size_t(i) >= para.size())
        return u"0";
    std::u16string_view f = para[size_t(i)];
    size_t nul = f.find(u'\0');
    return nul == std::u16string_view::npos ? f : f.substr(0, nul);
}

} // namespace

int32_t field_int(const std::vector<std::u16string>& para, int i) { return StrToIntZero(field_text(para, i)); }

float field_real(const std::vector<std::u16string>& para, int i)
{
    // A value beyond single precision saturates rather than converting out of range.
    const double v = StrToFloatZero(field_text(para, i));
    if (v > double(std::numeric_limits<float>::max()))
        return std::numeric_limits<float>::infinity();
    if (v < -double(std::numeric_limits<float>::max()))
        return -std::numeric_limits<float>::infinity();
    return float(v);
}

int32_t field_segment_address(const std::vector<std::u16string>& para, int i)
{
    std::u16string_view f = field_text(para, i);
    auto hex4 = [&](size_t from) {
        if (from >= f.size())
            return 0;
        std::u16string s = u"$";
        s += f.substr(from, 4);
        return StrToIntZero(s);
    };
    return hex4(0) * 16 + hex4(5);
}

std::u16string read_text_block(JwcByteReader& r, std::vector<uint8_t>* raw)
{
    std::vector<uint8_t> buf(256, 0);
    r.read_checked(buf.data(), 200);
    std::u16string text = platform::cp932_to_utf16(
        std::string_view(reinterpret_cast<const char*>(buf.data()), buf.size()));
    if (raw)
        *raw = std::move(buf);
    return text;
}

bool read_identification(
    JwcByteReader& r, std::string_view id, std::u16string& jwID, std::u16string& comment1, std::u16string& comment2)
{
    std::vector<uint8_t> raw;
    read_text_block(r, &raw);
    auto text_at = [&](size_t from, size_t n) {
        return AnsiBytesToText(std::string_view(reinterpret_cast<const char*>(raw.data()) + from, n));
    };
    jwID = text_at(0, 40);
    comment1 = text_at(40, 32);
    comment2 = text_at(72, 32);
    return has_identification(raw, id);
}

TEntJwcLine decode_line(const uint8_t* b, float unit)
{
    TEntJwcLine e;
    e.x1 = le_f32(b) * unit;
    e.y1 = le_f32(b + 4) * unit;
    e.x2 = le_f32(b + 8) * unit;
    e.y2 = le_f32(b + 12) * unit;
    e.typ = b[16];
    e.col = b[17];
    e.lay = b[18];
    e.flg1 = b[19];
    e.flg2 = b[20];
    e.flg3 = b[21];
    return e;
}

TEntJwcArc2 decode_arc(const uint8_t* b, float unit)
{
    TEntJwcArc2 e;
    e.x = le_f32(b) * unit;
    e.y = le_f32(b + 4) * unit;
    e.r = le_f32(b + 8) * unit;
    e.h = float(le_u16(b + 12) / 10000.0);
    e.st = float(le_i32(b + 14) / 65536.0);
    e.et = float(le_i32(b + 18) / 65536.0);
    e.tt = float(le_i32(b + 22) / 65536.0);
    e.typ = b[26];
    e.col = b[27];
    e.lay = b[28];
    e.flg1 = b[29];
    e.flg2 = b[30];
    e.flg3 = b[31];
    return e;
}

TEntJwcTen decode_ten(const uint8_t* b, float unit)
{
    TEntJwcTen e;
    e.x = le_f32(b) * unit;
    e.y = le_f32(b + 4) * unit;
    e.lay = b[8];
    e.col = b[9];
    e.flg1 = b[10];
    e.flg2 = b[11];
    return e;
}

TEntJwcMoji2 decode_moji(const uint8_t* b, float unit)
{
    TEntJwcMoji2 e;
    e.x1 = le_f32(b) * unit;
    e.y1 = le_f32(b + 4) * unit;
    e.x2 = le_f32(b + 8) * unit;
    e.y2 = le_f32(b + 12) * unit;
    e.no = b[20];
    e.lay = b[21];
    e.flg1 = b[22];
    e.flg2 = b[23];
    return e;
}

bool section_fits(int64_t count, size_t size, size_t remaining)
{
    if (count < 0)
        return false;
    // A last record cut short still reads; one more would find no byte at all.
    uint64_t readable = (uint64_t(remaining) + size - 1) / size;
    return uint64_t(count) <= readable;
}

std::u16string pool_text(std::span<const uint8_t> pool, int64_t off)
{
    if (off < 0 || uint64_t(off) >= pool.size())
        return {};
    auto rest = pool.subspan(size_t(off));
    auto end = std::find(rest.begin(), rest.end(), uint8_t(0));
    return decode_name(rest.first(size_t(end - rest.begin())));
}

void read_pool_texts(JwcByteReader& r, int64_t size, int64_t base, std::vector<TEntJwcMoji2>& texts)
{
    if (size <= 0)
        return;
    // Only what the file holds is kept; a zero byte after it ends the last text.
    size_t held = size_t(std::min<uint64_t>(uint64_t(size), r.remaining()));
    if (held == 0)
        throw JwcIoError(kJwcIoMessage);
    std::vector<uint8_t> pool(held + 1, 0);
    r.read_checked(pool.data(), held);
    for (auto& e : texts)
        e.s = pool_text(pool, int64_t(e.p) - base);
}

const TEntJwcMojiType& moji_type_at(const std::vector<TEntJwcMojiType>& table, uint8_t no)
{
    static const TEntJwcMojiType none {};
    size_t i = no < 12 ? no : 0;
    return i < table.size() ? table[i] : none;
}

bool file_has_identification(const std::u16string& FName, std::string_view id)
{
    std::vector<uint8_t> head;
    if (!read_file_head(FName, 20, head))
        return false;
    return has_identification(head, id);
}

void publish_document_info(const std::u16string& FName, const std::u16string& comment1, const std::u16string& comment2)
{
    gFilePath = FName;
    gDrawTime.clear();
    gMemo1 = RemoveCtrlChars(comment1);
    gMemo2 = RemoveCtrlChars(comment2);
    gDrawTitle = gMemo2.empty() ? gMemo1 : gMemo1 + u"\u3000" + gMemo2;
    gPrtBairitsu = 1.0;
}

} // namespace detail
