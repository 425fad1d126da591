// Func_2: numbers as text, characters and code page 932, string cutting, colours and the settings parsers.
#include "util/Func_2_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "platform/Cp932.h"

namespace {

struct CaseRun {
    char16_t first;
    char16_t last;
    int delta;
    int stride;
};

#include "util/Func_2_case_tables.inc"

template <size_t N> char16_t map_case(const CaseRun (&runs)[N], char16_t c)
{
    // Runs are sorted and disjoint: find the last run starting at or before c.
    auto it = std::upper_bound(
        std::begin(runs), std::end(runs), c, [](char16_t v, const CaseRun& r) { return v < r.first; });
    if (it == std::begin(runs))
        return c;
    const CaseRun& r = *(it - 1);
    if (c > r.last || (c - r.first) % r.stride != 0)
        return c;
    return char16_t(int(c) + r.delta);
}

std::u16string ascii_to_text(std::string_view a) { return std::u16string(a.begin(), a.end()); }

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

int hex_value(char16_t c)
{
    if (is_digit(c))
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

size_t skip_blanks(std::u16string_view s)
{
    size_t i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    return i;
}

// Non-finite values print the way the drawings' home platform prints them.
const char* non_finite_text(double v)
{
    if (std::isnan(v))
        return "NAN";
    return v < 0 ? "-INF" : "INF";
}

// Significant digits of |v| > 0 and the count of digits before the point (value = 0.D x 10^point):
// the shortest round-trip form, or `precision` + 1 digits when precision is not negative.
void decimal_digits(double v, int precision, std::string& digits, int& point)
{
    char buf[40];
    auto r = precision < 0
        ? std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific)
        : std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, precision);
    std::string_view sci(buf, size_t(r.ptr - buf));
    size_t epos = sci.find('e');
    digits.clear();
    for (char c : sci.substr(0, epos))
        if (c != '.')
            digits += c;
    int exponent = 0;
    std::from_chars(sci.data() + epos + 1 + (sci[epos + 1] == '+'), sci.data() + sci.size(), exponent);
    point = exponent + 1;
}

// Fixed-point digits of |v| without locale, correctly rounded; except that a value whose shortest decimal
// form ends in a 5 just past the last kept decimal rounds that form half away from zero, so it prints as
// it reads (0.125 and 2.675 with two decimals give 0.13 and 2.68), as the drawings' home platform does.
std::string fixed_digits(int digits, double v)
{
    const size_t n = size_t(std::clamp(digits, 0, 18));
    std::string exact(330 + n, '\0');
    auto r = std::to_chars(exact.data(), exact.data() + exact.size(), std::fabs(v), std::chars_format::fixed, int(n));
    exact.resize(size_t(r.ptr - exact.data()));
    if (v == 0)
        return exact;

    std::string d;
    int point = 0;
    decimal_digits(v, -1, d, point);
    if (int(d.size()) - point != int(n) + 1 || d.back() != '5')
        return exact;

    // d x 10^-(n+1), padded so that at least one integer digit remains after cutting the 5.
    std::string w = d;
    if (w.size() < n + 2)
        w.insert(0, n + 2 - w.size(), '0');
    w.pop_back();
    bool carry = true;
    for (size_t i = w.size(); carry && i-- > 0;) {
        carry = w[i] == '9';
        w[i] = carry ? '0' : char(w[i] + 1);
    }
    if (carry)
        w.insert(w.begin(), '1');
    size_t int_len = w.size() - n;
    size_t lead = 0;
    while (lead + 1 < int_len && w[lead] == '0')
        ++lead;
    std::string out = w.substr(lead, int_len - lead);
    if (n > 0)
        out += "." + w.substr(int_len);
    return out;
}

// A value that rounds to zero prints without a minus sign ("0.00", not "-0.00").
bool all_zero(const std::string& digits) { return digits.find_first_not_of("0.") == std::string::npos; }

