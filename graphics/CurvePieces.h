// Pieces both renderers build patterned curves and polylines from: the polyline's visibility tests, arc chords and
// the pattern walk kept within the view.
#pragma once
#include "graphics/GraCore.h"
#include "graphics/LineStroke.h"
#include "util/Func_2_geometry.h"

namespace detail {

// A pattern whose period covers fewer pixels than this shows no gap: it is stroked as the solid line it looks
// like instead of being walked.
constexpr double solid_period_px = 1;
// How far, in pixels, a clipped segment may exceed the view's diagonal before a walk cuts it to the view.
constexpr double walk_slack_px = 2;

// Whether a pattern of this period (drawing units) is walked at the view scale; see solid_period_px.
bool period_walks(double period);

// The part of the clipped segment from (x, y) along the unit direction (ux, uy) over rest that a walk covers:
// from lo over len. Normally all of it (lo 0, len rest). ClipLine leaves a segment longer than the view's
// diagonal only when its arithmetic lost precision far outside; such a segment is cut to the part inside the
// view, which is never longer than the diagonal. False when no part lies inside.
bool walk_span(double x, double y, double ux, double uy, double rest, double& lo, double& len);

// walk_pattern over the part of the segment walk_span gives, the pattern moved on without drawing over the
// parts cut off, so that a walk never emits more pieces than the view has room for. False, touching nothing,
// when the pattern is too fine to walk at this scale: the caller strokes the segment solid.
template <class Piece>
bool walk_in_view(
    const double* pat, int n, PatternPos& pos, double x, double y, double ux, double uy, double rest, Piece&& piece)
{
    const double period = pattern_period(pat, n);
    if (n <= 0 || !period_walks(period))
        return false;
    double lo, len;
    if (!walk_span(x, y, ux, uy, rest, lo, len)) {
        pass_pattern(pat, n, period, pos, rest);
        return true;
    }
    pass_pattern(pat, n, period, pos, lo);
    walk_pattern(pat, n, pos, x + lo * ux, y + lo * uy, ux, uy, len, piece);
    pass_pattern(pat, n, period, pos, rest - lo - len);
    return true;
}

// The tests of a world polyline over the first n points of GLPoints before anything is drawn: fewer than 2
// points (NothingToDraw), all beyond one edge or every segment rejected (Outside), a visible length of at most
// 2 pixels (TooSmall, with the dot at the last point when it lies inside). Drawn means: draw it.
int polyline_precheck(Surface s, int n);

// Cuts the arc from parameter sa over da into n chords, the parameter accumulated by repeated addition, and
// hands each to piece(x1, y1, x2, y2), mapped by bt when given. Outside when every piece said so, else Drawn.
template <class Piece>
int arc_chords(double cx, double cy, double r, double h, double a, double sa, double da, int n, const BlockTrans* bt,
    Piece&& piece)
{
    const double step = da / n;
    double t = sa;
    double px, py;
    EllipsePoint(cx, cy, r, h, a, t, px, py);
    if (bt)
        bt->apply(px, py, px, py);
    int outside = 0;
    for (int i = 1; i <= n; ++i) {
        t += step;
        double qx, qy;
        EllipsePoint(cx, cy, r, h, a, t, qx, qy);
        if (bt)
            bt->apply(qx, qy, qx, qy);
        if (piece(px, py, qx, qy) == Outside)
            ++outside;
        px = qx;
        py = qy;
    }
    return outside == n ? Outside : Drawn;
}

} // namespace detail
