// The stand-in Viewport 2.0 (OpenMayaRender): draws a node through the
// surface shading node override registered for its type, as far as the
// override's answers go. Devkits from Maya 2016 on only.
#pragma once

#include <maya/MTypes.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mayahost/node.h"

namespace mayahost {

// What Viewport 2.0 learnt from a node's override.
struct SurfaceShadingOverrideInfo {
    std::string fragmentName;
    // Whether it names a graph that a plug-in registered, rather than one of
    // Maya's surface fragments.
    bool registeredGraph = false;
    int drawAPIs = 0;  // MHWRender::DrawAPI bits
    // (fragment parameter, node attribute) as getCustomMappings gave them.
    std::vector<std::pair<std::string, std::string>> customMappings;
    // Every fragment parameter that a node attribute feeds, by mapping or by
    // name, in the fragment's order: (parameter, attribute).
    std::vector<std::pair<std::string, std::string>> parametersFromAttributes;
    // The fragment parameters that no attribute feeds: drawn at the
    // fragment's defaults.
    std::vector<std::string> parametersAtDefaults;
    std::string primaryColorParameter;
    std::string transparencyParameter;
    std::string bumpAttribute;
};

// Creates the override that Viewport 2.0 would create to draw the node (the
// registered creator called with the node's object), queries it as Viewport
// 2.0 does and destroys it. Nothing, and one line in `error`, when no
// override is registered for the node's type or when its answers do not
// hold: a fragment that is neither a registered graph nor one of Maya's
// surface fragments known here (mayaLambertSurface, mayaPhongSurface,
// mayaBlinnSurface), a mapping of a
// parameter the fragment lacks or of an attribute the node lacks, an
// attribute of another shape than the parameter it feeds, a colour or
// transparency parameter that is not a colour of the fragment, a bump
// attribute that is not a vector of the node. A registered graph's
// parameters are its float and float3 inputs that Maya does not feed itself
// (by semantic, per light, or as a requirement).
OPENMAYARENDER_EXPORT std::optional<SurfaceShadingOverrideInfo> createSurfaceShadingNodeOverride(
    const Node& node, std::string* error = nullptr);

}  // namespace mayahost
