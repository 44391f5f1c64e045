#include "model/optics.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "model/scatterPhasePair.h"

namespace lumaveil {
namespace {

constexpr FloatVector up{0.0f, 0.0f, 1.0f};
constexpr FloatVector down{0.0f, 0.0f, -1.0f};

void expectVector(FloatVector actual, FloatVector expected, float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(Normalization, ScalesToUnitLengthAndLeavesZeroAlone) {
    expectVector(normalizeVector({3.0f, 0.0f, 4.0f}), {0.6f, 0.0f, 0.8f});
    expectVector(unitVector({0.0f, 0.0f, -5.0f}), down);
    EXPECT_EQ(normalizeVector({}), FloatVector{});
    EXPECT_EQ(unitVector({}), FloatVector{});
}

TEST(RefractDirection, PassesNormalIncidenceStraightThrough) {
    expectVector(refractDirection(down, up, 0.750188f), down);
}

TEST(RefractDirection, GivesZeroAtGrazingAndUnderTotalInternalReflection) {
    // eta 1 and a direction along the surface: k is exactly 0.
    EXPECT_EQ(refractDirection({1.0f, 0.0f, 0.0f}, up, 1.0f), FloatVector{});
    // eta 1.5 at 60 degrees from the normal is past the critical angle.
    const float s = std::sin(1.0471976f), c = std::cos(1.0471976f);
    EXPECT_EQ(refractDirection({s, 0.0f, -c}, up, 1.5f), FloatVector{});
}

TEST(RefractDirection, KeepsUnitLengthOblique) {
    const FloatVector i = normalizeVector({1.0f, 0.0f, -1.0f});
    const FloatVector t = refractDirection(i, up, 0.75f);
    EXPECT_NEAR(dot(t, t), 1.0f, 1e-6f);
    EXPECT_LT(t.z, 0.0f);
}

TEST(FresnelReflectance, CarriesTheWeightAtNormalIncidence) {
    // ct = 1.1 ci, r1 = 0.189069, r2 = 0.095767: 1.1 F - 0.1 is below zero.
    EXPECT_NEAR(fresnelReflectance(down, up, 1.0f / 1.333f), -0.075295f, 1e-6f);
    EXPECT_NEAR(fresnelReflectance(down, up, 1.0f), -0.097506f, 1e-6f);
}

TEST(FresnelReflectance, IsOnePastTheCriticalAngleAtGrazingAndFromBehind) {
    const FloatVector steep = normalizeVector({1.0f, 0.0f, -0.2f});
    EXPECT_EQ(fresnelReflectance(steep, up, 1.5f), 1.0f);
    // ci = 0: the formula would divide by zero.
    EXPECT_EQ(fresnelReflectance({1.0f, 0.0f, 0.0f}, up, 0.75f), 1.0f);
    // eta 1 at grazing: k = 0 and so ct = 0.
    EXPECT_EQ(fresnelReflectance({1.0f, 0.0f, 0.0f}, up, 1.0f), 1.0f);
    // Exactly at the critical angle, where the test of ci = 0 does not answer
    // first: k rounds to 0 exactly, and ct is 0, which a and b divide by.
    const float ci = 0.6f, eta = 1.25f;
    ASSERT_EQ(1.0f - (1.0f - ci * ci) * (eta * eta), 0.0f);
    EXPECT_EQ(fresnelReflectance({0.8f, 0.0f, -ci}, up, eta), 1.0f);
    // From behind the normal, nothing is transmitted; near ci = -0.695 the
    // formula's b + eta would pass through 0.
    for (float ci : {-1e-6f, -0.3f, -0.695f, -1.0f}) {
        const FloatVector behind{std::sqrt(1.0f - ci * ci), 0.0f, -ci};
        EXPECT_EQ(fresnelReflectance(behind, up, 1.0f / 1.333f), 1.0f) << ci;
    }
}

TEST(ScatterPhase, JumpsAtZeroCosine) {
    EXPECT_NEAR(scatterPhase(up, {1.0f, 0.0f, 0.0f}, 0.2f), 4001.0002f, 1e-3f);
    EXPECT_NEAR(scatterPhase(up, up, 0.2f), 0.983915f, 1e-6f);
    // Just off zero the power branch holds again.
    EXPECT_LT(scatterPhase(up, {1.0f, 0.0f, 1e-6f}, 0.2f), 1.0f);
}

TEST(ScatterPhase, IsOneWithoutAsymmetry) {
    for (float mu : {-1.0f, -0.3f, 0.5f, 1.0f}) {
        EXPECT_EQ(scatterPhase(up, {0.0f, 0.0f, mu}, 0.0f), 1.0f) << mu;
    }
}

TEST(ScatterPhasePair, GivesEachAsymmetrysWeightBitForBit) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Zero and signed-zero cosines, the clamped base of |g| = 1 (a cosine
    // past 1), NaN, and cosines across the range.
    const float cosines[] = {0.0f, -0.0f, 1.0000001f, -1.0000001f, nan, 1e-30f, -1.0f, 1.0f};
    const float asymmetries[] = {0.2f, 0.1f, 0.0f, -0.0f, 1.0f, -1.0f, 0.9f, -0.55f};
    for (const float g1 : asymmetries) {
        for (const float g2 : asymmetries) {
            const ScatterPhasePair pair(g1, g2);
            const auto check = [&](float mu) {
                const PhaseWeights w = pair(mu);
                EXPECT_EQ(std::bit_cast<std::uint32_t>(w.first),
                          std::bit_cast<std::uint32_t>(ScatterPhase(g1)(mu)))
                    << g1 << " " << mu;
                EXPECT_EQ(std::bit_cast<std::uint32_t>(w.second),
                          std::bit_cast<std::uint32_t>(ScatterPhase(g2)(mu)))
                    << g2 << " " << mu;
            };
            for (const float mu : cosines) {
                check(mu);
            }
            for (int i = -1000; i <= 1000; ++i) {
                check(static_cast<float>(i) / 1000.0f);
            }
        }
    }
}

}  // namespace
}  // namespace lumaveil
