// lumaVeil's stand-in of the Arnold SDK's umbrella header: what a light-loop
// surface shader uses of Arnold's public API, with the SDK's names,
// signatures and member orders, so that the same shader source builds
// against this stand-in and against a studio's SDK. Arnold itself is
// proprietary; nothing of it is here.
#pragma once

#include "ai_closure.h"
#include "ai_nodes.h"
#include "ai_ray.h"
#include "ai_shader_aovs.h"
#include "ai_shader_lights.h"
#include "ai_shaderglobals.h"
#include "ai_types.h"
#include "ai_version.h"
