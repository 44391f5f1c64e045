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

#include <maya/MStatus.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mayahost/callRecord.h"
#include "mayahost/node.h"
#include "mayahost/nodeTypeInfo.h"

namespace mayahost {

struct PluginInfo {
    std::string path;
    std::string apiVersion;  // the library's MApiVersion
    std::string vendor;
    std::string version;
    std::string requiredApiVersion;
};

// A Viewport 2.0 override that a plug-in registered.
struct DrawOverrideInfo {
    std::string drawClassification;  // "drawdb/shader/surface/<nodeType>"
    std::string registrantId;
    std::string pluginPath;
    bool operator==(const DrawOverrideInfo&) const = default;
};

class OPENMAYA_EXPORT Host {
public:
    Host();
    // Unloads every plug-in still loaded.
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The host API version that plug-ins are checked against: its devkit's.
    static constexpr long kApiVersion = MAYA_API_VERSION;

    // dlopen, check MApiVersion, find the entry points (by their C++ names,
    // then their C names; the call log says which), call initializePlugin. On
    // failure the library is closed again, nothing it registered stays behind,
    // and error holds one line.
    MStatus loadPlugin(const std::string& path, std::string* error = nullptr);
    // Destroys the plug-in's nodes, calls uninitializePlugin and, when it
    // succeeds, drops the plug-in's node types and closes the library. When it
    // fails, or leaves a Viewport 2.0 override registered (whose creator would
    // then lie in a closed library), the plug-in stays loaded, as Maya keeps
    // it, and error holds one line.
    MStatus unloadPlugin(const std::string& path, std::string* error = nullptr);
    bool isPluginLoaded(const std::string& path) const;
    std::optional<PluginInfo> pluginInfo(const std::string& path) const;

    std::vector<std::string> nodeTypeNames() const;
    // Viewport 2.0's surface shading node overrides, in registration order
    // (mayahost/viewport.h draws through them).
    std::vector<DrawOverrideInfo> surfaceShadingNodeOverrides() const;
    std::optional<NodeTypeInfo> nodeType(std::string_view name) const;

    // Viewport 2.0 (devkits from Maya 2016 on). Whether
    // MRenderer::theRenderer() finds a renderer (in batch mode it does not),
    // the device API it draws through (an MHWRender::DrawAPI bit; the core
    // profile by default), and the fragments and graphs registered with its
    // fragment manager, in registration order.
    void setViewportRendererAvailable(bool available);
    void setViewportDrawAPI(int drawAPI);
    std::vector<std::string> registeredFragments() const;
    // The XML a registered fragment or graph was added with; none if there is
    // no such fragment.
    std::optional<std::string> fragmentXml(std::string_view name) const;

    // The API version that MGlobal::apiVersion() gives: the devkit's by
    // default, a later update's as a test sets it.
    void setRunningApiVersion(int version);
    // Every line shown with MGlobal::displayWarning, in order.
    std::vector<std::string> displayedWarnings() const;

    Node createNode(std::string_view typeName, MStatus* status = nullptr);
    void destroyNode(Node node);
    int nodeCount() const;

    // MEL: every command text as received, and the render-node creation
    // window, which counts refreshes only while it is open.
    void setCreateRenderNodeWindowOpen(bool open);
    std::vector<std::string> executedCommands() const;
    // The classification named by each refresh of the open window.
    std::vector<std::string> renderNodeWindowRefreshes() const;
    // The Script Editor's error lines, each as MGlobal::displayError got it.
    std::vector<std::string> displayedErrors() const;

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
