// The picture a run makes: one material, every preset, or the steps of a
// sweep, each rendered through every host and placed as the sheet's layout
// says, then tone-mapped and labelled for the PNG.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "image.h"
#include "labels.h"
#include "options.h"
#include "render.h"
#include "sheetLayout.h"

namespace lumaveil::preview {

// One cell of the sheet: a material and the label under it (empty: none).
struct SheetCell {
    std::string label;
    MaterialSettings material;
};

// The cells the options ask for, in the layout's order.
std::vector<SheetCell> sheetCells(const Options& options);

struct SheetRender {
    Image image;                           // linear, unclamped
    std::vector<double> seconds;           // per host
    std::vector<long long> shadedSamples;  // per host
    // Of the swatch that rendered with the fewest threads (see SwatchResult).
    int threadsWanted = 0;
    int threadsStarted = 0;
};

// Renders every cell through every host. settings gives the samples, threads
// and progress; its size is the options' swatch size.
SheetRender renderSheet(const Options& options, const std::vector<SheetCell>& cells,
                        std::span<const std::unique_ptr<SwatchRenderer>> renderers,
                        RenderSettings settings);

// The PNG's picture: through the tone curve, with lines between the cells of
// a sheet and, given a font, the hosts and cells labelled. Given
// labelsLeftOut, it is set to how many labels the swatches were too small for.
DisplayImage displaySheet(const Options& options, const Image& image,
                          const std::vector<SheetCell>& cells,
                          const std::vector<std::string>& hostNames, LabelFont* font,
                          int* labelsLeftOut = nullptr);

}  // namespace lumaveil::preview
