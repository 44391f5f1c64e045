// The stand-in renderer's light database, as the shader reaches it through
// state->options.
#pragma once

#include <shader.h>

#include <vector>

namespace lumaveil::mrhost {

enum class LightKind { directional, point, area };

struct Light {
    LightKind kind = LightKind::directional;
    miColor color{};
    miVector direction{};  // directional: unit, towards the light
    miVector position{};   // point and area (corner)
    miVector edgeU{};
    miVector edgeV{};
    int samples = 1;  // delivered per shading sample: 1 but for area lights
};

}  // namespace lumaveil::mrhost

// Reached through state->options: the scene's lights and irradiance.
struct miOptions {
    std::vector<lumaveil::mrhost::Light> lights;
    miColor irradiance{0.0f, 0.0f, 0.0f, 0.0f};
};
