// A PNG writer that draws and deflates bands of rows on several threads at once and joins them into one
// standard zlib stream, the way parallel gzip tools do.
#pragma once
#include <cstdint>
#include <string>

#include "platform/RasterSource.h"

typedef struct _VipsTarget VipsTarget;

namespace platform {

struct PngOptions {
    enum class Filter { None, Sub, Up, Paeth };
    int threads = 0; // 0: as many as libvips would use
    int band_rows = 0; // 0: chosen from the width
    // Measured on line art (bench/README.md): run-length matching without a filter costs a fifth of zlib's
    // default level 6 and gives files a few per cent larger; other filters only make them larger.
    int level = 1; // zlib level 1..9; the run-length strategy hardly depends on it
    bool rle = true; // zlib's run-length strategy: line art is runs of one colour
    Filter filter = Filter::None;
};

// Largest side a PNG may have.
inline constexpr int64_t png_max_side = 0x7FFFFFFF;

// Writes `src` as an 8-bit RGB or RGBA PNG (as its layout says) to `out`, not ending it. False, with `error` set, on
// failure; what was written by then is not a valid PNG.
bool write_png(const RasterSource& src, VipsTarget* out, const PngOptions& options, std::string& error);

} // namespace platform
