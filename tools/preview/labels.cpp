#include "labels.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "scene.h"

namespace lumaveil::preview {

namespace {

std::string freetypeError(FT_Error error) {
    const char* text = FT_Error_String(error);
    return text != nullptr ? text : "FreeType error " + std::to_string(error);
}

std::string displayName(const std::string& host) {
    return host == "mentalray" ? "mental ray" : host == "maya" ? "Maya" : host;
}

// A label's box on the sheet, kept clear of the spheres.
struct LabelBox {
    int x, y, width, height;
};

}  // namespace

struct LabelFont::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Face() {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }
};

LabelFont::LabelFont(const std::string& path) : face_(std::make_unique<Face>()) {
    if (const FT_Error error = FT_Init_FreeType(&face_->library)) {
        throw std::runtime_error("cannot start FreeType: " + freetypeError(error));
    }
    if (const FT_Error error = FT_New_Face(face_->library, path.c_str(), 0, &face_->face)) {
        throw std::runtime_error("cannot read the font " + path + ": " + freetypeError(error));
    }
    if (!FT_IS_SCALABLE(face_->face)) {
        throw std::runtime_error("cannot use the font " + path + ": it is not scalable");
    }
}

LabelFont::~LabelFont() = default;

int LabelFont::width(std::string_view text, int pixelHeight) {
    FT_Set_Pixel_Sizes(face_->face, 0, static_cast<FT_UInt>(pixelHeight));
    long advance = 0;
    for (const char c : text) {
        if (FT_Load_Char(face_->face, static_cast<unsigned char>(c), FT_LOAD_DEFAULT) == 0) {
            advance += face_->face->glyph->advance.x;
        }
    }
    return static_cast<int>((advance + 63) / 64);
}

void LabelFont::draw(DisplayImage& image, int x, int y, std::string_view text, int pixelHeight,
                     const unsigned char (&colour)[3]) {
    FT_Face face = face_->face;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight));
    const int baseline = y + static_cast<int>((face->size->metrics.ascender + 63) / 64);
    long penX = static_cast<long>(x) * 64;
    for (const char c : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int left = static_cast<int>(penX / 64) + glyph->bitmap_left;
        const int top = baseline - glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const int py = top + static_cast<int>(row);
            if (py < 0 || py >= image.height) {
                continue;
            }
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const int px = left + static_cast<int>(column);
                if (px < 0 || px >= image.width) {
                    continue;
                }
                const unsigned coverage = bitmap.buffer[row * bitmap.pitch + column];
                unsigned char* pixel = image.at(px, py);
                for (int k = 0; k < 3; ++k) {
                    pixel[k] = static_cast<unsigned char>(
                        (colour[k] * coverage + pixel[k] * (255 - coverage) + 127) / 255);
                }
            }
        }
        penX += glyph->advance.x;
    }
}

// The host of each half at its top-left corner and the material of each cell
// at the bottom, in the backdrop around the spheres: the text shrinks to fit
// there, down to the smallest size that still reads; where even that would
// touch a sphere it is drawn at that size all the same, its shadow keeping it
// legible over the sphere's rim, unless the swatch is too small for that to
// leave the sphere visible. Text wider than its room is left out.
void drawLabels(DisplayImage& image, LabelFont& font, const SheetLayout& layout,
                const Options& options, const std::vector<std::string>& hosts,
                const std::vector<std::string>& materials) {
    const int side = std::min(options.width, options.height);
    const float radius = sphereOutlineRadius(defaultScene()) * static_cast<float>(side) * 0.5f;
    const unsigned char colour[3] = {225, 225, 225};
    const unsigned char shadow[3] = {16, 16, 18};
    constexpr int smallest = 9;
    const int largest = std::clamp(side / 16, smallest, 24);

    // Clear of every sphere of the cell, with a pixel to spare.
    auto clear = [&](const LabelBox& box, int cellX, int cellY) {
        for (std::size_t h = 0; h < hosts.size(); ++h) {
            const float cx = static_cast<float>(cellX + static_cast<int>(h) * options.width) +
                             static_cast<float>(options.width) * 0.5f;
            const float cy = static_cast<float>(cellY) + static_cast<float>(options.height) * 0.5f;
            const float nx =
                std::clamp(cx, static_cast<float>(box.x), static_cast<float>(box.x + box.width));
            const float ny =
                std::clamp(cy, static_cast<float>(box.y), static_cast<float>(box.y + box.height));
            if (std::hypot(nx - cx, ny - cy) <= radius + 1.0f) {
                return false;
            }
        }
        return true;
    };
    // Tries each size from the largest down; place gives the box for a size.
    auto label = [&](const std::string& text, int cellX, int cellY, int room, auto place) {
        for (int size = largest; size >= smallest; --size) {
            const int margin = std::max(2, size / 3);
            const int width = font.width(text, size);
            const LabelBox box = place(width, size * 5 / 4, margin);
            if (width + 2 * margin > room) {
                continue;
            }
            if ((size == smallest && side >= 96) || clear(box, cellX, cellY)) {
                font.draw(image, box.x + 1, box.y + 1, text, size, shadow);
                font.draw(image, box.x, box.y, text, size, colour);
                return;
            }
        }
    };
    for (std::size_t m = 0; m < materials.size(); ++m) {
        const int cellX = static_cast<int>(m) % layout.columns * layout.cellWidth;
        const int cellY = static_cast<int>(m) / layout.columns * options.height;
        for (std::size_t h = 0; h < hosts.size(); ++h) {
            const int left = cellX + static_cast<int>(h) * options.width;
            label(displayName(hosts[h]), cellX, cellY, options.width,
                  [&](int width, int height, int margin) {
                      return LabelBox{left + margin, cellY + margin, width, height};
                  });
        }
        if (!materials[m].empty()) {
            label(materials[m], cellX, cellY, layout.cellWidth,
                  [&](int width, int height, int margin) {
                      return LabelBox{cellX + (layout.cellWidth - width) / 2,
                                      cellY + options.height - margin - height, width, height};
                  });
        }
    }
}

// Lines between the cells of a sheet, so that each material's pair of
// swatches reads as one.
void drawCellBorders(DisplayImage& image, const SheetLayout& layout, int cellHeight) {
    const unsigned char grey = 96;
    for (int c = 1; c < layout.columns; ++c) {
        for (int y = 0; y < image.height; ++y) {
            std::fill_n(image.at(c * layout.cellWidth, y), 3, grey);
        }
    }
    for (int r = 1; r < layout.rows; ++r) {
        std::fill_n(image.at(0, r * cellHeight), 3 * static_cast<std::size_t>(image.width), grey);
    }
}

std::string defaultFontPath() {
    return LUMAVEIL_PREVIEW_FONT;
}

}  // namespace lumaveil::preview
