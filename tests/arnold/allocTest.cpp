// The Arnold shader allocates nothing per call, however many lights and
// samples reach it.
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
    for (int i = 1; i < 40; ++i) {
        const Call call = randomCall(rng, i);
        test::setMaterial(shader, call.material);
        const aihost::Lights lights(call.lights);
        const long before = allocations;
        shader.shade(call.point, lights, call.samples.data(), call.samples.size());
        EXPECT_EQ(allocations - before, 0) << call.samples.size() << " samples";
    }
}

}  // namespace
}  // namespace lumaveil::arnoldtest
