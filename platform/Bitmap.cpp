// Pixel buffer allocation that reports failure instead of throwing, and sharing without copies.
#include "platform/Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace platform {

namespace {

struct Free {
    void operator()(uint8_t* p) const { std::free(p); }
};

std::shared_ptr<uint8_t[]> allocate(size_t bytes)
{
    std::unique_ptr<uint8_t[], Free> p(static_cast<uint8_t*>(std::malloc(bytes)));
    if (!p)
        return nullptr;
    try {
        return std::shared_ptr<uint8_t[]>(std::move(p));
    } catch (const std::bad_alloc&) {
        return nullptr; // p still owns the block and frees it
    }
}

} // namespace

bool Bitmap::resize(int width, int height)
{
    if (width <= 0 || height <= 0 || width > max_side || height > max_side) {
        reset();
        return false;
    }
    const size_t bytes = size_t(width) * size_t(height) * 4;
    if (bytes > max_bytes) {
        reset();
        return false;
    }
    if (!data_ || data_.use_count() > 1 || capacity_ < bytes) {
        reset();
        data_ = allocate(bytes);
        if (!data_)
            return false;
        capacity_ = bytes;
    }
    width_ = width;
    height_ = height;
    fill(0xFFFFFFFF);
    return true;
}

void Bitmap::reset()
{
    data_.reset();
    capacity_ = 0;
    width_ = 0;
    height_ = 0;
}

Bitmap Bitmap::share() const
{
    Bitmap b;
    b.data_ = data_;
    b.capacity_ = capacity_;
    b.width_ = width_;
    b.height_ = height_;
    return b;
}

uint8_t* Bitmap::data()
{
    if (data_ && data_.use_count() > 1) {
        const size_t bytes = size_t(stride()) * size_t(height_);
        std::shared_ptr<uint8_t[]> own = allocate(bytes);
        if (!own) {
            reset();
            return nullptr;
        }
        std::memcpy(own.get(), data_.get(), bytes);
        data_ = std::move(own);
        capacity_ = bytes;
    }
    return data_.get();
}

void Bitmap::fill(uint32_t argb)
{
    if (!data_)
        return;
    const uint32_t a = argb >> 24;
    auto premul = [a](uint32_t c) { return (c * a + 127) / 255; };
    const uint32_t v = (a << 24) | (premul((argb >> 16) & 0xFF) << 16) | (premul((argb >> 8) & 0xFF) << 8)
        | premul(argb & 0xFF);
    uint8_t* bytes = data();
    if (!bytes)
        return;
    auto* px = reinterpret_cast<uint32_t*>(bytes);
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
