// The scattering model as Viewport 2.0's fragments compute it: the same
// formulas, constants, guards and order as the node's evaluation
// (model/shadingAccumulator.h and the model's helpers it calls).
//
// Written once, in HLSL's spelling; generateFragments.cmake cuts it into the
// sections named by "//# section" lines, and writes each fragment's source
// from the sections it lists: as it stands for HLSL, and for GLSL with float2,
// float3 and float4 spelt vec2, vec3 and vec4. Every global name begins with
// LV_, which becomes the fragment's own prefix: Maya pastes the sources of a
// graph's fragments into one shader, where two helpers of one name would
// clash. @LV_ALBEDO_TABLE@ is where the albedo table's 2001 entries go, as each
// language declares a constant array.
//
// Only what both languages mean alike is used: no vector constructors from
// one scalar, no lerp, saturate or mul, floats written with a point. The
// struct lumaVeilSurfaceOutput is declared by the fragment of its name.

//# section held
// The largest float; beyond it a value is infinite or NaN.
static const float LV_FLOAT_MAX = 3.402823466e38;

// What each attribute holds where its value is not finite (the node's
// defaults), and the physical ranges the model holds values to.
static const float LV_DEFAULT_color = 0.5;
static const float LV_DEFAULT_transparency = 0.0;
static const float LV_DEFAULT_ambientColor = 0.0;
static const float LV_DEFAULT_incandescence = 0.0;
static const float LV_DEFAULT_diffuse = 0.8;
static const float LV_DEFAULT_absorption = 0.5;
static const float LV_DEFAULT_scattering = 0.5;
static const float LV_DEFAULT_refractiveIndex = 1.333;
static const float LV_DEFAULT_anisotropy = 0.2;
static const float LV_DEFAULT_diffuseReflection = 2.0;
static const float LV_DEFAULT_diffuseAnisotropy = 0.2;
static const float LV_DEFAULT_diffuseScatter = 2.0;
static const float LV_DEFAULT_eccentricity = 0.1;
static const float LV_DEFAULT_specularRollOff = 0.7;
static const float LV_DEFAULT_specularColor = 0.5;
static const float LV_MIN_refractiveIndex = 1.0;
static const float LV_MIN_absorption = 0.0;
static const float LV_MIN_scattering = 0.0;
static const float LV_MIN_transparency = 0.0;
static const float LV_MAX_transparency = 1.0;
// The smallest normal float: a squared length below it has lost its
// precision.
static const float LV_FLOAT_MIN = 1.175494351e-38;
// A normal whose squared length is off 1 by no more than this counts as
// unit: rounding leaves a normalized vector within a few ulp of it.
static const float LV_UNIT_LENGTH_SQUARED_TOLERANCE = 1.0e-5;

// Asked of isnan and isinf: GPU compilers may take a comparison for one
// that no NaN or infinity reaches, and fold it.
bool LV_finite(float x) {
    return !(isnan(x) || isinf(x));
}

bool LV_finite3(float3 v) {
    return LV_finite(v.x) && LV_finite(v.y) && LV_finite(v.z);
}

// A value that is not finite acts as the attribute's default.
float LV_held(float x, float fallback) {
    return LV_finite(x) ? x : fallback;
}

float3 LV_held3(float3 v, float fallback) {
    return float3(LV_held(v.x, fallback), LV_held(v.y, fallback), LV_held(v.z, fallback));
}

float3 LV_heldAtLeast3(float3 v, float fallback, float lowest) {
    float3 h = LV_held3(v, fallback);
    return float3(max(h.x, lowest), max(h.y, lowest), max(h.z, lowest));
}

float3 LV_heldTransparency(float3 v) {
    float3 h = LV_held3(v, LV_DEFAULT_transparency);
    return clamp(h, float3(LV_MIN_transparency, LV_MIN_transparency, LV_MIN_transparency),
                 float3(LV_MAX_transparency, LV_MAX_transparency, LV_MAX_transparency));
}

// v / |v|. The zero vector has no direction and is returned unchanged.
float3 LV_unitVector(float3 v) {
    float len = sqrt(dot(v, v));
    if (len == 0.0) {
        return v;
    }
    return v / len;
}

