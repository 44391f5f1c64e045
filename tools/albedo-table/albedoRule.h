// The rule that fixes every entry of the albedo table: the dipole model's
// total diffuse reflectance sampled on a grid of reduced albedos at eta 1.3,
// inverted by linear interpolation and rounded to five significant digits.
// Used by the generator that writes the table and by the test that checks it.
#pragma once

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lumaveil::albedo_rule {

inline constexpr double eta = 1.3;
inline constexpr int gridIntervals = 100;
inline constexpr int tableSteps = 2000;

// Diffuse Fresnel reflectance of the boundary and the boundary constant A
// derived from it; the unrounded A matters to dozens of entries.
inline double diffuseFresnelReflectance() {
    return -1.440 / (eta * eta) + 0.710 / eta + 0.668 + 0.0636 * eta;
}

inline double boundaryConstant() {
    const double fdr = diffuseFresnelReflectance();
    return (1.0 + fdr) / (1.0 - fdr);
}

// Rd(a') = (a'/2) (1 + exp(-(4/3) A s)) exp(-s), s = sqrt(3 (1 - a')).
inline double dipoleReflectance(double reducedAlbedo) {
    const double s = std::sqrt(3.0 * (1.0 - reducedAlbedo));
    return (reducedAlbedo / 2.0) * (1.0 + std::exp(-(4.0 / 3.0) * boundaryConstant() * s)) *
           std::exp(-s);
}

// The nearest float to value after rounding it to five significant digits.
inline float roundToFiveDigits(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4e", value);
    return std::strtof(text, nullptr);
}

inline std::array<float, tableSteps + 1> buildTable() {
    std::array<double, gridIntervals + 1> grid{};
    for (int k = 0; k <= gridIntervals; ++k) {
        grid[k] = dipoleReflectance(static_cast<double>(k) / gridIntervals);
    }
    std::array<float, tableSteps + 1> table{};
    int k = 0;
    for (int i = 0; i <= tableSteps; ++i) {
        const double reflectance = static_cast<double>(i) / tableSteps;
        while (k < gridIntervals - 1 && reflectance >= grid[k + 1]) {
            ++k;
        }
        const double reducedAlbedo =
            static_cast<double>(k) / gridIntervals +
            (1.0 / gridIntervals) * (reflectance - grid[k]) / (grid[k + 1] - grid[k]);
        table[i] = roundToFiveDigits(reducedAlbedo);
    }
    return table;
}

}  // namespace lumaveil::albedo_rule
