// Reading BMP images: every size is checked in 64 bits before use, and nothing is read or written out of bounds.
#include "platform/BmpLoad.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <new>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

constexpr uint64_t file_header_size = 14;
constexpr uint32_t core_header_size = 12;
constexpr uint32_t info_header_size = 40;
constexpr uint32_t longest_header_size = 124; // BITMAPV5HEADER
constexpr uint32_t bi_rgb = 0, bi_rle8 = 1, bi_rle4 = 2, bi_bitfields = 3, bi_alphabitfields = 6;
constexpr std::array<uint8_t, 4> opaque_black = { 0, 0, 0, 255 };

// Little-endian fields of a block of bytes. A read past the end gives zero and marks the block short.
class Fields {
public:
    explicit Fields(std::span<const uint8_t> b)
        : b_(b)
    {
    }
    size_t remaining() const { return b_.size() - pos_; }
    bool short_read() const { return short_; }
    uint8_t u8() { return uint8_t(take(1)); }
    uint16_t u16() { return uint16_t(take(2)); }
    uint32_t u32() { return take(4); }
    int32_t i32() { return int32_t(take(4)); }
    void skip(size_t n)
    {
        if (n > remaining())
            short_ = true;
        pos_ += std::min(n, remaining());
    }
    // Up to n bytes; fewer at the end.
    std::span<const uint8_t> bytes(size_t n)
    {
        n = std::min(n, remaining());
        auto s = b_.subspan(pos_, n);
        pos_ += n;
        return s;
    }

private:
    uint32_t take(size_t n)
    {
        if (n > remaining()) {
            short_ = true;
            pos_ = b_.size();
            return 0;
        }
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i)
            v |= uint32_t(b_[pos_ + i]) << (8 * i);
        pos_ += n;
        return v;
    }

    std::span<const uint8_t> b_;
    size_t pos_ = 0;
    bool short_ = false;
};

bool header_size_known(uint32_t n)
{
    // Core, info, V2 and V3 (info plus masks), V4, V5.
    return n == core_header_size || n == info_header_size || n == 52 || n == 56 || n == 108 || n == longest_header_size;
}

} // namespace

BmpBytes::BmpBytes(std::span<const uint8_t> memory)
    : memory_(memory)
    , size_(memory.size())
{
}

BmpBytes::BmpBytes(int fd, uint64_t size)
    : fd_(fd)
    , size_(size)
{
}

BmpBytes::BmpBytes(BmpBytes&& o) noexcept
    : memory_(o.memory_)
    , fd_(std::exchange(o.fd_, -1))
    , size_(std::exchange(o.size_, 0))
{
}

BmpBytes& BmpBytes::operator=(BmpBytes&& o) noexcept
{
    if (this != &o) {
        if (fd_ >= 0)
            ::close(fd_);
        memory_ = o.memory_;
        fd_ = std::exchange(o.fd_, -1);
        size_ = std::exchange(o.size_, 0);
    }
    return *this;
}

BmpBytes::~BmpBytes()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool BmpBytes::read_at(uint64_t offset, std::span<uint8_t> out) const
{
    if (offset > size_ || out.size() > size_ - offset)
        return false;
    if (fd_ < 0) {
        std::memcpy(out.data(), memory_.data() + offset, out.size());
        return true;
    }
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) // the file shrank or cannot be read
            return false;
        done += size_t(n);
    }
    return true;
}

uint8_t BmpImage::Channel::value(uint32_t pixel) const
{
    if (bits == 0)
        return 0;
    const uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8)
        return uint8_t(v >> (bits - 8));
    const uint32_t top = (1u << bits) - 1;
    return uint8_t((v * 255 + top / 2) / top);
}

