// TJwsData: life cycle, file check, header and body reading, layers, extents and drawing of ".jws" symbols.
#include "formats/jww/JwsUnit.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

#include "formats/jww/JwwDraw.h"
#include "formats/jww/JwwRead.h"
#include "formats/jww/JwwUnit.h"
#include "globals/UnitVal.h"
#include "graphics/BaseMark.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "util/Func_2_files.h"
#include "util/Func_2_text.h"

namespace {

using detail::block_trans;
using detail::jww_painter;
using detail::read_file_head;
using detail::release;

constexpr int32_t kMinVersion = 230;
constexpr int32_t kMaxVersion = 700;
constexpr size_t kMagicBytes = 7;
constexpr size_t kReservedBytes = 193;
constexpr const char* kJwsHeaderMessage = "JWS-Header Error";
constexpr const char* kJwsVersionMessage = "JWS-Version Error";

std::u16string magic_text(std::span<const uint8_t> b)
{
    return AnsiBytesToText(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

} // namespace

TJwsData::TJwsData() { DataInit(); }

TJwsData::~TJwsData() { DataFree(); }

void TJwsData::DataInit()
{
    Enthd = TEntJwsHeader {};
    detail::release_entity_lists(*this);
    BindImageInit();
    text_pool.clear();
}

void TJwsData::DataFree() { DataInit(); }

bool TJwsData::FileCheck(const std::u16string& FName)
{
    uint8_t head[kMagicBytes + kReservedBytes + 4];
    if (!read_file_head(FName, head, sizeof head))
        return false;
    if (magic_text({ head, kMagicBytes }) != u"JwsData")
        return false;
    int32_t ver;
    std::memcpy(&ver, head + kMagicBytes + kReservedBytes, 4);
    return ver >= kMinVersion && ver <= kMaxVersion;
}

bool TJwsData::ReadHeader(detail::JwwArchive& ar)
{
    EntLgrp.assign(16, {});
    TEntJwsHeader& h = Enthd;
    auto rd = [&ar](auto& v) { return ar.read_into(v); };
    try {
        h.jwID = magic_text(ar.take(kMagicBytes));
        if (h.jwID != u"JwsData")
            throw detail::JwwIoError(kJwsHeaderMessage);
        ar.skip(kReservedBytes);
        rd(h.jwVer);
        if (h.jwVer < kMinVersion || h.jwVer > kMaxVersion)
            throw detail::JwwIoError(kJwsVersionMessage);
        rd(h.BasePoint_x);
        rd(h.BasePoint_y);
        for (auto& g : EntLgrp) {
            rd(g.adScale);
            g.anGLay = 2;
            g.anWriteLay = 0;
            g.anGLayProtect = 0;
            g.aStrGLayName.clear();
        }
        for (int32_t* v : { &h.dmy01, &h.dmy02, &h.dmy03, &h.dmy04, &h.dmy05, &h.dmy06 })
            rd(*v);
        for (double* v : { &h.dmy11, &h.dmy12, &h.dmy13, &h.dmy14, &h.dmy15, &h.dmy16 })
            rd(*v);
        rd(h.Mx1);
        rd(h.My1);
        rd(h.Mx2);
        if (rd(h.My2) == 0)
            throw detail::JwwIoError(detail::kJwwIoMessage);
        return true;
    } catch (const detail::JwwIoError&) {
        return false;
    }
}

// A symbol stores no images: whatever follows the definitions is not read.
void TJwsData::read_after_definitions(detail::JwwArchive&) { }

void TJwsData::publish_text_globals(const std::u16string& FName) const
{
    gFilePath = FName;
    gDrawTime.clear();
    gMemo1.clear();
    gMemo2.clear();
    gDrawTitle.clear();
    gPrtBairitsu = 1.0;
}

bool TJwsData::FileIn(const std::u16string& FName)
{
    return detail::JwwDocumentReading<TJwsData>::file_in(*this, FName);
}

void TJwsData::MakeBlockTree()
{
    detail::make_block_tree(EntBlock, EntBlockDef, EntBlockTree, EntBlockNum, EntBlockTreeN);
}

void TJwsData::BindImageInit()
{
    release(BindImage);
    BindImageN = 0;
}

void TJwsData::BindImageExplode()
{
    // Symbols are never inflated; the listed ".gz" files are only looked for.
    if (BindImageFolder.empty())
        return;
    for (int32_t i = 0; i < BindImageN && size_t(i) < BindImage.size(); ++i) {
        std::u16string name = detail::bind_image_plain_name(BindImage[size_t(i)].Fname);
        if (detail::is_gz_name(name))
            (void)IsFile(BindImageFolder + name);
    }
}

void TJwsData::BindImageDeleteGzFile() { detail::delete_bind_images(BindImageFolder, BindImage, BindImageN, true); }

void TJwsData::BindImageDeleteNonGzFile() { detail::delete_bind_images(BindImageFolder, BindImage, BindImageN, false); }

// ---- Layers, extents, drawing.

void TJwsData::SetGAttLayer() { detail::jww_set_layers(EntLgrp, {}, true); }

void TJwsData::GetMinMaxZahyo()
{
    detail::jww_extents(detail::jww_entities(*this), text_pool, TDPoint { Enthd.BasePoint_x, Enthd.BasePoint_y });
}

void TJwsData::GLDrawALL()
{
    jww_painter(*this).draw_all(detail::jww_entities(*this));
    detail::draw_base_mark(Enthd.BasePoint_x, Enthd.BasePoint_y);
}

int TJwsData::GLDrawImage(bool dispmode, uint32_t dcol, const TEntJwwMoji& e)
{
    return jww_painter(*this).image(dispmode, dcol, e);
}
int TJwsData::GLDrawSolid(bool dispmode, uint32_t dcol, const TEntJwwSolid& e)
{
    return jww_painter(*this).solid(dispmode, dcol, e);
}
int TJwsData::GLDrawLine(bool dispmode, uint32_t dcol, const TEntJwwLine& e)
{
    return jww_painter(*this).line(dispmode, dcol, e);
}
int TJwsData::GLDrawEnko(bool dispmode, uint32_t dcol, const TEntJwwEnko& e)
{
    return jww_painter(*this).enko(dispmode, dcol, e);
}
int TJwsData::GLDrawTen(bool dispmode, uint32_t dcol, const TEntJwwTen& e)
{
    return jww_painter(*this).ten(dispmode, dcol, e);
}
int TJwsData::GLDrawMoji(bool dispmode, uint32_t dcol, const TEntJwwMoji& e)
{
    return jww_painter(*this).moji(dispmode, dcol, e);
}
int TJwsData::GLDrawSunpo(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e)
{
    return jww_painter(*this).sunpo(dispmode, hojof, dcol, e);
}
int TJwsData::GLDrawImage2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, bool lf, double sc, double bx, double by,
    double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).image2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwsData::GLDrawSolid2(bool dispmode, uint32_t dcol, const TEntJwwSolid& e, bool lf, double sc, double bx,
    double by, double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).solid2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwsData::GLDrawLine2(bool dispmode, uint32_t dcol, const TEntJwwLine& e, bool lf, double sc, double bx, double by,
    double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).line2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwsData::GLDrawEnko2(bool dispmode, uint32_t dcol, const TEntJwwEnko& e, bool lf, double sc, double bx, double by,
    double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).enko2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwsData::GLDrawTen2(bool dispmode, uint32_t dcol, const TEntJwwTen& e, bool lf, double sc, double bx, double by,
    double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).ten2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwsData::GLDrawMoji2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, bool lf, double sc, double bx, double by,
    double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).moji2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwsData::GLDrawSunpo2(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e, bool lf, double sc,
    double bx, double by, double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).sunpo2(dispmode, hojof, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwsData::GLDrawMoji3(bool dispmode, uint32_t dcol, const std::u16string& sm, const TEntJwwMoji& e, bool lf,
    double sc, double bx, double by, double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).moji3(dispmode, dcol, sm, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
