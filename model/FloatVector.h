// A direction, point or colour as three single-precision floats.
#pragma once

namespace lumaveil {

// Components 0, 1, 2 are x, y, z for a direction or point and red, green,
// blue for a colour. Every operation is componentwise and single precision.
struct FloatVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    constexpr float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }

    constexpr FloatVector operator-() const { return {-x, -y, -z}; }
    constexpr FloatVector operator+(FloatVector b) const { return {x + b.x, y + b.y, z + b.z}; }
    constexpr FloatVector operator-(FloatVector b) const { return {x - b.x, y - b.y, z - b.z}; }
    constexpr FloatVector operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr FloatVector operator/(float s) const { return {x / s, y / s, z / s}; }
    // Componentwise float comparison: -0 equals 0, and NaN equals nothing.
    constexpr bool operator==(const FloatVector& b) const {
        return x == b.x && y == b.y && z == b.z;
    }
    constexpr bool operator!=(const FloatVector& b) const { return !(*this == b); }
};

constexpr FloatVector operator*(float s, FloatVector v) {
    return {s * v.x, s * v.y, s * v.z};
}

// a.x*b.x + a.y*b.y + a.z*b.z, summed left to right.
constexpr float dot(FloatVector a, FloatVector b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

}  // namespace lumaveil
