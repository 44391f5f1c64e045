// Several nodes computed on several threads at once give the results they
// give alone.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "fanOut.h"
#include "pluginFixture.h"

namespace {

TEST_F(PluginTest, NodesComputeConcurrently) {
    constexpr int kThreads = 4;
    constexpr int kSamples = 300;
    host.setCallLogEnabled(false);

    // Each thread drives its own node through a sweep of sample points.
    auto sample = [](mayahost::Node& node, int thread, int i) {
        const float x = -1.0f + 2.0f * static_cast<float>(i) / kSamples;
        node.setSampleGeometry({x, 0.25f * static_cast<float>(thread), -5.0f}, {0.0f, 0.0f, 1.0f},
                               {0.0f, 0.0f, -1.0f});
        node.compute("outColor");
        return node.getFloat3("outColor");
    };
    std::vector<mayahost::Node> nodes;
    for (int t = 0; t < kThreads; ++t) {
        mayahost::Node node = host.createNode("lumaVeil");
        node.setFloat3("color", {0.2f + 0.1f * static_cast<float>(t), 0.5f, 0.7f});
        node.setLightCount(1 + t);
        for (int l = 0; l <= t; ++l) {
            mayahost::LightValues light;
            light.direction = {0.0f, 0.6f, 0.8f};
            light.intensity = {1.0f, 0.9f, 0.8f};
            light.specular = true;
            node.setLight(l, light);
        }
        nodes.push_back(node);
    }
    std::vector<std::vector<std::array<float, 3>>> expected(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kSamples; ++i) {
            expected[static_cast<std::size_t>(t)].push_back(
                sample(nodes[static_cast<std::size_t>(t)], t, i));
        }
    }

    std::vector<std::vector<std::array<float, 3>>> actual(kThreads);
    lumaveil::test::fanOut(kThreads, [&](int t) {
        for (int i = 0; i < kSamples; ++i) {
            actual[static_cast<std::size_t>(t)].push_back(
                sample(nodes[static_cast<std::size_t>(t)], t, i));
        }
    });
    EXPECT_EQ(actual, expected);
}

TEST_F(PluginTest, TheCallLogStaysWholeUnderConcurrentComputes) {
    constexpr int kThreads = 3;
    std::vector<mayahost::Node> nodes;
    for (int t = 0; t < kThreads; ++t) {
        nodes.push_back(host.createNode("lumaVeil"));
        nodes.back().setLightCount(1);
    }
    host.clearCallLog();
    lumaveil::test::fanOut(kThreads, [&](int t) {
        for (int i = 0; i < 20; ++i) {
            nodes[static_cast<std::size_t>(t)].compute("outColor");
        }
    });
    EXPECT_EQ(loggedCount("MDataBlock::inputArrayValue"), kThreads * 20);
}

}  // namespace
