// Draws the same calls straight onto one bitmap and into a display list replayed in bands, for tests that
// the two give the same bytes.
#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace bandtest {

using Draw = std::function<void(platform::Canvas&)>;

// RGB bytes of `draw` on a whole w x h bitmap: how a picture was made before display lists.
std::vector<uint8_t> whole_rgb(int w, int h, const Draw& draw);

// RGB bytes of `draw` recorded into a display list, then replayed in bands of `rows` rows, each drawn in
// pieces at most `piece_width` wide.
std::vector<uint8_t> banded_rgb(int w, int h, const Draw& draw, int rows, int piece_width = 1 << 30);

// Empty when the two agree; else where they first differ.
std::string first_difference(const std::vector<uint8_t>& want, const std::vector<uint8_t>& got, int w);

// Number of pixels that are not white.
size_t inked(const std::vector<uint8_t>& rgb);

} // namespace bandtest

namespace platform {
class DisplayList;
}

namespace bandtest {

// Empty when the list drawn whole (every call made again on one bitmap, as the renderer made them) and
// replayed in bands of each height give the same bytes; else which band height differs and where.
std::string bands_differ_from_whole(platform::DisplayList& list, std::initializer_list<int> rows = { 1, 7, 64, 0 });

} // namespace bandtest
