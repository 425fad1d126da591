// Decoding image files and in-memory BMP images into premultiplied ARGB32 bitmaps: BMP by our reader, the
// other accepted formats (PNG, JPEG, GIF, TIFF) by libvips.
#pragma once
#include <cstdint>
#include <filesystem>
#include <span>

#include "platform/Bitmap.h"

namespace platform {

// Images above this many pixels are decoded downscaled to fit it, keeping their proportions.
inline constexpr int64_t max_image_pixels = 100'000'000;

// A decoded image: the pixels, and the size of the image as stored (larger than the bitmap when downscaled).
struct LoadedImage {
    Bitmap pixels;
    int width = 0;
    int height = 0;
};

// Reads only the header: the stored size in pixels. False when the file cannot be opened as an image.
bool read_image_size(const std::filesystem::path& file, int& width, int& height);
// Decodes the file to sRGB with alpha; a BMP is told by its content, not its name. False, leaving out empty,
// when it cannot.
bool load_image_file(const std::filesystem::path& file, LoadedImage& out);
// Decodes a BMP file image held in memory.
bool load_image_bmp(std::span<const uint8_t> data, LoadedImage& out);

} // namespace platform
