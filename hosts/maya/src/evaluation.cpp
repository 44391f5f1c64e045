// OpenMaya: nodes, plugs, data blocks and handles.
#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>

#include "trace.h"

using mayahost::detail::Attribute;
using mayahost::detail::attributeOf;
using mayahost::detail::formatArgs;
using mayahost::detail::nameOf;
using mayahost::detail::NodeRecord;
using mayahost::detail::Slot;
using mayahost::detail::Trace;

const MObject MObject::kNullObj;

namespace {

// What a handle that stands on nothing reads and writes.
thread_local Slot scratch;

Slot& slotOf(void* slot) {
    return slot != nullptr ? *static_cast<Slot*>(slot) : scratch;
}

// The name of an attribute for the call log, looked up only when a call is
// traced.
struct LoggedName {
    const Attribute* attribute;
    operator std::string_view() const { return nameOf(attribute); }
};

// A handle on the value of `a` among `values`, or on nothing when `a` has no
// slot of its own.
MDataHandle handleOn(Slot* values, const Attribute* a) {
    return MDataHandle(values, a->slot >= 0 ? values + a->slot : nullptr, a->component, a);
}

// The handle of a node-level value, or an empty one with kInvalidParameter
// when the attribute is not a value of this node.
MS::MStatusCode nodeValue(NodeRecord* node, const Attribute* a, MDataHandle& handle) {
    if (node == nullptr || a == nullptr || a->nodeType != node->type) [[unlikely]] {
        return MS::kInvalidParameter;
    }
    if (a->array < 0) [[likely]] {
        handle = handleOn(node->slots.data(), a);
        return MS::kSuccess;
    }
    // A value that lives in array elements: the first element's.
    auto& array = node->arrays[static_cast<std::size_t>(a->array)];
    if (array.count <= 0) {
        return MS::kInvalidParameter;
    }
    handle = handleOn(array.elements.data(), a);
    return MS::kSuccess;
}

// MDataBlock's inputValue and outputValue: the same handle, traced under
// the function's name.
MDataHandle nodeValueHandle(const char* function, void* node, const MObject& attribute,
                            MStatus* returnStatus) {
    const Attribute* a = attributeOf(attribute);
    Trace trace(function, LoggedName{a});
    MDataHandle handle;
    const MS::MStatusCode status = nodeValue(static_cast<NodeRecord*>(node), a, handle);
    if (returnStatus != nullptr) {
        *returnStatus = status;
    }
    trace.done(status);
    return handle;
}

}  // namespace

// ---- MPlug ----

bool MPlug::operator==(const MObject& attribute) const {
    Trace trace("MPlug::operator==", LoggedName{attributeOf(attribute_)},
                [&] { return formatArgs(attribute); });
    return attribute_ != nullptr && attribute_ == attribute.hostObject();
}

// ---- MDataBlock ----

MDataHandle MDataBlock::inputValue(const MObject& attribute, MStatus* returnStatus) {
    return nodeValueHandle("MDataBlock::inputValue", node_, attribute, returnStatus);
}

MDataHandle MDataBlock::outputValue(const MObject& attribute, MStatus* returnStatus) {
    return nodeValueHandle("MDataBlock::outputValue", node_, attribute, returnStatus);
}

MArrayDataHandle MDataBlock::inputArrayValue(const MObject& attribute, MStatus* returnStatus) {
    const Attribute* a = attributeOf(attribute);
    Trace trace("MDataBlock::inputArrayValue", LoggedName{a});
    auto* node = static_cast<NodeRecord*>(node_);
    MStatus status = MS::kSuccess;
    MArrayDataHandle handle;
    if (node == nullptr || a == nullptr || a->nodeType != node->type || !a->isArrayRoot()) {
        status = MS::kInvalidParameter;
    } else {
        auto& array = node->arrays[static_cast<std::size_t>(a->array)];
        const auto& layout = node->type->arrays[static_cast<std::size_t>(a->array)];
        handle = MArrayDataHandle(array.elements.data(), static_cast<unsigned int>(array.count),
                                  static_cast<unsigned int>(layout.stride), a);
    }
    if (returnStatus != nullptr) {
        *returnStatus = status;
    }
    trace.done(status);
    return handle;
}

// ---- MDataHandle ----

float& MDataHandle::asFloat() {
    Trace trace("MDataHandle::asFloat", LoggedName{static_cast<const Attribute*>(attribute_)});
    Slot& s = slotOf(slot_);
    return component_ >= 0 ? s.vec[static_cast<unsigned int>(component_)] : s.vec.x;
}

bool& MDataHandle::asBool() {
    Trace trace("MDataHandle::asBool", LoggedName{static_cast<const Attribute*>(attribute_)});
    return slotOf(slot_).flag;
}

void*& MDataHandle::asAddr() {
    Trace trace("MDataHandle::asAddr", LoggedName{static_cast<const Attribute*>(attribute_)});
    return slotOf(slot_).addr;
}

MFloatVector& MDataHandle::asFloatVector() {
    Trace trace("MDataHandle::asFloatVector",
                LoggedName{static_cast<const Attribute*>(attribute_)});
    return slotOf(slot_).vec;
}

