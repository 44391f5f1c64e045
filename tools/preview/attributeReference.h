// The attribute reference, docs/attributes.md, written from the tables the
// preview works with, so that the page says what the tool and the node do,
// and its pictures in docs/images, rendered by the tool's own code.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "image.h"
#include "labels.h"
#include "render.h"

namespace lumaveil::preview {

// A picture on the page: its file in docs/images and the lumaveil-preview
// arguments that render it.
struct ReferencePicture {
    std::string file;
    std::vector<std::string> arguments;
};

// A strip per input a swatch shows, then the presets' contact sheet.
std::vector<ReferencePicture> referencePictures();

// The whole Markdown page.
std::string attributeReferenceMarkdown();

// A picture as the PNG shows it, labelled with the font.
DisplayImage renderReferencePicture(const ReferencePicture& picture,
                                    std::span<const std::unique_ptr<SwatchHost>> hosts,
                                    LabelFont& font, int threads);

// docs/images/pictures.txt: per picture its file, size and arguments, and a
// fingerprint of what it shows, rendered again coarsely (the same arguments
// at 16 pixels a swatch): its linear values and its colours before the
// labels. A changed model, scene, tone curve or layout changes it; the
// labels' glyphs, which depend on the FreeType build, do not.
std::string pictureList(std::span<const std::unique_ptr<SwatchHost>> hosts, int threads);

}  // namespace lumaveil::preview