// v scaled by the reciprocal of its length; the zero vector stays zero.
float3 LV_normalizeVector(float3 v) {
    float len = sqrt(dot(v, v));
    if (len != 0.0) {
        float r = 1.0 / len;
        return v * r;
    }
    return v;
}

// v made unit through its largest component, so that a vector whose
// squared length overflows or underflows keeps its direction; false for the
// zero vector and one that is not finite, which have none.
bool LV_directionOf(float3 v, out float3 direction) {
    direction = v;
    if (!LV_finite3(v)) {
        return false;
    }
    float largest = max(abs(v.x), max(abs(v.y), abs(v.z)));
    if (largest == 0.0) {
        return false;
    }
    direction = LV_normalizeVector(v / largest);
    return true;
}

// The node's pointCamera from Maya's Vw (towards the eye): only its
// direction counts. One that cannot be told is straight down the camera's
// axis.
float3 LV_pointCamera(float3 Vw) {
    float3 p = -Vw;
    if (!LV_finite3(p)) {
        return float3(0.0, 0.0, -1.0);
    }
    float distanceSquared = dot(p, p);
    if (distanceSquared != 0.0 && (distanceSquared < LV_FLOAT_MIN || isinf(distanceSquared))) {
        float3 direction;
        LV_directionOf(p, direction);
        return direction;
    }
    return p;
}

// A normal whose length is off 1 by more than rounding is made unit (unit
// normals keep their bits); one that has no direction faces the eye, or the
// camera where the point sits on the eye.
float3 LV_heldNormal(float3 n, float3 pointCamera) {
    float3 held = n;
    if (!(abs(dot(n, n) - 1.0) <= LV_UNIT_LENGTH_SQUARED_TOLERANCE) &&
        !LV_directionOf(n, held)) {
        float3 towardsEye;
        if (LV_directionOf(-pointCamera, towardsEye)) {
            return towardsEye;
        }
        return float3(0.0, 0.0, 1.0);
    }
    return held;
}

// Per channel: NaN and values below 0 become 0, +inf the largest float.
float LV_heldChannel(float x) {
    if (isnan(x) || x < 0.0) {
        return 0.0;
    }
    if (isinf(x)) {
        return LV_FLOAT_MAX;
    }
    return x;
}

float3 LV_heldColour(float3 c) {
    return float3(LV_heldChannel(c.x), LV_heldChannel(c.y), LV_heldChannel(c.z));
}

// The largest channel of a light's irradiance, which stands for the node's
// pre-shadow intensity: the light's intensity, its colour's brightest
// channel being 1.
float LV_irradianceScale(float3 irradiance) {
    return max(irradiance.x, max(irradiance.y, irradiance.z));
}

//# section diffuse
// The single-precision values nearest pi and -4/3.
static const float LV_PI = 3.1415927;
static const float LV_MINUS_FOUR_THIRDS = -1.3333334;
// The transmitted cosine's weight in the Fresnel reflectance.
static const float LV_FRESNEL_WEIGHT = 1.1;
// The albedo table: entry i is the reduced albedo of reflectance i / 2000.
static const int LV_ALBEDO_TABLE_SIZE = 2001;
static const float LV_ALBEDO_INDEX_SCALE = 2000.0;
@LV_ALBEDO_TABLE@

// What the view side gives every light of a sample.
struct LV_ViewSide {
    float3 reducedAlbedo;     // a'
    float3 boundaryFactor;    // exp((A q) s) + 1
    float3 escapeFactor;      // exp(-s)
    float3 transmittedAlbedo; // rho * Ft
    float viewCosine;
};

// The index floor(reflectance * 2000), kept inside the table: indices below
// 0 and NaN give 0, indices above 2000 give 2000.
int LV_albedoIndex(float reflectance) {
    float x = reflectance * LV_ALBEDO_INDEX_SCALE;
    if (!(x >= 0.0)) {
        return 0;
    }
    if (x >= LV_ALBEDO_INDEX_SCALE) {
        return LV_ALBEDO_TABLE_SIZE - 1;
    }
    return int(floor(x));
}

