// The terms both hosts share: the diffusion channels, the single-scattering
// weight and the specular lobe.
#include "model/subsurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/albedo.h"
#include "model/specularLobe.h"

namespace lumaveil {
namespace {

// Each channel's diffusion value is the formula on its own table entry,
// whether or not another channel reads the same entry.
TEST(DiffusionChannels, EachChannelIsItsEntrysFormula) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const FloatVector color : {FloatVector{0.5f, 0.5f, 0.5f}, FloatVector{0.8f, 0.45f, 0.8f},
                                    FloatVector{nan, -1.0f, 2.0f}}) {
        const Lanes d = diffusion(diffusionChannels(color, 1.7f), 0.9f);
        for (int j = 0; j < 3; ++j) {
            const float a = albedoFromReflectance(color[j]);
            const float s = std::sqrt((1.0f - a) * 3.0f);
            const float want =
                ((roundedExp((1.7f * -1.3333334f) * s) + 1.0f) * ((0.9f * a) * 0.5f)) *
                roundedExp(-s) / 3.1415927f;
            EXPECT_EQ(d[j], want) << "channel " << j;
        }
    }
}

TEST(TransmittedAlbedo, IsZeroWhereTheMediumNeitherScattersNorAbsorbs) {
    const float inf = std::numeric_limits<float>::infinity();
    const Lanes w = transmittedAlbedo({0.0f, 0.5f, 3.0f}, {0.0f, 0.5f, 1.0f}, inf);
    EXPECT_EQ(w[0], 0.0f);
    EXPECT_EQ(w[1], inf);
    const Lanes finite = transmittedAlbedo({0.0f, 0.5f, 3.0f}, {0.0f, 0.5f, 1.0f}, 1.1f);
    EXPECT_EQ(finite[1], 1.1f * 0.5f);
    EXPECT_EQ(finite[2], 1.1f * 0.75f);
}

TEST(GaussianLobe, KeepsItsPeakPastTheRangeOfTheArcCosine) {
    EXPECT_EQ(gaussianLobe(1.0000001f, 10.0f), 1.0f);
    EXPECT_EQ(gaussianLobe(1.0f, std::numeric_limits<float>::infinity()), 1.0f);
    EXPECT_NEAR(gaussianLobe(std::cos(0.1f), 10.0f), std::exp(-1.0), 1e-6);
    const double pi = 3.14159265358979;
    EXPECT_NEAR(gaussianLobe(-1.5f, 1.0f), std::exp(-pi * pi), 1e-9);
}

}  // namespace
}  // namespace lumaveil
