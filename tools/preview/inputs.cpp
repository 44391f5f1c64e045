#include "inputs.h"

#include <stdexcept>

#include "defaultFont.h"
#include "deliverablePaths.h"
#include "libraryChecks.h"
#include "swatchRenderers.h"

namespace lumaveil::preview {

std::unique_ptr<LabelFont> openLabelFont(const Options& options, std::string& missing) {
    if (!options.fontPath.empty()) {
        return std::make_unique<LabelFont>(options.fontPath);
    }
    try {
        return std::make_unique<LabelFont>(defaultFontPath());
    } catch (const std::runtime_error& error) {
        missing = error.what();
        return nullptr;
    }
}

std::vector<std::unique_ptr<SwatchRenderer>> loadSwatchRenderers(const Options& options) {
    const bool maya = options.host != HostChoice::mentalray;
    const bool mentalray = options.host != HostChoice::maya;
    const std::string plugin = options.pluginPath.empty() ? builtPluginPath() : options.pluginPath;
    const std::string shader = options.shaderPath.empty() ? builtShaderPath() : options.shaderPath;
    const std::string renderer =
        options.rendererPath.empty() ? builtRendererModulePath() : options.rendererPath;
    if (maya) {
        checkMayaPlugin(plugin);
    }
    if (mentalray) {
        checkRendererShader(shader);
        checkRendererModule(renderer);
    }
    std::vector<std::unique_ptr<SwatchRenderer>> renderers;
    if (maya) {
        renderers.push_back(loadMayaSwatchRenderer(plugin));
    }
    if (mentalray) {
        renderers.push_back(loadMentalraySwatchRenderer(shader, renderer));
    }
    return renderers;
}

}  // namespace lumaveil::preview
