// Records of an ".m7" drawing: document-level settings and the object kinds, with their defaults.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "util/Types.h"

// ---- Document-level records. Text fields are decoded; byte blocks without meaning here stay raw.

struct TM7LayerField {
    uint8_t state = 2; // 0 hidden, 1 grey, other values shown
    uint8_t attr = 0;
    uint32_t color = 0;
    int32_t reserved = 0;
    std::u16string text; // 257-byte field
    std::u16string module; // 17-byte field
    int32_t comid = 0;
    std::array<uint8_t, 32> dmmy {};
};

struct TM7LayerGroupField {
    uint8_t state = 2;
    uint8_t current = 0;
    std::u16string text; // 17-byte field
    double scale = 1.0; // object coordinates of the group are multiplied by it when drawn
    std::array<uint8_t, 128> reserved {};
    std::array<TM7LayerField, 17> tab {};
};

struct TM7LayerInfo {
    uint8_t current = 0;
    std::array<TM7LayerGroupField, 16> grp {};
};

struct TM7PaperSize {
    uint8_t typ = 3;
    uint8_t lout = 0; // 1: width and height exchanged
    std::array<double, 4> size { 0, 0, 420, 297 }; // x1, y1, x2, y2
};

struct TM7AxisInfo {
    int32_t mode = 0;
    double angle = 0;
    std::array<uint8_t, 128> reserved {};
};

struct TM7GridInfo {
    TDPoint org;
    TDPoint spc;
    TPoint dv { 5, 5 };
    int32_t disp = 0;
    int32_t snapmain = 1;
    int32_t snapsub = 1;
    int32_t typ = 0;
    int32_t angle = 1;
    int32_t ind = 0;
    int32_t abs = 0;
    int32_t top = 0;
    std::array<uint8_t, 108> reserved {};
};

// Also the style block of text and group objects (110 bytes in the file).
struct TM7TextStyle {
    std::u16string style; // 17-byte field: the style's name
    std::u16string font; // 33-byte field
    double hight = 0;
    double width = 0;
    double spce = 0;
    TDPoint ofset;
    uint8_t penno = 0; // any byte value: may exceed the 16 pens of the print style
    uint8_t txattr = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfPitchAndFamily = 0;
    std::array<uint8_t, 12> reserved {};
    int32_t count = 0;
};

struct TM7DimStyle {
    std::u16string style; // 16-byte field
    int32_t txtstlno = 0; // as stored: may lie outside 0..20
    double dlen = 0;
    double xlen = 0;
    double tlen = 0;
    uint8_t pen = 0;
    uint8_t term = 0;
    std::array<uint8_t, 3> dmmy {};
    double elen = 0;
    std::array<uint8_t, 16> reserved {};
};

struct TM7SymbolStyle {
    uint8_t current_pstl = 0;
    uint8_t current_astl = 0;
    std::array<uint8_t, 8> reserved {};
    std::array<std::array<uint8_t, 52>, 22> form {};

    // The point style lives in the second form entry.
    double point_diameter() const;
    // As stored: any value, including numbers outside the 16 pens.
    int32_t point_pen() const;
};

namespace detail {

struct M7LineType {
    int32_t kind = 0;
    int32_t count = 0; // segments in use; the reader keeps it within 0..10
    std::array<uint32_t, 10> seg {}; // hundredths of a millimetre
};

} // namespace detail

struct TM7PrintStyle {
    std::array<detail::M7LineType, 16> ltype {};
    std::array<int32_t, 16> width { 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 }; // hundredths of a mm
};

struct TM7PrintInfo {
    uint8_t ind = 0;
    uint8_t base = 0;
    uint8_t area = 0;
    uint8_t dmmy = 0;
    TDPoint pos;
    std::array<uint8_t, 64> reserved {};
};

struct TM7ViewInfo {
    std::u16string name; // 17-byte field
    double zoom = 1.0;
    TPoint ofset;
    uint32_t color = 0;
    int32_t penno = 0;
    int32_t ltype = 0;
    std::array<std::array<uint8_t, 17>, 16> grp {};
    std::array<uint8_t, 8> dummy {};
};

