// The node's compute: the glue between the data block and the scattering
// model.
#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFloatVector.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include <cstddef>
#include <new>
#include <vector>

#include "FixedCapacityVector.h"
#include "lumaVeilMaterialHandles.h"
#include "lumaVeilPlugInt.h"
#include "model/materialAttributes.h"
#include "model/physicalRange.h"
#include "model/shading.h"

namespace {

using lumaveil::FloatVector;
using lumaveil::LightSample;
using lumaveil::ShadingInputs;
using lumaveil::ShadingOutputs;

// Light lists up to this size live on the stack; longer ones allocate.
constexpr std::size_t kInlineLights = 16;

FloatVector toFloatVector(const MFloatVector& v) {
    return {v[0], v[1], v[2]};
}

FloatVector readVector(MDataBlock& block, const MObject& attribute) {
    return toFloatVector(block.inputValue(attribute).asFloatVector());
}

float readFloat(MDataBlock& block, const MObject& attribute) {
    return block.inputValue(attribute).asFloat();
}

// Braced initialisers run in order: field by field in the order of
// LightSample, each child is read into the field of its name, and no field is
// first set to its default.
LightSample readLight(MDataHandle& element) {
    return LightSample{
        toFloatVector(element.child(lumaVeil::aLightDirection).asFloatVector()),
        toFloatVector(element.child(lumaVeil::aLightIntensity).asFloatVector()),
        element.child(lumaVeil::aLightAmbient).asBool(),
        element.child(lumaVeil::aLightDiffuse).asBool(),
        element.child(lumaVeil::aLightSpecular).asBool(),
        element.child(lumaVeil::aPreShadowIntensity).asFloat(),
    };
}

// Appends the light list's elements, in order, up to `count` of them. A
// failing advance ends the list early. `lights` has room for `count`.
template <class Lights>
void readLights(MArrayDataHandle& lightArray, unsigned int count, Lights& lights) {
    for (unsigned int visited = 0; visited < count; ++visited) {
        MDataHandle element = lightArray.inputValue();
        lights.push_back(readLight(element));
        if (!lightArray.next()) {
            break;
        }
    }
}

// Writes outColor. False, with nothing written, when there is no memory for
// a long light list: std::bad_alloc must not cross into the host.
bool computeColour(MDataBlock& block) {
    // Each editable attribute into the field its row names, in the table's
    // order, then the sample geometry.
    ShadingInputs inputs;
    for (std::size_t i = 0; i < lumaveil::materialAttributes.size(); ++i) {
        const lumaveil::MaterialAttribute& attribute = lumaveil::materialAttributes[i];
        const MObject& handle = *materialHandles[i].attribute;
        if (attribute.isColour()) {
            inputs.*attribute.colourField = readVector(block, handle);
        } else {
            inputs.*attribute.scalarField = readFloat(block, handle);
        }
    }
    inputs.pointCamera = readVector(block, lumaVeil::aPointCamera);
    inputs.normalCamera = readVector(block, lumaVeil::aNormalCamera);

    MArrayDataHandle lightArray = block.inputArrayValue(lumaVeil::aLightData);
    const unsigned int count = lightArray.elementCount();
    // Every light's subsurface part is divided by the element count, also
    // when a failing advance ends the list early.
    const int divisor = static_cast<int>(count);

    ShadingOutputs result;
    if (count <= kInlineLights) {
        FixedCapacityVector<LightSample, kInlineLights> lights;
        readLights(lightArray, count, lights);
        result = lumaveil::evaluateShading(inputs, lights.elements(), divisor);
    } else {
        std::vector<LightSample> lights;
        try {
            lights.reserve(count);
        } catch (const std::bad_alloc&) {
            return false;
        }
        readLights(lightArray, count, lights);  // within the reserved room
        result = lumaveil::evaluateShading(inputs, lights, divisor);
    }

    MDataHandle out = block.outputValue(lumaVeil::aOutColor);
    out.asFloatVector() = MFloatVector(result.outColor.x, result.outColor.y, result.outColor.z);
    out.setClean();
    return true;
}

// outTransparency is the transparency the colour was shaded with: a
// connected value outside [0, 1], or one that is not finite, held as the
// model holds it.
void computeTransparency(MDataBlock& block) {
    const std::size_t row = lumaveil::detail::outTransparencyRow();
    const FloatVector transparency = lumaveil::heldAttributeValue(
        lumaveil::materialAttributes[row], readVector(block, *materialHandles[row].attribute));
    MDataHandle out = block.outputValue(lumaVeil::aOutTransparency);
    out.asFloatVector() = MFloatVector(transparency.x, transparency.y, transparency.z);
    out.setClean();
}

}  // namespace

MStatus lumaVeil::compute(const MPlug& plug, MDataBlock& block) {
    if (plug == aOutColor || plug == aOutColorR || plug == aOutColorG || plug == aOutColorB) {
        return MStatus(computeColour(block) ? MS::kSuccess : MS::kInsufficientMemory);
    }
    if (plug == aOutTransparency || plug == aOutTransparencyR || plug == aOutTransparencyG ||
        plug == aOutTransparencyB) {
        computeTransparency(block);
        return MStatus(MS::kSuccess);
    }
    return MStatus(MS::kUnknownParameter);
}
