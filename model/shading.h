// One shading sample of the scattering model: its inputs, its lights and the
// colour that leaves the surface towards the eye.
#pragma once

#include "model/ArrayView.h"
#include "model/FloatVector.h"

namespace lumaveil {

// The material and sample geometry. Fields bear the node's attribute names
// and default to the node's attribute defaults.
struct ShadingInputs {
    FloatVector color{0.5f, 0.5f, 0.5f};
    FloatVector transparency{0.0f, 0.0f, 0.0f};
    FloatVector ambientColor{0.0f, 0.0f, 0.0f};
    FloatVector incandescence{0.0f, 0.0f, 0.0f};
    float diffuse = 0.8f;
    FloatVector absorption{0.5f, 0.5f, 0.5f};
    FloatVector scattering{0.5f, 0.5f, 0.5f};
    float refractiveIndex = 1.333f;
    float anisotropy = 0.2f;
    float diffuseReflection = 2.0f;
    float diffuseAnisotropy = 0.2f;
    float diffuseScatter = 2.0f;
    float eccentricity = 0.1f;
    float specularRollOff = 0.7f;
    FloatVector specularColor{0.5f, 0.5f, 0.5f};
    FloatVector pointCamera{1.0f, 1.0f, 1.0f};
    FloatVector normalCamera{1.0f, 1.0f, 1.0f};
};

// One light as seen from the sample, defaulting to the node's light-data
// defaults.
struct LightSample {
    FloatVector lightDirection{1.0f, 1.0f, 1.0f};
    FloatVector lightIntensity{1.0f, 1.0f, 1.0f};
    bool lightAmbient = true;
    bool lightDiffuse = true;
    bool lightSpecular = false;
    float preShadowIntensity = 1.0f;
};

struct ShadingOutputs {
    FloatVector outColor;
    FloatVector outTransparency;
};

// The colour leaving the sample towards the eye. Every light's subsurface
// contribution is divided by subsurfaceDivisor: the number of entries of the
// host's light list, whatever their flags, which may exceed lights.size().
ShadingOutputs evaluateShading(const ShadingInputs& inputs, ArrayView<LightSample> lights,
                               int subsurfaceDivisor);

}  // namespace lumaveil
