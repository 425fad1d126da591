// The process-wide attribute tables: layer states and names, pen colours, widths, point radii, line types.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// One layer; index = group x 16 + layer within the group.
struct TjwvLayer {
    int32_t sta = 1; // 1 normal, 2 display only, 3 hidden
    double sca = 1.0; // always positive
    std::u16string gna; // "[G] " + group name, G one upper-case hex digit
    std::u16string nam; // "(L) " + layer name, L one upper-case hex digit
};

// One colour number: pen colour, pen width and point-marker radius (drawing units).
struct TjwvColor {
    uint32_t color = 0xFF000000;
    double width = 0;
    double ten_r = 0;
};

// One line type: a dash pattern, or the zigzag of a random line when amp is not 0.
struct TjwvLtype {
    static constexpr int max_seg = 32;

    int32_t seg = 0; // entries in use, 0 to 32; 0 is solid
    double amp = 0;
    std::array<double, max_seg> pa {}; // > 0 dash, < 0 gap, 0 dot; entries from seg on are 0
    double pit = 0; // sum of |pa[0..seg-1]|
};

class TgraAttribute {
public:
    TgraAttribute();
    ~TgraAttribute();
    TgraAttribute(const TgraAttribute&) = delete;
    TgraAttribute& operator=(const TgraAttribute&) = delete;

    bool DispMode = false;
    bool PrintMode = false;
    int32_t Sikii0 = -1;
    int32_t Sikii1 = -1;
    int32_t Sikii2 = -1;
    int32_t BkColor = 0;
    uint32_t BackColor = 0xFFFFFFFF;
    uint32_t ForeColor = 0xFF000000;
    uint32_t GrayColor = 0xFF808080;
    bool DispHojo = false;
    bool DispKijun = false;
    bool All1ColorFlag = false;
    uint32_t All1Color = 0xFFFFFFFF;
    std::vector<TjwvLayer> jwvLay;
    int32_t jwvLayN = 0;
    std::vector<TjwvColor> jwvCol;
    int32_t jwvColN = 0;
    std::vector<TjwvLtype> jwvTyp;
    int32_t jwvTypN = 0;

    void DataInit();

    // Modes and colours.
    void SetDisplayMode(bool m);
    bool GetDisplayMode() const;
    void SetPrintMode(bool m, int32_t sk0, int32_t sk1, int32_t sk2);
    bool GetPrintMode(int32_t& sk0, int32_t& sk1, int32_t& sk2) const;
    void SetBackColor(int32_t n);
    int32_t GetBackColorNo() const;
    uint32_t GetBackColor() const;
    uint32_t GetForeColor() const;
    void SetGrayColor(uint32_t n);
    uint32_t GetGrayColor() const;
    void SetDispHojo(int32_t n);
    int32_t GetDispHojo() const;
    void SetDispKijun(int32_t n);
    int32_t GetDispKijun() const;
    void SetAll1Color(bool f, uint32_t c);
    void SetAll1Color(bool f);
    bool GetAll1ColorState() const;
    uint32_t GetAll1Color() const;

    // Layers, by index 0 to 255.
    void SetDefaultLayer();
    void SetAttrLayer(int32_t n, int32_t st, double sc, const std::u16string& glayname, const std::u16string& layname);
    void SetAttrLayer(int32_t n, int32_t st, double sc);
    void SetAttrLayer(int32_t n, int32_t st);
    bool GetAttrLayer(int32_t n, int32_t& st, double& sc, std::u16string& glayname, std::u16string& layname) const;
    int32_t GetAttrLayerState(int32_t n) const;
    double GetAttrLayerScale(int32_t n) const;
    std::u16string GetAttrLayerGName(int32_t n) const;
    std::u16string GetAttrLayerName(int32_t n) const;

    // Colours: by colour number jn (1-9, 101-356) or by table index n (0-264).
    void SetDefaultColor();
    void SetDefaultWidth();
    void SetDefaultTenR();
    void SetAttrCol(int32_t jn, uint32_t col, double wid, double ten);
    void SetAttrCol(int32_t jn, uint32_t col, double wid);
    void SetAttrCol(int32_t jn, uint32_t col);
    void SetAttrCol(int32_t jn, double wid, double ten);
    void SetAttrCol(int32_t jn, double wid);
    void SetAttrCol_(int32_t n, uint32_t col, double wid, double ten);
    void SetAttrCol_(int32_t n, uint32_t col, double wid);
    void SetAttrCol_(int32_t n, uint32_t col);
    void SetAttrCol_(int32_t n, double wid, double ten);
    void SetAttrCol_(int32_t n, double wid);
    uint32_t GetAttrColcol(int32_t jn) const;
    double GetAttrColwid(int32_t jn) const;
    double GetAttrColten(int32_t jn) const;
    uint32_t GetAttrColcol_(int32_t n) const;
    double GetAttrColwid_(int32_t n) const;
    double GetAttrColten_(int32_t n) const;

    // Line types: by number jn (1-9, 11-19, 31-62) or by table index n (0-49).
    // seg is kept within 0 to 32 and patterns are copied only as far as both arrays reach.
    void SetDefaultLtype();
    void SetAttrTypseg(int32_t jn, int32_t sn);
    void SetAttrTypamp(int32_t jn, double am);
    void SetAttrTyppat(int32_t jn, std::span<const double> pat);
    void SetAttrTyppa1(int32_t jn, int32_t pn, double pa);
    void SetAttrTypPit(int32_t jn);
    void SetAttrTypseg_(int32_t n, int32_t sn);
    void SetAttrTypamp_(int32_t n, double am);
    void SetAttrTyppat_(int32_t n, std::span<const double> pat);
    void SetAttrTyppa1_(int32_t n, int32_t pn, double pa);
    void SetAttrTypPit_(int32_t n);
    int32_t GetAttrTypseg(int32_t jn) const;
    double GetAttrTypamp(int32_t jn) const;
    // Copies the pattern into pat and returns the number of entries copied: seg, or fewer when pat is shorter.
    int32_t GetAttrTyppat(int32_t jn, std::span<double> pat) const;
    double GetAttrTyppa1(int32_t jn, int32_t pn) const;
    double GetAttrTyppit(int32_t jn) const;
    int32_t GetAttrTypseg_(int32_t n) const;
    double GetAttrTypamp_(int32_t n) const;
    int32_t GetAttrTyppat_(int32_t n, std::span<double> pat) const;
    double GetAttrTyppa1_(int32_t n, int32_t pn) const;
    double GetAttrTyppit_(int32_t n) const;
    void SetAttrTypScale(double scale);

private:
    int32_t ColNoToIndex(int32_t jn) const;
    int32_t TypNoToIndex(int32_t jn) const;
    TjwvLayer* layer_at(int32_t n);
    const TjwvLayer* layer_at(int32_t n) const;
    TjwvColor* color_at(int32_t n);
    const TjwvColor* color_at(int32_t n) const;
    TjwvLtype* ltype_at(int32_t n);
    const TjwvLtype* ltype_at(int32_t n) const;
    uint32_t print_color(uint32_t c, bool pen) const;
};

namespace detail {

// The tables as a conversion starts them, before a drawing is loaded: every default, auxiliary and reference
// lines shown, gray for what is drawn in gray, the background colour number given.
void start_attributes(TgraAttribute& att, int32_t back_color_no);

} // namespace detail
