// A picture written through our PNG writer or a libvips saver, with the size limits of its format.
#include "platform/RasterWrite.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vips/vips.h>

#include "platform/BandImage.h"
#include "platform/BmpSave.h"
#include "platform/Vips.h"

namespace platform {

namespace {

// A plain TIFF addresses its file with 32-bit offsets; past this many bytes of pixels it must be BigTIFF.
constexpr double kTiffPlainBytes = 4.0 * 1024 * 1024 * 1024 - 64.0 * 1024 * 1024;

} // namespace

std::string raster_size_problem(const OutputFormat& format, double w, double h)
{
    // Sizes as the settings asked, however absurd: whole numbers, or 1e+300 past them.
    auto count = [](double v) {
        if (std::isfinite(v) && std::fabs(v) < 1e15)
            return std::to_string(int64_t(v));
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", v);
        return std::string(buf);
    };
    const std::string what = "image of " + count(w) + " x " + count(h) + " pixels is too large";
    if (!(w >= 1 && h >= 1 && std::isfinite(w) && std::isfinite(h)))
        return what;
    if (w > double(format.max_side) || h > double(format.max_side))
        return what + " for " + format.suffix + " (" + std::to_string(format.max_side) + " pixels a side at most)";
    if (w * h > double(format.max_pixels))
        return what + " for " + format.suffix + " (" + std::to_string(format.max_pixels) + " pixels at most)";
    return {};
}

std::string saver_suffix(const OutputFormat& format, int64_t w, int64_t h)
{
    const bool tiff = format.suffix == ".tif" || format.suffix == ".tiff";
    return format.suffix + (tiff && double(w) * double(h) * 3 > kTiffPlainBytes ? "[strip,bigtiff]" : "[strip]");
}

namespace {

// libvips' threads draw the bands of a saver; its concurrency decides how many, so a count asked for is
// set for the time of the write.
class Concurrency {
public:
    explicit Concurrency(int threads)
        : saved_(vips_concurrency_get())
        , set_(threads > 0)
    {
        if (set_)
            vips_concurrency_set(threads);
    }
    ~Concurrency()
    {
        if (set_)
            vips_concurrency_set(saved_);
    }
    Concurrency(const Concurrency&) = delete;
    Concurrency& operator=(const Concurrency&) = delete;

private:
    int saved_;
    bool set_;
};

bool write_vips(
    const RasterSource& src, VipsTarget* out, const OutputFormat& format, int threads, int rows, std::string& error)
{
    const Concurrency concurrency(threads);
    BandImage image(src, rows, std::max(1, vips_concurrency_get()));
    if (!image.image()) {
        error = vips_error_line();
        return false;
    }
    const std::string suffix = saver_suffix(format, src.width(), src.height());
    const int rc = vips_image_write_to_target(image.image(), suffix.c_str(), out, nullptr);
    if (rc != 0) {
        error = vips_error_line();
        return false;
    }
    return true;
}

} // namespace

bool write_raster(const RasterSource& src, VipsTarget* out, const OutputFormat& format, const RasterOptions& options,
    std::string& error)
{
    if (src.width() <= 0 || src.height() <= 0) {
        error = "nothing to save";
        return false;
    }
    if (std::string p = raster_size_problem(format, src.width(), src.height()); !p.empty()) {
        error = std::move(p);
        return false;
    }
    if (!vips_ready()) {
        error = "image codec unavailable";
        return false;
    }
    const int threads = options.threads > 0 ? options.threads : std::max(1, vips_concurrency_get());
    const int rows = band_rows_for(src.width(), options.band_rows);
    if (format.writer == OutputWriter::Bmp) {
        error = "the bmp writer writes into files only";
        return false;
    }
    if (format.writer != OutputWriter::Png)
        return write_vips(src, out, format, options.threads, rows, error);
    PngOptions png = options.png;
    png.threads = threads;
    png.band_rows = rows;
    if (!write_png(src, out, png, error))
        return false;
    if (vips_target_end(out) != 0) {
        error = vips_error_line();
        return false;
    }
    return true;
}

bool write_raster(
    const RasterSource& src, int fd, const OutputFormat& format, const RasterOptions& options, std::string& error)
{
    if (format.writer == OutputWriter::Bmp) {
        if (std::string p = raster_size_problem(format, src.width(), src.height()); !p.empty()) {
            error = std::move(p);
            return false;
        }
        if (src.bands() != 3) {
            error = "the bmp format has no transparency";
            return false;
        }
        // The writer asks for strips from the bottom up, one after another.
        RenderScratch scratch;
        return write_bmp24(
            fd, src.width(), src.height(),
            [&](int y0, int rows, uint8_t* rgb) {
                return src.render({ 0, y0, src.width(), y0 + rows }, rgb, size_t(src.width()) * 3, scratch);
            },
            error);
    }
    if (!vips_ready()) {
        error = "image codec unavailable";
        return false;
    }
    VipsTarget* out = vips_target_new_to_descriptor(fd);
    if (!out) {
        error = vips_error_line();
        return false;
    }
    const bool ok = write_raster(src, out, format, options, error);
    g_object_unref(out);
    return ok;
}

} // namespace platform
