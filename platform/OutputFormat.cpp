// Output formats by extension: a short table of image formats, each written by us or by a libvips saver, and
// the vector documents Cairo writes.
#include "platform/OutputFormat.h"

#include <vips/vips.h>

#include <algorithm>
#include <string_view>

#include "platform/Vips.h"

namespace platform {

namespace {

struct Entry {
    std::string_view suffix;
    OutputWriter writer;
    int64_t max_side;
    bool alpha; // stores transparency
    int64_t max_pixels;
    const char* module = nullptr; // the libvips module that holds the saver, loaded on demand
    VectorKind vector = VectorKind::None;
};

constexpr int64_t kInt32 = 0x7FFFFFFF;
constexpr int64_t kStream = output_max_pixels;
constexpr int64_t kFrame = output_max_frame_pixels;
// A BMP file's size is a 32-bit field: three bytes a pixel reach it first.
constexpr int64_t kBmpPixels = 0xFFFFFFFFLL / 3;

// Only image formats: libvips also saves matrices, CSV and tile trees (".dz" writes a folder tree), none of
// which is an image file in the place the parent asked for. libjpeg stops at 65500 pixels a side, short
// of its 16-bit field; libvips' own coordinates bound every format (see output_format). BMP, PNG, JPEG,
// TIFF, PPM and VIPS files are written strip by strip; the other encoders hold the whole frame.
constexpr Entry kFormats[] = {
    { ".bmp", OutputWriter::Bmp, kInt32, false, kBmpPixels },
    { ".png", OutputWriter::Png, kInt32, true, kStream },
    { ".jpg", OutputWriter::Vips, 65500, false, kStream },
    { ".jpeg", OutputWriter::Vips, 65500, false, kStream },
    { ".jpe", OutputWriter::Vips, 65500, false, kStream },
    { ".gif", OutputWriter::Vips, 65535, true, kFrame },
    { ".tif", OutputWriter::Vips, kInt32, true, kStream },
    { ".tiff", OutputWriter::Vips, kInt32, true, kStream },
    { ".webp", OutputWriter::Vips, 16383, true, kFrame },
    { ".avif", OutputWriter::Vips, 16384, true, kFrame, "heif" },
    { ".heic", OutputWriter::Vips, 16384, true, kFrame, "heif" },
    { ".heif", OutputWriter::Vips, 16384, true, kFrame, "heif" },
    { ".jp2", OutputWriter::Vips, kInt32, true, kFrame },
    { ".j2k", OutputWriter::Vips, kInt32, true, kFrame },
    { ".ppm", OutputWriter::Vips, kInt32, false, kStream },
    { ".pnm", OutputWriter::Vips, kInt32, false, kStream },
    { ".v", OutputWriter::Vips, kInt32, true, kStream },
    { ".vips", OutputWriter::Vips, kInt32, true, kStream },
    // Pages, not pixels: the size only sets where the calls lie and how finely embedded images are kept.
    // PostScript has no transparency.
    { ".pdf", OutputWriter::Vector, kInt32, true, kStream, nullptr, VectorKind::Pdf },
    { ".svg", OutputWriter::Vector, kInt32, true, kStream, nullptr, VectorKind::Svg },
    { ".eps", OutputWriter::Vector, kInt32, false, kStream, nullptr, VectorKind::Eps },
    { ".ps", OutputWriter::Vector, kInt32, false, kStream, nullptr, VectorKind::Ps },
};

std::string lower_ascii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

} // namespace

std::optional<OutputFormat> output_format(const std::filesystem::path& dest)
{
    const std::string ext = lower_ascii(dest.extension().native());
    for (const Entry& e : kFormats) {
        if (e.suffix != ext)
            continue;
        if (e.writer == OutputWriter::Vips) {
            // Present only when the installed libvips has the saver.
            if (!vips_ready() || (e.module && !vips_load_module(e.module))
                || !vips_foreign_find_save_target(ext.c_str())) {
                vips_error_clear();
                return std::nullopt;
            }
        }
        // Bands are drawn in libvips' coordinates, whichever writer encodes them.
        return OutputFormat { e.writer, ext, std::min<int64_t>(e.max_side, VIPS_MAX_COORD), e.alpha, e.max_pixels,
            e.vector };
    }
    return std::nullopt;
}

} // namespace platform
