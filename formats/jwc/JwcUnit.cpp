// TJwcData: life cycle and the ".jwc" reader (text header blocks, fixed tables, records, pool, names).
#include "formats/jwc/JwcUnit.h"

#include <algorithm>
#include <array>

#include "formats/jwc/JwcRead.h"
#include "util/Func_2_text.h"

namespace {

constexpr int kVtenSlots = 101;
constexpr int kMojiTypes = 12;
constexpr int kFileMojiTypes = 11;
constexpr int kGroups = 16;
constexpr int kLayers = 256;

// Paper width by psize; other codes take drawWidth itself, so coordinates stay as they are.
float paper_width_for_unit(int32_t psize, int32_t drawWidth)
{
    switch (psize) {
    case 0: return 1189;
    case 1: return 841;
    case 2: return 594;
    case 3: return 420;
    case 4: return 297;
    case 8: return 1682;
    case 9: return 2378;
    case 10: return 3364;
    case 11: return 4756;
    case 12: return 10000;
    case 13: return 50000;
    case 14: return 100000;
    default: return float(drawWidth);
    }
}

} // namespace

TJwcData::TJwcData()
{
    DataInit();
}

TJwcData::~TJwcData()
{
    DataFree();
}

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

void TJwcData::DataFree()
{
    DataInit();
}

bool TJwcData::check_bytes(std::span<const uint8_t> data)
{
    return detail::has_identification(data, detail::kJwcId);
}

bool TJwcData::FileCheck(const std::u16string& FName)
{
    std::vector<uint8_t> head;
    if (!detail::read_file_head(FName, 20, head))
        return false;
    return check_bytes(head);
}

void TJwcData::ParaSplit(const std::u16string& text, int count)
{
    detail::split_fields(text, count, Enthd.para);
}

bool TJwcData::FileHeaderRead(detail::JwcByteReader& r)
{
    using detail::field_int;
    using detail::field_real;
    try {
        std::vector<uint8_t> raw;
        detail::read_text_block(r, &raw);
        auto text_at = [&](size_t from, size_t n) {
            return AnsiBytesToText(std::string_view(reinterpret_cast<const char*>(raw.data()) + from, n));
        };
        Enthd.jwID = text_at(0, 40);
        Enthd.comment1 = text_at(40, 32);
        Enthd.comment2 = text_at(72, 32);
        if (!detail::has_identification(raw, detail::kJwcId))
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
        float* zoom[] = {&h.subZm0X, &h.subZm0Y, &h.subZm0S, &h.subZm1X, &h.subZm1Y, &h.subZm1S,
                         &h.subZm2X, &h.subZm2Y, &h.subZm2S, &h.subZm3X, &h.subZm3Y, &h.subZm3S,
                         &h.subZm4X, &h.subZm4Y, &h.subZm4S};
        for (int i = 0; i < 15; ++i)
            *zoom[i] = field_real(p, 2 + i);
        h.hiIdo = field_real(p, 17);
        h.hiHi = field_real(p, 18);
        h.hiTaka = field_real(p, 19);
        h.flgHok = field_int(p, 20);
        h.flg25Dm = field_int(p, 21);

        h.dataUnit = paper_width_for_unit(h.psize, h.drawWidth) / float(h.drawWidth);
        return true;
    } catch (const detail::JwcIoError&) {
        return false;
    }
}

bool TJwcData::read_header_bytes(std::span<const uint8_t> data)
{
    DataInit();
    detail::JwcByteReader r(data);
    return FileHeaderRead(r);
}

bool TJwcData::FileHeaderIn(const std::u16string& FName)
{
    DataInit();
    std::vector<uint8_t> data;
    if (!detail::read_whole_file(FName, data))
        return false;
    return read_header_bytes(data);
}

bool TJwcData::FileIn(const std::u16string& FName)
{
    DataInit();
    std::vector<uint8_t> data;
    if (!detail::read_whole_file(FName, data))
        return false;
    return read_bytes(data, FName);
}

bool TJwcData::read_bytes(std::span<const uint8_t> data, const std::u16string& FName)
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

    uint8_t buf[32];
    auto fits = [&](int32_t count, size_t size) {
        if (!detail::section_fits(count, size, r.remaining()))
            throw detail::JwcIoError(detail::kJwcIoMessage);
    };

    fits(h.lineCount, detail::kLineRecord);
    EntLine.resize(size_t(h.lineCount));
    for (auto& e : EntLine) {
        r.read_checked(buf, detail::kLineRecord);
        e = detail::decode_line(buf, unit);
        ++lineN;
    }

    fits(h.arcCount, detail::kArcRecord);
    EntArc.resize(size_t(h.arcCount));
    for (auto& e : EntArc) {
        r.read_checked(buf, detail::kArcRecord);
        e = detail::decode_arc(buf, unit);
        ++arcN;
    }

    fits(h.mojiCount, detail::kMojiRecord);
    EntMoji.resize(size_t(h.mojiCount));
    for (auto& e : EntMoji) {
        r.read_checked(buf, detail::kMojiRecord);
        e.x1 = detail::le_f32(buf) * unit;
        e.y1 = detail::le_f32(buf + 4) * unit;
        e.x2 = detail::le_f32(buf + 8) * unit;
        e.y2 = detail::le_f32(buf + 12) * unit;
        e.p = int32_t(detail::le_u16(buf + 18)) * 16 + detail::le_u16(buf + 16);
        e.no = buf[20];
        e.lay = buf[21];
        e.flg1 = buf[22];
        e.flg2 = buf[23];
        e.s.clear();
        ++mojiN;
    }

    const int64_t pool_size = int64_t(h.sBufAdr2) - int64_t(h.sBufAdr1);
    if (pool_size > 0) {
        // Only what the file holds is kept; a zero byte after it ends the last text.
        size_t held = size_t(std::min<uint64_t>(uint64_t(pool_size), r.remaining()));
        if (held == 0)
            throw detail::JwcIoError(detail::kJwcIoMessage);
        std::vector<uint8_t> pool(held + 1, 0);
        r.read_checked(pool.data(), held);
        for (auto& e : EntMoji)
            e.s = detail::pool_text(pool, int64_t(e.p) - h.sBufAdr1);
    }

    fits(h.tenCount, detail::kTenRecord);
    EntTen.resize(size_t(h.tenCount));
    for (auto& e : EntTen) {
        r.read_checked(buf, detail::kTenRecord);
        e = detail::decode_ten(buf, unit);
        ++tenN;
    }

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

const TEntJwcMojiType& TJwcData::moji_type(uint8_t no) const
{
    static const TEntJwcMojiType none {};
    size_t i = no < kMojiTypes ? no : 0;
    return i < EntMjtp.size() ? EntMjtp[i] : none;
}
