// The two deliverables as swatch renderers: the Maya plug-in in the stand-in
// Maya and the shader in the stand-in renderer, each loaded from its file.
// Each throws HostLoadError when its host cannot load it.
#pragma once

#include <memory>
#include <string>

#include "hostLoadError.h"
#include "render.h"

namespace lumaveil::preview {

std::unique_ptr<SwatchRenderer> loadMayaSwatchRenderer(const std::string& pluginPath);

// The shader's declaration is found beside it (see declarationPathOf).
std::unique_ptr<SwatchRenderer> loadMentalraySwatchRenderer(const std::string& shaderPath,
                                                            const std::string& rendererModulePath);

// The stand-in renderer's module, which the shader binds to.
std::string builtRendererModulePath();

}  // namespace lumaveil::preview
