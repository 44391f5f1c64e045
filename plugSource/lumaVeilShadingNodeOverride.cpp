// The lumaVeil node in Viewport 2.0.
//
// The viewport draws the material with Maya's Blinn surface fragment, whose
// parameters carry the names of Maya's Lambert and Blinn attributes. The
// node's attributes that share those names (its colour, transparency, ambient
// and incandescent colours, diffuse weight, and the highlight's width,
// roll-off and colour) feed them, so the viewport shows the material's own
// colour, opacity, ambient and incandescent light, and its highlight (Blinn's,
// of the same width and roll-off, where the software render's lobe is
// Gaussian). The fragment's translucence, reflectivity and reflectedColor have
// no counterpart on the node and keep the fragment's defaults.
//
// The translucent glow is the software renderer's alone: the attributes of
// the subsurface term (absorption, scattering, the index of refraction, the
// two anisotropies, the boundary factor and the glow's weight) have no
// parameter in any Maya surface fragment, so they change nothing in the
// viewport.
#include "lumaVeilShadingNodeOverride.h"

#if defined(LUMAVEIL_VIEWPORT_OVERRIDE)

MHWRender::MPxSurfaceShadingNodeOverride* lumaVeilShadingNodeOverride::creator(const MObject& obj) {
    return new lumaVeilShadingNodeOverride(obj);
}

lumaVeilShadingNodeOverride::lumaVeilShadingNodeOverride(const MObject& obj)
    : MPxSurfaceShadingNodeOverride(obj) {}

lumaVeilShadingNodeOverride::~lumaVeilShadingNodeOverride() = default;

// The fragment is Maya's, written for every device the viewport runs on.
MHWRender::DrawAPI lumaVeilShadingNodeOverride::supportedDrawAPIs() const {
    return MHWRender::kOpenGL | MHWRender::kOpenGLCoreProfile | MHWRender::kDirectX11;
}

MString lumaVeilShadingNodeOverride::fragmentName() const {
    return "mayaBlinnSurface";
}

// Every parameter that the node can feed is named like the attribute that
// feeds it, so nothing needs mapping otherwise.
void lumaVeilShadingNodeOverride::getCustomMappings(MHWRender::MAttributeParameterMappingList&) {}

MString lumaVeilShadingNodeOverride::primaryColorParameter() const {
    return "color";
}

MString lumaVeilShadingNodeOverride::transparencyParameter() const {
    return "transparency";
}

MString lumaVeilShadingNodeOverride::bumpAttribute() const {
    return "normalCamera";
}

#endif
