// The host's side of Viewport 2.0's draw registry: which plug-in registered
// an override creator for which draw classification, checked against the
// node types the plug-in registered.
#include "drawRegistryHost.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "hostRecords.h"
#include "trace.h"

namespace mayahost::detail {

namespace {

constexpr std::string_view kSurfaceDrawPath = "drawdb/shader/surface/";

// The parts of a node type's classification ("shader/surface:drawdb/...")
// that name draw classifications.
std::vector<std::string_view> drawClassificationsOf(std::string_view classification) {
    std::vector<std::string_view> parts;
    while (!classification.empty()) {
        const std::size_t colon = classification.find(':');
        const std::string_view part = classification.substr(0, colon);
        if (part.starts_with("drawdb/")) {
            parts.push_back(part);
        }
        classification.remove_prefix(colon == std::string_view::npos ? classification.size()
                                                                     : colon + 1);
    }
    return parts;
}

bool classifies(const NodeType& type, std::string_view drawClassification) {
    const auto parts = drawClassificationsOf(type.info.classification);
    return std::find(parts.begin(), parts.end(), drawClassification) != parts.end();
}

}  // namespace

MStatus registerSurfaceShadingNodeOverride(const MString& drawClassification,
                                           const MString& registrantId, OverrideCreator creator) {
    Trace trace("MDrawRegistry::registerSurfaceShadingNodeOverrideCreator", "",
                [&] { return formatArgs(drawClassification.asChar(), registrantId.asChar()); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    Host::Impl* host = trace.host();
    if (host == nullptr || host->activePlugin == nullptr || creator == nullptr ||
        registrantId.length() == 0) {
        return trace.done(MS::kInvalidParameter);
    }
    const std::string_view wanted = drawClassification.asChar();
    if (!wanted.starts_with(kSurfaceDrawPath) || wanted.size() == kSurfaceDrawPath.size()) {
        return trace.done(MS::kInvalidParameter);
    }
    const bool ofItsNodeType =
        std::any_of(host->nodeTypes.begin(), host->nodeTypes.end(), [&](const auto& type) {
            return type->plugin == host->activePlugin && classifies(*type, wanted);
        });
    const bool taken = std::any_of(
        host->surfaceShadingNodeOverrides.begin(), host->surfaceShadingNodeOverrides.end(),
        [&](const DrawOverride& o) { return o.drawClassification == wanted; });
    if (!ofItsNodeType || taken) {
        return trace.done(MS::kFailure);
    }
    host->surfaceShadingNodeOverrides.push_back(
        {std::string(wanted), registrantId.asChar(), creator, host->activePlugin});
    return trace.done(MS::kSuccess);
}

MStatus deregisterSurfaceShadingNodeOverride(const MString& drawClassification,
                                             const MString& registrantId) {
    Trace trace("MDrawRegistry::deregisterSurfaceShadingNodeOverrideCreator", "",
                [&] { return formatArgs(drawClassification.asChar(), registrantId.asChar()); });
    if (trace.failed()) {
        return trace.done(trace.injected());
    }
    Host::Impl* host = trace.host();
    if (host == nullptr) {
        return trace.done(MS::kFailure);
    }
    auto& overrides = host->surfaceShadingNodeOverrides;
    const auto it = std::find_if(overrides.begin(), overrides.end(), [&](const DrawOverride& o) {
        return o.drawClassification == drawClassification.asChar() &&
               o.registrantId == registrantId.asChar() && o.plugin == host->activePlugin;
    });
    if (it == overrides.end()) {
        return trace.done(MS::kFailure);
    }
    overrides.erase(it);
    return trace.done(MS::kSuccess);
}

bool findSurfaceOverrideTarget(const Node& node, SurfaceOverrideTarget& target,
                               std::string& error) {
    Host::Impl* host = currentHost();
    NodeRecord* record = nullptr;
    if (host != nullptr && node) {
        for (const auto& r : host->nodes) {
            if (r->node == node.userNode()) {
                record = r.get();
                break;
            }
        }
    }
    if (record == nullptr) {
        error = "no such node";
        return false;
    }
    const NodeType& type = *record->type;
    for (const std::string_view part : drawClassificationsOf(type.info.classification)) {
        for (const DrawOverride& o : host->surfaceShadingNodeOverrides) {
            if (o.drawClassification == part) {
                target.creator = o.creator;
                target.node = MObject(handleOf(record));
                target.drawClassification = o.drawClassification;
                target.type = type.info;
                return true;
            }
        }
    }
    error = "Viewport 2.0 has no override for a node of type " + type.info.name +
            " (classification \"" + type.info.classification + "\") and draws its fallback";
    return false;
}

}  // namespace mayahost::detail
