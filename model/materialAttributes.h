// The lumaVeil node's editable attributes, once: the colours and scalars a
// user edits and keys, each bound to the field of the model's inputs that it
// sets. The plug-in creates and reads them from this table, the renderer
// shaders and the tools set them from it, and the tests hold it against their
// own statement of the schema, the shipped .mi and the Attribute Editor
// template.
//
// Header-only constant data, C++17: it includes only the model's records.
// Every name is a string literal, so data() of each is a NUL-terminated C
// string, as MString takes it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "model/FloatVector.h"
#include "model/shading.h"

namespace lumaveil {

// The quantity of a measured material (skin, marble, milk, ...) that a preset
// sets the attribute to; none for the attributes the presets leave alone.
enum class MeasuredQuantity {
    none,
    diffuseReflectance,
    absorption,
    reducedScattering,
    eta  // the relative index of refraction
};

// What the attribute reference shows of an attribute: the range its strip of
// swatches spans where the attribute has no soft range (a colour), and a note
// beside the strip.
struct ReferenceStrip {
    std::string_view from, to;  // empty: the soft range
    std::string_view note;
};

struct MaterialAttribute {
    std::string_view longName;
    std::string_view shortName;
    // 3 for a colour, whose children are red, green and blue; 1 for a scalar.
    int components = 1;
    // A colour's children; empty for a scalar.
    std::array<std::string_view, 3> childLongNames{};
    std::array<std::string_view, 3> childShortNames{};
    // The field of ShadingInputs the attribute sets: a colour's, or a
    // scalar's; the other one is null.
    FloatVector ShadingInputs::*colourField = nullptr;
    float ShadingInputs::*scalarField = nullptr;
    // The field's default in the model, per channel for a colour; a scalar's
    // is defaultValue[0].
    std::array<float, 3> defaultValue{};
    // The slider's span in the Attribute Editor; values outside it are legal.
    std::optional<double> softMin, softMax;
    // Maya keeps the value at or above it, and the tools refuse values below.
    std::optional<double> hardMin;
    // Where the model's optics hold: every host's value, a connected or
    // animated one too, is held to it before shading, per channel.
    std::optional<float> physicalMin, physicalMax;
    bool keyable = true;
    bool storable = true;
    // outTransparency is a copy of it; every editable attribute affects outColor.
    bool affectsOutTransparency = false;
    // The renderer shader's parameter of the same role; empty: it has none.
    std::string_view rendererParameter;
    // What it does in the image, in a lighting artist's words.
    std::string_view effect;
    MeasuredQuantity measuredQuantity = MeasuredQuantity::none;
    ReferenceStrip referenceStrip;

    constexpr bool isColour() const { return components == 3; }

