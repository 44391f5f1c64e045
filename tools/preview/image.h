// A linear RGB float image and its PNG and OpenEXR files.
#pragma once

#include <string>
#include <vector>

#include "model/FloatVector.h"

namespace lumaveil::preview {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<FloatVector> pixels;  // row by row, top row first

    Image() = default;
    Image(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h) {}
    FloatVector& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const FloatVector& at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
};

// Each writer writes beside the target and renames, so a file is whole or
// absent. They throw std::runtime_error with the reason.
void writePng(const std::string& path, const Image& image);  // 8-bit sRGB, clamped
void writeExr(const std::string& path, const Image& image);  // linear float, unclamped

Image readPng(const std::string& path);  // back to linear
Image readExr(const std::string& path);

// The 8-bit sRGB code of a linear value, clamped to [0, 1].
unsigned char srgbCode(float linear);

}  // namespace lumaveil::preview
