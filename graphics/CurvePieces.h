// Pieces both renderers build patterned curves and polylines from: the polyline's visibility tests, arc chords.
#pragma once
#include "graphics/GraCore.h"
#include "util/Func_2_geometry.h"

namespace detail {

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
