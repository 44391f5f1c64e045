// The fragments' GLSL, run on the GPU at hand (Mesa's llvmpipe through EGL
// surfaceless where there is none) as Maya runs the graphs, against the Maya
// node's outColor and outTransparency for the same inputs, over random
// materials, views and light sets.
//
// The tolerance, 2e-3 of the node's value or 2e-4 where that is near 0: the
// fragments take the node's operations in its order, but a GPU's exp, sqrt
// and division need not be the correctly rounded ones the node calls (GLSL
// asks only for a few ulp), and it may fuse or reorder the sums of a dot
// product. The fragments compute acos themselves, as llvmpipe's is off by up
// to 1.6e-4 radians, and hold the argument of x^1.5 at 0 or above. A light
// near the eye's opposite is left out: there the model itself is
// ill-conditioned. The largest difference measured on llvmpipe is a few
// hundredths of the tolerance; the rest is room for other GPUs.
//
// GPUs flush denormal numbers to zero, so the materials hold none (the
// smallest normal float stands at the edges instead).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "fragmentSet.h"
#include "mayaValues.h"
#include "model/materialAttributes.h"
#include "model/shading.h"
#include "randomScene.h"
#include "vp2host/glViewport.h"

namespace lumaveil::test {
namespace {

using vp2host::GlViewport;
using vp2host::GraphProgram;

constexpr int kCases = 12000;

GlViewport& gl() {
    static GlViewport viewport;
    return viewport;
}

bool agrees(float gpu, float node) {
    return std::fabs(gpu - node) <= std::max(2e-3f * std::fabs(node), 2e-4f);
}

// A node's material, view and light list.
struct Case {
    ShadingInputs material;
    std::vector<LightSample> lights;
};

float largestChannel(FloatVector v) {
    return std::max(v.x, std::max(v.y, v.z));
}

// The smallest normal float where the generator put a denormal one, which a
// GPU flushes to 0; and a finite value far past the slider, one span beyond
// either end, where it put one so large that the model's own products and
// exponentials overflow: past the float's range the two part ways by the
// order of their sums (a GPU may reorder and fuse), and inf - inf decides a
// channel between 0 and the largest float. Not finite values stay.
float normalised(const MaterialAttribute& a, float x) {
    if (std::fpclassify(x) == FP_SUBNORMAL) {
        return std::numeric_limits<float>::min();
    }
    const test::DrawnRange range = test::drawnRange(a);
    const float span = range.hi - range.lo;
    if (std::isfinite(x)) {
        return std::clamp(x, range.lo - span, range.hi + span);
    }
    return x;
}

// Every fifth case has values no slider allows, as a texture or an
// expression may give them: a material value that is not finite or lies
// outside its physical range, a normal that is not of unit length or has no
// direction, a point that is not finite, a light that is not finite.
void putOutOfRange(Case& c, int i) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float strange[] = {nan, inf, -inf, -0.5f, 1.5f, -3.0f, 0.5f};
    const MaterialAttribute& a =
        materialAttributes[static_cast<std::size_t>(i / 5) % materialAttributes.size()];
    FloatVector v = valueIn(c.material, a);
    v[(i / 7) % a.components] = strange[(i / 3) % 7];
    setIn(c.material, a, v);
    FloatVector& n = c.material.normalCamera;
    switch ((i / 5) % 7) {
        case 0:
            n = n * 3.0f;
            break;
        case 1:
            n = n * 1e-3f;
            break;
        case 2:
            n = {};
            break;
        case 3:
            n.y = nan;
            break;
        case 4:
            c.material.pointCamera.z = -inf;
            break;
        case 5:
            n = n * 1.00001f;
            break;
        default:
            break;
    }
    LightSample& light = c.lights.front();
    switch ((i / 5) % 3) {
        case 0:
            light.lightDirection.x = nan;
            break;
        case 1:
            light.lightIntensity.z = inf;
            light.preShadowIntensity = inf;
            break;
        default:
            break;
    }
}

// Case i: 1 to 8 lights, from every side; every fourth material at the edges
// of the soft ranges, every fifth case out of range; one view in ten from any
// side, the others from the normal's side. Lights feed the diffuse and the specular terms, now and
// then only one of them. Each light's pre-shadow intensity is its
// intensity's largest channel, which the fragments take for it.
Case randomCase(RandomScene& rng, int i, bool ambientLights) {
    Case c;
    c.material = rng.materialOrEdge(i);
    for (const MaterialAttribute& a : materialAttributes) {
        FloatVector v = valueIn(c.material, a);
        for (int k = 0; k < 3; ++k) {
            v[k] = normalised(a, v[k]);
        }
        setIn(c.material, a, v);
    }
    const FloatVector normal = rng.direction();
    const FloatVector toEye = i % 10 == 9 ? rng.direction() : rng.directionNear(normal, 0.0f);
    c.material.normalCamera = normal;
    c.material.pointCamera = toEye * -rng.uniform(0.5f, 20.0f);
    const int count = 1 + i % 8;
    for (int j = 0; j < count; ++j) {
        LightSample light;
        // Within 8 degrees of the eye's opposite the highlight's geometry term
        // grows without bound: there one ulp of a light's direction moves the
        // node's own colour by more than the tolerance.
        do {
            light.lightDirection = rng.direction();
        } while (dot(light.lightDirection, toEye) < -0.99f);
        light.lightIntensity = rng.colour() * rng.uniform(0.0f, 2.0f);
        light.preShadowIntensity = largestChannel(light.lightIntensity);
        light.lightAmbient = false;
        light.lightDiffuse = (i + j) % 7 != 3;
        light.lightSpecular = (i + j) % 5 != 2;
        c.lights.push_back(light);
    }
    if (i % 5 == 4) {
        putOutOfRange(c, i);
    }
    if (ambientLights && i % 3 == 0) {
        LightSample ambient;
        ambient.lightIntensity = rng.colour(0.0f, 0.5f);
        ambient.lightAmbient = true;
        ambient.lightDiffuse = ambient.lightSpecular = false;
        c.lights.push_back(ambient);
    }
    return c;
}

// What Viewport 2.0 hands the graph for the case: the node's attributes
// under their names, the normal, the direction towards the eye (Vw) and the
// point (Pw); under light API v1 the ambient lights' sum (ambientIn), and
// each other light's direction and its diffuse and specular irradiance.
vp2host::Sample viewportSample(const GraphProgram& program, const Case& c) {
    vp2host::Sample sample;
    FloatVector ambient;
    for (const LightSample& light : c.lights) {
        if (light.lightAmbient) {
            ambient = ambient + light.lightIntensity;
        } else {
            const FloatVector none;
            sample.lights.push_back(
                {mayaVector(light.lightDirection),
                 mayaVector(light.lightDiffuse ? light.lightIntensity : none),
                 mayaVector(light.lightSpecular ? light.lightIntensity : none)});
        }
    }
    for (const std::string& name : program.sampleInputs()) {
        FloatVector value;
        if (const MaterialAttribute* a = materialAttributeNamed(name)) {
            value = valueIn(c.material, *a);
        } else if (name == "Nw") {
            value = c.material.normalCamera;
        } else if (name == "Vw") {
            value = -c.material.pointCamera;
        } else if (name == "Pw") {
            value = c.material.pointCamera;
        } else if (name == "ambientIn") {
            value = ambient;
        } else {
            ADD_FAILURE() << "the graph asks for an input the test cannot give: " << name;
        }
        sample.inputs.push_back(mayaVector(value));
    }
    return sample;
}

std::string describe(const Case& c) {
    std::string text;
    char line[256];
    for (const MaterialAttribute& a : materialAttributes) {
        const FloatVector v = valueIn(c.material, a);
        std::snprintf(line, sizeof line, " %s=(%.9g %.9g %.9g)", std::string(a.longName).c_str(),
                      v.x, v.y, v.z);
        text += line;
    }
    const FloatVector p = c.material.pointCamera, n = c.material.normalCamera;
    std::snprintf(line, sizeof line,
                  "\n  pointCamera=(%.9g %.9g %.9g) normalCamera=(%.9g %.9g %.9g)", p.x, p.y, p.z,
                  n.x, n.y, n.z);
    text += line;
    for (const LightSample& l : c.lights) {
        std::snprintf(line, sizeof line,
                      "\n  light (%.9g %.9g %.9g) I=(%.9g %.9g %.9g) a%d d%d s%d pre=%.9g",
                      l.lightDirection.x, l.lightDirection.y, l.lightDirection.z,
                      l.lightIntensity.x, l.lightIntensity.y, l.lightIntensity.z, l.lightAmbient,
                      l.lightDiffuse, l.lightSpecular, l.preShadowIntensity);
        text += line;
    }
    return text;
}

// The node's outColor and outTransparency, through the plug-in in the
// stand-in Maya.
class NodeUnderTest {
public:
    NodeUnderTest() {
        std::string error;
        loaded_ = static_cast<bool>(host_.loadPlugin(LUMAVEIL_PLUGIN_PATH, &error));
        EXPECT_TRUE(loaded_) << error;
        host_.setCallLogEnabled(false);
        node_ = host_.createNode("lumaVeil");
    }
    ShadingOutputs shade(const Case& c) {
        setMaterial(node_, c.material);
        const FloatVector p = c.material.pointCamera;
        node_.setSampleGeometry(mayaVector(p), mayaVector(c.material.normalCamera), mayaVector(p));
        node_.setLightCount(static_cast<int>(c.lights.size()));
        for (std::size_t i = 0; i < c.lights.size(); ++i) {
            node_.setLight(static_cast<int>(i), mayaLight(c.lights[i]));
        }
        EXPECT_EQ(node_.compute("outColor"), MS::kSuccess);
        EXPECT_EQ(node_.compute("outTransparency"), MS::kSuccess);
        const auto colour = node_.getFloat3("outColor");
        const auto transparency = node_.getFloat3("outTransparency");
        return {{colour[0], colour[1], colour[2]},
                {transparency[0], transparency[1], transparency[2]}};
    }

private:
    mayahost::Host host_;
    bool loaded_ = false;
    mayahost::Node node_;
};

// Runs the graph for the cases and compares it with `expected` of each; one
// failure names the worst few cases whole.
template <class Expected>
void expectAgreement(const char* graphName, const std::vector<Case>& cases, Expected expected,
                     int glslVersion = vp2host::glslVersions.back()) {
    const FragmentSet& set = builtFragments();
    const GraphProgram program(set.graphs.at(graphName), set.lookup(), glslVersion);
    std::vector<vp2host::Sample> samples;
    for (const Case& c : cases) {
        samples.push_back(viewportSample(program, c));
    }
    const std::vector<vp2host::SampleResult> results = gl().run(program, samples);
    ASSERT_EQ(results.size(), cases.size());
    int failures = 0;
    double worst = 0.0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const ShadingOutputs node = expected(cases[i]);
        const vp2host::SampleResult& gpu = results[i];
        bool ok = true;
        for (int k = 0; k < 3; ++k) {
            const float n = node.outColor[k];
            ok = ok && agrees(gpu.colour[k], n) && gpu.transparency[k] == node.outTransparency[k];
            worst =
                std::max(worst, std::fabs(gpu.colour[k] - n) / std::max(2e-3 * std::fabs(n), 2e-4));
            // The surface output premultiplies by the opacity, and its alpha
            // is the mean opacity. A GPU flushes a product below the smallest
            // normal float to 0.
            const float opacity = 1.0f - gpu.transparency[k];
            ok = ok && std::fabs(gpu.premultiplied[k] - gpu.colour[k] * opacity) <=
                           1e-6f * std::fabs(gpu.colour[k]) + std::numeric_limits<float>::min();
        }
        const float meanOpacity =
            (3.0f - gpu.transparency[0] - gpu.transparency[1] - gpu.transparency[2]) / 3.0f;
        ok = ok && std::fabs(gpu.surfaceFinal[3] - meanOpacity) <= 1e-6f;
        if (!ok && ++failures <= 3) {
            ADD_FAILURE() << graphName << " (GLSL " << glslVersion << "), case " << i << ": GPU ("
                          << gpu.colour[0] << " " << gpu.colour[1] << " " << gpu.colour[2]
                          << ") transparency (" << gpu.transparency[0] << " " << gpu.transparency[1]
                          << " " << gpu.transparency[2] << "), node (" << node.outColor[0] << " "
                          << node.outColor[1] << " " << node.outColor[2] << ") transparency ("
                          << node.outTransparency[0] << " " << node.outTransparency[1] << " "
                          << node.outTransparency[2] << ")\n " << describe(cases[i]);
        }
    }
    EXPECT_EQ(failures, 0) << "of " << cases.size() << " cases";
    std::printf("%s (GLSL %d) on %s: %zu cases, the largest difference %.3g of the tolerance\n",
                graphName, glslVersion, gl().renderer().c_str(), cases.size(), worst);
}

