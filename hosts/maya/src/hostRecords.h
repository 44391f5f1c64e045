// The stand-in Maya's own records: plug-ins, node types, attributes, nodes,
// the call log and armed call failures. Internal to the OpenMaya library.
#pragma once

#include <maya/MFloatVector.h>
#include <maya/MFnPlugin.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "drawRegistryHost.h"
#include "mayahost/host.h"

namespace mayahost::detail {

// One value of a node: a float triple (whose components also hold a single
// float), a flag or an address, and whether it is clean.
struct Slot {
    MFloatVector vec{0.0f, 0.0f, 0.0f};
    void* addr = nullptr;
    bool flag = false;
    bool clean = false;
};

// The values of one node, written while it is evaluated.
using NodeSlots = std::vector<Slot>;

struct NodeType;
struct Plugin;

// A plug-in entry point ("initializePlugin") and the name it was found by.
struct EntryPoint {
    MStatus (*address)(MObject) = nullptr;
    std::string function;
    std::string name;
};

// What an MObject handed to the plug-in stands for.
struct HostObject {
    enum class Kind { Attribute, Plugin, Node };
    explicit HostObject(Kind k) : kind(k) {}
    Kind kind;
};

struct Attribute : HostObject {
    Attribute() : HostObject(Kind::Attribute) {}

    AttributeInfo info;
    Attribute* parent = nullptr;
    std::vector<Attribute*> children;
    void* creationAddress = nullptr;
    void* defaultAddress = nullptr;
    int creationIndex = 0;
    Plugin* owner = nullptr;

    // Where its value lives, fixed when its node type is registered: slot and
    // component within the node's slots, or within each element of array
    // `array` of the node.
    NodeType* nodeType = nullptr;
    int slot = -1;
    int component = -1;
    int array = -1;
    std::vector<int> affectedSlots;  // node-level slots that a change makes dirty

    bool isArrayRoot() const;
};

struct ArrayLayout {
    Attribute* attribute = nullptr;
    int stride = 0;
    std::vector<Slot> elementDefault;
};

struct NodeType {
    NodeTypeInfo info;
    Plugin* plugin = nullptr;
    MCreatorFunction creator = nullptr;
    MInitializeFunction initialize = nullptr;
    std::vector<Attribute*> created;
    std::vector<Attribute*> added;
    std::vector<std::pair<Attribute*, Attribute*>> affects;
    std::vector<Attribute*> attributes;  // the type's attributes, creation order
    std::vector<Slot> nodeDefault;
    std::vector<ArrayLayout> arrays;

    // Resolved once for the renderer's per-sample data.
    Attribute* pointCamera = nullptr;
    Attribute* normalCamera = nullptr;
    Attribute* rayDirection = nullptr;
    Attribute* lightArray = nullptr;
    // The node-level slots that writing a whole light element makes dirty:
    // those of the array and of each of its children, once each.
    std::vector<int> lightElementAffectedSlots;

    Attribute* find(std::string_view name) const;
};

inline bool Attribute::isArrayRoot() const {
    return info.array && array >= 0 && nodeType != nullptr &&
           nodeType->arrays[static_cast<std::size_t>(array)].attribute == this;
}

struct ArrayValues {
    NodeSlots elements;  // count * stride slots
    int count = 0;
};

struct NodeRecord : HostObject {
    NodeRecord() : HostObject(Kind::Node) {}
    NodeType* type = nullptr;
    MPxNode* node = nullptr;
    NodeSlots slots;
    std::vector<ArrayValues> arrays;
    bool mpSafe = false;
};

struct Plugin : HostObject {
    Plugin() : HostObject(Kind::Plugin) {}
    std::string path;
    void* library = nullptr;
    PluginInfo info;
    EntryPoint initializePlugin;
    EntryPoint uninitializePlugin;
};

// A creator of Viewport 2.0 overrides that a plug-in registered for a draw
// classification.
struct DrawOverride {
    std::string drawClassification;
    std::string registrantId;
    OverrideCreator creator = nullptr;
    Plugin* plugin = nullptr;
};

// A shade fragment or graph registered with Viewport 2.0's fragment manager.
struct FragmentRecord {
    std::string name;
    bool graph = false;
    bool hidden = false;
    std::string xml;
    Plugin* plugin = nullptr;  // the one whose entry point added it, if any
};

struct FailureRule {
    Host::CallMatcher matcher;
    MS::MStatusCode status = MS::kFailure;
    int occurrence = 0;
    int seen = 0;
};

}  // namespace mayahost::detail

