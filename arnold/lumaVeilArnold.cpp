// lumaVeil as an Arnold shader: the node "lumaVeil", of closure output, whose
// parameters are the Maya node's editable attributes, so that Maya's Arnold
// plug-in translates a lumaVeil node onto it attribute for attribute; then
// `normal`, which takes the bump or normal map that drives the Maya node's
// normalCamera, and the names of the five AOVs, one per term of the model.
//
// Each call gives what the Maya node gives for the same point and lights:
// the model's evaluation, with the normal and the eye's view of the point in
// world space and every light sample as two of the node's light records, one
// for the diffuse and translucent terms and one for the highlight. The result
// is an emission closure of that colour, with a transparent closure where the
// material lets light through. A shadow ray only asks how much light passes:
// it gets the transparent closure alone.
#include <ai.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>

#include "model/FloatVector.h"
#include "model/materialAttributes.h"
#include "model/nodeType.h"
#include "model/physicalRange.h"
#include "model/shading.h"
#include "model/shadingAccumulator.h"

AI_SHADER_NODE_EXPORT_METHODS(lumaVeilMethods);

namespace {

using lumaveil::FloatVector;
using lumaveil::MaterialAttribute;
using lumaveil::materialAttributes;
using lumaveil::ShadingTerms;

FloatVector floatVector(const AtRGB& c) {
    return {c.r, c.g, c.b};
}
FloatVector floatVector(const AtVector& v) {
    return {v.x, v.y, v.z};
}
AtRGB rgb(const FloatVector& c) {
    return AtRGB(c.x, c.y, c.z);
}

constexpr std::size_t rowCount = materialAttributes.size();

constexpr std::size_t rowNamed(std::string_view name) {
    std::size_t i = 0;
    while (i < rowCount && materialAttributes[i].longName != name) {
        ++i;
    }
    return i;
}
constexpr std::size_t transparencyRow = rowNamed("transparency");
static_assert(transparencyRow < rowCount);
// Its row as a constant of its own, for the compiler to fold the holding of
// a shadow ray's transparency.
constexpr MaterialAttribute transparencyAttribute = materialAttributes[transparencyRow];

// The AOVs, one per term of the model, in the order of their parameters.
struct AOVParameter {
    const char* parameter;
    const char* defaultName;
    FloatVector ShadingTerms::*term;
    const char* help;
};
constexpr std::array<AOVParameter, 5> aovParameters{{
    {"aov_diffuse", "lumaVeil_diffuse", &ShadingTerms::diffuse,
     "Name of the AOV that receives the matte (Lambert) light from the lights, dimmed by the "
     "opacity."},
    {"aov_translucency", "lumaVeil_translucency", &ShadingTerms::translucency,
     "Name of the AOV that receives the translucent glow from beneath the surface, dimmed by "
     "the opacity."},
    {"aov_specular", "lumaVeil_specular", &ShadingTerms::specular,
     "Name of the AOV that receives the highlight."},
    {"aov_ambient", "lumaVeil_ambient", &ShadingTerms::ambient,
     "Name of the AOV that receives the ambient light (ambientColor), dimmed by the opacity."},
    {"aov_incandescence", "lumaVeil_incandescence", &ShadingTerms::incandescence,
     "Name of the AOV that receives the incandescence, dimmed by the opacity."},
}};

// The parameters' indices: the rows', then these.
constexpr int normalParameter = static_cast<int>(rowCount);
constexpr int firstAOVParameter = normalParameter + 1;

// The Attribute Editor's sections, each from its first row to the next
// one's: every host that reads ui.groups shows the same groups.
struct Group {
    std::string_view title;
    std::string_view firstRow;
};
constexpr std::array<Group, 3> groups{{{"Color and Transparency", "color"},
                                       {"Subsurface Scattering", "absorption"},
                                       {"Specular Shading", "eccentricity"}}};
static_assert(rowNamed(groups[0].firstRow) == 0);

// What node_update reads once for the render: the value of every parameter
// no other node drives, and which ones are driven, to evaluate per call.
struct NodeData {
    lumaveil::ShadingInputs inputs;
    std::array<std::uint8_t, rowCount> linkedRows{};
    std::size_t linkedRowCount = 0;
    bool transparencyLinked = false;
    bool normalLinked = false;
    std::array<AtString, aovParameters.size()> aovNames{};
    std::array<bool, aovParameters.size()> aovLinked{};
};

// The row's parameter for this call, through its link.
void evaluateRow(AtShaderGlobals* sg, const AtNode* node, std::size_t row,
                 lumaveil::ShadingInputs& inputs) {
    const MaterialAttribute& attribute = materialAttributes[row];
    const int pid = static_cast<int>(row);
    if (attribute.isColour()) {
        inputs.*attribute.colourField = floatVector(AiShaderEvalParamRGB(pid));
    } else {
        inputs.*attribute.scalarField = AiShaderEvalParamFlt(pid);
    }
}

// The unit vector along v, or false where v has no direction (zero or not
// finite): Arnold's own normalization, of v scaled by its largest component
// where v is too short or too long for it.
bool normalized(const AtVector& v, AtVector& unit) {
    if (!AiV3IsFinite(v)) {
        return false;
    }
    unit = AiV3Normalize(v);
    const float lengthSquared = AiV3Dot(unit, unit);
    if (lengthSquared > 0.5f && lengthSquared < 2.0f) {
        return true;
    }
    const float x = v.x < 0.0f ? -v.x : v.x;
    const float y = v.y < 0.0f ? -v.y : v.y;
    const float z = v.z < 0.0f ? -v.z : v.z;
    const float largest = x > y ? (x > z ? x : z) : (y > z ? y : z);
    if (largest == 0.0f) {
        return false;
    }
    unit = AiV3Normalize(v * (1.0f / largest));
    return true;
}

// The model's normal: the linked bump's, facing the viewer, else Nf.
FloatVector shadingNormal(AtShaderGlobals* sg, const AtNode* node, const NodeData& data) {
    if (data.normalLinked) {
        AtVector bumped;
        if (normalized(AiShaderEvalParamVec(normalParameter), bumped)) {
            // Facing the viewer: its dot with -Rd not below 0.
            if (AiV3Dot(bumped, sg->Rd) > 0.0f) {
                bumped = bumped * -1.0f;
            }
            return floatVector(bumped);
        }
    }
    return floatVector(sg->Nf);
}

// A sample a broken light can give carries no light the model can use: a
// pdf of 0, negative or not finite is skipped here; a radiance that is not
// finite makes the sample's intensities not finite, and the model skips such
// a light itself.
bool usable(const AtLightSample& sample) {
    return sample.pdf > 0.0f && sample.pdf <= std::numeric_limits<float>::max();
}

// A light's weights, asked once per light: its samples come one after
// another.
struct LightWeights {
    const AtNode* light = nullptr;
    float diffuse = 0.0f, specular = 0.0f, sss = 0.0f;

