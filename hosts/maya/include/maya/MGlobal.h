// Application-wide operations.
#pragma once

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MGlobal {
public:
    // Runs one MEL command.
    static MStatus executeCommand(const MString& command, bool displayEnabled = false,
                                  bool undoEnabled = false);
};