// ---- Chunk kinds, keyed as the drawing-order registry keys its entries: type x 100 + version. The reader
// dispatches on these keys and the drawing on the registry's, so both name a kind the same way.
namespace detail::m7kind {

// The key of a chunk's type and version. No kind has a version of 100 or more; such a version gets key 0,
// which names no kind, so no two type-version pairs share a key.
constexpr int32_t key(int32_t type, int32_t version)
{
    return version >= 0 && version < 100 ? type * 100 + version : 0;
}

inline constexpr int32_t Title = key(1000, 10);
inline constexpr int32_t Layers = key(1010, 20);
inline constexpr int32_t Paper = key(1020, 20);
inline constexpr int32_t Axis = key(1030, 10);
inline constexpr int32_t Grid = key(1040, 10);
inline constexpr int32_t TextStyles = key(1050, 30);
inline constexpr int32_t DimStyles = key(1060, 30);
inline constexpr int32_t DimStyleEx = key(1060, 40);
inline constexpr int32_t SymbolStyles = key(1070, 20);
inline constexpr int32_t PrintStyles = key(1080, 20);
inline constexpr int32_t PrintInfo = key(1085, 10);
inline constexpr int32_t Colours = key(1090, 20);
inline constexpr int32_t Views = key(1100, 20);

inline constexpr int32_t Point = key(2001, 20);
inline constexpr int32_t Line = key(2002, 20);
inline constexpr int32_t LineEx = key(2002, 30);
inline constexpr int32_t Circle = key(2003, 20);
inline constexpr int32_t CircleEx = key(2003, 30);
inline constexpr int32_t Ellipse = key(2005, 20);
inline constexpr int32_t EllipseEx = key(2005, 30);
inline constexpr int32_t Text = key(2007, 20);
inline constexpr int32_t TextEx = key(2007, 30);
inline constexpr int32_t Polyline = key(2008, 20);
inline constexpr int32_t PolylineEx = key(2008, 30);
inline constexpr int32_t Polygon = key(2009, 40);
inline constexpr int32_t PolygonGrad = key(2009, 50);
inline constexpr int32_t PolygonMapping = key(2009, 60);
inline constexpr int32_t Bezier = key(2017, 20);
inline constexpr int32_t BezierEx = key(2017, 30);
inline constexpr int32_t Bitmap = key(2018, 90);
inline constexpr int32_t BitmapEx = key(2018, 91);
inline constexpr int32_t Symbol = key(2020, 20);
inline constexpr int32_t Group = key(2032, 20);
inline constexpr int32_t GroupDim = key(2032, 30);
inline constexpr int32_t GroupQle = key(2032, 40);
inline constexpr int32_t GroupBar = key(2032, 50);

} // namespace detail::m7kind

struct TM7EntNo {
    int32_t INo = 0; // detail::m7kind::key(chunk type, version)
    int32_t ENo = 0; // index in the kind's list
    int32_t grpid = 0; // INo of the enclosing group, 0 when none
    int32_t grpen = 0; // that group's index in its list
    int32_t grpno = 0; // position within the group, from 0
};

// ---- Object records. Every object starts with the common header `hd`.

struct TM7ObjectHeader {
    int32_t id = 0;
    uint8_t cotype = 0;
    uint16_t attr = 0; // ly << 12 | lg << 8 | col << 4 | typ
    uint32_t color = 0; // RGB, red in the low byte
};

namespace detail {

// One end of an edge block: the arguments of the decoration drawn there.
struct M7EdgeEnd {
    std::array<uint8_t, 40> reserved {};
    double sx = 0;
    double sy = 0;
    double le = 0;
    double ox = 0;
    double oy = 0;
    double r1 = 0;
    double r2 = 0;
    double ea = 0;
    double an = 0;
    uint8_t sty = 0;
    uint8_t ext = 0;
    uint8_t exa = 0;
    double pa1 = 0;
    double pa2 = 0;
};

} // namespace detail

struct TM7ObjectEdge {
    std::array<detail::M7EdgeEnd, 2> half {}; // 0: start end, 1: finishing end
};

struct TM7ObjectPoint {
    TM7ObjectHeader hd;
    TDPoint pos;
};

struct TM7ObjectLine {
    TM7ObjectHeader hd;
    std::array<TDPoint, 2> pos {}; // start, end
};

struct TM7ObjectLineEx {
    TM7ObjectLine ln;
    TM7ObjectEdge e;
};

struct TM7ObjectCircle {
    TM7ObjectHeader hd;
    TDPoint pos; // centre
    double r = 0;
    std::array<double, 2> arc {}; // start and end angle
};

struct TM7ObjectCircleEx {
    TM7ObjectCircle cr;
    TM7ObjectEdge e;
};

struct TM7ObjectEllipse {
    TM7ObjectHeader hd;
    TDPoint pos; // centre
    std::array<double, 2> r {}; // first and second semi-axis
    std::array<double, 2> arc {};
    double angle = 0; // tilt of the first axis
};

struct TM7ObjectEllipseEx {
    TM7ObjectEllipse ep;
    TM7ObjectEdge e;
};

struct TM7ObjectSymbol {
    TM7ObjectHeader hd;
    TDPoint pos;
    double len = 0;
    TDPoint o;
    std::array<double, 2> r {};
    double elipang = 0;
    double angle = 0;
    uint8_t style = 0;
    uint8_t extype = 0;
    uint8_t exattr = 0;
    std::array<double, 2> param {};
};

struct TM7ObjectText {
    TM7ObjectHeader hd;
    TDPoint pos;
    double angle = 0;
    uint8_t style = 0; // as stored: may exceed 20
    uint8_t base = 0;
    uint8_t lout = 0; // 1: vertical writing
    std::u16string text;
};

struct TM7ObjectTextEx {
    TM7ObjectHeader hd;
    TDPoint pos;
    double angle = 0;
    uint8_t style = 0;
    uint8_t base = 0;
    uint8_t lout = 0;
    std::u16string text;
    TM7TextStyle ex;
};

