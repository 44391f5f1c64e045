// What the model makes of values no slider allows, as a texture, an
// expression or a renderer may hand them in: each shades as the nearest value
// where the optics hold, a value that is not a number as the attribute's
// default, and the colour is finite and not below 0 whatever comes in.
#include "model/physicalRange.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include "model/materialAttributes.h"
#include "model/shading.h"
#include "workedExample.h"

namespace lumaveil {
namespace {

using test::workedInputs;
using test::workedLight;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

ShadingOutputs shade(const ShadingInputs& in) {
    // Lights from above, from the side and from behind: every term is lit.
    const std::vector<LightSample> lights{workedLight({0.0f, 0.6f, 0.8f}),
                                          workedLight({0.8f, 0.0f, -0.6f})};
    return evaluateShading(in, lights, 2);
}

bool sameBits(FloatVector a, FloatVector b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void set(ShadingInputs& in, std::string_view attribute, FloatVector value) {
    setIn(in, *materialAttributeNamed(attribute), value);
}

TEST(PhysicalRange, ValuesOutsideTheRangeShadeAsItsEdge) {
    struct Case {
        std::string_view attribute;
        FloatVector given, edge;
    };
    const Case cases[] = {
        {"refractiveIndex", {0.0f, 0, 0}, {1.0f, 0, 0}},
        {"refractiveIndex", {-1.0f, 0, 0}, {1.0f, 0, 0}},
        {"refractiveIndex", {0.5f, 0, 0}, {1.0f, 0, 0}},
        {"absorption", {-0.6f, 0.5f, 0.5f}, {0.0f, 0.5f, 0.5f}},
        {"scattering", {0.5f, -2.0f, 0.1f}, {0.5f, 0.0f, 0.1f}},
        {"transparency", {1.5f, -0.5f, 0.3f}, {1.0f, 0.0f, 0.3f}},
    };
    for (const Case& c : cases) {
        ShadingInputs given = workedInputs(), edge = workedInputs();
        set(given, c.attribute, c.given);
        set(edge, c.attribute, c.edge);
        const ShadingOutputs out = shade(given);
        EXPECT_TRUE(sameBits(out.outColor, shade(edge).outColor)) << c.attribute;
        EXPECT_TRUE(sameBits(out.outTransparency, edge.transparency)) << c.attribute;
    }
}

TEST(PhysicalRange, ValuesThatAreNotFiniteActAsTheDefaults) {
    // The node's defaults, stated here once more.
    const std::pair<std::string_view, float> defaults[] = {
        {"color", 0.5f},
        {"transparency", 0.0f},
        {"ambientColor", 0.0f},
        {"incandescence", 0.0f},
        {"diffuse", 0.8f},
        {"absorption", 0.5f},
        {"scattering", 0.5f},
        {"refractiveIndex", 1.333f},
        {"anisotropy", 0.2f},
        {"diffuseReflection", 2.0f},
        {"diffuseAnisotropy", 0.2f},
        {"diffuseScatter", 2.0f},
        {"eccentricity", 0.1f},
        {"specularRollOff", 0.7f},
        {"specularColor", 0.5f},
    };
    ASSERT_EQ(std::size(defaults), materialAttributes.size());
    // A material away from the defaults, so that a default shows.
    ShadingInputs material = workedInputs();
    for (const MaterialAttribute& a : materialAttributes) {
        setIn(material, a, valueIn(material, a) * 0.75f);
    }
    for (const auto& [attribute, value] : defaults) {
        for (const float bad : {nan, inf, -inf}) {
            ShadingInputs given = material, expected = material;
            FloatVector v = valueIn(material, *materialAttributeNamed(attribute));
            v.x = bad;
            set(given, attribute, v);
            v.x = value;
            set(expected, attribute, v);
            EXPECT_TRUE(sameBits(shade(given).outColor, shade(expected).outColor))
                << attribute << " " << bad;
        }
    }
}

TEST(PhysicalRange, NormalsOfAnyLengthShadeAsTheUnitNormal) {
    ShadingInputs unit = workedInputs();
    unit.normalCamera = {0.0f, 0.6f, 0.8f};
    const FloatVector want = shade(unit).outColor;
    for (const float length : {1e-30f, 1e-3f, 0.5f, 1.0001f, 3.0f, 1e30f}) {
        ShadingInputs in = unit;
        in.normalCamera = unit.normalCamera * length;
        const FloatVector got = shade(in).outColor;
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(got[k], want[k], 1e-5f * want[k]) << "length " << length;
        }
    }
    // A normal with no direction faces the eye: straight back along the view.
    ShadingInputs facing = workedInputs();
    const FloatVector faced = shade(facing).outColor;
    for (const FloatVector n :
         {FloatVector{0, 0, 0}, FloatVector{nan, 0, 1}, FloatVector{inf, 0, 0}}) {
        ShadingInputs in = facing;
        in.normalCamera = n;
        EXPECT_TRUE(sameBits(shade(in).outColor, faced)) << n.x << " " << n.y << " " << n.z;
    }
}

TEST(PhysicalRange, TheColourIsFiniteAndNotBelowZeroWhateverComesIn) {
    const float odd[] = {nan, inf, -inf, -1e30f, -1.0f, 0.0f, 1e-40f, 1e30f};
    int cases = 0;
    for (const float a : odd) {
        for (const float b : odd) {
            ShadingInputs in = workedInputs();
            for (const MaterialAttribute& attribute : materialAttributes) {
                setIn(in, attribute, {a, b, a});
            }
            in.pointCamera = {b, a, -5.0f};
            in.normalCamera = {a, b, 1.0f};
            LightSample light = workedLight({b, 0.0f, a});
            light.lightIntensity = {a, b, 1.0f};
            light.preShadowIntensity = b;
            const FloatVector c = evaluateShading(in, {&light, 1}, 1).outColor;
            for (int k = 0; k < 3; ++k) {
                ++cases;
                EXPECT_TRUE(c[k] >= 0.0f && std::isfinite(c[k])) << a << " " << b << ": " << c[k];
            }
        }
    }
    EXPECT_EQ(cases, 8 * 8 * 3);
}

}  // namespace
}  // namespace lumaveil
