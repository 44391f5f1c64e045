// The call trace that the renderer functions write to, when the shader call
// on the calling thread records one.
#pragma once

#include "mrhost/renderer.h"

namespace lumaveil::mrhost {

// The call trace of the calling thread, if its shader call records one.
CallTrace*& activeTrace();

}  // namespace lumaveil::mrhost
