// Byte-level writer of ".jww" drawings: header rows by version, tagged object lists, definitions, images.
#include "tests/support/jww_writer.h"

#include <zlib.h>

#include <cstring>
#include <fstream>

#include "platform/Cp932.h"

namespace jwwtest {
namespace {

const char* const kClassNames[8] = { "", "CDataSen", "CDataEnko", "CDataTen", "CDataMoji", "CDataSunpou", "CDataSolid",
    "CDataBlock" };
constexpr const char* kDefClassName = "CDataList";

template <class T> void put(std::vector<uint8_t>& out, const T& v)
{
    const auto* p = reinterpret_cast<const uint8_t*>(&v);
    out.insert(out.end(), p, p + sizeof(T));
}

} // namespace

TEntJwwAttr attr(int color, int style, int layer, int group, int width, int flags)
{
    TEntJwwAttr a;
    a.nPenColor = uint16_t(color);
    a.nPenStyle = uint8_t(style);
    a.nLayer = uint16_t(layer);
    a.nGLayer = uint16_t(group);
    a.nPenWidth = uint16_t(width);
    a.sFlg = uint16_t(flags);
    return a;
}

TEntJwwLine line(double x1, double y1, double x2, double y2, TEntJwwAttr a)
{
    TEntJwwLine r;
    r.att = a;
    r.start_x = x1;
    r.start_y = y1;
    r.end_x = x2;
    r.end_y = y2;
    return r;
}

TEntJwwEnko circle(double cx, double cy, double r, TEntJwwAttr a)
{
    TEntJwwEnko e = arc(cx, cy, r, 0, 0, a);
    e.bZenEnFlg = 1;
    return e;
}

TEntJwwEnko arc(double cx, double cy, double r, double start, double sweep, TEntJwwAttr a, double flatness, double tilt)
{
    TEntJwwEnko e;
    e.att = a;
    e.start_x = cx;
    e.start_y = cy;
    e.dHankei = r;
    e.radKaishiKaku = start;
    e.radEnkoKaku = sweep;
    e.radKatamukiKaku = tilt;
    e.dHenpeiRitsu = flatness;
    return e;
}

TEntJwwTen point(double x, double y, TEntJwwAttr a)
{
    TEntJwwTen t;
    t.att = a;
    t.start_x = x;
    t.start_y = y;
    return t;
}

TEntJwwTen marker(double x, double y, uint32_t code, double rotation, double scale, TEntJwwAttr a)
{
    TEntJwwTen t = point(x, y, a);
    t.att.nPenStyle = 100;
    t.nCode = code;
    t.radKaitenKaku = rotation;
    t.dBairitsu = scale;
    return t;
}

TEntJwwMoji text(double x1, double y1, double x2, double y2, double sizeX, double sizeY, double spacing, uint32_t style,
    TEntJwwAttr a)
{
    TEntJwwMoji m;
    m.att = a;
    m.start_x = x1;
    m.start_y = y1;
    m.end_x = x2;
    m.end_y = y2;
    m.nMojiShu = style;
    m.dSizeX = sizeX;
    m.dSizeY = sizeY;
    m.dKankaku = spacing;
    return m;
}

TEntJwwSolid solid(
    double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4, TEntJwwAttr a)
{
    TEntJwwSolid s;
    s.att = a;
    s.start_x = x1;
    s.start_y = y1;
    s.end_x = x2;
    s.end_y = y2;
    s.DPoint2_x = x3;
    s.DPoint2_y = y3;
    s.DPoint3_x = x4;
    s.DPoint3_y = y4;
    return s;
}

TEntJwwSolid solid_colored(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
    uint32_t color, TEntJwwAttr a)
{
    TEntJwwSolid s = solid(x1, y1, x2, y2, x3, y3, x4, y4, a);
    s.att.nPenColor = 10;
    s.Color = color;
    return s;
}

TEntJwwBlock insert(uint32_t number, double x, double y, double sx, double sy, double rotation, TEntJwwAttr a)
{
    TEntJwwBlock b;
    b.att = a;
    b.DPKijunTen_x = x;
    b.DPKijunTen_y = y;
    b.dBairitsuX = sx;
    b.dBairitsuY = sy;
    b.radKaitenKaku = rotation;
    b.nNumber = number;
    return b;
}

JwwWriter::JwwWriter(int32_t version)
    : version_(version)
{
    Enthd.jwVer = version;
    Enthd.nZumen = 3;
    Enthd.dMojiSizeX = Enthd.dMojiSizeY = 3.0;
    EntLgrp.resize(16);
    for (auto& g : EntLgrp) {
        g.anGLay = 2;
        g.adScale = 1.0;
    }
    EntLay.resize(256);
    for (auto& l : EntLay)
        l.aanLay = 2;
    EntCol.resize(10);
    const int32_t colors[10] = { 0xFFFFFF, 0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00,
        0x808080, 0xC0C0C0 };
    for (int c = 0; c < 10; ++c) {
        EntCol[size_t(c)].aPenColor = EntCol[size_t(c)].aPrtPenColor = colors[c];
        EntCol[size_t(c)].anPenWidth = EntCol[size_t(c)].anPrtPenWidth = 1;
        EntCol[size_t(c)].adPrtTenHankei = 0.3;
    }
    EntLtp1.resize(8);
    EntLtp2.resize(5);
    EntLtp3.resize(4);
    for (auto* table : { &EntLtp1, &EntLtp3 })
        for (auto& t : *table) {
            t.alLType = int32_t(0xFFFF0000u);
            t.anTokushuSenUintDot = 1;
            t.anTokushuSenPich = t.anPrtTokushuSenPich = 1;
        }
    for (auto& t : EntLtp2) {
        t.alLType = int32_t(0xFF00FF00u);
        t.anRandSenWide = t.anPrtRandSenWide = 10;
        t.anTokushuSenPich = t.anPrtTokushuSenPich = 1;
    }
    EntColS.resize(257);
    for (auto& c : EntColS) {
        c.anPenWidth = c.anPrtPenWidth = 25;
        c.adPrtTenHankei = 0.3;
    }
    EntLtpS.resize(33);
    EntMoj.resize(10);
    for (int m = 0; m < 10; ++m) {
        EntMoj[size_t(m)].adMojiX = EntMoj[size_t(m)].adMojiY = 2.0 + 0.5 * m;
        EntMoj[size_t(m)].anMojiCol = 1;
    }
}

void JwwWriter::put_u8(std::vector<uint8_t>& out, uint8_t v) { out.push_back(v); }
void JwwWriter::put_u16(std::vector<uint8_t>& out, uint16_t v) { put(out, v); }
void JwwWriter::put_i32(std::vector<uint8_t>& out, int32_t v) { put(out, v); }
void JwwWriter::put_u32(std::vector<uint8_t>& out, uint32_t v) { put(out, v); }
void JwwWriter::put_f64(std::vector<uint8_t>& out, double v) { put(out, v); }

void JwwWriter::put_ansi_bytes(std::vector<uint8_t>& out, std::string_view bytes, StrForm form)
{
    if (form == StrForm::ansi && bytes.size() < 0xFF) {
        put_u8(out, uint8_t(bytes.size()));
    } else {
        put_u8(out, 0xFF);
        put_u16(out, uint16_t(bytes.size()));
    }
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void JwwWriter::put_string(std::vector<uint8_t>& out, std::u16string_view s, StrForm form)
{
    if (form == StrForm::ansi || form == StrForm::ansi_long) {
        put_ansi_bytes(out, platform::utf16_to_cp932(s), form);
        return;
    }
    put_u8(out, 0xFF);
    put_u16(out, 0xFFFE);
    if (form == StrForm::utf16 && s.size() < 0xFF) {
        put_u8(out, uint8_t(s.size()));
    } else {
        put_u8(out, 0xFF);
        put_u16(out, uint16_t(s.size()));
    }
    for (char16_t c : s)
        put_u16(out, uint16_t(c));
}

void JwwWriter::put_record(std::vector<uint8_t>& out, const void* record, size_t size, int32_t version)
{
    const auto* p = static_cast<const uint8_t*>(record);
    if (version >= 351) {
        out.insert(out.end(), p, p + size);
        return;
    }
    out.insert(out.end(), p, p + 7);
    out.insert(out.end(), p + 9, p + size);
}

JwwWriter::List& JwwWriter::current() { return in_def_ ? defs_.back().list : top_; }

void JwwWriter::push(int kind, const std::vector<uint8_t>& body)
{
    List& l = current();
    Object o;
    o.kind = kind;
    o.counted = kind != 0;
    o.tag = tag_form;
    o.offset = l.data.size();
    o.size = body.size();
    l.data.insert(l.data.end(), body.begin(), body.end());
    l.objects.push_back(o);
}

void JwwWriter::put_ten(std::vector<uint8_t>& out, const TEntJwwTen& r) const
{
    put_record(out, &r, 35, version_);
    if (r.att.nPenStyle == 100)
        out.insert(out.end(), reinterpret_cast<const uint8_t*>(&r) + 35, reinterpret_cast<const uint8_t*>(&r) + 55);
}

void JwwWriter::put_moji(std::vector<uint8_t>& out, const TEntJwwMoji& r, std::u16string_view font,
    std::u16string_view str, StrForm form) const
{
    put_record(out, &r, 83, version_);
    put_string(out, font, form);
    put_string(out, str, form);
}

void JwwWriter::add(const TEntJwwLine& r)
{
    std::vector<uint8_t> b;
    put_record(b, &r, 47, version_);
    push(kJwwLine, b);
}

void JwwWriter::add(const TEntJwwEnko& r)
{
    std::vector<uint8_t> b;
    put_record(b, &r, 75, version_);
    push(kJwwEnko, b);
}

void JwwWriter::add(const TEntJwwTen& r)
{
    std::vector<uint8_t> b;
    put_ten(b, r);
    push(kJwwTen, b);
}

void JwwWriter::add(const TEntJwwMoji& r, std::u16string_view font, std::u16string_view str)
{
    add(r, font, str, string_form);
}

void JwwWriter::add(const TEntJwwMoji& r, std::u16string_view font, std::u16string_view str, StrForm form)
{
    std::vector<uint8_t> b;
    put_moji(b, r, font, str, form);
    push(kJwwMoji, b);
}

void JwwWriter::add(const TEntJwwSunpo& r, std::u16string_view font, std::u16string_view str)
{
    std::vector<uint8_t> b;
    put_record(b, &r.att, 15, version_);
    put_record(b, &r.Sen, 47, version_);
    put_moji(b, r.Moji, font, str, string_form);
    if (version_ >= 420) {
        put_u16(b, r.bSxfMode);
        put_record(b, &r.Ho1, 47, version_);
        put_record(b, &r.Ho2, 47, version_);
        put_ten(b, r.Te1);
        put_ten(b, r.Te2);
        put_ten(b, r.Kt1);
        put_ten(b, r.Kt2);
    }
    push(kJwwSunpo, b);
}

void JwwWriter::add(const TEntJwwSolid& r)
{
    std::vector<uint8_t> b;
    put_record(b, &r, 79, version_);
    if (r.att.nPenColor == 10)
        put_u32(b, r.Color);
    push(kJwwSolid, b);
}

void JwwWriter::add(const TEntJwwBlock& r)
{
    std::vector<uint8_t> b;
    put_record(b, &r, 59, version_);
    push(kJwwBlock, b);
}

void JwwWriter::raw(std::vector<uint8_t> bytes) { push(0, bytes); }

void JwwWriter::unknown_class_object(std::string_view class_name, std::vector<uint8_t> body)
{
    std::vector<uint8_t> b;
    put_u16(b, 0xFFFF);
    put_u16(b, 0);
    put_u16(b, uint16_t(class_name.size()));
    b.insert(b.end(), class_name.begin(), class_name.end());
    b.insert(b.end(), body.begin(), body.end());
    push(0, b);
    current().objects.back().counted = true;
}

void JwwWriter::begin_block(
    uint32_t number, std::u16string_view name, TEntJwwAttr a, uint32_t dtime, uint32_t bRefferd, bool dtime_ext)
{
    Def& d = defs_.emplace_back();
    d.head.att = a;
    d.head.nNumber = number;
    d.head.bRefferd = bRefferd;
    d.dtime_ext = dtime_ext || (dtime & 0x80000000u);
    d.head.dtime = d.dtime_ext ? (dtime | 0x80000000u) : dtime;
    d.name = name;
    d.form = string_form;
    d.tag = tag_form;
    in_def_ = true;
}

void JwwWriter::end_block() { in_def_ = false; }

void JwwWriter::image(std::u16string_view name, const std::vector<uint8_t>& data)
{
    image_entry(name, int32_t(data.size()), data);
}

void JwwWriter::image_entry(std::u16string_view name, int32_t size, const std::vector<uint8_t>& data)
{
    images_.push_back({ std::u16string(name), size, data, string_form });
}

void JwwWriter::put_tag(std::vector<uint8_t>& out, TagState& st, int kind, TagForm form)
{
    int64_t& idx = kind == 8 ? st.def_class : st.class_index[kind];
    if (idx == 0) {
        const char* name = kind == 8 ? kDefClassName : kClassNames[kind];
        put_u16(out, 0xFFFF);
        put_u16(out, 0);
        put_u16(out, uint16_t(std::strlen(name)));
        out.insert(out.end(), name, name + std::strlen(name));
        idx = st.next_index++;
        return;
    }
    bool fits = idx < 0x7FFF;
    if (form == TagForm::short_ref || (form == TagForm::automatic && fits)) {
        put_u16(out, uint16_t(0x8000 + idx));
        return;
    }
    put_u16(out, 0x7FFF);
    put_u32(out, uint32_t(idx) | (form == TagForm::long_ref_top_bit ? 0x80000000u : 0u));
}

void JwwWriter::put_count(std::vector<uint8_t>& out, uint64_t n) const
{
    if (n < 0xFFFF && !long_counts) {
        put_u16(out, uint16_t(n));
        return;
    }
    put_u16(out, 0xFFFF);
    put_u32(out, uint32_t(n));
}

void JwwWriter::put_list(std::vector<uint8_t>& out, TagState& st, const List& list, std::optional<uint32_t> count) const
{
    uint64_t n = 0;
    for (const auto& o : list.objects)
        n += o.counted ? 1 : 0;
    put_count(out, count ? *count : n);
    for (const auto& o : list.objects) {
        if (o.kind != 0)
            put_tag(out, st, o.kind, o.tag);
        out.insert(out.end(), list.data.begin() + std::ptrdiff_t(o.offset),
            list.data.begin() + std::ptrdiff_t(o.offset + o.size));
        if (o.kind != 0)
            ++st.next_index;
    }
}

std::vector<uint8_t> JwwWriter::header_bytes() const
{
    std::vector<uint8_t> o;
    const TEntJwwHeader& h = Enthd;
    const int32_t v = version_;
    std::string m = magic;
    m.resize(8, '\0');
    o.insert(o.end(), m.begin(), m.end());
    put_i32(o, v);
    put_string(o, h.strMemo, string_form);
    put_i32(o, h.nZumen);
    put_i32(o, h.nWriteGLay);
    for (int g = 0; g < 16; ++g) {
        put_i32(o, EntLgrp[size_t(g)].anGLay);
        put_i32(o, EntLgrp[size_t(g)].anWriteLay);
        put_f64(o, EntLgrp[size_t(g)].adScale);
        put_i32(o, EntLgrp[size_t(g)].anGLayProtect);
        for (int l = 0; l < 16; ++l) {
            put_i32(o, EntLay[size_t(g * 16 + l)].aanLay);
            put_i32(o, EntLay[size_t(g * 16 + l)].aanLayProtect);
        }
    }
    o.insert(o.end(), 56, 0);
    for (int32_t x : { h.lnSunpou1, h.lnSunpou2, h.lnSunpou3, h.lnSunpou4, h.lnSunpou5 })
        put_i32(o, x);
    o.insert(o.end(), 4, 0);
    put_i32(o, h.nMaxDrawWid);
    for (double x : { h.DPPrtGenten_x, h.DPPrtGenten_y, h.dPrtBairitsu })
        put_f64(o, x);
    put_i32(o, h.nPrtSet);
    put_i32(o, h.nMemoriMode);
    for (double x : { h.dMemoriHyoujiMin, h.dMemoriX, h.dMemoriY, h.DpMemoriKjTen_x, h.DpMemoriKjTen_y })
        put_f64(o, x);
    for (const auto& l : EntLay)
        put_string(o, l.aStrLayName, string_form);
    for (const auto& g : EntLgrp)
        put_string(o, g.aStrGLayName, string_form);
    put_f64(o, h.dKageLevel);
    put_f64(o, h.dKageIdo);
    put_i32(o, h.nKage9_15JiFlg);
    put_f64(o, h.dKabeKageLevel);
    if (v >= 300) {
        put_f64(o, h.dTenkuuZuLevel);
        put_f64(o, h.dTenkuuZuEnkoR);
    }
    put_i32(o, h.nMMTani3D);
    for (double x : { h.dBairitsu, h.DPGenten_x, h.DPGenten_y, h.dHanniBairitsu, h.DPHanniGenten_x, h.DPHanniGenten_y })
        put_f64(o, x);
    if (v >= 231) {
        for (int i = 1; i <= 8; ++i) {
            put_f64(o, h.dZoomJumpBairitsu[size_t(i)]);
            put_f64(o, h.DPZoomJumpGenten_x[size_t(i)]);
            put_f64(o, h.DPZoomJumpGenten_y[size_t(i)]);
            put_i32(o, h.nZoomJumpGLay[size_t(i)]);
        }
        for (double x : { h.dDm11, h.dDm12, h.dDm13 })
            put_f64(o, x);
        put_i32(o, h.lnDm1);
        for (double x : { h.dDm21, h.dDm22, h.dMojiBG })
            put_f64(o, x);
        put_i32(o, h.nMojiBG);
    } else {
        for (int i = 1; i <= 4; ++i) {
            put_f64(o, h.dZoomJumpBairitsu[size_t(i)]);
            put_f64(o, h.DPZoomJumpGenten_x[size_t(i)]);
            put_f64(o, h.DPZoomJumpGenten_y[size_t(i)]);
        }
    }
    for (double x : h.adFukusenSuuchi)
        put_f64(o, x);
    put_f64(o, h.dRyougawaFukusenTomeDe);
    for (const auto& c : EntCol) {
        put_i32(o, c.aPenColor);
        put_i32(o, c.anPenWidth);
    }
    for (const auto& c : EntCol) {
        put_i32(o, c.aPrtPenColor);
        put_i32(o, c.anPrtPenWidth);
        put_f64(o, c.adPrtTenHankei);
    }
    auto put_ltype = [&o](const TEntJwwLineTypeNo& t) {
        for (int32_t x : { t.alLType, t.anTokushuSenUintDot, t.anTokushuSenPich, t.anPrtTokushuSenPich })
            put_i32(o, x);
    };
    for (const auto& t : EntLtp1)
        put_ltype(t);
    for (const auto& t : EntLtp2)
        for (int32_t x : { t.alLType, t.anRandSenWide, t.anTokushuSenPich, t.anPrtRandSenWide, t.anPrtTokushuSenPich })
            put_i32(o, x);
    for (const auto& t : EntLtp3)
        put_ltype(t);
    for (int32_t x : { h.nDrawGamenTen, h.nDrawPrtTen, h.nBitMapFirstDraw, h.nGyakuDraw, h.nGyakuSearch, h.nColorPrint,
             h.nLayJunPrint, h.nColJunPrint, h.nPrtRenzoku, h.nPrtKyoutsuuGray })
        put_i32(o, x);
    put_i32(o, prt_dpi_word);
    if (v >= 223) {
        for (int32_t x : { h.lnDrawTime, h.nEyeInit, h.dEye_H_Ichi_1, h.dEye_H_Ichi_2, h.dEye_H_Ichi_3 })
            put_i32(o, x);
        for (double x : { h.dEye_Z_Ichi_1, h.dEye_Y_Ichi_1, h.dEye_Z_Ichi_2, h.dEye_Y_Ichi_2, h.dEye_V_Ichi_3 })
            put_f64(o, x);
    }
    if (v >= 225)
        for (double x : { h.dSenNagasaSnpou, h.dBoxSunpouX, h.dBoxSunpouY, h.dEnHankeiSnpou })
            put_f64(o, x);
    if (v >= 230) {
        put_i32(o, h.nSolidNinniColor);
        put_i32(o, h.SolidColor);
    }
    if (v >= 420) {
        for (const auto& c : EntColS) {
            put_i32(o, c.aPenColor);
            put_i32(o, c.anPenWidth);
        }
        for (const auto& c : EntColS) {
            put_string(o, c.astrUDColorName, string_form);
            put_i32(o, c.aPrtPenColor);
            put_i32(o, c.anPrtPenWidth);
            put_f64(o, c.adPrtTenHankei);
        }
        for (const auto& t : EntLtpS)
            for (int32_t x : { t.alLType, t.anTokushuSenUintDot, t.anTokushuSenPich, t.anPrtTokushuSenPich })
                put_i32(o, x);
        for (const auto& t : EntLtpS) {
            put_string(o, t.astrUDLTypeName, string_form);
            put_i32(o, t.anUDLTypeSegment);
            for (int i = 1; i <= 10; ++i)
                put_f64(o, t.aadUDLTypePitch[size_t(i)]);
        }
    }
    for (const auto& mt : EntMoj) {
        put_f64(o, mt.adMojiX);
        put_f64(o, mt.adMojiY);
        put_f64(o, mt.adMojiD);
        put_i32(o, mt.anMojiCol);
    }
    for (double x : { h.dMojiSizeX, h.dMojiSizeY, h.dMojiKankaku })
        put_f64(o, x);
    put_i32(o, h.nMojiColor);
    put_i32(o, h.nMojiShu);
    put_f64(o, h.dMojiSeiriGyouKan);
    put_f64(o, h.dMojiSeiriSuu);
    put_i32(o, h.nMojiKijunZureOn);
    for (double x : { h.adMojiKijunZureX0, h.adMojiKijunZureX1, h.adMojiKijunZureX2, h.adMojiKijunZureY0,
             h.adMojiKijunZureY1, h.adMojiKijunZureY2 })
        put_f64(o, x);
    return o;
}

std::vector<uint8_t> JwwWriter::bytes() const
{
    std::vector<uint8_t> o = header_bytes();
    TagState st;
    o.reserve(o.size() + top_.data.size() + top_.objects.size() * 2 + 64);
    put_list(o, st, top_, entity_count);
    put_count(o, block_count ? *block_count : defs_.size());
    for (const auto& d : defs_) {
        put_tag(o, st, 8, d.tag);
        put_record(o, &d.head, 27, version_);
        if (d.dtime_ext)
            o.insert(o.end(), 8, 0xEE);
        put_string(o, d.name, d.form);
        // The definition takes its index between its name and its entities.
        ++st.next_index;
        put_list(o, st, d.list, std::nullopt);
    }
    if (version_ >= 700 && write_image_table) {
        put_i32(o, image_count ? *image_count : int32_t(images_.size()));
        for (const auto& im : images_) {
            put_string(o, im.name, im.form);
            put_i32(o, im.size);
            if (!im.name.empty() && im.size != 0)
                o.insert(o.end(), im.data.begin(), im.data.end());
        }
    }
    o.insert(o.end(), tail.begin(), tail.end());
    return o;
}

bool JwwWriter::save(const std::string& path) const
{
    std::vector<uint8_t> b = bytes();
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return bool(f);
}

std::vector<uint8_t> red_bmp_gz()
{
    std::vector<uint8_t> b = { 'B', 'M' };
    for (uint32_t v : { 54u + 8 * 48, 0u, 54u, 40u, 16u, 8u })
        JwwWriter::put_u32(b, v);
    JwwWriter::put_u16(b, 1);
    JwwWriter::put_u16(b, 24);
    for (uint32_t v : { 0u, 8u * 48, 2835u, 2835u, 0u, 0u })
        JwwWriter::put_u32(b, v);
    for (int i = 0; i < 128; ++i) {
        b.push_back(0x00);
        b.push_back(0x00);
        b.push_back(0xFF);
    }
    return gzip(b);
}

std::vector<uint8_t> gzip(const uint8_t* data, size_t size)
{
    z_stream z {};
    deflateInit2(&z, 9, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&z, uLong(size)) + 32);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(size);
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

} // namespace jwwtest
