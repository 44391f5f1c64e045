// Many threads evaluating the Arnold shader at once give what one gives.
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
    const Call call = randomCall(rng, 1);
    test::setMaterial(shader, call.material);
    const aihost::Lights lights(call.lights);

    constexpr int samples = 64;
    std::vector<aihost::ShadingPoint> points;
    std::vector<AtRGB> expected;
    for (int i = 0; i < samples; ++i) {
        aihost::ShadingPoint point = call.point;
        point.P = point.P + AtVector(0.01f * static_cast<float>(i), 0.0f, 0.0f);
        points.push_back(point);
        expected.push_back(shader.shade(point, lights, call.samples).emission);
    }
    constexpr int threads = 6;
    std::vector<int> mismatches(threads, 0);
    test::fanOut(threads, [&](int t) {
        for (int round = 0; round < 20; ++round) {
            for (int i = 0; i < samples; ++i) {
                const int k = (i + 7 * t) % samples;
                const AtRGB got =
                    shader.shade(points[static_cast<std::size_t>(k)], lights, call.samples)
                        .emission;
                mismatches[static_cast<std::size_t>(t)] +=
                    std::memcmp(&got, &expected[static_cast<std::size_t>(k)], sizeof got) != 0;
            }
        }
    });
    EXPECT_EQ(mismatches, std::vector<int>(threads, 0));
}

}  // namespace
}  // namespace lumaveil::arnoldtest
