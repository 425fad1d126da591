// Vector documents (PDF, SVG, PostScript) made from the display list: its calls replayed onto a page.
#pragma once
#include <cstdint>
#include <string>

#include "platform/DisplayList.h"
#include "platform/OutputFormat.h"
#include "platform/RasterSource.h"

namespace platform {

// The page the picture's pixels are laid onto, and what the document says of itself.
struct VectorPage {
    double width_pt = 0; // 0: the picture's pixels at 96 dpi
    double height_pt = 0;
    std::string title; // UTF-8
};

// Seconds since 1970 that a document gives as its creation date: SOURCE_DATE_EPOCH when it holds a number,
// so that runs of the same drawing give the same bytes, else now.
int64_t document_time();

// Writes the list's picture as a one-page document of `format`'s vector kind into `fd`, which stays open.
// Lines, curves, fills and text stay what they are; each distinct image is stored once. Where the layout
// has no alpha the page is first covered with its background. False with `error` set.
bool write_vector(const DisplayList& list, int fd, const OutputFormat& format, const VectorPage& page,
    const PixelLayout& layout, std::string& error);

} // namespace platform
