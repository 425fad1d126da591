// An off-screen ARGB32 pixel buffer (Cairo's premultiplied layout), the surface every canvas draws on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    Bitmap(Bitmap&&) noexcept = default;
    Bitmap& operator=(Bitmap&&) noexcept = default;

    // Largest side Cairo's image surfaces accept.
    static constexpr int max_side = 32767;
    // Largest pixel buffer we try to allocate, in bytes.
    static constexpr size_t max_bytes = size_t(4) << 30;

    // Allocates width x height pixels, all opaque white, keeping the memory it holds when that suffices.
    // False, leaving the bitmap empty, when the size is out of range or the memory cannot be had.
    bool resize(int width, int height);
    void reset();
    void fill(uint32_t argb);

    // Another bitmap over the same pixels, made without copying them. Whichever of the two is written
    // through data() first takes a private copy, so a shared bitmap never changes under its holders.
    Bitmap share() const;

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return width_ * 4; }
    bool empty() const { return !data_; }
    // Writable pixels; copies them first when they are shared (empty, and the bitmap too, when that
    // copy cannot be had).
    uint8_t* data();
    const uint8_t* data() const { return data_.get(); }
    // Unpremultiplied ARGB of one pixel; 0 outside the bitmap.
    uint32_t pixel(int x, int y) const;

private:
    std::shared_ptr<uint8_t[]> data_;
    size_t capacity_ = 0;
    int width_ = 0;
    int height_ = 0;
};

} // namespace platform
