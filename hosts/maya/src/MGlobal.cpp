// OpenMaya: MGlobal, through which a plug-in runs MEL commands, asks for
// Maya's API version and shows errors and warnings in the Script Editor.
#include <maya/MGlobal.h>

#include <cstdio>

#include "trace.h"

using mayahost::detail::formatArgs;
using mayahost::detail::Trace;

MStatus MGlobal::executeCommand(const MString& command, bool displayEnabled, bool undoEnabled) {
    Trace trace("MGlobal::executeCommand", "",
                [&] { return formatArgs(command.asChar(), displayEnabled, undoEnabled); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    auto* host = trace.host();
    if (host == nullptr) {
        return trace.done(MS::kFailure);
    }
    host->runCommand(command.asChar());
    return trace.done(MS::kSuccess);
}

void MGlobal::displayError(const MString& theError) {
    Trace trace("MGlobal::displayError", "", [&] { return formatArgs(theError.asChar()); });
    if (auto* host = trace.host()) {
        host->errors.push_back(theError.asChar());
    }
}

int MGlobal::apiVersion() {
    Trace trace("MGlobal::apiVersion", "");
    const auto* host = trace.host();
    return host != nullptr ? host->runningApiVersion : MAYA_API_VERSION;
}

// Recorded, and written to the standard error stream as Maya's Output
// Window would show it.
void MGlobal::displayWarning(const MString& theWarning) {
    Trace trace("MGlobal::displayWarning", "", [&] { return formatArgs(theWarning.asChar()); });
    if (auto* host = trace.host()) {
        host->warnings.emplace_back(theWarning.asChar());
    }
    std::fprintf(stderr, "Warning: %s\n", theWarning.asChar());
}
