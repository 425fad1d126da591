// Saving a picture, drawn in bands from the display list or drawn whole on a bitmap, into the image format
// named by a file's extension.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/RasterWrite.h"
#include "platform/VectorWrite.h"

namespace platform {

class Bitmap;
class DisplayList;

// How a saved image treats what the drawing left transparent, and an existing file at its place.
struct SaveOptions {
    uint32_t background = 0xFFFFFF; // 0xRRGGBB seen through transparent and partly covered pixels
    bool transparent = false; // keep the alpha channel instead; only formats that store one
    bool replace = false; // an existing file of that name is replaced (never written through)
    VectorPage page; // the page of a vector document (.pdf .svg .eps .ps)
};

// Writes the list's picture to `file`, its pixels drawn band by band as the format's writer asks for them;
// the writer follows the extension (.bmp .png .jpg .gif .tif .webp ...); a vector document's extension
// (.pdf .svg .eps .ps) makes one from the calls themselves. Never leaves a partial file at `file`. On failure
// returns false and sets `error`.
bool save_display_list(DisplayList& list, const std::filesystem::path& file, std::string& error,
    const SaveOptions& options = {}, const RasterOptions& raster = {});
// The same for a bitmap drawn whole, into image formats only.
bool save_bitmap(
    const Bitmap& b, const std::filesystem::path& file, std::string& error, const SaveOptions& options = {});

} // namespace platform
