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
};

struct OutputFormat {
    OutputWriter writer = OutputWriter::Vips;
    std::string suffix; // lower-case extension with its dot, as the saver knows it
    int64_t max_side = 0; // largest width or height the format stores
    bool alpha = false; // stores transparency
};

// The format DEST's extension names, in any letter case; nullopt when it is not an image format we write.
std::optional<OutputFormat> output_format(const std::filesystem::path& dest);

} // namespace platform
