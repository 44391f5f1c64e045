// The stand-in Viewport 2.0: creates a node's surface shading override and
// checks what it says against the fragments it knows and the node's
// attributes.
#include "mayahost/viewport.h"

#include <maya/MAttributeParameterMapping.h>
#include <maya/MDrawRegistry.h>
#include <maya/MPxSurfaceShadingNodeOverride.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "drawRegistryHost.h"
#include "mayahost/nodeTypeInfo.h"
#include "vp2host/shadeFragment.h"

namespace mayahost {

namespace {

// A parameter of one of Maya's surface fragments: a single value or a
// colour.
struct FragmentParameter {
    std::string name;
    int components;
};

struct SurfaceFragment {
    std::string name;
    std::vector<FragmentParameter> parameters;
};

// Maya's own surface fragments, with the parameters named after the
// attributes of Maya's Lambert, Phong and Blinn materials.
const std::vector<SurfaceFragment>& surfaceFragments() {
    static const std::vector<FragmentParameter> lambert = {
        {"color", 3},   {"transparency", 3}, {"ambientColor", 3},      {"incandescence", 3},
        {"diffuse", 1}, {"translucence", 1}, {"translucenceDepth", 1}, {"translucenceFocus", 1},
    };
    auto withLambert = [](std::vector<FragmentParameter> own) {
        own.insert(own.begin(), lambert.begin(), lambert.end());
        return own;
    };
    static const std::vector<SurfaceFragment> fragments = {
        {"mayaLambertSurface", lambert},
        {"mayaPhongSurface", withLambert({{"cosinePower", 1},
                                          {"specularColor", 3},
                                          {"reflectivity", 1},
                                          {"reflectedColor", 3}})},
        {"mayaBlinnSurface", withLambert({{"eccentricity", 1},
                                          {"specularRollOff", 1},
                                          {"specularColor", 3},
                                          {"reflectivity", 1},
                                          {"reflectedColor", 3}})},
    };
    return fragments;
}

// The node attribute of that long or short name, null if none.
const AttributeInfo* findAttribute(const NodeTypeInfo& type, std::string_view name) {
    for (const AttributeInfo& a : type.attributes) {
        if (a.longName == name || a.shortName == name) {
            return &a;
        }
    }
    return nullptr;
}

// How many values the attribute holds as a fragment parameter sees it: 1 for
// a number, 3 for a compound of three numbers, 0 for anything else.
int componentsOf(const AttributeInfo& a) {
    if (a.kind == AttributeKind::Numeric && a.numericType != MFnNumericData::kBoolean &&
        a.numericType != MFnNumericData::kAddr) {
        return 1;
    }
    if (a.kind == AttributeKind::NumericCompound && a.children.size() == 3) {
        return 3;
    }
    return 0;
}

// What Maya feeds a graph for each light under light API v1.
bool isPerLightInput(std::string_view name) {
    return name == "Lw" || name == "HLw" || name == "SLw" || name == "diffuseI" ||
           name == "specularI" || name == "ambientIn";
}

const FragmentParameter* findParameter(const SurfaceFragment& fragment, std::string_view name) {
    for (const FragmentParameter& p : fragment.parameters) {
        if (p.name == name) {
            return &p;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<SurfaceShadingOverrideInfo> createSurfaceShadingNodeOverride(const Node& node,
                                                                           std::string* error) {
    std::string problem;
    auto fail = [&](const std::string& message) -> std::optional<SurfaceShadingOverrideInfo> {
        if (error != nullptr) {
            *error = message;
        }
        return std::nullopt;
    };
    detail::SurfaceOverrideTarget target;
    if (!detail::findSurfaceOverrideTarget(node, target, problem)) {
        return fail(problem);
    }
    const auto creator =
        reinterpret_cast<MHWRender::MDrawRegistry::SurfaceShadingNodeOverrideCreator>(
            target.creator);
    const std::unique_ptr<MHWRender::MPxSurfaceShadingNodeOverride> shadingOverride(
        creator(target.node));
    const std::string about = "the override for " + target.drawClassification;
    if (!shadingOverride) {
        return fail(about + " was not created");
    }

    SurfaceShadingOverrideInfo info;
    info.fragmentName = shadingOverride->fragmentName().asChar();
    info.drawAPIs = shadingOverride->supportedDrawAPIs();
    MHWRender::MAttributeParameterMappingList mappings;
    shadingOverride->getCustomMappings(mappings);
    info.primaryColorParameter = shadingOverride->primaryColorParameter().asChar();
    info.transparencyParameter = shadingOverride->transparencyParameter().asChar();
    info.bumpAttribute = shadingOverride->bumpAttribute().asChar();

    const auto& fragments = surfaceFragments();
    const auto fragment = std::find_if(fragments.begin(), fragments.end(),
                                       [&](const auto& f) { return f.name == info.fragmentName; });
    SurfaceFragment registeredGraph;
    const std::string graphXml = detail::registeredGraphXml(info.fragmentName);
    if (!graphXml.empty()) {
        // A graph the plug-in registered: its inputs that Maya does not feed
        // itself are its parameters, typed as its XML types them.
        info.registeredGraph = true;
        registeredGraph.name = info.fragmentName;
        for (const vp2host::Property& p : vp2host::parseFragmentGraph(graphXml).properties) {
            const bool mayaFeedsIt = !p.semantic.empty() || p.hasFlag("isRequirementOnly") ||
                                     p.type == "string" || isPerLightInput(p.name);
            if (!mayaFeedsIt && (p.type == "float" || p.type == "float3")) {
                registeredGraph.parameters.push_back({p.name, p.type == "float3" ? 3 : 1});
            } else if (!mayaFeedsIt) {
                return fail(about + ": " + info.fragmentName + "'s input " + p.name + " is a " +
                            p.type + ", which no attribute feeds here");
            }
        }
    } else if (fragment == fragments.end()) {
        return fail(about + " names the fragment \"" + info.fragmentName +
                    "\", which is neither a registered graph nor one of Maya's surface "
                    "fragments known here");
    }
    const SurfaceFragment& drawn = info.registeredGraph ? registeredGraph : *fragment;
    if ((info.drawAPIs & MHWRender::kAllDevices) == 0) {
        return fail(about + " supports no draw API");
    }
    for (unsigned int i = 0; i < mappings.length(); ++i) {
        const MHWRender::MAttributeParameterMapping& mapping = *mappings.getByIndex(i);
        const std::string parameter = mapping.parameterName().asChar();
        const std::string attribute = mapping.attributeName().asChar();
        if (findParameter(drawn, parameter) == nullptr) {
            return fail(about + " maps \"" + parameter + "\", which " + info.fragmentName +
                        " does not have");
        }
        if (findAttribute(target.type, attribute) == nullptr) {
            return fail(about + " maps \"" + parameter + "\" to \"" + attribute + "\", which " +
                        target.type.name + " does not have");
        }
        info.customMappings.emplace_back(parameter, attribute);
    }
    for (const FragmentParameter& parameter : drawn.parameters) {
        const auto* mapping = mappings.findByParameterName(std::string(parameter.name).c_str());
        const std::string attributeName =
            mapping != nullptr ? mapping->attributeName().asChar() : std::string(parameter.name);
        const AttributeInfo* attribute = findAttribute(target.type, attributeName);
        if (attribute == nullptr) {
            info.parametersAtDefaults.emplace_back(parameter.name);
        } else if (componentsOf(*attribute) != parameter.components) {
            return fail(about + ": \"" + attributeName + "\" cannot feed the " +
                        (parameter.components == 3 ? "colour" : "number") + " \"" +
                        std::string(parameter.name) + "\"");
        } else {
            info.parametersFromAttributes.emplace_back(parameter.name, attribute->longName);
        }
    }
    for (const std::string* colour : {&info.primaryColorParameter, &info.transparencyParameter}) {
        const FragmentParameter* parameter = findParameter(drawn, *colour);
        if (!colour->empty() && (parameter == nullptr || parameter->components != 3)) {
            return fail(about + " names \"" + *colour + "\" as a colour of " + info.fragmentName +
                        ", which it is not");
        }
    }
    if (!info.bumpAttribute.empty()) {
        const AttributeInfo* bump = findAttribute(target.type, info.bumpAttribute);
        if (bump == nullptr || componentsOf(*bump) != 3) {
            return fail(about + " takes bump through \"" + info.bumpAttribute +
                        "\", which is no vector of " + target.type.name);
        }
    }
    return info;
}

}  // namespace mayahost
