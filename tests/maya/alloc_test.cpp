// compute allocates nothing for up to sixteen lights. This executable counts
// the allocations of the thread that computes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "PluginTest.h"

namespace {
thread_local long allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

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
