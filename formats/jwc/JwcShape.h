// Geometry shared by the extents and drawing of ".jwc" and ".jwk" documents: arc sweeps and extent points.
#pragma once
#include <functional>
#include <numbers>

#include "formats/jwc/jwctype.h"

namespace detail {

inline constexpr double kFullSweepEps = 1e-14;
// The records hold their angles in degrees.
inline constexpr double kDegToRad = std::numbers::pi / 180.0;

// Sweep from st to et in degrees, as the drawing takes it: brought into 0..360 by whole turns.
double arc_draw_sweep(double st, double et);
bool is_full_sweep(double w);

// The points an arc contributes to the extents, in file units: four quadrant points of a full ellipse,
// else both ends and every quadrant point the sweep passes.
void arc_extent_points(const TEntJwcArc2& e, const std::function<void(double, double)>& add);

} // namespace detail
