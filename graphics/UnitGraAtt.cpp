// The attribute tables and their built-in defaults.
#include "graphics/UnitGraAtt.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kLayers = 256;
constexpr int32_t kColors = 265;
constexpr int32_t kLtypes = 50;
constexpr int32_t kPenColors = 9; // indexes 0 to 8; extended colours follow

char16_t hex_digit(int32_t v) { return u"0123456789ABCDEF"[v & 15]; }

std::u16string group_prefix(int32_t n) { return std::u16string(u"[") + hex_digit(n / 16) + u"] "; }

std::u16string layer_prefix(int32_t n) { return std::u16string(u"(") + hex_digit(n % 16) + u") "; }

int32_t clamp_seg(int32_t sn) { return std::clamp(sn, int32_t(0), int32_t(TjwvLtype::max_seg)); }

double period(const TjwvLtype& t)
{
    double sum = 0;
    for (int32_t i = 0; i < clamp_seg(t.seg); ++i)
        sum += std::fabs(t.pa[size_t(i)]);
    return sum;
}

struct DefaultColor {
    int32_t jn;
    uint32_t white_bg;
    uint32_t black_bg;
};

constexpr DefaultColor kDefaultColors[] = {
    { 1, 0xFF00C0C0, 0xFF00FFFF },
    { 2, 0xFF000000, 0xFFFFFFFF },
    { 3, 0xFF00C000, 0xFF00FF00 },
    { 4, 0xFFC0C000, 0xFFFFFF00 },
    { 5, 0xFFC000C0, 0xFFC000C0 },
    { 6, 0xFF0000FF, 0xFF2020FF },
    { 7, 0xFF008080, 0xFF008080 },
    { 8, 0xFFFF0080, 0xFFA00000 },
    { 9, 0xFFFF80FF, 0xFFC08080 },
    { 101, 0xFF000000, 0xFFFFFFFF },
    { 102, 0xFFFF0000, 0xFFFF0000 },
    { 103, 0xFF00FF00, 0xFF00FF00 },
    { 104, 0xFF0000FF, 0xFF0000FF },
    { 105, 0xFFFFFF00, 0xFFFFFF00 },
    { 106, 0xFFFF00FF, 0xFFFF00FF },
    { 107, 0xFF00FFFF, 0xFF00FFFF },
    { 108, 0xFF000000, 0xFFFFFFFF },
    { 109, 0xFFC00080, 0xFFC00080 },
    { 110, 0xFFC08040, 0xFFC08040 },
    { 111, 0xFFFF8000, 0xFFFF8000 },
    { 112, 0xFF80C080, 0xFF80C080 },
    { 113, 0xFF0080FF, 0xFF0080FF },
    { 114, 0xFF8040FF, 0xFF8040FF },
    { 115, 0xFFC0C0C0, 0xFFC0C0C0 },
    { 116, 0xFF808080, 0xFF808080 },
};

constexpr double kPenWidths[kPenColors] = { 0.10, 0.15, 0.20, 0.25, 0.30, 0.35, 0.40, 0.50, 0.01 };
constexpr double kExtendedWidth = 0.18;
constexpr double kPenTenR[kPenColors] = { 0.2, 0.3, 0.4, 0.5, 0.5, 0.5, 0.5, 0.5, 0.2 };
constexpr double kExtendedTenR = 0.2;

struct DefaultLtype {
    int32_t jn;
    std::vector<double> pa;
};

// Types 2 to 9 in multiples of this unit; each pattern starts and ends with half its longest dash.
constexpr double kUnit = 0.36;

