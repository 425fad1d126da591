// Byte-by-byte writers of ".jwc" drawings and ".jwk" symbols for the tests.
#include "tests/support/jwc_writer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <unistd.h>

#include "platform/Cp932.h"

namespace test_jwc {
namespace {

void put_u8(std::string& b, uint8_t v) { b.push_back(char(v)); }

void put_u16(std::string& b, uint16_t v)
{
    put_u8(b, uint8_t(v & 0xFF));
    put_u8(b, uint8_t(v >> 8));
}

void put_i32(std::string& b, int32_t v)
{
    uint32_t u = uint32_t(v);
    for (int i = 0; i < 4; ++i)
        put_u8(b, uint8_t(u >> (8 * i)));
}

void put_f32(std::string& b, float v)
{
    uint32_t u;
    std::memcpy(&u, &v, sizeof u);
    put_i32(b, int32_t(u));
}

// A fixed-size field: bytes cut or padded with zeros.
void put_field(std::string& b, const std::string& s, size_t n)
{
    std::string f = s.substr(0, n);
    f.resize(n, '\0');
    b += f;
}

std::string join_fields(const std::vector<std::string>& fields)
{
    std::string s;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i)
            s += ",";
        s += fields[i];
    }
    return s;
}

std::string block(const std::string& text)
{
    std::string b;
    put_field(b, text, 200);
    return b;
}

std::string first_block(const std::string& id, const std::string& c1, const std::string& c2)
{
    std::string b;
    put_field(b, id, 40);
    put_field(b, c1, 32);
    put_field(b, c2, 32);
    put_field(b, "", 96);
    return b;
}

std::string fields_text(std::vector<std::string> fields, const std::map<int, std::string>& overrides)
{
    for (const auto& [i, s] : overrides) {
        if (i >= 0 && size_t(i) < fields.size())
            fields[size_t(i)] = s;
    }
    return join_fields(fields);
}

void put_line(std::string& b, const Line& e)
{
    put_f32(b, e.x1);
    put_f32(b, e.y1);
    put_f32(b, e.x2);
    put_f32(b, e.y2);
    for (uint8_t v : { e.typ, e.col, e.lay, e.flg1, e.flg2, e.flg3 })
        put_u8(b, v);
}

void put_arc(std::string& b, const Arc& e)
{
    put_f32(b, e.x);
    put_f32(b, e.y);
    put_f32(b, e.r);
    put_u16(b, uint16_t(std::lround(e.h * 10000.0)));
    put_i32(b, int32_t(std::llround(e.st * 65536.0)));
    put_i32(b, int32_t(std::llround(e.et * 65536.0)));
    put_i32(b, int32_t(std::llround(e.tt * 65536.0)));
    for (uint8_t v : { e.typ, e.col, e.lay, e.flg1, e.flg2, e.flg3 })
        put_u8(b, v);
}

void put_point(std::string& b, const Point& e)
{
    put_f32(b, e.x);
    put_f32(b, e.y);
    for (uint8_t v : { e.lay, e.col, e.flg1, e.flg2 })
        put_u8(b, v);
}

// The pool of the texts' bytes, each ended by a zero byte, and each text's offset in it.
std::string build_pool(const std::vector<Text>& texts, std::vector<uint32_t>& offsets)
{
    std::string pool;
    offsets.clear();
    for (const auto& t : texts) {
        offsets.push_back(uint32_t(pool.size()));
        pool += t.bytes;
        pool.push_back('\0');
    }
    return pool;
}

} // namespace

std::string segment_text(uint32_t address)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X:%04X", (address >> 4) & 0xFFFF, address & 0xF);
    return buf;
}

JwcFile::JwcFile()
{
    group_scale.fill(1.0f);
    group_srch.fill(1);
    group_disp.fill(1);
    layer_srch.fill(1);
    layer_disp.fill(1);
}

size_t JwcFile::records_offset() const { return scale_f ? 2421 : 2389; }

