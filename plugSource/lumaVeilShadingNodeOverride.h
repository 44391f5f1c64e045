// How Viewport 2.0 draws a lumaVeil material: through the plug-in's own
// fragment graph, or Maya's Blinn surface fragment where that is not there.
#pragma once

#include <maya/MTypes.h>

// Viewport 2.0 draws a plug-in's shading node only through an override
// registered for the node's draw classification; the devkits have the
// classes from Maya 2016 (API 201600) on.
#if MAYA_API_VERSION >= 201600
#define LUMAVEIL_VIEWPORT_OVERRIDE 1

#include <maya/MObject.h>
#include <maya/MPxSurfaceShadingNodeOverride.h>
#include <maya/MString.h>

class lumaVeilShadingNodeOverride : public MHWRender::MPxSurfaceShadingNodeOverride {
public:
    // Registered with MDrawRegistry; Viewport 2.0 owns what it returns.
    static MHWRender::MPxSurfaceShadingNodeOverride* creator(const MObject& obj);

    ~lumaVeilShadingNodeOverride() override;

    MHWRender::DrawAPI supportedDrawAPIs() const override;
    MString fragmentName() const override;
    void getCustomMappings(MHWRender::MAttributeParameterMappingList& mappings) override;
    MString primaryColorParameter() const override;
    MString transparencyParameter() const override;
    MString bumpAttribute() const override;

private:
    explicit lumaVeilShadingNodeOverride(const MObject& obj);
};

#endif
