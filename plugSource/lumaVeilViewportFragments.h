// The plug-in's own Viewport 2.0 fragments and graphs (viewport/), which draw
// the material as the node computes it: registered with Maya's fragment
// manager once, when the plug-in loads, and removed when it unloads.
#pragma once

#include "lumaVeilShadingNodeOverride.h"

#if defined(LUMAVEIL_VIEWPORT_OVERRIDE)
#include <maya/MString.h>

namespace lumaveil::viewport {

// Registers the fragments, then the graph of the running Maya's light API.
// Where there is no renderer (batch mode), a registration is refused, or
// LUMAVEIL_VIEWPORT=approximate asks for it, nothing stays registered and the
// override names Maya's Blinn fragment; the first two say so in one warning
// line. The plug-in loads either way.
void registerFragments();

// Removes what registerFragments added, the graph first.
void deregisterFragments();

// What the override hands Viewport 2.0: the registered graph, or Maya's Blinn
// fragment where there is none, or where the renderer draws through the
// legacy OpenGL profile, for which the fragments have no implementation.
MString surfaceFragmentName();

}  // namespace lumaveil::viewport

#endif
