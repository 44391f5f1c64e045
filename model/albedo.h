// Reflectance-to-reduced-albedo lookup of the diffusion term.
#pragma once

#include <array>

namespace lumaveil {

inline constexpr int albedoTableSize = 2001;

// Entry i holds the reduced albedo whose dipole total diffuse reflectance is
// i / 2000. Constant data, written out by tools/albedo-table from its rule.
extern const std::array<float, albedoTableSize> albedoTable;

// The index floor(reflectance * 2000), kept inside the table: indices below 0
// and NaN give 0, indices above 2000 give 2000.
int albedoIndexOf(float reflectance);

// The table entry at albedoIndexOf(reflectance), without interpolation.
float albedoFromReflectance(float reflectance);

}  // namespace lumaveil
