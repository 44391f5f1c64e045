// Writes the results of the worked examples, and of a sweep of lights and
// materials around them, as the bits of each float: through the scattering
// model, through the Maya plug-in in the stand-in Maya (where it is built)
// and through the renderer shader in the stand-in renderer (where it is
// built: the MSVC-ABI builds have no stand-in renderer). Every build writes
// the same lines, so that the files of two builds can be compared.
//
//   lumaveil_worked_examples <output file> [<shader library>]
//
// Given a shader library, it writes that library's shader lines alone: a
// shader built by another toolchain (the MSVC-ABI builds), driven by this
// build's renderer through the renderer's C interface.
//
// Each line is `<name> <red> <green> <blue>`, each channel eight hex digits,
// followed by the decimal values after a '#'.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/materialAttributes.h"
#include "model/shading.h"
#include "workedExample.h"

#if defined(QV7K_SHADER_PATH)
#include "mrhost/renderer.h"
#include "shaderValues.h"
#endif

#if defined(LUMAVEIL_PLUGIN_PATH)
#include "mayaValues.h"
#endif

namespace {

using lumaveil::FloatVector;
using lumaveil::test::halfSqrt2;
using lumaveil::test::workedInputs;
using lumaveil::test::workedLight;

std::uint32_t bitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

class Results {
public:
    explicit Results(std::FILE* out) : out_(out) {}

    void write(const std::string& name, float r, float g, float b) {
        std::fprintf(out_, "%s %08x %08x %08x # %.9g %.9g %.9g\n", name.c_str(),
                     static_cast<unsigned>(bitsOf(r)), static_cast<unsigned>(bitsOf(g)),
                     static_cast<unsigned>(bitsOf(b)), static_cast<double>(r),
                     static_cast<double>(g), static_cast<double>(b));
    }
    void write(const std::string& name, FloatVector c) { write(name, c.x, c.y, c.z); }

private:
    std::FILE* out_;
};

// A material of the sweep: the worked example's, or one with colour and
// coefficients that differ per channel. Its values by the attributes' short
// names; the rest keep the worked example's.
struct Material {
    const char* name;
    std::vector<std::pair<std::string_view, FloatVector>> values;

