// Where the deliverables' files lie: the libraries lumaveil-preview renders
// through by default, and the declaration that comes with a shader.
#pragma once

#include <string>

#include "hostLoadError.h"

namespace lumaveil::preview {

// The built deliverables, found from the running program's folder as
// lumaveil-preview lies there: installed, <prefix>/preview/bin/ beside
// <prefix>/maya/ and <prefix>/mentalray/; or in its build tree. Other
// programs name the libraries themselves.
std::string builtPluginPath();
std::string builtShaderPath();
std::string builtArnoldShaderPath();

// The file name of a shader library's declaration: the library's name
// without the module suffix and any version after it, with ".mi".
std::string declarationFileName(const std::string& shaderPath);

// The shader's declaration: beside the library in a build tree, or in
// include/ beside its lib/ folder as installed. Throws HostLoadError if it is
// in neither place.
std::string declarationPathOf(const std::string& shaderPath);

}  // namespace lumaveil::preview
