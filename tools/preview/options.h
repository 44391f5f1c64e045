// Command line of lumaveil-preview.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "materials.h"
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

// The image of one swatch per host side by side, or of every preset as a
// sheet of cells four across.
struct SheetLayout {
    int columns = 1;
    int rows = 1;
    int cellWidth = 0;  // every host's swatch of one material
    int width = 0;
    int height = 0;
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
// every --set in order, whatever their order on the line.
Options parseOptions(const std::vector<std::string_view>& arguments);

std::string usageText();

}  // namespace lumaveil::preview
