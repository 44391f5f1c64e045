// Text on the PNG: the host of each half and the material of each cell,
// drawn with FreeType from a TrueType or OpenType font file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "image.h"

namespace lumaveil::preview {

class LabelFont {
public:
    // Throws std::runtime_error naming the file and FreeType's reason.
    explicit LabelFont(const std::string& path);
    ~LabelFont();
    LabelFont(const LabelFont&) = delete;
    LabelFont& operator=(const LabelFont&) = delete;

    // Width in pixels of a line of text at a pixel height.
    int width(std::string_view text, int pixelHeight);

    // Draws a line of text with its top-left corner at (x, y), blending the
    // glyphs' anti-aliased coverage over what is there in the given colour.
    // Whatever falls outside the image is left out.
    void draw(DisplayImage& image, int x, int y, std::string_view text, int pixelHeight,
              const unsigned char (&colour)[3]);

private:
    struct Face;
    std::unique_ptr<Face> face_;
};

// The font of this build: DejaVu Sans from the system's fonts.
std::string defaultFontPath();

}  // namespace lumaveil::preview