const std::vector<DefaultLtype>& default_patterns()
{
    static const std::vector<DefaultLtype> table = [] {
        std::vector<DefaultLtype> t = {
            { 2, { 1, -2, 1 } },
            { 3, { 2, -4, 2 } },
            { 4, { 3, -2, 3 } },
            { 5, { 5, -2, 2, -2, 5 } },
            { 6, { 13, -2, 2, -2, 13 } },
            { 7, { 4, -2, 1, -2, 1, -2, 4 } },
            { 8, { 12, -2, 1, -2, 1, -2, 12 } },
            { 9, { 0.5, -3, 0.5 } },
        };
        for (auto& d : t)
            for (double& v : d.pa)
                v *= kUnit;
        const std::vector<DefaultLtype> fixed = {
            { 16, { 8.4, -1.2, 1.6, -1.2, 8.4 } },
            { 17, { 10.6, -1.6, 1.2, -1.6, 1.2, -1.6, 10.6 } },
            { 18, { 13.6, -1.6, 13.6 } },
            { 19, { 22.0, -3.0, 22.0 } },
            { 32, { 6, -1.5 } },
            { 33, { 6, -6 } },
            { 34, { 12, -1.5, 0.25, -1.5 } },
            { 35, { 12, -1.5, 0.25, -1.5, 0.25, -1.5 } },
            { 36, { 12, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5 } },
            { 37, { 0.25, -1.5 } },
            { 38, { 12, -1.5, 3.5, -1.5 } },
            { 39, { 12, -1.5, 3.5, -1.5, 3.5, -1.5 } },
            { 40, { 6, -1.5, 0.25, -1.5 } },
            { 41, { 6, -1.5, 6, -1.5, 0.25, -1.5 } },
            { 42, { 6, -1.5, 0.25, -1.5, 0.25, -1.5 } },
            { 43, { 6, -1.5, 6, -1.5, 0.25, -1.5, 0.25, -1.5 } },
            { 44, { 6, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5 } },
            { 45, { 6, -1.5, 6, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5 } },
        };
        t.insert(t.end(), fixed.begin(), fixed.end());
        return t;
    }();
    return table;
}

// Random lines 11 to 15 share one zigzag text: "2" steps +unit, "0" steps -unit.
constexpr char16_t kRandomPattern[] = u"22002200202200202022002200202020";

struct RandomLtype {
    int32_t jn;
    double unit;
    double amp;
};

constexpr RandomLtype kRandomLtypes[] = {
    { 11, 0.6, 0.3 },
    { 12, 1.2, 0.3 },
    { 13, 1.8, 0.6 },
    { 14, 2.4, 0.6 },
    { 15, 3.0, 0.6 },
};

} // namespace

TgraAttribute::TgraAttribute()
{
    jwvLayN = kLayers;
    jwvColN = kColors;
    jwvTypN = kLtypes;
    jwvLay.resize(size_t(jwvLayN));
    jwvCol.resize(size_t(jwvColN));
    jwvTyp.resize(size_t(jwvTypN));
    DataInit();
}

TgraAttribute::~TgraAttribute()
{
    jwvLayN = 0;
    jwvColN = 0;
    jwvTypN = 0;
}

void TgraAttribute::DataInit()
{
    DispMode = false;
    PrintMode = false;
    Sikii0 = -1;
    Sikii1 = -1;
    Sikii2 = -1;
    BkColor = 0;
    BackColor = 0xFFFFFFFF;
    ForeColor = 0xFF000000;
    GrayColor = 0xFF808080;
    All1ColorFlag = false;
    All1Color = 0xFFFFFFFF;
    SetDefaultLayer();
    SetDefaultColor();
    SetDefaultWidth();
    SetDefaultTenR();
    SetDefaultLtype();
}

// ---- table access: every index is checked against both the count and the array

int32_t TgraAttribute::ColNoToIndex(int32_t jn) const
{
    if (jn >= 1 && jn <= 9)
        return jn - 1;
    if (jn >= 101 && jn <= 356)
        return jn - 92;
    return -1;
}

int32_t TgraAttribute::TypNoToIndex(int32_t jn) const
{
    if (jn >= 1 && jn <= 9)
        return jn - 1;
    if (jn >= 11 && jn <= 19)
        return jn - 2;
    if (jn >= 31 && jn <= 62)
        return jn - 13;
    return -1;
}

TjwvLayer* TgraAttribute::layer_at(int32_t n)
{
    return n >= 0 && n < jwvLayN && size_t(n) < jwvLay.size() ? &jwvLay[size_t(n)] : nullptr;
}

const TjwvLayer* TgraAttribute::layer_at(int32_t n) const
{
    return n >= 0 && n < jwvLayN && size_t(n) < jwvLay.size() ? &jwvLay[size_t(n)] : nullptr;
}

