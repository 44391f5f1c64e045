// What each library named on the command line must be before its host loads
// it: a whole library for this machine that exports what the host looks up.
// The host would otherwise fail on it later, or not at all: a renderer module
// without the renderer's functions renders black, a declaration that does not
// match the shader has it read its lights from the wrong place.
#pragma once

#include <string>

#include "hostLoadError.h"

namespace lumaveil::preview {

// Each throws HostLoadError with one line naming the library and the first
// thing wrong with it. A plug-in's entry points are found by any of the
// names Maya looks them up by (mayahost/entryPointNames.h).
void checkMayaPlugin(const std::string& path);
void checkRendererModule(const std::string& path);
// The shader and its declaration (see deliverablePaths.h): the declaration
// lays out the parameter record the shader reads, and the shader exports the
// entry points named after it.
void checkRendererShader(const std::string& path);
// The Arnold shader library exports NodeLoader, through which Arnold asks it
// for its nodes; the node it gives is the loader's to judge.
void checkArnoldShader(const std::string& path);

}  // namespace lumaveil::preview
