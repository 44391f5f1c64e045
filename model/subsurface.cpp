#include "model/subsurface.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "model/albedo.h"

namespace lumaveil {

namespace {

// The single-precision value nearest -4/3.
constexpr float minusFourThirds = -1.3333334f;

// What one albedo entry gives alone: s and exp(-s). Formed once, with the
// same single-precision operations and rounded exponential as the per-sample
// formula, so the values are the very ones it would give.
struct DiffusionDepth {
    float s;
    float escapeFactor;  // exp(-s)
};

using DiffusionDepthTable = std::array<DiffusionDepth, albedoTableSize>;

DiffusionDepthTable makeDiffusionDepthTable() {
    DiffusionDepthTable table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const float s = std::sqrt((1.0f - albedoTable[i]) * 3.0f);
        table[i] = {s, roundedExp(-s)};
    }
    return table;
}

const DiffusionDepthTable& diffusionDepthTable() {
    static const DiffusionDepthTable table = makeDiffusionDepthTable();
    return table;
}

}  // namespace

DiffusionChannels diffusionChannels(FloatVector reflectance, float boundaryFactor) {
    const DiffusionDepthTable& depths = diffusionDepthTable();
    const float exponentScale = boundaryFactor * minusFourThirds;  // A q
    DiffusionChannels c;
    int index[3];
    for (int j = 0; j < 3; ++j) {
        index[j] = albedoIndexOf(reflectance[j]);
        const int same = index[j] == index[0] ? 0 : (index[j] == index[1] ? 1 : j);
        if (same < j) {
            c.reducedAlbedo[j] = c.reducedAlbedo[same];
            c.boundaryFactor[j] = c.boundaryFactor[same];
            c.escapeFactor[j] = c.escapeFactor[same];
        } else {
            const std::size_t entry = static_cast<std::size_t>(index[j]);
            c.reducedAlbedo[j] = albedoTable[entry];
            c.boundaryFactor[j] = roundedExp(exponentScale * depths[entry].s) + 1.0f;
            c.escapeFactor[j] = depths[entry].escapeFactor;
        }
    }
    return c;
}

}  // namespace lumaveil
