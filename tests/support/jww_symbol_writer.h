// Builds ".jws" symbol drawings byte by byte: the fixed 452-byte header, then a ".jww" body.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/jww_writer.h"

namespace jwwtest {

class JwsWriter {
public:
    // Records are laid out for version; the header states header_version (the same unless changed).
    explicit JwsWriter(int32_t version = 600);

    std::string magic = "JwsData"; // its first 7 bytes are written, padded with NULs
    int32_t header_version;
    double base_x = 0, base_y = 0;
    std::array<double, 16> scales; // layer-group scales, 1 unless changed
    // Header values that the conversion keeps but never uses.
    std::array<int32_t, 6> dmy0 {};
    std::array<double, 6> dmy1 {};
    std::array<double, 4> mxy {};
    // Entities and block definitions; its header is not written. Version 700 bodies carry their image
    // table after the definitions, which a symbol reader must not read.
    JwwWriter body;
    // Cuts the file after this many bytes when set (a header cut short).
    size_t truncate_at = 0;

    std::vector<uint8_t> bytes() const;
    bool save(const std::string& path) const;
};

} // namespace jwwtest
