// Tests of the text-variable tokens against fixed dates, paths, scales and reference lists.
#include "graphics/TextVariables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "globals/UnitVal.h"
#include "platform/Cp932.h"
#include "util/Func_2_files.h"

using detail::EraTokens;
using detail::expand_text_variable;
using detail::TextVarSources;

namespace {

std::string u8(const std::u16string& s) { return platform::utf16_to_utf8(s); }

TDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return detail::make_date_time(y, mo, d, h, mi, s);
}

struct Case {
    const char16_t* text;
    const char16_t* value; // null: not a token, the text stays as it is
};

// Expands every case against the sources and checks the value (or that nothing matched).
void expect_cases(const TextVarSources& src, std::initializer_list<Case> cases, EraTokens era = EraTokens::Expand)
{
    for (const Case& c : cases) {
        std::u16string s = c.text;
        SCOPED_TRACE("token \"" + u8(s) + "\"");
        const bool matched = expand_text_variable(s, src, era);
        if (c.value) {
            EXPECT_TRUE(matched);
            EXPECT_EQ(u8(s), u8(c.value));
        } else {
            EXPECT_FALSE(matched);
            EXPECT_EQ(u8(s), u8(c.text));
        }
    }
}

TextVarSources base_sources()
{
    TextVarSources src;
    src.file_path = u"C:\\Work\\Site A\\plan.jww";
    src.now = at(2024, 3, 5, 9, 7, 2); // a Tuesday
    src.file_date = at(2023, 11, 26, 21, 45, 9); // a Sunday
    src.draw_title = u"Ground floor";
    src.memo1 = u"first line";
    src.memo2 = u"the rest";
    src.draw_time = u"12:34";
    return src;
}

} // namespace

TEST(TextVariables, FileTokensOnAPathWithABlank)
{
    expect_cases(base_sources(),
        {
            { u"%F", u"C:\\Work\\Site A\\plan.jww" },
            { u"$F", u"C:\\Work\\Site A\\plan.jww" },
            { u"&F", u"C:\\Work\\Site A\\plan.jww" },
            { u"%f", u"plan.jww" },
            { u"$f", u"plan" },
            { u"&f", u"plan" },
            { u"$F1", u"Site A" },
            { u"&F1", u"Site A" },
            { u"%F1", u"Site A" },
            { u"$F2", u"Work" },
            { u"$F3", u"C:" },
            { u"$F4", u"C:" },
            { u"$F9", u"C:" },
            { u"%f1", u"p" },
            { u"%f3", u"pla" },
            { u"%f9", u"plan" },
            { u"%ff", u"plan" },
            // Not tokens: a trailing blank, a zero digit, upper-case hex, other prefixes.
            { u"%F ", nullptr },
            { u" %F", nullptr },
            { u"%f0", nullptr },
            { u"%fA", nullptr },
            { u"$f1", nullptr },
            { u"_F1", nullptr },
            { u"$F0", nullptr },
            { u"plan", nullptr },
            { u"$", nullptr },
            { u"%", nullptr },
            { u"", nullptr },
            { u"$X", nullptr },
        });
}

TEST(TextVariables, UncAndDoubledSeparatorsCountOnce)
{
    TextVarSources src = base_sources();
    src.file_path = u"\\\\SERVER\\SHARE\\\\A.JWW";
    expect_cases(src, { { u"$F1", u"SHARE" }, { u"$F2", u"SERVER" }, { u"$F3", u"" }, { u"$F9", u"" } });
}

TEST(TextVariables, DatePartsPaddedByPrefix)
{
    expect_cases(base_sources(),
        {
            // Now: 2024-03-05 09:07:02.
            { u"$m", u"3" },
            { u"&m", u" 3" },
            { u"%m", u"03" },
            { u"$d", u"5" },
            { u"&d", u" 5" },
            { u"%d", u"05" },
            { u"$y", u"24" },
            { u"$H", u"9" },
            { u"%H", u"09" },
            { u"%h", u"09" },
            { u"&M", u" 7" },
            { u"%S", u"02" },
            { u"$n", u"AM" },
            { u"$N", u"前" },
            { u"$w", u"火" },
            { u"%W", u"火" },
            { u"$wa", u"TUE" },
            { u"$ma", u"MAR" },
            { u"$j", u"2024/ 3/ 5" },
            { u"%j", u"2024/ 3/ 5" },
            // File date: 2023-11-26 21:45:09.
            { u"_m", u"11" },
            { u"=d", u"26" },
            { u"_H", u"21" },
            { u"_h", u" 9" },
            { u"=h", u"09" },
            { u"=S", u"09" },
            { u"_n", u"PM" },
            { u"=N", u"後" },
            { u"_w", u"日" },
            { u"=wa", u"SUN" },
            { u"_ma", u"NOV" },
            { u"_f", u"2023/11/26" },
            { u"=f", u"2023/11/26" },
            { u"_j", u"2023/11/26" },
            { u"_F", u"2023/11/26 21:45:09" },
            { u"=F", u"2023/11/26 21:45:09" },
        });
}

