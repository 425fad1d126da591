// Builds ".jww" drawings byte by byte for tests, examples and benchmarks.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/jww/jwwtype.h"

namespace jwwtest {

// How a string is stored: count byte, or 0xFF + u16 count; code page 932 or UTF-16 (0xFF 0xFFFE marker
// followed by a byte count of code units, or 0xFF + u16 for the long form).
enum class StrForm { ansi, ansi_long, utf16, utf16_long };

// How a class that was named before is referred to: 0x8000 + index, or 0x7FFF + u32 (with or without
// its top bit set). automatic picks the short form while the index fits.
enum class TagForm { automatic, short_ref, long_ref, long_ref_top_bit };

// Attribute with the most used fields first; layer 0..15 within group 0..15.
TEntJwwAttr attr(int color = 1, int style = 1, int layer = 0, int group = 0, int width = 0, int flags = 0);

// Records with their geometry filled; everything else stays zero.
TEntJwwLine line(double x1, double y1, double x2, double y2, TEntJwwAttr a = attr());
TEntJwwEnko circle(double cx, double cy, double r, TEntJwwAttr a = attr());
// Arc from start over sweep radians; flatness 1 and tilt 0 unless given.
TEntJwwEnko arc(double cx, double cy, double r, double start, double sweep, TEntJwwAttr a = attr(),
    double flatness = 1.0, double tilt = 0.0);
TEntJwwTen point(double x, double y, TEntJwwAttr a = attr());
// A marker point: style 100 with code, rotation and scale.
TEntJwwTen marker(double x, double y, uint32_t code, double rotation, double scale, TEntJwwAttr a = attr(1, 100));
// Text record from (x1, y1) to (x2, y2); the strings are given to JwwWriter::add.
TEntJwwMoji text(double x1, double y1, double x2, double y2, double sizeX, double sizeY, double spacing = 0,
    uint32_t style = 1, TEntJwwAttr a = attr());
TEntJwwSolid solid(
    double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4, TEntJwwAttr a = attr());
// A solid of colour number 10 carrying its own Windows colour 0x00BBGGRR.
TEntJwwSolid solid_colored(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
    uint32_t color, TEntJwwAttr a = attr(10));
TEntJwwBlock insert(
    uint32_t number, double x, double y, double sx = 1, double sy = 1, double rotation = 0, TEntJwwAttr a = attr());

class JwwWriter {
public:
    explicit JwwWriter(int32_t version = 700);

    int32_t version() const { return version_; }

    // ---- Header. Filled with the values of a plain drawing; edit freely before bytes().
    std::string magic = "JwwData."; // written as its 8 bytes (padded with NULs)
    TEntJwwHeader Enthd; // jwVer is ignored: the constructor's version is written
    std::vector<TEntJwwLayerGroup> EntLgrp; // 16
    std::vector<TEntJwwLayer> EntLay; // 256
    std::vector<TEntJwwColorNo> EntCol; // 10
    std::vector<TEntJwwLineTypeNo> EntLtp1; // 8
    std::vector<TEntJwwRandomLineNo> EntLtp2; // 5
    std::vector<TEntJwwLineTypeNo> EntLtp3; // 4
    std::vector<TEntJwwColorExNo> EntColS; // 257, written from version 420
    std::vector<TEntJwwLineTypeExNo> EntLtpS; // 33, written from version 420
    std::vector<TEntJwwMojiType> EntMoj; // 10
    // The value stored where nPrtDpi and nPrtDispOnlyNonDraw share one integer (dpi x 10 + flag).
    int32_t prt_dpi_word = 0;

    // Form of every string written from now on, unless a call names its own.
    StrForm string_form = StrForm::ansi;
    // Form of reference tags for objects added from now on.
    TagForm tag_form = TagForm::automatic;

    // ---- Entities: appended to the drawing, or to the open block definition.
    void add(const TEntJwwLine& r);
    void add(const TEntJwwEnko& r);
    void add(const TEntJwwTen& r);
    void add(const TEntJwwMoji& r, std::u16string_view font, std::u16string_view str);
    void add(const TEntJwwMoji& r, std::u16string_view font, std::u16string_view str, StrForm form);
    void add(const TEntJwwSunpo& r, std::u16string_view font, std::u16string_view str);
    void add(const TEntJwwSolid& r);
    void add(const TEntJwwBlock& r);
    // Bytes written as they are at this place of the current object list; they count as no object.
    void raw(std::vector<uint8_t> bytes);
    // An object introduced by a new-class tag naming class_name, followed by body; counted as an object.
    void unknown_class_object(std::string_view class_name, std::vector<uint8_t> body = {});

