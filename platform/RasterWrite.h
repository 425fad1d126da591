// Writing a picture in an output format: PNG by our own writer, every other format by its writer or a
// libvips saver, all of them pulling the picture's rows band by band.
#pragma once
#include <cstdint>
#include <string>

#include "platform/OutputFormat.h"
#include "platform/PngSave.h"
#include "platform/RasterSource.h"

typedef struct _VipsTarget VipsTarget;

namespace platform {

struct RasterOptions {
    int threads = 0; // 0: as many as libvips uses
    int band_rows = 0; // 0: chosen from the width
    PngOptions png; // its threads and band rows are the two above
};

// Why a picture of w x h pixels cannot be written in `format`, as a line for the user ("image of W x H
// pixels is too large for .jpg (65500 pixels a side at most)"); empty when it can.
std::string raster_size_problem(const OutputFormat& format, double w, double h);

// The suffix, with options, that a libvips saver of `format` is asked for: no metadata, and BigTIFF for a
// TIFF whose pixels alone pass what 32-bit offsets reach.
std::string saver_suffix(const OutputFormat& format, int64_t w, int64_t h);

// Writes `src` in `format` to `out`, and ends the target. False, with `error` set, when the size is past
// the format's limits, or encoding or writing failed.
bool write_raster(const RasterSource& src, VipsTarget* out, const OutputFormat& format, const RasterOptions& options,
    std::string& error);
// The same into an open file descriptor, which stays open; BMP is written only this way.
bool write_raster(
    const RasterSource& src, int fd, const OutputFormat& format, const RasterOptions& options, std::string& error);

} // namespace platform