std::u16string format_fixed(int digits, double v, bool grouped)
{
    if (!std::isfinite(v))
        return ascii_to_text(non_finite_text(v));
    std::string d = fixed_digits(digits, v);
    if (grouped) {
        size_t point = d.find('.');
        size_t int_len = point == std::string::npos ? d.size() : point;
        std::string g;
        g.reserve(d.size() + int_len / 3);
        for (size_t i = 0; i < int_len; ++i) {
            if (i > 0 && (int_len - i) % 3 == 0)
                g += ',';
            g += d[i];
        }
        g.append(d, int_len, std::string::npos);
        d.swap(g);
    }
    bool negative = std::signbit(v) && !all_zero(d);
    return ascii_to_text((negative ? "-" : "") + d);
}

// The voiced half-width pairs and the one full-width character each joins into.
constexpr std::u16string_view kVoicedHalf = u"ｳﾞｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ";
constexpr std::u16string_view kVoicedFull = u"ヴガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ";
static_assert(kVoicedHalf.size() == 52 && kVoicedFull.size() == 26);

// U+FF61..U+FF9F in code order; the semi-voiced mark becomes the degree sign, as the table has always had it.
constexpr std::u16string_view kKanaFull = u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタ"
                                          u"チツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛°";
static_assert(kKanaFull.size() == 63);

char16_t full_width_single(char16_t c)
{
    switch (c) {
    case u' ': return u'\u3000';
    case u'"': return u'\u201D';
    case u'\'': return u'\u2019';
    case u'\\': return u'\uFFE5';
    default: break;
    }
    if (c >= 0x21 && c <= 0x7E)
        return char16_t(c + 0xFEE0);
    if (c >= 0xFF61 && c <= 0xFF9F)
        return kKanaFull[c - 0xFF61];
    return c;
}

} // namespace

// ---- Settings parsers.

int32_t StrToIntZero(std::u16string_view s)
{
    size_t i = skip_blanks(s);
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return 0;
    // The magnitude may reach 2^31 only for a negative value.
    const int64_t limit = negative ? int64_t(1) << 31 : (int64_t(1) << 31) - 1;
    int64_t value = 0;
    for (; i < s.size(); ++i) {
        int d = base == 16 ? hex_value(s[i]) : (is_digit(s[i]) ? s[i] - u'0' : -1);
        if (d < 0)
            return 0;
        value = value * base + d;
        if (value > limit)
            return 0;
    }
    return int32_t(negative ? -value : value);
}

double StrToFloatZero(std::u16string_view s)
{
    size_t i = skip_blanks(s);
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    std::string ascii;
    size_t mantissa_digits = 0;
    for (; i < s.size() && is_digit(s[i]); ++i, ++mantissa_digits)
        ascii += char(s[i]);
    if (i < s.size() && s[i] == u'.') {
        ascii += '.';
        for (++i; i < s.size() && is_digit(s[i]); ++i, ++mantissa_digits)
            ascii += char(s[i]);
    }
    if (mantissa_digits == 0)
        return 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ascii += 'e';
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            ascii += char(s[i++]);
        size_t exp_digits = 0;
        for (; i < s.size() && is_digit(s[i]); ++i, ++exp_digits)
            ascii += char(s[i]);
        if (exp_digits == 0)
            return 0;
    }
    if (i != s.size())
        return 0;
    double v = 0;
    auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v, std::chars_format::general);
    // Too large is invalid; too small reads as 0 either way.
    if (r.ec != std::errc() || r.ptr != ascii.data() + ascii.size())
        return 0;
    return negative ? -v : v;
}

bool StrToBoolWord(std::u16string_view s)
{
    static constexpr std::array<std::u16string_view, 10> kWords = { u"T", u"TR", u"TRU", u"TRUE", u"1", u"\uFF11",
        u"\u25CB", u"ON", u"\u771F", u"\u6B63" };
    std::u16string up = UpperText(s);
    return std::find(kWords.begin(), kWords.end(), up) != kWords.end();
}

// ---- Numbers.

std::u16string IntToText(int64_t n)
{
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, n);
    return ascii_to_text(std::string_view(buf, size_t(r.ptr - buf)));
}

std::u16string FormatFixedF(int digits, double v) { return format_fixed(digits, v, false); }

