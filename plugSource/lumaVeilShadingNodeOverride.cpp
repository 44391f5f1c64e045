// The lumaVeil node in Viewport 2.0.
//
// The viewport draws the material with the plug-in's own fragment graph
// (lumaVeilViewportFragments.h), which computes what the node computes, per
// light: the translucent glow as well as the matte and the highlight. Its
// inputs carry the names of the node's attributes, which feed them.
//
// Where the graph is not registered (batch mode, a refusal, or
// LUMAVEIL_VIEWPORT=approximate), and on the legacy OpenGL profile, the
// viewport draws Maya's Blinn surface fragment instead, fed by the node's
// attributes that share its parameters' names (colour, transparency, ambient
// and incandescent colours, diffuse weight, and the highlight's width,
// roll-off and colour); the glow's attributes then change nothing there.
#include "lumaVeilShadingNodeOverride.h"

#include "lumaVeilViewportFragments.h"

#if defined(LUMAVEIL_VIEWPORT_OVERRIDE)

MHWRender::MPxSurfaceShadingNodeOverride* lumaVeilShadingNodeOverride::creator(const MObject& obj) {
    return new lumaVeilShadingNodeOverride(obj);
}

lumaVeilShadingNodeOverride::lumaVeilShadingNodeOverride(const MObject& obj)
    : MPxSurfaceShadingNodeOverride(obj) {}

lumaVeilShadingNodeOverride::~lumaVeilShadingNodeOverride() = default;

// The graph has GLSL and HLSL implementations; on the legacy profile the
// override names Maya's Blinn fragment, written for every device.
MHWRender::DrawAPI lumaVeilShadingNodeOverride::supportedDrawAPIs() const {
    return MHWRender::kOpenGL | MHWRender::kOpenGLCoreProfile | MHWRender::kDirectX11;
}

MString lumaVeilShadingNodeOverride::fragmentName() const {
    return lumaveil::viewport::surfaceFragmentName();
}

// Every parameter that the node can feed, the graph's and the Blinn
// fragment's, is named like the attribute that feeds it, so nothing needs
// mapping otherwise.
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
