// The lumaVeil shading node: a translucent, scattering surface for Maya's
// software renderer.
#pragma once

#include <maya/MDataBlock.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MTypeId.h>

#include "model/materialAttributes.h"

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
    // Creates, adds and relates the node type's attributes. Failures in the
    // light-data block are reported on the standard error stream; it always
    // returns success.
    static MStatus initialize();

    static MTypeId id;

    // One handle per attribute, null from load until initialize assigns it;
    // compute reads them. The editable attributes' first, row for row with
    // lumaveil::materialAttributes (model/materialAttributes.h): a colour's
    // compound and then its red, green and blue children, a scalar's alone
    // (lumaVeilMaterialHandles.h finds a row's).
    static inline MObject aMaterial[lumaveil::materialHandleCount()];

    // Outputs.
    static inline MObject aOutColorR, aOutColorG, aOutColorB, aOutColor;
    static inline MObject aOutTransparencyR, aOutTransparencyG, aOutTransparencyB, aOutTransparency;

    // Sample geometry, set by the renderer for each sample.
    static inline MObject aPointCameraX, aPointCameraY, aPointCameraZ, aPointCamera;
    static inline MObject aNormalCameraX, aNormalCameraY, aNormalCameraZ, aNormalCamera;
    static inline MObject aRayDirectionX, aRayDirectionY, aRayDirectionZ, aRayDirection;

    // The renderer's per-light data: one light-data compound per light.
    static inline MObject aLightDirectionX, aLightDirectionY, aLightDirectionZ, aLightDirection;
    static inline MObject aLightIntensityR, aLightIntensityG, aLightIntensityB, aLightIntensity;
    static inline MObject aLightAmbient;
    static inline MObject aLightDiffuse;
    static inline MObject aLightSpecular;
    static inline MObject aLightShadowFraction;
    static inline MObject aPreShadowIntensity;
    static inline MObject aLightBlindData;
    static inline MObject aLightData;
};
