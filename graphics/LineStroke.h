// The dash-pattern walk both renderers stroke their line types with, and the piece count of patterned curves.
#pragma once
#include <cmath>

#include "util/Func_2_geometry.h"

namespace detail {

// Most pieces a patterned curve is cut into, however long it is.
constexpr int max_arc_pieces = 72;

// Pieces for a patterned curve of estimated length length_px pixels: max_arc_pieces, or about one per 2 pixels
// when pieces would be shorter than that, at least 2.
int arc_piece_count(double length_px);

// Largest gap (absolute value of a negative entry) among the first n entries; 0 without gaps.
double pattern_largest_gap(const double* pat, int n);
// Sum of the absolute values of the first n entries.
double pattern_period(const double* pat, int n);

// Position in a pattern: entry k with d of its length already used.
struct PatternPos {
    int k = 0;
    double d = 0;
};

// Moves pos on by len along pat[0..n) (of the given period) without drawing. Whole periods are taken off
// first, so the cost never follows len; a position the remainder cannot be placed from is left as it was.
void pass_pattern(const double* pat, int n, double period, PatternPos& pos, double len);

// Walks pat[0..n) along the segment from (x, y) in the unit direction (ux, uy) over length rest, starting at
// pos and leaving pos where the segment ends. For every entry met it calls
//     piece(x0, y0, x1, y1, entry, last)
// with the piece's ends on the line, the entry's value and whether this piece ends the segment; the caller
// decides what a dash, gap, dot or zigzag vertex draws. Allocates nothing. It emits about n pieces per period
// of rest: the caller makes sure the pattern has a period (so the walk ends) and keeps rest to what the view
// can show (walk_in_view in graphics/CurvePieces.h does both).
template <class Piece>
void walk_pattern(
    const double* pat, int n, PatternPos& pos, double x, double y, double ux, double uy, double rest, Piece&& piece)
{
    constexpr double eps = 1e-14;
    // A length that is not a number would never run out.
    if (n <= 0 || !std::isfinite(rest))
        return;
    if (pos.k < 0 || pos.k >= n) {
        pos.k = 0;
        pos.d = 0;
    }
    for (;;) {
        double len = std::fabs(pat[pos.k]) - pos.d;
        if (len < 0)
            len = 0; // a position carried over from a longer entry
        if (len > rest)
            len = rest;
        const double qx = x + len * ux, qy = y + len * uy;
        const bool last = rest - len <= eps;
        piece(x, y, qx, qy, pat[pos.k], last);
        x = qx;
        y = qy;
        rest -= len;
        if (rest <= eps) {
            pos.d += len;
            return;
        }
        pos.d = 0;
        if (++pos.k >= n)
            pos.k = 0;
    }
}

} // namespace detail
