// The host's side of Viewport 2.0's renderer and fragment manager: the
// fragments and graphs registered, parsed as Maya parses them before it takes
// them (with libxml2), and refused where Maya would refuse them.
#include <algorithm>
#include <string>
#include <string_view>

#include "drawRegistryHost.h"
#include "hostRecords.h"
#include "trace.h"
#include "vp2host/shadeFragment.h"

namespace mayahost::detail {

namespace {

// The name="..." of the text's root, for the call log, read without parsing.
std::string nameAttributeOf(const char* xml) {
    if (xml == nullptr) {
        return "(null)";
    }
    const std::string_view text(xml);
    const std::size_t at = text.find("name=\"");
    if (at == std::string_view::npos) {
        return "";
    }
    const std::size_t end = text.find('"', at + 6);
    return std::string(text.substr(at + 6, end == std::string_view::npos ? 0 : end - at - 6));
}

FragmentRecord* findRecord(Host::Impl& host, std::string_view name) {
    const auto it = std::find_if(host.fragments.begin(), host.fragments.end(),
                                 [&](const FragmentRecord& r) { return r.name == name; });
    return it != host.fragments.end() ? &*it : nullptr;
}

}  // namespace

bool viewportRendererAvailable() {
    const Host::Impl* host = currentHost();
    return host != nullptr && host->viewportRenderer;
}

int viewportDrawAPI() {
    const Host::Impl* host = currentHost();
    return host != nullptr ? host->viewportDrawAPI : 0;
}

std::string addFragment(const char* function, const char* xml, bool graph, bool hidden) {
    Trace trace(function, "", [&] { return formatArgs(nameAttributeOf(xml).c_str()); });
    Host::Impl* host = trace.host();
    if (trace.failed() || host == nullptr || xml == nullptr) {
        trace.done(trace.failed() ? trace.injected() : MS::kInvalidParameter);
        return {};
    }
    std::string name;
    try {
        if (graph) {
            const vp2host::FragmentGraph g = vp2host::parseFragmentGraph(xml);
            // Every fragment it names must be registered: Maya resolves them
            // when the graph is added.
            std::vector<vp2host::ShadeFragment> known;
            for (const FragmentRecord& r : host->fragments) {
                if (!r.graph) {
                    known.push_back(vp2host::parseShadeFragment(r.xml));
                }
            }
            const std::string problem =
                vp2host::graphProblem(g, [&](std::string_view n) -> const vp2host::ShadeFragment* {
                    const auto it = std::find_if(known.begin(), known.end(),
                                                 [&](const auto& f) { return f.name == n; });
                    return it != known.end() ? &*it : nullptr;
                });
            if (!problem.empty()) {
                throw vp2host::FragmentXmlError(problem);
            }
            name = g.name;
        } else {
            name = vp2host::parseShadeFragment(xml).name;
        }
    } catch (const vp2host::FragmentXmlError&) {
        trace.done(MS::kFailure);
        return {};
    }
    if (name.empty() || findRecord(*host, name) != nullptr) {
        trace.done(MS::kFailure);
        return {};
    }
    host->fragments.push_back({name, graph, hidden, xml, host->activePlugin});
    trace.done(MS::kSuccess);
    return name;
}

bool hasFragment(const char* function, const std::string& name) {
    Trace trace(function, "", [&] { return formatArgs(name.c_str()); });
    Host::Impl* host = trace.host();
    const bool found = host != nullptr && findRecord(*host, name) != nullptr;
    trace.done(found ? MS::kSuccess : MS::kNotFound);
    return found;
}

bool removeFragment(const char* function, const std::string& name) {
    Trace trace(function, "", [&] { return formatArgs(name.c_str()); });
    Host::Impl* host = trace.host();
    if (trace.failed() || host == nullptr) {
        trace.done(trace.failed() ? trace.injected() : MS::kFailure);
        return false;
    }
    const auto removed =
        std::erase_if(host->fragments, [&](const FragmentRecord& r) { return r.name == name; });
    trace.done(removed != 0 ? MS::kSuccess : MS::kNotFound);
    return removed != 0;
}

std::string registeredGraphXml(const std::string& name) {
    Host::Impl* host = currentHost();
    const FragmentRecord* record = host != nullptr ? findRecord(*host, name) : nullptr;
    return record != nullptr && record->graph ? record->xml : std::string();
}

}  // namespace mayahost::detail
