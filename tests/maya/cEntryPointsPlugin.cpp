// A plug-in as Maya's documentation has always also allowed: entry points
// defined extern "C", found by their C names. It registers nothing.
#include <maya/MObject.h>
#include <maya/MStatus.h>

#if defined(__clang__)
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

extern "C" {

PLUGIN_EXPORT char MApiVersion[] = "800";

PLUGIN_EXPORT MStatus initializePlugin(MObject) {
    return MS::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject) {
    return MS::kSuccess;
}
}