TjwvColor* TgraAttribute::color_at(int32_t n)
{
    return n >= 0 && n < jwvColN && size_t(n) < jwvCol.size() ? &jwvCol[size_t(n)] : nullptr;
}

const TjwvColor* TgraAttribute::color_at(int32_t n) const
{
    return n >= 0 && n < jwvColN && size_t(n) < jwvCol.size() ? &jwvCol[size_t(n)] : nullptr;
}

TjwvLtype* TgraAttribute::ltype_at(int32_t n)
{
    return n >= 0 && n < jwvTypN && size_t(n) < jwvTyp.size() ? &jwvTyp[size_t(n)] : nullptr;
}

const TjwvLtype* TgraAttribute::ltype_at(int32_t n) const
{
    return n >= 0 && n < jwvTypN && size_t(n) < jwvTyp.size() ? &jwvTyp[size_t(n)] : nullptr;
}

// ---- modes and colours

void TgraAttribute::SetDisplayMode(bool m) { DispMode = m; }

bool TgraAttribute::GetDisplayMode() const { return DispMode; }

void TgraAttribute::SetPrintMode(bool m, int32_t sk0, int32_t sk1, int32_t sk2)
{
    PrintMode = m;
    Sikii0 = sk0;
    Sikii1 = sk1;
    Sikii2 = sk2;
}

bool TgraAttribute::GetPrintMode(int32_t& sk0, int32_t& sk1, int32_t& sk2) const
{
    sk0 = Sikii0;
    sk1 = Sikii1;
    sk2 = Sikii2;
    return PrintMode;
}

void TgraAttribute::SetBackColor(int32_t n)
{
    if (n == 0) {
        BkColor = 0;
        BackColor = 0xFFFFFFFF;
        ForeColor = 0xFF000000;
    } else if (n == 1) {
        BkColor = 1;
        BackColor = 0xFF000000;
        ForeColor = 0xFFFFFFFF;
    }
}

int32_t TgraAttribute::GetBackColorNo() const { return BkColor; }

uint32_t TgraAttribute::GetBackColor() const { return BackColor; }

uint32_t TgraAttribute::GetForeColor() const { return ForeColor; }

void TgraAttribute::SetGrayColor(uint32_t n) { GrayColor = n; }

uint32_t TgraAttribute::GetGrayColor() const { return GrayColor; }

void TgraAttribute::SetDispHojo(int32_t n) { DispHojo = n != 0; }

int32_t TgraAttribute::GetDispHojo() const { return DispHojo ? 1 : 0; }

void TgraAttribute::SetDispKijun(int32_t n) { DispKijun = n != 0; }

int32_t TgraAttribute::GetDispKijun() const { return DispKijun ? 1 : 0; }

void TgraAttribute::SetAll1Color(bool f, uint32_t c)
{
    All1ColorFlag = f;
    All1Color = c;
}

void TgraAttribute::SetAll1Color(bool f) { All1ColorFlag = f; }

bool TgraAttribute::GetAll1ColorState() const { return All1ColorFlag; }

uint32_t TgraAttribute::GetAll1Color() const { return All1Color; }

// ---- layers

void TgraAttribute::SetDefaultLayer()
{
    for (int32_t n = 0; n < jwvLayN && size_t(n) < jwvLay.size(); ++n) {
        TjwvLayer& l = jwvLay[size_t(n)];
        l.sta = 1;
        l.sca = 1.0;
        l.gna = group_prefix(n);
        l.nam = layer_prefix(n);
    }
}

void TgraAttribute::SetAttrLayer(
    int32_t n, int32_t st, double sc, const std::u16string& glayname, const std::u16string& layname)
{
    TjwvLayer* l = layer_at(n);
    if (!l)
        return;
    SetAttrLayer(n, st, sc);
    l->gna = group_prefix(n) + glayname;
    l->nam = layer_prefix(n) + layname;
}

void TgraAttribute::SetAttrLayer(int32_t n, int32_t st, double sc)
{
    TjwvLayer* l = layer_at(n);
    if (!l)
        return;
    SetAttrLayer(n, st);
    // Also turns NaN into 1: a scale must stay positive.
    l->sca = sc > 0 ? sc : 1.0;
}

