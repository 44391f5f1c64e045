// Binding to the renderer's functions. The only platform-specific code of the
// shader: the by-name lookup in a loaded module and its error code.
#include "mentalray/binding.h"

#include <atomic>
#include <cinttypes>
#include <cstdint>
#include <cstdio>

#include "mentalray/exports.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace lumaveil::mr {

namespace binding {

// Addresses of the renderer's functions, filled on first use. Each slot is
// read and written as one atomic pointer, so threads that resolve the same
// name at once both store the same address.
std::atomic<AnyFunction> dl_cache[cacheSize];

}  // namespace binding

using namespace binding;

namespace {

// The renderer's module, as miSetModuleHandle last gave it.
std::atomic<void*> dl_handle{nullptr};

struct Lookup {
    AnyFunction function;
    int error;
};

Lookup lookUp(void* handle, const char* name) {
#if defined(_WIN32)
    const FARPROC found = GetProcAddress(static_cast<HMODULE>(handle), name);
    return {reinterpret_cast<AnyFunction>(found), found ? 0 : static_cast<int>(GetLastError())};
#else
    // dlsym would read a null handle as "every loaded module"; here it
    // designates no module, as on Windows, and the lookup finds nothing.
    // dlsym reports failures as text only, so the error code is 0.
    if (handle == nullptr) {
        return {nullptr, 0};
    }
    return {reinterpret_cast<AnyFunction>(dlsym(handle, name)), 0};
#endif
}

// Looks a name up in the renderer's module and caches what it finds; says so
// on standard error when it finds nothing.
AnyFunction lookUpAndCache(int slot, const char* name) {
    void* const handle = dl_handle.load(std::memory_order_acquire);
    if (handle == nullptr) {
        std::fputs("DYNLOAD: dl_handle null\n", stderr);
    }
    const Lookup found = lookUp(handle, name);
    if (found.function == nullptr) {
        // All hex digits of the handle, at least eight.
        std::fprintf(stderr, "dlsym failed on \"%s\" (handle: %08" PRIxPTR " error: %d)\n", name,
                     reinterpret_cast<std::uintptr_t>(handle), found.error);
        return nullptr;
    }
    dl_cache[slot].store(found.function, std::memory_order_release);
    return found.function;
}

// The cached address, read without a call: the forwarders run per light
// sample. Only a name not yet found goes on to the lookup.
inline AnyFunction resolve(int slot, const char* name) {
    if (const AnyFunction cached = dl_cache[slot].load(std::memory_order_acquire)) {
        return cached;
    }
    return lookUpAndCache(slot, name);
}

}  // namespace

miBoolean mi_compute_irradiance(miColor* result, miState* state) {
    using Function = miBoolean (*)(miColor*, miState*);
    if (const AnyFunction f = resolve(computeIrradianceSlot, "mi_compute_irradiance")) {
        return reinterpret_cast<Function>(f)(result, state);
    }
    *result = miColor{};
    return miFALSE;
}

miBoolean binding::sampleLightLookingUp(miColor* color, miVector* direction, miScalar* dot_nl,
                                        miState* state, miTag light, miInteger* samples) {
    using Function = miBoolean (*)(miColor*, miVector*, miScalar*, miState*, miTag, miInteger*);
    if (const AnyFunction f = resolve(sampleLightSlot, "mi_sample_light")) {
        return reinterpret_cast<Function>(f)(color, direction, dot_nl, state, light, samples);
    }
    return miFALSE;
}

void* mi_phen_eval(miState* state, void* parameter) {
    using Function = void* (*)(miState*, void*);
    if (const AnyFunction f = resolve(phenEvalSlot, "mi_phen_eval")) {
        return reinterpret_cast<Function>(f)(state, parameter);
    }
    return parameter;
}

}  // namespace lumaveil::mr

// Stores the renderer's module handle and forgets every function found so
// far, so that a later call rebinds them all.
LUMAVEIL_MR_EXPORT int miSetModuleHandle(void* handle) {
    using namespace lumaveil::mr;
    using namespace lumaveil::mr::binding;
    dl_handle.store(handle, std::memory_order_release);
    for (std::atomic<AnyFunction>& slot : dl_cache) {
        slot.store(nullptr, std::memory_order_release);
    }
    return 0;
}

#if defined(_WIN32)
// The library accepts every load and unload notification.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
#endif
