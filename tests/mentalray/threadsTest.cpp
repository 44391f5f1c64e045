// Several threads shading at once through a cold binding cache.
#include <atomic>
#include <cstring>
#include <vector>

#include "fanOut.h"
#include "standInFixture.h"

namespace lumaveil::mrtest {
namespace {

using ThreadsTest = StandInTest;

TEST_F(ThreadsTest, ConcurrentShadingMatchesShadingAlone) {
    std::atomic<int> runs{0};
    params.connect("color", [&runs](const miState& state, void* out) {
        ++runs;
        const miColor value{state.point.x * 0.1f, 0.05f, 0.0f, 1.0f};
        std::memcpy(out, &value, sizeof value);
    });
    params.setLights(
        {scene.addAreaLight({-1.0f, -1.0f, 3.0f}, {2.0f, 0.0f, 0.0f}, {0.0f, 2.0f, 0.0f}, white, 4),
         scene.addPointLight({2.0f, 0.0f, 1.0f}, {0.5f, 0.4f, 0.3f, 1.0f})});
    params.setBoolean("useIrradiance", true);
    scene.setIrradiance({1.0f, 2.0f, 3.0f, 1.0f});

    constexpr int samples = 64;
    auto sampleAt = [](int i) {
        const float x = static_cast<float>(i) / samples - 0.5f;
        return SamplePoint{{x, 0.0f, 0.0f}, {0.0f, x, 1.0f}, {0.0f, 0.0f, -1.0f}};
    };
    std::vector<miColor> expected;
    for (int i = 0; i < samples; ++i) {
        expected.push_back(renderer.shade(scene, params, sampleAt(i)));
    }

    renderer.bind(MRHOST_MODULE_PATH);  // cold cache again
    constexpr int threads = 4;
    std::vector<std::vector<miColor>> got(threads);
    test::fanOut(threads, [&](int t) {
        for (int i = 0; i < samples; ++i) {
            got[t].push_back(renderer.shade(scene, params, sampleAt(i)));
        }
    });
    for (int t = 0; t < threads; ++t) {
        for (int i = 0; i < samples; ++i) {
            EXPECT_EQ(std::memcmp(&got[t][i], &expected[i], sizeof(miColor)), 0)
                << "thread " << t << " sample " << i;
        }
    }
    EXPECT_EQ(runs, samples * (threads + 1));
}

// A call that records a trace sees every sample of its own, and only those,
// however other threads' calls, traced or not, start and stop around it.
TEST_F(ThreadsTest, ATracedCallRecordsItsOwnSamplesWhileOthersShade) {
    const miTag area =
        scene.addAreaLight({-1.0f, -1.0f, 3.0f}, {2.0f, 0.0f, 0.0f}, {0.0f, 2.0f, 0.0f}, white, 3);
    const miTag point = scene.addPointLight({2.0f, 0.0f, 1.0f}, white);
    params.setLights({area, point});
    const std::vector<miTag> ownTags{area, area, area, area, point, point};
    const miColor expected = shade();

    constexpr int threads = 3;
    constexpr int calls = 200;
    std::vector<int> mismatches(threads, 0);
    test::fanOut(threads, [&](int t) {
        for (int i = 0; i < calls; ++i) {
            // Thread 0 always records; the others record every other call.
            const bool traced = t == 0 || i % 2 == 0;
            CallTrace trace;
            miState state = workedState();
            miColor result = black;
            renderer.shade(result, state, params, traced ? &trace : nullptr);
            const bool tagsRight =
                traced ? trace.sampledTags == ownTags : trace.sampledTags.empty();
            if (!tagsRight || std::memcmp(&result, &expected, sizeof result) != 0) {
                ++mismatches[t];
            }
        }
    });
    EXPECT_EQ(mismatches, std::vector<int>(threads, 0));
}

}  // namespace
}  // namespace lumaveil::mrtest
