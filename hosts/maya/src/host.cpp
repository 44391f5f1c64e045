// The stand-in Maya's registry: plug-ins loaded and unloaded through their
// entry points, the node types they register, and the nodes made of them.
#include "mayahost/host.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "dynamicLibrary.h"
#include "entryPoints.h"
#include "hostRecords.h"

namespace mayahost {

using detail::Attribute;
using detail::NodeRecord;
using detail::NodeType;
using detail::Plugin;

namespace detail {

Host::Impl* g_currentHost = nullptr;

NodeRecord*& nodeUnderConstruction() {
    thread_local NodeRecord* record = nullptr;
    return record;
}

namespace {

void setGlobalHost(Host::Impl* impl) {
    if (impl != nullptr && detail::g_currentHost != nullptr) {
        throw std::logic_error("only one mayahost::Host may exist at a time");
    }
    detail::g_currentHost = impl;
}
}  // namespace
}  // namespace detail

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
    std::erase_if(surfaceShadingNodeOverrides,
                  [&](const detail::DrawOverride& o) { return o.plugin == plugin; });
    std::erase_if(nodeTypes, [&](const auto& t) { return t->plugin == plugin; });
    std::erase_if(attributes, [&](const auto& a) { return a->owner == plugin; });
    if (plugin->library != nullptr) {
        lumaveil::hosts::closeLibrary(plugin->library);
    }
    std::erase_if(plugins, [&](const auto& p) { return p.get() == plugin; });
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
    void* library = lumaveil::hosts::openLibrary(path, loaderError);
    if (library == nullptr) {
        return fail(MS::kFailure, detail::explainLoadFailure(path, loaderError));
    }
    const auto* apiVersion =
        static_cast<const char*>(lumaveil::hosts::findSymbol(library, "MApiVersion"));
    const detail::EntryPoint initialize = detail::findEntryPoint(library, "initializePlugin");
    const detail::EntryPoint uninitialize = detail::findEntryPoint(library, "uninitializePlugin");
    std::string problem;
    if (apiVersion == nullptr) {
        problem = "it exports no MApiVersion";
    } else if (initialize.address == nullptr || uninitialize.address == nullptr) {
        problem = "it lacks initializePlugin or uninitializePlugin";
    } else {
        char* end = nullptr;
        const long version = std::strtol(apiVersion, &end, 10);
        if (end == apiVersion || *end != '\0' || version <= 0 || version > kApiVersion) {
            problem = "its API version \"" + std::string(apiVersion) + "\" is not supported";
        }
    }
    if (!problem.empty()) {
        lumaveil::hosts::closeLibrary(library);
        return fail(MS::kFailure, path + ": " + problem);
    }

    auto plugin = std::make_unique<Plugin>();
    plugin->path = path;
    plugin->library = library;
    plugin->info.path = path;
    plugin->info.apiVersion = apiVersion;
    plugin->initializePlugin = initialize;
    plugin->uninitializePlugin = uninitialize;
    Plugin* p = plugin.get();
    impl_->plugins.push_back(std::move(plugin));

    impl_->activePlugin = p;
    const MStatus status = detail::call(p->initializePlugin, p);
    impl_->activePlugin = nullptr;
    if (!status) {
        impl_->dropPlugin(p);
        return fail(status.statusCode(), path + ": initializePlugin failed");
    }
    return status;
}

MStatus Host::unloadPlugin(const std::string& path, std::string* error) {
    auto fail = [&](MS::MStatusCode code, const std::string& message) {
        if (error != nullptr) {
            *error = message;
        }
        return MStatus(code);
    };
    Plugin* p = impl_->findPlugin(path);
    if (p == nullptr) {
        return fail(MS::kNotFound, path + " is not loaded");
    }
    impl_->destroyNodesOf(p);
    impl_->activePlugin = p;
    const MStatus status = detail::call(p->uninitializePlugin, p);
    impl_->activePlugin = nullptr;
    if (!status) {
        return fail(status.statusCode(), path + ": uninitializePlugin failed");
    }
    for (const detail::DrawOverride& o : impl_->surfaceShadingNodeOverrides) {
        if (o.plugin == p) {
            return fail(MS::kFailure, path + ": its Viewport 2.0 override for \"" +
                                          o.drawClassification + "\" is still registered");
        }
    }
    impl_->dropPlugin(p);
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

std::vector<DrawOverrideInfo> Host::surfaceShadingNodeOverrides() const {
    std::vector<DrawOverrideInfo> overrides;
    for (const detail::DrawOverride& o : impl_->surfaceShadingNodeOverrides) {
        overrides.push_back({o.drawClassification, o.registrantId, o.plugin->path});
    }
    return overrides;
}

void Host::setViewportRendererAvailable(bool available) {
    impl_->viewportRenderer = available;
}

void Host::setViewportDrawAPI(int drawAPI) {
    impl_->viewportDrawAPI = drawAPI;
}

std::vector<std::string> Host::registeredFragments() const {
    std::vector<std::string> names;
    for (const detail::FragmentRecord& r : impl_->fragments) {
        names.push_back(r.name);
    }
    return names;
}

std::optional<std::string> Host::fragmentXml(std::string_view name) const {
    for (const detail::FragmentRecord& r : impl_->fragments) {
        if (r.name == name) {
            return r.xml;
        }
    }
    return std::nullopt;
}

void Host::setRunningApiVersion(int version) {
    impl_->runningApiVersion = version;
}

std::vector<std::string> Host::displayedWarnings() const {
    return impl_->warnings;
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
#if defined(OPENMAYA_MAJOR_NAMESPACE)
    // Where setMPSafe is deprecated, the node says it through schedulingType().
    record->mpSafe = record->mpSafe || record->node->schedulingType() == MPxNode::kParallel;
#endif
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

}  // namespace mayahost