    void of(const AtNode* l) {
        if (l != light) {
            light = l;
            diffuse = AiLightGetDiffuse(l);
            specular = AiLightGetSpecular(l);
            sss = AiLightGetSSS(l);
        }
    }
};

// One sample as two of the node's light records: the diffuse and translucent
// terms take the light's diffuse weight for their radiance and its subsurface
// weight for the pre-shadow intensity, the mean of the unshadowed colour; the
// highlight takes its specular weight. Each divides by the sample's pdf, which
// carries the light's sample count.
void addSample(lumaveil::ShadingAccumulator& shading, const AtLightSample& sample,
               const LightWeights& weights) {
    const AtRGB perSample = sample.Li / sample.pdf;
    const float preShadow = (sample.Liu.r + sample.Liu.g + sample.Liu.b) / 3.0f / sample.pdf;
    shading.addDiffuseAndSpecular(floatVector(sample.Ld), floatVector(perSample * weights.diffuse),
                                  preShadow * weights.sss,
                                  floatVector(perSample * weights.specular));
}

// An AOV's channel: a term that is no number gives no light, an infinite one
// the largest; finite ones, negative too, as the colour sums them.
float aovChannel(float x) {
    if (x - x == 0.0f) {
        return x;
    }
    return x > 0.0f ? std::numeric_limits<float>::max() : 0.0f;
}

// Each enabled AOV once, with its term of the colour; the terms are formed
// only when one is enabled.
void writeAOVs(AtShaderGlobals* sg, const AtNode* node, const NodeData& data,
               const lumaveil::ShadingAccumulator& shading) {
    std::array<AtString, aovParameters.size()> names = data.aovNames;
    unsigned enabled = 0;
    for (std::size_t i = 0; i < aovParameters.size(); ++i) {
        if (data.aovLinked[i]) {
            names[i] = AiShaderEvalParamStr(firstAOVParameter + static_cast<int>(i));
        }
        const char* text = names[i].c_str();
        if (text && *text && AiAOVEnabled(names[i], AI_TYPE_RGB)) {
            enabled |= 1u << i;
        }
    }
    if (enabled == 0) {
        return;
    }
    const ShadingTerms terms = shading.terms();
    for (std::size_t i = 0; i < aovParameters.size(); ++i) {
        if (enabled & (1u << i)) {
            const FloatVector t = terms.*aovParameters[i].term;
            AiAOVSetRGB(sg, names[i], AtRGB(aovChannel(t.x), aovChannel(t.y), aovChannel(t.z)));
        }
    }
}

// A shadow ray through the surface: the light it lets through, tinted by the
// transparency as the model holds it, and nothing where it lets none through.
void shadeShadowRay(AtShaderGlobals* sg, const AtNode* node, const NodeData& data) {
    const FloatVector t = lumaveil::heldAttributeValue(
        transparencyAttribute,
        data.transparencyLinked
            ? floatVector(AiShaderEvalParamRGB(static_cast<int>(transparencyRow)))
            : data.inputs.transparency);
    if (t.x > 0.0f || t.y > 0.0f || t.z > 0.0f) {
        sg->out.CLOSURE() = AtClosureList(AiClosureTransparent(sg, rgb(t)));
    } else {
        sg->out.CLOSURE() = AtClosureList();
    }
}

// "Title:row row,Title:row row": every row once, in its section. Written at
// compile time, into a buffer of the length the first pass counts.
template <class Put>
constexpr std::size_t writeUIGroups(Put put) {
    std::size_t n = 0;
    const auto text = [&](std::string_view s) {
        for (char c : s) {
            put(n++, c);
        }
    };
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::size_t first = rowNamed(groups[g].firstRow);
        const std::size_t end = g + 1 < groups.size() ? rowNamed(groups[g + 1].firstRow) : rowCount;
        text(g == 0 ? "" : ",");
        text(groups[g].title);
        text(":");
        for (std::size_t row = first; row < end; ++row) {
            text(row == first ? "" : " ");
            text(materialAttributes[row].longName);
        }
    }
    return n;
}
constexpr std::size_t uiGroupsLength = writeUIGroups([](std::size_t, char) {});
constexpr std::array<char, uiGroupsLength + 1> uiGroupsText() {
    std::array<char, uiGroupsLength + 1> buffer{};
    writeUIGroups([&buffer](std::size_t i, char c) { buffer[i] = c; });
    return buffer;
}
constexpr std::array<char, uiGroupsLength + 1> uiGroups = uiGroupsText();

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
    AiParameterVec("normal", 0.0f, 0.0f, 0.0f);
    for (const AOVParameter& aov : aovParameters) {
        AiParameterStr(aov.parameter, aov.defaultName);
    }

    // Maya's Arnold plug-in translates the Maya node of this type to this
    // node, reading each parameter from the attribute of its name; the Maya
    // node has them all already.
    AiMetaDataSetStr(nentry, nullptr, "maya.name", lumaveil::nodeTypeName);
    AiMetaDataSetInt(nentry, nullptr, "maya.id", static_cast<int>(lumaveil::nodeTypeId));
    AiMetaDataSetBool(nentry, nullptr, "maya.attrs", false);
    AiMetaDataSetStr(nentry, nullptr, "help",
                     "lumaVeil: a translucent, scattering surface (skin, wax, marble) lit by the "
                     "scene's lights, with matte light, a glow from beneath the surface and a "
                     "highlight; the Maya lumaVeil node in Arnold.");
    AiMetaDataSetBool(nentry, nullptr, "gpu_support", false);
    AiMetaDataSetStr(nentry, nullptr, "category", "Shading");
    AiMetaDataSetStr(nentry, nullptr, "ui.groups", uiGroups.data());

    // The sliders and help every Arnold host shows, from the rows.
    for (const MaterialAttribute& attribute : materialAttributes) {
        const char* name = attribute.longName.data();
        AiMetaDataSetStr(nentry, name, "help", attribute.effect.data());
        if (attribute.softMin) {
            AiMetaDataSetFlt(nentry, name, "softmin", static_cast<float>(*attribute.softMin));
        }
        if (attribute.softMax) {
            AiMetaDataSetFlt(nentry, name, "softmax", static_cast<float>(*attribute.softMax));
        }
        if (attribute.hardMin) {
            AiMetaDataSetFlt(nentry, name, "min", static_cast<float>(*attribute.hardMin));
        }
    }
    // The Maya node takes its bump through normalCamera, which Maya's Arnold
    // plug-in links here: no attribute of its own.
    AiMetaDataSetStr(nentry, "normal", "help",
                     "The bump or normal map: Maya's Arnold plug-in links here whatever drives "
                     "the node's normalCamera (a bump2d, a normal map). Unlinked, the surface's "
                     "own normal.");
    AiMetaDataSetBool(nentry, "normal", "maya.hide", true);
    for (const AOVParameter& aov : aovParameters) {
        AiMetaDataSetStr(nentry, aov.parameter, "help", aov.help);
        AiMetaDataSetInt(nentry, aov.parameter, "aov.type", AI_TYPE_RGB);
    }
}

