// lumaVeil's stand-in of the Arnold SDK: export macros, colours, vectors,
// matrices and interned strings, with the public names and layouts of the
// SDK's own.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(_WIN32)
#if defined(LUMAVEIL_AIHOST_BUILD)
#define AI_API __declspec(dllexport)
#else
#define AI_API __declspec(dllimport)
#endif
#define AI_EXPORT_LIB __declspec(dllexport)
#else
#define AI_API __attribute__((visibility("default")))
#define AI_EXPORT_LIB __attribute__((visibility("default")))
#endif

struct AtRGB {
    float r, g, b;

    AtRGB() = default;
    constexpr explicit AtRGB(float c) : r(c), g(c), b(c) {}
    constexpr AtRGB(float red, float green, float blue) : r(red), g(green), b(blue) {}

    constexpr AtRGB operator+(const AtRGB& o) const { return {r + o.r, g + o.g, b + o.b}; }
    constexpr AtRGB operator-(const AtRGB& o) const { return {r - o.r, g - o.g, b - o.b}; }
    constexpr AtRGB operator*(const AtRGB& o) const { return {r * o.r, g * o.g, b * o.b}; }
    constexpr AtRGB operator/(const AtRGB& o) const { return {r / o.r, g / o.g, b / o.b}; }
    constexpr AtRGB operator+(float f) const { return {r + f, g + f, b + f}; }
    constexpr AtRGB operator-(float f) const { return {r - f, g - f, b - f}; }
    constexpr AtRGB operator*(float f) const { return {r * f, g * f, b * f}; }
    constexpr AtRGB operator/(float f) const { return {r / f, g / f, b / f}; }
    AtRGB& operator+=(const AtRGB& o) { return *this = *this + o; }
    AtRGB& operator-=(const AtRGB& o) { return *this = *this - o; }
    AtRGB& operator*=(const AtRGB& o) { return *this = *this * o; }
    AtRGB& operator/=(const AtRGB& o) { return *this = *this / o; }
    AtRGB& operator+=(float f) { return *this = *this + f; }
    AtRGB& operator-=(float f) { return *this = *this - f; }
    AtRGB& operator*=(float f) { return *this = *this * f; }
    AtRGB& operator/=(float f) { return *this = *this / f; }
    constexpr bool operator==(const AtRGB& o) const { return r == o.r && g == o.g && b == o.b; }
    constexpr bool operator!=(const AtRGB& o) const { return !(*this == o); }
};

constexpr AtRGB operator+(float f, const AtRGB& c) {
    return {f + c.r, f + c.g, f + c.b};
}
constexpr AtRGB operator-(float f, const AtRGB& c) {
    return {f - c.r, f - c.g, f - c.b};
}
constexpr AtRGB operator*(float f, const AtRGB& c) {
    return {f * c.r, f * c.g, f * c.b};
}
constexpr AtRGB operator/(float f, const AtRGB& c) {
    return {f / c.r, f / c.g, f / c.b};
}

constexpr AtRGB AI_RGB_BLACK(0.0f, 0.0f, 0.0f);
constexpr AtRGB AI_RGB_WHITE(1.0f, 1.0f, 1.0f);

struct AtVector {
    float x, y, z;

    AtVector() = default;
    constexpr AtVector(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}

    constexpr AtVector operator+(const AtVector& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr AtVector operator-(const AtVector& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr AtVector operator-() const { return {-x, -y, -z}; }
    constexpr AtVector operator*(float f) const { return {x * f, y * f, z * f}; }
    constexpr AtVector operator/(float f) const { return {x / f, y / f, z / f}; }
    constexpr bool operator==(const AtVector& o) const { return x == o.x && y == o.y && z == o.z; }
    constexpr bool operator!=(const AtVector& o) const { return !(*this == o); }
};

constexpr AtVector operator*(float f, const AtVector& v) {
    return {f * v.x, f * v.y, f * v.z};
}

constexpr AtVector AI_V3_ZERO(0.0f, 0.0f, 0.0f);

inline float AiV3Dot(const AtVector& a, const AtVector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline AtVector AiV3Cross(const AtVector& a, const AtVector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline AtVector AiV3Normalize(const AtVector& v) {
    const float length = std::sqrt(AiV3Dot(v, v));
    return length > 0.0f ? v * (1.0f / length) : v;
}

// Whether every channel or component is a finite number.
extern "C" {
AI_API bool AiRGBIsFinite(const AtRGB& rgb);
AI_API bool AiV3IsFinite(const AtVector& v);
}

struct AtMatrix {
    float data[4][4];
};

extern "C" AI_API const char* AiCreateAtStringData_private(const char* text);

// An interned string: equal texts share one pointer.
class AtString {
public:
    AtString() = default;
    explicit AtString(const char* text)
        : data_(text ? AiCreateAtStringData_private(text) : nullptr) {}

    const char* c_str() const { return data_; }
    bool empty() const { return data_ == nullptr || *data_ == '\0'; }
    bool operator==(const AtString& o) const { return data_ == o.data_; }
    bool operator!=(const AtString& o) const { return data_ != o.data_; }

private:
    const char* data_ = nullptr;
};

// Opaque to shaders.
struct AtNode;
struct AtNodeEntry;
struct AtList;
struct AtClosureBase;
class AtRenderSession;
