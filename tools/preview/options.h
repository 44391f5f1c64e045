// Command line of lumaveil-preview.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "materials.h"

namespace lumaveil::preview {

enum class HostChoice { maya, mentalray, both };

struct Options {
    HostChoice host = HostChoice::both;
    MaterialSettings material;
    std::string presetName;  // empty: the node's defaults
    bool listPresets = false;
    bool grid = false;
    bool help = false;
    int width = 256;  // of one swatch
    int height = 256;
    int samples = 4;                          // per pixel, a square number
    int threads = 0;                          // 0: every core
    std::string output = "lumaveil-preview";  // written as .png and .exr
    std::string pluginPath;                   // empty: the built lumaVeil plug-in
    std::string shaderPath;                   // empty: the built qv7k_lumaVeil shader
    std::string rendererPath;                 // empty: the stand-in renderer module
};

// A command line that cannot be carried out; the message is one line.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Presets apply first, then
// every --set in order, whatever their order on the line.
Options parseOptions(const std::vector<std::string_view>& arguments);

std::string usageText();

}  // namespace lumaveil::preview