void TgraAttribute::SetAttrLayer(int32_t n, int32_t st)
{
    TjwvLayer* l = layer_at(n);
    if (!l)
        return;
    l->sta = st >= 1 && st <= 3 ? st : 1;
}

bool TgraAttribute::GetAttrLayer(
    int32_t n, int32_t& st, double& sc, std::u16string& glayname, std::u16string& layname) const
{
    const TjwvLayer* l = layer_at(n);
    if (!l)
        return false;
    st = l->sta;
    sc = l->sca;
    glayname = l->gna;
    layname = l->nam;
    return true;
}

int32_t TgraAttribute::GetAttrLayerState(int32_t n) const
{
    const TjwvLayer* l = layer_at(n);
    return l ? l->sta : 1;
}

double TgraAttribute::GetAttrLayerScale(int32_t n) const
{
    const TjwvLayer* l = layer_at(n);
    return l ? l->sca : 1.0;
}

std::u16string TgraAttribute::GetAttrLayerGName(int32_t n) const
{
    const TjwvLayer* l = layer_at(n);
    return l ? l->gna : std::u16string();
}

std::u16string TgraAttribute::GetAttrLayerName(int32_t n) const
{
    const TjwvLayer* l = layer_at(n);
    return l ? l->nam : std::u16string();
}

// ---- colours

void TgraAttribute::SetDefaultColor()
{
    for (TjwvColor& c : jwvCol)
        c.color = ForeColor;
    if (BkColor != 0 && BkColor != 1)
        return;
    for (const DefaultColor& d : kDefaultColors)
        if (TjwvColor* c = color_at(ColNoToIndex(d.jn)))
            c->color = BkColor == 0 ? d.white_bg : d.black_bg;
}

void TgraAttribute::SetDefaultWidth()
{
    for (int32_t n = 0; n < jwvColN && size_t(n) < jwvCol.size(); ++n)
        jwvCol[size_t(n)].width = n < kPenColors ? kPenWidths[n] : kExtendedWidth;
}

void TgraAttribute::SetDefaultTenR()
{
    for (int32_t n = 0; n < jwvColN && size_t(n) < jwvCol.size(); ++n)
        jwvCol[size_t(n)].ten_r = n < kPenColors ? kPenTenR[n] : kExtendedTenR;
}

void TgraAttribute::SetAttrCol(int32_t jn, uint32_t col, double wid, double ten)
{
    SetAttrCol_(ColNoToIndex(jn), col, wid, ten);
}

void TgraAttribute::SetAttrCol(int32_t jn, uint32_t col, double wid) { SetAttrCol_(ColNoToIndex(jn), col, wid); }

void TgraAttribute::SetAttrCol(int32_t jn, uint32_t col) { SetAttrCol_(ColNoToIndex(jn), col); }

void TgraAttribute::SetAttrCol(int32_t jn, double wid, double ten) { SetAttrCol_(ColNoToIndex(jn), wid, ten); }

void TgraAttribute::SetAttrCol(int32_t jn, double wid) { SetAttrCol_(ColNoToIndex(jn), wid); }

void TgraAttribute::SetAttrCol_(int32_t n, uint32_t col, double wid, double ten)
{
    if (TjwvColor* c = color_at(n)) {
        c->color = col;
        c->width = wid;
        c->ten_r = ten;
    }
}

void TgraAttribute::SetAttrCol_(int32_t n, uint32_t col, double wid)
{
    if (TjwvColor* c = color_at(n)) {
        c->color = col;
        c->width = wid;
    }
}

void TgraAttribute::SetAttrCol_(int32_t n, uint32_t col)
{
    if (TjwvColor* c = color_at(n))
        c->color = col;
}

void TgraAttribute::SetAttrCol_(int32_t n, double wid, double ten)
{
    if (TjwvColor* c = color_at(n)) {
        c->width = wid;
        c->ten_r = ten;
    }
}

void TgraAttribute::SetAttrCol_(int32_t n, double wid)
{
    if (TjwvColor* c = color_at(n))
        c->width = wid;
}

