// OpenMaya: MGlobal, through which a plug-in runs MEL commands and shows
// errors in the Script Editor.
#include <maya/MGlobal.h>

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
