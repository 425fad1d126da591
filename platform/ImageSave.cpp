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

// The format of `file` when a picture of w x h pixels can be saved in it with `options`.
std::optional<OutputFormat> usable_format(
    const std::filesystem::path& file, int w, int h, const SaveOptions& options, std::string& error)
{
    if (w <= 0 || h <= 0) {
        error = "nothing to save";
        return std::nullopt;
    }
    std::optional<OutputFormat> format = output_format(file);
    if (!format) {
        error = "not an image format this program writes";
        return std::nullopt;
    }
    if (options.transparent && !format->alpha) {
        error = "the " + format->suffix.substr(1) + " format has no transparency";
        return std::nullopt;
    }
    if (std::string p = raster_size_problem(*format, w, h); !p.empty()) {
        error = std::move(p);
        return std::nullopt;
    }
    return format;
}

// Writes through `write` into a file made for it, renamed onto `file` when it succeeded.
template <class Write>
bool write_file(const std::filesystem::path& file, std::string& error, const SaveOptions& options, const Write& write)
{
    OutputFile out;
    if (!out.open(file, error, options.replace))
        return false;
    if (!write(out.fd())) {
        out.discard();
        return false;
    }
    return out.commit(error);
}

bool save(const RasterSource& src, const std::filesystem::path& file, std::string& error, const SaveOptions& options,
    const RasterOptions& raster)
{
    const std::optional<OutputFormat> format = usable_format(file, src.width(), src.height(), options, error);
    if (!format)
        return false;
    if (format->writer == OutputWriter::Vector) {
        error = "not an image format this program writes";
        return false;
    }
    return write_file(file, error, options, [&](int fd) { return write_raster(src, fd, *format, raster, error); });
}

} // namespace

bool save_display_list(DisplayList& list, const std::filesystem::path& file, std::string& error,
    const SaveOptions& options, const RasterOptions& raster)
{
    const std::optional<OutputFormat> format = output_format(file);
    if (!format || format->writer != OutputWriter::Vector)
        return save(BandSource(list, layout_of(options)), file, error, options, raster);
    if (!usable_format(file, list.width(), list.height(), options, error))
        return false;
    return write_file(file, error, options,
        [&](int fd) { return write_vector(list, fd, *format, options.page, layout_of(options), error); });
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
