// The one place where Cairo's premultiplied BGRA becomes the RGB that libvips encodes.
#include "platform/ImageSave.h"

#include <cstring>
#include <optional>
#include <vector>
#include <vips/vips.h>

#include "platform/Bitmap.h"
#include "platform/OutputFile.h"
#include "platform/OutputFormat.h"
#include "platform/Vips.h"

namespace platform {
namespace {

// Premultiplied ARGB as libvips takes it: RGB over the background, or RGBA with the colour unpremultiplied.
std::vector<uint8_t> to_rgb(const Bitmap& b, const SaveOptions& o)
{
    const size_t w = size_t(b.width());
    const size_t h = size_t(b.height());
    const size_t bands = o.transparent ? 4 : 3;
    std::vector<uint8_t> out(w * h * bands);
    const uint32_t back[3] = { (o.background >> 16) & 0xFF, (o.background >> 8) & 0xFF, o.background & 0xFF };
    const uint8_t* src = b.data();
    uint8_t* dst = out.data();
    for (size_t i = 0, n = w * h; i < n; ++i, src += 4, dst += bands) {
        uint32_t px;
        std::memcpy(&px, src, 4);
        const uint32_t a = px >> 24;
        const uint32_t c[3] = { (px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF };
        for (int k = 0; k < 3; ++k) {
            if (o.transparent)
                dst[k] = uint8_t(a == 0 ? 0 : (c[k] * 255 + a / 2) / a);
            else
                dst[k] = uint8_t(c[k] + ((255 - a) * back[k] + 127) / 255);
        }
        if (o.transparent)
            dst[3] = uint8_t(a);
    }
    return out;
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

} // namespace

bool save_bitmap(const Bitmap& b, const std::filesystem::path& file, std::string& error, const SaveOptions& options)
{
    if (b.empty()) {
        error = "nothing to save";
        return false;
    }
    if (!vips_ready()) {
        error = "image codec unavailable";
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
    std::vector<uint8_t> rgb = to_rgb(b, options);
    VipsImage* im = vips_image_new_from_memory(
        rgb.data(), rgb.size(), b.width(), b.height(), options.transparent ? 4 : 3, VIPS_FORMAT_UCHAR);
    if (!im) {
        error = vips_message();
        return false;
    }
    im->Type = VIPS_INTERPRETATION_sRGB;
    OutputFile out;
    if (!out.open(file, error, options.replace)) {
        g_object_unref(im);
        return false;
    }
    int rc = 0;
    if (format->writer == OutputWriter::Bmp) {
        void* buf = nullptr;
        size_t len = 0;
        rc = vips_image_write_to_buffer(im, ".bmp", &buf, &len, nullptr);
        if (rc == 0 && !out.write(buf, len, error))
            rc = -2;
        g_free(buf);
    } else {
        VipsTarget* target = vips_target_new_to_descriptor(out.fd());
        rc = target ? 0 : -1;
        // Line art: no filter and a light deflate level compress nearly as well as the defaults, much faster.
        std::string options = format->suffix == ".png" ? "[compression=6,filter=none,strip]" : "[strip]";
        if (rc == 0)
            rc = vips_image_write_to_target(im, (format->suffix + options).c_str(), target, nullptr);
        if (target)
            g_object_unref(target);
    }
    g_object_unref(im);
    if (rc == -1)
        error = vips_message();
    if (rc != 0) {
        out.discard();
        return false;
    }
    return out.commit(error);
}

} // namespace platform