    // The table's rows are written as a colour or a scalar and then these.
    constexpr MaterialAttribute withHardMin(double minimum) const {
        MaterialAttribute a = *this;
        a.hardMin = minimum;
        return a;
    }
    constexpr MaterialAttribute withPhysicalRange(std::optional<float> minimum,
                                                  std::optional<float> maximum) const {
        MaterialAttribute a = *this;
        a.physicalMin = minimum;
        a.physicalMax = maximum;
        return a;
    }
    constexpr MaterialAttribute affectingOutTransparency() const {
        MaterialAttribute a = *this;
        a.affectsOutTransparency = true;
        return a;
    }
    constexpr MaterialAttribute measuredAs(MeasuredQuantity quantity) const {
        MaterialAttribute a = *this;
        a.measuredQuantity = quantity;
        return a;
    }
    constexpr MaterialAttribute withReferenceStrip(ReferenceStrip strip) const {
        MaterialAttribute a = *this;
        a.referenceStrip = strip;
        return a;
    }
};

namespace detail {

constexpr MaterialAttribute colourAttribute(std::string_view longName, std::string_view shortName,
                                            std::array<std::string_view, 3> childLongNames,
                                            std::array<std::string_view, 3> childShortNames,
                                            FloatVector ShadingInputs::*field,
                                            std::string_view rendererParameter,
                                            std::string_view effect) {
    MaterialAttribute a;
    a.longName = longName;
    a.shortName = shortName;
    a.components = 3;
    a.childLongNames = childLongNames;
    a.childShortNames = childShortNames;
    a.colourField = field;
    const FloatVector d = ShadingInputs{}.*field;
    a.defaultValue = {d.x, d.y, d.z};
    a.rendererParameter = rendererParameter;
    a.effect = effect;
    return a;
}

constexpr MaterialAttribute scalarAttribute(std::string_view longName, std::string_view shortName,
                                            float ShadingInputs::*field, double softMin,
                                            double softMax, std::string_view rendererParameter,
                                            std::string_view effect) {
    MaterialAttribute a;
    a.longName = longName;
    a.shortName = shortName;
    a.scalarField = field;
    a.defaultValue = {ShadingInputs{}.*field, 0.0f, 0.0f};
    a.softMin = softMin;
    a.softMax = softMax;
    a.rendererParameter = rendererParameter;
    a.effect = effect;
    return a;
}

}  // namespace detail

// In the node's order: the order in which the plug-in creates, adds and
// relates them, and in which the renderer shader lays out the parameters it
// shares with them.
inline constexpr std::array materialAttributes{
    detail::colourAttribute(
        "color", "c", {"colorR", "colorG", "colorB"}, {"cr", "cg", "cb"}, &ShadingInputs::color,
        "color",
        "Surface colour. Tints the matte, ambient and translucent light (not the highlight or the "
        "incandescence). Each channel is also read as the total diffuse reflectance the material "
        "should show: a bright channel gives a strong glow from beneath the surface, a dark one "
        "little.")
        .withReferenceStrip({"0", "1", "Grey: the three channels alike."})
        .measuredAs(MeasuredQuantity::diffuseReflectance),
    detail::colourAttribute(
        "transparency", "it", {"transparencyR", "transparencyG", "transparencyB"},
        {"itr", "itg", "itb"}, &ShadingInputs::transparency, "",
        "How much of what lies behind shows through, per channel: everything but the highlight is "
        "dimmed by 1 - transparency. The mental ray shader has no transparency; it is always "
        "opaque. The Arnold shader has it, as the node does.")
        .affectingOutTransparency()
        .withPhysicalRange(0.0f, 1.0f)
        .withReferenceStrip(
            {"0", "1", "mental ray's row alone stays the same: its shader is opaque."}),
    detail::colourAttribute(
        "ambientColor", "ambC", {"ambientColorR", "ambientColorG", "ambientColorB"},
        {"ambCR", "ambCG", "ambCB"}, &ShadingInputs::ambientColor, "ambientColor",
        "Light added everywhere, with no light source, tinted by the colour.")
        .withReferenceStrip({"0", "1", ""}),
    detail::colourAttribute("incandescence", "ic",
                            {"incandescenceR", "incandescenceG", "incandescenceB"},
                            {"ir", "ig", "ib"}, &ShadingInputs::incandescence, "incandescence",
                            "Glow added on top, untinted, whatever the lighting.")
        .withReferenceStrip({"0", "1", ""}),
    detail::scalarAttribute(
        "diffuse", "dfl", &ShadingInputs::diffuse, 0.0, 1.0, "diffuse",
        "Strength of the matte (Lambert) shading from the lights. In the final blend the matte "
        "light weighs three quarters and the translucent glow one quarter."),
    detail::colourAttribute(
        "absorption", "ab", {"absorptionR", "absorptionG", "absorptionB"}, {"abr", "abg", "abb"},
        &ShadingInputs::absorption, "absorption",
        "How strongly the material absorbs light, per millimetre and channel. Only its ratio to "
        "scattering counts: a channel that absorbs more shows less single-scattering glow.")
        .withPhysicalRange(0.0f, std::nullopt)
        .withReferenceStrip({"0", "2.5", "Scattering stays at its default, 0.5."})
        .measuredAs(MeasuredQuantity::absorption),
    detail::colourAttribute(
        "scattering", "st", {"scatteringR", "scatteringG", "scatteringB"}, {"str", "stg", "stb"},
        &ShadingInputs::scattering, "scattering",
        "How often light scatters inside the material, per millimetre and channel. With absorption "
        "it sets the share of light scattered back, scattering / (scattering + absorption); "
        "scaling both alike changes nothing.")
        .withPhysicalRange(0.0f, std::nullopt)
        .withReferenceStrip({"0", "2.5", "Absorption stays at its default, 0.5."})
        .measuredAs(MeasuredQuantity::reducedScattering),
    detail::scalarAttribute(
        "refractiveIndex", "rfi", &ShadingInputs::refractiveIndex, 1.0, 6.0, "refractiveIndex",
        "Index of refraction (water 1.33, skin 1.3 to 1.4, marble 1.5). Higher values let less "
        "of the translucent glow out at glancing angles and bend the light entering the "
        "surface more. Values below 1 are refused, and act as 1 where a connection drives them.")
        .withHardMin(1.0)
        .withPhysicalRange(1.0f, std::nullopt)
        .measuredAs(MeasuredQuantity::eta),
    detail::scalarAttribute(
        "anisotropy", "ani", &ShadingInputs::anisotropy, -1.0, 1.0, "anisotropy",
        "Direction of the single-scattering glow: 0 is the same from every light direction, "
        "positive values favour lights on the viewer's side, negative values lights behind the "
        "surface.")
        .withReferenceStrip(
            {"", "",
             "Towards \u22121 and 1 mental ray's phase weight turns negative over much of "
             "the sphere: its result there would fall below zero and is held at 0, black. The "
             "weight of "
             "Maya and Arnold falls to 0 at both ends."}),
    detail::scalarAttribute(
        "diffuseReflection", "dflr", &ShadingInputs::diffuseReflection, 0.0, 10.0,
        "diffuseReflection",
        "How much of the diffusion glow the surface boundary keeps back: higher values dim it, "
        "down to half of its strength at 0."),
    detail::scalarAttribute(
        "diffuseAnisotropy", "dflani", &ShadingInputs::diffuseAnisotropy, -1.0, 1.0,
        "diffuseAnisotropy",
        "Direction of the diffusion glow, as anisotropy is for single scattering: 0 is the same "
        "from every light direction, positive favours lights on the viewer's side.")
        .withReferenceStrip(
            {"", "",
             "Towards 1 mental ray's phase weight turns negative at the sphere's rim: its result "
             "there would fall below zero and is held at 0, black. The weight of Maya and Arnold "
             "falls to 0 at "
             "both ends."}),
    detail::scalarAttribute(
        "diffuseScatter", "dfst", &ShadingInputs::diffuseScatter, 0.0, 10.0, "diffuseScatter",
        "Strength of the whole translucent (subsurface) glow, single scattering and diffusion "
        "together; 0 turns it off."),
    detail::scalarAttribute(
        "eccentricity", "eccen", &ShadingInputs::eccentricity, 0.0, 1.0, "eccentricity",
        "Width of the highlight, in radians: small values give a tight, glossy highlight, larger "
        "ones a broad sheen."),
    detail::scalarAttribute("specularRollOff", "sro", &ShadingInputs::specularRollOff, 0.0, 1.0,
                            "specularRollOff", "Strength of the highlight; 0 turns it off."),
    detail::colourAttribute("specularColor", "spc",
                            {"specularColorR", "specularColorG", "specularColorB"},
                            {"spcr", "spcg", "spcb"}, &ShadingInputs::specularColor,
                            "specularColor", "Tint of the highlight.")
        .withReferenceStrip({"0", "1", ""}),
};

// How many attribute objects the rows make: a colour's compound and its three
// children, a scalar's one.
constexpr std::size_t materialHandleCount() {
    std::size_t count = 0;
    for (const MaterialAttribute& a : materialAttributes) {
        count += a.isColour() ? 4 : 1;
    }
    return count;
}

// The row of that long or short name, or null.
constexpr const MaterialAttribute* materialAttributeNamed(std::string_view name) {
    for (const MaterialAttribute& a : materialAttributes) {
        if (!name.empty() && (a.longName == name || a.shortName == name)) {
            return &a;
        }
    }
    return nullptr;
}

// The attribute's value in `inputs`: a colour's, or a scalar's in x.
constexpr FloatVector valueIn(const ShadingInputs& inputs, const MaterialAttribute& a) {
    return a.isColour() ? inputs.*a.colourField : FloatVector{inputs.*a.scalarField, 0.0f, 0.0f};
}

// Sets the attribute's field of `inputs`: a colour to `value`, a scalar to
// value.x.
constexpr void setIn(ShadingInputs& inputs, const MaterialAttribute& a, FloatVector value) {
    if (a.isColour()) {
        inputs.*a.colourField = value;
    } else {
        inputs.*a.scalarField = value.x;
    }
}

namespace detail {

constexpr bool eachFieldSetOnce() {
    for (std::size_t i = 0; i < materialAttributes.size(); ++i) {
        const MaterialAttribute& a = materialAttributes[i];
        if ((a.colourField == nullptr) == (a.scalarField == nullptr) ||
            (a.colourField != nullptr) != a.isColour()) {
            return false;
        }
        for (std::size_t j = 0; j < i; ++j) {
            const MaterialAttribute& b = materialAttributes[j];
            if ((a.colourField != nullptr && a.colourField == b.colourField) ||
                (a.scalarField != nullptr && a.scalarField == b.scalarField)) {
                return false;
            }
        }
    }
    return true;
}

constexpr std::size_t bytesSet() {
    std::size_t bytes = 0;
    for (const MaterialAttribute& a : materialAttributes) {
        bytes += a.isColour() ? sizeof(FloatVector) : sizeof(float);
    }
    return bytes;
}

}  // namespace detail

static_assert(
    detail::eachFieldSetOnce(),
    "each attribute sets one field of ShadingInputs of its kind, and no field is set twice");
// The sample geometry comes from the host; every other field is a material
// input, and a model field without its row would never be set by a host.
static_assert(detail::bytesSet() + sizeof(ShadingInputs::pointCamera) +
                      sizeof(ShadingInputs::normalCamera) ==
                  sizeof(ShadingInputs),
              "a field of ShadingInputs has no attribute in materialAttributes");

}  // namespace lumaveil