TEST(TextVariables, FileDateFormsPadMonthAndDay)
{
    TextVarSources src = base_sources();
    src.file_date = at(2024, 3, 5, 9, 7, 2);
    expect_cases(src,
        {
            { u"_F", u"2024/ 3/ 5 09:07:02" },
            { u"=F", u"2024/03/05 09:07:02" },
            { u"_f", u"2024/ 3/ 5" },
            { u"=f", u"2024/03/05" },
            { u"=j", u"2024/ 3/ 5" },
            { u"_J", u"令和6年 3月 5日" },
            { u"=m", u"03" },
            { u"_m", u" 3" },
        });
}

TEST(TextVariables, TwelveHourClockAndHalfDay)
{
    TextVarSources src = base_sources();
    src.now = at(2024, 3, 5, 12, 30, 0);
    src.file_date = at(2024, 3, 5, 0, 5, 0);
    expect_cases(src,
        {
            { u"$h", u"0" },
            { u"$H", u"12" },
            { u"$N", u"後" },
            { u"$n", u"PM" },
            { u"_h", u" 0" },
            { u"=H", u"00" },
            { u"_N", u"前" },
            { u"=n", u"AM" },
        });
}

TEST(TextVariables, YearOfTwoDigitsPadsOnlyOneDigitValues)
{
    TextVarSources src = base_sources();
    src.now = at(2005, 7, 1);
    expect_cases(src, { { u"$y", u"5" }, { u"&y", u" 5" }, { u"%y", u"05" } });
}

TEST(TextVariables, EraChangesOnTheFirstOfMay2019)
{
    TextVarSources src = base_sources();
    src.now = at(2019, 4, 30);
    expect_cases(src,
        {
            { u"$GＧＥＥ", u"平成31年" },
            { u"$GＧＥ", u"平成31" },
            { u"$GＧ", u"平成" },
            { u"$E", u"31" },
            { u"$G", u"31" },
            { u"$Y", u"31" },
            { u"$J", u"平成31年 4月30日" },
        });
    src.now = at(2019, 5, 1);
    expect_cases(src,
        {
            { u"$GＧＥＥ", u"令和元年" },
            { u"$GＧＥ", u"令和元" },
            { u"$GＧ", u"令和" },
            { u"$E", u"元" },
            { u"%E", u"元" },
            { u"$Y", u"31" },
            { u"$J", u"令和元年 5月 1日" },
        });
}

TEST(TextVariables, EraYearPaddingOnNewYear2025)
{
    TextVarSources src = base_sources();
    src.now = at(2025, 1, 1);
    src.file_date = at(2020, 6, 1);
    expect_cases(src,
        {
            { u"$E", u"7 " },
            { u"&E", u" 7" },
            { u"%E", u"07" },
            { u"$G", u"7 " },
            { u"$Y", u"37" },
            { u"$GＧＥＥ", u"令和7 年" },
            { u"%GＧＥＥ", u"令和07年" },
            // File date 2020: final era year 2, first-stage year 32.
            { u"_E", u" 2" },
            { u"=E", u"02" },
            { u"_Y", u"32" },
            { u"=GＧ", u"令和" },
            { u"_J", u"令和2年 6月 1日" },
        });
    src.now = at(1995, 1, 1);
    expect_cases(src, { { u"$Y", u"7 " }, { u"&Y", u" 7" }, { u"%Y", u"07" }, { u"$GＧ", u"平成" } });
    src.now = at(1989, 1, 8);
    expect_cases(src, { { u"$E", u"元" }, { u"$Y", u"1 " }, { u"$J", u"平成元年 1月 8日" } });
}

