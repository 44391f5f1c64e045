// The three deliverables as swatch renderers: the Maya plug-in in the
// stand-in Maya, the mental ray shader in the stand-in renderer and the
// Arnold shader in the stand-in Arnold, each loaded from its file, and the
// plug-in's Viewport 2.0 fragments on the GPU. Each throws HostLoadError
// when its host cannot load it.
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

// The library's "lumaVeil" node, lit by the scene's lights as Arnold's light
// loop hands them out.
std::unique_ptr<SwatchRenderer> loadArnoldSwatchRenderer(const std::string& shaderPath);

// Viewport 2.0 drawing the plug-in's own fragments (built into the tool) on
// the GPU at hand, through an EGL surfaceless context: Mesa's llvmpipe where
// there is no GPU. Throws vp2host::NoGlDevice, one line, where there is no
// EGL device.
std::unique_ptr<SwatchRenderer> loadViewportSwatchRenderer();

// The stand-in renderer's module, which the shader binds to.
std::string builtRendererModulePath();

}  // namespace lumaveil::preview
