// The node's compute: the glue between the data block and the scattering
// model.
#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFloatVector.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include <new>
#include <span>
#include <type_traits>
#include <vector>

#include "lumaVeilPlugInt.h"
#include "model/shading.h"

namespace {

static_assert(std::is_trivially_destructible_v<lumaveil::LightSample>);

using lumaveil::FloatVector;
using lumaveil::LightSample;
using lumaveil::ShadingInputs;

// Light lists up to this size live on the stack; longer ones allocate.
constexpr unsigned int kInlineLights = 16;

FloatVector toFloatVector(const MFloatVector& v) {
    return {v[0], v[1], v[2]};
}

FloatVector readVector(MDataBlock& block, const MObject& attribute) {
    return toFloatVector(block.inputValue(attribute).asFloatVector());
}

float readFloat(MDataBlock& block, const MObject& attribute) {
    return block.inputValue(attribute).asFloat();
}

// Braced initialisers run in order: the children are read in the order of
// the fields, and no field is first set to its default.
LightSample readLight(MDataHandle& element) {
    return LightSample{
        .lightDirection = toFloatVector(element.child(lumaVeil::aLightDirection).asFloatVector()),
        .lightIntensity = toFloatVector(element.child(lumaVeil::aLightIntensity).asFloatVector()),
        .lightAmbient = element.child(lumaVeil::aLightAmbient).asBool(),
        .lightDiffuse = element.child(lumaVeil::aLightDiffuse).asBool(),
        .lightSpecular = element.child(lumaVeil::aLightSpecular).asBool(),
        .preShadowIntensity = element.child(lumaVeil::aPreShadowIntensity).asFloat(),
    };
}

void computeColour(MDataBlock& block) {
    // In the order of the fields, which is the order of the reads.
    const ShadingInputs inputs{
        .color = readVector(block, lumaVeil::aColor),
        .transparency = readVector(block, lumaVeil::aTransparency),
        .ambientColor = readVector(block, lumaVeil::aAmbientColor),
        .incandescence = readVector(block, lumaVeil::aIncandescence),
        .diffuse = readFloat(block, lumaVeil::aDiffuse),
        .absorption = readVector(block, lumaVeil::aAbsorption),
        .scattering = readVector(block, lumaVeil::aScattering),
        .refractiveIndex = readFloat(block, lumaVeil::aRefractiveIndex),
        .anisotropy = readFloat(block, lumaVeil::aAnisotropy),
        .diffuseReflection = readFloat(block, lumaVeil::aDiffuseReflection),
        .diffuseAnisotropy = readFloat(block, lumaVeil::aDiffuseAnisotropy),
        .diffuseScatter = readFloat(block, lumaVeil::aDiffuseScatter),
        .eccentricity = readFloat(block, lumaVeil::aEccentricity),
        .specularRollOff = readFloat(block, lumaVeil::aSpecularRollOff),
        .specularColor = readVector(block, lumaVeil::aSpecularColor),
        .pointCamera = readVector(block, lumaVeil::aPointCamera),
        .normalCamera = readVector(block, lumaVeil::aNormalCamera),
    };

    MArrayDataHandle lightArray = block.inputArrayValue(lumaVeil::aLightData);
    const unsigned int count = lightArray.elementCount();

    // Raw storage: only the records actually read are constructed, straight
    // from the data block. LightSample is trivially destructible, so nothing
    // has to be torn down.
    alignas(LightSample) unsigned char inlineStorage[kInlineLights * sizeof(LightSample)];
    std::vector<LightSample> manyLights;
    LightSample* lights = reinterpret_cast<LightSample*>(inlineStorage);
    if (count > kInlineLights) {
        manyLights.reserve(count);
        lights = nullptr;
    }
    // A failing advance ends the list early; the divisor stays the element
    // count.
    unsigned int visited = 0;
    while (visited < count) {
        MDataHandle element = lightArray.inputValue();
        if (lights != nullptr) {
            ::new (static_cast<void*>(lights + visited)) LightSample(readLight(element));
        } else {
            manyLights.push_back(readLight(element));
        }
        ++visited;
        if (!lightArray.next()) {
            break;
        }
    }
    if (lights == nullptr) {
        lights = manyLights.data();
    }

    const lumaveil::ShadingOutputs result = lumaveil::evaluateShading(
        inputs, std::span<const LightSample>(lights, visited), static_cast<int>(count));

    MDataHandle out = block.outputValue(lumaVeil::aOutColor);
    out.asFloatVector() = MFloatVector(result.outColor.x, result.outColor.y, result.outColor.z);
    out.setClean();
}

void computeTransparency(MDataBlock& block) {
    const MFloatVector transparency = block.inputValue(lumaVeil::aTransparency).asFloatVector();
    MDataHandle out = block.outputValue(lumaVeil::aOutTransparency);
    out.asFloatVector() = transparency;
    out.setClean();
}

}  // namespace

MStatus lumaVeil::compute(const MPlug& plug, MDataBlock& block) {
    if (plug == aOutColor || plug == aOutColorR || plug == aOutColorG || plug == aOutColorB) {
        computeColour(block);
        return MStatus(MS::kSuccess);
    }
    if (plug == aOutTransparency || plug == aOutTransparencyR || plug == aOutTransparencyG ||
        plug == aOutTransparencyB) {
        computeTransparency(block);
        return MStatus(MS::kSuccess);
    }
    return MStatus(MS::kUnknownParameter);
}
