// The one table of output formats: our own writers by extension, then the image savers of libvips.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

enum class OutputWriter {
    Vips, // a libvips saver, chosen by `suffix`
    Bmp, // our 24-bit BMP writer
    Png, // our PNG writer, which deflates bands on several threads
    Vector, // a Cairo vector surface, of `vector` kind, fed the display list itself
};

enum class VectorKind { None, Pdf, Svg, Ps, Eps };

struct OutputFormat {
    OutputWriter writer = OutputWriter::Vips;
    std::string suffix; // lower-case extension with its dot, as the saver knows it
    int64_t max_side = 0; // largest width or height the format and its encoder store
    bool alpha = false; // stores transparency
    int64_t max_pixels = 0; // most pixels its encoder is given: a budget, as it may hold the frame whole
    VectorKind vector = VectorKind::None;
};

// No picture has more pixels than this in any format: well past the largest paper at 1200 dpi, short of a
// run that would go on for hours.
inline constexpr int64_t output_max_pixels = int64_t(1) << 33;
// Encoders that hold the whole frame in memory get at most this many pixels (a frame of 1 GiB).
inline constexpr int64_t output_max_frame_pixels = int64_t(1) << 28;

// The format DEST's extension names, in any letter case; nullopt when it is not an image format we write.
std::optional<OutputFormat> output_format(const std::filesystem::path& dest);

} // namespace platform
