// Whole-bitmap and banded drawings of the same calls.
#include "tests/support/common_bands.h"

#include <algorithm>

#include "platform/CairoCanvas.h"
#include "platform/DisplayList.h"
#include "platform/RasterSource.h"

namespace bandtest {

std::vector<uint8_t> whole_rgb(int w, int h, const Draw& draw)
{
    platform::Bitmap b;
    if (!b.resize(w, h))
        return {};
    {
        platform::CairoCanvas c(b);
        draw(c);
    }
    std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
    platform::RenderScratch scratch;
    platform::BitmapSource(b).render({ 0, 0, w, h }, rgb.data(), size_t(w) * 3, scratch);
    return rgb;
}

std::vector<uint8_t> banded_rgb(int w, int h, const Draw& draw, int rows, int piece_width)
{
    platform::DisplayList list(w, h);
    draw(list);
    platform::BandSource src(list);
    src.piece_width = piece_width;
    std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
    platform::RenderScratch scratch;
    for (int y = 0; y < h; y += rows) {
        const platform::PixelRect band { 0, y, w, std::min(h, y + rows) };
        if (!src.render(band, rgb.data() + size_t(y) * size_t(w) * 3, size_t(w) * 3, scratch))
            return {};
    }
    return rgb;
}

std::string first_difference(const std::vector<uint8_t>& want, const std::vector<uint8_t>& got, int w)
{
    if (want.size() != got.size())
        return "sizes differ: " + std::to_string(want.size()) + " and " + std::to_string(got.size());
    size_t n = 0, first = 0;
    for (size_t i = 0; i < want.size(); ++i)
        if (want[i] != got[i] && n++ == 0)
            first = i;
    if (n == 0)
        return {};
    const size_t px = first / 3;
    return std::to_string(n) + " bytes differ, first at pixel (" + std::to_string(px % size_t(w)) + ", "
        + std::to_string(px / size_t(w)) + "): " + std::to_string(want[first]) + " wanted, "
        + std::to_string(got[first]) + " got";
}

size_t inked(const std::vector<uint8_t>& rgb)
{
    size_t n = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        n += rgb[i] != 255 || rgb[i + 1] != 255 || rgb[i + 2] != 255;
    return n;
}

} // namespace bandtest

namespace bandtest {

std::string bands_differ_from_whole(platform::DisplayList& list, std::initializer_list<int> rows)
{
    const int w = list.width(), h = list.height();
    const std::vector<uint8_t> whole = whole_rgb(w, h, [&](platform::Canvas& c) { list.replay_all(c); });
    if (whole.empty())
        return "no whole bitmap";
    platform::BandSource src(list);
    platform::RenderScratch scratch;
    for (int r : rows) {
        const int step = r > 0 ? r : h;
        std::vector<uint8_t> banded(whole.size());
        for (int y = 0; y < h; y += step)
            if (!src.render({ 0, y, w, std::min(h, y + step) }, banded.data() + size_t(y) * size_t(w) * 3,
                    size_t(w) * 3, scratch))
                return "no band";
        if (std::string d = first_difference(whole, banded, w); !d.empty())
            return "bands of " + std::to_string(step) + " rows: " + d;
    }
    return {};
}

} // namespace bandtest
