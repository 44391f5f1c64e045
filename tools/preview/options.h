// Command line of lumaveil-preview.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "materials.h"
#include "sweep.h"
#include "toneCurve.h"

namespace lumaveil::preview {

enum class HostChoice { maya, mentalray, both };

struct Options {
    HostChoice host = HostChoice::both;
    MaterialSettings material;
    std::string presetName;  // empty: the node's defaults
    bool anySet = false;     // some --set was given
    bool listPresets = false;
    bool grid = false;
    std::optional<Sweep> sweep;
    bool help = false;
    int width = 256;  // of one swatch
    int height = 256;
    int samples = 4;  // per pixel, a square number
    int threads = 0;  // 0: every core
    ToneCurve toneCurve;
    std::string output = "lumaveil-preview";  // written as .png and .exr
    std::string fontPath;                     // empty: the font of this build
    std::string pluginPath;                   // empty: the built lumaVeil plug-in
    std::string shaderPath;                   // empty: the built qv7k_lumaVeil shader
    std::string rendererPath;                 // empty: the stand-in renderer module

    int hostCount() const { return host == HostChoice::both ? 2 : 1; }
    // The output path without a .png or .exr ending: PATH.png and PATH.exr.
    std::string outputStem() const;
};

// The image as cells, one per material, each holding every host's swatch of
// it: one cell with the swatches side by side, every preset in cells four
// across, or a sweep's steps in a row of cells with one row of swatches per
// host.
struct SheetLayout {
    int columns = 1;
    int rows = 1;
    int swatchWidth = 0;
    int swatchHeight = 0;
    bool hostsStacked = false;  // a cell's swatches one above the other
    int cellWidth = 0;
    int cellHeight = 0;
    int width = 0;
    int height = 0;

    int cellX(int cell) const { return cell % columns * cellWidth; }
    int cellY(int cell) const { return cell / columns * cellHeight; }
    // The top-left corner of a host's swatch in a cell.
    int swatchX(int cell, int host) const {
        return cellX(cell) + (hostsStacked ? 0 : host * swatchWidth);
    }
    int swatchY(int cell, int host) const {
        return cellY(cell) + (hostsStacked ? host * swatchHeight : 0);
    }
};
SheetLayout sheetLayout(const Options& options);

// The largest image the tool renders, in pixels: about 3.6 GB of linear,
// 8-bit and swatch buffers at 27 bytes a pixel.
inline constexpr std::int64_t maxImagePixels = std::int64_t{1} << 27;

// A command line that cannot be carried out; the message is one line.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Presets apply first, then
// every --set in order, whatever their order on the line; a --sweep steps
// its input over what they leave.
Options parseOptions(const std::vector<std::string_view>& arguments);

std::string usageText();

}  // namespace lumaveil::preview
