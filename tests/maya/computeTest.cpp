// compute through the host: the shading model's worked example via node
// attributes and light-data elements, the branches and their statuses.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "model/shading.h"
#include "namedMaterial.h"
#include "pluginFixture.h"
#include "randomScene.h"
#include "referenceShading.h"

namespace {

using lumaveil::LightSample;
using V = std::array<float, 3>;
constexpr float kTolerance = 2e-6f;

void expectColour(const V& actual, const V& expected, float tolerance = kTolerance) {
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(actual[static_cast<std::size_t>(k)], expected[static_cast<std::size_t>(k)],
                    tolerance)
            << "channel " << k;
    }
}

// The node's sample (NodeTest's geometry and the node's defaults) lit by
// `lights`, from the model's formula in double precision.
V expectedColour(const std::vector<LightSample>& lights, int lightElements) {
    lumaveil::ShadingInputs in;
    in.pointCamera = {0.0f, 0.0f, -5.0f};
    in.normalCamera = {0.0f, 0.0f, 1.0f};
    const lumaveil::reference::Rgb c = lumaveil::reference::modelColour(in, lights, lightElements);
    return {static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])};
}

// NodeTest's head-on light as the model takes it.
LightSample headOn(bool specular) {
    LightSample light;
    light.lightDirection = {0.0f, 0.0f, 1.0f};
    light.lightAmbient = false;
    light.lightSpecular = specular;
    return light;
}

using ComputeTest = NodeTest;

TEST_F(ComputeTest, WorkedExampleThroughNodeAttributes) {
    EXPECT_EQ(node.compute("outColor"), MS::kSuccess);
    expectColour(node.getFloat3("outColor"), expectedColour({headOn(true)}, 1));

    node.setLight(0, headOnLight(false));
    EXPECT_EQ(node.compute("outColor"), MS::kSuccess);
    expectColour(node.getFloat3("outColor"), expectedColour({headOn(false)}, 1));
}

TEST_F(ComputeTest, ChildRequestWritesTheWholeColourAndCleansIt) {
    node.setFloat3("transparency", {0.0f, 0.0f, 0.0f});
    EXPECT_FALSE(node.isClean("outColor"));
    host.clearCallLog();
    EXPECT_EQ(node.compute("outColorB"), MS::kSuccess);
    expectColour(node.getFloat3("outColor"), expectedColour({headOn(true)}, 1));
    EXPECT_TRUE(node.isClean("outColor"));
    EXPECT_FALSE(node.isClean("outTransparency"));
    EXPECT_EQ(loggedAttributes("MDataBlock::outputValue"), (std::vector<std::string>{"outColor"}));

    // Changing an input makes the output dirty again.
    node.setFloat("colorR", 0.4f);
    EXPECT_FALSE(node.isClean("outColor"));
}

TEST_F(ComputeTest, TransparencyIsCopiedWithoutReadingLights) {
    node.setFloat3("transparency", {0.1f, 0.2f, 0.3f});
    host.clearCallLog();
    EXPECT_EQ(node.compute("outTransparencyR"), MS::kSuccess);
    EXPECT_EQ(node.getFloat3("outTransparency"), (V{0.1f, 0.2f, 0.3f}));
    EXPECT_TRUE(node.isClean("outTransparency"));
    EXPECT_FALSE(node.isClean("outColor"));
    EXPECT_EQ(node.getFloat3("outColor"), (V{0, 0, 0}));
    EXPECT_EQ(loggedCount("MDataBlock::inputArrayValue"), 0);
    EXPECT_EQ(loggedCount("MDataHandle::child"), 0);
    EXPECT_EQ(loggedAttributes("MDataBlock::inputValue"),
              (std::vector<std::string>{"transparency"}));
}

TEST_F(ComputeTest, OtherPlugsAreRefusedUntouched) {
    for (const char* plug : {"color", "colorR", "lightDataArray", "pointCamera"}) {
        host.clearCallLog();
        EXPECT_EQ(node.compute(plug), MS::kUnknownParameter) << plug;
        for (const auto& call : host.callLog()) {
            EXPECT_EQ(call.function, "MPlug::operator==") << plug;
        }
    }
    EXPECT_FALSE(node.isClean("outColor"));
    EXPECT_EQ(node.getFloat3("outColor"), (V{0, 0, 0}));
}

