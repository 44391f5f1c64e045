// A plug-in's entry points as the stand-in Maya finds and calls them, and
// what it says when a library will not load. Internal to the OpenMaya
// library.
#pragma once

#include <string>

#include "hostRecords.h"

namespace mayahost::detail {

// "initializePlugin" or "uninitializePlugin" taking an MObject and returning
// an MStatus, decorated as this build's C++ ABI decorates it, with the API's
// namespace where the devkit has one.
std::string cppEntryPointName(const std::string& function);

// Looks the entry point up as Maya does: by its C++ name, then by the bare C
// name of plug-ins that define it extern "C". Null address if neither.
EntryPoint findEntryPoint(void* library, const std::string& function);

// Calls the entry point with the plug-in's object, logging the call with the
// name it was found by.
MStatus call(const EntryPoint& entryPoint, Plugin* plugin);

// One line on a library the loader refused: a missing API function is named
// as a C++ declaration, since it most often means another devkit built it.
std::string explainLoadFailure(const std::string& path, const std::string& loaderError);

}  // namespace mayahost::detail
