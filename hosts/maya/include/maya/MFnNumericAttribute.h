// Function set that creates numeric attributes and sets their defaults and
// limits.
#pragma once

#include <maya/MFnAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnNumericAttribute : public MFnAttribute {
public:
    MFnNumericAttribute();
    ~MFnNumericAttribute() override;

    MObject create(const MString& fullName, const MString& briefName, MFnNumericData::Type type,
                   double defaultValue = 0, MStatus* returnStatus = nullptr);
    // A compound of three numeric children.
    MObject create(const MString& fullName, const MString& briefName, const MObject& child1,
                   const MObject& child2, const MObject& child3, MStatus* returnStatus = nullptr);
    MObject createAddr(const MString& fullName, const MString& briefName,
                       void* defaultValue = nullptr, MStatus* returnStatus = nullptr);

    MStatus setDefault(bool value);
    MStatus setDefault(float value);
    MStatus setDefault(float value1, float value2, float value3);

    MStatus setMin(double value);
    MStatus setMax(double value);
    MStatus setSoftMin(double value);
    MStatus setSoftMax(double value);
};
OPENMAYA_NAMESPACE_CLOSE
