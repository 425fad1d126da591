// The one table of paper codes and sizes.
#include "util/PaperSize.h"

namespace detail {
namespace {

struct Paper {
    int32_t code;
    PaperSize size;
};

constexpr Paper kPapers[] = {
    { 0, { 1189, 841 } },
    { 1, { 841, 594 } },
    { 2, { 594, 420 } },
    { 3, { 420, 297 } },
    { 4, { 297, 210 } },
    { 8, { 1682, 1189 } },
    { 9, { 2378, 1682 } },
    { 10, { 3364, 2378 } },
    { 11, { 4756, 3364 } },
    { 12, { 10000, 7073 } },
    { 13, { 50000, 35366 } },
    { 14, { 100000, 70732 } },
};

} // namespace

std::optional<PaperSize> find_paper(int32_t code)
{
    for (const Paper& p : kPapers)
        if (p.code == code)
            return p.size;
    return std::nullopt;
}

PaperSize paper_size(int32_t code) { return find_paper(code).value_or(kPapers[0].size); }

} // namespace detail
