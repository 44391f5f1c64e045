// Loading shared libraries and looking names up in them: the only
// platform-specific code of the stand-in hosts, shared by both.
#pragma once

#include <string>

namespace lumaveil::hosts {

// Loads the library at path, resolving every symbol now. Null on failure,
// with the platform's reason in error.
void* openLibrary(const std::string& path, std::string& error);

// The address of the named export, or null.
void* findSymbol(void* library, const char* name);

void closeLibrary(void* library);

// The file of the loaded module that holds address, or "" if unknown.
std::string modulePathOf(const void* address);

}  // namespace lumaveil::hosts
