// The stand-in renderer's SDK header: the public types a shader works with
// (the value types of its parameters, the render state and the running
// shader's function record) and the renderer functions it may call. A shader
// includes it as <shader.h>, as it includes the renderer's own; it relies on
// the names declared here, never on where a field lies in a record.
#pragma once

#include <cstdint>

// Marks this header as the stand-in's, so that the build can tell it from the
// renderer's own (see MENTALRAY_INCLUDE_DIR).
#define LUMAVEIL_STAND_IN_RENDERER 1

extern "C" {

typedef float miScalar;
typedef std::int32_t miBoolean;
typedef std::int32_t miInteger;
typedef std::uint32_t miTag;

#define miFALSE 0
#define miTRUE 1
#define miNULLTAG 0

struct miColor {
    miScalar r, g, b, a;
};

struct miVector {
    miScalar x, y, z;
};

// A shader instance as the renderer runs it. Its parameter block is followed,
// ghost_offs bytes on, by one 32-bit ghost word per parameter word: a non-zero
// ghost word marks a parameter that another shader drives.
struct miFunction {
    miTag next_function;
    miTag function_decl;
    miInteger parameter_size;
    miInteger ghost_offs;
    miInteger result_size;
    miInteger label;
};

// Renderer-private data reached through the state; opaque to shaders.
struct miOptions;

// The render state of one shading sample.
struct miState {
    const miOptions* options;
    const miState* parent;
    miInteger thread;
    miInteger type;
    miInteger reflection_level;
    miInteger refraction_level;
    miVector org;  // origin of the ray
    miVector dir;  // direction of the ray, towards the point
    double dist;   // length of the ray
    miScalar time;
    miScalar ior;
    miScalar ior_in;
    miTag material;
    miTag instance;
    miTag light_instance;
    void* pri;  // the primitive that was hit
    miInteger pri_idx;
    miScalar bary[4];
    miVector point;        // the intersection point
    miVector normal;       // interpolated, bump-mapped normal
    miVector normal_geom;  // geometric normal
    miScalar dot_nd;       // normal . -dir
    miInteger raster_x;
    miInteger raster_y;
    miFunction* shader;  // the shader being run
    void* user;
    miInteger user_size;
};

// The renderer's functions. A shader may link them, or look them up by name in
// the renderer's module.
miBoolean mi_compute_irradiance(miColor* result, miState* state);
miBoolean mi_sample_light(miColor* color, miVector* direction, miScalar* dot_nl, miState* state,
                          miTag light, miInteger* samples);
void* mi_phen_eval(miState* state, void* parameter);

}  // extern "C"