    lumaveil::ShadingInputs inputs() const {
        lumaveil::ShadingInputs in = workedInputs();
        for (const auto& [attribute, value] : values) {
            setIn(in, *lumaveil::materialAttributeNamed(attribute), value);
        }
        return in;
    }
};

const Material kMaterials[] = {
    {"worked", {}},
    {"skin",
     {{"c", {0.8f, 0.45f, 0.3f}},
      {"ab", {0.032f, 0.17f, 0.48f}},
      {"st", {0.74f, 0.88f, 1.01f}},
      {"rfi", {1.3f}},
      {"eccen", {0.3f}}}},
    {"marble",
     {{"c", {0.83f, 0.79f, 0.75f}},
      {"ab", {0.0021f, 0.0041f, 0.0071f}},
      {"st", {2.19f, 2.62f, 3.0f}},
      {"rfi", {1.5f}},
      {"eccen", {0.05f}}}},
};

// Unit light directions around the normal +z, in front of the surface and
// behind it.
std::vector<FloatVector> sweepDirections() {
    std::vector<FloatVector> directions;
    for (int i = 0; i < 12; ++i) {
        const double theta = 3.14159265358979 * (0.04 + 0.08 * i);  // from the normal
        const double phi = 0.9 * i;
        directions.push_back({static_cast<float>(std::sin(theta) * std::cos(phi)),
                              static_cast<float>(std::sin(theta) * std::sin(phi)),
                              static_cast<float>(std::cos(theta))});
    }
    return directions;
}

// ---------------------------------------------------------------- model

void writeModel(Results& results) {
    const lumaveil::ShadingInputs in = workedInputs();
    auto shade = [&](std::vector<lumaveil::LightSample> lights) {
        return lumaveil::evaluateShading(in, lights, static_cast<int>(lights.size())).outColor;
    };
    results.write("model.normalIncidence", shade({workedLight({0, 0, 1}, true)}));
    results.write("model.normalIncidenceDiffuse", shade({workedLight({0, 0, 1}, false)}));
    results.write("model.fortyFiveDegrees",
                  shade({workedLight({0.0f, halfSqrt2, halfSqrt2}, true)}));
    results.write("model.behind", shade({workedLight({0, 0, -1}, false)}));
    lumaveil::LightSample dark = workedLight({0, 0, 1}, false);
    dark.lightDiffuse = false;
    results.write("model.oneOfTwoLightsDark", shade({workedLight({0, 0, 1}, false), dark}));

    const std::vector<FloatVector> directions = sweepDirections();
    for (const Material& m : kMaterials) {
        const lumaveil::ShadingInputs swept = m.inputs();
        for (std::size_t i = 0; i < directions.size(); ++i) {
            const lumaveil::LightSample light = workedLight(directions[i], true);
            results.write("model.sweep." + std::string(m.name) + "." + std::to_string(i),
                          lumaveil::evaluateShading(swept, {&light, 1}, 1).outColor);
        }
    }
}

// ---------------------------------------------------------------- Maya

#if defined(LUMAVEIL_PLUGIN_PATH)

mayahost::LightValues mayaLight(FloatVector direction, bool specular) {
    return lumaveil::test::mayaLight(workedLight(direction, specular));
}

bool writeMaya(Results& results) {
    mayahost::Host host;
    host.setCallLogEnabled(false);
    std::string error;
    if (!host.loadPlugin(LUMAVEIL_PLUGIN_PATH, &error)) {
        std::fprintf(stderr, "cannot load %s: %s\n", LUMAVEIL_PLUGIN_PATH, error.c_str());
        return false;
    }
    mayahost::Node node = host.createNode("lumaVeil");
    using namespace lumaveil::test;
    node.setSampleGeometry(mayaVector(workedPoint), mayaVector(workedNormal),
                           mayaVector(workedRay));
    auto shade = [&](std::vector<mayahost::LightValues> lights) {
        node.setLightCount(static_cast<int>(lights.size()));
        for (std::size_t i = 0; i < lights.size(); ++i) {
            node.setLight(static_cast<int>(i), lights[i]);
        }
        node.compute("outColor");
        const std::array<float, 3> c = node.getFloat3("outColor");
        return FloatVector{c[0], c[1], c[2]};
    };
    results.write("maya.normalIncidence", shade({mayaLight({0, 0, 1}, true)}));
    results.write("maya.normalIncidenceDiffuse", shade({mayaLight({0, 0, 1}, false)}));
    results.write("maya.fortyFiveDegrees", shade({mayaLight({0.0f, halfSqrt2, halfSqrt2}, true)}));
    results.write("maya.behind", shade({mayaLight({0, 0, -1}, false)}));
    mayahost::LightValues dark = mayaLight({0, 0, 1}, false);
    dark.diffuse = false;
    results.write("maya.oneOfTwoLightsDark", shade({mayaLight({0, 0, 1}, false), dark}));
    results.write("maya.twentyLights",
                  shade(std::vector<mayahost::LightValues>(20, mayaLight({0, 0, 1}, false))));

    const std::vector<FloatVector> directions = sweepDirections();
    for (const Material& m : kMaterials) {
        setMaterial(node, m.inputs());
        for (std::size_t i = 0; i < directions.size(); ++i) {
            results.write("maya.sweep." + std::string(m.name) + "." + std::to_string(i),
                          shade({mayaLight(directions[i], true)}));
        }
    }
    return true;
}

#endif

// ---------------------------------------------------------------- renderer

#if defined(QV7K_SHADER_PATH)

void writeShader(Results& results, const char* shaderLibrary) {
    using namespace lumaveil::mrhost;
    const Renderer renderer(shaderLibrary, QV7K_DECLARATION_PATH, MRHOST_MODULE_PATH);
    LightList scene;
    ParameterBlock params = renderer.makeParameters();
    const miColor white{1.0f, 1.0f, 1.0f, 1.0f};
    const SamplePoint sample{{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f}};
    auto shade = [&](std::vector<miTag> lights) {
        params.setLights(lights);
        const miColor c = renderer.shade(scene, params, sample);
        return FloatVector{c.r, c.g, c.b};
    };
    results.write("shader.normalIncidence", shade({scene.addDirectionalLight({0, 0, 1}, white)}));
    results.write("shader.fortyFiveDegrees",
                  shade({scene.addDirectionalLight({0.0f, halfSqrt2, halfSqrt2}, white)}));
    results.write("shader.behind", shade({scene.addDirectionalLight({0, 0, -1}, white)}));
    results.write("shader.twoLights", shade({scene.addDirectionalLight({0, 0, 1}, white),
                                             scene.addDirectionalLight({0, 0, -1}, white)}));
    results.write("shader.areaLight",
                  shade({scene.addAreaLight({-1.0f, -1.0f, 4.0f}, {2.0f, 0.0f, 0.0f},
                                            {0.0f, 2.0f, 0.0f}, white, 4)}));
    params.setColor("color", {0.5f, 0.25f, 0.05f, 1.0f});
    results.write("shader.colouredSurface", shade({scene.addDirectionalLight({0, 0, 1}, white)}));
    params.setColor("color", {0.5f, 0.5f, 0.5f, 1.0f});
    scene.setIrradiance({3.1415927f, 3.1415927f, 3.1415927f, 1.0f});
    params.setBoolean("useIrradiance", true);
    params.setColor("irradianceColor", white);
    results.write("shader.irradiance", shade({scene.addDirectionalLight({0, 0, 1}, white)}));
    params.setBoolean("useIrradiance", false);

    const std::vector<FloatVector> directions = sweepDirections();
    for (const Material& m : kMaterials) {
        lumaveil::test::setMaterial(params, m.inputs());
        for (std::size_t i = 0; i < directions.size(); ++i) {
            const FloatVector d = directions[i];
            results.write("shader.sweep." + std::string(m.name) + "." + std::to_string(i),
                          shade({scene.addDirectionalLight({d.x, d.y, d.z}, white)}));
        }
    }
}

#endif

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <output file> [<shader library>]\n", argv[0]);
        return 2;
    }
    // Binary, so that lines end in "\n" on every platform.
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    Results results(out);
    bool ok = true;
    try {
        if (argc == 3) {
#if defined(QV7K_SHADER_PATH)
            writeShader(results, argv[2]);
#else
            std::fprintf(stderr, "this build has no renderer to drive %s\n", argv[2]);
            ok = false;
#endif
        } else {
            writeModel(results);
#if defined(LUMAVEIL_PLUGIN_PATH)
            ok = writeMaya(results);
#endif
#if defined(QV7K_SHADER_PATH)
            writeShader(results, QV7K_SHADER_PATH);
#endif
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        ok = false;
    }
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        ok = false;
    }
    return ok ? 0 : 1;
}
