// OpenMaya: attribute function sets and MPxNode's static schema calls.
#include <maya/MFnAttribute.h>
#include <maya/MFnLightDataAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPxNode.h>

#include <algorithm>

#include "trace.h"

using mayahost::AttributeInfo;
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

// A creation: traced, refused before it starts without a host (kFailure) or
// by an armed failure, and otherwise made by `make`, which returns the new
// attribute or null for arguments it refuses (kInvalidParameter). The
// function set then stands on what was created, or on nothing.
template <class MakeArgs, class Make>
MObject createAttribute(const char* function, const MString& longName, MakeArgs makeArgs,
                        void*& fnAttribute, MStatus* returnStatus, Make make) {
    Trace trace(function, longName.asChar(), makeArgs);
    Attribute* created = nullptr;
    MS::MStatusCode status = trace.host() == nullptr ? MS::kFailure : trace.injected();
    if (status == MS::kSuccess) {
        created = make(*trace.host());
        status = created != nullptr ? MS::kSuccess : MS::kInvalidParameter;
    }
    fnAttribute = mayahost::detail::handleOf(created);
    if (returnStatus != nullptr) {
        *returnStatus = status;
    }
    trace.done(status);
    return MObject(mayahost::detail::handleOf(created));
}

// A call on the attribute the function set stands on: traced, refused with
// kInvalidParameter when there is none or `accepts` refuses it, applied
// otherwise.
template <class MakeArgs, class Accepts, class Apply>
MStatus setOnAttribute(const char* function, void* fnAttribute, MakeArgs makeArgs, Accepts accepts,
                       Apply apply) {
    Attribute* a = attributeOf(fnAttribute);
    Trace trace(function, nameOf(a), makeArgs);
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    if (a == nullptr || !accepts(*a)) {
        return trace.done(MS::kInvalidParameter);
    }
    apply(*a);
    return trace.done(MS::kSuccess);
}

MStatus setFlag(const char* function, void* fnAttribute, bool AttributeInfo::*flag, bool state) {
    return setOnAttribute(
        function, fnAttribute, [&] { return formatArgs(state); },
        [](const Attribute&) { return true; }, [&](Attribute& a) { a.info.*flag = state; });
}

MStatus setLimit(const char* function, void* fnAttribute,
                 std::optional<double> AttributeInfo::*limit, double value) {
    return setOnAttribute(
        function, fnAttribute, [&] { return formatArgs(value); },
        [](const Attribute& a) {
            return a.info.kind == AttributeKind::Numeric ||
                   a.info.kind == AttributeKind::NumericCompound;
        },
        [&](Attribute& a) { a.info.*limit = value; });
}

// setDefault on an attribute of `kind`: its default becomes `values`.
template <class MakeArgs>
MStatus setDefaults(void* fnAttribute, AttributeKind kind, MakeArgs makeArgs,
                    std::vector<double> values) {
    return setOnAttribute(
        "MFnNumericAttribute::setDefault", fnAttribute, makeArgs,
        [&](const Attribute& a) { return a.info.kind == kind; },
        [&](Attribute& a) { a.info.defaults = std::move(values); });
}

}  // namespace

// ---- MFnAttribute ----

MFnAttribute::MFnAttribute() = default;
MFnAttribute::~MFnAttribute() = default;

MStatus MFnAttribute::setKeyable(bool state) {
    return setFlag("MFnAttribute::setKeyable", attribute_, &AttributeInfo::keyable, state);
}
MStatus MFnAttribute::setStorable(bool state) {
    return setFlag("MFnAttribute::setStorable", attribute_, &AttributeInfo::storable, state);
}
MStatus MFnAttribute::setHidden(bool state) {
    return setFlag("MFnAttribute::setHidden", attribute_, &AttributeInfo::hidden, state);
}
MStatus MFnAttribute::setReadable(bool state) {
    return setFlag("MFnAttribute::setReadable", attribute_, &AttributeInfo::readable, state);
}
MStatus MFnAttribute::setWritable(bool state) {
    return setFlag("MFnAttribute::setWritable", attribute_, &AttributeInfo::writable, state);
}
MStatus MFnAttribute::setUsedAsColor(bool state) {
    return setFlag("MFnAttribute::setUsedAsColor", attribute_, &AttributeInfo::usedAsColor, state);
}
MStatus MFnAttribute::setArray(bool state) {
    return setFlag("MFnAttribute::setArray", attribute_, &AttributeInfo::array, state);
}

// ---- MFnNumericAttribute ----

