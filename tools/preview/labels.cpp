#include "labels.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "inputFile.h"
#include "scene.h"

namespace lumaveil::preview {

namespace {

std::string freetypeError(FT_Error error) {
    const char* text = FT_Error_String(error);
    return text != nullptr ? text : "FreeType error " + std::to_string(error);
}

// Why FreeType cannot make a face of a file, in words.
std::string unreadableFont(FT_Error error) {
    switch (error) {
        // A file too short for any font's header fails the first read.
        case FT_Err_Unknown_File_Format:
        case FT_Err_Invalid_Stream_Operation:
        case FT_Err_Invalid_Stream_Read:
        case FT_Err_Invalid_Stream_Seek:
        case FT_Err_Invalid_Stream_Skip:
            return "it is not a font file (FreeType reads TrueType, OpenType and a few others)";
        case FT_Err_Invalid_File_Format:
        case FT_Err_Invalid_Table:
        case FT_Err_Invalid_Offset:
            return "it is a damaged font file";
        case FT_Err_Out_Of_Memory:
            return "out of memory";
        default:
            return "FreeType cannot read it (" + freetypeError(error) + ")";
    }
}

std::string displayName(const std::string& host) {
    return host == "mentalray"  ? "mental ray"
           : host == "maya"     ? "Maya"
           : host == "arnold"   ? "Arnold"
           : host == "viewport" ? "Viewport 2.0"
                                : host;
}

// A label's box on the sheet, kept clear of the spheres.
struct LabelBox {
    int x, y, width, height;
};

}  // namespace

struct LabelFont::Face {
    std::string file;  // the font file's bytes, which the face reads from
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
    try {
        face_->file = InputFile(path).content();
    } catch (const InputFileError& error) {
        throw std::runtime_error("cannot read the font " + path + ": " + error.what());
    }
    if (const FT_Error error = FT_Init_FreeType(&face_->library)) {
        throw std::runtime_error("cannot start FreeType: " + freetypeError(error));
    }
    if (const FT_Error error =
            FT_New_Memory_Face(face_->library, reinterpret_cast<const FT_Byte*>(face_->file.data()),
                               static_cast<FT_Long>(face_->file.size()), 0, &face_->face)) {
        throw std::runtime_error("cannot read the font " + path + ": " + unreadableFont(error));
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

// The host of each swatch at its top-left corner (in a sweep, only in the
// first cell, once per row) and the material of each cell at its bottom, in
// the backdrop around the spheres: the text shrinks to fit there, down to the
// smallest size that still reads; where even that would touch a sphere it is
// drawn at that size all the same, its shadow keeping it legible over the
// sphere's rim, unless the swatch is too small for that to leave the sphere
// visible. Text wider than its room is left out, and counted.
int drawLabels(DisplayImage& image, LabelFont& font, const SheetLayout& layout,
               const std::vector<std::string>& hosts, const std::vector<std::string>& materials) {
    const int side = std::min(layout.swatchWidth, layout.swatchHeight);
    const float radius = sphereOutlineRadius(defaultScene()) * static_cast<float>(side) * 0.5f;
    const unsigned char colour[3] = {225, 225, 225};
    const unsigned char shadow[3] = {16, 16, 18};
    constexpr int smallest = 9;
    const int largest = std::clamp(side / 16, smallest, 24);
    // A sweep is read by its values: they may be as large as the room under
    // the spheres allows.
    const int largestCellLabel = std::clamp(side / (layout.hostsStacked ? 8 : 16), smallest, 24);

    // Clear of every sphere of the cell, with a pixel to spare.
    auto clear = [&](const LabelBox& box, int cell) {
        for (std::size_t h = 0; h < hosts.size(); ++h) {
            const int host = static_cast<int>(h);
            const float cx = static_cast<float>(layout.swatchX(cell, host)) +
                             static_cast<float>(layout.swatchWidth) * 0.5f;
            const float cy = static_cast<float>(layout.swatchY(cell, host)) +
                             static_cast<float>(layout.swatchHeight) * 0.5f;
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
    // Whether a label in its box may be drawn: it must fit its room, and be
    // clear of the spheres unless at the smallest size on a swatch large
    // enough to show the sphere past it.
    auto drawable = [&](const LabelBox& box, int margin, int room, int cell, int size) {
        return box.width + 2 * margin <= room &&
               ((size == smallest && side >= 96) || clear(box, cell));
    };
    auto draw = [&](const std::string& text, const LabelBox& box, int size) {
        font.draw(image, box.x + 1, box.y + 1, text, size, shadow);
        font.draw(image, box.x, box.y, text, size, colour);
    };
    auto margin = [](int size) { return std::max(2, size / 3); };
    int leftOut = 0;

    // Each host label at the largest size that fits its corner.
    for (std::size_t m = 0; m < materials.size(); ++m) {
        const int cell = static_cast<int>(m);
        for (std::size_t h = 0; h < hosts.size() && (!layout.hostsStacked || m == 0); ++h) {
            const std::string text = displayName(hosts[h]);
            bool drawn = false;
            for (int size = largest; size >= smallest && !drawn; --size) {
                const LabelBox box{layout.swatchX(cell, static_cast<int>(h)) + margin(size),
                                   layout.swatchY(cell, static_cast<int>(h)) + margin(size),
                                   font.width(text, size), size * 5 / 4};
                drawn = drawable(box, margin(size), layout.swatchWidth, cell, size);
                if (drawn) {
                    draw(text, box, size);
                }
            }
            leftOut += drawn ? 0 : 1;
        }
    }

    // The cell labels all at one size, the largest at which every one fits
    // clear of the spheres, so that a row of values reads evenly.
    auto cellBox = [&](std::size_t m, int size) {
        const int cell = static_cast<int>(m);
        const int width = font.width(materials[m], size);
        return LabelBox{layout.cellX(cell) + (layout.cellWidth - width) / 2,
                        layout.cellY(cell) + layout.cellHeight - margin(size) - size * 5 / 4, width,
                        size * 5 / 4};
    };
    int size = largestCellLabel;
    for (; size > smallest; --size) {
        bool all = true;
        for (std::size_t m = 0; m < materials.size() && all; ++m) {
            const LabelBox box = cellBox(m, size);
            all = materials[m].empty() || (box.width + 2 * margin(size) <= layout.cellWidth &&
                                           clear(box, static_cast<int>(m)));
        }
        if (all) {
            break;
        }
    }
    for (std::size_t m = 0; m < materials.size(); ++m) {
        const LabelBox box = cellBox(m, size);
        if (materials[m].empty()) {
            continue;
        }
        if (drawable(box, margin(size), layout.cellWidth, static_cast<int>(m), size)) {
            draw(materials[m], box, size);
        } else {
            ++leftOut;
        }
    }
    return leftOut;
}

// Lines between the cells of a sheet, so that each material's swatches read
// as one.
void drawCellBorders(DisplayImage& image, const SheetLayout& layout) {
    const unsigned char grey = 96;
    for (int c = 1; c < layout.columns; ++c) {
        for (int y = 0; y < image.height; ++y) {
            std::fill_n(image.at(c * layout.cellWidth, y), 3, grey);
        }
    }
    for (int r = 1; r < layout.rows; ++r) {
        std::fill_n(image.at(0, r * layout.cellHeight), 3 * static_cast<std::size_t>(image.width),
                    grey);
    }
}

}  // namespace lumaveil::preview