// The surface's Fresnel reflectance with its transmitted cosine weighted by
// 1.1. Total internal reflection, a zero incident or transmitted cosine, and
// a direction meeting the surface from behind n give 1.
float LV_fresnelReflectance(float3 i, float3 n, float eta) {
    float ci = dot(-i, n);
    if (ci < 0.0) {
        return 1.0;
    }
    float k = 1.0 - (1.0 - ci * ci) * (eta * eta);
    if (k < 0.0) {
        return 1.0;
    }
    float3 t = LV_FRESNEL_WEIGHT * ((ci * eta - sqrt(k)) * n + eta * i);
    float ct = dot(-n, t);
    if (ci == 0.0 || ct == 0.0) {
        return 1.0;
    }
    float a = ct / ci;
    float b = ci / ct;
    float r1 = (a - eta) / (a + eta);
    float r2 = (b - eta) / (b + eta);
    return ((r1 * r1 + r2 * r2) * 0.5) * LV_FRESNEL_WEIGHT + (1.0 - LV_FRESNEL_WEIGHT);
}

// Direction i refracted through the unit normal n; total internal
// reflection and exact grazing give the zero vector.
float3 LV_refractDirection(float3 i, float3 n, float eta) {
    float d = dot(i, n);
    float k = 1.0 - (1.0 - d * d) * (eta * eta);
    if (k > 0.0) {
        return eta * i - (d * eta + sqrt(k)) * n;
    }
    return float3(0.0, 0.0, 0.0);
}

// x^1.5 as x sqrt(x); the base of the phase weight is never below 0 for a
// unit cosine, and one past it is held at 0 rather than left to the GPU's
// square root of a negative number.
float LV_powOneAndHalf(float x) {
    float base = max(x, 0.0);
    return base * sqrt(base);
}

// (1 - g^2) / (1 + 2 g mu + 2 g^2)^1.5.
float LV_phaseWeight(float g, float mu) {
    return (1.0 - g * g) / LV_powOneAndHalf(((2.0 * g) * mu + 1.0) + 2.0 * (g * g));
}

// The channel's diffusion terms from its albedo entry and the boundary
// factor's exponent scale A q.
void LV_diffusionChannel(float reflectance, float exponentScale, out float reducedAlbedo,
                         out float boundaryFactor, out float escapeFactor) {
    reducedAlbedo = LV_albedoTable[LV_albedoIndex(reflectance)];
    float s = sqrt((1.0 - reducedAlbedo) * 3.0);
    boundaryFactor = exp(exponentScale * s) + 1.0;
    escapeFactor = exp(-s);
}

// rho * Ft per channel; a medium that neither scatters nor absorbs has none.
float LV_transmittedAlbedo(float scattering, float absorption, float transmission) {
    float extinction = absorption + scattering;
    if (extinction != 0.0) {
        return transmission * (scattering / extinction);
    }
    return 0.0;
}

LV_ViewSide LV_prepareViewSide(float3 color, float diffuseReflection, float3 absorption,
                               float3 scattering, float3 n, float3 v, float eta) {
    LV_ViewSide side;
    float exponentScale = diffuseReflection * LV_MINUS_FOUR_THIRDS;
    float a;
    float bf;
    float esc;
    LV_diffusionChannel(color.x, exponentScale, a, bf, esc);
    side.reducedAlbedo.x = a;
    side.boundaryFactor.x = bf;
    side.escapeFactor.x = esc;
    LV_diffusionChannel(color.y, exponentScale, a, bf, esc);
    side.reducedAlbedo.y = a;
    side.boundaryFactor.y = bf;
    side.escapeFactor.y = esc;
    LV_diffusionChannel(color.z, exponentScale, a, bf, esc);
    side.reducedAlbedo.z = a;
    side.boundaryFactor.z = bf;
    side.escapeFactor.z = esc;
    float viewTransmission = 1.0 - LV_fresnelReflectance(v, n, eta);
    side.transmittedAlbedo =
        float3(LV_transmittedAlbedo(scattering.x, absorption.x, viewTransmission),
               LV_transmittedAlbedo(scattering.y, absorption.y, viewTransmission),
               LV_transmittedAlbedo(scattering.z, absorption.z, viewTransmission));
    side.viewCosine = abs(dot(n, v));
    return side;
}

