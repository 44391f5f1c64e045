// Three single-precision floats: a direction, a point or a colour.
#pragma once

#include <maya/MTypes.h>

#include <cmath>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFloatVector {
public:
    MFloatVector() = default;
    MFloatVector(float xx, float yy, float zz = 0.0f) : x(xx), y(yy), z(zz) {}
    MFloatVector(const MFloatVector&) = default;
    MFloatVector& operator=(const MFloatVector&) = default;

    float operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    float& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : z); }

    MFloatVector operator+(const MFloatVector& o) const { return {x + o.x, y + o.y, z + o.z}; }
    MFloatVector operator-(const MFloatVector& o) const { return {x - o.x, y - o.y, z - o.z}; }
    MFloatVector operator-() const { return {-x, -y, -z}; }
    MFloatVector& operator+=(const MFloatVector& o) {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    MFloatVector& operator-=(const MFloatVector& o) {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        return *this;
    }
    // Dot product.
    float operator*(const MFloatVector& o) const { return x * o.x + y * o.y + z * o.z; }
    MFloatVector operator*(float s) const { return {x * s, y * s, z * s}; }
    MFloatVector operator/(float s) const { return {x / s, y / s, z / s}; }
    bool operator==(const MFloatVector& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const MFloatVector& o) const { return !(*this == o); }

    float length() const { return std::sqrt(x * x + y * y + z * z); }
    MFloatVector& normalize() {
        const float len = length();
        if (len > 0.0f) {
            x /= len;
            y /= len;
            z /= len;
        }
        return *this;
    }

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline MFloatVector operator*(float s, const MFloatVector& v) {
    return {s * v.x, s * v.y, s * v.z};
}
OPENMAYA_NAMESPACE_CLOSE
