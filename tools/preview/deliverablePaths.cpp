// Where lumaveil-preview finds the deliverables it renders through: relative to
// its own executable, so that it runs from any install prefix, and from the
// build tree, with nothing of the build machine's folders compiled in.
#include <filesystem>
#include <system_error>

#include "hosts.h"

namespace lumaveil::preview {

namespace {

namespace fs = std::filesystem;

fs::path executableFolder() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : executable.parent_path();
}

// The first of the candidates, relative to the executable's folder, that
// exists; else the first, so that the error names where it was looked for.
std::string firstExisting(std::initializer_list<const char*> candidates) {
    const fs::path folder = executableFolder();
    for (const char* candidate : candidates) {
        const fs::path path = (folder / candidate).lexically_normal();
        if (fs::exists(path)) {
            return path.string();
        }
    }
    return (folder / *candidates.begin()).lexically_normal().string();
}

}  // namespace

// Installed: <prefix>/preview/bin/ beside <prefix>/maya/ and <prefix>/mentalray/.
// In the build tree: the paths from the tool's folder to the built libraries.
std::string builtPluginPath() {
    return firstExisting(
        {"../../maya/lumaVeil/plug-ins/" LUMAVEIL_PLUGIN_FILE_NAME, LUMAVEIL_BUILD_TREE_PLUGIN});
}

std::string builtShaderPath() {
    return firstExisting(
        {"../../mentalray/lib/" LUMAVEIL_SHADER_FILE_NAME, LUMAVEIL_BUILD_TREE_SHADER});
}

}  // namespace lumaveil::preview
