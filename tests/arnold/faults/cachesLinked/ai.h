// The Arnold headers for a build of the shader with a fault: every parameter
// reads as unlinked, so node_update keeps the linked ones' stored values too.
#pragma once

#include_next <ai.h>

#define AiNodeIsLinked(node, input) ((void)(node), (void)(input), false)
