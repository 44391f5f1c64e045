// The Arnold shader allocates nothing per call, however many lights and
// samples reach it, with links, a bump and its AOVs, on every kind of ray.
#include <gtest/gtest.h>

#include <vector>

#include "allocationCounter.h"
#include "arnoldCalls.h"

using lumaveil::test::allocations;

namespace lumaveil::arnoldtest {
namespace {

TEST(ArnoldShader, ShadingAllocatesNothing) {
    aihost::Shader shader(LUMAVEIL_ARNOLD_SHADER_PATH);
    test::RandomScene rng(3);
    Call previous;
    for (int i = 1; i < 80; ++i) {
        Call call = randomCall(rng, i, true);
        call.enabledAOVs = call.aovNames;
        setUp(shader, call, previous);
        const aihost::Lights lights(call.lights);
        aihost::ShadingPoint point = call.point;
        point.links = call.links;
        const long before = allocations;
        shader.shade(point, lights, call.samples.data(), call.samples.size());
        EXPECT_EQ(allocations - before, 0) << call.samples.size() << " samples";
    }
    aihost::enableAOVs({});
}

}  // namespace
}  // namespace lumaveil::arnoldtest
