// Writing a picture in the image format its destination's extension names: PNG by our own writer, every
// other format by a libvips saver that pulls the bands it needs.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/PngSave.h"
#include "platform/RasterSource.h"

typedef struct _VipsTarget VipsTarget;

namespace platform {

struct RasterOptions {
    int threads = 0; // 0: as many as libvips uses
    int band_rows = 0; // 0: chosen from the width
    PngOptions png; // its threads and band rows are the two above
};

// No picture may have more pixels than this, whatever its format: well beyond the largest paper at
// 1200 dpi, and short of a run that would go on for hours.
inline constexpr int64_t raster_max_pixels = int64_t(1) << 33;
// Formats that an encoder holds whole in memory are kept to this many pixels (a 1 GiB frame).
inline constexpr int64_t raster_max_frame_pixels = int64_t(1) << 28;

// Why a picture of w x h pixels cannot be written in the format of `ext` (".png", ".jpg", ...), as a
// line for the user ("image of W x H pixels is too large for .jpg (65500 pixels a side at most)"); empty
// when it can.
std::string raster_size_problem(std::string_view ext, double w, double h);

// Writes `src` in the format of `ext` to `out` and ends the target. False, with `error` set, when the
// format has no encoder, the size is past its limits, or encoding or writing failed.
bool write_raster(
    const RasterSource& src, VipsTarget* out, std::string_view ext, const RasterOptions& options, std::string& error);
// The same into an open file descriptor, which stays open.
bool write_raster(
    const RasterSource& src, int fd, std::string_view ext, const RasterOptions& options, std::string& error);

} // namespace platform