std::u16string FormatFixedN(int digits, double v) { return format_fixed(digits, v, true); }

bool IsFiniteDouble(double v) { return std::isfinite(v); }

double RoundDigit(double v, int digits, int mode)
{
    double f = 1;
    if (digits >= 1 && digits <= 9)
        for (int k = 0; k < digits; ++k)
            f *= 10;
    double e = std::fabs(v) * f;
    // Truncating in floating point keeps huge values intact where an integer conversion would overflow.
    if (mode == 0)
        e = std::trunc(e);
    else if (mode == 1)
        e = std::trunc(e + 0.9999999999);
    else
        e = std::trunc(e + 0.5);
    e /= f;
    return v < 0 ? -e : e;
}

std::u16string float_to_general_text(double v)
{
    if (!std::isfinite(v))
        return ascii_to_text(non_finite_text(v));
    if (v == 0)
        return u"0";
    // 15 significant digits, then the shortest form of those digits.
    std::string digits;
    int point = 0;
    decimal_digits(v, 14, digits, point);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = v < 0 ? "-" : "";
    const int int_digits = point;
    if (int_digits > 15 || int_digits < -3) {
        out += digits[0];
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        out += "E" + std::to_string(point - 1);
    } else if (int_digits <= 0) {
        out += "0." + std::string(size_t(-int_digits), '0') + digits;
    } else if (size_t(int_digits) >= digits.size()) {
        out += digits + std::string(size_t(int_digits) - digits.size(), '0');
    } else {
        out += digits.substr(0, size_t(int_digits)) + "." + digits.substr(size_t(int_digits));
    }
    return ascii_to_text(out);
}

// ---- Characters and strings.

std::u16string UpperText(std::u16string_view s)
{
    std::u16string out(s);
    for (char16_t& c : out)
        c = map_case(kUpperRuns, c);
    return out;
}

std::u16string LowerText(std::u16string_view s)
{
    std::u16string out(s);
    for (char16_t& c : out)
        c = map_case(kLowerRuns, c);
    return out;
}

bool IsHalfWidth(char16_t c) { return (c >= 0x20 && c <= 0x7E) || (c >= 0xFF61 && c <= 0xFF9F); }

bool IsDoubleByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F))
        return false;
    return platform::utf16_to_cp932(std::u16string_view(&c, 1)).size() == 2;
}

int SurrogateKind(std::u16string_view s, std::ptrdiff_t i)
{
    if (i < 0 || size_t(i) >= s.size())
        return -1;
    char16_t c = s[size_t(i)];
    if (c >= 0xD800 && c <= 0xDBFF)
        return 1;
    if (c >= 0xDC00 && c <= 0xDFFF)
        return 2;
    return 0;
}

std::u16string ToFullWidth(std::u16string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        if (i + 1 < s.size()) {
            size_t pair = 0;
            while (pair < kVoicedFull.size() && kVoicedHalf.substr(2 * pair, 2) != s.substr(i, 2))
                ++pair;
            if (pair < kVoicedFull.size()) {
                out += kVoicedFull[pair];
                i += 2;
                continue;
            }
        }
        out += full_width_single(s[i]);
        ++i;
    }
    return out;
}

std::u16string RemoveBlanks(std::u16string_view s)
{
    std::u16string out;
    for (char16_t c : s)
        if (c > 0x20 && c != 0x3000)
            out += c;
    return out;
}

std::u16string RemoveCtrlChars(std::u16string_view s)
{
    std::u16string out;
    for (char16_t c : s)
        if (c >= 0x20)
            out += c;
    return out;
}

std::ptrdiff_t PosIndex(std::u16string_view sub, std::u16string_view s)
{
    if (sub.empty())
        return -1;
    size_t p = s.find(sub);
    return p == std::u16string_view::npos ? -1 : std::ptrdiff_t(p);
}

std::u16string CopyFrom(std::u16string_view s, std::ptrdiff_t i)
{
    if (i < 0 || size_t(i) >= s.size())
        return {};
    return std::u16string(s.substr(size_t(i)));
}

