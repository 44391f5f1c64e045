// The values of a node as tests and tools set and read them: by attribute,
// for the renderer's per-sample data and the light elements, each change
// marking the outputs it affects dirty; and compute.
#include <maya/MDataBlock.h>
#include <maya/MPlug.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "hostRecords.h"

namespace mayahost {

using detail::Attribute;
using detail::NodeRecord;
using detail::NodeType;
using detail::Slot;

namespace {

Slot* valueSlot(NodeRecord* r, const Attribute* a) {
    if (r == nullptr || a == nullptr || a->array >= 0 || a->slot < 0) {
        return nullptr;
    }
    return &r->slots[static_cast<std::size_t>(a->slot)];
}

void markDirty(NodeRecord* r, const Attribute* a) {
    for (int slot : a->affectedSlots) {
        r->slots[static_cast<std::size_t>(slot)].clean = false;
    }
}

const Attribute* resolve(const NodeRecord* r, std::string_view name) {
    return r != nullptr ? r->type->find(name) : nullptr;
}

}  // namespace

MPxNode* Node::userNode() const {
    return record_ != nullptr ? record_->node : nullptr;
}

bool Node::isMPSafe() const {
    return record_ != nullptr && record_->mpSafe;
}

AttributeRef Node::attribute(std::string_view name) const {
    return AttributeRef(resolve(record_, name));
}

bool Node::setFloat(AttributeRef ref, float value) {
    const Attribute* a = ref.attribute_;
    Slot* s = valueSlot(record_, a);
    if (s == nullptr || a->info.kind != AttributeKind::Numeric ||
        a->info.numericType == MFnNumericData::kBoolean) {
        return false;
    }
    (a->component >= 0 ? s->vec[static_cast<unsigned int>(a->component)] : s->vec.x) = value;
    markDirty(record_, a);
    return true;
}

bool Node::setBool(AttributeRef ref, bool value) {
    const Attribute* a = ref.attribute_;
    Slot* s = valueSlot(record_, a);
    if (s == nullptr || a->info.numericType != MFnNumericData::kBoolean) {
        return false;
    }
    s->flag = value;
    markDirty(record_, a);
    return true;
}

bool Node::setFloat3(AttributeRef ref, const std::array<float, 3>& value) {
    const Attribute* a = ref.attribute_;
    Slot* s = valueSlot(record_, a);
    if (s == nullptr || a->info.kind != AttributeKind::NumericCompound) {
        return false;
    }
    s->vec = MFloatVector(value[0], value[1], value[2]);
    markDirty(record_, a);
    return true;
}

bool Node::setFloat(std::string_view name, float value) {
    return setFloat(attribute(name), value);
}

bool Node::setBool(std::string_view name, bool value) {
    return setBool(attribute(name), value);
}

bool Node::setFloat3(std::string_view name, const std::array<float, 3>& value) {
    return setFloat3(attribute(name), value);
}

float Node::getFloat(AttributeRef ref) const {
    const Attribute* a = ref.attribute_;
    const Slot* s = valueSlot(record_, a);
    if (s == nullptr) {
        return 0.0f;
    }
    return a->component >= 0 ? s->vec[static_cast<unsigned int>(a->component)] : s->vec.x;
}

std::array<float, 3> Node::getFloat3(AttributeRef ref) const {
    const Slot* s = valueSlot(record_, ref.attribute_);
    if (s == nullptr) {
        return {0.0f, 0.0f, 0.0f};
    }
    return {s->vec.x, s->vec.y, s->vec.z};
}

float Node::getFloat(std::string_view name) const {
    return getFloat(attribute(name));
}

std::array<float, 3> Node::getFloat3(std::string_view name) const {
    return getFloat3(attribute(name));
}

bool Node::isClean(AttributeRef ref) const {
    const Slot* s = valueSlot(record_, ref.attribute_);
    return s != nullptr && s->clean;
}

bool Node::isClean(std::string_view name) const {
    return isClean(attribute(name));
}

void Node::setSampleGeometry(const std::array<float, 3>& pointCamera,
                             const std::array<float, 3>& normalCamera,
                             const std::array<float, 3>& rayDirection) {
    const NodeType* t = record_->type;
    setFloat3(AttributeRef(t->pointCamera), pointCamera);
    setFloat3(AttributeRef(t->normalCamera), normalCamera);
    setFloat3(AttributeRef(t->rayDirection), rayDirection);
}

bool Node::setLightCount(int count) {
    const Attribute* a = record_ != nullptr ? record_->type->lightArray : nullptr;
    if (a == nullptr || count < 0) {
        return false;
    }
    const auto& layout = record_->type->arrays[static_cast<std::size_t>(a->array)];
    auto& array = record_->arrays[static_cast<std::size_t>(a->array)];
    const auto stride = static_cast<std::size_t>(layout.stride);
    const auto wanted = static_cast<std::size_t>(count) * stride;
    if (array.elements.size() < wanted) {
        array.elements.resize(wanted);
    }
    for (int i = array.count; i < count; ++i) {
        std::copy(layout.elementDefault.begin(), layout.elementDefault.end(),
                  array.elements.begin() + static_cast<std::ptrdiff_t>(i * stride));
    }
    array.count = count;
    markDirty(record_, a);
    return true;
}

int Node::lightCount() const {
    const Attribute* a = record_ != nullptr ? record_->type->lightArray : nullptr;
    return a != nullptr ? record_->arrays[static_cast<std::size_t>(a->array)].count : 0;
}

bool Node::setLight(int index, const LightValues& light) {
    const Attribute* a = record_ != nullptr ? record_->type->lightArray : nullptr;
    if (a == nullptr || index < 0 || index >= lightCount()) {
        return false;
    }
    const auto& layout = record_->type->arrays[static_cast<std::size_t>(a->array)];
    auto& array = record_->arrays[static_cast<std::size_t>(a->array)];
    detail::writeLightElement(
        *a, array.elements.data() + static_cast<std::size_t>(index * layout.stride), light);
    for (int dirty : record_->type->lightElementAffectedSlots) {
        record_->slots[static_cast<std::size_t>(dirty)].clean = false;
    }
    return true;
}

MStatus Node::compute(AttributeRef plug) {
    if (record_ == nullptr || plug.attribute_ == nullptr ||
        plug.attribute_->nodeType != record_->type) {
        return MS::kInvalidParameter;
    }
    MPlug p(record_, detail::handleOf(const_cast<Attribute*>(plug.attribute_)));
    MDataBlock block(record_);
    return record_->node->compute(p, block);
}

MStatus Node::compute(std::string_view plugName) {
    return compute(attribute(plugName));
}

}  // namespace mayahost
