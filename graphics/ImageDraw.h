// Raster images of both renderers: file lookup, fitting, cropping, turning and the small-image outline.
#pragma once
#include <string>

#include "graphics/GraCore.h"

namespace detail {

// True for the extensions the drawings may name: .BMP .PNG .TIF .TIFF .JPG .JPEG .GIF in any case.
bool image_extension_ok(const std::u16string& fn);
// The file a drawing's image name refers to: the name as written, else relative to the drawing's folder, else
// the same file name in the drawing's folder without regard to case. "" when none exists.
std::u16string find_image_file(const std::u16string& fn);

bool get_image_size(const std::u16string& fn, double& ix, double& iy);
bool get_image_copy(const std::u16string& src, const std::u16string& dst);
// Fm: 0 stretch, 1 height from the width, 2 width from the height, 3 fit inside and centre.
int gl_image(Surface s, double x1, double y1, double x2, double y2, int Fm, const std::u16string& fn);
// temp_copy: retry an unreadable file through a "~~" copy in the run's private folder.
int gl_image2(Surface s, double x1, double y1, double x2, double y2, double drx, double dry, double drr, double dan,
    const std::u16string& fn, bool temp_copy);

} // namespace detail
