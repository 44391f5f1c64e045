// The lumaVeil shading node: a translucent, scattering surface for Maya's
// software renderer.
#pragma once

#include <maya/MDataBlock.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MTypeId.h>

class lumaVeil : public MPxNode {
public:
    lumaVeil();
    ~lumaVeil() override;

    // Compute keeps all its working state in the call and the data block, so
    // Maya may evaluate nodes of this type on several threads at once. Older
    // devkits hear it from setMPSafe(true) on each new node; those from 2019
    // on deprecate that call for the schedulingType() override that says the
    // same.
#if MAYA_API_VERSION >= 20190000
    SchedulingType schedulingType() const override;
#else
    void postConstructor() override;
#endif
    // Computes "outColor" (or one of its children) through the scattering
    // model, copies "transparency" to "outTransparency", and refuses every
    // other plug with kUnknownParameter.
    MStatus compute(const MPlug& plug, MDataBlock& block) override;

    static void* creator();
    // Creates, adds and relates the node type's 71 attributes. Failures in the
    // light-data block are reported on the standard error stream; it always
    // returns success.
    static MStatus initialize();

    static MTypeId id;

    // Material inputs.
    static MObject aColorR, aColorG, aColorB, aColor;
    static MObject aTransparencyR, aTransparencyG, aTransparencyB, aTransparency;
    static MObject aAmbientColorR, aAmbientColorG, aAmbientColorB, aAmbientColor;
    static MObject aIncandescenceR, aIncandescenceG, aIncandescenceB, aIncandescence;
    static MObject aDiffuse;
    static MObject aAbsorptionR, aAbsorptionG, aAbsorptionB, aAbsorption;
    static MObject aScatteringR, aScatteringG, aScatteringB, aScattering;
    static MObject aRefractiveIndex;
    static MObject aAnisotropy;
    static MObject aDiffuseReflection;
    static MObject aDiffuseAnisotropy;
    static MObject aDiffuseScatter;
    static MObject aEccentricity;
    static MObject aSpecularRollOff;
    static MObject aSpecularColorR, aSpecularColorG, aSpecularColorB, aSpecularColor;

    // Outputs.
    static MObject aOutColorR, aOutColorG, aOutColorB, aOutColor;
    static MObject aOutTransparencyR, aOutTransparencyG, aOutTransparencyB, aOutTransparency;

    // Sample geometry, set by the renderer for each sample.
    static MObject aPointCameraX, aPointCameraY, aPointCameraZ, aPointCamera;
    static MObject aNormalCameraX, aNormalCameraY, aNormalCameraZ, aNormalCamera;
    static MObject aRayDirectionX, aRayDirectionY, aRayDirectionZ, aRayDirection;

    // The renderer's per-light data: one light-data compound per light.
    static MObject aLightDirectionX, aLightDirectionY, aLightDirectionZ, aLightDirection;
    static MObject aLightIntensityR, aLightIntensityG, aLightIntensityB, aLightIntensity;
    static MObject aLightAmbient;
    static MObject aLightDiffuse;
    static MObject aLightSpecular;
    static MObject aLightShadowFraction;
    static MObject aPreShadowIntensity;
    static MObject aLightBlindData;
    static MObject aLightData;
};
