// Helpers of the dash-pattern walk.
#include "graphics/LineStroke.h"

namespace detail {

int arc_piece_count(double length_px)
{
    if (!(length_px / 72 < 2))
        return 72;
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

} // namespace detail
