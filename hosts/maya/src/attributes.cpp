// OpenMaya: attribute function sets, MPxNode's static schema calls and
// MFnPlugin.
#include <maya/MFnAttribute.h>
#include <maya/MFnLightDataAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxNode.h>

#include <algorithm>

#include "trace.h"

using mayahost::AttributeKind;
using mayahost::detail::Attribute;
using mayahost::detail::attributeOf;
using mayahost::detail::formatArgs;
using mayahost::detail::nameOf;
using mayahost::detail::Trace;

namespace {

const char* typeName(MFnNumericData::Type type) {
    switch (type) {
        case MFnNumericData::kBoolean:
            return "kBoolean";
        case MFnNumericData::kFloat:
            return "kFloat";
        case MFnNumericData::k3Float:
            return "k3Float";
        case MFnNumericData::kDouble:
            return "kDouble";
        case MFnNumericData::kAddr:
            return "kAddr";
        case MFnNumericData::kInt:
            return "kInt";
        default:
            return "kOther";
    }
}

// A new attribute owned by the host, counted in creation order and, during
// a registration, recorded for the node type being registered.
Attribute* newAttribute(mayahost::Host::Impl& host, const MString& longName,
                        const MString& shortName, AttributeKind kind) {
    auto attribute = std::make_unique<Attribute>();
    attribute->info.longName = longName.asChar();
    attribute->info.shortName = shortName.asChar();
    attribute->info.kind = kind;
    attribute->creationIndex = host.nextCreationIndex++;
    attribute->owner = host.activePlugin;
    Attribute* a = attribute.get();
    host.attributes.push_back(std::move(attribute));
    if (host.registering != nullptr) {
        host.registering->created.push_back(a);
    }
    return a;
}

void adopt(Attribute* parent, const std::vector<Attribute*>& children) {
    for (Attribute* child : children) {
        child->parent = parent;
        parent->children.push_back(child);
        parent->info.children.push_back(child->info.longName);
        child->info.parent = parent->info.longName;
    }
}

bool adoptable(const std::vector<Attribute*>& children) {
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i] == nullptr || children[i]->parent != nullptr) {
            return false;
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (children[j] == children[i]) {
                return false;
            }
        }
    }
    return true;
}

MObject finishCreate(Trace& trace, MStatus status, Attribute* created, void*& fnAttribute,
                     MStatus* returnStatus) {
    fnAttribute = mayahost::detail::handleOf(created);
    if (returnStatus != nullptr) {
        *returnStatus = status;
    }
    trace.done(status);
    return MObject(mayahost::detail::handleOf(created));
}

