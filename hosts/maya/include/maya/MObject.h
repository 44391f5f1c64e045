// An opaque handle to an object that the host owns (an attribute, a plug-in).
#pragma once

#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MObject {
public:
    MObject() = default;

    bool isNull() const { return object_ == nullptr; }
    bool operator==(const MObject& other) const { return object_ == other.object_; }
    bool operator!=(const MObject& other) const { return object_ != other.object_; }

    static const MObject kNullObj;

    // Host side only: the object the handle stands for.
    explicit MObject(void* object) : object_(object) {}
    void* hostObject() const { return object_; }

private:
    void* object_ = nullptr;
};
OPENMAYA_NAMESPACE_CLOSE
