// A sweep: one input stepped evenly from one value to another, a swatch per
// step, every other input as the preset and --set values leave it.
#pragma once

#include <string>
#include <vector>

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
// channels differ and of a direction, each to that many significant figures.
std::string valueText(const MaterialAttribute& attribute, FloatVector value, int figures = 3);

// The labels of the sweep's steps: three significant figures, or as many
// more as tell apart every two steps of different values.
std::vector<std::string> stepLabels(const Sweep& sweep);

}  // namespace lumaveil::preview
