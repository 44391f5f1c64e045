// A renderer module that lacks mi_compute_irradiance and mi_phen_eval, for
// the shader's failure path. Its mi_sample_light delivers one white sample
// from straight along +z for any light.
#include <shader.h>

#if defined(_WIN32)
#define INCOMPLETE_EXPORT extern "C" __declspec(dllexport)
#else
#define INCOMPLETE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

INCOMPLETE_EXPORT miBoolean mi_sample_light(miColor* color, miVector* direction, miScalar* dot_nl,
                                            miState* /*state*/, miTag /*light*/,
                                            miInteger* samples) {
    if (*samples > 0) {
        return miFALSE;
    }
    *color = miColor{1.0f, 1.0f, 1.0f, 1.0f};
    *direction = miVector{0.0f, 0.0f, 1.0f};
    *dot_nl = 1.0f;
    ++*samples;
    return miTRUE;
}