std::vector<Case> randomCases(unsigned int seed, bool ambientLights, int count = kCases) {
    RandomScene rng(seed);
    std::vector<Case> cases;
    for (int i = 0; i < count; ++i) {
        cases.push_back(randomCase(rng, i, ambientLights));
    }
    return cases;
}

// Light API v2: the fragment loops over Maya's lights itself and divides the
// glow by their count, as the node divides it by its light list's length.
TEST(ViewportAgreement, LightFunctionsGraphMatchesTheNode) {
    NodeUnderTest node;
    expectAgreement(lightApi2Graph, randomCases(2201, false),
                    [&](const Case& c) { return node.shade(c); });
}

// Light API v1 with one light: the accumulator's sum is that light's terms,
// and the node's divisor is 1.
TEST(ViewportAgreement, AccumulatorGraphMatchesTheNodeWithOneLight) {
    NodeUnderTest node;
    std::vector<Case> cases = randomCases(1601, false);
    for (Case& c : cases) {
        c.lights.resize(1);
    }
    expectAgreement(lightApi1Graph, cases, [&](const Case& c) { return node.shade(c); });
}

// Light API v1 with several lights and Maya's ambient light: the node's terms
// with the glow undivided, as the accumulator, which has no light count,
// sums it.
TEST(ViewportAgreement, AccumulatorGraphSumsTheNodesTermsWithTheGlowUndivided) {
    expectAgreement(lightApi1Graph, randomCases(1602, true), [](const Case& c) {
        return evaluateShading(c.material, {c.lights.data(), c.lights.size()}, 1);
    });
}

// The lowest GLSL version an effect may be compiled at runs the same.
TEST(ViewportAgreement, BothGraphsRunAtTheLowestGlslVersion) {
    NodeUnderTest node;
    const std::vector<Case> cases = randomCases(150, false, 2000);
    expectAgreement(
        lightApi2Graph, cases, [&](const Case& c) { return node.shade(c); },
        vp2host::glslVersions.front());
    std::vector<Case> single = cases;
    for (Case& c : single) {
        c.lights.resize(1);
    }
    expectAgreement(
        lightApi1Graph, single, [&](const Case& c) { return node.shade(c); },
        vp2host::glslVersions.front());
}

}  // namespace
}  // namespace lumaveil::test