// One light's subsurface term, divided by the divisor, for the light from l.
float3 LV_subsurface(LV_ViewSide side, float3 color, float anisotropy, float diffuseAnisotropy,
                     float diffuseScatter, float3 n, float eta, float3 l,
                     float preShadowIntensity, float divisor) {
    float3 refracted = LV_normalizeVector(LV_refractDirection(-l, n, eta));
    float mu = dot(n, -l);
    float p1 = LV_phaseWeight(anisotropy, mu);
    float p2 = anisotropy == diffuseAnisotropy ? p1 : LV_phaseWeight(diffuseAnisotropy, mu);
    float m = abs(dot(n, refracted)) + side.viewCosine;
    float phaseOverPath = m != 0.0 ? p1 / m : 0.0;
    float3 single = side.transmittedAlbedo * phaseOverPath;
    float3 diffusion =
        (side.boundaryFactor * ((p2 * side.reducedAlbedo) * 0.5)) * side.escapeFactor / LV_PI;
    return ((((diffusion + single) * preShadowIntensity) * color) * diffuseScatter) / divisor;
}

// One light's Lambert term.
float3 LV_lambert(float diffuse, float3 color, float nl, float3 intensity) {
    if (nl > 0.0) {
        return ((nl * diffuse) * intensity) * color;
    }
    return float3(0.0, 0.0, 0.0);
}

// The blend of the subsurface and Lambert sums: 0.25 and 0.75, as two
// half-and-half blends.
float3 LV_blend(float3 subsurface, float3 lambert) {
    float3 mixed = 0.5 * subsurface + 0.5 * lambert;
    return 0.5 * mixed + 0.5 * lambert;
}

//# section specular
// acos(x) for x in [-1, 1] to within a few units in the last place: a GPU's
// own acos may be off by 1e-4 radians (llvmpipe's is), which a narrow lobe
// turns into a visibly different highlight. Abramowitz and Stegun's 4.4.46,
// good to 2e-8 on [0, 1], and acos(x) = pi - acos(-x) below 0.
float LV_acos(float x) {
    float a = abs(x);
    float p = -0.0012624911;
    p = p * a + 0.0066700901;
    p = p * a - 0.0170881256;
    p = p * a + 0.0308918810;
    p = p * a - 0.0501743046;
    p = p * a + 0.0889789874;
    p = p * a - 0.2145988016;
    p = p * a + 1.5707963050;
    float r = sqrt(1.0 - a) * p;
    return x < 0.0 ? 3.14159265 - r : r;
}

// exp(-(acos(c) / w)^2) for the cosine c between the normal and the half
// vector, given 1 / w. The cosine is held to [-1, 1], where acos is defined.
float LV_gaussianLobe(float cosine, float inverseWidth) {
    float offCentre = LV_acos(clamp(cosine, -1.0, 1.0));
    float angle = offCentre == 0.0 ? 0.0 : offCentre * inverseWidth;
    return exp(-(angle * angle));
}

// One light's highlight from l, for the eye direction e.
float3 LV_specular(float eccentricity, float specularRollOff, float3 specularColor, float3 n,
                   float3 e, float3 l, float3 intensity) {
    if (eccentricity == 0.0) {
        return float3(0.0, 0.0, 0.0);
    }
    float nl = dot(l, n);
    float ne = dot(n, e);
    float3 h = LV_normalizeVector(l + e);
    float nh = dot(n, h);
    float he = dot(h, e);
    // A light exactly opposite the eye has no half vector and no lobe.
    if (he == 0.0) {
        return float3(0.0, 0.0, 0.0);
    }
    float gauss = LV_gaussianLobe(nh, 1.0 / eccentricity) * specularRollOff;
    float t = nl <= ne ? nl : ne;
    float geometry = ((nh * 2.0) * t) / he;
    if (geometry > 1.0) {
        geometry = 1.0;
    }
    return ((gauss * intensity) * geometry) * specularColor;
}

