// The base-point mark of the symbol documents.
#include "graphics/BaseMark.h"

#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"

namespace detail {

void draw_base_mark(double x, double y)
{
    if (!gGraAtt || !gGraph2 || gGraAtt->GetDispKijun() != 1 || !(gDispScale > 0))
        return;
    gGraph2->GPenSet(0xFFFF0000, 0, 2);
    gGraph2->GLEllipse(x, y, 5 / gDispScale, 1, 0);
}

} // namespace detail
