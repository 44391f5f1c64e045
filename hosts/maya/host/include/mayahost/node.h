// A node of the stand-in Maya as tests and tools drive it: attribute values
// by name or resolved handle, the renderer's per-sample data, compute.
#pragma once

#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <array>
#include <string>
#include <string_view>

namespace mayahost {

namespace detail {
struct Attribute;
struct NodeRecord;
}  // namespace detail

// A resolved attribute of a node type; null when the name was not found.
class AttributeRef {
public:
    AttributeRef() = default;
    explicit operator bool() const { return attribute_ != nullptr; }
    bool operator==(const AttributeRef&) const = default;

private:
    friend class Node;
    explicit AttributeRef(const detail::Attribute* a) : attribute_(a) {}
    const detail::Attribute* attribute_ = nullptr;
};

// The values the renderer sets on one element of a light-data array.
struct LightValues {
    std::array<float, 3> direction{0.0f, 0.0f, 0.0f};
    std::array<float, 3> intensity{0.0f, 0.0f, 0.0f};
    bool ambient = true;
    bool diffuse = true;
    bool specular = false;
    float shadowFraction = 1.0f;
    float preShadowIntensity = 1.0f;
    void* blindData = nullptr;
};

// A node created by the host. A cheap handle; valid until the node is
// destroyed or its plug-in unloaded.
class OPENMAYA_EXPORT Node {
public:
    Node() = default;
    explicit operator bool() const { return record_ != nullptr; }

    MPxNode* userNode() const;
    bool isMPSafe() const;

    // By long or short name.
    AttributeRef attribute(std::string_view name) const;

    // Setters mark the outputs that the attribute affects dirty. They return
    // false when the attribute does not hold a value of that shape.
    bool setFloat(AttributeRef attribute, float value);
    bool setBool(AttributeRef attribute, bool value);
    bool setFloat3(AttributeRef attribute, const std::array<float, 3>& value);
    bool setFloat(std::string_view name, float value);
    bool setBool(std::string_view name, bool value);
    bool setFloat3(std::string_view name, const std::array<float, 3>& value);

    float getFloat(AttributeRef attribute) const;
    std::array<float, 3> getFloat3(AttributeRef attribute) const;
    float getFloat(std::string_view name) const;
    std::array<float, 3> getFloat3(std::string_view name) const;
    bool isClean(AttributeRef attribute) const;
    bool isClean(std::string_view name) const;

    // What the software renderer sets per sample: "pointCamera",
    // "normalCamera", "rayDirection" and the elements of the light-data array.
    void setSampleGeometry(const std::array<float, 3>& pointCamera,
                           const std::array<float, 3>& normalCamera,
                           const std::array<float, 3>& rayDirection);
    // New elements take the array's defaults. Growing past the largest count
    // used so far allocates; anything below it does not.
    bool setLightCount(int count);
    int lightCount() const;
    bool setLight(int index, const LightValues& light);

    // Builds a data block and calls the node's compute for the plug.
    MStatus compute(AttributeRef plug);
    MStatus compute(std::string_view plugName);

private:
    friend class Host;
    explicit Node(detail::NodeRecord* record) : record_(record) {}
    detail::NodeRecord* record_ = nullptr;
};

}  // namespace mayahost
