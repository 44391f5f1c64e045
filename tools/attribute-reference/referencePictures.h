// The pictures of the attribute reference, rendered by the preview's own
// code through the built plug-in and shaders: a strip per input a swatch
// shows, then the presets' contact sheet.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image.h"
#include "labels.h"
#include "materialInputs.h"
#include "render.h"

namespace lumaveil::reference {

using preview::DisplayImage;
using preview::LabelFont;
using preview::SwatchRenderer;

// A picture on the page: its file in docs/images and the lumaveil-preview
// arguments that render it.
struct ReferencePicture {
    std::string file;
    std::vector<std::string> arguments;
};

// The swatch size of the strips: the sphere fills the width, leaving room
// above and below for the labels.
inline constexpr std::string_view stripSwatchSize = "96x120";

// An input's strip: its soft range or a range chosen where it has none, in
// five steps when centred on 0 (so that 0 is one) and six otherwise.
struct Strip {
    std::string file;  // in docs/images
    std::string from, to;
    int count = 6;
    bool softRange = false;  // from and to are the input's soft range
    std::string_view note;   // what to say beside the strip; may be empty
    std::string sweep;       // --sweep's NAME=FROM:TO:COUNT
};
Strip stripOf(const MaterialAttribute& attribute);

std::vector<ReferencePicture> referencePictures();

// A picture as the PNG shows it, labelled with the font.
DisplayImage renderReferencePicture(const ReferencePicture& picture,
                                    std::span<const std::unique_ptr<SwatchRenderer>> renderers,
                                    LabelFont& font, int threads);

// docs/images/pictures.txt: per picture its file, size and arguments, and a
// fingerprint of what it shows, rendered again coarsely (the same arguments
// at 16 pixels a swatch): its linear values and its colours before the
// labels. A changed model, scene, tone curve or layout changes it; the
// labels' glyphs, which depend on the FreeType build, do not.
std::string pictureList(std::span<const std::unique_ptr<SwatchRenderer>> renderers, int threads);

}  // namespace lumaveil::reference
