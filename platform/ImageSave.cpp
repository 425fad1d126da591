// The one place where Cairo's premultiplied BGRA becomes the RGB that libvips encodes.
#include "platform/ImageSave.h"

#include <cstring>
#include <system_error>
#include <unistd.h>
#include <vector>
#include <vips/vips.h>

#include "platform/Bitmap.h"
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
    const std::string name = file.string();
    const char* saver = vips_foreign_find_save(name.c_str());
    if (!saver) {
        vips_error_clear();
        error = "no encoder for " + file.extension().string();
        return false;
    }
    // A sibling with the same extension, renamed into place once complete.
    std::filesystem::path partial = file;
    partial.replace_filename(
        "." + file.stem().string() + ".partial" + std::to_string(getpid()) + file.extension().string());
    std::vector<uint8_t> rgb = to_rgb(b);
    VipsImage* im = vips_image_new_from_memory(rgb.data(), rgb.size(), b.width(), b.height(), 3, VIPS_FORMAT_UCHAR);
    if (!im) {
        error = vips_message();
        return false;
    }
    im->Type = VIPS_INTERPRETATION_sRGB;
    std::string target = partial.string();
    // Line art: no filter and a light deflate level compress nearly as well as the defaults, much faster.
    if (std::strcmp(saver, "VipsForeignSavePngFile") == 0)
        target += "[compression=6,filter=none,strip]";
    else
        target += "[strip]";
    const int rc = vips_image_write_to_file(im, target.c_str(), nullptr);
    g_object_unref(im);
    std::error_code ec;
    if (rc != 0) {
        error = vips_message();
        std::filesystem::remove(partial, ec);
        return false;
    }
    std::filesystem::rename(partial, file, ec);
    if (ec) {
        error = ec.message();
        std::filesystem::remove(partial, ec);
        return false;
    }
    return true;
}

} // namespace platform