struct mayahost::Host::Impl {
    std::vector<std::unique_ptr<detail::Plugin>> plugins;
    std::vector<std::unique_ptr<detail::NodeType>> nodeTypes;
    std::vector<std::unique_ptr<detail::Attribute>> attributes;
    std::vector<std::unique_ptr<detail::NodeRecord>> nodes;
    std::vector<detail::DrawOverride> surfaceShadingNodeOverrides;
    int nextCreationIndex = 0;

    // Set while an entry point or an attribute-initialisation function runs.
    detail::Plugin* activePlugin = nullptr;
    detail::NodeType* registering = nullptr;

    bool viewportRenderer = true;
    int viewportDrawAPI = 4;  // MHWRender::kOpenGLCoreProfile
    std::vector<detail::FragmentRecord> fragments;
    int runningApiVersion = MAYA_API_VERSION;
    std::vector<std::string> warnings;

    bool windowOpen = false;
    std::vector<std::string> commands;
    std::vector<std::string> refreshes;
    std::vector<std::string> errors;  // MGlobal::displayError's

    std::atomic<bool> logEnabled{true};
    std::atomic<bool> failuresArmed{false};
    mutable std::mutex logMutex;
    std::vector<CallRecord> log;
    std::vector<detail::FailureRule> failures;

    // Whether calls need to be formatted at all.
    bool tracing() const {
        return logEnabled.load(std::memory_order_relaxed) ||
               failuresArmed.load(std::memory_order_relaxed);
    }
    MS::MStatusCode armedFailure(const CallRecord& call);
    void record(CallRecord&& call);

    detail::NodeType* findType(std::string_view name) const;
    detail::NodeType* findType(unsigned int id) const;
    detail::Plugin* findPlugin(const std::string& path) const;
    void finalizeType(detail::NodeType& type);
    void destroyNodesOf(const detail::Plugin* plugin);
    void dropPlugin(detail::Plugin* plugin);
    void runCommand(const std::string& command);
};

namespace mayahost::detail {

// The host the API calls reach; null while no Host exists.
extern Host::Impl* g_currentHost;
inline Host::Impl* currentHost() {
    return g_currentHost;
}

// The node record that MPxNode's constructor attaches to.
NodeRecord*& nodeUnderConstruction();

inline Attribute* attributeOf(const MObject& object) {
    auto* o = static_cast<HostObject*>(object.hostObject());
    return o != nullptr && o->kind == HostObject::Kind::Attribute ? static_cast<Attribute*>(o)
                                                                  : nullptr;
}
inline void* handleOf(Attribute* a) {
    return a != nullptr ? static_cast<void*>(static_cast<HostObject*>(a)) : nullptr;
}
inline void* handleOf(NodeRecord* n) {
    return n != nullptr ? static_cast<void*>(static_cast<HostObject*>(n)) : nullptr;
}
inline void* handleOf(Plugin* p) {
    return p != nullptr ? static_cast<void*>(static_cast<HostObject*>(p)) : nullptr;
}
inline Attribute* attributeOf(void* handle) {
    return attributeOf(MObject(handle));
}
inline Plugin* pluginOf(const MObject& object) {
    auto* o = static_cast<HostObject*>(object.hostObject());
    return o != nullptr && o->kind == HostObject::Kind::Plugin ? static_cast<Plugin*>(o) : nullptr;
}
inline std::string_view nameOf(const Attribute* a) {
    return a != nullptr ? std::string_view(a->info.longName) : std::string_view();
}

// The children of a light-data compound, in the order
// MFnLightDataAttribute::create takes them.
enum class LightDataChild {
    direction,
    intensity,
    ambient,
    diffuse,
    specular,
    shadowFraction,
    preShadowIntensity,
    blindData,
};
inline constexpr std::size_t lightDataChildCount = 8;

// Writes the values of one element of a light-data array into its slots,
// `element`; children without a slot of their own are passed over.
void writeLightElement(const Attribute& lightData, Slot* element, const LightValues& values);

}  // namespace mayahost::detail
