#include "scene.h"

#include <cmath>

#include "model/optics.h"

namespace lumaveil::preview {

Scene defaultScene() {
    Scene scene;
    SceneLight key;
    key.name = "key";
    key.kind = SceneLight::Kind::point;
    key.position = {-3.0f, 3.0f, -0.5f};
    key.color = {1.0f, 0.96f, 0.9f};
    key.intensity = 0.85f;

    SceneLight fill;
    fill.name = "fill";
    fill.kind = SceneLight::Kind::area;
    fill.position = {4.0f, -0.5f, -1.5f};
    fill.edgeU = {0.0f, 0.0f, 2.0f};
    fill.edgeV = {0.0f, 2.0f, 0.0f};
    fill.samplesPerSide = 2;
    fill.color = {0.6f, 0.7f, 0.85f};
    fill.intensity = 0.25f;

    SceneLight rim;
    rim.name = "rim";
    rim.kind = SceneLight::Kind::directional;
    rim.direction = normalizeVector({0.25f, 0.45f, -1.0f});
    rim.color = {1.0f, 0.85f, 0.7f};
    rim.intensity = 1.2f;

    scene.lights = {key, fill, rim};
    return scene;
}

FloatVector cameraRay(const Scene& scene, float u, float v, float aspect) {
    // The half-width holds across the shorter side, so the sphere fits a
    // tall image as it fits a wide one.
    const float h = scene.imagePlaneHalfWidth;
    const float halfX = aspect >= 1.0f ? h * aspect : h;
    const float halfY = aspect >= 1.0f ? h : h / aspect;
    return normalizeVector({u * halfX, v * halfY, -1.0f});
}

float sphereOutlineRadius(const Scene& scene) {
    // The outline is the cone of rays tangent to the sphere: its half-angle
    // has the tangent r / sqrt(d^2 - r^2), at distance 1 from the eye.
    const float d2 = dot(scene.sphereCenter, scene.sphereCenter);
    const float r = scene.sphereRadius;
    return r / std::sqrt(d2 - r * r) / scene.imagePlaneHalfWidth;
}

std::optional<SurfaceSample> hitSphere(const Scene& scene, FloatVector d) {
    // |t d - c|^2 = r^2 with |d| = 1.
    const FloatVector c = scene.sphereCenter;
    const float b = dot(d, c);
    const float discriminant = b * b - (dot(c, c) - scene.sphereRadius * scene.sphereRadius);
    if (discriminant < 0.0f) {
        return std::nullopt;
    }
    const float t = b - std::sqrt(discriminant);
    if (t <= 0.0f) {
        return std::nullopt;
    }
    SurfaceSample sample;
    sample.point = d * t;
    sample.normal = normalizeVector(sample.point - c);
    sample.rayDirection = d;
    return sample;
}

LightSample mayaLightData(const SceneLight& light, const SurfaceSample& sample) {
    LightSample data;
    data.lightDirection = light.kind == SceneLight::Kind::directional
                              ? light.direction
                              : normalizeVector(light.position - sample.point);
    data.lightIntensity = litFrom(data.lightDirection, sample) ? light.emitted() : FloatVector{};
    data.preShadowIntensity = light.intensity;
    data.lightAmbient = false;
    data.lightDiffuse = true;
    data.lightSpecular = true;
    return data;
}

}  // namespace lumaveil::preview