std::u16string CopyPart(std::u16string_view s, std::ptrdiff_t i, std::ptrdiff_t n)
{
    if (i < 0 || size_t(i) >= s.size() || n <= 0)
        return {};
    return std::u16string(s.substr(size_t(i), size_t(n)));
}

// ---- Code page 932.

std::string TextToAnsiBytes(std::u16string_view s) { return platform::utf16_to_cp932(s); }

std::u16string AnsiBytesToText(std::string_view b) { return platform::cp932_to_utf16(b.substr(0, b.find('\0'))); }

std::u16string WideBytesToText(std::string_view b)
{
    std::u16string out;
    out.reserve(b.size() / 2);
    for (size_t i = 0; i + 1 < b.size(); i += 2) {
        char16_t c = char16_t(uint8_t(b[i]) | (uint8_t(b[i + 1]) << 8));
        if (c == 0)
            break;
        out += c;
    }
    return out;
}

int AnsiLength(std::u16string_view s) { return int(TextToAnsiBytes(s.substr(0, s.find(u'\0'))).size()); }

// ---- Measure.

double AnsiTextWidth(std::u16string_view s, double w, double gap)
{
    std::string b = TextToAnsiBytes(s);
    double sum = 0;
    size_t i = 0;
    while (i < b.size()) {
        uint8_t c = uint8_t(b[i]);
        bool lead = (c >= 0x80 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFD);
        if (lead) {
            sum += w;
            i += 2;
            if (i < b.size())
                sum += gap;
        } else {
            sum += w / 2;
            i += 1;
            if (i < b.size())
                sum += gap / 2;
        }
    }
    return sum;
}

// ---- Colours.

uint32_t RGBToAlpha(int64_t r, int64_t g, int64_t b)
{
    // Unsigned arithmetic wraps modulo 2^64, which keeps the low 32 bits exact for any input.
    uint64_t sum = 0xFF000000u + uint64_t(r) * 65536u + uint64_t(g) * 256u + uint64_t(b);
    return uint32_t(sum);
}

uint32_t ColorRefToAlpha(int32_t c)
{
    // C++ division truncates and % follows the dividend's sign, as the colour arithmetic expects.
    int64_t red = c % 256;
    int64_t green = (c / 256) % 256;
    int64_t blue = (c / 65536) % 256;
    return RGBToAlpha(red, green, blue);
}

// ---- Image reference.

bool ParseImageMoji(std::u16string_view s, std::u16string& name, double& width, double& height, double& trimX,
    double& trimY, double& ratio, double& angle, int32_t& rest1, int32_t& rest2, int32_t& rest3)
{
    name.clear();
    width = height = trimX = trimY = angle = 0;
    ratio = 1;
    rest1 = rest2 = rest3 = -1;
    constexpr std::u16string_view kPrefix = u"^@BM";
    if (s.substr(0, kPrefix.size()) != kPrefix)
        return true;
    size_t comma = s.find(u',');
    if (comma == std::u16string_view::npos)
        return true;
    name = std::u16string(s.substr(kPrefix.size(), comma - kPrefix.size()));

    constexpr size_t kFields = 9;
    std::array<std::u16string_view, kFields> field;
    size_t present = 0;
    std::u16string_view rest = s.substr(comma + 1);
    while (present < kFields) {
        size_t next = rest.find(u',');
        if (next == std::u16string_view::npos || present + 1 == kFields) {
            field[present++] = rest;
            break;
        }
        field[present++] = rest.substr(0, next);
        rest = rest.substr(next + 1);
    }

    double* reals[] = { &width, &height, &trimX, &trimY, &ratio, &angle };
    int32_t* ints[] = { &rest1, &rest2, &rest3 };
    for (size_t k = 0; k < present; ++k) {
        if (k < 6)
            *reals[k] = StrToFloatZero(field[k]);
        else
            *ints[k - 6] = StrToIntZero(field[k]);
    }
    if (present == 1)
        height = width;
    if (present >= 7) {
        if (present < 8)
            rest2 = 0;
        if (present < 9)
            rest3 = 0;
    }
    return present <= 2;
}
