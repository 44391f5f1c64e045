// Four lanes of single precision: red, green, blue and a fourth lane that
// stays 0, so that the three channels of a colour formula share instructions.
//
// Every operation is lanewise IEEE arithmetic, so each channel gets exactly
// the value of its scalar formula. GCC and Clang have a vector type for it;
// Visual Studio, clang-cl (which may define __GNUC__ too) and other compilers
// get a plain array with lanewise loops and the same results.
#pragma once

#include "model/FloatVector.h"

namespace lumaveil {

#if defined(__GNUC__) && !defined(_MSC_VER) && !defined(LUMAVEIL_PORTABLE_LANES)

using Lanes = float __attribute__((vector_size(16)));

inline Lanes splat(float x) {
    return Lanes{x, x, x, x};
}
inline Lanes lanes(FloatVector v) {
    return Lanes{v.x, v.y, v.z, 0.0f};
}

#else

struct alignas(16) Lanes {
    float lane[4] = {0.0f, 0.0f, 0.0f, 0.0f};

    constexpr float operator[](int i) const { return lane[i]; }
    constexpr float& operator[](int i) { return lane[i]; }
};

constexpr Lanes splat(float x) {
    return Lanes{{x, x, x, x}};
}
constexpr Lanes lanes(FloatVector v) {
    return Lanes{{v.x, v.y, v.z, 0.0f}};
}

#define LUMAVEIL_LANEWISE(op)                                     \
    constexpr Lanes operator op(const Lanes& a, const Lanes& b) { \
        Lanes r;                                                  \
        for (int i = 0; i < 4; ++i)                               \
            r.lane[i] = a.lane[i] op b.lane[i];                   \
        return r;                                                 \
    }                                                             \
    constexpr Lanes operator op(const Lanes& a, float b) {        \
        return a op splat(b);                                     \
    }                                                             \
    constexpr Lanes operator op(float a, const Lanes& b) {        \
        return splat(a) op b;                                     \
    }
LUMAVEIL_LANEWISE(+)
LUMAVEIL_LANEWISE(-)
LUMAVEIL_LANEWISE(*)
LUMAVEIL_LANEWISE(/)
#undef LUMAVEIL_LANEWISE

#endif

}  // namespace lumaveil
