#include "inputs.h"

#include <stdexcept>

#include "defaultFont.h"
#include "deliverablePaths.h"
#include "libraryChecks.h"
#include "swatchRenderers.h"

namespace lumaveil::preview {

namespace {

// The libraries the options name, or the built ones.
std::string pluginPathOf(const Options& options) {
    return options.pluginPath.empty() ? builtPluginPath() : options.pluginPath;
}

std::string shaderPathOf(const Options& options) {
    return options.shaderPath.empty() ? builtShaderPath() : options.shaderPath;
}

std::string rendererPathOf(const Options& options) {
    return options.rendererPath.empty() ? builtRendererModulePath() : options.rendererPath;
}

}  // namespace

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
    const std::string plugin = pluginPathOf(options);
    const std::string shader = shaderPathOf(options);
    const std::string renderer = rendererPathOf(options);
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

std::vector<NamedInput> inputFilesOf(const Options& options) {
    std::vector<NamedInput> inputs = {
        {"the font", options.fontPath.empty() ? defaultFontPath() : options.fontPath},
        {"the Maya plug-in", pluginPathOf(options)},
        {"the renderer shader", shaderPathOf(options)},
        {"the renderer module", rendererPathOf(options)},
    };
    try {
        inputs.push_back(
            {"the renderer shader's declaration", declarationPathOf(shaderPathOf(options))});
    } catch (const HostLoadError&) {
        // no declaration to keep: the shader is refused for it
    }
    return inputs;
}

}  // namespace lumaveil::preview
