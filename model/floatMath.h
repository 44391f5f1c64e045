// The model's pi and its transcendental functions, rounded once to single
// precision.
//
// Each function is evaluated in double precision and rounded to the nearest
// float, so the result is the float nearest the exact value on every C
// library, and the Linux and Windows builds agree bit for bit.
//
// On glibc the shipped libraries call exp's first version, the same function
// behind an older error wrapper (cmake/glibcFloor.h).
#pragma once

#include <cmath>

namespace lumaveil {

// The single-precision value nearest pi.
inline constexpr float pi = 3.1415927f;

inline float roundedExp(float x) {
    return static_cast<float>(std::exp(static_cast<double>(x)));
}

inline float roundedAcos(float x) {
    return static_cast<float>(std::acos(static_cast<double>(x)));
}

// x^1.5 as x * sqrt(x); a negative base gives NaN, as pow does.
inline float roundedPowOneAndHalf(float x) {
    const double d = static_cast<double>(x);
    return static_cast<float>(d * std::sqrt(d));
}

}  // namespace lumaveil
