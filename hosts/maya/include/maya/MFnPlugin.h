// Function set on a loaded plug-in: registers and deregisters its node types.
// Also where a plug-in gets its entry points' declarations (devkits from 2019
// on) and its MApiVersion.
#pragma once

#include <maya/MApiVersion.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnPlugin {
public:
    MFnPlugin(MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* returnStatus = nullptr);
    virtual ~MFnPlugin();
    MFnPlugin(const MFnPlugin&) = delete;
    MFnPlugin& operator=(const MFnPlugin&) = delete;

    MStatus registerNode(const MString& typeName, const MTypeId& typeId,
                         MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                         MPxNode::Type type = MPxNode::kDependNode,
                         const MString* classification = nullptr);
    MStatus deregisterNode(const MTypeId& typeId);
    // Whether a node type of this name is registered, by any plug-in or by
    // Maya itself.
    static bool isNodeRegistered(const MString& typeName);

private:
    void* plugin_ = nullptr;
};
OPENMAYA_NAMESPACE_CLOSE

#if defined(OPENMAYA_MAJOR_NAMESPACE)
// Maya finds these by their C++ names.
PLUGIN_EXPORT MStatus initializePlugin(MObject obj);
PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj);
#endif
