// Command line of lumaveil-preview.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "materialSettings.h"
#include "measuredMaterials.h"
#include "optionTable.h"
#include "sheetLayout.h"
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

// The sheet the options ask for: one cell, every preset four across, or a
// sweep's steps in a row with the hosts' swatches stacked.
SheetLayout sheetLayout(const Options& options);

// The largest image the tool renders, in pixels: about 3.6 GB of linear,
// 8-bit and swatch buffers at 27 bytes a pixel.
inline constexpr std::int64_t maxImagePixels = std::int64_t{1} << 27;

// Parses the arguments after the program name. Presets apply first, then
// every --set in order, whatever their order on the line; a --sweep steps
// its input over what they leave.
Options parseOptions(const std::vector<std::string_view>& arguments);

std::string usageText();

}  // namespace lumaveil::preview
