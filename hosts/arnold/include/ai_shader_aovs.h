// lumaVeil's stand-in of the Arnold SDK: a shader's writes to the render's
// arbitrary output variables (AOVs).
#pragma once

#include <cstdint>

#include "ai_shaderglobals.h"
#include "ai_types.h"

extern "C" {
// Stores val in the AOV of that name for this sample; false where the write
// is not stored: the AOV is not enabled or has another type, or the call is
// off the camera ray's own hit (a shadow or indirect ray's evaluation).
AI_API bool AiAOVSetRGB(AtShaderGlobals* sg, const AtString name, AtRGB val);
// Whether the render outputs the AOV of that name and type.
AI_API bool AiAOVEnabled(const AtString name, uint8_t type);
}
