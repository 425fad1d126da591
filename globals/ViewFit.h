// How a view is fitted to a rectangle of the drawing: grown by a 5 % margin, centred, at the largest scale that
// shows all of it. The driver and everything that draws as it does share it.
#pragma once

namespace detail {

// Width and height of the rectangle (x1, y1)-(x2, y2) with its margin; never zero.
void fit_span(double x1, double y1, double x2, double y2, double& dx, double& dy);

// Sets the view globals for a width x height bitmap fitted to the rectangle.
void fit_view(double x1, double y1, double x2, double y2, double width, double height);

} // namespace detail
