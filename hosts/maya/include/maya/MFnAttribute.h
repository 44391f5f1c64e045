// Function set on an attribute: its flags.
#pragma once

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnAttribute {
public:
    MFnAttribute();
    virtual ~MFnAttribute();
    MFnAttribute(const MFnAttribute&) = delete;
    MFnAttribute& operator=(const MFnAttribute&) = delete;

    MStatus setKeyable(bool state);
    MStatus setStorable(bool state);
    MStatus setHidden(bool state);
    MStatus setReadable(bool state);
    MStatus setWritable(bool state);
    MStatus setUsedAsColor(bool state);
    MStatus setArray(bool state);

    // The attribute the function set stands on.
    MObject object() const { return MObject(attribute_); }

protected:
    void* attribute_ = nullptr;
};
OPENMAYA_NAMESPACE_CLOSE
