// Encoding a bitmap into the image format named by a file's extension.
#pragma once
#include <filesystem>
#include <string>

namespace platform {

class Bitmap;

// Writes `b` to `file`; the saver follows the extension (.bmp .png .jpg .gif .tif .webp ...).
// Never leaves a partial file at `file`. On failure returns false and sets `error`.
bool save_bitmap(const Bitmap& b, const std::filesystem::path& file, std::string& error);

} // namespace platform
