// The material settings of a swatch: the node's editable inputs, set by name
// or from a measured-material preset, and applied to either host.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/FloatVector.h"

namespace lumaveil::preview {

// An editable input of the node, and whether the renderer shader has a
// parameter of the same name.
struct MaterialAttribute {
    std::string_view longName;
    std::string_view shortName;
    int components;  // 1 for a scalar, 3 for a colour
    bool shaderParameter;
};

inline constexpr std::array<MaterialAttribute, 15> materialAttributes{{
    {"color", "c", 3, true},
    {"transparency", "it", 3, false},
    {"ambientColor", "ambC", 3, true},
    {"incandescence", "ic", 3, true},
    {"diffuse", "dfl", 1, true},
    {"absorption", "ab", 3, true},
    {"scattering", "st", 3, true},
    {"refractiveIndex", "rfi", 1, true},
    {"anisotropy", "ani", 1, true},
    {"diffuseReflection", "dflr", 1, true},
    {"diffuseAnisotropy", "dflani", 1, true},
    {"diffuseScatter", "dfst", 1, true},
    {"eccentricity", "eccen", 1, true},
    {"specularRollOff", "sro", 1, true},
    {"specularColor", "spc", 3, true},
}};

// The attribute named by its long or short name, or null.
const MaterialAttribute* findMaterialAttribute(std::string_view name);

// Up to three attribute names closest to a misspelt one.
std::vector<std::string_view> nearestAttributeNames(std::string_view name);

// Values set on the node's inputs; unset inputs keep the node's defaults.
class MaterialSettings {
public:
    void set(const MaterialAttribute& attribute, FloatVector value);
    std::optional<FloatVector> get(std::string_view longName) const;

    struct Entry {
        const MaterialAttribute* attribute;
        FloatVector value;
    };
    // The inputs that were set, in the attribute order.
    std::vector<Entry> entries() const;

private:
    std::array<std::optional<FloatVector>, materialAttributes.size()> values_;
};

// A measured material, with its published total diffuse reflectance.
struct MeasuredMaterial {
    std::string name;
    FloatVector reducedScattering;
    FloatVector absorption;
    FloatVector publishedReflectance;
    float refractiveIndex;
};

// The built-in table of measured materials.
std::span<const MeasuredMaterial> measuredMaterials();
const MeasuredMaterial* findMeasuredMaterial(std::string_view name);

// Total diffuse reflectance, per channel, of a medium whose reduced albedo is
// sigma_s' / (sigma_s' + sigma_a): the dipole formula that builds the albedo
// table, so the node's lookup returns that albedo.
FloatVector reflectanceOf(const MeasuredMaterial& material);

// color, scattering, absorption and refractiveIndex of a measured material.
void applyMeasuredMaterial(const MeasuredMaterial& material, MaterialSettings& settings);

}  // namespace lumaveil::preview
