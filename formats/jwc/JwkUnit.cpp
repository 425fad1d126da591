// TJwkData: life cycle and the ".jwk" reader (one text block, records with points before texts, pool).
#include "formats/jwc/JwkUnit.h"

#include <cmath>

#include "formats/jwc/JwcRead.h"

namespace detail {

std::array<TEntJwcMojiType, 12> jwk_builtin_moji_types()
{
    // Pen number, width, height and spacing in millimetres, as the symbol format assumes them.
    struct Mm {
        int pen;
        double w, h, d;
    };
    static constexpr Mm mm[10] = { { 1, 2.0, 2.0, 0.0 }, { 1, 2.5, 2.5, 0.5 }, { 2, 3.0, 3.0, 0.5 },
        { 2, 4.0, 4.0, 0.5 }, { 3, 5.0, 5.0, 1.0 }, { 3, 6.0, 6.0, 1.0 }, { 4, 7.0, 7.0, 1.0 }, { 4, 8.0, 8.0, 1.0 },
        { 5, 9.0, 9.0, 1.0 }, { 5, 10.0, 10.0, 1.0 } };
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

TJwkData::TJwkData() { DataInit(); }

TJwkData::~TJwkData() { DataFree(); }

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

bool TJwkData::check_bytes(std::span<const uint8_t> data) { return detail::has_identification(data, detail::kJwkId); }

bool TJwkData::FileCheck(const std::u16string& FName) { return detail::file_has_identification(FName, detail::kJwkId); }

void TJwkData::ParaSplit(const std::u16string& text, int count) { detail::split_fields(text, count, Enthd.para); }

bool TJwkData::FileHeaderRead(detail::JwcByteReader& r)
{
    try {
        if (!detail::read_identification(r, detail::kJwkId, Enthd.jwID, Enthd.comment1, Enthd.comment2))
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
    return detail::DocumentReading<TJwkData>::header_bytes(*this, data);
}

bool TJwkData::FileHeaderIn(const std::u16string& FName)
{
    return detail::DocumentReading<TJwkData>::header_file(*this, FName);
}

bool TJwkData::FileIn(const std::u16string& FName)
{
    return detail::DocumentReading<TJwkData>::document_file(*this, FName);
}

bool TJwkData::read_bytes(std::span<const uint8_t> data, const std::u16string& FName)
{
    return detail::DocumentReading<TJwkData>::document_bytes(*this, data, FName);
}

void TJwkData::read_body(detail::JwcByteReader& r)
{
    const auto& h = Enthd;
    if (h.lineCount < 0 || h.arcCount < 0 || h.tenCount < 0 || h.mojiCount < 0)
        throw detail::JwcIoError(detail::kJwcIoMessage);
    // Symbol files hold millimetres: no unit to apply.
    detail::read_section(r, h.lineCount, detail::kLineRecord, EntLine, lineN,
        [](const uint8_t* b) { return detail::decode_line(b, 1.0f); });
    detail::read_section(
        r, h.arcCount, detail::kArcRecord, EntArc, arcN, [](const uint8_t* b) { return detail::decode_arc(b, 1.0f); });
    detail::read_section(
        r, h.tenCount, detail::kTenRecord, EntTen, tenN, [](const uint8_t* b) { return detail::decode_ten(b, 1.0f); });
    detail::read_section(r, h.mojiCount, detail::kMojiRecord, EntMoji, mojiN, [](const uint8_t* b) {
        auto e = detail::decode_moji(b, 1.0f);
        e.p = detail::le_u16(b + 16);
        return e;
    });
    detail::read_pool_texts(r, h.strSpace, 0, EntMoji);
}

const TEntJwcMojiType& TJwkData::moji_type(uint8_t no) const { return detail::moji_type_at(EntMjtp, no); }

double TJwkData::symbol_scale() const
{
    const double sc = Enthd.scale;
    return sc > 1e-14 && std::isfinite(sc) ? sc : 1.0;
}