// The flag setters all share one shape.
template <class Apply>
MStatus setFlag(const char* function, void* fnAttribute, bool state, Apply apply) {
    auto* a = attributeOf(fnAttribute);
    Trace trace(function, nameOf(a), [&] { return formatArgs(state); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    if (a == nullptr) {
        return trace.done(MS::kInvalidParameter);
    }
    apply(a->info);
    return trace.done(MS::kSuccess);
}

bool isNumeric(const Attribute* a) {
    return a != nullptr && (a->info.kind == AttributeKind::Numeric ||
                            a->info.kind == AttributeKind::NumericCompound);
}

template <class Apply>
MStatus setLimit(const char* function, void* fnAttribute, double value, Apply apply) {
    auto* a = attributeOf(fnAttribute);
    Trace trace(function, nameOf(a), [&] { return formatArgs(value); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    if (!isNumeric(a)) {
        return trace.done(MS::kInvalidParameter);
    }
    apply(a->info, value);
    return trace.done(MS::kSuccess);
}

}  // namespace

// ---- MFnAttribute ----

MFnAttribute::MFnAttribute() = default;
MFnAttribute::~MFnAttribute() = default;

MStatus MFnAttribute::setKeyable(bool state) {
    return setFlag("MFnAttribute::setKeyable", attribute_, state,
                   [&](mayahost::AttributeInfo& i) { i.keyable = state; });
}
MStatus MFnAttribute::setStorable(bool state) {
    return setFlag("MFnAttribute::setStorable", attribute_, state,
                   [&](mayahost::AttributeInfo& i) { i.storable = state; });
}
MStatus MFnAttribute::setHidden(bool state) {
    return setFlag("MFnAttribute::setHidden", attribute_, state,
                   [&](mayahost::AttributeInfo& i) { i.hidden = state; });
}
MStatus MFnAttribute::setReadable(bool state) {
    return setFlag("MFnAttribute::setReadable", attribute_, state,
                   [&](mayahost::AttributeInfo& i) { i.readable = state; });
}
MStatus MFnAttribute::setWritable(bool state) {
    return setFlag("MFnAttribute::setWritable", attribute_, state,
                   [&](mayahost::AttributeInfo& i) { i.writable = state; });
}
MStatus MFnAttribute::setUsedAsColor(bool state) {
    return setFlag("MFnAttribute::setUsedAsColor", attribute_, state,
                   [&](mayahost::AttributeInfo& i) { i.usedAsColor = state; });
}
MStatus MFnAttribute::setArray(bool state) {
    return setFlag("MFnAttribute::setArray", attribute_, state,
                   [&](mayahost::AttributeInfo& i) { i.array = state; });
}

// ---- MFnNumericAttribute ----

MFnNumericAttribute::MFnNumericAttribute() = default;
MFnNumericAttribute::~MFnNumericAttribute() = default;

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    MFnNumericData::Type type, double defaultValue,
                                    MStatus* returnStatus) {
    Trace trace("MFnNumericAttribute::create", fullName.asChar(), [&] {
        return formatArgs(fullName.asChar(), briefName.asChar(), typeName(type), defaultValue);
    });
    auto* host = trace.host();
    if (trace.failed() || host == nullptr) {
        return finishCreate(trace, host == nullptr ? MS::kFailure : trace.injected(), nullptr,
                            attribute_, returnStatus);
    }
    Attribute* a = newAttribute(*host, fullName, briefName, AttributeKind::Numeric);
    a->info.numericType = type;
    a->info.creationDefault = defaultValue;
    return finishCreate(trace, MS::kSuccess, a, attribute_, returnStatus);
}

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    const MObject& child1, const MObject& child2,
                                    const MObject& child3, MStatus* returnStatus) {
    Trace trace("MFnNumericAttribute::create", fullName.asChar(), [&] {
        return formatArgs(fullName.asChar(), briefName.asChar(), child1, child2, child3);
    });
    auto* host = trace.host();
    if (trace.failed() || host == nullptr) {
        return finishCreate(trace, host == nullptr ? MS::kFailure : trace.injected(), nullptr,
                            attribute_, returnStatus);
    }
    const std::vector<Attribute*> children{attributeOf(child1), attributeOf(child2),
                                           attributeOf(child3)};
    const bool numericLeaves = std::all_of(children.begin(), children.end(), [](Attribute* c) {
        return c != nullptr && c->info.kind == AttributeKind::Numeric;
    });
    if (!numericLeaves || !adoptable(children)) {
        return finishCreate(trace, MS::kInvalidParameter, nullptr, attribute_, returnStatus);
    }
    Attribute* a = newAttribute(*host, fullName, briefName, AttributeKind::NumericCompound);
    a->info.numericType = children[0]->info.numericType == MFnNumericData::kDouble
                              ? MFnNumericData::k3Double
                              : MFnNumericData::k3Float;
    adopt(a, children);
    return finishCreate(trace, MS::kSuccess, a, attribute_, returnStatus);
}

MObject MFnNumericAttribute::createAddr(const MString& fullName, const MString& briefName,
                                        void* defaultValue, MStatus* returnStatus) {
    Trace trace("MFnNumericAttribute::createAddr", fullName.asChar(), [&] {
        return formatArgs(fullName.asChar(), briefName.asChar(),
                          static_cast<const void*>(defaultValue));
    });
    auto* host = trace.host();
    if (trace.failed() || host == nullptr) {
        return finishCreate(trace, host == nullptr ? MS::kFailure : trace.injected(), nullptr,
                            attribute_, returnStatus);
    }
    Attribute* a = newAttribute(*host, fullName, briefName, AttributeKind::Address);
    a->info.numericType = MFnNumericData::kAddr;
    a->creationAddress = defaultValue;
    return finishCreate(trace, MS::kSuccess, a, attribute_, returnStatus);
}

MStatus MFnNumericAttribute::setDefault(bool value) {
    auto* a = attributeOf(attribute_);
    Trace trace("MFnNumericAttribute::setDefault", nameOf(a), [&] { return formatArgs(value); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    if (a == nullptr || a->info.kind != AttributeKind::Numeric) {
        return trace.done(MS::kInvalidParameter);
    }
    a->info.defaults = {value ? 1.0 : 0.0};
    return trace.done(MS::kSuccess);
}

MStatus MFnNumericAttribute::setDefault(float value) {
    auto* a = attributeOf(attribute_);
    Trace trace("MFnNumericAttribute::setDefault", nameOf(a), [&] { return formatArgs(value); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    if (a == nullptr || a->info.kind != AttributeKind::Numeric) {
        return trace.done(MS::kInvalidParameter);
    }
    a->info.defaults = {static_cast<double>(value)};
    return trace.done(MS::kSuccess);
}

MStatus MFnNumericAttribute::setDefault(float value1, float value2, float value3) {
    auto* a = attributeOf(attribute_);
    Trace trace("MFnNumericAttribute::setDefault", nameOf(a),
                [&] { return formatArgs(value1, value2, value3); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    if (a == nullptr || a->info.kind != AttributeKind::NumericCompound) {
        return trace.done(MS::kInvalidParameter);
    }
    a->info.defaults = {value1, value2, value3};
    return trace.done(MS::kSuccess);
}

MStatus MFnNumericAttribute::setMin(double value) {
    return setLimit("MFnNumericAttribute::setMin", attribute_, value,
                    [](mayahost::AttributeInfo& i, double v) { i.min = v; });
}
MStatus MFnNumericAttribute::setMax(double value) {
    return setLimit("MFnNumericAttribute::setMax", attribute_, value,
                    [](mayahost::AttributeInfo& i, double v) { i.max = v; });
}
MStatus MFnNumericAttribute::setSoftMin(double value) {
    return setLimit("MFnNumericAttribute::setSoftMin", attribute_, value,
                    [](mayahost::AttributeInfo& i, double v) { i.softMin = v; });
}
MStatus MFnNumericAttribute::setSoftMax(double value) {
    return setLimit("MFnNumericAttribute::setSoftMax", attribute_, value,
                    [](mayahost::AttributeInfo& i, double v) { i.softMax = v; });
}

// ---- MFnLightDataAttribute ----

MFnLightDataAttribute::MFnLightDataAttribute() = default;
MFnLightDataAttribute::~MFnLightDataAttribute() = default;

MObject MFnLightDataAttribute::create(const MString& fullName, const MString& briefName,
                                      const MObject& direction, const MObject& intensity,
                                      const MObject& ambient, const MObject& diffuse,
                                      const MObject& specular, const MObject& shadowFraction,
                                      const MObject& preShadowIntensity, const MObject& blindData,
                                      MStatus* returnStatus) {
    Trace trace("MFnLightDataAttribute::create", fullName.asChar(), [&] {
        return formatArgs(fullName.asChar(), briefName.asChar(), direction, intensity, ambient,
                          diffuse, specular, shadowFraction, preShadowIntensity, blindData);
    });
    auto* host = trace.host();
    if (trace.failed() || host == nullptr) {
        return finishCreate(trace, host == nullptr ? MS::kFailure : trace.injected(), nullptr,
                            attribute_, returnStatus);
    }
    const std::vector<Attribute*> children{attributeOf(direction),
                                           attributeOf(intensity),
                                           attributeOf(ambient),
                                           attributeOf(diffuse),
                                           attributeOf(specular),
                                           attributeOf(shadowFraction),
                                           attributeOf(preShadowIntensity),
                                           attributeOf(blindData)};
    if (!adoptable(children)) {
        return finishCreate(trace, MS::kInvalidParameter, nullptr, attribute_, returnStatus);
    }
    Attribute* a = newAttribute(*host, fullName, briefName, AttributeKind::LightData);
    adopt(a, children);
    return finishCreate(trace, MS::kSuccess, a, attribute_, returnStatus);
}

MStatus MFnLightDataAttribute::setDefault(float directionX, float directionY, float directionZ,
                                          float intensityR, float intensityG, float intensityB,
                                          bool ambient, bool diffuse, bool specular,
                                          float shadowFraction, float preShadowIntensity,
                                          void* blindData) {
    auto* a = attributeOf(attribute_);
    Trace trace("MFnLightDataAttribute::setDefault", nameOf(a), [&] {
        return formatArgs(directionX, directionY, directionZ, intensityR, intensityG, intensityB,
                          ambient, diffuse, specular, shadowFraction, preShadowIntensity,
                          static_cast<const void*>(blindData));
    });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    if (a == nullptr || a->info.kind != AttributeKind::LightData) {
        return trace.done(MS::kInvalidParameter);
    }
    a->info.defaults = {directionX,          directionY,          directionZ,
                        intensityR,          intensityG,          intensityB,
                        ambient ? 1.0 : 0.0, diffuse ? 1.0 : 0.0, specular ? 1.0 : 0.0,
                        shadowFraction,      preShadowIntensity};
    a->defaultAddress = blindData;
    return trace.done(MS::kSuccess);
}

// ---- MPxNode's schema calls ----

MStatus MPxNode::addAttribute(const MObject& attribute) {
    Attribute* a = attributeOf(attribute);
    Trace trace("MPxNode::addAttribute", nameOf(a), [&] { return formatArgs(attribute); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    auto* host = trace.host();
    if (host == nullptr || host->registering == nullptr) {
        return trace.done(MS::kFailure);
    }
    auto& added = host->registering->added;
    if (a == nullptr || std::find(added.begin(), added.end(), a) != added.end()) {
        return trace.done(MS::kInvalidParameter);
    }
    added.push_back(a);
    return trace.done(MS::kSuccess);
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected) {
    Attribute* input = attributeOf(whenChanges);
    Attribute* output = attributeOf(isAffected);
    Trace trace("MPxNode::attributeAffects", nameOf(input),
                [&] { return formatArgs(whenChanges, isAffected); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    auto* host = trace.host();
    if (host == nullptr || host->registering == nullptr) {
        return trace.done(MS::kFailure);
    }
    if (input == nullptr || output == nullptr) {
        return trace.done(MS::kInvalidParameter);
    }
    host->registering->affects.emplace_back(input, output);
    return trace.done(MS::kSuccess);
}

// ---- MFnPlugin ----

MFnPlugin::MFnPlugin(MObject& object, const char* vendor, const char* version,
                     const char* requiredApiVersion, MStatus* returnStatus) {
    auto* plugin = mayahost::detail::pluginOf(object);
    Trace trace("MFnPlugin::MFnPlugin", "",
                [&] { return formatArgs(object, vendor, version, requiredApiVersion); });
    MStatus status = trace.failed() ? MStatus(trace.injected()) : MStatus();
    if (!trace.failed()) {
        if (plugin == nullptr) {
            status = MS::kInvalidParameter;
        } else {
            plugin_ = mayahost::detail::handleOf(plugin);
            plugin->info.vendor = vendor != nullptr ? vendor : "";
            plugin->info.version = version != nullptr ? version : "";
            plugin->info.requiredApiVersion =
                requiredApiVersion != nullptr ? requiredApiVersion : "";
        }
    }
    if (returnStatus != nullptr) {
        *returnStatus = status;
    }
    trace.done(status);
}

MFnPlugin::~MFnPlugin() = default;

MStatus MFnPlugin::registerNode(const MString& typeName, const MTypeId& typeId,
                                MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                                MPxNode::Type type, const MString* classification) {
    Trace trace("MFnPlugin::registerNode", "", [&] {
        return formatArgs(typeName.asChar(), typeId.id(), static_cast<int>(type),
                          classification != nullptr ? classification->asChar() : nullptr);
    });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    auto* host = trace.host();
    auto* plugin = mayahost::detail::pluginOf(MObject(plugin_));
    if (host == nullptr || plugin == nullptr || creatorFunction == nullptr ||
        host->registering != nullptr) {
        return trace.done(MS::kFailure);
    }
    // A second type of the same name or id is refused.
    if (host->findType(typeName.asChar()) != nullptr || host->findType(typeId.id()) != nullptr) {
        return trace.done(MS::kFailure);
    }
    auto nodeType = std::make_unique<mayahost::detail::NodeType>();
    nodeType->info.name = typeName.asChar();
    nodeType->info.id = typeId.id();
    nodeType->info.kind = type;
    nodeType->info.classification = classification != nullptr ? classification->asChar() : "";
    nodeType->info.pluginPath = plugin->path;
    nodeType->plugin = plugin;
    nodeType->creator = creatorFunction;
    nodeType->initialize = initFunction;

    MStatus initialized;
    if (initFunction != nullptr) {
        host->registering = nodeType.get();
        initialized = initFunction();
        host->registering = nullptr;
    }
    nodeType->info.initializeStatus = initialized.statusCode();
    if (!initialized) {
        return trace.done(MS::kFailure);
    }
    host->finalizeType(*nodeType);
    host->nodeTypes.push_back(std::move(nodeType));
    return trace.done(MS::kSuccess);
}

MStatus MFnPlugin::deregisterNode(const MTypeId& typeId) {
    Trace trace("MFnPlugin::deregisterNode", "", [&] { return formatArgs(typeId.id()); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    auto* host = trace.host();
    auto* plugin = mayahost::detail::pluginOf(MObject(plugin_));
    if (host == nullptr || plugin == nullptr) {
        return trace.done(MS::kFailure);
    }
    auto* type = host->findType(typeId.id());
    if (type == nullptr || type->plugin != plugin) {
        return trace.done(MS::kFailure);
    }
    // A type with nodes still alive cannot go.
    for (const auto& node : host->nodes) {
        if (node->type == type) {
            return trace.done(MS::kFailure);
        }
    }
    std::erase_if(host->nodeTypes, [&](const auto& t) { return t.get() == type; });
    return trace.done(MS::kSuccess);
}
