// The parameter block of qv7k_lumaVeil, as the renderer lays it out from the
// shader's declaration (qv7k_lumaVeil.mi). It is a binary interface: the
// offsets below are fixed, and the same in 32-bit and 64-bit builds.
#pragma once

#include <cstddef>

#include <shader.h>

namespace lumaveil::mr {

struct ShaderParams {
    miColor color;
    miColor ambientColor;
    miColor incandescence;
    miVector normalCamera;  // added to the state's normal before renormalising
    miScalar diffuse;
    miColor absorption;
    miColor scattering;
    miScalar refractiveIndex;
    miScalar anisotropy;
    miScalar diffuseReflection;
    miScalar diffuseAnisotropy;
    miScalar diffuseScatter;
    miScalar eccentricity;
    miScalar specularRollOff;
    miColor specularColor;
    miBoolean useIrradiance;
    miColor irradianceColor;
    // The light list: elements light[i_light] to light[i_light + n_light - 1],
    // indexed from the slot's address, possibly past the end of the record.
    miInteger i_light;
    miInteger n_light;
    miTag light[1];
};

static_assert(offsetof(ShaderParams, color) == 0);
static_assert(offsetof(ShaderParams, ambientColor) == 16);
static_assert(offsetof(ShaderParams, incandescence) == 32);
static_assert(offsetof(ShaderParams, normalCamera) == 48);
static_assert(offsetof(ShaderParams, diffuse) == 60);
static_assert(offsetof(ShaderParams, absorption) == 64);
static_assert(offsetof(ShaderParams, scattering) == 80);
static_assert(offsetof(ShaderParams, refractiveIndex) == 96);
static_assert(offsetof(ShaderParams, anisotropy) == 100);
static_assert(offsetof(ShaderParams, diffuseReflection) == 104);
static_assert(offsetof(ShaderParams, diffuseAnisotropy) == 108);
static_assert(offsetof(ShaderParams, diffuseScatter) == 112);
static_assert(offsetof(ShaderParams, eccentricity) == 116);
static_assert(offsetof(ShaderParams, specularRollOff) == 120);
static_assert(offsetof(ShaderParams, specularColor) == 124);
static_assert(offsetof(ShaderParams, useIrradiance) == 140);
static_assert(offsetof(ShaderParams, irradianceColor) == 144);
static_assert(offsetof(ShaderParams, i_light) == 160);
static_assert(offsetof(ShaderParams, n_light) == 164);
static_assert(offsetof(ShaderParams, light) == 168);
static_assert(sizeof(ShaderParams) == 172);
static_assert(alignof(ShaderParams) == 4);

}  // namespace lumaveil::mr
