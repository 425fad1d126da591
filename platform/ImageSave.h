// Saving a picture, drawn whole or drawn in bands, into the image format named by a file's extension.
#pragma once
#include <filesystem>
#include <string>

#include "platform/RasterWrite.h"

namespace platform {

class Bitmap;

// Writes `src` to `file`; the writer follows the extension (.bmp .png .jpg .gif .tif .webp ...). Never
// leaves a partial file at `file`, never replaces one. On failure returns false and sets `error`.
bool save_picture(
    const RasterSource& src, const std::filesystem::path& file, std::string& error, const RasterOptions& options = {});
// The same for a bitmap drawn whole.
bool save_bitmap(const Bitmap& b, const std::filesystem::path& file, std::string& error);

} // namespace platform
