// Bounded little-endian reader over the bytes of an ".m7" file or one of its chunk bodies.
#pragma once
#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "util/Types.h"

namespace detail {

// The input/output error of the M7 reader; raised and caught inside TM7Data only.
class M7ReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every read is bounded by the span it was given. A field that the span holds only in part keeps
// its current bytes beyond the end, so a short body leaves records at their defaults (zero for
// fresh object records) and nothing is ever read outside the span.
class M7Reader {
public:
    M7Reader() = default;
    explicit M7Reader(std::span<const uint8_t> bytes)
        : bytes_(bytes)
    {
    }

    size_t size() const { return bytes_.size(); }
    size_t pos() const { return pos_; }
    size_t remaining() const { return bytes_.size() - pos_; }
    void seek(size_t p) { pos_ = std::min(p, bytes_.size()); }
    void skip(size_t n) { pos_ += std::min(n, remaining()); }

    // Up to n bytes from the current position; fewer at the end.
    std::span<const uint8_t> take(size_t n)
    {
        n = std::min(n, remaining());
        auto s = bytes_.subspan(pos_, n);
        pos_ += n;
        return s;
    }

    // A reader over the next up to n bytes; this reader moves past them.
    M7Reader sub(size_t n) { return M7Reader(take(n)); }

    // Overlays the available bytes of an integer or floating field onto its current value.
    template <class T> void field(T& v)
    {
        static_assert(std::is_arithmetic_v<T>);
        using U = std::conditional_t<sizeof(T) == 1, uint8_t,
            std::conditional_t<sizeof(T) == 2, uint16_t, std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>>;
        U u = std::bit_cast<U>(v);
        auto s = take(sizeof(T));
        for (size_t i = 0; i < s.size(); ++i) {
            U mask = U(0xFF) << (8 * i);
            u = U((u & ~mask) | (U(s[i]) << (8 * i)));
        }
        v = std::bit_cast<T>(u);
    }

    void field(TDPoint& p)
    {
        field(p.X);
        field(p.Y);
    }

    void field(TPoint& p)
    {
        field(p.X);
        field(p.Y);
    }

    template <class T, size_t N> void field(std::array<T, N>& a)
    {
        for (auto& e : a)
            field(e);
    }

    // A fixed-length text field of n bytes, decoded from code page 932 and cut at its first zero byte.
    // Every text field defaults to empty, so the bytes present are the whole field.
    void text(std::u16string& s, size_t n)
    {
        auto b = take(n);
        if (!b.empty())
            s = decode(b);
    }

    // A counted run of raw bytes (pictures, pixel data); exactly what the span holds.
    std::vector<uint8_t> blob(size_t n)
    {
        auto s = take(n);
        return std::vector<uint8_t>(s.begin(), s.end());
    }

    static std::u16string decode(std::span<const uint8_t> b);

    template <class T> T value()
    {
        T v {};
        field(v);
        return v;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

} // namespace detail
