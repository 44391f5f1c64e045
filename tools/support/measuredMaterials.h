// The measured materials the presets apply, read from measuredMaterials.csv.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "materialSettings.h"
#include "model/FloatVector.h"

namespace lumaveil {

// A measured material, with its published total diffuse reflectance.
struct MeasuredMaterial {
    std::string name;
    FloatVector reducedScattering;
    FloatVector absorption;
    FloatVector publishedReflectance;
    float eta;  // relative index of refraction
};

// The built-in table of measured materials.
std::span<const MeasuredMaterial> measuredMaterials();
const MeasuredMaterial* findMeasuredMaterial(std::string_view name);

// Total diffuse reflectance, per channel, of a medium whose reduced albedo is
// sigma_s' / (sigma_s' + sigma_a): the dipole formula that builds the albedo
// table, so the node's lookup returns that albedo.
FloatVector reflectanceOf(const MeasuredMaterial& material);

// The value of one of its quantities, per channel (the refractive index in
// all three).
FloatVector measuredValue(const MeasuredMaterial& material, MeasuredQuantity quantity);

// Sets every attribute that takes a measured quantity (the colour, the
// absorption and scattering coefficients, the index of refraction) to the
// material's.
void applyMeasuredMaterial(const MeasuredMaterial& material, MaterialSettings& settings);

// The attribute that takes the quantity.
const MaterialAttribute& attributeMeasuredAs(MeasuredQuantity quantity);

}  // namespace lumaveil
