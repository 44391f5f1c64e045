// The Maya node through the stand-in host, with arbitrary attribute values
// and light-data elements. compute must succeed for the outputs, refuse every
// other plug, give a finite colour not below 0, and give the transparency as
// the model holds it.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "FuzzInput.h"
#include "mayahost/host.h"
#include "model/materialAttributes.h"
#include "model/physicalRange.h"

namespace {

using lumaveil::fuzz::FuzzInput;

struct Fixture {
    Fixture() {
        host.setCallLogEnabled(false);
        std::string error;
        if (!host.loadPlugin(LUMAVEIL_PLUGIN_PATH, &error)) {
            std::abort();
        }
        type = *host.nodeType("lumaVeil");
    }
    mayahost::Host host;
    mayahost::NodeTypeInfo type;
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

// The input that outTransparency copies.
const lumaveil::MaterialAttribute& copiedToOutTransparency() {
    return *std::find_if(
        lumaveil::materialAttributes.begin(), lumaveil::materialAttributes.end(),
        [](const lumaveil::MaterialAttribute& a) { return a.affectsOutTransparency; });
}

std::array<float, 3> tripleOf(FuzzInput& in) {
    const float x = in.mixedFloat();
    const float y = in.mixedFloat();
    const float z = in.mixedFloat();
    return {x, y, z};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    Fixture& f = fixture();
    mayahost::Node node = f.host.createNode("lumaVeil");

    // Any attribute may take any value of its shape; most keep their default.
    for (const mayahost::AttributeInfo& info : f.type.attributes) {
        if (in.byte() < 160) {
            continue;
        }
        const mayahost::AttributeRef ref = node.attribute(info.longName);
        if (info.kind == mayahost::AttributeKind::NumericCompound) {
            node.setFloat3(ref, tripleOf(in));
        } else if (info.numericType == MFnNumericData::kBoolean) {
            node.setBool(ref, in.flag());
        } else {
            node.setFloat(ref, in.mixedFloat());
        }
    }
    node.setSampleGeometry(tripleOf(in), tripleOf(in), tripleOf(in));

    const int lights = static_cast<int>(in.below(24));
    node.setLightCount(lights);
    for (int i = 0; i < lights; ++i) {
        mayahost::LightValues light;
        light.direction = tripleOf(in);
        light.intensity = tripleOf(in);
        std::tie(light.ambient, light.diffuse, light.specular) = in.lightSwitches();
        light.shadowFraction = in.mixedFloat();
        light.preShadowIntensity = in.mixedFloat();
        // Opaque to the node: never followed.
        light.blindData = reinterpret_cast<void*>(static_cast<std::uintptr_t>(in.word()));
        node.setLight(i, light);
    }

    static const char* const outputs[] = {"outColor",         "outColorR",       "outColorG",
                                          "outColorB",        "outTransparency", "outTransparencyR",
                                          "outTransparencyG", "outTransparencyB"};
    const char* const output = outputs[in.below(8)];
    if (node.compute(output) != MS::kSuccess) {
        std::abort();
    }
    if (node.compute("outTransparency") != MS::kSuccess) {
        std::abort();
    }
    const std::array<float, 3> in3 = node.getFloat3(copiedToOutTransparency().longName);
    const std::array<float, 3> out3 = node.getFloat3("outTransparency");
    const lumaveil::FloatVector held =
        lumaveil::heldAttributeValue(copiedToOutTransparency(), {in3[0], in3[1], in3[2]});
    if (std::memcmp(&held, out3.data(), sizeof out3) != 0) {
        std::abort();
    }
    if (node.compute("outColor") != MS::kSuccess) {
        std::abort();
    }
    for (const float channel : node.getFloat3("outColor")) {
        if (!(channel >= 0.0f && channel <= std::numeric_limits<float>::max())) {
            std::abort();
        }
    }

    // Any other plug is refused.
    if (!f.type.attributes.empty()) {
        const auto& other =
            f.type.attributes[in.below(static_cast<unsigned int>(f.type.attributes.size()))];
        const std::string& name = other.longName;
        const bool isOutput =
            name.rfind("outColor", 0) == 0 || name.rfind("outTransparency", 0) == 0;
        const MStatus status = node.compute(name);
        if (!isOutput && status != MS::kUnknownParameter) {
            std::abort();
        }
    }

    f.host.destroyNode(node);
    return 0;
}
