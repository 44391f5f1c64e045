// A handle on one value of a node's data block.
#pragma once

#include <maya/MFloatVector.h>
#include <maya/MObject.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MDataHandle {
public:
    MDataHandle() = default;

    // References into the data block. A handle that stands on nothing gives
    // a scratch value of its own thread.
    float& asFloat();
    bool& asBool();
    void*& asAddr();
    MFloatVector& asFloatVector();

    MDataHandle child(const MObject& attribute);
    void setClean();
    bool isValid() const { return slot_ != nullptr || values_ != nullptr; }

    // Host side only: the values the handle stands on.
    MDataHandle(void* values, void* slot, int component, const void* attribute)
        : values_(values), slot_(slot), component_(component), attribute_(attribute) {}

private:
    void* values_ = nullptr;  // the slots that the children of this value live in
    void* slot_ = nullptr;    // the slot holding this value, if it has one
    int component_ = -1;      // 0 to 2 for one component of a float triple
    const void* attribute_ = nullptr;
};
OPENMAYA_NAMESPACE_CLOSE
