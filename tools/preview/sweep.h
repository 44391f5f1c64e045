// A sweep: one input stepped evenly from one value to another, a swatch per
// step, every other input as the preset and --set values leave it.
#pragma once

#include <string>

#include "materialInputs.h"
#include "model/FloatVector.h"

namespace lumaveil::preview {

struct Sweep {
    static constexpr int fewestSteps = 2;
    static constexpr int mostSteps = 16;

    const MaterialAttribute* attribute = nullptr;
    FloatVector from, to;
    int count = fewestSteps;  // steps, both ends included

    // Step i of count: from at 0, to at count - 1, evenly between and never
    // outside the two, so that ends within a hard limit keep every step within.
    FloatVector step(int i) const;
};

// A value as its swatch's label: one number, or all three of a colour whose
// channels differ and of a direction.
std::string valueText(const MaterialAttribute& attribute, FloatVector value);

}  // namespace lumaveil::preview
