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

// Flattens rows y0 .. y0 + rows - 1 onto white: premultiplied colour plus the white that shows through.
void flatten_rows(const Bitmap& b, int y0, int rows, uint8_t* rgb)
{
    const uint8_t* src = b.data() + size_t(y0) * size_t(b.stride());
    for (size_t i = 0, n = size_t(b.width()) * size_t(rows); i < n; ++i, src += 4, rgb += 3) {
        uint32_t px;
        std::memcpy(&px, src, 4);
        const uint32_t white = 255 - (px >> 24);
        rgb[0] = uint8_t(((px >> 16) & 0xFF) + white);
        rgb[1] = uint8_t(((px >> 8) & 0xFF) + white);
        rgb[2] = uint8_t((px & 0xFF) + white);
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

bool write_bmp(const Bitmap& b, OutputFile& out, std::string& error)
{
    return write_bmp24(
        out.fd(), b.width(), b.height(),
        [&b](int y0, int rows, uint8_t* rgb) {
            flatten_rows(b, y0, rows, rgb);
            return true;
        },
        error);
}

bool write_vips(const Bitmap& b, const OutputFormat& format, OutputFile& out, std::string& error)
{
    if (!vips_ready()) {
        error = "image codec unavailable";
        return false;
    }
    std::vector<uint8_t> rgb(size_t(b.width()) * size_t(b.height()) * 3);
    flatten_rows(b, 0, b.height(), rgb.data());
    VipsImage* im = vips_image_new_from_memory(rgb.data(), rgb.size(), b.width(), b.height(), 3, VIPS_FORMAT_UCHAR);
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

bool save_bitmap(const Bitmap& b, const std::filesystem::path& file, std::string& error)
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
    OutputFile out;
    if (!out.open(file, error))
        return false;
    const bool ok = format->writer == OutputWriter::Bmp ? write_bmp(b, out, error) : write_vips(b, *format, out, error);
    if (!ok) {
        out.discard();
        return false;
    }
    return out.commit(error);
}

} // namespace platform
