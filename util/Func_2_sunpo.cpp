// Func_2: the value text of a dimension measured through a block transform.
#include "util/Func_2_geometry.h"
#include "util/Func_2_text.h"

namespace {

// Bits of the format word F.
constexpr int32_t kFullWidth = 0x8;
constexpr int32_t kMetres = 0x10;
constexpr int32_t kUnit = 0x20;
constexpr int32_t kGrouped = 0x40;
constexpr int32_t kKeepZeros = 0x80;
constexpr int32_t kTruncate = 0x100;
constexpr int32_t kRoundUp = 0x200;
constexpr int32_t kMarkerBefore = 0x400;
constexpr int32_t kMarkerAfter = 0x800;
// Bits of the marker word S.
constexpr int32_t kRadius = 0x100;
constexpr int32_t kDiameter = 0x200;

bool has(int32_t word, int32_t bit) { return (word & bit) != 0; }

// Trailing zeros go only after a decimal point, and never the point itself or a sign.
void strip_trailing_zeros(std::u16string& t)
{
    if (t.find(u'.') == std::u16string::npos)
        return;
    while (!t.empty() && t.back() == u'0')
        t.pop_back();
}

} // namespace

std::u16string SunpoText(int32_t F, int32_t S, double ratio, double bx, double by, double b1, double b2, double b3,
    double b4, double sc, TDPoint p1, TDPoint p2)
{
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    BlockTransLine(p1.X, p1.Y, p2.X, p2.Y, bx, by, b1, b2, b3, b4, sc, x1, y1, x2, y2);
    double d = Distance2P(x1, y1, x2, y2);

    if (ratio <= 0)
        ratio = 1;
    d *= ratio;
    if (has(F, kMetres))
        d /= 1000;

    int digits = (F / 4096) % 10;
    int mode = 2;
    if (has(F, kTruncate) && !has(F, kRoundUp))
        mode = 0;
    else if (has(F, kRoundUp) && !has(F, kTruncate))
        mode = 1;
    d = RoundDigit(d, digits, mode);

    std::u16string t;
    if (has(F, kGrouped)) {
        t = FormatFixedN(digits, d);
        if (!has(F, kKeepZeros))
            strip_trailing_zeros(t);
    } else if (has(F, kKeepZeros)) {
        t = FormatFixedF(digits, d);
    } else {
        t = float_to_general_text(d);
    }

    const char16_t* marker = nullptr;
    if (has(S, kRadius))
        marker = u"R";
    else if (has(S, kDiameter))
        marker = u"\u03C6";
    if (marker && has(F, kMarkerBefore))
        t = marker + t;
    else if (marker && has(F, kMarkerAfter))
        t += marker;

    if (has(F, kFullWidth))
        t = ToFullWidth(t);
    if (has(F, kUnit))
        t += has(F, kMetres) ? u"\uFF4D" : u"mm";
    return t;
}