uint32_t TgraAttribute::GetAttrColcol(int32_t jn) const { return GetAttrColcol_(ColNoToIndex(jn)); }

double TgraAttribute::GetAttrColwid(int32_t jn) const { return GetAttrColwid_(ColNoToIndex(jn)); }

double TgraAttribute::GetAttrColten(int32_t jn) const { return GetAttrColten_(ColNoToIndex(jn)); }

uint32_t TgraAttribute::GetAttrColcol_(int32_t n) const
{
    const TjwvColor* c = color_at(n);
    if (!c)
        return BackColor;
    return print_color(c->color, n < kPenColors);
}

double TgraAttribute::GetAttrColwid_(int32_t n) const
{
    const TjwvColor* c = color_at(n);
    return c ? c->width : 0.0;
}

double TgraAttribute::GetAttrColten_(int32_t n) const
{
    const TjwvColor* c = color_at(n);
    return c ? c->ten_r : 0.1;
}

// Monochrome printing: near-white goes white and the rest black (Sikii0), then near-white pen colours
// (Sikii1) or extended colours (Sikii2) go black so they stay visible on paper.
uint32_t TgraAttribute::print_color(uint32_t c, bool pen) const
{
    if (!PrintMode)
        return c;
    if (Sikii0 < 0 && (Sikii1 < 0 || !pen) && (Sikii2 < 0 || pen))
        return c;
    int32_t ch[3] = { int32_t((c >> 16) & 0xFF), int32_t((c >> 8) & 0xFF), int32_t(c & 0xFF) };
    if (Sikii0 >= 0) {
        bool white = true;
        for (int32_t v : ch)
            white = white && (v == 255 || int64_t(v) + Sikii0 > 255);
        c = white ? 0xFFFFFFFF : 0xFF000000;
        const int32_t v = white ? 255 : 0;
        ch[0] = ch[1] = ch[2] = v;
    }
    const int32_t sk = pen ? Sikii1 : Sikii2;
    if (sk >= 0) {
        bool near_white = true;
        for (int32_t v : ch)
            near_white = near_white && int64_t(v) + sk >= 255;
        if (near_white)
            return 0xFF000000;
    }
    return c;
}

// ---- line types

void TgraAttribute::SetDefaultLtype()
{
    for (TjwvLtype& t : jwvTyp) {
        t.seg = 0;
        t.amp = 0;
        t.pa.fill(0);
    }
    for (const DefaultLtype& d : default_patterns()) {
        TjwvLtype* t = ltype_at(TypNoToIndex(d.jn));
        if (!t)
            continue;
        t->seg = clamp_seg(int32_t(d.pa.size()));
        std::copy_n(d.pa.begin(), t->seg, t->pa.begin());
    }
    for (const RandomLtype& r : kRandomLtypes) {
        TjwvLtype* t = ltype_at(TypNoToIndex(r.jn));
        if (!t)
            continue;
        t->seg = TjwvLtype::max_seg;
        t->amp = r.amp;
        for (size_t k = 0; k < size_t(TjwvLtype::max_seg); ++k) {
            const char16_t ch = kRandomPattern[k];
            const int d = ch >= u'0' && ch <= u'9' ? ch - u'0' : 0;
            t->pa[k] = (d - 1) * r.unit;
        }
    }
    for (TjwvLtype& t : jwvTyp)
        t.pit = period(t);
}

void TgraAttribute::SetAttrTypseg(int32_t jn, int32_t sn) { SetAttrTypseg_(TypNoToIndex(jn), sn); }

void TgraAttribute::SetAttrTypamp(int32_t jn, double am) { SetAttrTypamp_(TypNoToIndex(jn), am); }

void TgraAttribute::SetAttrTyppat(int32_t jn, std::span<const double> pat) { SetAttrTyppat_(TypNoToIndex(jn), pat); }

void TgraAttribute::SetAttrTyppa1(int32_t jn, int32_t pn, double pa) { SetAttrTyppa1_(TypNoToIndex(jn), pn, pa); }

void TgraAttribute::SetAttrTypPit(int32_t jn) { SetAttrTypPit_(TypNoToIndex(jn)); }

