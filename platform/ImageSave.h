// Encoding a bitmap into the image format named by a file's extension.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

namespace platform {

class Bitmap;

// How a saved image treats what the drawing left transparent, and an existing file at its place.
struct SaveOptions {
    uint32_t background = 0xFFFFFF; // 0xRRGGBB seen through transparent and partly covered pixels
    bool transparent = false; // keep the alpha channel instead; only formats that store one
    bool replace = false; // an existing file of that name is replaced (never written through)
};

// Writes `b` to `file`; the saver follows the extension (.bmp .png .jpg .gif .tif .webp ...).
// Never leaves a partial file at `file`. On failure returns false and sets `error`.
bool save_bitmap(
    const Bitmap& b, const std::filesystem::path& file, std::string& error, const SaveOptions& options = {});

} // namespace platform
