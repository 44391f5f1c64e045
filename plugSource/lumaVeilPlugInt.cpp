// The lumaVeil node class: its attribute handles, factory and schema.
#include "lumaVeilPlugInt.h"

#include <maya/MFnLightDataAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MStatus.h>

#include <cstdio>

MTypeId lumaVeil::id(0x34729);

MObject lumaVeil::aColorR, lumaVeil::aColorG, lumaVeil::aColorB, lumaVeil::aColor;
MObject lumaVeil::aTransparencyR, lumaVeil::aTransparencyG, lumaVeil::aTransparencyB,
    lumaVeil::aTransparency;
MObject lumaVeil::aAmbientColorR, lumaVeil::aAmbientColorG, lumaVeil::aAmbientColorB,
    lumaVeil::aAmbientColor;
MObject lumaVeil::aIncandescenceR, lumaVeil::aIncandescenceG, lumaVeil::aIncandescenceB,
    lumaVeil::aIncandescence;
MObject lumaVeil::aDiffuse;
MObject lumaVeil::aAbsorptionR, lumaVeil::aAbsorptionG, lumaVeil::aAbsorptionB,
    lumaVeil::aAbsorption;
MObject lumaVeil::aScatteringR, lumaVeil::aScatteringG, lumaVeil::aScatteringB,
    lumaVeil::aScattering;
MObject lumaVeil::aRefractiveIndex;
MObject lumaVeil::aAnisotropy;
MObject lumaVeil::aDiffuseReflection;
MObject lumaVeil::aDiffuseAnisotropy;
MObject lumaVeil::aDiffuseScatter;
MObject lumaVeil::aEccentricity;
MObject lumaVeil::aSpecularRollOff;
MObject lumaVeil::aSpecularColorR, lumaVeil::aSpecularColorG, lumaVeil::aSpecularColorB,
    lumaVeil::aSpecularColor;
MObject lumaVeil::aOutColorR, lumaVeil::aOutColorG, lumaVeil::aOutColorB, lumaVeil::aOutColor;
MObject lumaVeil::aOutTransparencyR, lumaVeil::aOutTransparencyG, lumaVeil::aOutTransparencyB,
    lumaVeil::aOutTransparency;
MObject lumaVeil::aPointCameraX, lumaVeil::aPointCameraY, lumaVeil::aPointCameraZ,
    lumaVeil::aPointCamera;
MObject lumaVeil::aNormalCameraX, lumaVeil::aNormalCameraY, lumaVeil::aNormalCameraZ,
    lumaVeil::aNormalCamera;
MObject lumaVeil::aRayDirectionX, lumaVeil::aRayDirectionY, lumaVeil::aRayDirectionZ,
    lumaVeil::aRayDirection;
MObject lumaVeil::aLightDirectionX, lumaVeil::aLightDirectionY, lumaVeil::aLightDirectionZ,
    lumaVeil::aLightDirection;
MObject lumaVeil::aLightIntensityR, lumaVeil::aLightIntensityG, lumaVeil::aLightIntensityB,
    lumaVeil::aLightIntensity;
MObject lumaVeil::aLightAmbient;
MObject lumaVeil::aLightDiffuse;
MObject lumaVeil::aLightSpecular;
MObject lumaVeil::aLightShadowFraction;
MObject lumaVeil::aPreShadowIntensity;
MObject lumaVeil::aLightBlindData;
MObject lumaVeil::aLightData;

lumaVeil::lumaVeil() = default;
lumaVeil::~lumaVeil() = default;

void* lumaVeil::creator() {
    return new lumaVeil();
}

#if MAYA_API_VERSION >= 20190000
MPxNode::SchedulingType lumaVeil::schedulingType() const {
    return kParallel;
}
#else
void lumaVeil::postConstructor() {
    setMPSafe(true);
}
#endif

