#pragma once
// The whole number nearest to a value, halves to the even neighbour, as std::nearbyint gives it in the
// default rounding mode, but without the call into the maths library: rounding a setting at start
// would otherwise bring 64 KB of that library into the program's memory for this one function.

#include <cmath>

namespace corvane {

inline double nearestEven(double v) {
    // Adding and taking away 2^52 leaves no fraction: the addition rounds, to even on a half. From 2^52
    // up every double is whole already; NaN and the infinities fail the test and come back as they are.
    constexpr double kNoFraction = 4503599627370496.0;
    const double size = std::fabs(v);
    if (!(size < kNoFraction)) return v;
    return std::copysign(size + kNoFraction - kNoFraction, v);
}

}  // namespace corvane
