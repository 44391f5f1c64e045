// lumaVeil's stand-in of the Arnold SDK: a surface shader's light loop.
#pragma once

#include <cstdint>

#include "ai_shaderglobals.h"
#include "ai_types.h"

// One sample of one light, as seen from the shading point.
struct AtLightSample {
    const AtNode* Lp;  // the light
    float Ldist;
    AtVector Ld;  // unit, from the point towards the light
    AtRGB Li;     // incident radiance with shadowing: Liu * (1 - Lo)
    AtRGB Liu;    // unshadowed
    AtRGB Lo;     // occlusion, 1 where blocked
    float pdf;
    uint8_t trace_ray_types;
};

// Functions of C linkage that return the SDK's small value types, as the
// SDK's own headers declare them.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" {
AI_API void AiLightsPrepare(AtShaderGlobals* sg);
AI_API bool AiLightsGetSample(AtShaderGlobals* sg, AtLightSample& sample);

// A light's weights for each kind of term; Arnold leaves them to the shader.
AI_API float AiLightGetDiffuse(const AtNode* light);
AI_API float AiLightGetSpecular(const AtNode* light);
AI_API float AiLightGetSSS(const AtNode* light);
AI_API float AiLightGetTransmission(const AtNode* light);
AI_API float AiLightGetVolume(const AtNode* light);
AI_API float AiLightGetIntensity(const AtNode* light);
AI_API AtRGB AiLightGetColor(const AtNode* light);
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
