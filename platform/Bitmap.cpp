// Pixel buffer allocation that reports failure instead of throwing.
#include "platform/Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform {

void Bitmap::Free::operator()(uint8_t* p) const { std::free(p); }

bool Bitmap::resize(int width, int height)
{
    reset();
    if (width <= 0 || height <= 0 || width > max_side || height > max_side)
        return false;
    const size_t bytes = size_t(width) * size_t(height) * 4;
    if (bytes > max_bytes)
        return false;
    auto* p = static_cast<uint8_t*>(std::malloc(bytes));
    if (!p)
        return false;
    data_.reset(p);
    width_ = width;
    height_ = height;
    fill(0xFFFFFFFF);
    return true;
}

void Bitmap::reset()
{
    data_.reset();
    width_ = 0;
    height_ = 0;
}

void Bitmap::fill(uint32_t argb)
{
    if (!data_)
        return;
    const uint32_t a = argb >> 24;
    auto premul = [a](uint32_t c) { return (c * a + 127) / 255; };
    const uint32_t v = (a << 24) | (premul((argb >> 16) & 0xFF) << 16) | (premul((argb >> 8) & 0xFF) << 8)
        | premul(argb & 0xFF);
    auto* px = reinterpret_cast<uint32_t*>(data_.get());
    const size_t n = size_t(width_) * size_t(height_);
    if (v == 0xFFFFFFFF) {
        std::memset(px, 0xFF, n * 4);
        return;
    }
    for (size_t i = 0; i < n; ++i)
        px[i] = v;
}

uint32_t Bitmap::pixel(int x, int y) const
{
    if (!data_ || x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    uint32_t v;
    std::memcpy(&v, data_.get() + size_t(y) * stride() + size_t(x) * 4, 4);
    const uint32_t a = v >> 24;
    if (a == 0)
        return 0;
    auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (un((v >> 16) & 0xFF) << 16) | (un((v >> 8) & 0xFF) << 8) | un(v & 0xFF);
}

} // namespace platform
