// What each library named on the command line must be before its host loads
// it: a whole library for this machine that exports what the host looks up.
// The host would otherwise fail on it later, or not at all: a renderer module
// without the renderer's functions renders black, a declaration that does not
// match the shader has it read its lights from the wrong place.
#pragma once

#include <string>

namespace lumaveil::preview {

// Each throws HostLoadError with one line naming the library and the first
// thing wrong with it.
void checkMayaPlugin(const std::string& path);
void checkRendererModule(const std::string& path);
// The shader and its declaration (see declarationPathOf): the declaration
// lays out the parameter record the shader reads, and the shader exports the
// entry points named after it.
void checkRendererShader(const std::string& path);

// Whether a symbol is a plug-in entry point of that name: the C name, or the
// C++ name of a function taking an MObject (GCC's and MSVC's manglings, with
// or without the devkit's namespace), as Maya looks it up.
bool isPluginEntryPoint(const std::string& symbol, const std::string& function);

}  // namespace lumaveil::preview
