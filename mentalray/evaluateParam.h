// Reading a parameter of the running shader for this call.
#pragma once

#include <cstdint>
#include <cstring>

#include <shader.h>
#include "mentalray/binding.h"

namespace lumaveil::mr {

// The address at which the value of the parameter at `field` is found for
// this call: the field itself, unless the running shader's ghost word for it
// says that another shader drives it, in which case the renderer evaluates it.
// One 32-bit ghost word is tested per field, whatever the field's type. The
// value is only ever read.
template <class T>
const T* evaluateParam(miState* state, const T* field) {
    const miInteger ghostOffset = state->shader->ghost_offs;
    if (ghostOffset == 0) {
        return field;
    }
    std::uint32_t ghost = 0;
    std::memcpy(&ghost, reinterpret_cast<const unsigned char*>(field) + ghostOffset, sizeof ghost);
    if (ghost == 0) {
        return field;
    }
    return static_cast<const T*>(mr::mi_phen_eval(state, const_cast<T*>(field)));
}

}  // namespace lumaveil::mr
