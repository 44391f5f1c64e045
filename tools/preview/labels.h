// Text on the PNG: the host of each swatch and the material of each cell,
// drawn with FreeType from a TrueType or OpenType font file, and the lines
// between the cells of a sheet.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "image.h"
#include "sheetLayout.h"

namespace lumaveil::preview {

class LabelFont {
public:
    // Reads the whole file, which must be a regular one (see InputFile).
    // Throws std::runtime_error naming the file and, in words, why it cannot
    // be read or is no font.
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

// The host of each swatch at its top-left corner (in a sweep, once per row)
// and the material of each cell (empty: none) at its bottom, in the backdrop
// around the spheres. Returns how many labels it left out, on swatches too
// small to hold them.
int drawLabels(DisplayImage& image, LabelFont& font, const SheetLayout& layout,
               const std::vector<std::string>& hosts, const std::vector<std::string>& materials);

// Lines between the cells of a sheet.
void drawCellBorders(DisplayImage& image, const SheetLayout& layout);

}  // namespace lumaveil::preview
