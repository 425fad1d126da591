// TJwkData: life cycle and the ".jwk" reader (one text block, records with points before texts, pool).
#include "formats/jwc/JwkUnit.h"

#include <algorithm>
#include <cmath>

#include "formats/jwc/JwcRead.h"
#include "util/Func_2_text.h"

namespace detail {

std::array<TEntJwcMojiType, 12> jwk_builtin_moji_types()
{
    // Pen number, width, height and spacing in millimetres, as the symbol format assumes them.
    struct Mm {
        int pen;
        double w, h, d;
    };
    static constexpr Mm mm[10] = {{1, 2.0, 2.0, 0.0}, {1, 2.5, 2.5, 0.5}, {2, 3.0, 3.0, 0.5},
                                  {2, 4.0, 4.0, 0.5}, {3, 5.0, 5.0, 1.0}, {3, 6.0, 6.0, 1.0},
                                  {4, 7.0, 7.0, 1.0}, {4, 8.0, 8.0, 1.0}, {5, 9.0, 9.0, 1.0},
                                  {5, 10.0, 10.0, 1.0}};
    std::array<TEntJwcMojiType, 12> t {};
    for (int i = 0; i < 10; ++i) {
        auto& s = t[size_t(i) + 1];
        s.penNo = uint16_t(mm[i].pen);
        s.width = uint16_t(std::lround(mm[i].w * 10));
        s.height = uint16_t(std::lround(mm[i].h * 10));
        s.dist = uint16_t(std::lround(mm[i].d * 10));
    }
    return t;
}

} // namespace detail

TJwkData::TJwkData()
{
    DataInit();
}

TJwkData::~TJwkData()
{
    DataFree();
}

void TJwkData::DataInit()
{
    lineN = arcN = tenN = mojiN = 0;
    Enthd = TEntJwkHeader {};
    auto t = detail::jwk_builtin_moji_types();
    EntMjtp.assign(t.begin(), t.end());
    EntLine.clear();
    EntArc.clear();
    EntTen.clear();
    EntMoji.clear();
}

void TJwkData::DataFree()
{
    DataInit();
    EntMjtp.clear();
}

bool TJwkData::check_bytes(std::span<const uint8_t> data)
{
    return detail::has_identification(data, detail::kJwkId);
}

bool TJwkData::FileCheck(const std::u16string& FName)
{
    std::vector<uint8_t> head;
    if (!detail::read_file_head(FName, 20, head))
        return false;
    return check_bytes(head);
}

void TJwkData::ParaSplit(const std::u16string& text, int count)
{
    detail::split_fields(text, count, Enthd.para);
}

bool TJwkData::FileHeaderRead(detail::JwcByteReader& r)
{
    try {
        std::vector<uint8_t> raw;
        detail::read_text_block(r, &raw);
        auto text_at = [&](size_t from, size_t n) {
            return AnsiBytesToText(std::string_view(reinterpret_cast<const char*>(raw.data()) + from, n));
        };
        Enthd.jwID = text_at(0, 40);
        Enthd.comment1 = text_at(40, 32);
        Enthd.comment2 = text_at(72, 32);
        if (!detail::has_identification(raw, detail::kJwkId))
            return false;

        auto& h = Enthd;
        ParaSplit(detail::read_text_block(r), 9);
        h.lineCount = detail::field_int(h.para, 0);
        h.arcCount = detail::field_int(h.para, 1);
        h.tenCount = detail::field_int(h.para, 2);
        h.mojiCount = detail::field_int(h.para, 3);
        h.org_x = detail::field_real(h.para, 4);
        h.org_y = detail::field_real(h.para, 5);
        h.dispScale = detail::field_real(h.para, 6);
        h.strSpace = detail::field_int(h.para, 7);
        h.scale = detail::field_real(h.para, 8);
        if (!(h.scale > 1e-14f))
            h.scale = 1.0f;
        return true;
    } catch (const detail::JwcIoError&) {
        return false;
    }
}

