// Properties of the shader over random scenes: invariance under a rotation of
// the whole scene, finite results not below 0 for any material, colours within the
// light that reaches the point whatever the normal offset, and results that do
// not depend on how many threads shade or on the order in which the binding's
// cache was filled.
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "fanOut.h"
#include "model/optics.h"
#include "randomScene.h"
#include "standInFixture.h"

namespace lumaveil::mrtest {
namespace {

using lumaveil::test::closeTo;
using lumaveil::test::RandomScene;
using lumaveil::test::Rotation;

bool finiteAndNotBelowZero(const miColor& c) {
    const float channels[] = {c.r, c.g, c.b};
    for (const float v : channels) {
        if (!(std::isfinite(v) && v >= 0.0f)) {
            return false;
        }
    }
    return c.a == 1.0f;
}

using PropertyTest = StandInTest;

TEST_F(PropertyTest, RotatingTheWholeSceneLeavesTheColour) {
    RandomScene rng(4242);
    for (int i = 0; i < 500; ++i) {
        const ShadingInputs material = rng.material();
        const FloatVector normal = rng.direction();
        const FloatVector offset = rng.direction() * rng.uniform(0.0f, 0.5f);
        const FloatVector shading = normalizeVector(normal + offset);
        const FloatVector dir = rng.directionNear(-normal, 0.2f);
        const FloatVector point = rng.direction() * rng.uniform(0.0f, 3.0f);

        // Lights clear of the horizons of both normals, where the phase
        // weight and the lit terms switch.
        auto lightDirection = [&] {
            for (;;) {
                const FloatVector l = rng.direction();
                if (std::fabs(dot(l, normal)) > 0.1f && std::fabs(dot(l, shading)) > 0.1f) {
                    return l;
                }
            }
        };
        const FloatVector towards = lightDirection();
        const FloatVector lightAt = point + lightDirection() * rng.uniform(2.0f, 10.0f);
        const FloatVector colour = rng.colour(0.0f, 2.0f);

        const Rotation rotate = Rotation::random(rng);
        auto shadeWith = [&](auto&& turn) {
            LightList lights;
            ParameterBlock p = renderer.makeParameters();
            setMaterial(p, material);
            p.setVector("normalCamera", mi(turn(offset)));
            p.setLights({lights.addDirectionalLight(mi(turn(towards)), rgba(colour)),
                         lights.addPointLight(mi(turn(lightAt)), rgba(colour))});
            return renderer.shade(lights, p,
                                  SamplePoint{mi(turn(point)), mi(turn(normal)), mi(turn(dir))});
        };
        const miColor a = shadeWith([](FloatVector v) { return v; });
        const miColor b = shadeWith(rotate);
        const float ab[3][2] = {{a.r, b.r}, {a.g, b.g}, {a.b, b.b}};
        for (int k = 0; k < 3; ++k) {
            ASSERT_TRUE(closeTo(ab[k][0], ab[k][1], 2e-3f, 2e-4f))
                << "scene " << i << " channel " << k << ": " << ab[k][0] << " vs " << ab[k][1];
        }
    }
}

// The ends of the ranges and values no slider gives, from every side.
TEST_F(PropertyTest, TheResultIsFiniteAndNotBelowZeroForAnyMaterial) {
    RandomScene rng(77);
    for (int i = 0; i < 1000; ++i) {
        ShadingInputs in = rng.materialOrEdge(i);
        ParameterBlock p = renderer.makeParameters();
        setMaterial(p, in);
        const FloatVector normal = rng.direction();
        const FloatVector dir = i % 5 == 1 ? -normal : rng.direction();
        // A shading-normal offset of none, of the normal's opposite (no
        // shading normal at all) or anything in between.
        const FloatVector offset = i % 7 == 3 ? -normal : rng.direction() * rng.uniform(0.0f, 1.0f);
        p.setVector("normalCamera", mi(i % 3 == 0 ? FloatVector{} : offset));
        LightList lights;
        p.setLights({lights.addDirectionalLight(mi(rng.direction()), rgba(rng.colour(0, 10))),
                     lights.addDirectionalLight(mi(-dir), rgba(rng.colour(0, 10))),
                     lights.addDirectionalLight(mi(dir), rgba(rng.colour(0, 10))),
                     lights.addDirectionalLight(mi(normal), rgba(rng.colour(0, 10)))});
        const miColor c = renderer.shade(lights, p, SamplePoint{{}, mi(normal), mi(dir)});
        ASSERT_TRUE(finiteAndNotBelowZero(c))
            << "case " << i << ": " << c.r << " " << c.g << " " << c.b;
    }
}

// A normal offset that turns N' away from the viewer, or all but cancels the
// renderer's normal, leaves every colour finite, non-negative and within the
// light that reaches the point (reference::shaderLightBound).
TEST_F(PropertyTest, ANormalOffsetAgainstTheNormalStaysWithinTheLight) {
    RandomScene rng(1313);
    const float towardsOpposite[] = {0.5f, 0.9f, 0.95f, 0.99f, 0.9999f, 1.0f, 1.0001f, 1.1f, 2.0f};
    for (int i = 0; i < 3000; ++i) {
        const ShadingInputs in = rng.materialLitOnlyByLights();
        const FloatVector normal = rng.direction();
        const FloatVector dir = i % 3 == 0 ? rng.direction() : rng.directionNear(-normal, 0.0f);
        // The opposite of the normal, scaled on either side of 1, nudged, or
        // any offset at all.
        FloatVector offset = -normal * towardsOpposite[i % 9];
        if (i % 4 == 1) {
            offset = offset + rng.direction() * rng.uniform(0.0f, 0.2f);
        } else if (i % 4 == 2) {
            offset = rng.direction() * rng.uniform(0.0f, 2.0f);
        }
        ParameterBlock p = renderer.makeParameters();
        setMaterial(p, in);
        p.setVector("normalCamera", mi(offset));
        LightList lights;
        std::vector<miTag> tags;
        FloatVector lightSum{};
        for (int l = 0; l < 3; ++l) {
            const FloatVector colour = rng.colour(0.0f, 10.0f);
            tags.push_back(lights.addDirectionalLight(mi(rng.direction()), rgba(colour)));
            lightSum = lightSum + colour;
        }
        p.setLights(tags);
        const miColor c = renderer.shade(lights, p, SamplePoint{{}, mi(normal), mi(dir)});

        const float got[3] = {c.r, c.g, c.b};
        for (int k = 0; k < 3; ++k) {
            const double bound = reference::shaderLightBound(in, k, lightSum[k], 3);
            ASSERT_TRUE(std::isfinite(got[k]) && got[k] >= 0.0f &&
                        got[k] <= bound * (1.0 + 1e-5) + 1e-6)
                << "case " << i << " channel " << k << ": " << got[k] << ", bound " << bound;
        }
    }
}

// The same samples, shaded on 1, 2 or 8 threads from a cold cache, and after
// the cache was filled one function at a time in different orders, give the
// same bits.
TEST_F(PropertyTest, ResultsDoNotDependOnThreadsOrOnTheOrderTheCacheFilled) {
    params.connect("color", [](const miState& state, void* out) {
        const miColor value{0.05f * state.point.y, 0.02f, 0.0f, 1.0f};
        std::memcpy(out, &value, sizeof value);
    });
    params.setLights(
        {scene.addAreaLight({-1.0f, -1.0f, 3.0f}, {2.0f, 0.0f, 0.0f}, {0.0f, 2.0f, 0.0f}, white, 5),
         scene.addPointLight({2.0f, 0.5f, 1.0f}, {0.5f, 0.4f, 0.3f, 1.0f}),
         scene.addDirectionalLight({0.0f, -0.6f, -0.8f}, white)});
    params.setBoolean("useIrradiance", true);
    params.setColor("irradianceColor", {0.3f, 0.2f, 0.1f, 1.0f});
    scene.setIrradiance({1.0f, 2.0f, 3.0f, 1.0f});

    constexpr int samples = 48;
    auto sampleAt = [](int i) {
        const float x = static_cast<float>(i) / samples - 0.5f;
        return SamplePoint{{x, 0.3f * x, 0.0f}, {0.1f * x, x, 1.0f}, {0.0f, 0.1f, -1.0f}};
    };
    std::vector<miColor> expected;
    for (int i = 0; i < samples; ++i) {
        expected.push_back(renderer.shade(scene, params, sampleAt(i)));
    }

    // Blocks that need one renderer function each: a driven parameter
    // (mi_phen_eval), a light (mi_sample_light), irradiance alone.
    ParameterBlock driven = renderer.makeParameters();
    driven.connect("color", [](const miState&, void*) {});
    ParameterBlock lit = renderer.makeParameters();
    lit.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    ParameterBlock irradiant = renderer.makeParameters();
    irradiant.setBoolean("useIrradiance", true);
    irradiant.setColor("irradianceColor", white);
    const std::vector<std::vector<const ParameterBlock*>> orders = {{},
                                                                    {&driven, &lit, &irradiant},
                                                                    {&irradiant, &lit, &driven},
                                                                    {&lit},
                                                                    {&irradiant, &driven}};

    for (const auto& order : orders) {
        for (int threads : {1, 2, 8}) {
            renderer.bind(MRHOST_MODULE_PATH);
            for (const ParameterBlock* warm : order) {
                renderer.shade(scene, *warm, sampleAt(0));
            }
            std::vector<std::vector<miColor>> got(static_cast<std::size_t>(threads));
            test::fanOut(threads, [&](int t) {
                for (int i = 0; i < samples; ++i) {
                    got[static_cast<std::size_t>(t)].push_back(
                        renderer.shade(scene, params, sampleAt((i + 7 * t) % samples)));
                }
            });
            for (int t = 0; t < threads; ++t) {
                for (int i = 0; i < samples; ++i) {
                    const miColor& g =
                        got[static_cast<std::size_t>(t)][static_cast<std::size_t>(i)];
                    ASSERT_EQ(
                        std::memcmp(&g, &expected[static_cast<std::size_t>((i + 7 * t) % samples)],
                                    sizeof(miColor)),
                        0)
                        << order.size() << " warm-ups, " << threads << " threads, thread " << t;
                }
            }
        }
    }
}

}  // namespace
}  // namespace lumaveil::mrtest
