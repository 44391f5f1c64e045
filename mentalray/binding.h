// The renderer's functions, reached by name in the renderer's module.
//
// The renderer hands the shader its module handle through miSetModuleHandle.
// Each forwarder below looks its function up on first use, caches the address
// and calls through it; when the lookup fails it says so on standard error,
// tries again on the next call, and gives a neutral outcome instead.
//
// Call them qualified (mr::mi_sample_light): the renderer's header declares
// its own functions of the same names, which an unqualified call would also
// find through its arguments' types.
#pragma once

#include <shader.h>

namespace lumaveil::mr {

// Writes the irradiance at the state's point into result. Unbound: black.
miBoolean mi_compute_irradiance(miColor* result, miState* state);

// Delivers the next sample of a light: its colour, the direction towards it
// and a cosine, counting the samples in *samples. True while a sample was
// delivered. Unbound: false, with nothing written.
miBoolean mi_sample_light(miColor* color, miVector* direction, miScalar* dot_nl, miState* state,
                          miTag light, miInteger* samples);

// The address of a driven parameter's value for this call. Unbound: the
// parameter's own address.
void* mi_phen_eval(miState* state, void* parameter);

}  // namespace lumaveil::mr
