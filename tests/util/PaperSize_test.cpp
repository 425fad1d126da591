// The paper table: every code with its size, and the codes it lacks.
#include <cstdint>

#include <gtest/gtest.h>

#include "util/PaperSize.h"

namespace {

TEST(PaperSize, EveryCodeOfTheTableAndTheCodesItLacks)
{
    struct Case {
        int32_t code;
        bool known;
        double x, y;
    };
    const Case cases[] = {
        { 0, true, 1189, 841 },
        { 1, true, 841, 594 },
        { 2, true, 594, 420 },
        { 3, true, 420, 297 },
        { 4, true, 297, 210 },
        { 5, false, 1189, 841 },
        { 6, false, 1189, 841 },
        { 7, false, 1189, 841 },
        { 8, true, 1682, 1189 },
        { 9, true, 2378, 1682 },
        { 10, true, 3364, 2378 },
        { 11, true, 4756, 3364 },
        { 12, true, 10000, 7073 },
        { 13, true, 50000, 35366 },
        { 14, true, 100000, 70732 },
        { 15, false, 1189, 841 },
        { -1, false, 1189, 841 },
        { INT32_MIN, false, 1189, 841 },
    };
    for (const auto& c : cases) {
        const auto found = detail::find_paper(c.code);
        EXPECT_EQ(found.has_value(), c.known) << c.code;
        const detail::PaperSize p = detail::paper_size(c.code);
        EXPECT_EQ(p.x, c.x) << c.code;
        EXPECT_EQ(p.y, c.y) << c.code;
        if (found) {
            EXPECT_EQ(found->x, c.x) << c.code;
            EXPECT_EQ(found->y, c.y) << c.code;
        }
    }
}

} // namespace
