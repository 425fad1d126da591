// Helpers of the dash-pattern walk.
#include "graphics/LineStroke.h"

#include <algorithm>

namespace detail {

int arc_piece_count(double length_px)
{
    if (!(length_px / max_arc_pieces < 2))
        return max_arc_pieces;
    const double n = round_half_even(length_px / 2);
    return n < 2 ? 2 : static_cast<int>(n);
}

double pattern_largest_gap(const double* pat, int n)
{
    double g = 0;
    for (int i = 0; i < n; ++i)
        if (pat[i] < 0 && -pat[i] > g)
            g = -pat[i];
    return g;
}

double pattern_period(const double* pat, int n)
{
    double p = 0;
    for (int i = 0; i < n; ++i)
        p += std::fabs(pat[i]);
    return p;
}

void pass_pattern(const double* pat, int n, double period, PatternPos& pos, double len)
{
    constexpr double tiny = 1e-10;
    if (n <= 0 || !(period > tiny) || !(len > tiny))
        return;
    // fmod keeps the remainder exact and within one period even for huge lengths.
    double c = std::fmod(len, period) + pos.d;
    for (int round = 0; round < 2; ++round) {
        for (int i = round == 0 ? std::max(pos.k, 0) : 0; i < n; ++i) {
            const double e = std::fabs(pat[i]);
            if (e >= c) {
                pos.k = i;
                pos.d = c;
                return;
            }
            c -= e;
        }
    }
}

} // namespace detail