TEST_F(ComputeTest, EveryLightElementCountsInTheSubsurfaceDivisor) {
    node.setLight(0, headOnLight(false));
    node.setLightCount(2);
    mayahost::LightValues dark = headOnLight(false);
    dark.ambient = dark.diffuse = dark.specular = false;
    node.setLight(1, dark);
    EXPECT_EQ(node.compute("outColor"), MS::kSuccess);
    expectColour(node.getFloat3("outColor"), expectedColour({headOn(false)}, 2));
}

TEST_F(ComputeTest, AFailingAdvanceEndsTheListButKeepsTheDivisor) {
    // Two equal lights; the first advance fails, so only one is evaluated,
    // still divided by two: the same as one light and one dark light.
    node.setLight(0, headOnLight(false));
    node.setLightCount(2);
    node.setLight(1, headOnLight(false));
    EXPECT_EQ(node.compute("outColor"), MS::kSuccess);
    expectColour(node.getFloat3("outColor"), expectedColour({headOn(false), headOn(false)}, 2));

    host.failCalls("MArrayDataHandle::next", "", MS::kFailure, 1);
    EXPECT_EQ(node.compute("outColor"), MS::kSuccess);
    expectColour(node.getFloat3("outColor"), expectedColour({headOn(false)}, 2));
}

TEST_F(ComputeTest, MoreLightsThanTheInlineList) {
    node.setLightCount(20);
    for (int i = 0; i < 20; ++i) {
        node.setLight(i, headOnLight(false));
    }
    EXPECT_EQ(node.compute("outColor"), MS::kSuccess);
    // Twenty shares of a twentieth of the subsurface term, twenty diffuse terms.
    expectColour(node.getFloat3("outColor"),
                 expectedColour(std::vector<LightSample>(20, headOn(false)), 20), 1e-5f);
}

TEST_F(ComputeTest, WithoutLightsOnlyAmbientAndIncandescenceRemain) {
    node.setLightCount(0);
    lumaveil::test::setMaterial(node, lumaveil::test::ambientAndIncandescentInputs());
    EXPECT_EQ(node.compute("outColor"), MS::kSuccess);
    expectColour(node.getFloat3("outColor"), {0.2f, 0.1f, 0.1f});
}

// A connection can drive values past the Attribute Editor's limits: they
// shade as the model holds them, and outTransparency is the held value.
TEST_F(ComputeTest, ConnectedValuesOutsideTheirRangeAreHeld) {
    node.setFloat("refractiveIndex", 1.0f);
    ASSERT_EQ(node.compute("outColor"), MS::kSuccess);
    const V atOne = node.getFloat3("outColor");
    node.setFloat("refractiveIndex", -1.0f);
    ASSERT_EQ(node.compute("outColor"), MS::kSuccess);
    EXPECT_EQ(node.getFloat3("outColor"), atOne);

    // A white texture on normalCamera: (1, 1, 1) shades as its unit normal.
    using lumaveil::test::mayaVector;
    const float third = 0.57735026f;
    node.setSampleGeometry(mayaVector(lumaveil::test::workedPoint), {third, third, third},
                           mayaVector(lumaveil::test::workedRay));
    ASSERT_EQ(node.compute("outColor"), MS::kSuccess);
    const V unit = node.getFloat3("outColor");
    node.setSampleGeometry(mayaVector(lumaveil::test::workedPoint), {1.0f, 1.0f, 1.0f},
                           mayaVector(lumaveil::test::workedRay));
    ASSERT_EQ(node.compute("outColor"), MS::kSuccess);
    expectColour(node.getFloat3("outColor"), unit, 1e-6f);

    node.setFloat3("transparency", {1.5f, -0.5f, std::numeric_limits<float>::quiet_NaN()});
    ASSERT_EQ(node.compute("outTransparency"), MS::kSuccess);
    EXPECT_EQ(node.getFloat3("outTransparency"), (V{1.0f, 0.0f, 0.0f}));
}