//# section combine
// The light-independent terms, the transparency, the highlight on top, and
// a colour that is finite and not negative.
float3 LV_combine(float3 color, float3 transparency, float3 ambientColor, float3 incandescence,
                  float3 blended, float3 specular, float3 ambient) {
    float3 base = ((blended + ambientColor * color) + incandescence) + ambient;
    base = (float3(1.0, 1.0, 1.0) - transparency) * base;
    return LV_heldColour(specular + base);
}

//# section lightDiffuse
// Light API v1: the diffuse channel of the light loop's accumulator for one
// light, the Lambert term and the subsurface glow blended as the node blends
// their sums. The accumulator gives no light count: the glow is not divided.
float3 LV_entry(float3 color, float diffuse, float3 absorption, float3 scattering,
                float refractiveIndex, float anisotropy, float diffuseReflection,
                float diffuseAnisotropy, float diffuseScatter, float3 Nw, float3 Vw, float3 Lw,
                float3 diffuseI) {
    // A light that is not finite adds nothing. (The node also passes over
    // a light whose specular irradiance alone is not finite; this channel
    // does not see it.)
    if (!LV_finite3(Lw) || !LV_finite3(diffuseI)) {
        return float3(0.0, 0.0, 0.0);
    }
    float3 c = LV_held3(color, LV_DEFAULT_color);
    float3 p = LV_pointCamera(Vw);
    float3 v = LV_unitVector(p);
    float3 n = LV_heldNormal(Nw, p);
    float eta = 1.0 / max(LV_held(refractiveIndex, LV_DEFAULT_refractiveIndex),
                          LV_MIN_refractiveIndex);
    LV_ViewSide side = LV_prepareViewSide(
        c, LV_held(diffuseReflection, LV_DEFAULT_diffuseReflection),
        LV_heldAtLeast3(absorption, LV_DEFAULT_absorption, LV_MIN_absorption),
        LV_heldAtLeast3(scattering, LV_DEFAULT_scattering, LV_MIN_scattering), n, v, eta);
    float3 subsurface =
        LV_subsurface(side, c, LV_held(anisotropy, LV_DEFAULT_anisotropy),
                      LV_held(diffuseAnisotropy, LV_DEFAULT_diffuseAnisotropy),
                      LV_held(diffuseScatter, LV_DEFAULT_diffuseScatter), n, eta, Lw,
                      LV_irradianceScale(diffuseI), 1.0);
    float3 lambert =
        LV_lambert(LV_held(diffuse, LV_DEFAULT_diffuse), c, dot(Lw, n), diffuseI);
    return LV_blend(subsurface, lambert);
}

//# section lightSpecular
// Light API v1: the specular channel of the light loop's accumulator for one
// light.
float3 LV_entry(float eccentricity, float specularRollOff, float3 specularColor, float3 Nw,
                float3 Vw, float3 HLw, float3 specularI) {
    if (!LV_finite3(HLw) || !LV_finite3(specularI)) {
        return float3(0.0, 0.0, 0.0);
    }
    float3 p = LV_pointCamera(Vw);
    float3 v = LV_unitVector(p);
    float3 n = LV_heldNormal(Nw, p);
    return LV_specular(LV_held(eccentricity, LV_DEFAULT_eccentricity),
                       LV_held(specularRollOff, LV_DEFAULT_specularRollOff),
                       LV_held3(specularColor, LV_DEFAULT_specularColor), n, -v, HLw, specularI);
}

//# section combineEntry
// Light API v1: the accumulator's sums, Maya's ambient light and the
// material's own light into the node's outColor.
float3 LV_entry(float3 color, float3 transparency, float3 ambientColor, float3 incandescence,
                float3 scaledDiffuse, float3 scaledSpecular, float3 ambientIn) {
    float3 c = LV_held3(color, LV_DEFAULT_color);
    return LV_combine(c, LV_heldTransparency(transparency),
                      LV_held3(ambientColor, LV_DEFAULT_ambientColor),
                      LV_held3(incandescence, LV_DEFAULT_incandescence), scaledDiffuse,
                      scaledSpecular, ambientIn * c);
}

