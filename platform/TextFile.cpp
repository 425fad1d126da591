// Line reading of small settings and reference files.
#include "platform/TextFile.h"

#include <fstream>

#include "platform/Cp932.h"

namespace platform {

std::filesystem::path fs_path(std::u16string_view p) { return std::filesystem::path(path_to_bytes(p)); }

std::u16string from_fs_path(const std::filesystem::path& p) { return path_from_bytes(p.native()); }

std::optional<std::vector<std::u16string>> read_cp932_lines(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::u16string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(cp932_to_utf16(line));
    }
    return lines;
}

} // namespace platform
