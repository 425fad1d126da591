// The table of raster formats with their limits, and the write of a picture through our PNG writer or a
// libvips saver.
#include "platform/RasterWrite.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vips/vips.h>

#include "platform/BandImage.h"
#include "platform/Vips.h"

namespace platform {

namespace {

struct Format {
    std::string_view ext;
    int64_t max_side;
    // The encoder keeps the whole frame in memory.
    bool whole_frame;
};

// Sides past which a format, or the library that writes it, cannot go. libjpeg stops short of the
// 16-bit field; WebP has 14-bit sides; GIF and TIFF are bounded by their fields.
constexpr Format kFormats[] = {
    { ".png", png_max_side, false },
    { ".jpg", 65500, false },
    { ".jpeg", 65500, false },
    { ".tif", 0xFFFFFFFFLL, false },
    { ".tiff", 0xFFFFFFFFLL, false },
    { ".webp", 16383, true },
    { ".gif", 65535, true },
};

// A plain TIFF addresses its file with 32-bit offsets; past this many bytes of pixels it must be BigTIFF.
constexpr double kTiffPlainBytes = 4.0 * 1024 * 1024 * 1024 - 64.0 * 1024 * 1024;

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Formats not in the table: libvips' own bound, and the whole frame in memory to be safe.
Format format_of(std::string_view ext)
{
    const std::string e = lower(ext);
    for (const Format& f : kFormats)
        if (f.ext == e)
            return f;
    return { ext, VIPS_MAX_COORD, true };
}

std::string vips_message()
{
    std::string m = vips_error_buffer();
    vips_error_clear();
    while (!m.empty() && (m.back() == '\n' || m.back() == ' '))
        m.pop_back();
    if (auto nl = m.find('\n'); nl != std::string::npos)
        m.resize(nl);
    return m;
}

std::string count(double v) { return std::to_string(int64_t(v)); }

} // namespace

std::string raster_size_problem(std::string_view ext, double w, double h)
{
    const std::string what = "image of " + (std::isfinite(w) && std::fabs(w) < 1e18 ? count(w) : std::string("?"))
        + " x " + (std::isfinite(h) && std::fabs(h) < 1e18 ? count(h) : std::string("?")) + " pixels is too large";
    if (!(w >= 1 && h >= 1 && std::isfinite(w) && std::isfinite(h)))
        return what;
    const Format f = format_of(ext);
    // libvips' coordinates bound every format, ours too: our bands live in its coordinates.
    const int64_t side = std::min<int64_t>(f.max_side, VIPS_MAX_COORD);
    if (w > double(side) || h > double(side))
        return what + " for " + lower(ext) + " (" + std::to_string(side) + " pixels a side at most)";
    const int64_t budget = f.whole_frame ? raster_max_frame_pixels : raster_max_pixels;
    if (w * h > double(budget))
        return what + " for " + lower(ext) + " (" + std::to_string(budget) + " pixels at most)";
    return {};
}

bool write_raster(
    const RasterSource& src, VipsTarget* out, std::string_view ext, const RasterOptions& options, std::string& error)
{
    if (src.width() <= 0 || src.height() <= 0) {
        error = "nothing to save";
        return false;
    }
    if (const std::string p = raster_size_problem(ext, src.width(), src.height()); !p.empty()) {
        error = p;
        return false;
    }
    if (!vips_ready()) {
        error = "image codec unavailable";
        return false;
    }
    const std::string e = lower(ext);
    const int threads = options.threads > 0 ? options.threads : std::max(1, vips_concurrency_get());
    const int rows = band_rows_for(src.width(), options.band_rows);
    if (e == ".png") {
        PngOptions png = options.png;
        png.threads = threads;
        png.band_rows = rows;
        if (!write_png(src, out, png, error))
            return false;
        if (vips_target_end(out) != 0) {
            error = "cannot write the image: " + vips_message();
            return false;
        }
        return true;
    }
    if (!vips_foreign_find_save_target(e.c_str())) {
        vips_error_clear();
        error = "no encoder for " + e;
        return false;
    }
    // libvips' threads draw the bands; its own concurrency decides how many.
    const int saved_concurrency = vips_concurrency_get();
    if (options.threads > 0)
        vips_concurrency_set(options.threads);
    BandImage image(src, rows, threads);
    std::string suffix = e + "[strip";
    if ((e == ".tif" || e == ".tiff") && double(src.width()) * src.height() * 3 > kTiffPlainBytes)
        suffix += ",bigtiff";
    suffix += "]";
    const bool ok = image.image() && vips_image_write_to_target(image.image(), suffix.c_str(), out, nullptr) == 0;
    if (options.threads > 0)
        vips_concurrency_set(saved_concurrency);
    if (!ok) {
        error = "cannot write the image: " + vips_message();
        return false;
    }
    return true;
}

bool write_raster(
    const RasterSource& src, int fd, std::string_view ext, const RasterOptions& options, std::string& error)
{
    if (!vips_ready()) {
        error = "image codec unavailable";
        return false;
    }
    VipsTarget* out = vips_target_new_to_descriptor(fd);
    if (!out) {
        error = "cannot write the image: " + vips_message();
        return false;
    }
    const bool ok = write_raster(src, out, ext, options, error);
    g_object_unref(out);
    return ok;
}

} // namespace platform