// Polylines (2008/20) and Bezier chains (2017/20) share this record. `cnt` >= 1 and
// `pt` holds exactly `cnt` points.
struct TM7ObjectBezier {
    TM7ObjectHeader hd;
    uint8_t typ = 0;
    int16_t cnt = 0;
    std::vector<TDPoint> pt;
};

struct TM7ObjectPolylineEx {
    TM7ObjectHeader hd;
    uint8_t typ = 0;
    int16_t cnt = 0;
    std::vector<TDPoint> pt;
    TM7ObjectEdge e;
};

struct TM7ObjectBezierEx {
    TM7ObjectHeader hd;
    uint8_t typ = 0;
    int16_t cnt = 0;
    std::vector<TDPoint> pt;
    TM7ObjectEdge e;
};

struct TM7ObjectPolygon {
    TM7ObjectHeader hd;
    int32_t ptn = 0; // fill pattern
    int16_t cnt = 0;
    std::vector<TDPoint> pt;
};

struct TM7ObjectGrad {
    int32_t typ = 0;
    int32_t reserved = 0;
    std::array<uint32_t, 2> col {};
    std::array<TDPoint, 2> pos {};
    double angle = 0;
};

struct TM7ObjectPolygonGrad {
    TM7ObjectHeader hd;
    int32_t ptn = 0;
    int16_t cnt = 0;
    std::vector<TDPoint> pt;
    TM7ObjectGrad e;
};

// `bmp` holds the pixel bytes the chunk carries; nothing checks them against size and depth.
struct TM7ObjectMapping {
    std::array<uint8_t, 4> reserved {};
    std::array<TDPoint, 2> pos {};
    TPoint size; // pixel width and height
    int32_t depth = 0; // bits per pixel
    std::array<uint8_t, 1024> pe {}; // 256 palette entries
    std::vector<uint8_t> bmp;
};

struct TM7ObjectPolygonMapping {
    TM7ObjectHeader hd;
    int32_t ptn = 0;
    int16_t cnt = 0;
    std::vector<TDPoint> pt;
    TM7ObjectMapping e;
};

// Picture kinds of `typ`: 1 JPEG, 2 PNG, 10 GIF, 11 TIFF, 12 BMP; others have no file form.
// `byt` equals the size of `bmp`, the image file's bytes as stored.
struct TM7ObjectBitmap {
    TM7ObjectHeader hd;
    int32_t byt = 0;
    int32_t typ = 0;
    std::array<TDPoint, 4> pos {}; // corners
    std::vector<uint8_t> bmp;
};

struct TM7ObjectBitmapEx {
    TM7ObjectHeader hd;
    int32_t byt = 0;
    int32_t typ = 0;
    std::array<TDPoint, 4> pos {};
    std::vector<uint8_t> bmp;
    std::vector<uint8_t> exdata;
};

struct TM7ObjectGroup {
    TM7ObjectHeader hd;
    std::array<TDPoint, 3> pos {};
    int32_t cnt = 0; // member objects that follow in the file
    std::u16string gname;
};

struct TM7ObjectGroupDimension {
    std::array<double, 4> rc {};
    double angle = 0;
    std::array<TDPoint, 4> pos {};
    std::array<double, 2> ang {};
    double r = 0;
    double funit = 0;
    uint8_t base = 0;
    uint8_t bunit = 0;
    uint8_t point = 0;
    uint8_t strip = 0;
    uint8_t camma = 0;
    uint8_t jtype = 0;
    TM7TextStyle txtstl;
    TM7TextStyle epsstl;
    std::array<uint8_t, 10> reserved {};
};

struct TM7ObjectGroupDim {
    TM7ObjectHeader hd;
    std::array<TDPoint, 3> pos {};
    int32_t cnt = 0;
    std::u16string gname;
    TM7ObjectGroupDimension dim;
};

struct TM7ObjectGroupAnno {
    uint8_t align = 0;
    uint8_t symb = 0;
    uint8_t camma = 0;
    uint8_t jtype = 0;
    int16_t line = 0;
    double spce = 0;
    double angle = 0;
    TM7TextStyle txtstl;
    TM7TextStyle epsstl;
    std::array<double, 4> rc {};
    double rcang = 0;
};

struct TM7ObjectGroupQle {
    TM7ObjectHeader hd;
    std::array<TDPoint, 3> pos {};
    int32_t cnt = 0;
    std::u16string gname;
    TM7ObjectGroupAnno qle;
};

struct TM7ObjectGroupBalloon {
    uint8_t aux = 0;
    uint8_t symb = 0;
    double angle = 0;
    TM7TextStyle txtstl;
    std::array<double, 4> rc {};
    double rcang = 0;
};

struct TM7ObjectGroupBar {
    TM7ObjectHeader hd;
    std::array<TDPoint, 3> pos {};
    int32_t cnt = 0;
    std::u16string gname;
    TM7ObjectGroupBalloon bar;
};
