// TJwwData: life cycle, file check, header and whole-file reading, block tree.
#include "formats/jww/JwwUnit.h"

#include "formats/jww/JwwRead.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

#include "globals/UnitVal.h"
#include "util/Func_2_files.h"
#include "util/Func_2_text.h"

namespace {

using detail::read_file_head;
using detail::release;

constexpr int32_t kMinVersion = 220;
constexpr int32_t kMaxVersion = 700;
constexpr char kMagic[] = "JwwData.";

void repair(double& v, double with)
{
    if (!std::isfinite(v))
        v = with;
}

} // namespace

TJwwData::TJwwData() { DataInit(); }

TJwwData::~TJwwData() { DataFree(); }

void TJwwData::DataInit()
{
    Enthd = TEntJwwHeader {};
    release(EntLay);
    release(EntCol);
    release(EntLtp1);
    release(EntLtp2);
    release(EntLtp3);
    release(EntColS);
    release(EntLtpS);
    detail::release_entity_lists(*this);
    BindImageInit();
    text_pool.clear();
}

void TJwwData::DataFree()
{
    // Definitions own their lists; dropping the definitions releases them.
    DataInit();
}

bool TJwwData::FileCheck(const std::u16string& FName)
{
    uint8_t head[12];
    if (!read_file_head(FName, head, sizeof head))
        return false;
    if (std::memcmp(head, kMagic, 8) != 0)
        return false;
    int32_t ver;
    std::memcpy(&ver, head + 8, 4);
    return ver >= kMinVersion && ver <= kMaxVersion;
}

std::u16string TJwwData::ReadCountedString(detail::JwwArchive& ar)
{
    return detail::read_counted_string(ar, MojiEncode);
}

std::u16string TJwwData::ReadCleanString(detail::JwwArchive& ar) { return detail::read_clean_string(ar, MojiEncode); }

void TJwwData::ReadEntAttr(detail::JwwArchive& ar, TEntJwwAttr& att) { detail::read_ent_attr(ar, Enthd.jwVer, att); }

void TJwwData::CopyEntAttr(const TEntJwwAttr& source, TEntJwwAttr& target) { target = source; }

