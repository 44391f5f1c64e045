// A linear RGB float image, the 8-bit sRGB image shown of it, and their
// OpenEXR and PNG files.
#pragma once

#include <cstddef>
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

// 8-bit sRGB codes, three per pixel, row by row, top row first.
struct DisplayImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> codes;

    DisplayImage() = default;
    DisplayImage(int w, int h) : width(w), height(h), codes(static_cast<std::size_t>(w) * h * 3) {}
    unsigned char* at(int x, int y) {
        return &codes[(static_cast<std::size_t>(y) * width + x) * 3];
    }
    const unsigned char* at(int x, int y) const {
        return &codes[(static_cast<std::size_t>(y) * width + x) * 3];
    }
};

// Write an image into an open, empty file (see OutputFiles); they throw
// std::runtime_error with the reason.
void writePng(int file, const DisplayImage& image);
void writeExr(int file, const Image& image);  // linear float, unclamped

DisplayImage readPng(const std::string& path);
Image readExr(const std::string& path);

}  // namespace lumaveil::preview
