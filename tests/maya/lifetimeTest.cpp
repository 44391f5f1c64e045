// The plug-in loaded and unloaded many times in one host process: each cycle
// registers the node type, creates nodes, computes and deregisters. Every
// cycle must give the same colours, leave nothing registered behind and (under
// LeakSanitizer) leak nothing; attribute handles of an earlier load must never
// be used after it was unloaded.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <string>

#include "pluginFixture.h"

namespace {

// Cheap enough for every build: about 1.5 s under AddressSanitizer.
constexpr int kCycles = 1000;

bool libraryMapped(const std::string& path) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find(path) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::array<float, 3> computeOnce(mayahost::Host& host, float hue) {
    mayahost::Node node = host.createNode("lumaVeil");
    mayahost::Node other = host.createNode("lumaVeil");
    node.setFloat3("color", {hue, 0.5f, 0.25f});
    node.setSampleGeometry({0.1f, 0.2f, -5.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f});
    node.setLightCount(2);
    mayahost::LightValues light;
    light.direction = {0.0f, 0.6f, 0.8f};
    light.intensity = {1.0f, 1.0f, 1.0f};
    light.specular = true;
    node.setLight(0, light);
    light.direction = {0.6f, 0.0f, 0.8f};
    node.setLight(1, light);
    EXPECT_EQ(node.compute("outColor"), MS::kSuccess);
    EXPECT_EQ(other.compute("outTransparency"), MS::kSuccess);
    return node.getFloat3("outColor");
}

TEST_F(HostTest, LoadComputeUnloadManyTimes) {
    host.setCallLogEnabled(false);
    std::array<float, 3> first{};
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        std::string error;
        ASSERT_TRUE(host.loadPlugin(kPluginPath, &error)) << "cycle " << cycle << ": " << error;
        const std::array<float, 3> colour = computeOnce(host, 0.75f);
        if (cycle == 0) {
            first = colour;
        }
        ASSERT_EQ(colour, first) << "cycle " << cycle;
        ASSERT_TRUE(host.unloadPlugin(kPluginPath)) << "cycle " << cycle;
        ASSERT_FALSE(host.isPluginLoaded(kPluginPath));
        ASSERT_TRUE(host.nodeTypeNames().empty()) << "cycle " << cycle;
        ASSERT_EQ(host.nodeCount(), 0) << "cycle " << cycle;
    }
    // The library really goes away on unload, so the next load starts from
    // fresh, null attribute handles.
    EXPECT_FALSE(libraryMapped(kPluginPath));
}

// A host that is destroyed with the plug-in still loaded and nodes alive
// unloads it cleanly.
TEST(HostLifetime, DestroyingTheHostUnloadsThePlugin) {
    for (int cycle = 0; cycle < 20; ++cycle) {
        mayahost::Host host;
        host.setCallLogEnabled(false);
        ASSERT_TRUE(host.loadPlugin(kPluginPath));
        computeOnce(host, 0.1f * static_cast<float>(cycle % 10));
    }
    EXPECT_FALSE(libraryMapped(kPluginPath));
}

}  // namespace