namespace {

// One report per failing step of the light-data block, then Maya's own text
// for the status; the block carries on after it. C's unbuffered stderr keeps
// the plug-in free of C++ streams and their static initialiser.
void reportApiError(const MStatus& status, const char* file, int line) {
    std::fprintf(stderr, "\nAPI error detected in %s at line %d\n", file, line);
    status.perror("");
}

// The calls on a colour the user edits and keys.
void makeColourInput(MFnNumericAttribute& nAttr, float r, float g, float b) {
    nAttr.setKeyable(true);
    nAttr.setStorable(true);
    nAttr.setDefault(r, g, b);
    nAttr.setUsedAsColor(true);
}

// The calls on a scalar the user edits and keys.
void makeScalarInput(MFnNumericAttribute& nAttr, float value, double softMin, double softMax) {
    nAttr.setKeyable(true);
    nAttr.setStorable(true);
    nAttr.setDefault(value);
    nAttr.setSoftMin(softMin);
    nAttr.setSoftMax(softMax);
}

void makeOutput(MFnNumericAttribute& nAttr) {
    nAttr.setHidden(false);
    nAttr.setReadable(true);
    nAttr.setWritable(false);
}

// The per-sample vectors the renderer supplies.
void makeSampleGeometry(MFnNumericAttribute& nAttr) {
    nAttr.setStorable(false);
    nAttr.setDefault(1.0f, 1.0f, 1.0f);
    nAttr.setHidden(true);
}

}  // namespace

// Each check sits on its own line, so that a report names the failing step.
#define LUMAVEIL_CHECK(expression)                        \
    do {                                                  \
        const MStatus checked_ = (expression);            \
        if (!checked_)                                    \
            reportApiError(checked_, __FILE__, __LINE__); \
    } while (false)

