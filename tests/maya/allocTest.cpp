// compute allocates nothing for up to sixteen lights, and a failed
// allocation for more stays inside the node. This executable counts, and can
// fail, the allocations of the thread that computes.
#include <gtest/gtest.h>

#include "allocationCounter.h"
#include "pluginFixture.h"

using lumaveil::test::allocations;
using lumaveil::test::failAllocations;

namespace {

long allocationsOfCompute(mayahost::Node& node, mayahost::AttributeRef plug) {
    const long before = allocations;
    node.compute(plug);
    return allocations - before;
}

TEST_F(PluginTest, ComputeAllocatesNothingForUpToSixteenLights) {
    host.setCallLogEnabled(false);
    mayahost::Node node = host.createNode("lumaVeil");
    const auto outColor = node.attribute("outColor");
    const auto outTransparency = node.attribute("outTransparency");
    node.setLightCount(17);
    for (int count : {0, 1, 16}) {
        node.setLightCount(count);
        EXPECT_EQ(allocationsOfCompute(node, outColor), 0) << count << " lights";
    }
    EXPECT_EQ(allocationsOfCompute(node, outTransparency), 0);
    node.setLightCount(17);
    EXPECT_GT(allocationsOfCompute(node, outColor), 0);
}

TEST_F(PluginTest, WithoutMemoryForItsLightsComputeFailsAndWritesNothing) {
    host.setCallLogEnabled(false);
    mayahost::Node node = host.createNode("lumaVeil");
    const auto outColor = node.attribute("outColor");
    node.setLightCount(17);
    ASSERT_TRUE(node.compute(outColor));
    const std::array<float, 3> before = node.getFloat3(outColor);
    node.setFloat3("color", {0.2f, 0.3f, 0.4f});

    failAllocations = true;
    const MStatus status = node.compute(outColor);
    failAllocations = false;

    EXPECT_EQ(status, MS::kInsufficientMemory);
    EXPECT_FALSE(node.isClean(outColor));
    EXPECT_EQ(node.getFloat3(outColor), before);
    // With memory again the same node computes.
    EXPECT_TRUE(node.compute(outColor));
    EXPECT_NE(node.getFloat3(outColor), before);
}

}  // namespace
