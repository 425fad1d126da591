// TJwsData: one ".jws" symbol drawing: a fixed header with base point and group scales, then JWW records.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "formats/jww/JwwArchive.h"
#include "formats/jww/JwwDraw.h"
#include "formats/jww/jwwtype.h"

namespace detail {
template <class Doc> struct JwwDocumentReading;
}

struct TEntJwsHeader {
    std::u16string jwID;
    int32_t jwVer = 0;
    double BasePoint_x = 0, BasePoint_y = 0;
    int32_t dmy01 = 0, dmy02 = 0, dmy03 = 0, dmy04 = 0, dmy05 = 0, dmy06 = 0;
    double dmy11 = 0, dmy12 = 0, dmy13 = 0, dmy14 = 0, dmy15 = 0, dmy16 = 0;
    double Mx1 = 0, My1 = 0, Mx2 = 0, My2 = 0;
    int32_t n1 = 0; // entities announced by the file
    int32_t n2 = 0; // block definitions announced
};

class TJwsData {
public:
    TJwsData();
    ~TJwsData();
    TJwsData(const TJwsData&) = delete;
    TJwsData& operator=(const TJwsData&) = delete;

    TEntJwsHeader Enthd;
    std::vector<TEntJwwLayerGroup> EntLgrp; // 16 after a header; only the scales come from the file
    std::vector<TEntJwwMojiType> EntMoj; // never filled by reading
    std::vector<TEntJwwNo> EntNo;

    std::vector<TEntJwwLine> EntLine;
    int32_t EntLineN = 0;
    std::vector<TEntJwwEnko> EntEnko;
    int32_t EntEnkoN = 0;
    std::vector<TEntJwwTen> EntTen;
    int32_t EntTenN = 0;
    std::vector<TEntJwwMoji> EntMoji;
    int32_t EntMojiN = 0;
    std::vector<TEntJwwSunpo> EntSunpo;
    int32_t EntSunpoN = 0;
    std::vector<TEntJwwSolid> EntSolid;
    int32_t EntSolidN = 0;
    std::vector<TEntJwwBlock> EntBlock;
    int32_t EntBlockN = 0;
    std::vector<TEntJwwBlockDef> EntBlockDef;
    int32_t EntBlockDefN = 0;
    std::vector<TEntJwwBlockTree> EntBlockTree;
    int32_t EntBlockTreeN = 0;

    int32_t EntBlockNum = 0;

    // Settings of the driver; DataInit keeps them. Symbols store no images, so the table stays empty.
    std::u16string BindImageFolder;
    std::vector<TBindImageType> BindImage;
    int32_t BindImageN = 0;
    bool BindImageExp = false;
    bool BindImageExr = false;

    int32_t FileOutOpt = 0;
    int32_t FontNameN = 0;
    std::vector<std::u16string> FontNames;
    bool MojiEncode = false;

    void DataInit();
    void DataFree();
    bool FileCheck(const std::u16string& FName);
    bool FileIn(const std::u16string& FName);
    void MakeBlockTree();

    void BindImageInit();
    void BindImageExplode();
    void BindImageDeleteGzFile();
    void BindImageDeleteNonGzFile();

    void SetGAttLayer();
    void GetMinMaxZahyo();
    void GLDrawALL();

    int GLDrawImage(bool dispmode, uint32_t dcol, const TEntJwwMoji& e);
    int GLDrawSolid(bool dispmode, uint32_t dcol, const TEntJwwSolid& e);
    int GLDrawLine(bool dispmode, uint32_t dcol, const TEntJwwLine& e);
    int GLDrawEnko(bool dispmode, uint32_t dcol, const TEntJwwEnko& e);
    int GLDrawTen(bool dispmode, uint32_t dcol, const TEntJwwTen& e);
    int GLDrawMoji(bool dispmode, uint32_t dcol, const TEntJwwMoji& e);
    int GLDrawSunpo(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e);
    int GLDrawImage2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawSolid2(bool dispmode, uint32_t dcol, const TEntJwwSolid& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawLine2(bool dispmode, uint32_t dcol, const TEntJwwLine& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawEnko2(bool dispmode, uint32_t dcol, const TEntJwwEnko& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawTen2(bool dispmode, uint32_t dcol, const TEntJwwTen& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawMoji2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawSunpo2(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e, bool lf, double sc, double bx,
        double by, double b1, double b2, double b3, double b4);
    int GLDrawMoji3(bool dispmode, uint32_t dcol, const std::u16string& sm, const TEntJwwMoji& e, bool lf, double sc,
        double bx, double by, double b1, double b2, double b3, double b4);

    // The text behind a string field of a record (strFontName, str).
    const std::u16string& text(detail::JwwStr s) const { return text_pool.get(s); }
    // Stores a text for a record built in memory.
    detail::JwwStr add_text(std::u16string s) { return text_pool.add(std::move(s)); }
    const detail::JwwStringPool& strings() const { return text_pool; }

private:
    friend struct detail::JwwDocumentReading<TJwsData>;
    // Symbols keep control characters in their strings.
    static constexpr bool keeps_controls = true;

    detail::JwwStringPool text_pool;

    bool ReadHeader(detail::JwwArchive& ar);
    void publish_text_globals(const std::u16string& FName) const;
    void read_after_definitions(detail::JwwArchive& ar);
};
