// The swatch scene: a sphere in front of a plain backdrop, seen by a pinhole
// camera at the origin looking down -z (camera space, as Maya and mental ray
// shade; Arnold, which shades in world space, takes it as its world), lit by
// a key, a soft fill and a rim light from behind.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/FloatVector.h"
#include "model/shading.h"

namespace lumaveil::preview {

struct SceneLight {
    enum class Kind { point, directional, area };
    std::string name;
    Kind kind = Kind::point;
    FloatVector position;      // point and area lights: the centre
    FloatVector direction;     // directional lights: towards the light
    FloatVector edgeU, edgeV;  // area lights: the rectangle's two edges
    int samplesPerSide = 1;    // area lights: samples per edge
    FloatVector color{1.0f, 1.0f, 1.0f};
    float intensity = 1.0f;

    FloatVector emitted() const { return color * intensity; }
};

struct Scene {
    FloatVector sphereCenter{0.0f, 0.0f, -4.0f};
    float sphereRadius = 1.0f;
    float imagePlaneHalfWidth = 0.32f;  // at distance 1, across the shorter side
    FloatVector backdrop{0.045f, 0.045f, 0.05f};
    std::vector<SceneLight> lights;
};

Scene defaultScene();

// The point of a sphere hit by a camera ray, in camera space.
struct SurfaceSample {
    FloatVector point;
    FloatVector normal;
    FloatVector rayDirection;  // unit, from the eye
};

// The unit direction through the image position (u, v) in [-1, 1]^2, v up,
// of an image of aspect width / height.
FloatVector cameraRay(const Scene& scene, float u, float v, float aspect);

// The radius of the sphere's outline on the image, as a fraction of half the
// image's shorter side.
float sphereOutlineRadius(const Scene& scene);

std::optional<SurfaceSample> hitSphere(const Scene& scene, FloatVector rayDirection);

// Whether light from `direction` (unit, towards the light) reaches the
// sample: the sphere shadows the half of itself turned away from a light.
inline bool litFrom(FloatVector direction, const SurfaceSample& sample) {
    return dot(direction, sample.normal) > 0.0f;
}

// The light data Maya's software renderer hands the node for a sample: the
// direction towards each light, its intensity (zero where the sphere shadows
// itself) and its unshadowed scalar intensity.
LightSample mayaLightData(const SceneLight& light, const SurfaceSample& sample);

}  // namespace lumaveil::preview
