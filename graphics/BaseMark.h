// The mark at a symbol's base point, drawn after its entities when the reference-point display is on.
#pragma once

namespace detail {

// A red circle of 5 pixels radius at (x, y), pen width 2, through gGraph2; nothing without a renderer,
// attribute tables or a usable view scale, or when the reference-point display is off.
void draw_base_mark(double x, double y);

} // namespace detail
