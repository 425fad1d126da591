// TJwcData: one ".jwc" drawing in memory, its reader, layer states, extents and drawing.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/jwc/jwctype.h"

namespace detail {
class JwcByteReader;
template <class Doc> struct DocumentReading;
}

class TJwcData {
public:
    TJwcData();
    ~TJwcData();
    TJwcData(const TJwcData&) = delete;
    TJwcData& operator=(const TJwcData&) = delete;

    int32_t lineN = 0, arcN = 0, mojiN = 0, tenN = 0;
    TEntJwcHeader Enthd;
    std::vector<TEntJwcVten> EntVten;
    std::vector<TEntJwcMojiType> EntMjtp;
    std::vector<TEntJwcLayerGroup> EntLgrp;
    std::vector<TEntJwcLayer> EntLay;
    std::vector<TEntJwcLine> EntLine;
    std::vector<TEntJwcArc2> EntArc;
    std::vector<TEntJwcMoji2> EntMoji;
    std::vector<TEntJwcTen> EntTen;

    void DataInit();
    void DataFree();
    bool FileCheck(const std::u16string& FName);
    bool FileHeaderIn(const std::u16string& FName);
    bool FileIn(const std::u16string& FName);

    void SetGAttLayer();
    void GetMinMaxZahyo();
    void GetPaperSize(double& px, double& py);
    void GLDrawALL();
    // Each returns the renderer's result code (detail::DrawResult).
    int GLDrawLine(bool dispmode, uint32_t dcol, const TEntJwcLine& e);
    int GLDrawArc(bool dispmode, uint32_t dcol, const TEntJwcArc2& e);
    int GLDrawMoji(bool dispmode, uint32_t dcol, const TEntJwcMoji2& e);
    int GLDrawTen(bool dispmode, uint32_t dcol, const TEntJwcTen& e);
    int GLDrawVten(bool dispmode, uint32_t dcol, const TEntJwcVten& e);

    // The same as FileCheck / FileIn on bytes already in memory; FName is what the text variables see.
    static bool check_bytes(std::span<const uint8_t> data);
    bool read_bytes(std::span<const uint8_t> data, const std::u16string& FName);
    bool read_header_bytes(std::span<const uint8_t> data);

    // Temporary-point slots in use: vtenCount kept within the 100 slots the file holds.
    int32_t vten_in_use() const;
    // Text type of a record; a number beyond the 12-slot table counts as type 0.
    const TEntJwcMojiType& moji_type(uint8_t no) const;

private:
    friend struct detail::DocumentReading<TJwcData>;

    bool FileHeaderRead(detail::JwcByteReader& r);
    void ParaSplit(const std::u16string& text, int count);
    void read_body(detail::JwcByteReader& r);
};
