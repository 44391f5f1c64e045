// Compiled by the MSVC-ABI builds: the model there must be built on the
// portable lanes, the branch that Visual Studio compiles.
#include <type_traits>

#include "model/Lanes.h"

static_assert(std::is_class_v<lumaveil::Lanes>, "MSVC-mode builds use the portable lanes");
