// TJwcData: life cycle and the ".jwc" reader (text header blocks, fixed tables, records, pool, names).
#include "formats/jwc/JwcUnit.h"

#include <algorithm>
#include <array>

#include "formats/jwc/JwcRead.h"
#include "util/PaperSize.h"

namespace {

constexpr int kVtenSlots = 101;
constexpr int kMojiTypes = 12;
constexpr int kFileMojiTypes = 11;
constexpr int kGroups = 16;
constexpr int kLayers = 256;

} // namespace

TJwcData::TJwcData() { DataInit(); }

TJwcData::~TJwcData() { DataFree(); }

void TJwcData::DataInit()
{
    lineN = arcN = mojiN = tenN = 0;
    Enthd = TEntJwcHeader {};
    EntVten.clear();
    EntMjtp.clear();
    EntLgrp.clear();
    EntLay.clear();
    EntLine.clear();
    EntArc.clear();
    EntMoji.clear();
    EntTen.clear();
}

void TJwcData::DataFree() { DataInit(); }

bool TJwcData::check_bytes(std::span<const uint8_t> data) { return detail::has_identification(data, detail::kJwcId); }

bool TJwcData::FileCheck(const std::u16string& FName) { return detail::file_has_identification(FName, detail::kJwcId); }

void TJwcData::ParaSplit(const std::u16string& text, int count) { detail::split_fields(text, count, Enthd.para); }

bool TJwcData::FileHeaderRead(detail::JwcByteReader& r)
{
    using detail::field_int;
    using detail::field_real;
    try {
        if (!detail::read_identification(r, detail::kJwcId, Enthd.jwID, Enthd.comment1, Enthd.comment2))
            return false;
        Enthd.scaleF = Enthd.jwID.size() > 22 && Enthd.jwID[22] == u'f';

        auto& h = Enthd;
        auto& p = h.para;
        ParaSplit(detail::read_text_block(r), 32);
        h.lineCount = field_int(p, 0);
        h.arcCount = field_int(p, 1);
        h.mojiCount = field_int(p, 2);
        h.tenCount = field_int(p, 3);
        h.vtenCount = field_int(p, 4);
        h.curFno = field_int(p, 5);
        h.curMfno = field_int(p, 6);
        h.curMlcol = field_int(p, 7);
        h.curMpcol = field_int(p, 8);
        h.wLayScale = field_real(p, 9);
        h.wLayNo = field_int(p, 10);
        h.psize = field_int(p, 11);
        h.lcol = field_int(p, 12);
        h.ltyp = field_int(p, 13);
        h.plotOrgX = field_real(p, 14);
        h.plotOrgY = field_real(p, 15);
        h.lpitch1 = field_real(p, 16);
        h.lpitch2 = field_real(p, 17);
        h.drawtime = field_int(p, 18);
        for (int i = 0; i < 6; ++i)
            h.penWidth[size_t(i)] = field_int(p, 19 + i);
        h.gridX = field_real(p, 25);
        h.gridY = field_real(p, 26);
        h.gridOrgX = field_real(p, 27);
        h.gridOrgY = field_real(p, 28);
        h.gridScale = field_real(p, 29);
        h.drawWidth = field_int(p, 30);
        if (h.drawWidth == 0)
            h.drawWidth = 518;
        h.flgPthin = field_int(p, 31);

        ParaSplit(detail::read_text_block(r), 28);
        h.mvDist = field_real(p, 0);
        h.mtDist = field_real(p, 1);
        h.arLen = field_real(p, 2);
        h.arAng = field_real(p, 3);
        h.locMR = field_int(p, 4);
        h.flgMconma = field_int(p, 5);
        h.flgMzeros = field_int(p, 6);
        h.typLside = field_int(p, 7);
        h.mvUnit = field_int(p, 8);
        h.mvKeta = field_int(p, 9);
        h.sOfsetXL = field_real(p, 10);
        h.sOfsetXM = field_real(p, 11);
        h.sOfsetXR = field_real(p, 12);
        h.sOfsetYD = field_real(p, 13);
        h.sOfsetYM = field_real(p, 14);
        h.sOfsetYT = field_real(p, 15);
        h.s1len = field_int(p, 16);
        h.sOrgXm = field_int(p, 17);
        h.sOrgYm = field_int(p, 18);
        h.dlinDistB = field_real(p, 19);
        for (int i = 0; i < 5; ++i)
            h.dlinDist[size_t(i)] = field_real(p, 20 + i);
        h.svScrnOX = field_real(p, 25);
        h.svScrnOY = field_real(p, 26);
        h.svScrnScl = field_real(p, 27);

        ParaSplit(detail::read_text_block(r), 22);
        h.sBufAdr1 = detail::field_segment_address(p, 0);
        h.sBufAdr2 = detail::field_segment_address(p, 1);
        float* zoom[] = { &h.subZm0X, &h.subZm0Y, &h.subZm0S, &h.subZm1X, &h.subZm1Y, &h.subZm1S, &h.subZm2X,
            &h.subZm2Y, &h.subZm2S, &h.subZm3X, &h.subZm3Y, &h.subZm3S, &h.subZm4X, &h.subZm4Y, &h.subZm4S };
        for (int i = 0; i < 15; ++i)
            *zoom[i] = field_real(p, 2 + i);
        h.hiIdo = field_real(p, 17);
        h.hiHi = field_real(p, 18);
        h.hiTaka = field_real(p, 19);
        h.flgHok = field_int(p, 20);
        h.flg25Dm = field_int(p, 21);

        // A code without a paper takes drawWidth itself, so coordinates stay as they are.
        const auto paper = detail::find_paper(h.psize);
        h.dataUnit = (paper ? float(paper->x) : float(h.drawWidth)) / float(h.drawWidth);
        return true;
    } catch (const detail::JwcIoError&) {
        return false;
    }
}

