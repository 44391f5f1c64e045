// A PNG file of 8-bit RGBA pixels, written without an image library, so
// that every build can make its icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumaveil::icons {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t>
        bytes;  // R, G, B, A per pixel, top row first; colour not premultiplied

    RgbaImage(int w, int h) : width(w), height(h), bytes(static_cast<std::size_t>(w) * h * 4) {}
    std::uint8_t* at(int x, int y) { return &bytes[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

// The whole file: its image data in stored (uncompressed) deflate blocks,
// which every reader takes; an icon is a few kilobytes either way.
std::string encodePng(const RgbaImage& image);

}  // namespace lumaveil::icons