bool TJwwData::ReadHeader(detail::JwwArchive& ar)
{
    EntLgrp.assign(16, {});
    EntLay.assign(256, {});
    EntCol.assign(10, {});
    EntLtp1.assign(8, {});
    EntLtp2.assign(5, {});
    EntLtp3.assign(4, {});
    EntMoj.assign(10, {});
    EntColS.assign(257, {});
    EntLtpS.assign(33, {});
    TEntJwwHeader& h = Enthd;
    auto rd = [&ar](auto& v) { return ar.read_into(v); };
    try {
        auto magic = ar.take(8);
        h.jwID = AnsiBytesToText(std::string_view(reinterpret_cast<const char*>(magic.data()), magic.size()));
        if (h.jwID != u"JwwData.")
            throw detail::JwwIoError(detail::kJwwHeaderMessage);
        rd(h.jwVer);
        if (h.jwVer < kMinVersion || h.jwVer > kMaxVersion)
            throw detail::JwwIoError(detail::kJwwVersionMessage);
        const int32_t ver = h.jwVer;

        h.strMemo = ReadCountedString(ar);
        rd(h.nZumen);
        rd(h.nWriteGLay);
        for (int g = 0; g < 16; ++g) {
            auto& grp = EntLgrp[g];
            rd(grp.anGLay);
            rd(grp.anWriteLay);
            rd(grp.adScale);
            rd(grp.anGLayProtect);
            for (int l = 0; l < 16; ++l) {
                rd(EntLay[g * 16 + l].aanLay);
                rd(EntLay[g * 16 + l].aanLayProtect);
            }
        }
        ar.skip(56);
        rd(h.lnSunpou1);
        rd(h.lnSunpou2);
        rd(h.lnSunpou3);
        rd(h.lnSunpou4);
        rd(h.lnSunpou5);
        ar.skip(4);
        rd(h.nMaxDrawWid);
        h.nMaxDrawWidBak = h.nMaxDrawWid;
        h.bSenHaba100 = false;
        if (h.nMaxDrawWid < -100) {
            h.bSenHaba100 = true;
            if (h.nMaxDrawWid >= -500 && h.nMaxDrawWid <= -401)
                h.nMaxDrawWidBak = h.nMaxDrawWid + 400;
            else if (h.nMaxDrawWid >= -300 && h.nMaxDrawWid <= -201)
                h.nMaxDrawWidBak = -h.nMaxDrawWid - 200;
            else
                h.nMaxDrawWidBak = -100;
        }
        rd(h.DPPrtGenten_x);
        rd(h.DPPrtGenten_y);
        rd(h.dPrtBairitsu);
        rd(h.nPrtSet);
        rd(h.nMemoriMode);
        rd(h.dMemoriHyoujiMin);
        rd(h.dMemoriX);
        rd(h.dMemoriY);
        rd(h.DpMemoriKjTen_x);
        rd(h.DpMemoriKjTen_y);
        for (auto& lay : EntLay)
            lay.aStrLayName = ReadCleanString(ar);
        for (auto& grp : EntLgrp)
            grp.aStrGLayName = ReadCleanString(ar);
        rd(h.dKageLevel);
        rd(h.dKageIdo);
        rd(h.nKage9_15JiFlg);
        rd(h.dKabeKageLevel);
        if (ver >= 300) {
            rd(h.dTenkuuZuLevel);
            rd(h.dTenkuuZuEnkoR);
        }
        rd(h.nMMTani3D);
        rd(h.dBairitsu);
        rd(h.DPGenten_x);
        rd(h.DPGenten_y);
        rd(h.dHanniBairitsu);
        rd(h.DPHanniGenten_x);
        rd(h.DPHanniGenten_y);
        if (ver >= 231) {
            for (int i = 1; i <= 8; ++i) {
                rd(h.dZoomJumpBairitsu[i]);
                rd(h.DPZoomJumpGenten_x[i]);
                rd(h.DPZoomJumpGenten_y[i]);
                rd(h.nZoomJumpGLay[i]);
            }
            rd(h.dDm11);
            rd(h.dDm12);
            rd(h.dDm13);
            rd(h.lnDm1);
            rd(h.dDm21);
            rd(h.dDm22);
            rd(h.dMojiBG);
            rd(h.nMojiBG);
        } else {
            for (int i = 1; i <= 4; ++i) {
                rd(h.dZoomJumpBairitsu[i]);
                rd(h.DPZoomJumpGenten_x[i]);
                rd(h.DPZoomJumpGenten_y[i]);
            }
        }
        for (auto& v : h.adFukusenSuuchi)
            rd(v);
        rd(h.dRyougawaFukusenTomeDe);
        for (auto& c : EntCol) {
            rd(c.aPenColor);
            rd(c.anPenWidth);
        }
        for (auto& c : EntCol) {
            rd(c.aPrtPenColor);
            rd(c.anPrtPenWidth);
            rd(c.adPrtTenHankei);
        }
        auto rd_ltype = [&](TEntJwwLineTypeNo& t) {
            rd(t.alLType);
            rd(t.anTokushuSenUintDot);
            rd(t.anTokushuSenPich);
            rd(t.anPrtTokushuSenPich);
        };
        for (auto& t : EntLtp1)
            rd_ltype(t);
        for (auto& t : EntLtp2) {
            rd(t.alLType);
            rd(t.anRandSenWide);
            rd(t.anTokushuSenPich);
            rd(t.anPrtRandSenWide);
            rd(t.anPrtTokushuSenPich);
        }
        for (auto& t : EntLtp3)
            rd_ltype(t);
        rd(h.nDrawGamenTen);
        rd(h.nDrawPrtTen);
        rd(h.nBitMapFirstDraw);
        rd(h.nGyakuDraw);
        rd(h.nGyakuSearch);
        rd(h.nColorPrint);
        rd(h.nLayJunPrint);
        rd(h.nColJunPrint);
        rd(h.nPrtRenzoku);
        rd(h.nPrtKyoutsuuGray);
        int32_t dpi = ar.i32();
        h.nPrtDpi = dpi / 10;
        h.nPrtDispOnlyNonDraw = dpi % 10;
        if (ver >= 223) {
            rd(h.lnDrawTime);
            rd(h.nEyeInit);
            rd(h.dEye_H_Ichi_1);
            rd(h.dEye_H_Ichi_2);
            rd(h.dEye_H_Ichi_3);
            rd(h.dEye_Z_Ichi_1);
            rd(h.dEye_Y_Ichi_1);
            rd(h.dEye_Z_Ichi_2);
            rd(h.dEye_Y_Ichi_2);
            rd(h.dEye_V_Ichi_3);
        }
        if (ver >= 225) {
            rd(h.dSenNagasaSnpou);
            rd(h.dBoxSunpouX);
            rd(h.dBoxSunpouY);
            rd(h.dEnHankeiSnpou);
        }
        if (ver >= 230) {
            rd(h.nSolidNinniColor);
            rd(h.SolidColor);
        }
        if (ver >= 420) {
            for (auto& c : EntColS) {
                rd(c.aPenColor);
                rd(c.anPenWidth);
            }
            for (auto& c : EntColS) {
                c.astrUDColorName = ReadCleanString(ar);
                rd(c.aPrtPenColor);
                rd(c.anPrtPenWidth);
                rd(c.adPrtTenHankei);
            }
            for (auto& t : EntLtpS) {
                rd(t.alLType);
                rd(t.anTokushuSenUintDot);
                rd(t.anTokushuSenPich);
                rd(t.anPrtTokushuSenPich);
            }
            for (auto& t : EntLtpS) {
                t.astrUDLTypeName = ReadCleanString(ar);
                rd(t.anUDLTypeSegment);
                for (int i = 1; i <= 10; ++i)
                    rd(t.aadUDLTypePitch[i]);
            }
        }
        for (auto& m : EntMoj) {
            rd(m.adMojiX);
            rd(m.adMojiY);
            rd(m.adMojiD);
            rd(m.anMojiCol);
        }
        rd(h.dMojiSizeX);
        rd(h.dMojiSizeY);
        rd(h.dMojiKankaku);
        rd(h.nMojiColor);
        rd(h.nMojiShu);
        rd(h.dMojiSeiriGyouKan);
        rd(h.dMojiSeiriSuu);
        rd(h.nMojiKijunZureOn);
        rd(h.adMojiKijunZureX0);
        rd(h.adMojiKijunZureX1);
        rd(h.adMojiKijunZureX2);
        rd(h.adMojiKijunZureY0);
        rd(h.adMojiKijunZureY1);
        size_t last = rd(h.adMojiKijunZureY2);

        for (auto& m : EntMoj) {
            repair(m.adMojiX, 3.0);
            repair(m.adMojiY, 3.0);
            repair(m.adMojiD, 0.0);
        }
        repair(h.dMojiSizeX, 3.0);
        repair(h.dMojiSizeY, 3.0);
        repair(h.dMojiKankaku, 0.0);
        // Only the last field is checked: a short file leaves partial values before it.
        if (last == 0)
            throw detail::JwwIoError(detail::kJwwIoMessage);
        return true;
    } catch (const detail::JwwIoError&) {
        return false;
    }
}

