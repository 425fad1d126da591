// The affine matrix helpers shared by every canvas.
#include "platform/Canvas.h"

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

PointF Matrix::apply(PointF p) const { return { float(xx * p.X + xy * p.Y + x0), float(yx * p.X + yy * p.Y + y0) }; }

} // namespace platform