MDataHandle MDataHandle::child(const MObject& attribute) {
    const Attribute* a = attributeOf(attribute);
    Trace trace("MDataHandle::child", LoggedName{static_cast<const Attribute*>(attribute_)},
                [&] { return formatArgs(attribute); });
    if (a == nullptr || attribute_ == nullptr || a->parent != attribute_ || values_ == nullptr) {
        trace.done(MS::kInvalidParameter);
        return MDataHandle();
    }
    return handleOn(static_cast<Slot*>(values_), a);
}

void MDataHandle::setClean() {
    Trace trace("MDataHandle::setClean", LoggedName{static_cast<const Attribute*>(attribute_)});
    if (slot_ != nullptr) {
        static_cast<Slot*>(slot_)->clean = true;
    }
}

// ---- MArrayDataHandle ----

unsigned int MArrayDataHandle::elementCount(MStatus* returnStatus) {
    Trace trace("MArrayDataHandle::elementCount",
                LoggedName{static_cast<const Attribute*>(attribute_)});
    if (returnStatus != nullptr) {
        *returnStatus = attribute_ != nullptr ? MS::kSuccess : MS::kInvalidParameter;
    }
    return count_;
}

MDataHandle MArrayDataHandle::inputValue(MStatus* returnStatus) {
    Trace trace("MArrayDataHandle::inputValue",
                LoggedName{static_cast<const Attribute*>(attribute_)});
    if (current_ >= count_ || elements_ == nullptr) {
        if (returnStatus != nullptr) {
            *returnStatus = MS::kInvalidParameter;
        }
        trace.done(MS::kInvalidParameter);
        return MDataHandle();
    }
    if (returnStatus != nullptr) {
        *returnStatus = MS::kSuccess;
    }
    return handleOn(static_cast<Slot*>(elements_) + static_cast<std::size_t>(current_) * stride_,
                    static_cast<const Attribute*>(attribute_));
}

MStatus MArrayDataHandle::next() {
    Trace trace("MArrayDataHandle::next", LoggedName{static_cast<const Attribute*>(attribute_)});
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    if (current_ + 1 >= count_) {
        current_ = count_;
        return trace.done(MS::kFailure);
    }
    ++current_;
    return trace.done(MS::kSuccess);
}

MStatus MArrayDataHandle::jumpToArrayElement(unsigned int index) {
    Trace trace("MArrayDataHandle::jumpToArrayElement",
                LoggedName{static_cast<const Attribute*>(attribute_)},
                [&] { return formatArgs(index); });
    if (index >= count_) {
        return trace.done(MS::kInvalidParameter);
    }
    current_ = index;
    return trace.done(MS::kSuccess);
}

// ---- MPxNode ----

MPxNode::MPxNode() : instance_(mayahost::detail::nodeUnderConstruction()) {
    Trace trace("MPxNode::MPxNode", "");
}

MPxNode::~MPxNode() {
    Trace trace("MPxNode::~MPxNode", "");
}

void MPxNode::postConstructor() {}

MStatus MPxNode::compute(const MPlug&, MDataBlock&) {
    return MS::kUnknownParameter;
}

bool MPxNode::getInternalValueInContext(const MPlug&, MDataHandle&, MDGContext&) {
    return false;
}
bool MPxNode::setInternalValueInContext(const MPlug&, const MDataHandle&, MDGContext&) {
    return false;
}
bool MPxNode::getInternalValue(const MPlug&, MDataHandle&) {
    return false;
}
bool MPxNode::setInternalValue(const MPlug&, const MDataHandle&) {
    return false;
}
int MPxNode::internalArrayCount(const MPlug&, const MDGContext&) const {
    return -1;
}
void MPxNode::copyInternalData(MPxNode*) {}
MStatus MPxNode::legalConnection(const MPlug&, const MPlug&, bool, bool&) const {
    return MS::kUnknownParameter;
}
MStatus MPxNode::legalDisconnection(const MPlug&, const MPlug&, bool, bool&) const {
    return MS::kUnknownParameter;
}
MStatus MPxNode::setDependentsDirty(const MPlug&, MPlugArray&) {
    return MS::kSuccess;
}
MStatus MPxNode::connectionMade(const MPlug&, const MPlug&, bool) {
    return MS::kUnknownParameter;
}
MStatus MPxNode::connectionBroken(const MPlug&, const MPlug&, bool) {
    return MS::kUnknownParameter;
}
bool MPxNode::shouldSave(const MPlug&, bool&) {
    return false;
}
MPlug MPxNode::passThroughToOne(const MPlug&) const {
    return MPlug();
}
bool MPxNode::passThroughToMany(const MPlug&, MPlugArray&) const {
    return false;
}
MPxNode::Type MPxNode::type() const {
    return kDependNode;
}
bool MPxNode::isAbstractClass() const {
    return false;
}
#if defined(OPENMAYA_MAJOR_NAMESPACE)
MPxNode::SchedulingType MPxNode::schedulingType() const {
    return kSerial;
}
#endif

MStatus MPxNode::setMPSafe(bool flag) {
    Trace trace("MPxNode::setMPSafe", "", [&] { return formatArgs(flag); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    auto* record = static_cast<NodeRecord*>(instance_);
    if (record == nullptr) {
        return trace.done(MS::kFailure);
    }
    record->mpSafe = flag;
    return trace.done(MS::kSuccess);
}
