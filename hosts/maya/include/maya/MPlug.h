// One attribute of one node, as Maya asks a node to compute it.
#pragma once

#include <maya/MObject.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MPlug {
public:
    MPlug() = default;

    // True when this is a plug of the attribute `attribute`.
    bool operator==(const MObject& attribute) const;
    bool operator!=(const MObject& attribute) const { return !(*this == attribute); }

    MObject attribute() const { return MObject(attribute_); }
    bool isNull() const { return attribute_ == nullptr; }

    // Host side only.
    MPlug(void* node, void* attribute) : node_(node), attribute_(attribute) {}

private:
    void* node_ = nullptr;
    void* attribute_ = nullptr;
};
OPENMAYA_NAMESPACE_CLOSE
