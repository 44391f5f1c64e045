#include "lumaVeilViewportFragments.h"

#if defined(LUMAVEIL_VIEWPORT_OVERRIDE)
#include <maya/MFragmentManager.h>
#include <maya/MGlobal.h>
#include <maya/MViewport2Renderer.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include "lumaVeilEmbeddedFragments.h"

namespace lumaveil::viewport {

namespace {

// Today's fragment: Maya's Blinn surface, fed by the node's attributes of
// the same names.
const char* const kApproximateFragment = "mayaBlinnSurface";

// Light API v2, in which a fragment loops over the lights itself through
// Maya's light functions, runs from Maya 2022.3 on; earlier years have the
// per-light loop of v1.
constexpr int kLightApi2Version = 20220300;

constexpr std::size_t kFragmentCount = sizeof(embeddedFragments) / sizeof(embeddedFragments[0]);

// What registerFragments added, for deregisterFragments to remove, and the
// graph the override names (null: Maya's Blinn fragment).
bool added[kFragmentCount] = {};
const char* surfaceGraph = nullptr;

void warn(const std::string& line) {
    MGlobal::displayWarning(line.c_str());
}

MHWRender::MFragmentManager* fragmentManager() {
    MHWRender::MRenderer* renderer = MHWRender::MRenderer::theRenderer();
    return renderer != nullptr ? renderer->getFragmentManager() : nullptr;
}

// Removes the added fragments, the graphs first; false when one stays.
bool removeAdded(MHWRender::MFragmentManager& manager) {
    bool removedAll = true;
    for (std::size_t i = kFragmentCount; i-- > 0;) {
        if (added[i]) {
            const bool removed = manager.removeFragment(embeddedFragments[i].name);
            removedAll = removedAll && removed;
            added[i] = !removed;
        }
    }
    return removedAll;
}

}  // namespace

void registerFragments() {
    surfaceGraph = nullptr;
    if (const char* choice = std::getenv("LUMAVEIL_VIEWPORT"); choice != nullptr && *choice != 0) {
        if (std::strcmp(choice, "approximate") == 0) {
            return;
        }
        warn(std::string("lumaVeil: LUMAVEIL_VIEWPORT=") + choice +
             " is not \"approximate\"; the viewport draws the material itself");
    }
    MHWRender::MFragmentManager* manager = fragmentManager();
    if (manager == nullptr) {
        warn(
            "lumaVeil: no Viewport 2.0 renderer (batch mode); the viewport would draw the "
            "material with Maya's Blinn fragment");
        return;
    }
    const int lightApi = MGlobal::apiVersion() >= kLightApi2Version ? 2 : 1;
    for (std::size_t i = 0; i < kFragmentCount; ++i) {
        const EmbeddedFragment& fragment = embeddedFragments[i];
        if (fragment.lightApi > lightApi) {
            continue;
        }
        // One of ours left by an earlier load whose removal failed: this
        // build's replaces it.
        if (manager->hasFragment(fragment.name) && !manager->removeFragment(fragment.name)) {
            warn(std::string("lumaVeil: Viewport 2.0 keeps an earlier ") + fragment.name +
                 "; the viewport draws the material with Maya's Blinn fragment");
            removeAdded(*manager);
            return;
        }
        const MString name = fragment.isGraph
                                 ? manager->addFragmentGraphFromBuffer(fragment.xml)
                                 : manager->addShadeFragmentFromBuffer(fragment.xml, false);
        if (name != fragment.name) {
            warn(std::string("lumaVeil: Viewport 2.0 refused the fragment ") + fragment.name +
                 "; the viewport draws the material with Maya's Blinn fragment");
            removeAdded(*manager);
            return;
        }
        added[i] = true;
        if (fragment.isGraph && fragment.lightApi == lightApi) {
            surfaceGraph = fragment.name;
        }
    }
}

void deregisterFragments() {
    surfaceGraph = nullptr;
    bool any = false;
    for (bool a : added) {
        any = any || a;
    }
    if (!any) {
        return;
    }
    MHWRender::MFragmentManager* manager = fragmentManager();
    if (manager == nullptr || !removeAdded(*manager)) {
        warn(
            "lumaVeil: Viewport 2.0 kept some of the plug-in's fragments; loading the plug-in "
            "again replaces them");
    }
}

MString surfaceFragmentName() {
    if (surfaceGraph == nullptr) {
        return kApproximateFragment;
    }
    MHWRender::MRenderer* renderer = MHWRender::MRenderer::theRenderer();
    if (renderer != nullptr && renderer->drawAPI() == MHWRender::kOpenGL) {
        return kApproximateFragment;
    }
    return surfaceGraph;
}

}  // namespace lumaveil::viewport

#endif
