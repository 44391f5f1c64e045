// Basic types and the export markers of the stand-in OpenMaya and Foundation.
#pragma once

// Marks these headers as the stand-in's, so that the build can tell a devkit
// made from them from Maya's own (see MAYA_LOCATION).
#define LUMAVEIL_STAND_IN_OPENMAYA 1

#if defined(_WIN32)
#define LUMAVEIL_API_EXPORT __declspec(dllexport)
#define LUMAVEIL_API_IMPORT __declspec(dllimport)
#else
#define LUMAVEIL_API_EXPORT __attribute__((visibility("default")))
#define LUMAVEIL_API_IMPORT __attribute__((visibility("default")))
#endif

#if defined(FOUNDATION_BUILDING)
#define FND_EXPORT LUMAVEIL_API_EXPORT
#else
#define FND_EXPORT LUMAVEIL_API_IMPORT
#endif

#if defined(OPENMAYA_BUILDING)
#define OPENMAYA_EXPORT LUMAVEIL_API_EXPORT
#else
#define OPENMAYA_EXPORT LUMAVEIL_API_IMPORT
#endif

#define PLUGIN_EXPORT LUMAVEIL_API_EXPORT

class MObject;
class MPlug;
class MPlugArray;
class MDataBlock;
class MDataHandle;
class MArrayDataHandle;
class MDGContext;
class MString;
class MStatus;
class MTypeId;
class MFloatVector;
