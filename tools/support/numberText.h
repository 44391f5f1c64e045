// Numbers as the tools print them: in a printf format, one or the three of a
// vector, or as the shortest text that reads back as the same float.
#pragma once

#include <string>

#include "model/FloatVector.h"

namespace lumaveil {

// One number through a printf format such as "%g" or "%.3f".
std::string printed(const char* format, double value);

// A vector's three numbers through a format that takes three, such as
// "%.2f, %.2f, %.2f".
std::string printed(const char* format, FloatVector value);

// The shortest text that reads back as the same float.
std::string shortestText(float value);

}  // namespace lumaveil