node_initialize {
#if AI_VERSION_ARCH_NUM >= 7
    (void)render_session;
#endif
    // malloc's null where memory runs out, not an exception into Arnold.
    void* memory = std::malloc(sizeof(NodeData));
    AiNodeSetLocalData(node, memory ? ::new (memory) NodeData() : nullptr);
}

node_update {
#if AI_VERSION_ARCH_NUM >= 7
    (void)render_session;
#endif
    auto* data = static_cast<NodeData*>(AiNodeGetLocalData(node));
    if (!data) {
        return;
    }
    data->linkedRowCount = 0;
    for (std::size_t row = 0; row < rowCount; ++row) {
        const MaterialAttribute& attribute = materialAttributes[row];
        if (AiNodeIsLinked(node, attribute.longName.data())) {
            data->linkedRows[data->linkedRowCount++] = static_cast<std::uint8_t>(row);
            continue;
        }
        const AtString name(attribute.longName.data());
        if (attribute.isColour()) {
            data->inputs.*attribute.colourField = floatVector(AiNodeGetRGB(node, name));
        } else {
            data->inputs.*attribute.scalarField = AiNodeGetFlt(node, name);
        }
    }
    data->transparencyLinked = AiNodeIsLinked(node, "transparency");
    data->normalLinked = AiNodeIsLinked(node, "normal");
    for (std::size_t i = 0; i < aovParameters.size(); ++i) {
        data->aovLinked[i] = AiNodeIsLinked(node, aovParameters[i].parameter);
        data->aovNames[i] = data->aovLinked[i]
                                ? AtString()
                                : AiNodeGetStr(node, AtString(aovParameters[i].parameter));
    }
}

