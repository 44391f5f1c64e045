// The stand-in Maya: plug-in loading, node types, nodes, MEL, the call log.
#include "mayahost/Host.h"

#include <maya/MDataBlock.h>
#include <maya/MPlug.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>

#include "DynamicLibrary.h"
#include "HostCore.h"

namespace mayahost {

using detail::Attribute;
using detail::NodeRecord;
using detail::NodeType;
using detail::Plugin;
using detail::Slot;

namespace detail {

Host::Impl* g_currentHost = nullptr;

struct Trace::Call {
    Host::Impl* host;
    CallRecord record;
    MS::MStatusCode injected = MS::kSuccess;
};

Trace::Call* Trace::start(Host::Impl* host, const char* function, std::string_view attribute,
                          std::string&& arguments) {
    auto call = std::make_unique<Call>();
    call->host = host;
    call->record.function = function;
    call->record.attribute = std::string(attribute);
    call->record.arguments = std::move(arguments);
    if (host->failuresArmed.load(std::memory_order_relaxed)) {
        call->injected = host->armedFailure(call->record);
    }
    return call.release();
}

MS::MStatusCode Trace::injectedBy(const Call* call) {
    return call->injected;
}

void Trace::finish(Call* call, MS::MStatusCode status) {
    const std::unique_ptr<Call> owned(call);
    owned->record.status = status;
    owned->host->record(std::move(owned->record));
}

NodeRecord*& nodeUnderConstruction() {
    thread_local NodeRecord* record = nullptr;
    return record;
}

std::string formatArg(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
    return text;
}

std::string formatArg(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

std::string formatArg(const char* v) {
    if (v == nullptr) {
        return "null";
    }
    // Appended piece by piece: GCC 12 at -O3 takes '"' + std::string(v) for
    // an overlapping copy (-Wrestrict).
    std::string quoted(1, '"');
    quoted.append(v).push_back('"');
    return quoted;
}

std::string formatArg(const void* v) {
    if (v == nullptr) {
        return "null";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%p", v);
    return text;
}

std::string formatArg(const MObject& v) {
    if (v.isNull()) {
        return "null";
    }
    if (Attribute* a = attributeOf(v)) {
        return a->info.longName;
    }
    return "plugin";
}

Attribute* NodeType::find(std::string_view name) const {
    for (Attribute* a : attributes) {
        if (a->info.longName == name || a->info.shortName == name) {
            return a;
        }
    }
    return nullptr;
}

namespace {

void setGlobalHost(Host::Impl* impl) {
    if (impl != nullptr && detail::g_currentHost != nullptr) {
        throw std::logic_error("only one mayahost::Host may exist at a time");
    }
    detail::g_currentHost = impl;
}

bool isDescendant(const Attribute* a, const Attribute* ancestor) {
    for (const Attribute* p = a->parent; p != nullptr; p = p->parent) {
        if (p == ancestor) {
            return true;
        }
    }
    return false;
}

// Gives every value under `a` a slot: a float triple one slot whose children
// are its components, other leaves one slot each, a light-data compound none
// of its own.
void layout(Attribute* a, int array, int& next) {
    a->array = array;
    switch (a->info.kind) {
        case AttributeKind::NumericCompound:
            a->slot = next++;
            for (std::size_t i = 0; i < a->children.size(); ++i) {
                a->children[i]->array = array;
                a->children[i]->slot = a->slot;
                a->children[i]->component = static_cast<int>(i);
            }
            break;
        case AttributeKind::LightData:
            a->slot = -1;
            for (Attribute* child : a->children) {
                layout(child, array, next);
            }
            break;
        default:
            a->slot = next++;
            break;
    }
}

double leafDefault(const Attribute* a) {
    return a->info.defaults.empty() ? a->info.creationDefault : a->info.defaults[0];
}

// Writes the default of `a` into the slots `base`. A default set on a
// compound overrides its children's.
void writeDefault(const Attribute* a, Slot* base) {
    switch (a->info.kind) {
        case AttributeKind::Numeric: {
            Slot& s = base[a->slot];
            const double v = leafDefault(a);
            if (a->component >= 0) {
                s.vec[static_cast<unsigned int>(a->component)] = static_cast<float>(v);
            } else if (a->info.numericType == MFnNumericData::kBoolean) {
                s.flag = v != 0.0;
            } else {
                s.vec.x = static_cast<float>(v);
            }
            break;
        }
        case AttributeKind::NumericCompound:
            for (const Attribute* child : a->children) {
                writeDefault(child, base);
            }
            if (a->info.defaults.size() == 3) {
                base[a->slot].vec = MFloatVector(static_cast<float>(a->info.defaults[0]),
                                                 static_cast<float>(a->info.defaults[1]),
                                                 static_cast<float>(a->info.defaults[2]));
            }
            break;
        case AttributeKind::Address:
            base[a->slot].addr = a->info.defaults.empty() && a->defaultAddress == nullptr
                                     ? a->creationAddress
                                     : a->defaultAddress;
            break;
        case AttributeKind::LightData: {
            for (const Attribute* child : a->children) {
                writeDefault(child, base);
            }
            const auto& d = a->info.defaults;
            if (d.size() == 11 && a->children.size() == 8) {
                const auto& c = a->children;
                auto f = [&](int i) { return static_cast<float>(d[static_cast<std::size_t>(i)]); };
                if (c[0]->slot >= 0) {
                    base[c[0]->slot].vec = MFloatVector(f(0), f(1), f(2));
                }
                if (c[1]->slot >= 0) {
                    base[c[1]->slot].vec = MFloatVector(f(3), f(4), f(5));
                }
                for (int i = 0; i < 3; ++i) {
                    if (c[2 + i]->slot >= 0) {
                        base[c[2 + i]->slot].flag = d[static_cast<std::size_t>(6 + i)] != 0.0;
                    }
                }
                if (c[5]->slot >= 0) {
                    base[c[5]->slot].vec.x = f(9);
                }
                if (c[6]->slot >= 0) {
                    base[c[6]->slot].vec.x = f(10);
                }
                if (c[7]->slot >= 0) {
                    base[c[7]->slot].addr = a->defaultAddress;
                }
            }
            break;
        }
    }
}

}  // namespace
}  // namespace detail

// ---- Impl ----

MS::MStatusCode Host::Impl::armedFailure(const CallRecord& call) {
    std::lock_guard lock(logMutex);
    MS::MStatusCode result = MS::kSuccess;
    for (auto& rule : failures) {
        if (rule.matcher(call)) {
            ++rule.seen;
            if (result == MS::kSuccess && (rule.occurrence == 0 || rule.seen == rule.occurrence)) {
                result = rule.status;
            }
        }
    }
    return result;
}

void Host::Impl::record(CallRecord&& call) {
    if (!logEnabled.load(std::memory_order_relaxed)) {
        return;
    }
    std::lock_guard lock(logMutex);
    log.push_back(std::move(call));
}

NodeType* Host::Impl::findType(std::string_view name) const {
    for (const auto& t : nodeTypes) {
        if (t->info.name == name) {
            return t.get();
        }
    }
    return nullptr;
}

NodeType* Host::Impl::findType(unsigned int id) const {
    for (const auto& t : nodeTypes) {
        if (t->info.id == id) {
            return t.get();
        }
    }
    return nullptr;
}

Plugin* Host::Impl::findPlugin(const std::string& path) const {
    for (const auto& p : plugins) {
        if (p->path == path) {
            return p.get();
        }
    }
    return nullptr;
}

// After initialize: the type's attributes are those added and everything
// below them; values are laid out, defaults and dirty propagation fixed.
void Host::Impl::finalizeType(NodeType& type) {
    std::vector<Attribute*>& all = type.attributes;
    auto include = [&](auto&& self, Attribute* a) -> void {
        if (std::find(all.begin(), all.end(), a) == all.end()) {
            all.push_back(a);
        }
        for (Attribute* child : a->children) {
            self(self, child);
        }
    };
    for (Attribute* a : type.added) {
        include(include, a);
    }
    std::sort(all.begin(), all.end(), [](const Attribute* a, const Attribute* b) {
        return a->creationIndex < b->creationIndex;
    });

    auto inType = [&](const Attribute* a) {
        return a != nullptr && std::find(all.begin(), all.end(), a) != all.end();
    };
    int nodeSlots = 0;
    for (Attribute* a : all) {
        a->nodeType = &type;
        if (inType(a->parent)) {
            continue;
        }
        if (a->info.array) {
            detail::ArrayLayout array;
            array.attribute = a;
            const int index = static_cast<int>(type.arrays.size());
            detail::layout(a, index, array.stride);
            array.elementDefault.resize(static_cast<std::size_t>(array.stride));
            detail::writeDefault(a, array.elementDefault.data());
            type.arrays.push_back(std::move(array));
        } else {
            detail::layout(a, -1, nodeSlots);
        }
    }
    type.nodeDefault.resize(static_cast<std::size_t>(nodeSlots));
    for (Attribute* a : all) {
        if (!inType(a->parent) && !a->info.array) {
            detail::writeDefault(a, type.nodeDefault.data());
        }
    }

    for (Attribute* a : all) {
        a->affectedSlots.clear();
        for (const auto& [input, output] : type.affects) {
            const bool related =
                input == a || detail::isDescendant(a, input) || detail::isDescendant(input, a);
            if (related && output->array < 0 && output->slot >= 0 &&
                std::find(a->affectedSlots.begin(), a->affectedSlots.end(), output->slot) ==
                    a->affectedSlots.end()) {
                a->affectedSlots.push_back(output->slot);
            }
        }
    }

    for (Attribute* a : all) {
        type.info.attributes.push_back(a->info);
    }
    for (Attribute* a : type.added) {
        type.info.addedAttributes.push_back(a->info.longName);
    }
    for (const auto& [input, output] : type.affects) {
        type.info.affects.emplace_back(input->info.longName, output->info.longName);
    }

    type.pointCamera = type.find("pointCamera");
    type.normalCamera = type.find("normalCamera");
    type.rayDirection = type.find("rayDirection");
    for (Attribute* a : all) {
        if (a->info.kind == AttributeKind::LightData && a->info.array && a->children.size() == 8) {
            type.lightArray = a;
            break;
        }
    }
    type.lightElementAffectedSlots.clear();
    if (const Attribute* lights = type.lightArray) {
        std::vector<int>& slots = type.lightElementAffectedSlots;
        auto gather = [&](const Attribute* a) {
            for (int slot : a->affectedSlots) {
                if (std::find(slots.begin(), slots.end(), slot) == slots.end()) {
                    slots.push_back(slot);
                }
            }
        };
        for (const Attribute* child : lights->children) {
            gather(child);
        }
        gather(lights);
    }
}

void Host::Impl::destroyNodesOf(const Plugin* plugin) {
    for (auto it = nodes.begin(); it != nodes.end();) {
        if ((*it)->type->plugin == plugin) {
            delete (*it)->node;
            it = nodes.erase(it);
        } else {
            ++it;
        }
    }
}

// Forgets everything the plug-in left behind and closes its library.
void Host::Impl::dropPlugin(Plugin* plugin) {
    destroyNodesOf(plugin);
    std::erase_if(nodeTypes, [&](const auto& t) { return t->plugin == plugin; });
    std::erase_if(attributes, [&](const auto& a) { return a->owner == plugin; });
    if (plugin->library != nullptr) {
        detail::closeLibrary(plugin->library);
    }
    std::erase_if(plugins, [&](const auto& p) { return p.get() == plugin; });
}

// The little MEL this host understands: the render-node creation window's
// refresh, guarded or not by a test for the window.
void Host::Impl::runCommand(const std::string& command) {
    commands.push_back(command);
    static const std::string refresh = "refreshCreateRenderNodeWindow(\"";
    const auto at = command.find(refresh);
    if (at == std::string::npos || !windowOpen) {
        return;
    }
    const auto start = at + refresh.size();
    const auto end = command.find('"', start);
    refreshes.push_back(command.substr(start, end == std::string::npos ? end : end - start));
}

// ---- Host ----

Host::Host() : impl_(std::make_unique<Impl>()) {
    detail::setGlobalHost(impl_.get());
}

Host::~Host() {
    while (!impl_->plugins.empty()) {
        Plugin* plugin = impl_->plugins.back().get();
        if (!unloadPlugin(plugin->path)) {
            impl_->dropPlugin(plugin);
        }
    }
    impl_->attributes.clear();
    detail::setGlobalHost(nullptr);
}

MStatus Host::loadPlugin(const std::string& path, std::string* error) {
    auto fail = [&](MS::MStatusCode code, const std::string& message) {
        if (error != nullptr) {
            *error = message;
        }
        return MStatus(code);
    };
    if (impl_->findPlugin(path) != nullptr) {
        return fail(MS::kFailure, path + " is already loaded");
    }
    std::string loaderError;
    void* library = detail::openLibrary(path, loaderError);
    if (library == nullptr) {
        return fail(MS::kFailure, loaderError);
    }
    const auto* apiVersion = static_cast<const char*>(detail::findSymbol(library, "MApiVersion"));
    auto* initialize = detail::findSymbol(library, "initializePlugin");
    auto* uninitialize = detail::findSymbol(library, "uninitializePlugin");
    std::string problem;
    if (apiVersion == nullptr) {
        problem = "it exports no MApiVersion";
    } else if (initialize == nullptr || uninitialize == nullptr) {
        problem = "it lacks initializePlugin or uninitializePlugin";
    } else {
        char* end = nullptr;
        const long version = std::strtol(apiVersion, &end, 10);
        if (end == apiVersion || *end != '\0' || version <= 0 || version > kApiVersion) {
            problem = "its API version \"" + std::string(apiVersion) + "\" is not supported";
        }
    }
    if (!problem.empty()) {
        detail::closeLibrary(library);
        return fail(MS::kFailure, path + ": " + problem);
    }

    auto plugin = std::make_unique<Plugin>();
    plugin->path = path;
    plugin->library = library;
    plugin->info.path = path;
    plugin->info.apiVersion = apiVersion;
    plugin->initializePlugin = reinterpret_cast<MStatus (*)(MObject)>(initialize);
    plugin->uninitializePlugin = reinterpret_cast<MStatus (*)(MObject)>(uninitialize);
    Plugin* p = plugin.get();
    impl_->plugins.push_back(std::move(plugin));

    impl_->activePlugin = p;
    const MStatus status = p->initializePlugin(MObject(detail::handleOf(p)));
    impl_->activePlugin = nullptr;
    if (!status) {
        impl_->dropPlugin(p);
        return fail(status.statusCode(), path + ": initializePlugin failed");
    }
    return status;
}

MStatus Host::unloadPlugin(const std::string& path) {
    Plugin* p = impl_->findPlugin(path);
    if (p == nullptr) {
        return MS::kNotFound;
    }
    impl_->destroyNodesOf(p);
    impl_->activePlugin = p;
    const MStatus status = p->uninitializePlugin(MObject(detail::handleOf(p)));
    impl_->activePlugin = nullptr;
    if (status) {
        impl_->dropPlugin(p);
    }
    return status;
}

bool Host::isPluginLoaded(const std::string& path) const {
    return impl_->findPlugin(path) != nullptr;
}

std::optional<PluginInfo> Host::pluginInfo(const std::string& path) const {
    if (const Plugin* p = impl_->findPlugin(path)) {
        return p->info;
    }
    return std::nullopt;
}

std::vector<std::string> Host::nodeTypeNames() const {
    std::vector<std::string> names;
    for (const auto& t : impl_->nodeTypes) {
        names.push_back(t->info.name);
    }
    return names;
}

std::optional<NodeTypeInfo> Host::nodeType(std::string_view name) const {
    if (const NodeType* t = impl_->findType(name)) {
        return t->info;
    }
    return std::nullopt;
}

Node Host::createNode(std::string_view typeName, MStatus* status) {
    auto result = [&](MS::MStatusCode code, NodeRecord* record) {
        if (status != nullptr) {
            *status = code;
        }
        return Node(record);
    };
    NodeType* type = impl_->findType(typeName);
    if (type == nullptr) {
        return result(MS::kNotFound, nullptr);
    }
    auto record = std::make_unique<NodeRecord>();
    record->type = type;
    record->slots.assign(type->nodeDefault.begin(), type->nodeDefault.end());
    record->arrays.resize(type->arrays.size());

    detail::nodeUnderConstruction() = record.get();
    void* created = type->creator();
    detail::nodeUnderConstruction() = nullptr;
    if (created == nullptr) {
        return result(MS::kFailure, nullptr);
    }
    record->node = static_cast<MPxNode*>(created);
    record->node->postConstructor();
    NodeRecord* r = record.get();
    impl_->nodes.push_back(std::move(record));
    return result(MS::kSuccess, r);
}

void Host::destroyNode(Node node) {
    for (auto it = impl_->nodes.begin(); it != impl_->nodes.end(); ++it) {
        if (it->get() == node.record_) {
            delete (*it)->node;
            impl_->nodes.erase(it);
            return;
        }
    }
}

int Host::nodeCount() const {
    return static_cast<int>(impl_->nodes.size());
}

void Host::setCreateRenderNodeWindowOpen(bool open) {
    impl_->windowOpen = open;
}

std::vector<std::string> Host::executedCommands() const {
    return impl_->commands;
}

std::vector<std::string> Host::renderNodeWindowRefreshes() const {
    return impl_->refreshes;
}

void Host::setCallLogEnabled(bool enabled) {
    impl_->logEnabled.store(enabled);
}

std::vector<CallRecord> Host::callLog() const {
    std::lock_guard lock(impl_->logMutex);
    return impl_->log;
}

void Host::clearCallLog() {
    std::lock_guard lock(impl_->logMutex);
    impl_->log.clear();
}

void Host::failCalls(CallMatcher matcher, MS::MStatusCode status, int occurrence) {
    std::lock_guard lock(impl_->logMutex);
    impl_->failures.push_back({std::move(matcher), status, occurrence, 0});
    impl_->failuresArmed.store(true);
}

void Host::failCalls(const std::string& function, const std::string& attribute,
                     MS::MStatusCode status, int occurrence) {
    failCalls(
        [function, attribute](const CallRecord& call) {
            return call.function == function && (attribute.empty() || call.attribute == attribute);
        },
        status, occurrence);
}

void Host::clearCallFailures() {
    std::lock_guard lock(impl_->logMutex);
    impl_->failures.clear();
    impl_->failuresArmed.store(false);
}

// ---- Node ----

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

const std::string& Node::typeName() const {
    return record_->type->info.name;
}

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

bool Node::getBool(AttributeRef ref) const {
    const Slot* s = valueSlot(record_, ref.attribute_);
    return s != nullptr && s->flag;
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
bool Node::getBool(std::string_view name) const {
    return getBool(attribute(name));
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
    Slot* e = array.elements.data() + static_cast<std::size_t>(index * layout.stride);
    const auto& c = a->children;
    auto slot = [&](int i) -> Slot* {
        const int s = c[static_cast<std::size_t>(i)]->slot;
        return s >= 0 ? e + s : nullptr;
    };
    if (Slot* s = slot(0)) {
        s->vec = MFloatVector(light.direction[0], light.direction[1], light.direction[2]);
    }
    if (Slot* s = slot(1)) {
        s->vec = MFloatVector(light.intensity[0], light.intensity[1], light.intensity[2]);
    }
    const bool flags[3] = {light.ambient, light.diffuse, light.specular};
    for (int i = 0; i < 3; ++i) {
        if (Slot* s = slot(2 + i)) {
            s->flag = flags[i];
        }
    }
    if (Slot* s = slot(5)) {
        s->vec.x = light.shadowFraction;
    }
    if (Slot* s = slot(6)) {
        s->vec.x = light.preShadowIntensity;
    }
    if (Slot* s = slot(7)) {
        s->addr = light.blindData;
    }
    for (int dirty : record_->type->lightElementAffectedSlots) {
        record_->slots[static_cast<std::size_t>(dirty)].clean = false;
    }
    return true;
}

LightValues Node::light(int index) const {
    LightValues light;
    const Attribute* a = record_ != nullptr ? record_->type->lightArray : nullptr;
    if (a == nullptr || index < 0 || index >= lightCount()) {
        return light;
    }
    const auto& layout = record_->type->arrays[static_cast<std::size_t>(a->array)];
    const auto& array = record_->arrays[static_cast<std::size_t>(a->array)];
    const Slot* e = array.elements.data() + static_cast<std::size_t>(index * layout.stride);
    const auto& c = a->children;
    auto slot = [&](int i) -> const Slot* {
        const int s = c[static_cast<std::size_t>(i)]->slot;
        return s >= 0 ? e + s : nullptr;
    };
    if (const Slot* s = slot(0)) {
        light.direction = {s->vec.x, s->vec.y, s->vec.z};
    }
    if (const Slot* s = slot(1)) {
        light.intensity = {s->vec.x, s->vec.y, s->vec.z};
    }
    if (const Slot* s = slot(2)) {
        light.ambient = s->flag;
    }
    if (const Slot* s = slot(3)) {
        light.diffuse = s->flag;
    }
    if (const Slot* s = slot(4)) {
        light.specular = s->flag;
    }
    if (const Slot* s = slot(5)) {
        light.shadowFraction = s->vec.x;
    }
    if (const Slot* s = slot(6)) {
        light.preShadowIntensity = s->vec.x;
    }
    if (const Slot* s = slot(7)) {
        light.blindData = s->addr;
    }
    return light;
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
