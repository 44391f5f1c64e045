// Many threads evaluating the Arnold shader at once give what one gives,
// linked parameters and AOVs included.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "arnoldCalls.h"
#include "fanOut.h"

namespace lumaveil::arnoldtest {
namespace {

TEST(ArnoldShader, ConcurrentCallsMatchCallsAlone) {
    aihost::Shader shader(LUMAVEIL_ARNOLD_SHADER_PATH);
    test::RandomScene rng(7);
    Call call = randomCall(rng, 1, true);
    call.point.rayType = AI_RAY_CAMERA;
    call.enabledAOVs = call.aovNames;
    Call previous;
    setUp(shader, call, previous);
    const aihost::Lights lights(call.lights);

    constexpr int samples = 64;
    std::vector<aihost::ShadingPoint> points;
    std::vector<aihost::ShadeResult> expected;
    for (int i = 0; i < samples; ++i) {
        aihost::ShadingPoint point = call.point;
        point.links = call.links;
        point.P = point.P + AtVector(0.01f * static_cast<float>(i), 0.0f, 0.0f);
        points.push_back(point);
        expected.push_back(shader.shade(point, lights, call.samples));
    }
    ASSERT_EQ(expected[0].aovsStored, 5);
    constexpr int threads = 6;
    std::vector<int> mismatches(threads, 0);
    test::fanOut(threads, [&](int t) {
        for (int round = 0; round < 20; ++round) {
            for (int i = 0; i < samples; ++i) {
                const auto k = static_cast<std::size_t>((i + 7 * t) % samples);
                const aihost::ShadeResult got = shader.shade(points[k], lights, call.samples);
                const AtRGB& e = expected[k].emission;
                bool same = std::memcmp(&got.emission, &e, sizeof e) == 0 && got.aovsStored == 5;
                for (std::size_t a = 0; a < 5; ++a) {
                    same = same && std::memcmp(&got.aovs[a].value, &expected[k].aovs[a].value,
                                               sizeof(AtRGB)) == 0;
                }
                mismatches[static_cast<std::size_t>(t)] += !same;
            }
        }
    });
    EXPECT_EQ(mismatches, std::vector<int>(threads, 0));
    aihost::enableAOVs({});
}

}  // namespace
}  // namespace lumaveil::arnoldtest
