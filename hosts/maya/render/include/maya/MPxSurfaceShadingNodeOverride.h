// The override of a surface shading node: beside its fragment, the
// parameters that Viewport 2.0 reads for the material's main colour and
// transparency, and the node attribute that takes its bump.
#pragma once

#include <maya/MObject.h>
#include <maya/MPxShadingNodeOverride.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace MHWRender {

class OPENMAYARENDER_EXPORT MPxSurfaceShadingNodeOverride : public MPxShadingNodeOverride {
public:
    ~MPxSurfaceShadingNodeOverride() override;

    // Fragment parameters; empty (the base's answer) for none.
    virtual MString primaryColorParameter() const;
    virtual MString transparencyParameter() const;
    // The node attribute that a bump map connects to; empty for none.
    virtual MString bumpAttribute() const;

protected:
    explicit MPxSurfaceShadingNodeOverride(const MObject& obj);
};

}  // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