node_finish {
    if (auto* data = static_cast<NodeData*>(AiNodeGetLocalData(node))) {
        data->~NodeData();
        std::free(data);
    }
    AiNodeSetLocalData(node, nullptr);
}

shader_evaluate {
    const auto* data = static_cast<const NodeData*>(AiNodeGetLocalData(node));
    if (!data) {
        sg->out.CLOSURE() = AtClosureList();
        return;
    }
    if (sg->Rt & AI_RAY_SHADOW) {
        shadeShadowRay(sg, node, *data);
        return;
    }

    lumaveil::ShadingInputs inputs = data->inputs;
    for (std::size_t k = 0; k < data->linkedRowCount; ++k) {
        evaluateRow(sg, node, data->linkedRows[k], inputs);
    }
    // The model needs only the point's direction from the eye.
    inputs.normalCamera = shadingNormal(sg, node, *data);
    inputs.pointCamera = floatVector(sg->P - sg->Ro);

    // The translucent glow takes light from behind the surface too. Its
    // divisor is the number of lights, as Maya's, which Arnold counts when
    // it prepares them.
    const bool upperHemisphereOnly = sg->fhemi;
    sg->fhemi = false;
    AiLightsPrepare(sg);
    const int lightCount = sg->nlights > INT_MAX ? INT_MAX : static_cast<int>(sg->nlights);
    lumaveil::ShadingAccumulator shading(inputs, lightCount);
    LightWeights weights;
    AtLightSample sample;
    while (AiLightsGetSample(sg, sample)) {
        if (usable(sample)) {
            weights.of(sample.Lp);
            addSample(shading, sample, weights);
        }
    }
    sg->fhemi = upperHemisphereOnly;

    const lumaveil::ShadingOutputs result = shading.result();
    AtClosureList closures(AiClosureEmission(sg, rgb(result.outColor)));
    const FloatVector& t = result.outTransparency;
    if (t.x > 0.0f || t.y > 0.0f || t.z > 0.0f) {
        closures.add(AiClosureTransparent(sg, rgb(t)));
    }
    sg->out.CLOSURE() = closures;

    if (sg->Rt & AI_RAY_CAMERA) {
        writeAOVs(sg, node, *data, shading);
    }
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
