// The plug-in library's dynamic symbol table holds the two entry points,
// under their C++ names, and what the devkit's MFnPlugin.h exports, and
// nothing else.
#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "libraryFile.h"
#include "pluginFixture.h"

namespace {

#if defined(__linux__)

#define NAME_OF_(token) #token
#define NAME_OF(token) NAME_OF_(token)

std::string demangled(const std::string& symbol) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(symbol.c_str(), nullptr, nullptr, &status), &std::free);
    return name ? name.get() : symbol;
}

TEST(PluginExports, TheEntryPointsByTheirCppNamesAndTheDevkitsVersion) {
    EXPECT_TRUE(kPluginPath.ends_with("/lumaVeil.so")) << kPluginPath;
    std::set<std::string> exports;
    for (const std::string& symbol : lumaveil::definedDynamicSymbols(kPluginPath)) {
        exports.insert(demangled(symbol));
    }
#if defined(OPENMAYA_MAJOR_NAMESPACE)
    const std::string object = "Autodesk::Maya::" NAME_OF(OPENMAYA_MAJOR_NAMESPACE) "::MObject";
    EXPECT_EQ(exports, (std::set<std::string>{"initializePlugin(" + object + ")",
                                              "uninitializePlugin(" + object + ")", "MApiVersion",
                                              "MApiLTSignature"}));
#else
    EXPECT_EQ(exports, (std::set<std::string>{"initializePlugin(MObject)",
                                              "uninitializePlugin(MObject)", "MApiVersion"}));
#endif
}

#endif

}  // namespace
