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

#include <atomic>

#include <shader.h>

namespace lumaveil::mr {

namespace binding {

using AnyFunction = void (*)();

// The addresses found so far, by slot: read inline by the forwarders that run
// per light sample, filled and cleared by binding.cpp. The cache has room for
// 500 renderer functions, of which this shader reaches three, in the slots it
// has always kept them in. Nothing depends on the numbers beyond being
// distinct and below cacheSize; they stay so that the library's data keeps
// its layout.
inline constexpr int cacheSize = 500;
inline constexpr int computeIrradianceSlot = 50;
inline constexpr int sampleLightSlot = 85;
inline constexpr int phenEvalSlot = 91;
extern std::atomic<AnyFunction> dl_cache[cacheSize];

// mi_sample_light while its address is not cached: looks it up, and calls it
// or gives the unbound outcome.
miBoolean sampleLightLookingUp(miColor* color, miVector* direction, miScalar* dot_nl,
                               miState* state, miTag light, miInteger* samples);

}  // namespace binding

// Writes the irradiance at the state's point into result. Unbound: black.
miBoolean mi_compute_irradiance(miColor* result, miState* state);

// Delivers the next sample of a light: its colour, the direction towards it
// and a cosine, counting the samples in *samples. True while a sample was
// delivered. Unbound: false, with nothing written. Inline, as it runs twice
// per light sample: a cached address costs a load and the call through it.
inline miBoolean mi_sample_light(miColor* color, miVector* direction, miScalar* dot_nl,
                                 miState* state, miTag light, miInteger* samples) {
    using Function = miBoolean (*)(miColor*, miVector*, miScalar*, miState*, miTag, miInteger*);
    const binding::AnyFunction cached =
        binding::dl_cache[binding::sampleLightSlot].load(std::memory_order_acquire);
    if (cached != nullptr) {
        return reinterpret_cast<Function>(cached)(color, direction, dot_nl, state, light, samples);
    }
    return binding::sampleLightLookingUp(color, direction, dot_nl, state, light, samples);
}

// The address of a driven parameter's value for this call. Unbound: the
// parameter's own address.
void* mi_phen_eval(miState* state, void* parameter);

}  // namespace lumaveil::mr
