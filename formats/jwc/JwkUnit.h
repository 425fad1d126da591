// TJwkData: one ".jwk" symbol in memory, its reader, extents around the origin and drawing.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/jwc/jwctype.h"

namespace detail {
class JwcByteReader;
template <class Doc> struct DocumentReading;

// The ten built-in text types of the symbol format, slots 1..10 (slots 0 and 11 are zero).
std::array<TEntJwcMojiType, 12> jwk_builtin_moji_types();
}

class TJwkData {
public:
    TJwkData();
    ~TJwkData();
    TJwkData(const TJwkData&) = delete;
    TJwkData& operator=(const TJwkData&) = delete;

    int32_t lineN = 0, arcN = 0, tenN = 0, mojiN = 0;
    TEntJwkHeader Enthd;
    std::vector<TEntJwcMojiType> EntMjtp;
    std::vector<TEntJwcLine> EntLine;
    std::vector<TEntJwcArc2> EntArc;
    std::vector<TEntJwcTen> EntTen;
    std::vector<TEntJwcMoji2> EntMoji;

    void DataInit();
    void DataFree();
    bool FileCheck(const std::u16string& FName);
    bool FileHeaderIn(const std::u16string& FName);
    bool FileIn(const std::u16string& FName);

    void SetGAttLayer();
    void GetMinMaxZahyo();
    void GLDrawALL();
    // Each returns the renderer's result code (detail::DrawResult).
    int GLDrawLine(bool dispmode, uint32_t dcol, const TEntJwcLine& e);
    int GLDrawArc(bool dispmode, uint32_t dcol, const TEntJwcArc2& e);
    int GLDrawMoji(bool dispmode, uint32_t dcol, const TEntJwcMoji2& e);
    int GLDrawTen(bool dispmode, uint32_t dcol, const TEntJwcTen& e);

    // The same as FileCheck / FileIn on bytes already in memory; FName is what the text variables see.
    static bool check_bytes(std::span<const uint8_t> data);
    bool read_bytes(std::span<const uint8_t> data, const std::u16string& FName);
    bool read_header_bytes(std::span<const uint8_t> data);

    // The header's scale as the drawing divides by it: anything not above 1e-14 counts as 1.
    double symbol_scale() const;
    // Text type of a record; a number beyond the 12-slot table counts as type 0.
    const TEntJwcMojiType& moji_type(uint8_t no) const;

private:
    friend struct detail::DocumentReading<TJwkData>;

    bool FileHeaderRead(detail::JwcByteReader& r);
    void ParaSplit(const std::u16string& text, int count);
    void read_body(detail::JwcByteReader& r);
};
