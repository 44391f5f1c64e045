#include "numberText.h"

#include <charconv>
#include <cstdio>

namespace lumaveil {

std::string printed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string printed(const char* format, FloatVector value) {
    char text[128];
    std::snprintf(text, sizeof text, format, static_cast<double>(value.x),
                  static_cast<double>(value.y), static_cast<double>(value.z));
    return text;
}

std::string shortestText(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace lumaveil
