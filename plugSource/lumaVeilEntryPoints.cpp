// The plug-in's entry points: registration of the lumaVeil node type and the
// refresh of the render-node creation window.
//
// We export our own API version string, so the one MFnPlugin.h may define is
// switched off.
#define MNoVersionString
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include "lumaVeilPlugInt.h"

#if defined(_WIN32)
#define LUMAVEIL_EXPORT __declspec(dllexport)
#else
#define LUMAVEIL_EXPORT __attribute__((visibility("default")))
#endif

// Maya's entry points are C names that return an MStatus by value, a class;
// Maya calls them as C++ functions, so the C-linkage warning does not apply.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#elif defined(_MSC_VER)
#pragma warning(disable : 4190)
#endif

// The API version the plug-in was written for.
extern "C" LUMAVEIL_EXPORT const char MApiVersion[] = "800";

namespace {

const char* const kClassification = "shader/surface";

// The refresh command up to its argument; two blanks before the brace are
// part of the text Maya has always received from this plug-in.
const char* const kRefreshCommandStart =
    "if( `window -exists createRenderNodeWindow` )  {refreshCreateRenderNodeWindow(\"";

// Asks the render-node creation window, if it is open, to show the
// classification again. The window's own state is Maya's; nothing is
// examined.
void refreshCreateRenderNodeWindow(const MString& classification, MString command) {
    command += classification;
    command += "\");}\n";
    MGlobal::executeCommand(command, false, false);
}

}  // namespace

// A failing registration is reported and returned, so that Maya does not
// take the load for a success; the window is refreshed either way.
extern "C" LUMAVEIL_EXPORT MStatus initializePlugin(MObject obj) {
    const MString classification(kClassification);
    const MString command(kRefreshCommandStart);
    MFnPlugin plugin(obj, "Quorvane", "1.0", "Any");
    const MStatus status =
        plugin.registerNode("lumaVeil", lumaVeil::id, lumaVeil::creator, lumaVeil::initialize,
                            MPxNode::kDependNode, &classification);
    if (!status) {
        status.perror("lumaVeil: registerNode");
    }
    refreshCreateRenderNodeWindow(classification, command);
    return status;
}

extern "C" LUMAVEIL_EXPORT MStatus uninitializePlugin(MObject obj) {
    const MString classification(kClassification);
    const MString command(kRefreshCommandStart);
    MFnPlugin plugin(obj, "Unknown", "Unknown", "Any");
    const MStatus status = plugin.deregisterNode(lumaVeil::id);
    if (!status) {
        status.perror("lumaVeil: deregisterNode");
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
