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

// Flattens onto white: premultiplied colour plus the white that shows through.
std::vector<uint8_t> to_rgb(const Bitmap& b)
{
    const size_t w = size_t(b.width());
    const size_t h = size_t(b.height());
    std::vector<uint8_t> rgb(w * h * 3);
    const uint8_t* src = b.data();
    uint8_t* dst = rgb.data();
    for (size_t i = 0, n = w * h; i < n; ++i, src += 4, dst += 3) {
        uint32_t px;
        std::memcpy(&px, src, 4);
        const uint32_t white = 255 - (px >> 24);
        dst[0] = uint8_t(((px >> 16) & 0xFF) + white);
        dst[1] = uint8_t(((px >> 8) & 0xFF) + white);
        dst[2] = uint8_t((px & 0xFF) + white);
    }
    return rgb;
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

bool save_bitmap(const Bitmap& b, const std::filesystem::path& file, std::string& error)
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
    std::vector<uint8_t> rgb = to_rgb(b);
    VipsImage* im = vips_image_new_from_memory(rgb.data(), rgb.size(), b.width(), b.height(), 3, VIPS_FORMAT_UCHAR);
    if (!im) {
        error = vips_message();
        return false;
    }
    im->Type = VIPS_INTERPRETATION_sRGB;
    OutputFile out;
    if (!out.open(file, error)) {
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
