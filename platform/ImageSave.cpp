// A picture saved whole or not at all: its format looked up by extension, written into an exclusively
// created file, renamed into place.
#include "platform/ImageSave.h"

#include <optional>

#include "platform/Bitmap.h"
#include "platform/OutputFile.h"
#include "platform/OutputFormat.h"

namespace platform {

bool save_picture(
    const RasterSource& src, const std::filesystem::path& file, std::string& error, const RasterOptions& options)
{
    if (src.width() <= 0 || src.height() <= 0) {
        error = "nothing to save";
        return false;
    }
    const std::optional<OutputFormat> format = output_format(file);
    if (!format) {
        error = "not an image format this program writes";
        return false;
    }
    if (std::string p = raster_size_problem(*format, src.width(), src.height()); !p.empty()) {
        error = std::move(p);
        return false;
    }
    OutputFile out;
    if (!out.open(file, error))
        return false;
    if (!write_raster(src, out.fd(), *format, options, error)) {
        out.discard();
        return false;
    }
    return out.commit(error);
}

bool save_bitmap(const Bitmap& b, const std::filesystem::path& file, std::string& error)
{
    if (b.empty()) {
        error = "nothing to save";
        return false;
    }
    return save_picture(BitmapSource(b), file, error);
}

} // namespace platform
