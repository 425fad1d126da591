// Test writers that build ".jwc" drawings and ".jwk" symbols byte by byte, and a scratch folder for them.
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace test_jwc {

// Entity values in file units; text bytes are code page 932.
struct Line {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    uint8_t typ = 1, col = 1, lay = 0, flg1 = 0, flg2 = 0, flg3 = 0;
};

struct Arc {
    float x = 0, y = 0, r = 0;
    double h = 1.0; // stored as h x 10000
    double st = 0, et = 0, tt = 0; // degrees, stored x 65536
    uint8_t typ = 1, col = 1, lay = 0, flg1 = 0, flg2 = 0, flg3 = 0;
};

struct Text {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string bytes;
    uint8_t no = 1, lay = 0, flg1 = 0, flg2 = 0;
    // Default: where the writer put the bytes in the pool. JWC: absolute address; JWK: pool offset.
    std::optional<uint32_t> address {};
    uint16_t jwk_spare = 0; // the two unused bytes of a JWK text record
};

struct Point {
    float x = 0, y = 0;
    uint8_t lay = 0, col = 1, flg1 = 0, flg2 = 0;
};

struct TempPoint {
    float x = 0, y = 0;
    uint8_t lay = 0;
};

struct TextType {
    uint16_t penNo = 0, width = 0, height = 0, dist = 0;
};

// "SSSS:OOOO" for an absolute address, segment = address / 16.
std::string segment_text(uint32_t address);

struct JwcFile {
    JwcFile();

    std::string id; // empty: the identification with a version and the scale mark of scale_f
    bool scale_f = true;
    std::string comment1, comment2;

    int psize = 3;
    int draw_width = 518;
    int vten_count = 0;
    // Counts written to the header; by default the sizes of the entity lists.
    std::optional<int64_t> line_count, arc_count, moji_count, ten_count;
    // Field texts that replace what the writer would put there, by field index.
    std::map<int, std::string> block2_fields, block3_fields, block4_fields;
    // Whole block texts, replacing the fields altogether.
    std::optional<std::string> block2_text, block3_text, block4_text;

    uint32_t pool_base = 0x1234 * 16 + 5; // sBufAdr1; sBufAdr2 is pool_base + pool size
    std::optional<std::string> pool; // raw pool bytes instead of the texts' own

    std::array<TempPoint, 101> vten {};
    std::array<TextType, 11> text_types {};
    std::array<float, 16> group_scale {};
    std::array<uint8_t, 16> group_srch {}, group_disp {}, group_wlay {};
    std::array<uint8_t, 256> layer_srch {}, layer_disp {};
    std::array<std::string, 256> layer_names;
    std::array<std::string, 16> group_names;

    std::vector<Line> lines;
    std::vector<Arc> arcs;
    std::vector<Text> texts;
    std::vector<Point> points;

    std::string bytes() const;
    // Where the entity records begin in bytes(): 2421 with scale_f, else 2389.
    size_t records_offset() const;
};

struct JwkFile {
    std::string id; // empty: the symbol identification
    std::string comment1, comment2;
    std::optional<int64_t> line_count, arc_count, ten_count, moji_count;
    std::string org_x = "0", org_y = "0", disp_scale = "1", scale = "1";
    std::optional<int64_t> str_space; // default: the pool's size
    std::optional<std::string> block2_text;
    std::optional<std::string> pool;

    std::vector<Line> lines;
    std::vector<Arc> arcs;
    std::vector<Point> points;
    std::vector<Text> texts;

    std::string bytes() const;
};

// A private folder under the system's temporary directory, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return dir_; }
    // Writes bytes to a file of that name in the folder and returns its full path as UTF-16.
    std::u16string write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path dir_;
};

} // namespace test_jwc
