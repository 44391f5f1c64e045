#include "model/albedo.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "albedoRule.h"

namespace lumaveil {
namespace {

TEST(AlbedoTable, EqualsItsRuleEntryForEntry) {
    const auto rebuilt = albedo_rule::buildTable();
    ASSERT_EQ(rebuilt.size(), albedoTable.size());
    for (std::size_t i = 0; i < rebuilt.size(); ++i) {
        ASSERT_EQ(std::bit_cast<std::uint32_t>(albedoTable[i]),
                  std::bit_cast<std::uint32_t>(rebuilt[i]))
            << "entry " << i << ": table " << albedoTable[i] << ", rule " << rebuilt[i];
    }
}

TEST(AlbedoTable, RuleMatchesItsCheckValues) {
    EXPECT_NEAR(albedo_rule::diffuseFresnelReflectance(), 0.4447628, 1e-7);
    EXPECT_NEAR(albedo_rule::boundaryConstant(), 2.602064, 1e-6);
    EXPECT_NEAR(albedo_rule::dipoleReflectance(0.01), 0.000894578, 1e-9);
    EXPECT_NEAR(albedo_rule::dipoleReflectance(0.5), 0.0745069, 1e-7);
    EXPECT_NEAR(albedo_rule::dipoleReflectance(0.9), 0.299129, 1e-6);
    EXPECT_NEAR(albedo_rule::dipoleReflectance(0.98), 0.547505, 1e-6);
    EXPECT_NEAR(albedo_rule::dipoleReflectance(0.99), 0.644525, 1e-6);
}

TEST(AlbedoTable, HoldsTheTellingRowsAndStrictlyIncreases) {
    const std::pair<int, float> rows[] = {
        {0, 0.0f},        {1, 0.0055892f},  {2, 0.011158f},   {10, 0.05374f},   {100, 0.38532f},
        {250, 0.66299f},  {500, 0.86122f},  {1000, 0.97225f}, {1095, 0.98f},    {1289, 0.99f},
        {1290, 0.99001f}, {1500, 0.99297f}, {1900, 0.99859f}, {1999, 0.99999f}, {2000, 1.0f},
    };
    for (auto [i, value] : rows) {
        EXPECT_EQ(albedoTable[i], value) << "entry " << i;
    }
    for (int i = 1; i < albedoTableSize; ++i) {
        ASSERT_LT(albedoTable[i - 1], albedoTable[i]) << "entry " << i;
    }
}

TEST(AlbedoLookup, StepsWithoutInterpolation) {
    EXPECT_EQ(albedoFromReflectance(0.0f), 0.0f);
    EXPECT_EQ(albedoFromReflectance(0.0005f), 0.0055892f);
    EXPECT_EQ(albedoFromReflectance(0.00049f), 0.0f);
    EXPECT_EQ(albedoFromReflectance(0.1f), albedoTable[200]);
    EXPECT_EQ(albedoFromReflectance(0.5f), 0.97225f);
    EXPECT_EQ(albedoFromReflectance(0.9999f), 0.99999f);
    EXPECT_EQ(albedoFromReflectance(1.0f), 1.0f);
    EXPECT_EQ(albedoFromReflectance(1.0004f), 1.0f);
}

TEST(AlbedoLookup, ClampsOutOfRangeAndNonFiniteValues) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(albedoFromReflectance(1.5f), 1.0f);
    EXPECT_EQ(albedoFromReflectance(-0.2f), 0.0f);
    EXPECT_EQ(albedoFromReflectance(-0.0f), 0.0f);
    EXPECT_EQ(albedoFromReflectance(std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_EQ(albedoFromReflectance(inf), 1.0f);
    EXPECT_EQ(albedoFromReflectance(-inf), 0.0f);
    // Products far beyond the range of int must not be converted.
    EXPECT_EQ(albedoFromReflectance(3e38f), 1.0f);
    EXPECT_EQ(albedoFromReflectance(-3e38f), 0.0f);
}

}  // namespace
}  // namespace lumaveil
