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

std::string valueText(const MaterialAttribute& attribute, FloatVector value, int figures) {
    const std::string format = "%." + std::to_string(figures) + "g";
    auto number = [&](float v) {
        return printed(format.c_str(), static_cast<double>(v) + 0.0);  // no "-0"
    };
    const bool one = attribute.components == 1 ||
                     (!isDirection(attribute) && value.x == value.y && value.y == value.z);
    return one ? number(value.x)
               : number(value.x) + ", " + number(value.y) + ", " + number(value.z);
}

std::vector<std::string> stepLabels(const Sweep& sweep) {
    // Nine significant figures tell any two floats apart.
    for (int figures = 3;; ++figures) {
        std::vector<std::string> labels;
        for (int i = 0; i < sweep.count; ++i) {
            labels.push_back(valueText(*sweep.attribute, sweep.step(i), figures));
        }
        bool apart = true;
        for (int i = 0; i < sweep.count && apart; ++i) {
            for (int k = i + 1; k < sweep.count && apart; ++k) {
                apart =
                    labels[static_cast<std::size_t>(i)] != labels[static_cast<std::size_t>(k)] ||
                    sweep.step(i) == sweep.step(k);
            }
        }
        if (apart || figures == 9) {
            return labels;
        }
    }
}

}  // namespace lumaveil::preview
