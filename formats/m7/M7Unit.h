// TM7Data: one ".m7" drawing in memory and its two-pass chunk reader.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "formats/m7/m7type.h"

namespace detail {
class M7Reader;
}

// What the drawing side must bound itself, because the file may hold any value there:
//   - TM7ObjectText::style may exceed 20 (index of `txtstl`);
//   - a style's `penno`, `TM7SymbolStyle::point_pen()` and `TM7DimStyle::txtstlno` may lie outside
//     the 16 pens of `prnstl.width` / the 21 text styles;
//   - TM7ObjectMapping::bmp may be shorter than size.X * size.Y * depth describes.
// Everything else is bounded here: line-type counts lie in 0..10, `cnt` equals the size of `pt`
// and is at least 1, `byt` equals the size of `bmp`, nibbles of `attr` index 16-entry tables.
class TM7Data {
public:
    TM7Data();
    ~TM7Data();
    TM7Data(const TM7Data&) = delete;
    TM7Data& operator=(const TM7Data&) = delete;

    int32_t CurGrpId = 0;
    int32_t CurGrpEn = 0;
    int32_t CurGrpN = 0;
    int32_t CurGrpNo = 0;
    bool DispMode = false;
    bool HojoMode = true;
    std::u16string Title;
    TM7LayerInfo li;
    TM7PaperSize psz;
    TM7AxisInfo ai;
    TM7GridInfo gi;
    std::array<TM7TextStyle, 21> txtstl {};
    std::array<TM7DimStyle, 20> dimstl {};
    std::array<uint8_t, 234> dimstlex {};
    TM7SymbolStyle symstl;
    TM7PrintStyle prnstl;
    TM7PrintInfo pri;
    std::array<uint32_t, 272> coltbl {};
    std::array<TM7ViewInfo, 32> viewinfo {};

    // Each list's size is its capacity (grown in steps of 100); the N count gives the entries in use.
    int32_t EntN = 0;
    std::vector<TM7EntNo> Ent;
    int32_t ptN = 0;
    std::vector<TM7ObjectPoint> pt;
    int32_t lnN = 0;
    std::vector<TM7ObjectLine> ln;
    int32_t lnxN = 0;
    std::vector<TM7ObjectLineEx> lnx;
    int32_t crN = 0;
    std::vector<TM7ObjectCircle> cr;
    int32_t crxN = 0;
    std::vector<TM7ObjectCircleEx> crx;
    int32_t epN = 0;
    std::vector<TM7ObjectEllipse> ep;
    int32_t epxN = 0;
    std::vector<TM7ObjectEllipseEx> epx;
    int32_t txN = 0;
    std::vector<TM7ObjectText> tx;
    int32_t txxN = 0;
    std::vector<TM7ObjectTextEx> txx;
    int32_t bzN = 0;
    std::vector<TM7ObjectBezier> bz;
    int32_t bzxN = 0;
    std::vector<TM7ObjectBezierEx> bzx;
    int32_t plN = 0;
    std::vector<TM7ObjectBezier> pl;
    int32_t plxN = 0;
    std::vector<TM7ObjectPolylineEx> plx;
    int32_t pgN = 0;
    std::vector<TM7ObjectPolygon> pg;
    int32_t pggN = 0;
    std::vector<TM7ObjectPolygonGrad> pgg;
    int32_t pgmN = 0;
    std::vector<TM7ObjectPolygonMapping> pgm;
    int32_t bmN = 0;
    std::vector<TM7ObjectBitmap> bm;
    int32_t bmxN = 0;
    std::vector<TM7ObjectBitmapEx> bmx;
    int32_t syN = 0;
    std::vector<TM7ObjectSymbol> sy;
    int32_t grN = 0;
    std::vector<TM7ObjectGroup> gr;
    int32_t grdimN = 0;
    std::vector<TM7ObjectGroupDim> grdim;
    int32_t grqleN = 0;
    std::vector<TM7ObjectGroupQle> grqle;
    int32_t grbarN = 0;
    std::vector<TM7ObjectGroupBar> grbar;

