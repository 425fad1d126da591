// Text variables: a text that is exactly one token ("%f", "$J", "%SS", "%%ROOM", ...) is drawn as its value.
#pragma once
#include <span>
#include <string>
#include <string_view>

#include "util/Types.h"

namespace detail {

// Everything a token can stand for. `now` is read once per expansion, by the caller.
struct TextVarSources {
    std::u16string_view file_path;
    TDateTime file_date = 0;
    TDateTime now = 0;
    std::u16string_view draw_title;
    std::u16string_view memo1;
    std::u16string_view memo2;
    std::u16string_view draw_time;
    double layer_scale = 1;
    double prt_bairitsu = 1;
    std::span<const TStr2List> ref_list; // already cut to the authoritative count
};

// Whether the renderer knows the era tokens whose letter after the prefix is "E" or "G" (the M7
// renderer leaves them as written).
enum class EraTokens { Expand, Keep };

// When s is a token, replaces it by its value and returns true. A text beginning with "%%" counts as
// a token even when the reference list has no entry for it (s is then unchanged). Otherwise false.
bool expand_text_variable(std::u16string& s, const TextVarSources& src, EraTokens era = EraTokens::Expand);

// The current date-time as the text variables see it: the local wall clock unless a hook is set.
using TextClock = TDateTime (*)();
// Installs a clock (null restores the wall clock); returns the previous hook.
TextClock set_text_clock(TextClock clock);
TDateTime text_clock_now();

// Sources taken from the driver's globals, with `now` from the text clock.
TextVarSources text_var_sources_from_globals();

// Only texts that could be tokens are worth reading the clock for.
bool may_be_text_variable(std::u16string_view s);

} // namespace detail
