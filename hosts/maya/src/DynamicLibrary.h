// Opening a plug-in library and finding its symbols: the only place that
// knows the platform's loader.
#pragma once

#include <string>

namespace mayahost::detail {

// Null on failure, with the loader's message in `error`.
void* openLibrary(const std::string& path, std::string& error);
void* findSymbol(void* library, const char* name);
void closeLibrary(void* library);

}  // namespace mayahost::detail