// Whatever a material's values, the ends of the ranges and what no slider
// gives included, the node gives the model's colour for them, finite and not
// below 0, and the transparency as the model holds it.
TEST_F(ComputeTest, AnyMaterialGivesTheModelsColourFiniteAndNotBelowZero) {
    using lumaveil::test::mayaLight;
    using lumaveil::test::mayaVector;
    host.setCallLogEnabled(false);
    lumaveil::test::RandomScene rng(61);
    node.setLightCount(2);
    for (int i = 0; i < 400; ++i) {
        lumaveil::ShadingInputs in = rng.materialOrEdge(i);
        in.pointCamera = rng.direction() * rng.uniform(0.5f, 20.0f);
        in.normalCamera = rng.direction();
        std::vector<LightSample> lights(2);
        for (LightSample& light : lights) {
            light.lightDirection = rng.direction();
            light.lightIntensity = rng.colour(0.0f, 3.0f);
            light.lightAmbient = rng.coin();
            light.lightDiffuse = rng.coin();
            light.lightSpecular = rng.coin();
            light.preShadowIntensity = rng.uniform(0.0f, 2.0f);
        }
        lumaveil::test::setMaterial(node, in);
        node.setSampleGeometry(mayaVector(in.pointCamera), mayaVector(in.normalCamera),
                               mayaVector(lumaveil::test::workedRay));
        node.setLight(0, mayaLight(lights[0]));
        node.setLight(1, mayaLight(lights[1]));
        ASSERT_EQ(node.compute("outColor"), MS::kSuccess);
        ASSERT_EQ(node.compute("outTransparency"), MS::kSuccess);
        const lumaveil::ShadingOutputs expected = lumaveil::evaluateShading(in, lights, 2);
        const V colour = node.getFloat3("outColor");
        ASSERT_EQ(colour, mayaVector(expected.outColor)) << "case " << i;
        for (const float channel : colour) {
            ASSERT_TRUE(std::isfinite(channel) && channel >= 0.0f) << "case " << i;
        }
        ASSERT_EQ(node.getFloat3("outTransparency"), mayaVector(expected.outTransparency))
            << "case " << i;
    }
}

// Each attribute set by its own name shades as the reference given the field
// of that name: no attribute reaches another's field.
TEST_F(ComputeTest, EachAttributeSetByItsNameReachesItsField) {
    using lumaveil::test::mayaLight;
    using lumaveil::test::mayaVector;
    ASSERT_TRUE(lumaveil::test::everyRowIsNamed()) << "tests/support/namedMaterial.h";
    lumaveil::ShadingInputs in = lumaveil::test::namedMaterial();
    for (const lumaveil::test::NamedField& field : lumaveil::test::namedFields) {
        const lumaveil::FloatVector v = lumaveil::test::namedValue(in, field);
        ASSERT_TRUE(field.colour ? node.setFloat3(field.name, mayaVector(v))
                                 : node.setFloat(field.name, v.x))
            << field.name;
    }
    // Seen 30 degrees off the normal; a light near the mirror direction and
    // one behind the surface.
    in.pointCamera = {2.5f, 0.0f, -4.3301270f};
    in.normalCamera = {0.0f, 0.0f, 1.0f};
    LightSample front = lumaveil::test::workedLight({0.4f, 0.3f, 0.8660254f});
    front.lightIntensity = {1.2f, 0.9f, 0.7f};
    front.lightAmbient = true;
    LightSample behind = lumaveil::test::workedLight({0.0f, 0.6f, -0.8f}, false);
    behind.lightIntensity = {0.6f, 0.8f, 1.1f};
    behind.preShadowIntensity = 0.7f;
    node.setSampleGeometry(mayaVector(in.pointCamera), mayaVector(in.normalCamera),
                           mayaVector(lumaveil::test::workedRay));
    node.setLightCount(2);
    node.setLight(0, mayaLight(front));
    node.setLight(1, mayaLight(behind));

    ASSERT_EQ(node.compute("outColor"), MS::kSuccess);
    const lumaveil::reference::Rgb expected = lumaveil::reference::modelColour(in, {front, behind});
    expectColour(node.getFloat3("outColor"),
                 {static_cast<float>(expected[0]), static_cast<float>(expected[1]),
                  static_cast<float>(expected[2])},
                 1e-5f);
    ASSERT_EQ(node.compute("outTransparency"), MS::kSuccess);
    EXPECT_EQ(node.getFloat3("outTransparency"), mayaVector(in.transparency));
}

TEST_F(ComputeTest, SetsByShortNameAndHandle) {
    const auto colour = node.attribute("c");
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour, node.attribute("color"));
    EXPECT_TRUE(node.setFloat3(colour, {0.0f, 0.5f, 0.5f}));
    EXPECT_FALSE(node.setFloat(colour, 1.0f));
    EXPECT_FALSE(node.attribute("noSuchAttribute"));
    EXPECT_EQ(node.compute("oc"), MS::kSuccess);
    // A black channel keeps only the specular term.
    EXPECT_NEAR(node.getFloat("outColorR"), 0.35f, kTolerance);
}

}  // namespace
