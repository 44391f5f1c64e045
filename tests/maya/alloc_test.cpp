// compute allocates nothing for up to sixteen lights. This executable counts
// the allocations of the thread that computes.
#include <gtest/gtest.h>

#include "PluginTest.h"
#include "tests/AllocationCounter.h"

using lumaveil::testing::allocations;

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

}  // namespace