TEST(TextVariables, EraTokensKeptByTheM7Renderer)
{
    TextVarSources src = base_sources();
    src.now = at(2025, 1, 1);
    expect_cases(src,
        {
            { u"$E", nullptr },
            { u"_G", nullptr },
            { u"$GＧ", nullptr },
            { u"%GＧＥ", nullptr },
            { u"=GＧＥＥ", nullptr },
            // Every other token still expands.
            { u"$Y", u"37" },
            { u"$J", u"令和7年 1月 1日" },
            { u"%f", u"plan.jww" },
        },
        EraTokens::Keep);
}

TEST(TextVariables, DrawingTextsAndScales)
{
    TextVarSources src = base_sources();
    src.layer_scale = 100;
    src.prt_bairitsu = 1;
    expect_cases(src,
        {
            { u"%mm", u"Ground floor" },
            { u"%m1", u"first line" },
            { u"%m2", u"the rest" },
            { u"$T", u"12:34" },
            { u"=T", u"12:34" },
            { u"%SS", u"1/100" },
            { u"%ss", u"100" },
            { u"%SP", u"1/100" },
            { u"%sp", u"100" },
            { u"$SS", nullptr },
            { u"$mm", nullptr },
        });
    src.layer_scale = 0.5;
    expect_cases(src, { { u"%SS", u"2/1" }, { u"%ss", u"2" } });
    src.layer_scale = 0.3;
    expect_cases(src, { { u"%SS", u"3.3/1" } });
    src.layer_scale = 1.5;
    expect_cases(src, { { u"%SS", u"1/1.5" } });
    // The print magnification divides the scale.
    src.layer_scale = 100;
    src.prt_bairitsu = 2;
    expect_cases(src, { { u"%SP", u"1/50" }, { u"%sp", u"50" }, { u"%SS", u"1/100" } });
    src.layer_scale = 1;
    src.prt_bairitsu = 4;
    expect_cases(src, { { u"%SP", u"4/1" }, { u"%sp", u"4" } });
}

TEST(TextVariables, ZeroScaleGivesTextNotACrash)
{
    TextVarSources src = base_sources();
    src.layer_scale = 0;
    src.prt_bairitsu = 0;
    for (const char16_t* t : { u"%SS", u"%ss", u"%SP", u"%sp" }) {
        std::u16string s = t;
        EXPECT_TRUE(expand_text_variable(s, src));
        EXPECT_FALSE(s.empty());
    }
}

TEST(TextVariables, ReferencesFoundAndNotFound)
{
    const std::vector<TStr2List> refs = { { u"%%FLOOR", u"2F" }, { u"%%ROOM", u"Hall 3" }, { u"%%ROOM", u"second" } };
    TextVarSources src = base_sources();
    src.ref_list = refs;
    expect_cases(src,
        {
            { u"%%ROOM", u"Hall 3" },
            { u"%%FLOOR", u"2F" },
            // Matched as a token though no pair names it: drawn as written, as one run.
            { u"%%room", u"%%room" },
            { u"%%ROOM ", u"%%ROOM " },
            { u"%%", u"%%" },
        });
}

namespace {
TDateTime fixed_clock() { return detail::make_date_time(2019, 5, 1, 15, 0, 0); }
} // namespace

TEST(TextVariables, GlobalsAndTheClockHook)
{
    gFilePath = u"D:\\jobs\\x.jww";
    gFileDate = detail::make_date(2001, 2, 3);
    gLayerScale = 50;
    gPrtBairitsu = 1;
    gRefList = { { u"%%A", u"one" }, { u"%%B", u"two" } };
    gRefCount = 1; // the count is authoritative: the second pair is not in use
    const detail::TextClock old = detail::set_text_clock(&fixed_clock);

    const TextVarSources src = detail::text_var_sources_from_globals();
    expect_cases(src,
        {
            { u"$f", u"x" },
            { u"$F1", u"jobs" },
            { u"=f", u"2001/02/03" },
            { u"$GＧＥＥ", u"令和元年" },
            { u"$H", u"15" },
            { u"%SS", u"1/50" },
            { u"%%A", u"one" },
            { u"%%B", u"%%B" },
        });
    gRefCount = 5; // larger than the list: only what exists is read
    EXPECT_EQ(detail::text_var_sources_from_globals().ref_list.size(), 2u);

    detail::set_text_clock(old);
    gRefList.clear();
    gRefCount = 0;
    gFilePath.clear();
}
