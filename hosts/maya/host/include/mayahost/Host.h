// The stand-in Maya: loads a plug-in library by path, drives it through its
// entry points, keeps the node types it registers, creates nodes and computes
// their outputs. Test-only and tool-only.
//
// One Host exists at a time; the OpenMaya calls a plug-in makes reach it.
// Per-sample use (the preview tool): resolve attributes once with
// Node::attribute, then set values by handle, set the sample geometry and the
// light elements, and compute. With the call log off and no call failures
// armed, none of these allocate, and different nodes may be driven from
// different threads at once.
#pragma once

#include <maya/MFnNumericData.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mayahost {

namespace detail {
struct Attribute;
struct NodeRecord;
}  // namespace detail

enum class AttributeKind { Numeric, NumericCompound, Address, LightData };

// Everything the host keeps about one attribute of a node type.
struct AttributeInfo {
    std::string longName;
    std::string shortName;
    AttributeKind kind = AttributeKind::Numeric;
    MFnNumericData::Type numericType = MFnNumericData::kInvalid;
    std::string parent;                 // empty for a top-level attribute
    std::vector<std::string> children;  // in creation order
    double creationDefault = 0.0;       // the default passed to create
    // The values of the last setDefault call, in argument order (one, three,
    // or the eleven numbers of a light-data default); empty if none was made.
    std::vector<double> defaults;
    std::optional<double> min, max, softMin, softMax;
    bool keyable = false;
    bool storable = true;
    bool hidden = false;
    bool readable = true;
    bool writable = true;
    bool usedAsColor = false;
    bool array = false;
};

struct NodeTypeInfo {
    std::string name;
    unsigned int id = 0;
    MPxNode::Type kind = MPxNode::kDependNode;
    std::string classification;
    std::string pluginPath;
    MS::MStatusCode initializeStatus = MS::kSuccess;
    std::vector<AttributeInfo> attributes;     // the type's attributes, in creation order
    std::vector<std::string> addedAttributes;  // in addAttribute order
    std::vector<std::pair<std::string, std::string>> affects;  // (input, output), in order
};

struct PluginInfo {
    std::string path;
    std::string apiVersion;  // the library's MApiVersion
    std::string vendor;
    std::string version;
    std::string requiredApiVersion;
};

// One call of the plug-in into the API.
struct CallRecord {
    std::string function;   // "MFnNumericAttribute::setDefault"
    std::string attribute;  // long name of the attribute the call creates or acts on
    std::string arguments;  // the arguments, formatted, separated by ", "
    MS::MStatusCode status = MS::kSuccess;
};

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

    const std::string& typeName() const;
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
    bool getBool(AttributeRef attribute) const;
    std::array<float, 3> getFloat3(AttributeRef attribute) const;
    float getFloat(std::string_view name) const;
    bool getBool(std::string_view name) const;
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
    LightValues light(int index) const;

    // Builds a data block and calls the node's compute for the plug.
    MStatus compute(AttributeRef plug);
    MStatus compute(std::string_view plugName);

private:
    friend class Host;
    explicit Node(detail::NodeRecord* record) : record_(record) {}
    detail::NodeRecord* record_ = nullptr;
};

class OPENMAYA_EXPORT Host {
public:
    Host();
    // Unloads every plug-in still loaded.
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The host API version that plug-ins are checked against.
    static constexpr int kApiVersion = 800;

    // dlopen, check MApiVersion, call initializePlugin. On failure the library
    // is closed again and nothing it registered stays behind.
    MStatus loadPlugin(const std::string& path, std::string* error = nullptr);
    // Destroys the plug-in's nodes, calls uninitializePlugin and, when it
    // succeeds, drops the plug-in's node types and closes the library. When it
    // fails the plug-in stays loaded, as Maya keeps it.
    MStatus unloadPlugin(const std::string& path);
    bool isPluginLoaded(const std::string& path) const;
    std::optional<PluginInfo> pluginInfo(const std::string& path) const;

    std::vector<std::string> nodeTypeNames() const;
    std::optional<NodeTypeInfo> nodeType(std::string_view name) const;

    Node createNode(std::string_view typeName, MStatus* status = nullptr);
    void destroyNode(Node node);
    int nodeCount() const;

    // MEL: every command text as received, and the render-node creation
    // window, which counts refreshes only while it is open.
    void setCreateRenderNodeWindowOpen(bool open);
    std::vector<std::string> executedCommands() const;
    // The classification named by each refresh of the open window.
    std::vector<std::string> renderNodeWindowRefreshes() const;

    // The call log: on by default. Thread-safe; turn it off for speed.
    void setCallLogEnabled(bool enabled);
    std::vector<CallRecord> callLog() const;
    void clearCallLog();

    // Makes matching calls fail with `status` instead of taking effect: every
    // match when `occurrence` is 0, otherwise only the occurrence-th. The
    // matcher sees the call's function, attribute and arguments.
    using CallMatcher = std::function<bool(const CallRecord&)>;
    void failCalls(CallMatcher matcher, MS::MStatusCode status, int occurrence = 0);
    // Calls of `function` on `attribute` (any attribute when empty).
    void failCalls(const std::string& function, const std::string& attribute,
                   MS::MStatusCode status, int occurrence = 0);
    void clearCallFailures();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace mayahost