bool TJwkData::read_header_bytes(std::span<const uint8_t> data)
{
    DataInit();
    detail::JwcByteReader r(data);
    return FileHeaderRead(r);
}

bool TJwkData::FileHeaderIn(const std::u16string& FName)
{
    DataInit();
    std::vector<uint8_t> data;
    if (!detail::read_whole_file(FName, data))
        return false;
    return read_header_bytes(data);
}

bool TJwkData::FileIn(const std::u16string& FName)
{
    DataInit();
    std::vector<uint8_t> data;
    if (!detail::read_whole_file(FName, data))
        return false;
    return read_bytes(data, FName);
}

bool TJwkData::read_bytes(std::span<const uint8_t> data, const std::u16string& FName)
{
    DataInit();
    detail::JwcByteReader r(data);
    if (!FileHeaderRead(r))
        return false;
    detail::publish_document_info(FName, Enthd.comment1, Enthd.comment2);
    try {
        read_body(r);
        return true;
    } catch (const detail::JwcIoError&) {
        return false;
    }
}

void TJwkData::read_body(detail::JwcByteReader& r)
{
    const auto& h = Enthd;
    if (h.lineCount < 0 || h.arcCount < 0 || h.tenCount < 0 || h.mojiCount < 0)
        throw detail::JwcIoError(detail::kJwcIoMessage);
    uint8_t buf[32];
    auto fits = [&](int32_t count, size_t size) {
        if (!detail::section_fits(count, size, r.remaining()))
            throw detail::JwcIoError(detail::kJwcIoMessage);
    };

    fits(h.lineCount, detail::kLineRecord);
    EntLine.resize(size_t(h.lineCount));
    for (auto& e : EntLine) {
        r.read_checked(buf, detail::kLineRecord);
        e = detail::decode_line(buf, 1.0f);
        ++lineN;
    }

    fits(h.arcCount, detail::kArcRecord);
    EntArc.resize(size_t(h.arcCount));
    for (auto& e : EntArc) {
        r.read_checked(buf, detail::kArcRecord);
        e = detail::decode_arc(buf, 1.0f);
        ++arcN;
    }

    fits(h.tenCount, detail::kTenRecord);
    EntTen.resize(size_t(h.tenCount));
    for (auto& e : EntTen) {
        r.read_checked(buf, detail::kTenRecord);
        e = detail::decode_ten(buf, 1.0f);
        ++tenN;
    }

    fits(h.mojiCount, detail::kMojiRecord);
    EntMoji.resize(size_t(h.mojiCount));
    for (auto& e : EntMoji) {
        r.read_checked(buf, detail::kMojiRecord);
        e.x1 = detail::le_f32(buf);
        e.y1 = detail::le_f32(buf + 4);
        e.x2 = detail::le_f32(buf + 8);
        e.y2 = detail::le_f32(buf + 12);
        e.p = detail::le_u16(buf + 16);
        e.no = buf[20];
        e.lay = buf[21];
        e.flg1 = buf[22];
        e.flg2 = buf[23];
        e.s.clear();
        ++mojiN;
    }

    if (h.strSpace > 0) {
        // Only what the file holds is kept; a zero byte after it ends the last text.
        size_t held = std::min<size_t>(size_t(h.strSpace), r.remaining());
        if (held == 0)
            throw detail::JwcIoError(detail::kJwcIoMessage);
        std::vector<uint8_t> pool(held + 1, 0);
        r.read_checked(pool.data(), held);
        for (auto& e : EntMoji)
            e.s = detail::pool_text(pool, e.p);
    }
}

const TEntJwcMojiType& TJwkData::moji_type(uint8_t no) const
{
    static const TEntJwcMojiType none {};
    size_t i = no < 12 ? no : 0;
    return i < EntMjtp.size() ? EntMjtp[i] : none;
}

double TJwkData::symbol_scale() const
{
    const double sc = Enthd.scale;
    return sc > 1e-14 && std::isfinite(sc) ? sc : 1.0;
}
