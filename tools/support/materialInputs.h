// The inputs a material sets on either deliverable: the node's editable
// attributes, read from the one table of them (model/materialAttributes.h),
// and the renderer shader's parameters of its own, found by name.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "model/materialAttributes.h"

namespace lumaveil {

// A parameter of the renderer shader with no node attribute of the same role.
struct RendererOnlyParameter {
    std::string_view name;
    std::string_view type;  // as the declaration writes it
    std::string_view effect;
    // Why a swatch cannot show it; empty for one the preview sets (see
    // rendererOnlyAttributes).
    std::string_view notInSwatch = {};
};

inline constexpr std::array<RendererOnlyParameter, 4> rendererOnlyParameters{{
    {"normalCamera", "vector",
     "An offset added to the renderer's surface normal before shading, as a bump would; 0 0 0 "
     "leaves the normal as it is, and so does an offset that cancels it."},
    {"useIrradiance", "boolean",
     "Adds the renderer's irradiance (indirect light, final gather) tinted by the colour.",
     "the preview's scene has no indirect light, so the irradiance it adds is black"},
    {"irradianceColor", "color", "Tint of that irradiance; black turns it off.",
     "the preview's scene has no indirect light, so the irradiance it tints is black"},
    {"light", "array light",
     "The light instances the material is lit by. Each light's samples are averaged; the "
     "lights are added up.",
     "every swatch is lit by the preview's own key, fill and rim lights"},
}};

namespace detail {

// A vector parameter of the renderer shader alone, set as an attribute is:
// three components, 0 by default, no range, the parameter its own.
constexpr MaterialAttribute rendererOnlyVector(const RendererOnlyParameter& parameter) {
    MaterialAttribute input;
    input.longName = parameter.name;
    input.components = 3;
    input.rendererParameter = parameter.name;
    input.effect = parameter.effect;
    input.keyable = input.storable = false;
    return input;
}

}  // namespace detail

// The renderer shader's parameters without a node attribute that the preview
// sets as it sets attributes (--set, --sweep): normalCamera, an offset
// (x, y, z) to the normal. The Maya node and the Arnold shader take their
// normal from the geometry, so their halves are left as they are.
inline constexpr std::array<MaterialAttribute, 1> rendererOnlyAttributes{{
    detail::rendererOnlyVector(rendererOnlyParameters[0])
        .withReferenceStrip(
            {"-0.8,0,0", "0.8,0,0",
             "Only mental ray's row changes: Maya and Arnold take the normal from the "
             "geometry."}),
}};

// Every input in one order, the node's attributes first, then the
// renderer-only ones: what a material's settings are indexed by.
inline constexpr std::size_t materialInputCount =
    materialAttributes.size() + rendererOnlyAttributes.size();
const MaterialAttribute& materialInputAt(std::size_t index);
std::size_t indexOfMaterialInput(const MaterialAttribute& input);

// Whether the input is one of the node's attributes; else it is the renderer
// shader's alone.
bool isNodeAttribute(const MaterialAttribute& input);

// Whether its three components are a direction (x, y, z), not a colour.
bool isDirection(const MaterialAttribute& input);

// The renderer-only parameter of that name, or null.
const RendererOnlyParameter* findRendererOnlyParameter(std::string_view name);

// The attribute named by its long or short name, or the renderer-only one
// named, or null.
const MaterialAttribute* findMaterialAttribute(std::string_view name);

// Up to three attribute names closest to a misspelt one.
std::vector<std::string_view> nearestAttributeNames(std::string_view name);

}  // namespace lumaveil
