// Viewport 2.0's registry of draw overrides, by draw classification: the
// part of a node type's classification that starts with "drawdb/".
#pragma once

#include <maya/MObject.h>
#include <maya/MPxSurfaceShadingNodeOverride.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace MHWRender {

class OPENMAYARENDER_EXPORT MDrawRegistry {
public:
    typedef MPxSurfaceShadingNodeOverride* (*SurfaceShadingNodeOverrideCreator)(const MObject& obj);

    // Viewport 2.0 then draws every node whose type's classification holds
    // drawClassification ("drawdb/shader/surface/<nodeType>") through an
    // override that `creator` makes for it. registrantId names the plug-in.
    static MStatus registerSurfaceShadingNodeOverrideCreator(
        const MString& drawClassification, const MString& registrantId,
        SurfaceShadingNodeOverrideCreator creator);
    static MStatus deregisterSurfaceShadingNodeOverrideCreator(const MString& drawClassification,
                                                               const MString& registrantId);

    MDrawRegistry() = delete;
};

}  // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
