#include "labels.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>

namespace lumaveil::preview {

namespace {

std::string freetypeError(FT_Error error) {
    const char* text = FT_Error_String(error);
    return text != nullptr ? text : "FreeType error " + std::to_string(error);
}

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

std::string defaultFontPath() {
    return LUMAVEIL_PREVIEW_FONT;
}

}  // namespace lumaveil::preview
