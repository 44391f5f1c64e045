// Reflectance-to-reduced-albedo lookup of the diffusion term.
#pragma once

#include <array>

namespace lumaveil {

inline constexpr int albedoTableSize = 2001;

// Entry i holds the reduced albedo whose dipole total diffuse reflectance is
// i / 2000. Constant data, written out by tools/albedo-table from its rule.
extern const std::array<float, albedoTableSize> albedoTable;

// The table entry for floor(reflectance * 2000), without interpolation. Indices
// below 0 and NaN read entry 0, indices above 2000 read entry 2000.
float albedoFromReflectance(float reflectance);

}  // namespace lumaveil
