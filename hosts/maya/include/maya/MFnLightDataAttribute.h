// Function set that creates the light-data compound that the renderer fills
// for each light.
#pragma once

#include <maya/MFnAttribute.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnLightDataAttribute : public MFnAttribute {
public:
    MFnLightDataAttribute();
    ~MFnLightDataAttribute() override;

    MObject create(const MString& fullName, const MString& briefName, const MObject& direction,
                   const MObject& intensity, const MObject& ambient, const MObject& diffuse,
                   const MObject& specular, const MObject& shadowFraction,
                   const MObject& preShadowIntensity, const MObject& blindData,
                   MStatus* returnStatus = nullptr);

    MStatus setDefault(float directionX, float directionY, float directionZ, float intensityR,
                       float intensityG, float intensityB, bool ambient, bool diffuse,
                       bool specular, float shadowFraction, float preShadowIntensity,
                       void* blindData);
};
OPENMAYA_NAMESPACE_CLOSE