    // ---- Block definitions: entities added between begin and end belong to the definition.
    // With dtime_ext (or the top bit set in dtime) the top bit is set and 8 more bytes follow the fixed part.
    void begin_block(uint32_t number, std::u16string_view name, TEntJwwAttr a = attr(), uint32_t dtime = 0,
        uint32_t bRefferd = 0, bool dtime_ext = false);
    void end_block();

    // ---- Stored images (version 700): name, declared size and the bytes that follow it (data is
    // written only when the name is not empty and the size not 0, as a reader expects).
    void image(std::u16string_view name, const std::vector<uint8_t>& data);
    void image_entry(std::u16string_view name, int32_t size, const std::vector<uint8_t>& data);
    bool write_image_table = true;

    // ---- Counts as written; unset means the true count. long_counts writes 0xFFFF + u32 always.
    std::optional<uint32_t> entity_count;
    std::optional<uint32_t> block_count;
    std::optional<int32_t> image_count;
    bool long_counts = false;
    // Bytes after everything else.
    std::vector<uint8_t> tail;

    // The whole file.
    std::vector<uint8_t> bytes() const;
    // Only the header: rows up to the last text-placement value.
    std::vector<uint8_t> header_bytes() const;
    bool save(const std::string& path) const;

    // ---- Primitives for hand-made bytes.
    static void put_u8(std::vector<uint8_t>& out, uint8_t v);
    static void put_u16(std::vector<uint8_t>& out, uint16_t v);
    static void put_i32(std::vector<uint8_t>& out, int32_t v);
    static void put_u32(std::vector<uint8_t>& out, uint32_t v);
    static void put_f64(std::vector<uint8_t>& out, double v);
    static void put_string(std::vector<uint8_t>& out, std::u16string_view s, StrForm form);
    // Raw ANSI bytes as a counted string (for NUL and control bytes inside).
    static void put_ansi_bytes(std::vector<uint8_t>& out, std::string_view bytes, StrForm form = StrForm::ansi);
    // A record in the layout of version: the attribute loses its pen width before version 351.
    static void put_record(std::vector<uint8_t>& out, const void* record, size_t size, int32_t version);

private:
    struct Object {
        int kind = 0; // 0: raw bytes
        bool counted = false;
        TagForm tag = TagForm::automatic;
        size_t offset = 0;
        size_t size = 0;
    };
    struct List {
        std::vector<uint8_t> data;
        std::vector<Object> objects;
    };
    struct Def {
        detail::JwwBlockDefHead head;
        bool dtime_ext = false;
        std::u16string name;
        StrForm form = StrForm::ansi;
        TagForm tag = TagForm::automatic;
        List list;
    };
    struct Image {
        std::u16string name;
        int32_t size = 0;
        std::vector<uint8_t> data;
        StrForm form = StrForm::ansi;
    };

    List& current();
    void push(int kind, const std::vector<uint8_t>& body);
    void put_moji(std::vector<uint8_t>& out, const TEntJwwMoji& r, std::u16string_view font, std::u16string_view str,
        StrForm form) const;
    void put_ten(std::vector<uint8_t>& out, const TEntJwwTen& r) const;

    struct TagState {
        int64_t next_index = 1;
        int64_t class_index[8] = {};
        int64_t def_class = 0;
    };
    static void put_tag(std::vector<uint8_t>& out, TagState& st, int kind, TagForm form);
    void put_count(std::vector<uint8_t>& out, uint64_t n) const;
    void put_list(std::vector<uint8_t>& out, TagState& st, const List& list, std::optional<uint32_t> count) const;

    int32_t version_;
    List top_;
    std::vector<Def> defs_;
    bool in_def_ = false;
    std::vector<Image> images_;
};

// A 16 x 8 red 24-bit Windows bitmap, gzip-compressed as drawings store it.
std::vector<uint8_t> red_bmp_gz();

// The bytes gzip-compressed, as drawings store their images.
std::vector<uint8_t> gzip(const uint8_t* data, size_t size);
inline std::vector<uint8_t> gzip(const std::vector<uint8_t>& in) { return gzip(in.data(), in.size()); }
inline std::vector<uint8_t> gzip(std::string_view in)
{
    return gzip(reinterpret_cast<const uint8_t*>(in.data()), in.size());
}

} // namespace jwwtest
