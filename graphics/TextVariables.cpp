// Expansion of the text-variable tokens: file path and name, dates in Western and era forms, scale,
// references.
#include "graphics/TextVariables.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <optional>
#include <vector>

#include "globals/UnitVal.h"
#include "util/Func_2_files.h"
#include "util/Func_2_text.h"

namespace detail {

namespace {

TDateTime wall_clock_now()
{
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local {};
    localtime_r(&t, &local);
    return make_date_time(
        local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

TextClock g_clock = nullptr;

bool is_prefix(char16_t c) { return c == u'$' || c == u'&' || c == u'%' || c == u'_' || c == u'='; }

bool is_file_date_prefix(char16_t c) { return c == u'_' || c == u'='; }

std::u16string number(int64_t n) { return IntToText(n); }

// One-character values get the prefix's padding: "&" and "_" a blank in front, "%" and "=" a "0".
std::u16string pad(std::u16string v, char16_t prefix)
{
    if (v.size() != 1)
        return v;
    if (prefix == u'&' || prefix == u'_')
        return u" " + v;
    if (prefix == u'%' || prefix == u'=')
        return u"0" + v;
    return v;
}

// The era-year padding, where "$" appends its blank behind the value instead.
std::u16string pad_era(std::u16string v, char16_t prefix)
{
    if (v.size() == 1 && prefix == u'$')
        return v + u" ";
    return pad(std::move(v), prefix);
}

std::u16string blank2(int n) { return n < 10 ? u" " + number(n) : number(n); }
std::u16string zero2(int n) { return n < 10 ? u"0" + number(n) : number(n); }
std::u16string year4(int y)
{
    std::u16string t = number(y);
    while (t.size() < 4)
        t.insert(t.begin(), u'0');
    return t;
}

struct Era {
    std::u16string year, name, era_year, final_year, final_name;
};

Era era_of(TDateTime d)
{
    Era e;
    GetEraYear(d, e.year, e.name, e.era_year, e.final_year, e.final_name);
    return e;
}

std::u16string ymd_blank(const DateTimeParts& p)
{
    return year4(p.year) + u"/" + blank2(p.month) + u"/" + blank2(p.day);
}

std::u16string ymd_zero(const DateTimeParts& p) { return year4(p.year) + u"/" + zero2(p.month) + u"/" + zero2(p.day); }

std::u16string hms(const DateTimeParts& p) { return zero2(p.hour) + u":" + zero2(p.minute) + u":" + zero2(p.second); }

std::u16string final_era_year_text(const Era& e) { return e.final_year == u"1" ? u"元" : e.final_year; }

std::u16string era_date(TDateTime d)
{
    const DateTimeParts p = split_date_time(d);
    const Era e = era_of(d);
    return e.final_name + final_era_year_text(e) + u"年" + blank2(p.month) + u"月" + blank2(p.day) + u"日";
}

std::u16string day_name(const DateTimeParts& p)
{
    static const char16_t names[] = u"日月火水木金土";
    const int i = (p.day_of_week >= 1 && p.day_of_week <= 7) ? p.day_of_week - 1 : 0;
    return std::u16string(1, names[i]);
}

std::u16string day_abbrev(const DateTimeParts& p)
{
    static const char16_t* const names[] = { u"SUN", u"MON", u"TUE", u"WED", u"THU", u"FRI", u"SAT" };
    return names[(p.day_of_week >= 1 && p.day_of_week <= 7) ? p.day_of_week - 1 : 0];
}

std::u16string month_abbrev(const DateTimeParts& p)
{
    static const char16_t* const names[] = { u"JAN", u"FEB", u"MAR", u"APR", u"MAY", u"JUN", u"JUL", u"AUG", u"SEP",
        u"OCT", u"NOV", u"DEC" };
    return names[(p.month >= 1 && p.month <= 12) ? p.month - 1 : 0];
}

std::u16string file_name_without_ext(std::u16string_view path)
{
    return ExtractName(ChangeExt(std::u16string(path), u""));
}

// "1/100" for a scale of 100; "2/1" for 0.5, the inverse rounded to one decimal.
std::u16string scale_text(double s, double inverse, bool with_ratio)
{
    if (s >= 1)
        return with_ratio ? u"1/" + float_to_general_text(s) : float_to_general_text(s);
    const double r = std::trunc(inverse * 10 + 0.5) / 10;
    return with_ratio ? float_to_general_text(r) + u"/1" : float_to_general_text(r);
}

int hex_digit(char16_t c)
{
    if (c >= u'1' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return 0;
}

std::optional<std::u16string> folder_name(std::u16string_view path, int n)
{
    std::vector<std::u16string> names;
    const int k = SplitPathNames(std::u16string(path), names, 80);
    const int i = k - n < 0 ? 0 : k - n;
    if (i >= int(names.size()))
        return std::u16string();
    return names[size_t(i)];
}

std::optional<std::u16string> reference(std::u16string_view s, const TextVarSources& src)
{
    for (const TStr2List& p : src.ref_list)
        if (p.s1 == s)
            return p.s2;
    return std::u16string(s);
}

// Tokens of one of the three percent-only families: title and memo, scales, truncated names.
std::optional<std::u16string> percent_token(std::u16string_view r, const TextVarSources& src)
{
    if (r == u"mm")
        return std::u16string(src.draw_title);
    if (r == u"m1")
        return std::u16string(src.memo1);
    if (r == u"m2")
        return std::u16string(src.memo2);
    if (r == u"SS")
        return scale_text(src.layer_scale, 1 / src.layer_scale, true);
    if (r == u"ss")
        return scale_text(src.layer_scale, 1 / src.layer_scale, false);
    if (r == u"SP")
        return scale_text(src.layer_scale / src.prt_bairitsu, src.prt_bairitsu / src.layer_scale, true);
    if (r == u"sp")
        return scale_text(src.layer_scale / src.prt_bairitsu, src.prt_bairitsu / src.layer_scale, false);
    if (r.size() == 2 && r[0] == u'f' && hex_digit(r[1]) > 0)
        return CopyPart(file_name_without_ext(src.file_path), 0, hex_digit(r[1]));
    if (r == u"f")
        return ExtractName(std::u16string(src.file_path));
    return std::nullopt;
}

std::optional<std::u16string> value_of(std::u16string_view s, const TextVarSources& src, EraTokens era)
{
    if (s.size() >= 2 && s[0] == u'%' && s[1] == u'%')
        return reference(s, src);
    if (s.size() < 2 || !is_prefix(s[0]))
        return std::nullopt;
    const char16_t x = s[0];
    const std::u16string_view r = s.substr(1);
    const bool file_prefix = is_file_date_prefix(x);

    if (x == u'%')
        if (auto v = percent_token(r, src))
            return v;

    // File path and names, for the "now" prefixes only.
    if (!file_prefix) {
        if (r == u"F")
            return std::u16string(src.file_path);
        if (r.size() == 2 && r[0] == u'F' && r[1] >= u'1' && r[1] <= u'9')
            return folder_name(src.file_path, r[1] - u'0');
        if (r == u"f" && x != u'%')
            return file_name_without_ext(src.file_path);
    }

    const TDateTime date = file_prefix ? src.file_date : src.now;
    const DateTimeParts p = split_date_time(date);

    if (file_prefix && r == u"F")
        return x == u'_' ? ymd_blank(p) + u" " + hms(p) : ymd_zero(p) + u" " + hms(p);
    if (file_prefix && r == u"f")
        return x == u'_' ? ymd_blank(p) : ymd_zero(p);
    if (r == u"j")
        return ymd_blank(p);
    if (r == u"J")
        return era_date(date);
    if (r == u"y")
        return pad(number(p.year % 100), x);
    if (r == u"Y")
        return pad_era(era_of(date).era_year, x);
    if (era == EraTokens::Expand) {
        if (r == u"E" || r == u"G") {
            const Era e = era_of(date);
            return e.final_year == u"1" ? u"元" : pad_era(e.final_year, x);
        }
        if (r == u"GＧ")
            return era_of(date).final_name;
        if (r == u"GＧＥ" || r == u"GＧＥＥ") {
            const Era e = era_of(date);
            std::u16string y = e.final_year == u"1" ? u"元" : pad_era(e.final_year, x);
            return e.final_name + y + (r.size() == 4 ? u"年" : u"");
        }
    }
    if (r == u"m")
        return pad(number(p.month), x);
    if (r == u"d")
        return pad(number(p.day), x);
    if (r == u"w" || r == u"W")
        return day_name(p);
    if (r == u"ma")
        return month_abbrev(p);
    if (r == u"wa")
        return day_abbrev(p);
    if (r == u"n")
        return p.hour < 12 ? u"AM" : u"PM";
    if (r == u"N")
        return p.hour < 12 ? u"前" : u"後";
    if (r == u"h")
        return pad(number(p.hour % 12), x);
    if (r == u"H")
        return pad(number(p.hour), x);
    if (r == u"M")
        return pad(number(p.minute), x);
    if (r == u"S")
        return pad(number(p.second), x);
    if (r == u"T")
        return std::u16string(src.draw_time);
    return std::nullopt;
}

} // namespace

bool may_be_text_variable(std::u16string_view s)
{
    // The longest token has five characters; only "%%" references are longer.
    if (s.size() >= 2 && s[0] == u'%' && s[1] == u'%')
        return true;
    return s.size() >= 2 && s.size() <= 5 && is_prefix(s[0]);
}

bool expand_text_variable(std::u16string& s, const TextVarSources& src, EraTokens era)
{
    if (!may_be_text_variable(s))
        return false;
    std::optional<std::u16string> v = value_of(s, src, era);
    if (!v)
        return false;
    s = std::move(*v);
    return true;
}

TextClock set_text_clock(TextClock clock)
{
    TextClock old = g_clock;
    g_clock = clock;
    return old;
}

TDateTime text_clock_now() { return g_clock ? g_clock() : wall_clock_now(); }

TextVarSources text_var_sources_from_globals()
{
    TextVarSources src;
    src.file_path = gFilePath;
    src.file_date = gFileDate;
    src.now = text_clock_now();
    src.draw_title = gDrawTitle;
    src.memo1 = gMemo1;
    src.memo2 = gMemo2;
    src.draw_time = gDrawTime;
    src.layer_scale = gLayerScale;
    src.prt_bairitsu = gPrtBairitsu;
    const size_t n = gRefCount > 0 ? std::min(size_t(gRefCount), gRefList.size()) : 0;
    src.ref_list = std::span<const TStr2List>(gRefList.data(), n);
    return src;
}

} // namespace detail
