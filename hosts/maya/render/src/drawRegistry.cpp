// OpenMayaRender: the draw registry, whose records the host keeps.
#include <maya/MDrawRegistry.h>

#include "drawRegistryHost.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace MHWRender {

MStatus MDrawRegistry::registerSurfaceShadingNodeOverrideCreator(
    const MString& drawClassification, const MString& registrantId,
    SurfaceShadingNodeOverrideCreator creator) {
    return mayahost::detail::registerSurfaceShadingNodeOverride(
        drawClassification, registrantId,
        reinterpret_cast<mayahost::detail::OverrideCreator>(creator));
}

MStatus MDrawRegistry::deregisterSurfaceShadingNodeOverrideCreator(
    const MString& drawClassification, const MString& registrantId) {
    return mayahost::detail::deregisterSurfaceShadingNodeOverride(drawClassification, registrantId);
}

}  // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
