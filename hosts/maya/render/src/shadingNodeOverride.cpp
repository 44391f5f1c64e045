// OpenMayaRender: what the shading node overrides' bases answer where a
// plug-in's override says nothing.
#include <maya/MPxShadingNodeOverride.h>
#include <maya/MPxSurfaceShadingNodeOverride.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace MHWRender {

MPxShadingNodeOverride::MPxShadingNodeOverride(const MObject& obj) : node_(obj) {}
MPxShadingNodeOverride::~MPxShadingNodeOverride() = default;

DrawAPI MPxShadingNodeOverride::supportedDrawAPIs() const {
    return kOpenGL;
}

void MPxShadingNodeOverride::getCustomMappings(MAttributeParameterMappingList&) {}

void MPxShadingNodeOverride::updateDG() {}

void MPxShadingNodeOverride::updateShader(MShaderInstance&, const MAttributeParameterMappingList&) {
}

bool MPxShadingNodeOverride::allowConnections() const {
    return true;
}

MString MPxShadingNodeOverride::outputForConnection(const MPlug&, const MPlug&) {
    return MString();
}

bool MPxShadingNodeOverride::valueChangeRequiresFragmentRebuild(const MPlug*) const {
    return false;
}

MPxSurfaceShadingNodeOverride::MPxSurfaceShadingNodeOverride(const MObject& obj)
    : MPxShadingNodeOverride(obj) {}
MPxSurfaceShadingNodeOverride::~MPxSurfaceShadingNodeOverride() = default;

MString MPxSurfaceShadingNodeOverride::primaryColorParameter() const {
    return MString();
}

MString MPxSurfaceShadingNodeOverride::transparencyParameter() const {
    return MString();
}

MString MPxSurfaceShadingNodeOverride::bumpAttribute() const {
    return MString();
}

}  // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
