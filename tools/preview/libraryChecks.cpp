#include "libraryChecks.h"

#include <optional>
#include <set>
#include <vector>

#include "deliverablePaths.h"
#include "hostLoadError.h"
#include "libraryFile.h"
#include "mayahost/entryPointNames.h"
#include "mrhost/declaration.h"
#include "shaderRecord.h"

namespace lumaveil::preview {

namespace {

// The renderer functions the shader looks up by name in the module it is
// bound to.
const std::vector<std::string> rendererFunctions = {"mi_sample_light", "mi_compute_irradiance",
                                                    "mi_phen_eval"};

std::optional<BinaryTarget> thisProgram() {
    try {
        return binaryTargetOf("/proc/self/exe");
    } catch (const LibraryFileError&) {
        return std::nullopt;  // no /proc: the loader judges
    }
}

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    }
    return text;
}

[[noreturn]] void refuse(const std::string& what, const std::string& path,
                         const std::string& reason) {
    throw HostLoadError("cannot load " + what + " " + path + ": " + reason);
}

// A whole library built for this machine, and its exports. A library without
// section headers keeps its exports where only the loader reads them: the
// set is then empty, and the loader judges.
std::set<std::string> exportsOf(const std::string& what, const std::string& path) {
    try {
        checkLibraryFile(path);
        const BinaryTarget target = binaryTargetOf(path);
        if (const std::optional<BinaryTarget> self = thisProgram(); self && target != *self) {
            refuse(what, path,
                   "it is built for " + target.description() + "; this tool runs on " +
                       self->description());
        }
        return definedDynamicSymbols(path);
    } catch (const LibraryFileError& error) {
        refuse(what, path, error.what());
    }
}

template <class Exported>
void checkExports(const std::string& what, const std::string& path,
                  const std::set<std::string>& symbols, const std::vector<std::string>& wanted,
                  Exported exported, const std::string& whose) {
    if (symbols.empty()) {
        return;
    }
    std::vector<std::string> missing;
    for (const std::string& name : wanted) {
        if (!exported(symbols, name)) {
            missing.push_back(name);
        }
    }
    if (!missing.empty()) {
        refuse(what, path, "it does not export " + listed(missing) + ", " + whose);
    }
}

bool exportsName(const std::set<std::string>& symbols, const std::string& name) {
    return symbols.contains(name);
}

}  // namespace

void checkMayaPlugin(const std::string& path) {
    const std::string what = "the Maya plug-in";
    checkExports(
        what, path, exportsOf(what, path),
        {"MApiVersion", "initializePlugin", "uninitializePlugin"},
        [](const std::set<std::string>& symbols, const std::string& name) {
            if (name == "MApiVersion") {
                return symbols.contains(name);
            }
            for (const std::string& symbol : symbols) {
                if (mayahost::isEntryPointName(symbol, name)) {
                    return true;
                }
            }
            return false;
        },
        "the entry points of a Maya plug-in");
}

void checkRendererModule(const std::string& path) {
    const std::string what = "the renderer module";
    checkExports(what, path, exportsOf(what, path), rendererFunctions, exportsName,
                 "the renderer functions the shader binds to");
}

void checkRendererShader(const std::string& path) {
    const std::string what = "the renderer shader";
    const std::set<std::string> symbols = exportsOf(what, path);
    const std::string declarationPath = declarationPathOf(path);
    mrhost::ShaderDeclaration declaration;
    try {
        declaration = mrhost::loadDeclaration(declarationPath);
    } catch (const std::exception& error) {
        refuse(what, path, "its declaration " + declarationPath + ": " + error.what());
    }
    if (const std::string difference = firstRecordDifference(declaration); !difference.empty()) {
        refuse(what, path,
               "its declaration " + declarationPath +
                   " does not match the parameters the shader reads: " + difference);
    }
    checkExports(what, path, symbols,
                 {declaration.name, declaration.name + "_version", "miSetModuleHandle"},
                 exportsName, "the entry points of the shader its declaration declares");
}

}  // namespace lumaveil::preview
