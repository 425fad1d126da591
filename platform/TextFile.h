// Text files from Windows: code page 932, CR LF or LF line ends; and file-system path conversion.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// File names are UTF-8 bytes on this system; texts are UTF-16 in memory.
std::filesystem::path fs_path(std::u16string_view p);
std::u16string from_fs_path(const std::filesystem::path& p);

// The lines of a code page 932 text file without their terminators; nullopt when it cannot be opened.
// A read error ends the list early with what was read.
std::optional<std::vector<std::u16string>> read_cp932_lines(const std::filesystem::path& file);

} // namespace platform