bool BmpImage::open(BmpBytes bytes, std::string& error)
{
    *this = BmpImage();
    bytes_ = std::move(bytes);
    // The file header, then the info header and the masks that may follow a 40-byte one.
    std::array<uint8_t, file_header_size + longest_header_size + 16> head {};
    const size_t have = size_t(std::min<uint64_t>(bytes_.size(), head.size()));
    if (have < file_header_size + 4 || !bytes_.read_at(0, std::span(head).first(have))) {
        error = "too short for a BMP image";
        return false;
    }
    const auto block = std::span<const uint8_t>(head).first(have);
    Fields f(block);
    if (f.u8() != 'B' || f.u8() != 'M') {
        error = "not a BMP image";
        return false;
    }
    f.skip(8); // file size and reserved words: often wrong, never needed
    offset_ = f.u32();
    const uint32_t header_size = f.u32();
    if (!header_size_known(header_size)) {
        error = "unknown BMP header of " + std::to_string(header_size) + " bytes";
        return false;
    }
    if (file_header_size + header_size > have) {
        error = "truncated BMP header";
        return false;
    }
    return read_info_header(block.subspan(file_header_size), header_size, error) && check_pixel_bytes(error);
}

bool BmpImage::read_info_header(std::span<const uint8_t> head, uint32_t header_size, std::string& error)
{
    Fields f(head);
    f.skip(4);
    int64_t w = 0, h = 0;
    uint32_t colours_used = 0;
    if (header_size == core_header_size) {
        w = f.u16();
        h = f.u16();
        f.skip(2); // planes
        bits_ = f.u16();
    } else {
        w = f.i32();
        h = f.i32();
        f.skip(2); // planes
        bits_ = f.u16();
        compression_ = f.u32();
        f.skip(12); // image size and resolution
        colours_used = f.u32();
        f.skip(4); // important colours
    }
    // A 40-byte header is followed by its masks; the longer headers hold them.
    uint32_t mask_count = 0;
    if (compression_ == bi_bitfields || compression_ == bi_alphabitfields) {
        mask_count = header_size >= 56 ? 4 : header_size == 52 ? 3 : compression_ == bi_bitfields ? 3 : 4;
        std::array<uint32_t, 4> masks {};
        for (uint32_t i = 0; i < mask_count; ++i)
            masks[i] = f.u32();
        if (f.short_read()) {
            error = "truncated BMP masks";
            return false;
        }
        for (size_t i = 0; i < 4; ++i) {
            Channel& c = channels_[i];
            c.mask = masks[i];
            c.shift = masks[i] ? std::countr_zero(masks[i]) : 0;
            c.bits = std::bit_width(masks[i] >> c.shift);
        }
    }
    const uint64_t headers_end = file_header_size + header_size
        + (header_size == info_header_size ? mask_count * 4 : 0);

    const bool rle = compression_ == bi_rle8 || compression_ == bi_rle4;
    const bool fields = compression_ == bi_bitfields || compression_ == bi_alphabitfields;
    const bool depth_ok = header_size == core_header_size
        ? bits_ == 1 || bits_ == 4 || bits_ == 8 || bits_ == 24
        : (compression_ == bi_rgb
              && (bits_ == 1 || bits_ == 4 || bits_ == 8 || bits_ == 16 || bits_ == 24 || bits_ == 32))
            || (compression_ == bi_rle8 && bits_ == 8) || (compression_ == bi_rle4 && bits_ == 4)
            || (fields && (bits_ == 16 || bits_ == 32));
    if (!depth_ok) {
        error = "unsupported BMP of " + std::to_string(bits_) + " bits, compression " + std::to_string(compression_);
        return false;
    }
    if (compression_ == bi_rgb && bits_ == 16)
        channels_ = { Channel { 0x7C00, 10, 5 }, Channel { 0x03E0, 5, 5 }, Channel { 0x001F, 0, 5 }, Channel {} };
    if (compression_ == bi_rgb && bits_ == 32) // the fourth byte is not alpha unless masks say so
        channels_ = { Channel { 0xFF0000, 16, 8 }, Channel { 0xFF00, 8, 8 }, Channel { 0xFF, 0, 8 }, Channel {} };

    top_down_ = h < 0;
    h = top_down_ ? -h : h;
    if (w <= 0 || h == 0) {
        error = "BMP image without pixels";
        return false;
    }
    if (w > max_bmp_side || h > max_bmp_side || w * h > max_bmp_pixels) {
        error = "BMP image too large";
        return false;
    }
    if (rle && (top_down_ || w * h > max_bmp_rle_pixels)) {
        error = top_down_ ? "top-down RLE BMP" : "RLE BMP image too large";
        return false;
    }
    width_ = int(w);
    height_ = int(h);
    stride_ = (uint64_t(w) * uint64_t(bits_) + 31) / 32 * 4;

    if (offset_ < headers_end || offset_ >= bytes_.size()) {
        error = "BMP pixel data offset out of range";
        return false;
    }
    if (bits_ > 8)
        return true;
    const uint32_t count = (header_size == core_header_size || colours_used == 0) ? 1u << bits_ : colours_used;
    return read_palette(headers_end, header_size == core_header_size ? 3 : 4, count, error);
}

