#include "entryPoints.h"

#include <maya/MTypes.h>

#if !defined(_WIN32)
#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#endif

#include "dynamicLibrary.h"
#include "mayahost/entryPointNames.h"
#include "trace.h"

#define LUMAVEIL_NAME_OF_(token) #token
#define LUMAVEIL_NAME_OF(token) LUMAVEIL_NAME_OF_(token)

namespace mayahost::detail {

std::string cppEntryPointName(const std::string& function) {
#if defined(OPENMAYA_MAJOR_NAMESPACE)
    const std::string apiNamespace = LUMAVEIL_NAME_OF(OPENMAYA_MAJOR_NAMESPACE);
#else
    const std::string apiNamespace;
#endif
#if defined(_MSC_VER)
    return msvcEntryPointName(function, apiNamespace);
#else
    return itaniumEntryPointName(function, apiNamespace);
#endif
}

EntryPoint findEntryPoint(void* library, const std::string& function) {
    for (const std::string& name : {cppEntryPointName(function), function}) {
        if (void* address = lumaveil::hosts::findSymbol(library, name.c_str())) {
            return {reinterpret_cast<MStatus (*)(MObject)>(address), function, name};
        }
    }
    return {};
}

MStatus call(const EntryPoint& entryPoint, Plugin* plugin) {
    Trace trace(entryPoint.function.c_str(), "",
                [&] { return formatArgs(entryPoint.name.c_str()); });
    return trace.done(entryPoint.address(MObject(handleOf(plugin))));
}

std::string explainLoadFailure(const std::string& path, const std::string& loaderError) {
#if !defined(_WIN32)
    const std::string marker = "undefined symbol: ";
    const std::size_t at = loaderError.find(marker);
    if (at != std::string::npos) {
        const std::string symbol = loaderError.substr(at + marker.size());
        int status = 0;
        const std::unique_ptr<char, decltype(&std::free)> readable(
            abi::__cxa_demangle(symbol.c_str(), nullptr, nullptr, &status), &std::free);
        const std::string apiVersion = LUMAVEIL_NAME_OF(MAYA_API_VERSION);
        return path + ": it needs " + (readable ? readable.get() : symbol) +
               ", which this Maya (API " + apiVersion +
               ") does not provide: was it built against another devkit?";
    }
#endif
    return loaderError.find(path) != std::string::npos ? loaderError : path + ": " + loaderError;
}

}  // namespace mayahost::detail
