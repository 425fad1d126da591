// Output formats by extension: a short table of image formats, each written by us or by a libvips saver.
#include "platform/OutputFormat.h"

#include <vips/vips.h>

#include <string_view>

#include "platform/Vips.h"

namespace platform {

namespace {

struct Entry {
    std::string_view suffix;
    OutputWriter writer;
    int64_t max_side;
    bool alpha; // stores transparency
    const char* module = nullptr; // the libvips module that holds the saver, loaded on demand
};

constexpr int64_t kInt32 = 0x7FFFFFFF;

// Only image formats: libvips also saves matrices, CSV and tile trees (".dz" writes a folder tree), none of
// which is an image file in the place the parent asked for.
constexpr Entry kFormats[] = {
    { ".bmp", OutputWriter::Bmp, kInt32, false },
    { ".png", OutputWriter::Vips, kInt32, true },
    { ".jpg", OutputWriter::Vips, 65535, false },
    { ".jpeg", OutputWriter::Vips, 65535, false },
    { ".jpe", OutputWriter::Vips, 65535, false },
    { ".gif", OutputWriter::Vips, 65535, true },
    { ".tif", OutputWriter::Vips, kInt32, true },
    { ".tiff", OutputWriter::Vips, kInt32, true },
    { ".webp", OutputWriter::Vips, 16383, true },
    { ".avif", OutputWriter::Vips, 16384, true, "heif" },
    { ".heic", OutputWriter::Vips, 16384, true, "heif" },
    { ".heif", OutputWriter::Vips, 16384, true, "heif" },
    { ".jp2", OutputWriter::Vips, kInt32, true },
    { ".j2k", OutputWriter::Vips, kInt32, true },
    { ".ppm", OutputWriter::Vips, kInt32, false },
    { ".pnm", OutputWriter::Vips, kInt32, false },
    { ".v", OutputWriter::Vips, kInt32, true },
    { ".vips", OutputWriter::Vips, kInt32, true },
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
        return OutputFormat { e.writer, ext, e.max_side, e.alpha };
    }
    return std::nullopt;
}

} // namespace platform
