// The two deliverables as swatch hosts: the Maya plug-in in the stand-in Maya
// and the shader in the stand-in renderer, each loaded from its file.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "render.h"

namespace lumaveil::preview {

// A library that could not be loaded; the message names the file and why.
struct HostLoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::unique_ptr<SwatchHost> loadMayaHost(const std::string& pluginPath);

std::unique_ptr<SwatchHost> loadMentalrayHost(const std::string& shaderPath,
                                              const std::string& rendererModulePath);

// The shader's declaration: the .mi file beside the library, or in include/
// beside its lib/ folder as installed. Throws HostLoadError if neither exists.
std::string declarationPathOf(const std::string& shaderPath);

// The declaration's file name for a shader library: its name without the
// module suffix and any version after it, with ".mi".
std::string declarationFileName(const std::string& shaderPath);

// The deliverables lumaveil-preview renders through by default, found from
// its own executable: installed beside it, or in its build tree. Only the
// tool's executable has them.
std::string builtPluginPath();
std::string builtShaderPath();
// The stand-in renderer's module, which the shader binds to.
std::string builtRendererModulePath();

}  // namespace lumaveil::preview