bool BmpImage::read_palette(uint64_t start, int entry_size, uint32_t count, std::string& error)
{
    // Only what lies between the headers and the pixels, and never more entries than an index can name.
    const uint64_t room = (offset_ - start) / uint64_t(entry_size);
    palette_size_ = uint32_t(std::min<uint64_t>({ count, room, 1u << bits_ }));
    if (palette_size_ == 0) {
        error = "BMP without palette";
        return false;
    }
    std::array<uint8_t, 256 * 4> raw {};
    const auto bytes = std::span(raw).first(size_t(palette_size_) * size_t(entry_size));
    if (!bytes_.read_at(start, bytes)) {
        error = "truncated BMP palette";
        return false;
    }
    for (uint32_t i = 0; i < palette_size_; ++i) {
        const uint8_t* p = bytes.data() + size_t(i) * size_t(entry_size);
        palette_[i] = { p[2], p[1], p[0], 255 };
    }
    return true;
}

bool BmpImage::check_pixel_bytes(std::string& error) const
{
    if (compression_ == bi_rle8 || compression_ == bi_rle4)
        return true; // RLE data ends where it ends
    // The last row stored may lack its padding.
    const uint64_t last_row = (uint64_t(width_) * uint64_t(bits_) + 7) / 8;
    const uint64_t need = stride_ * uint64_t(height_ - 1) + last_row;
    if (need > bytes_.size() - offset_) {
        error = "truncated BMP pixel data";
        return false;
    }
    return true;
}

bool BmpImage::prepare(std::string& error)
{
    if (compression_ != bi_rle8 && compression_ != bi_rle4)
        return true;
    // No sensible encoding spends more than 2 bytes a pixel plus a line end per row.
    const uint64_t pixels = uint64_t(width_) * uint64_t(height_);
    const uint64_t length = std::min(bytes_.size() - offset_, pixels * 2 + uint64_t(height_) * 4 + 16);
    try {
        std::vector<uint8_t> data(length);
        if (!bytes_.read_at(offset_, data)) {
            error = "unreadable BMP pixel data";
            return false;
        }
        rle_index_.assign(pixels, 0);
        rle_written_.assign((pixels + 7) / 8, 0);
        decode_rle(data);
    } catch (const std::bad_alloc&) {
        rle_index_ = {};
        rle_written_ = {};
        error = "out of memory for a BMP image";
        return false;
    }
    return true;
}

