// Properties of evaluateShading over many random scenes: invariance under a
// rotation of the whole scene, a finite colour not below 0 for any material,
// and the scaling of each part with the light quantities that drive
// it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "model/optics.h"
#include "model/shading.h"
#include "randomScene.h"

namespace lumaveil {
namespace {

using test::closeTo;
using test::RandomScene;
using test::Rotation;

constexpr int kScenes = 2000;

// A sample seen from the eye at the origin, on a surface that faces it well
// enough that no half vector or cosine sits on a threshold; lights anywhere
// on the sphere, with random flags.
struct Scene {
    ShadingInputs in;
    std::vector<LightSample> lights;
};

Scene randomScene(RandomScene& rng) {
    Scene s;
    s.in = rng.material();
    const FloatVector towardsPoint = rng.direction();
    s.in.pointCamera = towardsPoint * rng.uniform(0.5f, 50.0f);
    s.in.normalCamera = rng.directionNear(-towardsPoint, 0.2f);
    const int count = 1 + static_cast<int>(rng.uniform(0.0f, 4.0f));
    for (int i = 0; i < count; ++i) {
        LightSample light;
        // Keep away from the direction exactly opposite the eye, where the
        // half vector vanishes.
        light.lightDirection = rng.directionNear(s.in.normalCamera, -0.9f);
        if (dot(light.lightDirection, towardsPoint) > 0.95f) {
            light.lightDirection = -light.lightDirection;
        }
        light.lightIntensity = rng.colour(0.0f, 3.0f);
        light.lightAmbient = rng.coin();
        light.lightDiffuse = rng.coin();
        light.lightSpecular = rng.coin();
        light.preShadowIntensity = rng.uniform(0.0f, 2.0f);
        s.lights.push_back(light);
    }
    return s;
}

FloatVector shade(const Scene& s) {
    return evaluateShading(s.in, s.lights, static_cast<int>(s.lights.size())).outColor;
}

bool finiteAndNotBelowZero(FloatVector v) {
    for (int k = 0; k < 3; ++k) {
        if (!(std::isfinite(v[k]) && v[k] >= 0.0f)) {
            return false;
        }
    }
    return true;
}

TEST(ShadingProperties, RotatingTheWholeSceneLeavesTheColour) {
    RandomScene rng(20240611);
    for (int i = 0; i < kScenes; ++i) {
        const Scene scene = randomScene(rng);
        const Rotation rotate = Rotation::random(rng);
        Scene turned = scene;
        turned.in.pointCamera = rotate(scene.in.pointCamera);
        turned.in.normalCamera = rotate(scene.in.normalCamera);
        for (LightSample& light : turned.lights) {
            light.lightDirection = rotate(light.lightDirection);
        }
        const FloatVector a = shade(scene);
        const FloatVector b = shade(turned);
        for (int k = 0; k < 3; ++k) {
            ASSERT_TRUE(closeTo(a[k], b[k], 2e-3f, 2e-4f))
                << "scene " << i << " channel " << k << ": " << a[k] << " vs " << b[k];
        }
    }
}

TEST(ShadingProperties, TheColourIsFiniteAndNotBelowZeroForAnyMaterial) {
    RandomScene rng(7);
    // The ends of the ranges, values no slider gives, and unit vectors in
    // every relation to each other: grazing, opposite, behind.
    for (int i = 0; i < kScenes; ++i) {
        ShadingInputs in = rng.materialOrEdge(i);
        const FloatVector n = rng.direction();
        in.normalCamera = n;
        // The eye direction: anywhere, sometimes exactly in the surface plane
        // or along the normal.
        FloatVector v = rng.direction();
        if (i % 5 == 1) {
            v = -n;
        }
        in.pointCamera = v * rng.uniform(0.1f, 100.0f);
        std::vector<LightSample> lights(3);
        lights[0].lightDirection = rng.direction();
        lights[1].lightDirection = -v;  // towards the eye
        lights[2].lightDirection = v;   // opposite the eye: no half vector
        for (LightSample& light : lights) {
            light.lightIntensity = rng.colour(0.0f, 10.0f);
            light.lightAmbient = light.lightDiffuse = light.lightSpecular = true;
            light.preShadowIntensity = rng.uniform(0.0f, 10.0f);
        }
        const ShadingOutputs out = evaluateShading(in, lights, 3);
        ASSERT_TRUE(finiteAndNotBelowZero(out.outColor))
            << "case " << i << ": " << out.outColor.x << " " << out.outColor.y << " "
            << out.outColor.z;
    }
}

// With |g| = 1 the renderer shader's phase weight has a base of 2 - 2|mu|;
// unit vectors whose cosine rounds past 1 must give the weight of mu = 1, not
// NaN.
TEST(ShadingProperties, ThePhaseWeightOfParallelUnitVectorsIsFinite) {
    RandomScene rng(5);
    int found = 0;
    for (int i = 0; i < 100000 && found < 20; ++i) {
        const FloatVector a = normalizeVector(rng.direction() * rng.uniform(0.5f, 2.0f));
        if (dot(a, a) <= 1.0f) {
            continue;
        }
        ++found;
        EXPECT_EQ(scatterPhase(a, a, 1.0f), 1.0f);
        EXPECT_EQ(scatterPhase(a, -a, -1.0f), 1.0f);
    }
    EXPECT_GT(found, 0);
}

// Until it is held at 0 from below, the colour is affine in every light's
// intensity and in its pre-shadow intensity: out(k) = out(0) + k (out(1) -
// out(0)) where neither end was held. Which part each one drives shows in
// what out(0) leaves.
TEST(ShadingProperties, IntensityDrivesTheLitPartsAndPreShadowTheSubsurface) {
    RandomScene rng(99);
    for (int i = 0; i < kScenes / 4; ++i) {
        const Scene scene = randomScene(rng);
        const float k = rng.uniform(0.0f, 4.0f);
        auto withIntensity = [&](float factor) {
            Scene s = scene;
            for (LightSample& light : s.lights) {
                light.lightIntensity = light.lightIntensity * factor;
            }
            return shade(s);
        };
        auto withPreShadow = [&](float factor) {
            Scene s = scene;
            for (LightSample& light : s.lights) {
                light.preShadowIntensity = light.preShadowIntensity * factor;
            }
            return shade(s);
        };

        const FloatVector i0 = withIntensity(0.0f), i1 = withIntensity(1.0f), ik = withIntensity(k);
        const FloatVector p0 = withPreShadow(0.0f), p1 = withPreShadow(1.0f), pk = withPreShadow(k);

        // Without intensity only the subsurface part and the light-independent
        // ones remain; without pre-shadow intensity, all but the subsurface
        // part.
        Scene unlit = scene;
        unlit.in.diffuse = 0.0f;
        unlit.in.specularRollOff = 0.0f;
        for (LightSample& light : unlit.lights) {
            light.lightAmbient = false;
        }
        Scene noSubsurface = scene;
        noSubsurface.in.diffuseScatter = 0.0f;
        const FloatVector unlitColour = shade(unlit);
        const FloatVector dryColour = shade(noSubsurface);

        auto affine = [k](float at0, float at1) { return std::max(0.0f, at0 + k * (at1 - at0)); };
        for (int c = 0; c < 3; ++c) {
            const float scale = std::fabs(i1[c]) + std::fabs(p1[c]) + 1.0f;
            if (i0[c] > 0.0f && i1[c] > 0.0f) {
                EXPECT_NEAR(ik[c], affine(i0[c], i1[c]), 1e-5f * scale * (1.0f + k))
                    << "scene " << i;
            }
            if (p0[c] > 0.0f && p1[c] > 0.0f) {
                EXPECT_NEAR(pk[c], affine(p0[c], p1[c]), 1e-5f * scale * (1.0f + k))
                    << "scene " << i;
            }
            EXPECT_NEAR(i0[c], unlitColour[c], 1e-5f * scale) << "scene " << i;
            EXPECT_NEAR(p0[c], dryColour[c], 1e-5f * scale) << "scene " << i;
        }
    }
}

}  // namespace
}  // namespace lumaveil
