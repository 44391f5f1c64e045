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

// Maya finds the entry points by their C++ names, as its samples define them;
// devkits from 2019 on declare them, exported, in MFnPlugin.h, and for older
// ones the definitions below export them.
#if defined(_WIN32)
#define LUMAVEIL_EXPORT __declspec(dllexport)
#else
#define LUMAVEIL_EXPORT __attribute__((visibility("default")))
#endif

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
LUMAVEIL_EXPORT MStatus initializePlugin(MObject obj) {
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

LUMAVEIL_EXPORT MStatus uninitializePlugin(MObject obj) {
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