void TgraAttribute::SetAttrTypseg_(int32_t n, int32_t sn)
{
    // A count from a file may exceed the 32 entries every walker indexes by it.
    if (TjwvLtype* t = ltype_at(n))
        t->seg = clamp_seg(sn);
}

void TgraAttribute::SetAttrTypamp_(int32_t n, double am)
{
    if (TjwvLtype* t = ltype_at(n))
        t->amp = am;
}

void TgraAttribute::SetAttrTyppat_(int32_t n, std::span<const double> pat)
{
    TjwvLtype* t = ltype_at(n);
    if (!t)
        return;
    t->pa.fill(0);
    const size_t k = std::min(size_t(clamp_seg(t->seg)), pat.size());
    std::copy_n(pat.begin(), k, t->pa.begin());
}

void TgraAttribute::SetAttrTyppa1_(int32_t n, int32_t pn, double pa)
{
    TjwvLtype* t = ltype_at(n);
    if (t && pn >= 0 && pn < clamp_seg(t->seg))
        t->pa[size_t(pn)] = pa;
}

void TgraAttribute::SetAttrTypPit_(int32_t n)
{
    if (TjwvLtype* t = ltype_at(n))
        t->pit = period(*t);
}

int32_t TgraAttribute::GetAttrTypseg(int32_t jn) const { return GetAttrTypseg_(TypNoToIndex(jn)); }

double TgraAttribute::GetAttrTypamp(int32_t jn) const { return GetAttrTypamp_(TypNoToIndex(jn)); }

int32_t TgraAttribute::GetAttrTyppat(int32_t jn, std::span<double> pat) const
{
    return GetAttrTyppat_(TypNoToIndex(jn), pat);
}

double TgraAttribute::GetAttrTyppa1(int32_t jn, int32_t pn) const { return GetAttrTyppa1_(TypNoToIndex(jn), pn); }

double TgraAttribute::GetAttrTyppit(int32_t jn) const { return GetAttrTyppit_(TypNoToIndex(jn)); }

int32_t TgraAttribute::GetAttrTypseg_(int32_t n) const
{
    const TjwvLtype* t = ltype_at(n);
    return t ? clamp_seg(t->seg) : 0;
}

double TgraAttribute::GetAttrTypamp_(int32_t n) const
{
    const TjwvLtype* t = ltype_at(n);
    return t ? t->amp : 0.0;
}

int32_t TgraAttribute::GetAttrTyppat_(int32_t n, std::span<double> pat) const
{
    const TjwvLtype* t = ltype_at(n);
    if (!t)
        return 0;
    // Never more than the caller's array holds, so the result is always safe to loop over.
    const size_t k = std::min(size_t(clamp_seg(t->seg)), pat.size());
    std::copy_n(t->pa.begin(), k, pat.begin());
    return int32_t(k);
}

double TgraAttribute::GetAttrTyppa1_(int32_t n, int32_t pn) const
{
    const TjwvLtype* t = ltype_at(n);
    if (!t || pn < 0 || pn >= clamp_seg(t->seg))
        return 0.0;
    return t->pa[size_t(pn)];
}

double TgraAttribute::GetAttrTyppit_(int32_t n) const
{
    const TjwvLtype* t = ltype_at(n);
    return t ? t->pit : 0.0;
}

void TgraAttribute::SetAttrTypScale(double scale)
{
    for (TjwvLtype& t : jwvTyp) {
        t.pit *= scale;
        for (int32_t i = 0; i < clamp_seg(t.seg); ++i)
            t.pa[size_t(i)] *= scale;
    }
}

namespace detail {

void start_attributes(TgraAttribute& att, int32_t back_color_no)
{
    att.SetDisplayMode(true);
    att.SetBackColor(back_color_no);
    att.SetDefaultColor();
    att.SetDefaultLayer();
    att.SetDefaultWidth();
    att.SetDefaultTenR();
    att.SetDefaultLtype();
    att.SetDispHojo(1);
    att.SetDispKijun(1);
    att.SetGrayColor(0xFF808080);
    att.SetAll1Color(false);
}

} // namespace detail
