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
};
OPENMAYA_NAMESPACE_CLOSE