    void DataInit();
    void DataFree();
    bool FileCheck(const std::filesystem::path& FName);
    bool FileHeaderIn(const std::filesystem::path& FName);
    bool FileIn(const std::filesystem::path& FName);

    // The same three entry points over a file image already in memory.
    bool check_memory(std::span<const uint8_t> bytes);
    bool header_in_memory(std::span<const uint8_t> bytes);
    bool read_memory(std::span<const uint8_t> bytes);

    // ---- Drawing through gGraph (M7Draw.cpp).
    static void SepAttr(uint16_t a, uint8_t& lg, uint8_t& ly, uint8_t& col, uint8_t& typ);
    void SetColor(uint8_t lg, uint8_t ly, uint8_t co, uint8_t ty, uint32_t col);
    void SetWidth(uint8_t co, uint8_t ty);
    void SetLinePattern(uint8_t co, uint8_t ty);
    void GLDrawALL();
    // ---- End of drawing.

    // Bytes of object lists reserved so far; the object pass fails once it would pass list_limit.
    size_t list_bytes() const { return list_bytes_; }
    static constexpr size_t kMaxListBytes = size_t(512) << 20;
    size_t list_limit = kMaxListBytes;
    // Larger files are refused before they are read into memory.
    static constexpr uintmax_t kMaxFileBytes = uintmax_t(1) << 31;

private:
    struct ChunkHead {
        int16_t type = 0;
        uint16_t version = 0;
        int32_t length = 0;
    };

    size_t list_bytes_ = 0;

    bool ChunkHeadIn(detail::M7Reader& rd, ChunkHead& h);
    bool HeaderChunksIn(detail::M7Reader& rd, bool& at_object);
    bool ObjectChunksIn(detail::M7Reader& rd);
    bool TitleIn(detail::M7Reader& body);
    void EntNoAdd(int type, int version, int index);
    void open_group(int type, int version, int index, int32_t members);

    bool header_chunk(const ChunkHead& h, detail::M7Reader& body, bool& known);
    bool object_chunk(const ChunkHead& h, detail::M7Reader& body, bool& known);

    template <class T> int add_entry(std::vector<T>& list, int32_t& n);

    bool LayerIn(detail::M7Reader& body);
    bool TextStyleIn(detail::M7Reader& body);
    bool DimStyleIn(detail::M7Reader& body);
    bool ViewInfoIn(detail::M7Reader& body);

    bool PointIn(int type, int version, detail::M7Reader& body);
    bool LineIn(int type, int version, detail::M7Reader& body);
    bool LineExIn(int type, int version, detail::M7Reader& body);
    bool CircleIn(int type, int version, detail::M7Reader& body);
    bool CircleExIn(int type, int version, detail::M7Reader& body);
    bool EllipseIn(int type, int version, detail::M7Reader& body);
    bool EllipseExIn(int type, int version, detail::M7Reader& body);
    bool SymbolIn(int type, int version, detail::M7Reader& body);
    bool TextIn(int type, int version, detail::M7Reader& body);
    bool TextExIn(int type, int version, detail::M7Reader& body);
    bool PolylineIn(int type, int version, detail::M7Reader& body);
    bool PolylineExIn(int type, int version, detail::M7Reader& body);
    bool BezierIn(int type, int version, detail::M7Reader& body);
    bool BezierExIn(int type, int version, detail::M7Reader& body);
    bool PolygonIn(int type, int version, detail::M7Reader& body);
    bool PolygonGradIn(int type, int version, detail::M7Reader& body);
    bool PolygonMappingIn(int type, int version, detail::M7Reader& body);
    bool BitmapIn(int type, int version, detail::M7Reader& body);
    bool BitmapExIn(int type, int version, detail::M7Reader& body);
    bool GroupIn(int type, int version, detail::M7Reader& body);
    bool GroupDimIn(int type, int version, detail::M7Reader& body);
    bool GroupQleIn(int type, int version, detail::M7Reader& body);
    bool GroupBarIn(int type, int version, detail::M7Reader& body);

    bool known_text_style(const std::u16string& name) const;
};
