// The unique id of a node type.
#pragma once

#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MTypeId {
public:
    MTypeId() = default;
    MTypeId(unsigned int id) : id_(id) {}
    MTypeId(const MTypeId&) = default;
    MTypeId& operator=(const MTypeId&) = default;
    ~MTypeId() = default;

    unsigned int id() const { return id_; }
    bool operator==(const MTypeId& other) const { return id_ == other.id_; }
    bool operator!=(const MTypeId& other) const { return id_ != other.id_; }

private:
    unsigned int id_ = 0;
};
OPENMAYA_NAMESPACE_CLOSE
