// Value types shared by every layer: points, string pairs, date-times.
#pragma once
#include <cstdint>
#include <string>

struct TDPoint {
    double X = 0;
    double Y = 0;
};

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TStr2List {
    std::u16string s1;
    std::u16string s2;
};

// Days since 1899-12-30 with the time of day as the fraction, as the drawings' home platform counts them.
using TDateTime = double;
