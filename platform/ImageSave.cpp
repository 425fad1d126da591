// The one place where Cairo's premultiplied BGRA becomes the RGB that the encoders take.
#include "platform/ImageSave.h"

#include <cstring>
#include <optional>
#include <vector>
#include <vips/vips.h>

#include "platform/Bitmap.h"
#include "platform/BmpSave.h"
#include "platform/OutputFile.h"
#include "platform/OutputFormat.h"
#include "platform/Vips.h"

namespace platform {
namespace {

// Flattens rows y0 .. y0 + rows - 1 of premultiplied ARGB: RGB over the background (the colour plus the
// background that shows through), or, for a transparent image, RGBA with the colour unpremultiplied.
void flatten_rows(const Bitmap& b, int y0, int rows, uint8_t* out, const SaveOptions& o)
{
    const uint8_t* src = b.data() + size_t(y0) * size_t(b.stride());
    const size_t bands = o.transparent ? 4 : 3;
    const uint32_t back[3] = { (o.background >> 16) & 0xFF, (o.background >> 8) & 0xFF, o.background & 0xFF };
    for (size_t i = 0, n = size_t(b.width()) * size_t(rows); i < n; ++i, src += 4, out += bands) {
        uint32_t px;
        std::memcpy(&px, src, 4);
        const uint32_t a = px >> 24;
        const uint32_t c[3] = { (px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF };
        for (int k = 0; k < 3; ++k) {
            if (o.transparent)
                out[k] = uint8_t(a == 0 ? 0 : (c[k] * 255 + a / 2) / a);
            else
                out[k] = uint8_t(c[k] + ((255 - a) * back[k] + 127) / 255);
        }
        if (o.transparent)
            out[3] = uint8_t(a);
    }
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

bool write_bmp(const Bitmap& b, OutputFile& out, std::string& error, const SaveOptions& o)
{
    return write_bmp24(
        out.fd(), b.width(), b.height(),
        [&b, &o](int y0, int rows, uint8_t* rgb) {
            flatten_rows(b, y0, rows, rgb, o);
            return true;
        },
        error);
}

bool write_vips(const Bitmap& b, const OutputFormat& format, OutputFile& out, std::string& error, const SaveOptions& o)
{
    if (!vips_ready()) {
        error = "image codec unavailable";
        return false;
    }
    const int bands = o.transparent ? 4 : 3;
    std::vector<uint8_t> rgb(size_t(b.width()) * size_t(b.height()) * size_t(bands));
    flatten_rows(b, 0, b.height(), rgb.data(), o);
    VipsImage* im = vips_image_new_from_memory(rgb.data(), rgb.size(), b.width(), b.height(), bands, VIPS_FORMAT_UCHAR);
    if (!im) {
        error = vips_message();
        return false;
    }
    im->Type = VIPS_INTERPRETATION_sRGB;
    VipsTarget* target = vips_target_new_to_descriptor(out.fd());
    int rc = target ? 0 : -1;
    // Line art: no filter and a light deflate level compress nearly as well as the defaults, much faster.
    std::string options = format.suffix == ".png" ? "[compression=6,filter=none,strip]" : "[strip]";
    if (rc == 0)
        rc = vips_image_write_to_target(im, (format.suffix + options).c_str(), target, nullptr);
    if (target)
        g_object_unref(target);
    g_object_unref(im);
    if (rc != 0)
        error = vips_message();
    return rc == 0;
}

} // namespace

bool save_bitmap(const Bitmap& b, const std::filesystem::path& file, std::string& error, const SaveOptions& options)
{
    if (b.empty()) {
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
    OutputFile out;
    if (!out.open(file, error, options.replace))
        return false;
    const bool ok = format->writer == OutputWriter::Bmp ? write_bmp(b, out, error, options)
                                                        : write_vips(b, *format, out, error, options);
    if (!ok) {
        out.discard();
        return false;
    }
    return out.commit(error);
}

} // namespace platform
