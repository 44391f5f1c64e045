// The host's side of Viewport 2.0's draw registry. The records live with the
// plug-ins and node types they name, in OpenMaya, so that unloading a plug-in
// can check them; the stand-in OpenMayaRender reaches them through these
// calls, which OpenMaya exports for it alone.
#pragma once

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

#include <string>

#include "mayahost/node.h"
#include "mayahost/nodeTypeInfo.h"

namespace mayahost::detail {

// A plug-in's override creator, untyped: OpenMaya knows no Viewport 2.0 class.
using OverrideCreator = void (*)();

// Called by the plug-in through MDrawRegistry, while one of its entry points
// runs. Registration refuses a draw classification that is not
// "drawdb/shader/surface/..." of a node type of the same plug-in, or that
// holds an override already.
OPENMAYA_EXPORT MStatus registerSurfaceShadingNodeOverride(const MString& drawClassification,
                                                           const MString& registrantId,
                                                           OverrideCreator creator);
OPENMAYA_EXPORT MStatus deregisterSurfaceShadingNodeOverride(const MString& drawClassification,
                                                             const MString& registrantId);

// Viewport 2.0's renderer and fragment manager, whose records the host
// keeps: whether there is a renderer, and its device API.
OPENMAYA_EXPORT bool viewportRendererAvailable();
OPENMAYA_EXPORT int viewportDrawAPI();

// The fragment manager's calls. Adding parses the XML as a fragment (or a
// graph) and returns its name; it returns an empty name for malformed XML,
// a taken name, or a graph naming a fragment that is not registered.
OPENMAYA_EXPORT std::string addFragment(const char* function, const char* xml, bool graph,
                                        bool hidden);
OPENMAYA_EXPORT bool hasFragment(const char* function, const std::string& name);
OPENMAYA_EXPORT bool removeFragment(const char* function, const std::string& name);
// The XML of a registered graph; empty when there is no graph of that name.
OPENMAYA_EXPORT std::string registeredGraphXml(const std::string& name);

// What Viewport 2.0 needs to draw a node: the creator registered for its
// type's draw classification, the node as an object, and its type.
struct SurfaceOverrideTarget {
    OverrideCreator creator = nullptr;
    MObject node;
    std::string drawClassification;
    NodeTypeInfo type;
};
// False, with one line in `error`, when the node's type has no draw
// classification or no override is registered for it.
OPENMAYA_EXPORT bool findSurfaceOverrideTarget(const Node& node, SurfaceOverrideTarget& target,
                                               std::string& error);

}  // namespace mayahost::detail
