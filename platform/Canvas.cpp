// The affine matrix helpers shared by every canvas.
#include "platform/Canvas.h"

#include <cairo.h>

#include <cmath>

namespace platform {

Matrix Matrix::rotation(double radians)
{
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    return { c, s, -s, c, 0, 0 };
}

Matrix Matrix::compose(const Matrix& first, const Matrix& then)
{
    Matrix r;
    r.xx = then.xx * first.xx + then.xy * first.yx;
    r.xy = then.xx * first.xy + then.xy * first.yy;
    r.x0 = then.xx * first.x0 + then.xy * first.y0 + then.x0;
    r.yx = then.yx * first.xx + then.yy * first.yx;
    r.yy = then.yx * first.xy + then.yy * first.yy;
    r.y0 = then.yx * first.x0 + then.yy * first.y0 + then.y0;
    return r;
}

bool Matrix::invertible() const
{
    const double v[] = { xx, yx, xy, yy, x0, y0 };
    for (double d : v)
        if (!std::isfinite(d))
            return false;
    const double det = xx * yy - yx * xy;
    if (!std::isfinite(det) || det == 0)
        return false;
    cairo_matrix_t c;
    cairo_matrix_init(&c, xx, yx, xy, yy, x0, y0);
    return cairo_matrix_invert(&c) == CAIRO_STATUS_SUCCESS;
}

PointF Matrix::apply(PointF p) const { return { float(xx * p.X + xy * p.Y + x0), float(yx * p.X + yy * p.Y + y0) }; }

} // namespace platform