bool TJwcData::read_header_bytes(std::span<const uint8_t> data)
{
    return detail::DocumentReading<TJwcData>::header_bytes(*this, data);
}

bool TJwcData::FileHeaderIn(const std::u16string& FName)
{
    return detail::DocumentReading<TJwcData>::header_file(*this, FName);
}

bool TJwcData::FileIn(const std::u16string& FName)
{
    return detail::DocumentReading<TJwcData>::document_file(*this, FName);
}

bool TJwcData::read_bytes(std::span<const uint8_t> data, const std::u16string& FName)
{
    return detail::DocumentReading<TJwcData>::document_bytes(*this, data, FName);
}

void TJwcData::read_body(detail::JwcByteReader& r)
{
    const auto& h = Enthd;
    const float unit = h.dataUnit;
    if (h.lineCount < 0 || h.arcCount < 0 || h.mojiCount < 0 || h.tenCount < 0)
        throw detail::JwcIoError(detail::kJwcIoMessage);

    EntVten.assign(kVtenSlots, {});
    EntMjtp.assign(kMojiTypes, {});
    EntLgrp.assign(kGroups, {});
    EntLay.assign(kLayers, {});

    // The fixed tables are taken as they come: a short file leaves zeros and fails later at the names.
    for (auto& v : EntVten)
        v.x = r.f32() * unit;
    for (auto& v : EntVten)
        v.y = r.f32() * unit;
    for (auto& v : EntVten)
        v.lay = r.u8();
    for (int i = 0; i < kFileMojiTypes; ++i)
        EntMjtp[size_t(i)].penNo = r.u16();
    for (int i = 0; i < kFileMojiTypes; ++i)
        EntMjtp[size_t(i)].width = r.u16();
    for (int i = 0; i < kFileMojiTypes; ++i)
        EntMjtp[size_t(i)].height = r.u16();
    for (int i = 0; i < kFileMojiTypes; ++i)
        EntMjtp[size_t(i)].dist = r.u16();
    for (auto& g : EntLgrp)
        g.scale = h.scaleF ? r.f32() : float(r.u16());
    for (auto& g : EntLgrp)
        g.srchF = r.u8();
    for (auto& l : EntLay)
        l.srchF = r.u8();
    for (auto& g : EntLgrp)
        g.dispF = r.u8();
    for (auto& l : EntLay)
        l.dispF = r.u8();
    for (auto& g : EntLgrp)
        g.w_lay = r.u8();

    detail::read_section(r, h.lineCount, detail::kLineRecord, EntLine, lineN,
        [&](const uint8_t* b) { return detail::decode_line(b, unit); });
    detail::read_section(
        r, h.arcCount, detail::kArcRecord, EntArc, arcN, [&](const uint8_t* b) { return detail::decode_arc(b, unit); });
    detail::read_section(r, h.mojiCount, detail::kMojiRecord, EntMoji, mojiN, [&](const uint8_t* b) {
        auto e = detail::decode_moji(b, unit);
        // The pool address is a segment and an offset.
        e.p = int32_t(detail::le_u16(b + 18)) * 16 + detail::le_u16(b + 16);
        return e;
    });
    detail::read_pool_texts(r, int64_t(h.sBufAdr2) - int64_t(h.sBufAdr1), h.sBufAdr1, EntMoji);
    detail::read_section(
        r, h.tenCount, detail::kTenRecord, EntTen, tenN, [&](const uint8_t* b) { return detail::decode_ten(b, unit); });

    uint8_t buf[32];
    for (auto& l : EntLay) {
        size_t got = r.read_checked(buf, 8);
        l.name = detail::decode_name(std::span<const uint8_t>(buf, got));
    }
    for (auto& g : EntLgrp) {
        size_t got = r.read_checked(buf, 16);
        g.name = detail::decode_name(std::span<const uint8_t>(buf, got));
    }
}

int32_t TJwcData::vten_in_use() const
{
    if (EntVten.empty())
        return 0;
    return std::clamp(Enthd.vtenCount, 0, int32_t(EntVten.size()) - 1);
}

const TEntJwcMojiType& TJwcData::moji_type(uint8_t no) const { return detail::moji_type_at(EntMjtp, no); }
