// What lumaveil-preview prints on standard output: the measured materials
// for --list-presets, and the lines that sum up a run.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "options.h"
#include "sheet.h"

namespace lumaveil::preview {

// Each preset's name and the values it sets.
void listPresets();

// What a run rendered, how fast through each host and which files it wrote;
// then, as it applies, why the halves differ and the order of a sheet's
// cells.
void printRunSummary(const Options& options, const std::vector<SheetCell>& cells,
                     const std::vector<std::string>& hostNames, const SheetRender& render,
                     int threads);

// A line each for what the picture does not show though it may seem to: a
// swept input that a host leaves alone, and labels the swatches were too
// small for; and for rendering threads that could not be started.
void printNotes(const Options& options, const std::vector<std::string>& hostNames,
                const SheetRender& render, int labelsLeftOut);

// The values the cells were given outside their physical range, and what
// the model uses instead, each once: "absorption -0.6 held at 0; ...". Empty
// when every value is within its range.
std::string heldValuesText(const std::vector<SheetCell>& cells);

// Holds every pixel to what the images may show, finite and not below 0
// (NaN and negatives at 0, an overflow at the largest float: see heldColour),
// and gives how many pixels it changed.
long long holdPixels(Image& image);

}  // namespace lumaveil::preview
