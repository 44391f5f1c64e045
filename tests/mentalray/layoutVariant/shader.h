// A variant of the stand-in renderer's <shader.h> with the same names and
// other layouts: the records the shader reads through the state have fields
// before and between the ones it uses, in another order, and are larger. A
// shader and a stand-in renderer built against it must agree through the names
// alone, so the shader suites catch any code that leans on where a field lies.
//   cmake -DMENTALRAY_INCLUDE_DIR=<this folder> ...
#pragma once

#include <cstdint>

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

struct miFunction {
    double creation_time;
    miTag function_decl;
    miInteger label;
    char name[40];
    miInteger ghost_offs;
    miInteger result_size;
    miTag next_function;
    miInteger parameter_size;
    void* user_data[3];
};

struct miOptions;

struct miState {
    double time_of_day[5];
    miFunction* shader;
    miInteger thread;
    miVector normal_geom;
    char scratch[24];
    miVector normal;
    miScalar dot_nd;
    const miState* parent;
    void* pri;
    miInteger pri_idx;
    miScalar bary[4];
    double dist;
    miVector dir;
    miInteger type;
    miVector org;
    miVector point;
    miScalar time;
    miScalar ior_in;
    miScalar ior;
    const miOptions* options;
    miTag material;
    miTag instance;
    miTag light_instance;
    miInteger reflection_level;
    miInteger refraction_level;
    miInteger raster_x;
    miInteger raster_y;
    void* user;
    miInteger user_size;
    double future[16];
};

miBoolean mi_compute_irradiance(miColor* result, miState* state);
miBoolean mi_sample_light(miColor* color, miVector* direction, miScalar* dot_nl, miState* state,
                          miTag light, miInteger* samples);
void* mi_phen_eval(miState* state, void* parameter);

}  // extern "C"
