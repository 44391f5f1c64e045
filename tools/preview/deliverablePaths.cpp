// Where lumaveil-preview finds the deliverables it renders through: relative to
// its own executable, so that it runs from any install prefix, and from the
// build tree, with nothing of the build machine's folders compiled in.
#include "deliverablePaths.h"

#include <filesystem>
#include <system_error>

#include "hostLoadError.h"

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

// Installed: <prefix>/preview/bin/ beside <prefix>/maya/ and <prefix>/mentalray/,
// the Arnold shader in the module's arnold/ folder.
// In the build tree: the paths from the tool's folder to the built libraries.
std::string builtPluginPath() {
    return firstExisting(
        {"../../maya/lumaVeil/plug-ins/" LUMAVEIL_PLUGIN_FILE_NAME, LUMAVEIL_BUILD_TREE_PLUGIN});
}

std::string builtShaderPath() {
    return firstExisting(
        {"../../mentalray/lib/" LUMAVEIL_SHADER_FILE_NAME, LUMAVEIL_BUILD_TREE_SHADER});
}

std::string builtArnoldShaderPath() {
    return firstExisting({"../../maya/lumaVeil/arnold/" LUMAVEIL_ARNOLD_SHADER_FILE_NAME,
                          LUMAVEIL_BUILD_TREE_ARNOLD_SHADER});
}

std::string declarationFileName(const std::string& shaderPath) {
    // The library's name without its module suffix and any version after it:
    // qv7k_lumaVeil.so, qv7k_lumaVeil.so.1 and qv7k_lumaVeil.dll all give
    // qv7k_lumaVeil.mi.
    std::string name = std::filesystem::path(shaderPath).filename().string();
    for (std::size_t at = name.find(".so"); at != std::string::npos;
         at = name.find(".so", at + 1)) {
        if (at > 0 && (at + 3 == name.size() || name[at + 3] == '.')) {
            return name.substr(0, at) + ".mi";
        }
    }
    return std::filesystem::path(name).replace_extension(".mi").string();
}

std::string declarationPathOf(const std::string& shaderPath) {
    // Beside the library in a build tree; in include/ beside lib/ in an
    // installed layout.
    const std::filesystem::path library(shaderPath);
    const std::string name = declarationFileName(shaderPath);
    const std::filesystem::path beside = library.parent_path() / name;
    const std::filesystem::path installed = library.parent_path().parent_path() / "include" / name;
    // Whatever entry is there, a dangling link too: reading it says what is
    // wrong with it.
    auto present = [](const std::filesystem::path& path) {
        std::error_code ignored;
        return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
    };
    if (present(beside)) {
        return beside.string();
    }
    if (present(installed)) {
        return installed.string();
    }
    throw cannotLoad("the renderer shader", shaderPath,
                     "its declaration " + name + " is neither beside it nor in " +
                         installed.parent_path().string());
}

}  // namespace lumaveil::preview