void BmpImage::decode_rle(std::span<const uint8_t> data)
{
    const bool four = compression_ == bi_rle4;
    Fields in(data);
    int64_t x = 0, row = 0; // row counted from the bottom
    // Pixels past the row's end or past the top are dropped.
    auto put = [&](int64_t n, auto index_of) {
        const int64_t count = std::clamp<int64_t>(width_ - x, 0, n);
        const size_t base = size_t(height_ - 1 - row) * size_t(width_) + size_t(x);
        for (int64_t i = 0; i < count; ++i) {
            const size_t at = base + size_t(i);
            rle_index_[at] = index_of(i);
            rle_written_[at / 8] |= uint8_t(1u << (at % 8));
        }
        x += n;
    };
    while (row < height_ && in.remaining() >= 2) {
        const uint8_t n = in.u8(), c = in.u8();
        if (n > 0) {
            put(n, [&](int64_t i) { return four ? uint8_t(i % 2 ? c & 15 : c >> 4) : c; });
            continue;
        }
        if (c == 0) { // end of line
            x = 0;
            ++row;
        } else if (c == 1) { // end of image
            return;
        } else if (c == 2) { // move right and up
            if (in.remaining() < 2)
                return;
            x += in.u8();
            row += in.u8();
        } else { // c literal pixels, padded to 16 bits
            const size_t length = four ? (size_t(c) + 1) / 2 : c;
            const auto lit = in.bytes(length);
            const int64_t got = four ? std::min<int64_t>(c, int64_t(lit.size()) * 2) : int64_t(lit.size());
            put(got, [&](int64_t i) { return four ? uint8_t(i % 2 ? lit[i / 2] & 15 : lit[i / 2] >> 4) : lit[i]; });
            if (lit.size() < length)
                return;
            in.skip(length % 2);
        }
    }
}

const uint8_t* BmpImage::palette_rgba(uint32_t index) const
{
    return index < palette_size_ ? palette_[index].data() : opaque_black.data();
}

void BmpImage::decode_row(const uint8_t* src, uint8_t* rgba) const
{
    const auto* ch = channels_.data();
    for (int x = 0; x < width_; ++x, rgba += 4) {
        switch (bits_) {
        case 1: std::memcpy(rgba, palette_rgba((src[x / 8] >> (7 - x % 8)) & 1), 4); break;
        case 4: std::memcpy(rgba, palette_rgba((src[x / 2] >> (x % 2 ? 0 : 4)) & 15), 4); break;
        case 8: std::memcpy(rgba, palette_rgba(src[x]), 4); break;
        case 24:
            rgba[0] = src[x * 3 + 2];
            rgba[1] = src[x * 3 + 1];
            rgba[2] = src[x * 3];
            rgba[3] = 255;
            break;
        default: {
            const uint8_t* p = src + size_t(x) * size_t(bits_ / 8);
            const uint32_t px = bits_ == 16 ? uint32_t(p[0] | p[1] << 8)
                                            : uint32_t(p[0] | p[1] << 8 | p[2] << 16) | uint32_t(p[3]) << 24;
            rgba[0] = ch[0].value(px);
            rgba[1] = ch[1].value(px);
            rgba[2] = ch[2].value(px);
            rgba[3] = ch[3].bits ? ch[3].value(px) : 255;
            break;
        }
        }
    }
}

bool BmpImage::read_row(int y, uint8_t* rgba, std::vector<uint8_t>& scratch) const
{
    if (y < 0 || y >= height_)
        return false;
    if (compression_ == bi_rle8 || compression_ == bi_rle4) {
        if (rle_index_.empty())
            return false;
        const size_t base = size_t(y) * size_t(width_);
        for (int x = 0; x < width_; ++x, rgba += 4) {
            const size_t at = base + size_t(x);
            if (rle_written_[at / 8] & (1u << (at % 8)))
                std::memcpy(rgba, palette_rgba(rle_index_[at]), 4);
            else
                std::memset(rgba, 0, 4);
        }
        return true;
    }
    const uint64_t stored = top_down_ ? uint64_t(y) : uint64_t(height_ - 1 - y);
    scratch.resize(size_t((uint64_t(width_) * uint64_t(bits_) + 7) / 8));
    if (!bytes_.read_at(offset_ + stored * stride_, scratch))
        return false;
    decode_row(scratch.data(), rgba);
    return true;
}

} // namespace platform
