// Our writer of 24-bit Windows BMP files, fed strips of rows so that the image never has to be whole in memory.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// 72 dots per inch.
inline constexpr int32_t bmp_default_pixels_per_metre = 2835;

// Fills rgb with the rows y0 .. y0 + rows - 1, counted from the top: 3 bytes a pixel (red, green, blue), rows
// packed without padding, row y0 first. False stops the writer.
using BmpRowSource = std::function<bool(int y0, int rows, uint8_t* rgb)>;

// Writes a BMP file (BITMAPINFOHEADER, 24 bits, bottom-up rows padded to 4 bytes) to fd, from its current
// position. Strips are asked for in the order they are written, from the bottom of the image up; together they
// cover every row once. False, with error set, when the size does not fit the format (the file must stay below
// 4 GiB), a fetch fails or a write fails; fd is left open either way.
bool write_bmp24(int fd, int width, int height, const BmpRowSource& fetch_rows, std::string& error,
    int32_t pixels_per_metre = bmp_default_pixels_per_metre);

} // namespace platform
