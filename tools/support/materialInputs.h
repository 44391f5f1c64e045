// The inputs a material sets on either deliverable: the node's editable
// attributes and the renderer shader's parameters of its own, found by name.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace lumaveil {

// An editable input of the node: its names, default and ranges as the node
// declares them, what it does in the image, and the renderer shader's
// parameter of the same role. The preview, its checks of --set values and
// docs/attributes.md all read this one table.
struct MaterialAttribute {
    std::string_view longName;
    std::string_view shortName;
    int components;      // 1 for a scalar, 3 for a colour
    float defaultValue;  // every channel of a colour alike
    std::optional<double> softMin, softMax;
    std::optional<double> hardMin;       // values below it are refused
    std::string_view rendererParameter;  // empty: the renderer shader has none
    std::string_view effect;             // in a lighting artist's words
    bool onNode = true;                  // false: a parameter of the renderer shader alone
    bool direction = false;              // three components are x, y, z, not a colour
};

inline constexpr std::array<MaterialAttribute, 15> materialAttributes{{
    {"color",
     "c",
     3,
     0.5f,
     {},
     {},
     {},
     "color",
     "Surface colour. Tints the matte, ambient and translucent light (not the highlight or the "
     "incandescence). Each channel is also read as the total diffuse reflectance the material "
     "should show: a bright channel gives a strong glow from beneath the surface, a dark one "
     "little."},
    {"transparency",
     "it",
     3,
     0.0f,
     {},
     {},
     {},
     "",
     "How much of what lies behind shows through, per channel: everything but the highlight is "
     "dimmed by 1 - transparency. The renderer shader has no transparency; it is always "
     "opaque."},
    {"ambientColor",
     "ambC",
     3,
     0.0f,
     {},
     {},
     {},
     "ambientColor",
     "Light added everywhere, with no light source, tinted by the colour."},
    {"incandescence",
     "ic",
     3,
     0.0f,
     {},
     {},
     {},
     "incandescence",
     "Glow added on top, untinted, whatever the lighting."},
    {"diffuse",
     "dfl",
     1,
     0.8f,
     0.0,
     1.0,
     {},
     "diffuse",
     "Strength of the matte (Lambert) shading from the lights. In the final blend the matte "
     "light weighs three quarters and the translucent glow one quarter."},
    {"absorption",
     "ab",
     3,
     0.5f,
     {},
     {},
     {},
     "absorption",
     "How strongly the material absorbs light, per millimetre and channel. Only its ratio to "
     "scattering counts: a channel that absorbs more shows less single-scattering glow."},
    {"scattering",
     "st",
     3,
     0.5f,
     {},
     {},
     {},
     "scattering",
     "How often light scatters inside the material, per millimetre and channel. With absorption "
     "it sets the share of light scattered back, scattering / (scattering + absorption); "
     "scaling both alike changes nothing."},
    {"refractiveIndex", "rfi", 1, 1.333f, 1.0, 6.0, 1.0, "refractiveIndex",
     "Index of refraction (water 1.33, skin 1.3 to 1.4, marble 1.5). Higher values let less of "
     "the translucent glow out at glancing angles and bend the light entering the surface more. "
     "Values below 1 are refused."},
    {"anisotropy",
     "ani",
     1,
     0.2f,
     -1.0,
     1.0,
     {},
     "anisotropy",
     "Direction of the single-scattering glow: 0 is the same from every light direction, "
     "positive values favour lights on the viewer's side, negative values lights behind the "
     "surface."},
    {"diffuseReflection",
     "dflr",
     1,
     2.0f,
     0.0,
     10.0,
     {},
     "diffuseReflection",
     "How much of the diffusion glow the surface boundary keeps back: higher values dim it, "
     "down to half of its strength at 0."},
    {"diffuseAnisotropy",
     "dflani",
     1,
     0.2f,
     -1.0,
     1.0,
     {},
     "diffuseAnisotropy",
     "Direction of the diffusion glow, as anisotropy is for single scattering: 0 is the same "
     "from every light direction, positive favours lights on the viewer's side."},
    {"diffuseScatter",
     "dfst",
     1,
     2.0f,
     0.0,
     10.0,
     {},
     "diffuseScatter",
     "Strength of the whole translucent (subsurface) glow, single scattering and diffusion "
     "together; 0 turns it off."},
    {"eccentricity",
     "eccen",
     1,
     0.1f,
     0.0,
     1.0,
     {},
     "eccentricity",
     "Width of the highlight, in radians: small values give a tight, glossy highlight, larger "
     "ones a broad sheen."},
    {"specularRollOff",
     "sro",
     1,
     0.7f,
     0.0,
     1.0,
     {},
     "specularRollOff",
     "Strength of the highlight; 0 turns it off."},
    {"specularColor", "spc", 3, 0.5f, {}, {}, {}, "specularColor", "Tint of the highlight."},
}};

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
     "leaves the normal as it is."},
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

// The renderer shader's parameters without a node attribute that the preview
// sets as it sets attributes (--set, --sweep). The Maya node takes its normal
// from the geometry, so its half is left as it is.
inline constexpr std::array<MaterialAttribute, 1> rendererOnlyAttributes{{
    {"normalCamera", "", 3, 0.0f, {}, {}, {}, "normalCamera", "", false, true},
}};

// Every input in one order, the node's attributes first, then the
// renderer-only ones: what a material's settings are indexed by.
inline constexpr std::size_t materialInputCount =
    materialAttributes.size() + rendererOnlyAttributes.size();
const MaterialAttribute& materialInputAt(std::size_t index);
std::size_t indexOfMaterialInput(const MaterialAttribute& attribute);

// The renderer-only parameter of that name, or null.
const RendererOnlyParameter* findRendererOnlyParameter(std::string_view name);

// The attribute named by its long or short name, or the renderer-only one
// named, or null.
const MaterialAttribute* findMaterialAttribute(std::string_view name);

// Up to three attribute names closest to a misspelt one.
std::vector<std::string_view> nearestAttributeNames(std::string_view name);

}  // namespace lumaveil
