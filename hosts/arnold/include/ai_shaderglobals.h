// lumaVeil's stand-in of the Arnold SDK: the shading context of one call,
// with the members in the SDK's order, and the value a shader returns in it.
#pragma once

#include <cstdint>
#include <new>

#include "ai_closure.h"
#include "ai_types.h"

// Sixteen bytes holding one output value of a node.
struct AtParamValue {
    float& FLT() { return *std::launder(reinterpret_cast<float*>(storage_)); }
    AtRGB& RGB() { return *std::launder(reinterpret_cast<AtRGB*>(storage_)); }
    AtClosureList& CLOSURE() { return *std::launder(reinterpret_cast<AtClosureList*>(storage_)); }

private:
    alignas(8) unsigned char storage_[16];
};

struct AtLightSample;
struct AtShaderGlobalsPrivate;

struct AtShaderGlobals {
    int32_t x, y;
    float px, py;
    uint16_t si, transp_index;
    AtVector Ro;  // ray origin: the eye for camera rays
    AtVector Rd;  // normalized ray direction
    float Rl;
    uint16_t tid;
    uint8_t Rt, bounces, bounces_diffuse, bounces_specular, bounces_reflect, bounces_transmit,
        bounces_volume;
    bool fhemi;  // light from the upper hemisphere only
    float time;
    AtNode *Op, *proc, *shader;
    const AtShaderGlobals* psg;
    AtVector Po, P, dPdx, dPdy, N, Nf, Ng, Ngf, Ns;
    float bu, bv, u, v;
    uint32_t fi;
    AtMatrix M, Minv;
    AtNode** lights;
    AtLightSample* light_filter;
    uint32_t nlights;  // the lights that affect the point, not their samples
    AtVector dPdu, dPdv, dDdx, dDdy, dNdx, dNdy;
    float dudx, dudy, dvdx, dvdy;
    bool skip_shadow;
    uint8_t sc;  // shading context; a surface is 0
    bool inclusive_traceset;
    AtString traceset;
    AtParamValue out;
    AtShaderGlobalsPrivate* priv;
};
