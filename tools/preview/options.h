// Command line of lumaveil-preview.
#pragma once

#include <array>
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

// The renderers a swatch goes through, in the order their swatches are laid
// out: Maya's software renderer, mental ray, Arnold, and Viewport 2.0, which
// draws the plug-in's fragments on the GPU at hand.
enum class Host { maya, mentalray, arnold, viewport };
inline constexpr std::array allHosts{Host::maya, Host::mentalray, Host::arnold, Host::viewport};
// Those rendered by default and by "all": the deliverables' renderers. The
// viewport needs an EGL device, and is drawn only when named.
inline constexpr std::array defaultHosts{Host::maya, Host::mentalray, Host::arnold};

// As --host names it, and the summary and labels show it: "maya",
// "mentalray", "arnold", "viewport".
std::string_view hostName(Host host);

struct Options {
    std::vector<Host> hosts{defaultHosts.begin(), defaultHosts.end()};  // in allHosts' order
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
    std::string arnoldShaderPath;             // empty: the built lumaVeilArnold shader

    bool renders(Host host) const;
    int hostCount() const { return static_cast<int>(hosts.size()); }
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
