#include "libraryChecks.h"

#include <cctype>
#include <optional>
#include <set>
#include <vector>

#include "deliverablePaths.h"
#include "hostLoadError.h"
#include "inputFile.h"
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
    throw cannotLoad(what, path, reason);
}

// A whole library built for this machine, and its exports. The loader reads
// a library by its path, and so do these checks, once the path is known to
// lead to a regular file with something in it.
std::set<std::string> exportsOf(const std::string& what, const std::string& path) {
    try {
        const InputFile file(path);
    } catch (const InputFileError& error) {
        refuse(what, path, error.what());
    }
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

// How many continuation bytes a UTF-8 lead byte announces; -1 for a byte
// that cannot begin a character.
int continuationBytes(unsigned char lead) {
    return lead < 0x80                   ? 0
           : lead >= 0xc2 && lead < 0xe0 ? 1
           : lead >= 0xe0 && lead < 0xf0 ? 2
           : lead >= 0xf0 && lead < 0xf5 ? 3
                                         : -1;
}

// Why the bytes are not text, or empty if they are: text is UTF-8 without
// control characters other than white space. Whatever else they hold stays
// out of the messages.
std::string notText(const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        const int more = continuationBytes(byte);
        bool text = more >= 0 && at + static_cast<std::size_t>(more) < bytes.size() &&
                    ((byte >= 0x20 && byte != 0x7f) || std::isspace(byte));
        for (int k = 1; text && k <= more; ++k) {
            text = (static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(k)]) & 0xc0) ==
                   0x80;
        }
        if (!text) {
            static constexpr char hex[] = "0123456789abcdef";
            return "it is not text (byte " + std::to_string(at + 1) + " is 0x" + hex[byte >> 4] +
                   hex[byte & 15] + ")";
        }
        at += 1 + static_cast<std::size_t>(more);
    }
    return {};
}

// The declaration the shader comes with, read as text and parsed.
mrhost::ShaderDeclaration declarationOf(const std::string& what, const std::string& path,
                                        const std::string& declarationPath) {
    const std::string whose = "its declaration " + declarationPath + ": ";
    std::string text;
    try {
        text = InputFile(declarationPath).content();
    } catch (const InputFileError& error) {
        refuse(what, path, whose + error.what());
    }
    if (const std::string reason = notText(text); !reason.empty()) {
        refuse(what, path, whose + reason);
    }
    try {
        return mrhost::parseDeclaration(text);
    } catch (const std::runtime_error& error) {
        // The parser's reasons begin with what they are about.
        std::string reason = error.what();
        if (reason.starts_with("declaration: ")) {
            reason.erase(0, 13);
        }
        refuse(what, path, whose + reason);
    }
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
    const mrhost::ShaderDeclaration declaration = declarationOf(what, path, declarationPath);
    if (const std::string difference = firstRecordDifference(declaration); !difference.empty()) {
        refuse(what, path,
               "its declaration " + declarationPath +
                   " does not match the parameters the shader reads: " + difference);
    }
    checkExports(what, path, symbols,
                 {declaration.name, declaration.name + "_version", "miSetModuleHandle"},
                 exportsName, "the entry points of the shader its declaration declares");
}

void checkArnoldShader(const std::string& path) {
    const std::string what = "the Arnold shader";
    checkExports(what, path, exportsOf(what, path), {"NodeLoader"}, exportsName,
                 "the entry point of an Arnold shader library");
}

}  // namespace lumaveil::preview