MFnNumericAttribute::MFnNumericAttribute() = default;
MFnNumericAttribute::~MFnNumericAttribute() = default;

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    MFnNumericData::Type type, double defaultValue,
                                    MStatus* returnStatus) {
    return createAttribute(
        "MFnNumericAttribute::create", fullName,
        [&] {
            return formatArgs(fullName.asChar(), briefName.asChar(), typeName(type), defaultValue);
        },
        attribute_, returnStatus,
        [&](mayahost::Host::Impl& host) {
            Attribute* a = newAttribute(host, fullName, briefName, AttributeKind::Numeric);
            a->info.numericType = type;
            a->info.creationDefault = defaultValue;
            return a;
        });
}

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    const MObject& child1, const MObject& child2,
                                    const MObject& child3, MStatus* returnStatus) {
    return createAttribute(
        "MFnNumericAttribute::create", fullName,
        [&] { return formatArgs(fullName.asChar(), briefName.asChar(), child1, child2, child3); },
        attribute_, returnStatus,
        [&](mayahost::Host::Impl& host) -> Attribute* {
            const std::vector<Attribute*> children{attributeOf(child1), attributeOf(child2),
                                                   attributeOf(child3)};
            const bool numericLeaves =
                std::all_of(children.begin(), children.end(), [](Attribute* c) {
                    return c != nullptr && c->info.kind == AttributeKind::Numeric;
                });
            if (!numericLeaves || !adoptable(children)) {
                return nullptr;
            }
            Attribute* a = newAttribute(host, fullName, briefName, AttributeKind::NumericCompound);
            a->info.numericType = children[0]->info.numericType == MFnNumericData::kDouble
                                      ? MFnNumericData::k3Double
                                      : MFnNumericData::k3Float;
            adopt(a, children);
            return a;
        });
}

MObject MFnNumericAttribute::createAddr(const MString& fullName, const MString& briefName,
                                        void* defaultValue, MStatus* returnStatus) {
    return createAttribute(
        "MFnNumericAttribute::createAddr", fullName,
        [&] {
            return formatArgs(fullName.asChar(), briefName.asChar(),
                              static_cast<const void*>(defaultValue));
        },
        attribute_, returnStatus,
        [&](mayahost::Host::Impl& host) {
            Attribute* a = newAttribute(host, fullName, briefName, AttributeKind::Address);
            a->info.numericType = MFnNumericData::kAddr;
            a->creationAddress = defaultValue;
            return a;
        });
}

MStatus MFnNumericAttribute::setDefault(bool value) {
    return setDefaults(attribute_, AttributeKind::Numeric, [&] { return formatArgs(value); },
                       {value ? 1.0 : 0.0});
}

MStatus MFnNumericAttribute::setDefault(float value) {
    return setDefaults(attribute_, AttributeKind::Numeric, [&] { return formatArgs(value); },
                       {static_cast<double>(value)});
}

MStatus MFnNumericAttribute::setDefault(float value1, float value2, float value3) {
    return setDefaults(attribute_, AttributeKind::NumericCompound,
                       [&] { return formatArgs(value1, value2, value3); },
                       {value1, value2, value3});
}

MStatus MFnNumericAttribute::setMin(double value) {
    return setLimit("MFnNumericAttribute::setMin", attribute_, &AttributeInfo::min, value);
}
MStatus MFnNumericAttribute::setMax(double value) {
    return setLimit("MFnNumericAttribute::setMax", attribute_, &AttributeInfo::max, value);
}
MStatus MFnNumericAttribute::setSoftMin(double value) {
    return setLimit("MFnNumericAttribute::setSoftMin", attribute_, &AttributeInfo::softMin, value);
}
MStatus MFnNumericAttribute::setSoftMax(double value) {
    return setLimit("MFnNumericAttribute::setSoftMax", attribute_, &AttributeInfo::softMax, value);
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
    return createAttribute(
        "MFnLightDataAttribute::create", fullName,
        [&] {
            return formatArgs(fullName.asChar(), briefName.asChar(), direction, intensity, ambient,
                              diffuse, specular, shadowFraction, preShadowIntensity, blindData);
        },
        attribute_, returnStatus,
        [&](mayahost::Host::Impl& host) -> Attribute* {
            const std::vector<Attribute*> children{attributeOf(direction),
                                                   attributeOf(intensity),
                                                   attributeOf(ambient),
                                                   attributeOf(diffuse),
                                                   attributeOf(specular),
                                                   attributeOf(shadowFraction),
                                                   attributeOf(preShadowIntensity),
                                                   attributeOf(blindData)};
            if (!adoptable(children)) {
                return nullptr;
            }
            Attribute* a = newAttribute(host, fullName, briefName, AttributeKind::LightData);
            adopt(a, children);
            return a;
        });
}

MStatus MFnLightDataAttribute::setDefault(float directionX, float directionY, float directionZ,
                                          float intensityR, float intensityG, float intensityB,
                                          bool ambient, bool diffuse, bool specular,
                                          float shadowFraction, float preShadowIntensity,
                                          void* blindData) {
    return setOnAttribute(
        "MFnLightDataAttribute::setDefault", attribute_,
        [&] {
            return formatArgs(directionX, directionY, directionZ, intensityR, intensityG,
                              intensityB, ambient, diffuse, specular, shadowFraction,
                              preShadowIntensity, static_cast<const void*>(blindData));
        },
        [](const Attribute& a) { return a.info.kind == AttributeKind::LightData; },
        [&](Attribute& a) {
            a.info.defaults = {directionX,          directionY,          directionZ,
                               intensityR,          intensityG,          intensityB,
                               ambient ? 1.0 : 0.0, diffuse ? 1.0 : 0.0, specular ? 1.0 : 0.0,
                               shadowFraction,      preShadowIntensity};
            a.defaultAddress = blindData;
        });
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
