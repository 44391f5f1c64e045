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

std::string arnoldShaderPathOf(const Options& options) {
    return options.arnoldShaderPath.empty() ? builtArnoldShaderPath() : options.arnoldShaderPath;
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
    const std::string plugin = pluginPathOf(options);
    const std::string shader = shaderPathOf(options);
    const std::string renderer = rendererPathOf(options);
    const std::string arnoldShader = arnoldShaderPathOf(options);
    for (const Host host : options.hosts) {
        switch (host) {
            case Host::maya:
                checkMayaPlugin(plugin);
                break;
            case Host::mentalray:
                checkRendererShader(shader);
                checkRendererModule(renderer);
                break;
            case Host::arnold:
                checkArnoldShader(arnoldShader);
                break;
            case Host::viewport:
                break;  // the plug-in's fragments are built into the tool
        }
    }
    std::vector<std::unique_ptr<SwatchRenderer>> renderers;
    for (const Host host : options.hosts) {
        switch (host) {
            case Host::maya:
                renderers.push_back(loadMayaSwatchRenderer(plugin));
                break;
            case Host::mentalray:
                renderers.push_back(loadMentalraySwatchRenderer(shader, renderer));
                break;
            case Host::arnold:
                renderers.push_back(loadArnoldSwatchRenderer(arnoldShader));
                break;
            case Host::viewport:
                renderers.push_back(loadViewportSwatchRenderer());
                break;
        }
    }
    return renderers;
}

std::vector<NamedInput> inputFilesOf(const Options& options) {
    std::vector<NamedInput> inputs = {
        {"the font", options.fontPath.empty() ? defaultFontPath() : options.fontPath},
        {"the Maya plug-in", pluginPathOf(options)},
        {"the renderer shader", shaderPathOf(options)},
        {"the renderer module", rendererPathOf(options)},
        {"the Arnold shader", arnoldShaderPathOf(options)},
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
