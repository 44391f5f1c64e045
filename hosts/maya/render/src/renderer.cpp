// OpenMayaRender: the renderer and its fragment manager, whose records the
// host keeps (fragmentManagerHost.cpp).
#include <maya/MFragmentManager.h>
#include <maya/MViewport2Renderer.h>

#include "drawRegistryHost.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace MHWRender {

MRenderer::MRenderer() = default;
MRenderer::~MRenderer() = default;

MRenderer* MRenderer::theRenderer(bool) {
    static MRenderer renderer;
    return mayahost::detail::viewportRendererAvailable() ? &renderer : nullptr;
}

MFragmentManager* MRenderer::getFragmentManager() const {
    static MFragmentManager manager;
    return &manager;
}

DrawAPI MRenderer::drawAPI() const {
    return static_cast<DrawAPI>(mayahost::detail::viewportDrawAPI());
}

MFragmentManager::MFragmentManager() = default;
MFragmentManager::~MFragmentManager() = default;

bool MFragmentManager::hasFragment(const MString& fragmentName) const {
    return mayahost::detail::hasFragment("MFragmentManager::hasFragment", fragmentName.asChar());
}

MString MFragmentManager::addShadeFragmentFromBuffer(const char* buffer, bool hidden) {
    return mayahost::detail::addFragment("MFragmentManager::addShadeFragmentFromBuffer", buffer,
                                         false, hidden)
        .c_str();
}

MString MFragmentManager::addFragmentGraphFromBuffer(const char* buffer) {
    return mayahost::detail::addFragment("MFragmentManager::addFragmentGraphFromBuffer", buffer,
                                         true, false)
        .c_str();
}

bool MFragmentManager::removeFragment(const MString& fragmentName) {
    return mayahost::detail::removeFragment("MFragmentManager::removeFragment",
                                            fragmentName.asChar());
}

}  // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
