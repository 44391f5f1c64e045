// A handle on the elements of an array attribute in a node's data block.
#pragma once

#include <maya/MDataHandle.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MArrayDataHandle {
public:
    MArrayDataHandle() = default;

    unsigned int elementCount(MStatus* returnStatus = nullptr);
    // The handle of the current element.
    MDataHandle inputValue(MStatus* returnStatus = nullptr);
    // Moves to the next element; fails once the last one has been passed.
    MStatus next();
    MStatus jumpToArrayElement(unsigned int index);

    // Host side only.
    MArrayDataHandle(void* elements, unsigned int count, unsigned int stride, const void* attribute)
        : elements_(elements), count_(count), stride_(stride), attribute_(attribute) {}

private:
    void* elements_ = nullptr;
    unsigned int count_ = 0;
    unsigned int stride_ = 0;
    unsigned int current_ = 0;
    const void* attribute_ = nullptr;
};
OPENMAYA_NAMESPACE_CLOSE
