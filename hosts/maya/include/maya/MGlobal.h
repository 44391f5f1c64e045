// Application-wide operations: MEL commands, and the Script Editor's error
// lines.
#pragma once

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MGlobal {
public:
    // Runs one MEL command.
    static MStatus executeCommand(const MString& command, bool displayEnabled = false,
                                  bool undoEnabled = false);
    // Shows an error line in the Script Editor ("// Error: <text>").
    static void displayError(const MString& theError);
    // The API version of the running Maya, as MAYA_API_VERSION spells it
    // (20220300 for Maya 2022.3): that of the devkit a plug-in was built
    // against, or a later one of the same major version.
    static int apiVersion();
    // Shows one warning line in the Script Editor.
    static void displayWarning(const MString& theWarning);
};
OPENMAYA_NAMESPACE_CLOSE
