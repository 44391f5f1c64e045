// Base of the overrides through which Viewport 2.0 draws a plug-in's shading
// node: the shade fragment that stands for the node, and how the node's
// attributes feed the fragment's parameters. Viewport 2.0 creates one
// override per node it draws, through the creator registered for the node's
// draw classification (MDrawRegistry), and owns it.
#pragma once

#include <maya/MAttributeParameterMapping.h>
#include <maya/MObject.h>
#include <maya/MString.h>
#include <maya/MTypes.h>
#include <maya/MViewport2Renderer.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace MHWRender {

class OPENMAYARENDER_EXPORT MPxShadingNodeOverride {
public:
    virtual ~MPxShadingNodeOverride();
    MPxShadingNodeOverride(const MPxShadingNodeOverride&) = delete;
    MPxShadingNodeOverride& operator=(const MPxShadingNodeOverride&) = delete;

    // The device APIs the fragment works with; the base says kOpenGL.
    virtual DrawAPI supportedDrawAPIs() const;
    // The shade fragment that draws the node: one of Maya's or the plug-in's.
    virtual MString fragmentName() const = 0;
    // Mappings for the fragment parameters that do not carry the name of the
    // node attribute feeding them; those that do map by themselves.
    virtual void getCustomMappings(MAttributeParameterMappingList& mappings);
    // Called before updateShader, where the override may read the node.
    virtual void updateDG();
    // Sets the parameters that no mapping covers on the shader instance.
    virtual void updateShader(MShaderInstance& shader,
                              const MAttributeParameterMappingList& mappings);
    // Whether Viewport 2.0 follows connections into the node's attributes.
    virtual bool allowConnections() const;
    // The fragment output that stands for the node's plug `sourcePlug`.
    virtual MString outputForConnection(const MPlug& sourcePlug, const MPlug& destinationPlug);
    // Whether a change of the plug's value needs the fragment built again.
    virtual bool valueChangeRequiresFragmentRebuild(const MPlug* plug) const;

protected:
    // The node the override draws.
    explicit MPxShadingNodeOverride(const MObject& obj);

private:
    MObject node_;
};

}  // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
