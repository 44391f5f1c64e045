// The plug-in library's dynamic symbol table holds the two entry points and
// the API version, and nothing else.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "libraryFile.h"
#include "pluginFixture.h"

namespace {

#if defined(__linux__)

TEST(PluginExports, ExactlyTheEntryPointsAndTheApiVersion) {
    EXPECT_TRUE(kPluginPath.ends_with("/lumaVeil.so")) << kPluginPath;
    EXPECT_EQ(lumaveil::definedDynamicSymbols(kPluginPath),
              (std::set<std::string>{"initializePlugin", "uninitializePlugin", "MApiVersion"}));
}

#endif

}  // namespace
