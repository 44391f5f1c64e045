#include "sweep.h"

#include <cmath>

#include "numberText.h"

namespace lumaveil::preview {

FloatVector Sweep::step(int i) const {
    // std::lerp is exact at both ends and bounded by them.
    const float t = static_cast<float>(i) / static_cast<float>(count - 1);
    FloatVector value;
    for (int k = 0; k < 3; ++k) {
        value[k] = std::lerp(from[k], to[k], t);
    }
    return value;
}

std::string valueText(const MaterialAttribute& attribute, FloatVector value) {
    auto number = [](float v) {
        return printed("%.3g", static_cast<double>(v) + 0.0);  // no "-0"
    };
    const bool one = attribute.components == 1 ||
                     (!isDirection(attribute) && value.x == value.y && value.y == value.z);
    return one ? number(value.x)
               : number(value.x) + ", " + number(value.y) + ", " + number(value.z);
}

}  // namespace lumaveil::preview