//# section lightFunctionsEntry
// Light API v2: every light through Maya's light functions, the glow of each
// divided by their count as the node divides it, into the node's outColor.
float3 LV_entry(float3 color, float3 transparency, float3 ambientColor, float3 incandescence,
                float diffuse, float3 absorption, float3 scattering, float refractiveIndex,
                float anisotropy, float diffuseReflection, float diffuseAnisotropy,
                float diffuseScatter, float eccentricity, float specularRollOff,
                float3 specularColor, float3 Nw, float3 Vw, float3 Pw) {
    float3 c = LV_held3(color, LV_DEFAULT_color);
    float3 p = LV_pointCamera(Vw);
    float3 v = LV_unitVector(p);
    float3 n = LV_heldNormal(Nw, p);
    float eta = 1.0 / max(LV_held(refractiveIndex, LV_DEFAULT_refractiveIndex),
                          LV_MIN_refractiveIndex);
    float g1 = LV_held(anisotropy, LV_DEFAULT_anisotropy);
    float g2 = LV_held(diffuseAnisotropy, LV_DEFAULT_diffuseAnisotropy);
    float weight = LV_held(diffuseScatter, LV_DEFAULT_diffuseScatter);
    float lambertWeight = LV_held(diffuse, LV_DEFAULT_diffuse);
    float ecc = LV_held(eccentricity, LV_DEFAULT_eccentricity);
    float rollOff = LV_held(specularRollOff, LV_DEFAULT_specularRollOff);
    float3 highlightColor = LV_held3(specularColor, LV_DEFAULT_specularColor);
    LV_ViewSide side = LV_prepareViewSide(
        c, LV_held(diffuseReflection, LV_DEFAULT_diffuseReflection),
        LV_heldAtLeast3(absorption, LV_DEFAULT_absorption, LV_MIN_absorption),
        LV_heldAtLeast3(scattering, LV_DEFAULT_scattering, LV_MIN_scattering), n, v, eta);

    int count = mayaGetNumLights();
    float divisor = float(count);
    float3 subsurfaceSum = float3(0.0, 0.0, 0.0);
    float3 lambertSum = float3(0.0, 0.0, 0.0);
    float3 specularSum = float3(0.0, 0.0, 0.0);
    for (int i = 0; i < count; ++i) {
        irradiance light = mayaGetLightIrradiance(i, Pw, Nw, Vw);
        float3 l = light.Ld;
        // A light that is not finite adds nothing, and still counts.
        if (LV_finite3(l) && LV_finite3(light.diffuseI) && LV_finite3(light.specularI)) {
            subsurfaceSum = LV_subsurface(side, c, g1, g2, weight, n, eta, l,
                                          LV_irradianceScale(light.diffuseI), divisor) +
                            subsurfaceSum;
            lambertSum = LV_lambert(lambertWeight, c, dot(l, n), light.diffuseI) + lambertSum;
            specularSum = LV_specular(ecc, rollOff, highlightColor, n, -v, l, light.specularI) +
                          specularSum;
        }
    }
    return LV_combine(c, LV_heldTransparency(transparency),
                      LV_held3(ambientColor, LV_DEFAULT_ambientColor),
                      LV_held3(incandescence, LV_DEFAULT_incandescence),
                      LV_blend(subsurfaceSum, lambertSum), specularSum,
                      float3(0.0, 0.0, 0.0));
}

//# section surfaceFinalEntry
// The surface output: the colour premultiplied by the opacity, as Maya's own
// surfaces hand it over, and the pixel with the mean opacity as its alpha.
lumaVeilSurfaceOutput LV_entry(float3 outColor, float3 transparency) {
    float3 t = LV_heldTransparency(transparency);
    float3 opacity = float3(1.0, 1.0, 1.0) - t;
    lumaVeilSurfaceOutput result;
    result.outColor = outColor * opacity;
    result.outTransparency = t;
    result.outSurfaceFinal =
        float4(result.outColor.x, result.outColor.y, result.outColor.z,
               (opacity.x + opacity.y + opacity.z) / 3.0);
    return result;
}

//# section surfaceOutputStruct
struct lumaVeilSurfaceOutput {
    float3 outColor;
    float3 outTransparency;
    float4 outSurfaceFinal;
};

//# section passThroughEntry
// One input fed to several fragments of a graph.
float3 LV_entry(float3 value) {
    return value;
}
