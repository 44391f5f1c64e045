// The plug-in's entry points: registration of the lumaVeil node type and the
// refresh of the render-node creation window.
//
// MFnPlugin.h also defines the exported MApiVersion, from the devkit that
// builds the plug-in: Maya reads it to know which devkit that was.
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include "lumaVeilPlugInt.h"
#include "lumaVeilShadingNodeOverride.h"
#include "model/nodeType.h"

#if defined(LUMAVEIL_VIEWPORT_OVERRIDE)
#include <maya/MDrawRegistry.h>

#include "lumaVeilViewportFragments.h"
#endif

// Maya finds the entry points by their C++ names, as its samples define them;
// devkits from 2019 on declare them, exported, in MFnPlugin.h, and for older
// ones the definitions below export them.
#if defined(_WIN32)
#define LUMAVEIL_EXPORT __declspec(dllexport)
#else
#define LUMAVEIL_EXPORT __attribute__((visibility("default")))
#endif

namespace {

#if defined(LUMAVEIL_VIEWPORT_OVERRIDE)
// Viewport 2.0 finds the node's override by the drawdb part of its
// classification.
const char* const kClassification = "shader/surface:drawdb/shader/surface/lumaVeil";
const char* const kDrawClassification = "drawdb/shader/surface/lumaVeil";
const char* const kDrawRegistrantId = "lumaVeilPlugin";
#else
const char* const kClassification = "shader/surface";
#endif

// The refresh command up to its argument; two blanks before the brace are
// part of the text Maya has always received from this plug-in.
const char* const kRefreshCommandStart =
    "if( `window -exists createRenderNodeWindow` )  {refreshCreateRenderNodeWindow(\"";

// What the Script Editor shows when the node type's name is taken.
const char* const kNameTakenMessage =
    "lumaVeil: a node type named lumaVeil is registered already, by mtoa (Maya's Arnold "
    "plug-in) loaded before lumaVeil or by another plug-in; to recover, unload mtoa, load "
    "lumaVeil, then load mtoa, and load lumaVeil first from then on";

// Asks the render-node creation window, if it is open, to show the
// classification again. The window's own state is Maya's; nothing is
// examined.
void refreshCreateRenderNodeWindow(const MString& classification, MString command) {
    command += classification;
    command += "\");}\n";
    MGlobal::executeCommand(command, false, false);
}

#if defined(LUMAVEIL_VIEWPORT_OVERRIDE)
bool viewportOverrideRegistered = false;

// Without the override Viewport 2.0 draws its fallback material; the
// software renderer does not need it, so a failure is reported and the load
// goes on.
void registerViewportOverride() {
    const MStatus status = MHWRender::MDrawRegistry::registerSurfaceShadingNodeOverrideCreator(
        kDrawClassification, kDrawRegistrantId, lumaVeilShadingNodeOverride::creator);
    if (!status) {
        status.perror(
            "lumaVeil: no Viewport 2.0 override: registerSurfaceShadingNodeOverrideCreator");
    }
    viewportOverrideRegistered = static_cast<bool>(status);
    if (viewportOverrideRegistered) {
        lumaveil::viewport::registerFragments();
    }
}

// Before the node type goes, so that nothing registered refers to it. A
// failure is returned: Maya then keeps the plug-in loaded, rather than hold
// a creator in a library that is gone.
MStatus deregisterViewportOverride() {
    if (!viewportOverrideRegistered) {
        return MS::kSuccess;
    }
    const MStatus status = MHWRender::MDrawRegistry::deregisterSurfaceShadingNodeOverrideCreator(
        kDrawClassification, kDrawRegistrantId);
    if (!status) {
        status.perror("lumaVeil: deregisterSurfaceShadingNodeOverrideCreator");
    }
    viewportOverrideRegistered = !status;
    if (status) {
        lumaveil::viewport::deregisterFragments();
    }
    return status;
}
#else
// Devkits before Maya 2016's have no Viewport 2.0 to draw the node.
void registerViewportOverride() {}
MStatus deregisterViewportOverride() {
    return MS::kSuccess;
}
#endif

}  // namespace

// A failing registration is reported and returned, so that Maya does not
// take the load for a success; the window is refreshed either way. Maya's
// Arnold plug-in, loaded first, registers a node type of this name of its
// own (as another plug-in may): the Script Editor then says, in one line,
// how to get the real one.
LUMAVEIL_EXPORT MStatus initializePlugin(MObject obj) {
    const MString classification(kClassification);
    const MString command(kRefreshCommandStart);
    MFnPlugin plugin(obj, "Quorvane", "1.0", "Any");
    MStatus status;
    if (MFnPlugin::isNodeRegistered(lumaveil::nodeTypeName)) {
        MGlobal::displayError(kNameTakenMessage);
        status = MS::kFailure;
    } else {
        status = plugin.registerNode(lumaveil::nodeTypeName, lumaVeil::id, lumaVeil::creator,
                                     lumaVeil::initialize, MPxNode::kDependNode, &classification);
        if (!status) {
            status.perror("lumaVeil: registerNode");
        }
    }
    if (status) {
        registerViewportOverride();
    }
    refreshCreateRenderNodeWindow(classification, command);
    return status;
}

LUMAVEIL_EXPORT MStatus uninitializePlugin(MObject obj) {
    const MString classification(kClassification);
    const MString command(kRefreshCommandStart);
    // Deregistration needs no vendor or version: the function set's defaults
    // ("Unknown", "Unknown", "Any") serve, as in Maya's own samples.
    MFnPlugin plugin(obj);
    MStatus status = deregisterViewportOverride();
    if (status) {
        status = plugin.deregisterNode(lumaVeil::id);
        if (!status) {
            status.perror("lumaVeil: deregisterNode");
        }
    }
    refreshCreateRenderNodeWindow(classification, command);
    return status;
}

#if defined(_WIN32)
#include <windows.h>

// The library accepts every load and unload notification.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
#endif