std::string JwcFile::bytes() const
{
    std::string the_id = id.empty() ? std::string("jw_cad(c)data.......") + "02" + (scale_f ? "f" : " ") : id;
    std::string out = first_block(the_id, comment1, comment2);

    std::vector<uint32_t> offsets;
    std::string the_pool = pool ? *pool : build_pool(texts, offsets);

    std::vector<std::string> b2(32, "0");
    b2[0] = std::to_string(line_count.value_or(int64_t(lines.size())));
    b2[1] = std::to_string(arc_count.value_or(int64_t(arcs.size())));
    b2[2] = std::to_string(moji_count.value_or(int64_t(texts.size())));
    b2[3] = std::to_string(ten_count.value_or(int64_t(points.size())));
    b2[4] = std::to_string(vten_count);
    b2[11] = std::to_string(psize);
    b2[30] = std::to_string(draw_width);
    out += block(block2_text ? *block2_text : fields_text(b2, block2_fields));
    out += block(block3_text ? *block3_text : fields_text(std::vector<std::string>(28, "0"), block3_fields));
    std::vector<std::string> b4(22, "0");
    b4[0] = segment_text(pool_base);
    b4[1] = segment_text(pool_base + uint32_t(the_pool.size()));
    out += block(block4_text ? *block4_text : fields_text(b4, block4_fields));

    for (const auto& v : vten)
        put_f32(out, v.x);
    for (const auto& v : vten)
        put_f32(out, v.y);
    for (const auto& v : vten)
        put_u8(out, v.lay);
    for (const auto& t : text_types)
        put_u16(out, t.penNo);
    for (const auto& t : text_types)
        put_u16(out, t.width);
    for (const auto& t : text_types)
        put_u16(out, t.height);
    for (const auto& t : text_types)
        put_u16(out, t.dist);
    for (float s : group_scale) {
        if (scale_f)
            put_f32(out, s);
        else
            put_u16(out, uint16_t(s));
    }
    for (uint8_t v : group_srch)
        put_u8(out, v);
    for (uint8_t v : layer_srch)
        put_u8(out, v);
    for (uint8_t v : group_disp)
        put_u8(out, v);
    for (uint8_t v : layer_disp)
        put_u8(out, v);
    for (uint8_t v : group_wlay)
        put_u8(out, v);

    for (const auto& e : lines)
        put_line(out, e);
    for (const auto& e : arcs)
        put_arc(out, e);
    for (size_t i = 0; i < texts.size(); ++i) {
        const auto& t = texts[i];
        uint32_t adr = t.address ? *t.address : pool_base + (i < offsets.size() ? offsets[i] : 0);
        put_f32(out, t.x1);
        put_f32(out, t.y1);
        put_f32(out, t.x2);
        put_f32(out, t.y2);
        put_u16(out, uint16_t(adr & 0xF));
        put_u16(out, uint16_t(adr >> 4));
        for (uint8_t v : { t.no, t.lay, t.flg1, t.flg2 })
            put_u8(out, v);
    }
    out += the_pool;
    for (const auto& e : points)
        put_point(out, e);
    for (const auto& n : layer_names)
        put_field(out, n, 8);
    for (const auto& n : group_names)
        put_field(out, n, 16);
    return out;
}

std::string JwkFile::bytes() const
{
    std::string out = first_block(id.empty() ? "jw_cad(c)sym........" : id, comment1, comment2);

    std::vector<uint32_t> offsets;
    std::string the_pool = pool ? *pool : build_pool(texts, offsets);

    std::vector<std::string> b2 = {
        std::to_string(line_count.value_or(int64_t(lines.size()))),
        std::to_string(arc_count.value_or(int64_t(arcs.size()))),
        std::to_string(ten_count.value_or(int64_t(points.size()))),
        std::to_string(moji_count.value_or(int64_t(texts.size()))),
        org_x,
        org_y,
        disp_scale,
        std::to_string(str_space.value_or(int64_t(the_pool.size()))),
        scale,
    };
    out += block(block2_text ? *block2_text : join_fields(b2));

    for (const auto& e : lines)
        put_line(out, e);
    for (const auto& e : arcs)
        put_arc(out, e);
    for (const auto& e : points)
        put_point(out, e);
    for (size_t i = 0; i < texts.size(); ++i) {
        const auto& t = texts[i];
        uint32_t off = t.address ? *t.address : (i < offsets.size() ? offsets[i] : 0);
        put_f32(out, t.x1);
        put_f32(out, t.y1);
        put_f32(out, t.x2);
        put_f32(out, t.y2);
        put_u16(out, uint16_t(off));
        put_u16(out, t.jwk_spare);
        for (uint8_t v : { t.no, t.lay, t.flg1, t.flg2 })
            put_u8(out, v);
    }
    out += the_pool;
    return out;
}

ScratchDir::ScratchDir()
{
    static std::atomic<unsigned> serial { 0 };
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto name = "jwc-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + "-"
            + std::to_string(rd());
        std::error_code ec;
        if (std::filesystem::create_directory(base / name, ec)) {
            dir_ = base / name;
            return;
        }
    }
    dir_ = base;
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    if (dir_ != std::filesystem::temp_directory_path())
        std::filesystem::remove_all(dir_, ec);
}

std::u16string ScratchDir::write(const std::string& name, const std::string& bytes) const
{
    auto p = dir_ / name;
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), std::streamsize(bytes.size()));
    return platform::utf8_to_utf16(p.string());
}

} // namespace test_jwc