MStatus lumaVeil::initialize() {
    MFnNumericAttribute nAttr;
    MFnLightDataAttribute lAttr;

    aColorR = nAttr.create("colorR", "cr", MFnNumericData::kFloat, 0.5);
    aColorG = nAttr.create("colorG", "cg", MFnNumericData::kFloat, 0.5);
    aColorB = nAttr.create("colorB", "cb", MFnNumericData::kFloat, 0.5);
    aColor = nAttr.create("color", "c", aColorR, aColorG, aColorB);
    makeColourInput(nAttr, 0.5f, 0.5f, 0.5f);

    aTransparencyR = nAttr.create("transparencyR", "itr", MFnNumericData::kFloat, 0.0);
    aTransparencyG = nAttr.create("transparencyG", "itg", MFnNumericData::kFloat, 0.0);
    aTransparencyB = nAttr.create("transparencyB", "itb", MFnNumericData::kFloat, 0.0);
    aTransparency =
        nAttr.create("transparency", "it", aTransparencyR, aTransparencyG, aTransparencyB);
    makeColourInput(nAttr, 0.0f, 0.0f, 0.0f);

    aAmbientColorR = nAttr.create("ambientColorR", "ambCR", MFnNumericData::kFloat, 0.0);
    aAmbientColorG = nAttr.create("ambientColorG", "ambCG", MFnNumericData::kFloat, 0.0);
    aAmbientColorB = nAttr.create("ambientColorB", "ambCB", MFnNumericData::kFloat, 0.0);
    aAmbientColor =
        nAttr.create("ambientColor", "ambC", aAmbientColorR, aAmbientColorG, aAmbientColorB);
    makeColourInput(nAttr, 0.0f, 0.0f, 0.0f);

    aIncandescenceR = nAttr.create("incandescenceR", "ir", MFnNumericData::kFloat, 0.0);
    aIncandescenceG = nAttr.create("incandescenceG", "ig", MFnNumericData::kFloat, 0.0);
    aIncandescenceB = nAttr.create("incandescenceB", "ib", MFnNumericData::kFloat, 0.0);
    aIncandescence =
        nAttr.create("incandescence", "ic", aIncandescenceR, aIncandescenceG, aIncandescenceB);
    makeColourInput(nAttr, 0.0f, 0.0f, 0.0f);

    aDiffuse = nAttr.create("diffuse", "dfl", MFnNumericData::kFloat, 0.0);
    makeScalarInput(nAttr, 0.8f, 0.0, 1.0);

    aAbsorptionR = nAttr.create("absorptionR", "abr", MFnNumericData::kFloat, 0.5);
    aAbsorptionG = nAttr.create("absorptionG", "abg", MFnNumericData::kFloat, 0.5);
    aAbsorptionB = nAttr.create("absorptionB", "abb", MFnNumericData::kFloat, 0.5);
    aAbsorption = nAttr.create("absorption", "ab", aAbsorptionR, aAbsorptionG, aAbsorptionB);
    makeColourInput(nAttr, 0.5f, 0.5f, 0.5f);

    aScatteringR = nAttr.create("scatteringR", "str", MFnNumericData::kFloat, 0.5);
    aScatteringG = nAttr.create("scatteringG", "stg", MFnNumericData::kFloat, 0.5);
    aScatteringB = nAttr.create("scatteringB", "stb", MFnNumericData::kFloat, 0.5);
    aScattering = nAttr.create("scattering", "st", aScatteringR, aScatteringG, aScatteringB);
    makeColourInput(nAttr, 0.5f, 0.5f, 0.5f);

    // The only hard limit of the node: an index below 1 would let the
    // model meet total internal reflection. Soft minimum first, then the
    // hard one.
    aRefractiveIndex = nAttr.create("refractiveIndex", "rfi", MFnNumericData::kFloat, 0.0);
    nAttr.setKeyable(true);
    nAttr.setStorable(true);
    nAttr.setDefault(1.333f);
    nAttr.setSoftMin(1.0);
    nAttr.setMin(1.0);
    nAttr.setSoftMax(6.0);

    aAnisotropy = nAttr.create("anisotropy", "ani", MFnNumericData::kFloat, 0.0);
    makeScalarInput(nAttr, 0.2f, -1.0, 1.0);
    aDiffuseReflection = nAttr.create("diffuseReflection", "dflr", MFnNumericData::kFloat, 0.0);
    makeScalarInput(nAttr, 2.0f, 0.0, 10.0);
    aDiffuseAnisotropy = nAttr.create("diffuseAnisotropy", "dflani", MFnNumericData::kFloat, 0.0);
    makeScalarInput(nAttr, 0.2f, -1.0, 1.0);
    aDiffuseScatter = nAttr.create("diffuseScatter", "dfst", MFnNumericData::kFloat, 0.0);
    makeScalarInput(nAttr, 2.0f, 0.0, 10.0);
    aEccentricity = nAttr.create("eccentricity", "eccen", MFnNumericData::kFloat, 0.0);
    makeScalarInput(nAttr, 0.1f, 0.0, 1.0);
    aSpecularRollOff = nAttr.create("specularRollOff", "sro", MFnNumericData::kFloat, 0.0);
    makeScalarInput(nAttr, 0.7f, 0.0, 1.0);

    aSpecularColorR = nAttr.create("specularColorR", "spcr", MFnNumericData::kFloat, 0.5);
    aSpecularColorG = nAttr.create("specularColorG", "spcg", MFnNumericData::kFloat, 0.5);
    aSpecularColorB = nAttr.create("specularColorB", "spcb", MFnNumericData::kFloat, 0.5);
    aSpecularColor =
        nAttr.create("specularColor", "spc", aSpecularColorR, aSpecularColorG, aSpecularColorB);
    makeColourInput(nAttr, 0.5f, 0.5f, 0.5f);

    aOutColorR = nAttr.create("outColorR", "ocr", MFnNumericData::kFloat, 0.0);
    aOutColorG = nAttr.create("outColorG", "ocg", MFnNumericData::kFloat, 0.0);
    aOutColorB = nAttr.create("outColorB", "ocb", MFnNumericData::kFloat, 0.0);
    aOutColor = nAttr.create("outColor", "oc", aOutColorR, aOutColorG, aOutColorB);
    makeOutput(nAttr);

    aOutTransparencyR = nAttr.create("outTransparencyR", "otr", MFnNumericData::kFloat, 0.0);
    aOutTransparencyG = nAttr.create("outTransparencyG", "otg", MFnNumericData::kFloat, 0.0);
    aOutTransparencyB = nAttr.create("outTransparencyB", "otb", MFnNumericData::kFloat, 0.0);
    aOutTransparency = nAttr.create("outTransparency", "ot", aOutTransparencyR, aOutTransparencyG,
                                    aOutTransparencyB);
    makeOutput(nAttr);

    aPointCameraX = nAttr.create("pointCameraX", "px", MFnNumericData::kFloat, 1.0);
    aPointCameraY = nAttr.create("pointCameraY", "py", MFnNumericData::kFloat, 1.0);
    aPointCameraZ = nAttr.create("pointCameraZ", "pz", MFnNumericData::kFloat, 1.0);
    aPointCamera = nAttr.create("pointCamera", "pc", aPointCameraX, aPointCameraY, aPointCameraZ);
    makeSampleGeometry(nAttr);

    aNormalCameraX = nAttr.create("normalCameraX", "nx", MFnNumericData::kFloat, 1.0);
    aNormalCameraY = nAttr.create("normalCameraY", "ny", MFnNumericData::kFloat, 1.0);
    aNormalCameraZ = nAttr.create("normalCameraZ", "nz", MFnNumericData::kFloat, 1.0);
    aNormalCamera =
        nAttr.create("normalCamera", "n", aNormalCameraX, aNormalCameraY, aNormalCameraZ);
    makeSampleGeometry(nAttr);

    aRayDirectionX = nAttr.create("rayDirectionX", "rdx", MFnNumericData::kFloat, 1.0);
    aRayDirectionY = nAttr.create("rayDirectionY", "rdy", MFnNumericData::kFloat, 1.0);
    aRayDirectionZ = nAttr.create("rayDirectionZ", "rdz", MFnNumericData::kFloat, 1.0);
    aRayDirection =
        nAttr.create("rayDirection", "rad", aRayDirectionX, aRayDirectionY, aRayDirectionZ);
    makeSampleGeometry(nAttr);

    // The light-data block: every step is checked and reported, and none is
    // skipped because an earlier one failed.
    MStatus stat;

    aLightDirectionX = nAttr.create("lightDirectionX", "ldx", MFnNumericData::kFloat, 0.0, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(1.0f));
    aLightDirectionY = nAttr.create("lightDirectionY", "ldy", MFnNumericData::kFloat, 0.0, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(1.0f));
    aLightDirectionZ = nAttr.create("lightDirectionZ", "ldz", MFnNumericData::kFloat, 0.0, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(1.0f));
    aLightDirection = nAttr.create("lightDirection", "ld", aLightDirectionX, aLightDirectionY,
                                   aLightDirectionZ, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(1.0f, 1.0f, 1.0f));

    aLightIntensityR = nAttr.create("lightIntensityR", "lir", MFnNumericData::kFloat, 0.0, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(1.0f));
    aLightIntensityG = nAttr.create("lightIntensityG", "lig", MFnNumericData::kFloat, 0.0, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(1.0f));
    aLightIntensityB = nAttr.create("lightIntensityB", "lib", MFnNumericData::kFloat, 0.0, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(1.0f));
    aLightIntensity = nAttr.create("lightIntensity", "li", aLightIntensityR, aLightIntensityG,
                                   aLightIntensityB, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(1.0f, 1.0f, 1.0f));

    aLightAmbient = nAttr.create("lightAmbient", "la", MFnNumericData::kBoolean, 0.0, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(true));
    aLightDiffuse = nAttr.create("lightDiffuse", "ldf", MFnNumericData::kBoolean, 0.0, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(true));
    aLightSpecular = nAttr.create("lightSpecular", "ls", MFnNumericData::kBoolean, 0.0, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(false));
    aLightShadowFraction =
        nAttr.create("lightShadowFraction", "lsf", MFnNumericData::kFloat, 0.0, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(1.0f));
    aPreShadowIntensity =
        nAttr.create("preShadowIntensity", "psi", MFnNumericData::kFloat, 0.0, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));
    LUMAVEIL_CHECK(nAttr.setDefault(1.0f));
    aLightBlindData = nAttr.createAddr("lightBlindData", "lbld", nullptr, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(nAttr.setStorable(false));
    LUMAVEIL_CHECK(nAttr.setHidden(true));
    LUMAVEIL_CHECK(nAttr.setReadable(true));
    LUMAVEIL_CHECK(nAttr.setWritable(false));

    aLightData = lAttr.create("lightDataArray", "ltd", aLightDirection, aLightIntensity,
                              aLightAmbient, aLightDiffuse, aLightSpecular, aLightShadowFraction,
                              aPreShadowIntensity, aLightBlindData, &stat);
    LUMAVEIL_CHECK(stat);
    LUMAVEIL_CHECK(lAttr.setArray(true));
    LUMAVEIL_CHECK(lAttr.setStorable(false));
    LUMAVEIL_CHECK(lAttr.setHidden(true));
    LUMAVEIL_CHECK(lAttr.setDefault(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, true, true, false, 1.0f,
                                    1.0f, nullptr));

    // The children of the float triples come with their compounds; the
    // light-data children are added one by one before the array.
    addAttribute(aColor);
    addAttribute(aTransparency);
    addAttribute(aAmbientColor);
    addAttribute(aIncandescence);
    addAttribute(aDiffuse);
    addAttribute(aAbsorption);
    addAttribute(aScattering);
    addAttribute(aRefractiveIndex);
    addAttribute(aAnisotropy);
    addAttribute(aDiffuseReflection);
    addAttribute(aDiffuseAnisotropy);
    addAttribute(aDiffuseScatter);
    addAttribute(aEccentricity);
    addAttribute(aSpecularRollOff);
    addAttribute(aSpecularColor);
    addAttribute(aOutColor);
    addAttribute(aOutTransparency);
    addAttribute(aRayDirection);
    addAttribute(aPointCamera);
    addAttribute(aNormalCamera);
    addAttribute(aLightDirection);
    addAttribute(aLightIntensity);
    addAttribute(aLightAmbient);
    addAttribute(aLightDiffuse);
    addAttribute(aLightSpecular);
    addAttribute(aLightShadowFraction);
    addAttribute(aPreShadowIntensity);
    addAttribute(aLightBlindData);
    addAttribute(aLightData);

    attributeAffects(aColorR, aOutColor);
    attributeAffects(aColorG, aOutColor);
    attributeAffects(aColorB, aOutColor);
    attributeAffects(aColor, aOutColor);

    attributeAffects(aTransparencyR, aOutTransparency);
    attributeAffects(aTransparencyG, aOutTransparency);
    attributeAffects(aTransparencyB, aOutTransparency);
    attributeAffects(aTransparency, aOutTransparency);

    attributeAffects(aTransparencyR, aOutColor);
    attributeAffects(aTransparencyG, aOutColor);
    attributeAffects(aTransparencyB, aOutColor);
    attributeAffects(aTransparency, aOutColor);

    attributeAffects(aAmbientColorR, aOutColor);
    attributeAffects(aAmbientColorG, aOutColor);
    attributeAffects(aAmbientColorB, aOutColor);
    attributeAffects(aAmbientColor, aOutColor);

    attributeAffects(aIncandescenceR, aOutColor);
    attributeAffects(aIncandescenceG, aOutColor);
    attributeAffects(aIncandescenceB, aOutColor);
    attributeAffects(aIncandescence, aOutColor);

    attributeAffects(aDiffuse, aOutColor);

    attributeAffects(aAbsorptionR, aOutColor);
    attributeAffects(aAbsorptionG, aOutColor);
    attributeAffects(aAbsorptionB, aOutColor);
    attributeAffects(aAbsorption, aOutColor);

    attributeAffects(aScatteringR, aOutColor);
    attributeAffects(aScatteringG, aOutColor);
    attributeAffects(aScatteringB, aOutColor);
    attributeAffects(aScattering, aOutColor);

    attributeAffects(aRefractiveIndex, aOutColor);
    attributeAffects(aAnisotropy, aOutColor);
    attributeAffects(aDiffuseReflection, aOutColor);
    attributeAffects(aDiffuseAnisotropy, aOutColor);
    attributeAffects(aDiffuseScatter, aOutColor);
    attributeAffects(aEccentricity, aOutColor);
    attributeAffects(aSpecularRollOff, aOutColor);

    attributeAffects(aSpecularColorR, aOutColor);
    attributeAffects(aSpecularColorG, aOutColor);
    attributeAffects(aSpecularColorB, aOutColor);
    attributeAffects(aSpecularColor, aOutColor);

    attributeAffects(aRayDirectionX, aOutColor);
    attributeAffects(aRayDirectionY, aOutColor);
    attributeAffects(aRayDirectionZ, aOutColor);
    attributeAffects(aRayDirection, aOutColor);

    attributeAffects(aPointCamera, aOutColor);
    attributeAffects(aPointCameraX, aOutColor);
    attributeAffects(aPointCameraY, aOutColor);
    attributeAffects(aPointCameraZ, aOutColor);

    attributeAffects(aNormalCameraX, aOutColor);
    attributeAffects(aNormalCameraY, aOutColor);
    attributeAffects(aNormalCameraZ, aOutColor);
    attributeAffects(aNormalCamera, aOutColor);

    attributeAffects(aLightDirectionX, aOutColor);
    attributeAffects(aLightDirectionY, aOutColor);
    attributeAffects(aLightDirectionZ, aOutColor);
    attributeAffects(aLightDirection, aOutColor);

    // The light intensity has no declared relation.
    attributeAffects(aLightAmbient, aOutColor);
    attributeAffects(aLightSpecular, aOutColor);
    attributeAffects(aLightDiffuse, aOutColor);
    attributeAffects(aLightShadowFraction, aOutColor);
    attributeAffects(aPreShadowIntensity, aOutColor);
    attributeAffects(aLightBlindData, aOutColor);
    attributeAffects(aLightData, aOutColor);

    return MS::kSuccess;
}
