// Raster images: lookup of Windows paths, decoding with a "~~" retry copy, fit modes, crop and rotation.
#include "graphics/ImageDraw.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "globals/UnitVal.h"
#include "platform/ImageLoad.h"
#include "platform/ImageSave.h"
#include "util/ClipUnit.h"
#include "util/Func_2_files.h"
#include "util/Func_2_geometry.h"
#include "util/Func_2_text.h"

namespace detail {

namespace {

using std::numbers::pi;
constexpr double max_side_px = 1'000'000;
constexpr uint32_t outline_colour = 0xFF0000FF;

std::filesystem::path disk_path(const std::u16string& p) { return std::filesystem::path(native_path(p)); }

// A decoded image and the temporary copy it may have been read through, removed when done.
struct Decoded {
    platform::LoadedImage img;
    std::u16string copy;
    bool ok = false;

    Decoded(const std::u16string& file, bool temp_copy)
    {
        ok = platform::load_image_file(disk_path(file), img);
        if (ok || !temp_copy || gRunTempFolder.empty())
            return;
        const std::u16string name = ExtractName(file);
        if (name.empty())
            return;
        const std::u16string dst = AddPathDelim(gRunTempFolder) + u"~~" + name;
        if (!CopyFileData(file, dst))
            return;
        copy = dst;
        ok = platform::load_image_file(disk_path(copy), img);
    }
    ~Decoded()
    {
        if (!copy.empty() && IsFile(copy))
            EraseFile(copy);
    }
    Decoded(const Decoded&) = delete;
    Decoded& operator=(const Decoded&) = delete;
};

// Source rectangle in the bitmap, from one in the stored image's pixels (the bitmap may be downscaled).
platform::RectF bitmap_rect(const platform::LoadedImage& img, double l, double t, double r, double b)
{
    const double fx = double(img.pixels.width()) / img.width, fy = double(img.pixels.height()) / img.height;
    return { float(l * fx), float(t * fy), float(r * fx), float(b * fy) };
}

bool finite_rect(const platform::RectF& r)
{
    return std::isfinite(r.Left) && std::isfinite(r.Top) && std::isfinite(r.Right) && std::isfinite(r.Bottom);
}

bool too_small_or_large(double dx, double dy)
{
    const double px = std::fabs(dx) * gDispScale, py = std::fabs(dy) * gDispScale;
    return !(px >= 2) || !(py >= 2) || px > max_side_px || py > max_side_px;
}

} // namespace

bool image_extension_ok(const std::u16string& fn)
{
    const std::u16string name = ExtractName(fn);
    const size_t dot = name.rfind(u'.');
    if (dot == std::u16string::npos)
        return false;
    const std::u16string ext = UpperText(name.substr(dot));
    return ext == u".BMP" || ext == u".PNG" || ext == u".TIF" || ext == u".TIFF" || ext == u".JPG" || ext == u".JPEG"
        || ext == u".GIF";
}

std::u16string find_image_file(const std::u16string& fn)
{
    if (fn.empty())
        return u"";
    if (IsFile(fn))
        return fn;
    const std::u16string folder = ExtractFolder(gFilePath);
    if (folder.empty())
        return u"";
    if (IsFile(folder + fn))
        return folder + fn;
    // A Windows path from another machine: its file name may still sit beside the drawing.
    const std::u16string name = ExtractName(fn);
    if (name.empty())
        return u"";
    return find_file_ignoring_case(folder, name);
}

bool get_image_size(const std::u16string& fn, double& ix, double& iy)
{
    ix = 100.0;
    iy = 100.0;
    const std::u16string file = find_image_file(fn);
    if (file.empty())
        return false;
    int w = 0, h = 0;
    if (!platform::read_image_size(disk_path(file), w, h))
        return false;
    ix = w;
    iy = h;
    return true;
}

bool get_image_copy(const std::u16string& src, const std::u16string& dst)
{
    const std::u16string file = find_image_file(src);
    platform::LoadedImage img;
    std::string error;
    if (!file.empty() && platform::load_image_file(disk_path(file), img)
        && platform::save_bitmap(img.pixels, disk_path(dst), error))
        return true;
    if (IsFile(dst))
        EraseFile(dst);
    return false;
}

int gl_image(Surface s, double x1, double y1, double x2, double y2, int Fm, const std::u16string& fn)
{
    if (!image_extension_ok(fn))
        return NothingToDraw;
    const std::u16string file = find_image_file(fn);
    if (file.empty())
        return NothingToDraw;
    double dx = x2 - x1, dy = y2 - y1;
    if (too_small_or_large(dx, dy))
        return TooSmall;
    if (view_code(x1, y1) & view_code(x2, y1) & view_code(x2, y2) & view_code(x1, y2))
        return Outside;

    Decoded dec(file, true);
    if (!dec.ok)
        return Drawn; // attempted; a file the codec cannot read is simply not drawn
    const double w = dec.img.width, h = dec.img.height;
    if (w <= 0 || h <= 0)
        return NothingToDraw;
    const double k = w / h;

    double left, right, bottom, top;
    if (dx > 0) {
        left = x1;
        right = Fm == 2 ? x1 + std::fabs(dy) * k : x2;
    } else {
        left = x2;
        right = x1;
        dx = -dx;
        if (Fm == 2)
            left = x1 - std::fabs(dy) * k;
    }
    if (dy > 0) {
        bottom = y1;
        top = Fm == 1 ? y1 + std::fabs(dx) / k : y2;
    } else {
        bottom = y2;
        top = y1;
        dy = -dy;
        if (Fm == 1)
            bottom = y1 - std::fabs(dx) / k;
    }
    if (Fm == 3) {
        if (std::fabs(dy) * k <= dx) {
            const double iw = std::fabs(dy) * k;
            left += (dx - iw) / 2;
            right = left + iw;
        } else {
            const double ih = std::fabs(dx) / k;
            bottom += (dy - ih) / 2;
            top = bottom + ih;
        }
    }

    double pl, pb, pr, pt;
    trans_pt(left, bottom, pl, pb);
    trans_pt(right, top, pr, pt);
    if (std::fabs(pr - pl) > 4 && std::fabs(pb - pt) > 4) {
        const platform::RectF src = bitmap_rect(dec.img, 0, 0, w, h);
        const platform::RectF dst { float(pl), float(pt), float(pr), float(pb) };
        if (finite_rect(dst))
            s.C.draw_bitmap(dec.img.pixels, src, dst);
    } else {
        platform::StrokeStyle st = s.C.stroke();
        st.Color = outline_colour;
        s.C.set_stroke(st);
        g_box(s, pl, pb, pr, pt);
    }
    return Drawn;
}

int gl_image2(Surface s, double x1, double y1, double x2, double y2, double drx, double dry, double drr, double dan,
    const std::u16string& fn, bool temp_copy)
{
    if (!image_extension_ok(fn))
        return NothingToDraw;
    const std::u16string file = find_image_file(fn);
    if (file.empty())
        return NothingToDraw;
    const double W = std::fabs(x2 - x1), H = std::fabs(y2 - y1);
    if (too_small_or_large(W, H))
        return TooSmall;
    const double left = std::min(x1, x2), right = std::max(x1, x2);
    const double bottom = std::min(y1, y2), top = std::max(y1, y2);
    const double k = H / W;

    double cx[3], cy[3];
    RotatePointDeg(right, bottom, left, bottom, dan, cx[0], cy[0]);
    RotatePointDeg(right, top, left, bottom, dan, cx[1], cy[1]);
    RotatePointDeg(left, top, left, bottom, dan, cx[2], cy[2]);
    if (view_code(left, bottom) & view_code(cx[0], cy[0]) & view_code(cx[1], cy[1]) & view_code(cx[2], cy[2]))
        return Outside;

    Decoded dec(file, temp_copy);
    if (!dec.ok)
        return Drawn;
    const double w = dec.img.width, h = dec.img.height;
    if (w <= 0 || h <= 0)
        return NothingToDraw;

    const double fx = drx > 1e-14 ? drx : 0, fy = dry > 1e-14 ? dry : 0, r = drr > 1e-14 ? drr : 1;
    const double sx = w * fx;
    const double sy = h - w * k * r - h * fy;
    const platform::RectF src = bitmap_rect(dec.img, sx, sy, sx + std::fabs(w * r), sy + std::fabs(w * k * r));

    double pl, pb, pr, pt;
    trans_pt(left, bottom, pl, pb);
    trans_pt(right, top, pr, pt);
    if (std::fabs(pr - pl) > 4 && std::fabs(pb - pt) > 4) {
        const platform::RectF dst { float(pl), float(pt), float(pr), float(pb) };
        if (!finite_rect(src) || !finite_rect(dst))
            return Drawn;
        if (std::fabs(dan) <= 1e-12 || std::fabs(dan - 360) <= 1e-12 || std::fabs(dan + 360) <= 1e-12) {
            s.C.draw_bitmap(dec.img.pixels, src, dst);
        } else {
            const platform::Matrix prev = s.C.transform();
            const platform::Matrix turn = platform::Matrix::compose(
                platform::Matrix::compose(
                    platform::Matrix::translation(-pl, -pb), platform::Matrix::rotation(dan / -180 * pi)),
                platform::Matrix::translation(pl, pb));
            s.C.multiply_transform(turn);
            s.C.draw_bitmap(dec.img.pixels, src, dst);
            s.C.set_transform(prev);
        }
    } else {
        platform::StrokeStyle st = s.C.stroke();
        st.Color = outline_colour;
        s.C.set_stroke(st);
        // Turned the way the image itself would be, counter-clockwise by dan degrees.
        gl_box_a(s, left, bottom, right, top, dan / 180 * pi);
    }
    return Drawn;
}

} // namespace detail
