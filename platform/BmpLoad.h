// Our bounded reader of Windows BMP images: headers, palettes, bit fields and RLE, rows decoded on demand.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

// Headers claiming more pixels, or a longer side, are refused. Up to the decode budget an image is decoded
// whole; above it, rows are decoded as the downscaling asks for them, so this bounds time, not memory.
inline constexpr int64_t max_bmp_pixels = 1'000'000'000;
inline constexpr int max_bmp_side = 1'000'000;
// RLE data is expanded into memory before any row can be read, so compressed images stay within this.
inline constexpr int64_t max_bmp_rle_pixels = 100'000'000;

// The bytes of a BMP image, in memory or in a file it owns; every read is checked against their size.
class BmpBytes {
public:
    BmpBytes() = default;
    explicit BmpBytes(std::span<const uint8_t> memory);
    // Takes over fd, which is closed with this object.
    BmpBytes(int fd, uint64_t size);
    BmpBytes(BmpBytes&& o) noexcept;
    BmpBytes& operator=(BmpBytes&& o) noexcept;
    BmpBytes(const BmpBytes&) = delete;
    BmpBytes& operator=(const BmpBytes&) = delete;
    ~BmpBytes();

    uint64_t size() const { return size_; }
    // Fills out from offset; false when those bytes lie past the end or cannot be read. Safe from several threads.
    bool read_at(uint64_t offset, std::span<uint8_t> out) const;

private:
    std::span<const uint8_t> memory_;
    int fd_ = -1;
    uint64_t size_ = 0;
};

class BmpImage {
public:
    // Reads and checks the headers and the palette. False, with a short reason, when the bytes are no BMP
    // image we decode or hold fewer pixel bytes than the headers promise.
    bool open(BmpBytes bytes, std::string& error);
    // Expands RLE data; needed once before rows are read (nothing to do for other images).
    bool prepare(std::string& error);

    int width() const { return width_; }
    int height() const { return height_; }

    // Row y, counted from the top, as straight RGBA (4 bytes a pixel) into rgba. scratch is the caller's,
    // kept between calls. False when the bytes cannot be read. Safe from several threads at once.
    bool read_row(int y, uint8_t* rgba, std::vector<uint8_t>& scratch) const;

private:
    // One bit field of 16- and 32-bit pixels.
    struct Channel {
        uint32_t mask = 0;
        int shift = 0;
        int bits = 0;
        uint8_t value(uint32_t pixel) const;
    };

    bool read_info_header(std::span<const uint8_t> head, uint32_t header_size, std::string& error);
    bool read_palette(uint64_t start, int entry_size, uint32_t count, std::string& error);
    bool check_pixel_bytes(std::string& error) const;
    void decode_rle(std::span<const uint8_t> data);
    void decode_row(const uint8_t* src, uint8_t* rgba) const;
    const uint8_t* palette_rgba(uint32_t index) const;

    BmpBytes bytes_;
    int width_ = 0;
    int height_ = 0;
    bool top_down_ = false;
    int bits_ = 0;
    uint32_t compression_ = 0;
    uint64_t offset_ = 0;
    uint64_t stride_ = 0;
    std::array<Channel, 4> channels_ {}; // red, green, blue, alpha
    std::array<std::array<uint8_t, 4>, 256> palette_ {}; // RGBA
    uint32_t palette_size_ = 0;
    // RLE: palette indices, top row first, and a bit per pixel that the data wrote (the rest is transparent).
    std::vector<uint8_t> rle_index_;
    std::vector<uint8_t> rle_written_;
};

} // namespace platform
