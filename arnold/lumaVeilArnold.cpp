// lumaVeil as an Arnold shader: the node "lumaVeil", of closure output, whose
// parameters are the Maya node's editable attributes, so that Maya's Arnold
// plug-in translates a lumaVeil node onto it attribute for attribute.
//
// Each call gives what the Maya node gives for the same point and lights:
// the model's evaluation, with the normal and the eye's view of the point in
// world space and every light sample as two of the node's light records, one
// for the diffuse and translucent terms and one for the highlight. The result
// is an emission closure of that colour, with a transparent closure where the
// material lets light through.
#include <ai.h>

#include <cstring>

#include "model/FloatVector.h"
#include "model/materialAttributes.h"
#include "model/nodeType.h"
#include "model/shading.h"
#include "model/shadingAccumulator.h"

AI_SHADER_NODE_EXPORT_METHODS(lumaVeilMethods);

namespace {

using lumaveil::FloatVector;
using lumaveil::MaterialAttribute;
using lumaveil::materialAttributes;

FloatVector floatVector(const AtRGB& c) {
    return {c.r, c.g, c.b};
}
FloatVector floatVector(const AtVector& v) {
    return {v.x, v.y, v.z};
}
AtRGB rgb(const FloatVector& c) {
    return AtRGB(c.x, c.y, c.z);
}

// One sample as two of the node's light records: the diffuse and translucent
// terms take the light's diffuse weight for their radiance and its subsurface
// weight for the pre-shadow intensity, the mean of the unshadowed colour; the
// highlight takes its specular weight. Each divides by the sample's pdf, which
// carries the light's sample count.
void addSample(lumaveil::ShadingAccumulator& shading, const AtLightSample& sample) {
    const AtNode* light = sample.Lp;
    const AtRGB perSample = sample.Li / sample.pdf;
    const float preShadow = (sample.Liu.r + sample.Liu.g + sample.Liu.b) / 3.0f / sample.pdf;
    shading.addDiffuseAndSpecular(
        floatVector(sample.Ld), floatVector(perSample * AiLightGetDiffuse(light)),
        preShadow * AiLightGetSSS(light), floatVector(perSample * AiLightGetSpecular(light)));
}

}  // namespace

node_parameters {
    for (const MaterialAttribute& attribute : materialAttributes) {
        const auto& d = attribute.defaultValue;
        if (attribute.isColour()) {
            AiParameterRGB(attribute.longName.data(), d[0], d[1], d[2]);
        } else {
            AiParameterFlt(attribute.longName.data(), d[0]);
        }
    }
    // Maya's Arnold plug-in translates the Maya node of this type to this
    // node, reading each parameter from the attribute of its name; the Maya
    // node has them all already.
    AiMetaDataSetStr(nentry, nullptr, "maya.name", lumaveil::nodeTypeName);
    AiMetaDataSetInt(nentry, nullptr, "maya.id", static_cast<int>(lumaveil::nodeTypeId));
    AiMetaDataSetBool(nentry, nullptr, "maya.attrs", false);
}

node_initialize {
    (void)node;
#if AI_VERSION_ARCH_NUM >= 7
    (void)render_session;
#endif
}

node_update {
    (void)node;
#if AI_VERSION_ARCH_NUM >= 7
    (void)render_session;
#endif
}

node_finish {
    (void)node;
}

shader_evaluate {
    // The parameters in the order node_parameters declared them: the rows'.
    lumaveil::ShadingInputs inputs;
    for (std::size_t i = 0; i < materialAttributes.size(); ++i) {
        const MaterialAttribute& attribute = materialAttributes[i];
        const int pid = static_cast<int>(i);
        if (attribute.isColour()) {
            inputs.*attribute.colourField = floatVector(AiShaderEvalParamRGB(pid));
        } else {
            inputs.*attribute.scalarField = AiShaderEvalParamFlt(pid);
        }
    }
    // The model needs only the point's direction from the eye.
    inputs.normalCamera = floatVector(sg->Nf);
    inputs.pointCamera = floatVector(sg->P - sg->Ro);

    // The translucent glow takes light from behind the surface too; the
    // divisor of the glow is the number of lights, as Maya's.
    lumaveil::ShadingAccumulator shading(inputs, static_cast<int>(sg->nlights));
    const bool upperHemisphereOnly = sg->fhemi;
    sg->fhemi = false;
    AiLightsPrepare(sg);
    AtLightSample sample;
    while (AiLightsGetSample(sg, sample)) {
        addSample(shading, sample);
    }
    sg->fhemi = upperHemisphereOnly;

    const lumaveil::ShadingOutputs result = shading.result();
    AtClosureList closures(AiClosureEmission(sg, rgb(result.outColor)));
    const FloatVector& t = result.outTransparency;
    if (t.x > 0.0f || t.y > 0.0f || t.z > 0.0f) {
        closures.add(AiClosureTransparent(sg, rgb(t)));
    }
    sg->out.CLOSURE() = closures;
}

node_loader {
    if (i != 0) {
        return false;
    }
    node->methods = lumaVeilMethods;
    node->output_type = AI_TYPE_CLOSURE;
    node->name = lumaveil::nodeTypeName;
    node->node_type = AI_NODE_SHADER;
    std::strncpy(node->version, AI_VERSION, sizeof node->version - 1);
    node->version[sizeof node->version - 1] = '\0';
    return true;
}
