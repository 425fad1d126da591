// A picture saved whole or not at all: its format looked up by extension, its pixels laid out as the
// options ask, written into an exclusively created file, renamed into place.
#include "platform/ImageSave.h"

#include <optional>

#include "platform/Bitmap.h"
#include "platform/DisplayList.h"
#include "platform/OutputFile.h"
#include "platform/OutputFormat.h"

namespace platform {

namespace {

PixelLayout layout_of(const SaveOptions& o) { return { o.background, o.transparent }; }

bool save(const RasterSource& src, const std::filesystem::path& file, std::string& error, const SaveOptions& options,
    const RasterOptions& raster)
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
    if (options.transparent && !format->alpha) {
        error = "the " + format->suffix.substr(1) + " format has no transparency";
        return false;
    }
    if (std::string p = raster_size_problem(*format, src.width(), src.height()); !p.empty()) {
        error = std::move(p);
        return false;
    }
    OutputFile out;
    if (!out.open(file, error, options.replace))
        return false;
    if (!write_raster(src, out.fd(), *format, raster, error)) {
        out.discard();
        return false;
    }
    return out.commit(error);
}

} // namespace

bool save_display_list(DisplayList& list, const std::filesystem::path& file, std::string& error,
    const SaveOptions& options, const RasterOptions& raster)
{
    return save(BandSource(list, layout_of(options)), file, error, options, raster);
}

bool save_bitmap(const Bitmap& b, const std::filesystem::path& file, std::string& error, const SaveOptions& options)
{
    if (b.empty()) {
        error = "nothing to save";
        return false;
    }
    return save(BitmapSource(b, layout_of(options)), file, error, options, {});
}

} // namespace platform
