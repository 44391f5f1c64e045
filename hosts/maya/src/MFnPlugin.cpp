// OpenMaya: MFnPlugin, through which a plug-in registers its node types.
#include <maya/MFnPlugin.h>
#include <maya/MPxNode.h>

#include <memory>

#include "trace.h"

using mayahost::detail::formatArgs;
using mayahost::detail::Trace;

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

bool MFnPlugin::isNodeRegistered(const MString& typeName) {
    Trace trace("MFnPlugin::isNodeRegistered", "", [&] { return formatArgs(typeName.asChar()); });
    auto* host = trace.host();
    return host != nullptr && host->findType(typeName.asChar()) != nullptr;
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
