// ClipUnit: region codes and one-pass clipping of points and segments against the view window.
#pragma once

// Window arguments are always minimum X, minimum Y, maximum X, maximum Y. A coordinate within 1e-14 of an
// edge counts as outside it.

// Region bits: 1 left, 2 right, 4 below, 8 above.
int ClipCode(double x, double y, double minX, double minY, double maxX, double maxY);
// 0 inside, 2 outside.
int ClipPoint(double x, double y, double minX, double minY, double maxX, double maxY);
// Clips the segment in place: 0 both ends inside (unchanged), 1 clipped and drawable, 2 rejected.
// One pass only: a segment passing beside a corner may come back as 1 with its ends still outside.
int ClipLine(double& x1, double& y1, double& x2, double& y2, double minX, double minY, double maxX, double maxY);
// ClipLine on copies.
int ClipLineTest(double x1, double y1, double x2, double y2, double minX, double minY, double maxX, double maxY);