bool TJwwData::FileHeaderIn(const std::u16string& FName)
{
    std::vector<uint8_t> bytes;
    if (!detail::read_file_bytes(FName, bytes))
        return false;
    DataInit();
    detail::JwwArchive ar(bytes);
    return ReadHeader(ar);
}

void TJwwData::read_after_definitions(detail::JwwArchive& ar)
{
    if (Enthd.jwVer < 700 || !(BindImageExp || BindImageExr))
        return;
    BindImageInit();
    try {
        detail::read_bind_image_table(ar, MojiEncode, BindImageFolder, BindImageExp, BindImage);
    } catch (...) {
        BindImageN = int32_t(BindImage.size());
        throw;
    }
    BindImageN = int32_t(BindImage.size());
}

void TJwwData::publish_text_globals(const std::u16string& FName) const
{
    detail::publish_jww_text_globals(FName, Enthd);
}

bool TJwwData::FileIn(const std::u16string& FName)
{
    return detail::JwwDocumentReading<TJwwData>::file_in(*this, FName);
}

void detail::make_block_tree(const std::vector<TEntJwwBlock>& blocks, std::vector<TEntJwwBlockDef>& defs,
    std::vector<TEntJwwBlockTree>& tree, int32_t& used_defs, int32_t& tree_n)
{
    try {
        detail::build_block_tree(blocks, defs, tree, used_defs);
    } catch (const std::bad_alloc&) {
        tree.clear();
    }
    tree_n = int32_t(tree.size());
}

void TJwwData::MakeBlockTree()
{
    detail::make_block_tree(EntBlock, EntBlockDef, EntBlockTree, EntBlockNum, EntBlockTreeN);
}

void TJwwData::BindImageInit()
{
    release(BindImage);
    BindImageN = 0;
}

namespace detail {

void publish_jww_text_globals(const std::u16string& path, const TEntJwwHeader& hd)
{
    gFilePath = path;
    int32_t minutes = hd.lnDrawTime / 60;
    std::u16string mm = IntToText(minutes % 60);
    if (mm.size() == 1)
        mm = u"0" + mm;
    gDrawTime = IntToText(minutes / 60) + u" : " + mm;
    size_t crlf = hd.strMemo.find(u"\r\n");
    if (crlf == std::u16string::npos) {
        gMemo1 = hd.strMemo;
        gMemo2.clear();
        gDrawTitle = gMemo1;
    } else {
        gMemo1 = hd.strMemo.substr(0, crlf);
        gMemo2 = hd.strMemo.substr(crlf + 2);
        gDrawTitle = gMemo1 + u"\u3000" + gMemo2;
    }
    gPrtBairitsu = hd.dPrtBairitsu;
}

} // namespace detail
