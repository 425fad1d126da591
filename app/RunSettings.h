// What steers one conversion besides its two files: the output size and what lies under the drawing.
#pragma once
#include <cstdint>
#include <optional>

#include "platform/ImageSave.h"

namespace detail {

// How the output's pixel size is decided once the drawing is loaded.
enum class SizeRule {
    Settings, // the settings file: its resolution choice over the paper, else its pixel width and height
    Dpi, // the paper at `dpi` (a symbol's paper is its extents)
    Pixels, // `width` x `height`
    Width, // `width`; the height follows the rectangle the view is fitted to
    Height, // `height`; the width follows that rectangle
    Within, // that rectangle scaled to fit inside `width` x `height`
};

// The sub-module leaves everything at its default and reads Torvane.dat; drawconv fills it from its options.
struct RunSettings {
    SizeRule size = SizeRule::Settings;
    double dpi = 0;
    double width = 0;
    double height = 0;
    // 0xRRGGBB under the drawing instead of the background the drawing asks for.
    std::optional<uint32_t> background;
    // Nothing under the drawing: the image keeps its alpha channel.
    bool transparent = false;
    // The run's folder for extracted images lies under the system's temporary folder, not beside the
    // executable (an installed tool's folder is not ours to write in).
    bool private_temp = false;
    // An existing image at the destination is replaced, as a person expects on a second run; the
    // sub-module instead deletes it and stops, as its parent expects.
    bool replace = false;

    // A backdrop of our own replaces the drawing's background.
    bool own_backdrop() const { return transparent || background.has_value(); }
    platform::SaveOptions save_options() const
    {
        platform::SaveOptions o;
        o.background = background.value_or(0xFFFFFF);
        o.transparent = transparent;
        o.replace = replace;
        return o;
    }
};

} // namespace detail
