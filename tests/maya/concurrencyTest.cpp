// Both deliverables busy at once in one process: many threads computing many
// Maya nodes while others shade renderer samples through a binding cache that
// starts cold. Every result must equal the one computed alone; under
// ThreadSanitizer the run must be clean.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "fanOut.h"
#include "mrhost/renderer.h"
#include "pluginFixture.h"

namespace {

using lumaveil::mrhost::LightList;
using lumaveil::mrhost::ParameterBlock;
using lumaveil::mrhost::Renderer;
using lumaveil::mrhost::SamplePoint;

constexpr int kNodes = 24;
constexpr int kSamples = 40;
constexpr int kNodeThreads = 4;
constexpr int kShaderThreads = 4;

std::array<float, 3> computeNode(mayahost::Node& node, int n, int i) {
    const float x = -1.0f + 2.0f * static_cast<float>(i) / kSamples;
    node.setSampleGeometry({x, 0.1f * static_cast<float>(n % 5), -5.0f}, {0.0f, 0.0f, 1.0f},
                           {0.0f, 0.0f, -1.0f});
    node.compute("outColor");
    return node.getFloat3("outColor");
}

SamplePoint samplePoint(int i) {
    const float x = static_cast<float>(i) / kSamples - 0.5f;
    return SamplePoint{{x, 0.0f, 0.0f}, {0.0f, x, 1.0f}, {0.0f, 0.0f, -1.0f}};
}

TEST_F(PluginTest, NodesAndShaderSamplesRunTogetherFromAColdCache) {
    host.setCallLogEnabled(false);
    std::vector<mayahost::Node> nodes;
    for (int n = 0; n < kNodes; ++n) {
        mayahost::Node node = host.createNode("lumaVeil");
        node.setFloat3("color", {0.1f + 0.03f * static_cast<float>(n), 0.5f, 0.7f});
        node.setLightCount(1 + n % 17);
        for (int l = 0; l <= n % 17; ++l) {
            mayahost::LightValues light;
            light.direction = {0.05f * static_cast<float>(l), 0.6f, 0.8f};
            light.intensity = {1.0f, 0.9f, 0.8f};
            light.specular = (l % 2) == 0;
            node.setLight(l, light);
        }
        nodes.push_back(node);
    }

    Renderer renderer(QV7K_SHADER_PATH, QV7K_DECLARATION_PATH, MRHOST_MODULE_PATH);
    LightList scene;
    ParameterBlock params = renderer.makeParameters();
    params.connect("color", [](const miState& state, void* out) {
        const miColor value{state.point.x * 0.1f, 0.05f, 0.0f, 1.0f};
        std::memcpy(out, &value, sizeof value);
    });
    params.setLights({scene.addAreaLight({-1.0f, -1.0f, 3.0f}, {2.0f, 0.0f, 0.0f},
                                         {0.0f, 2.0f, 0.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, 4),
                      scene.addPointLight({2.0f, 0.0f, 1.0f}, {0.5f, 0.4f, 0.3f, 1.0f})});
    params.setBoolean("useIrradiance", true);
    scene.setIrradiance({1.0f, 2.0f, 3.0f, 1.0f});

    std::vector<std::vector<std::array<float, 3>>> expectedNodes(kNodes);
    for (int n = 0; n < kNodes; ++n) {
        for (int i = 0; i < kSamples; ++i) {
            expectedNodes[static_cast<std::size_t>(n)].push_back(
                computeNode(nodes[static_cast<std::size_t>(n)], n, i));
        }
    }
    std::vector<miColor> expectedSamples;
    for (int i = 0; i < kSamples; ++i) {
        expectedSamples.push_back(renderer.shade(scene, params, samplePoint(i)));
    }

    renderer.bind(MRHOST_MODULE_PATH);  // cold cache
    std::vector<std::vector<std::array<float, 3>>> gotNodes(kNodes);
    std::vector<std::vector<miColor>> gotSamples(kShaderThreads);
    lumaveil::test::fanOut(kNodeThreads + kShaderThreads, [&](int t) {
        if (t < kNodeThreads) {
            // Each node belongs to one thread; the threads interleave nodes.
            for (int i = 0; i < kSamples; ++i) {
                for (int n = t; n < kNodes; n += kNodeThreads) {
                    gotNodes[static_cast<std::size_t>(n)].push_back(
                        computeNode(nodes[static_cast<std::size_t>(n)], n, i));
                }
            }
            return;
        }
        for (int i = 0; i < kSamples; ++i) {
            gotSamples[static_cast<std::size_t>(t - kNodeThreads)].push_back(
                renderer.shade(scene, params, samplePoint(i)));
        }
    });

    EXPECT_EQ(gotNodes, expectedNodes);
    for (int t = 0; t < kShaderThreads; ++t) {
        for (int i = 0; i < kSamples; ++i) {
            EXPECT_EQ(
                std::memcmp(&gotSamples[static_cast<std::size_t>(t)][static_cast<std::size_t>(i)],
                            &expectedSamples[static_cast<std::size_t>(i)], sizeof(miColor)),
                0)
                << "thread " << t << " sample " << i;
        }
    }
}

}  // namespace
