// The values of one node, handed to its compute.
#pragma once

#include <maya/MArrayDataHandle.h>
#include <maya/MDataHandle.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MDataBlock {
public:
    MDataHandle inputValue(const MObject& attribute, MStatus* returnStatus = nullptr);
    MDataHandle outputValue(const MObject& attribute, MStatus* returnStatus = nullptr);
    MArrayDataHandle inputArrayValue(const MObject& attribute, MStatus* returnStatus = nullptr);

    MDataBlock(const MDataBlock&) = delete;
    MDataBlock& operator=(const MDataBlock&) = delete;
    ~MDataBlock() = default;

    // Host side only.
    explicit MDataBlock(void* node) : node_(node) {}

private:
    void* node_ = nullptr;
};
OPENMAYA_NAMESPACE_CLOSE
