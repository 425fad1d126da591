// The paper sizes of the drawings' paper codes, in millimetres, landscape.
#pragma once
#include <cstdint>
#include <optional>

namespace detail {

struct PaperSize {
    double x = 0; // width
    double y = 0; // height
};

// The paper of a code the table holds (0 to 4 and 8 to 14), or none.
std::optional<PaperSize> find_paper(int32_t code);

// The paper of a code; every code the table lacks gives the largest standard sheet, 1189 x 841.
PaperSize paper_size(int32_t code);

} // namespace detail
