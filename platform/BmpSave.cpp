// Writing 24-bit BMP files strip by strip, with every size checked against the 32-bit fields of the format.
#include "platform/BmpSave.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <new>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

constexpr uint64_t headers_size = 14 + 40;
// About this much of the image is held at a time, twice (as fetched and as written).
constexpr uint64_t strip_bytes = uint64_t(1) << 20;

void put_u16(uint8_t*& p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p += 2;
}

void put_u32(uint8_t*& p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
    p += 4;
}

bool write_all(int fd, const uint8_t* data, size_t n, std::string& error)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            error = std::string("cannot write the image: ") + (w < 0 ? std::strerror(errno) : "nothing written");
            return false;
        }
        data += w;
        n -= size_t(w);
    }
    return true;
}

} // namespace

bool write_bmp24(
    int fd, int width, int height, const BmpRowSource& fetch_rows, std::string& error, int32_t pixels_per_metre)
{
    if (width <= 0 || height <= 0) {
        error = "no pixels to write";
        return false;
    }
    const uint64_t stride = (uint64_t(width) * 3 + 3) / 4 * 4;
    const uint64_t image_size = stride * uint64_t(height);
    const uint64_t file_size = headers_size + image_size;
    if (file_size > UINT32_MAX) {
        error = "image too large for BMP (" + std::to_string(width) + " x " + std::to_string(height)
            + " pixels make a file over 4 GiB)";
        return false;
    }
    if (pixels_per_metre <= 0)
        pixels_per_metre = bmp_default_pixels_per_metre;

    std::array<uint8_t, headers_size> head {};
    uint8_t* p = head.data();
    put_u16(p, 0x4D42); // "BM"
    put_u32(p, uint32_t(file_size));
    put_u32(p, 0);
    put_u32(p, uint32_t(headers_size));
    put_u32(p, 40);
    put_u32(p, uint32_t(width));
    put_u32(p, uint32_t(height)); // positive: bottom-up
    put_u16(p, 1);
    put_u16(p, 24);
    put_u32(p, 0); // BI_RGB
    put_u32(p, uint32_t(image_size));
    put_u32(p, uint32_t(pixels_per_metre));
    put_u32(p, uint32_t(pixels_per_metre));
    put_u32(p, 0);
    put_u32(p, 0);
    if (!write_all(fd, head.data(), head.size(), error))
        return false;

    const int strip = int(std::clamp<uint64_t>(strip_bytes / stride, 1, uint64_t(height)));
    std::vector<uint8_t> rgb, out;
    try {
        rgb.resize(size_t(width) * 3 * size_t(strip));
        out.resize(size_t(stride) * size_t(strip));
    } catch (const std::bad_alloc&) {
        error = "out of memory for a BMP strip";
        return false;
    }
    for (int end = height; end > 0;) {
        const int rows = std::min(strip, end);
        const int y0 = end - rows;
        if (!fetch_rows(y0, rows, rgb.data())) {
            error = "the image rows could not be produced";
            return false;
        }
        // Bottom row of the strip first; blue, green, red; padding zero.
        uint8_t* dst = out.data();
        for (int r = rows - 1; r >= 0; --r, dst += stride) {
            const uint8_t* src = rgb.data() + size_t(r) * size_t(width) * 3;
            uint8_t* d = dst;
            for (int x = 0; x < width; ++x, src += 3, d += 3) {
                d[0] = src[2];
                d[1] = src[1];
                d[2] = src[0];
            }
            std::memset(d, 0, size_t(stride) - size_t(width) * 3);
        }
        if (!write_all(fd, out.data(), size_t(stride) * size_t(rows), error))
            return false;
        end = y0;
    }
    return true;
}

} // namespace platform
