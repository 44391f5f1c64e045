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

LightSample readLight(MDataHandle& element) {
    LightSample light;
    light.lightDirection = toFloatVector(element.child(lumaVeil::aLightDirection).asFloatVector());
    light.lightIntensity = toFloatVector(element.child(lumaVeil::aLightIntensity).asFloatVector());
    light.lightAmbient = element.child(lumaVeil::aLightAmbient).asBool();
    light.lightDiffuse = element.child(lumaVeil::aLightDiffuse).asBool();
    light.lightSpecular = element.child(lumaVeil::aLightSpecular).asBool();
    light.preShadowIntensity = element.child(lumaVeil::aPreShadowIntensity).asFloat();
    return light;
}

void computeColour(MDataBlock& block) {
    ShadingInputs inputs;
    inputs.color = readVector(block, lumaVeil::aColor);
    inputs.transparency = readVector(block, lumaVeil::aTransparency);
    inputs.ambientColor = readVector(block, lumaVeil::aAmbientColor);
    inputs.incandescence = readVector(block, lumaVeil::aIncandescence);
    inputs.diffuse = readFloat(block, lumaVeil::aDiffuse);
    inputs.absorption = readVector(block, lumaVeil::aAbsorption);
    inputs.scattering = readVector(block, lumaVeil::aScattering);
    inputs.refractiveIndex = readFloat(block, lumaVeil::aRefractiveIndex);
    inputs.anisotropy = readFloat(block, lumaVeil::aAnisotropy);
    inputs.diffuseReflection = readFloat(block, lumaVeil::aDiffuseReflection);
    inputs.diffuseAnisotropy = readFloat(block, lumaVeil::aDiffuseAnisotropy);
    inputs.diffuseScatter = readFloat(block, lumaVeil::aDiffuseScatter);
    inputs.eccentricity = readFloat(block, lumaVeil::aEccentricity);
    inputs.specularRollOff = readFloat(block, lumaVeil::aSpecularRollOff);
    inputs.specularColor = readVector(block, lumaVeil::aSpecularColor);
    inputs.pointCamera = readVector(block, lumaVeil::aPointCamera);
    inputs.normalCamera = readVector(block, lumaVeil::aNormalCamera);

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
