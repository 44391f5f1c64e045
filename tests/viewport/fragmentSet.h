// The plug-in's Viewport 2.0 fragments and graphs as the build writes them
// (and the install lays them out), parsed.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "vp2host/shadeFragment.h"

namespace lumaveil::test {

struct FragmentSet {
    std::map<std::string, vp2host::ShadeFragment> fragments;
    std::map<std::string, vp2host::FragmentGraph> graphs;
    std::map<std::string, std::string> texts;  // each file's XML, by fragment name

    // Every .xml file of the folder.
    static FragmentSet load(const std::filesystem::path& folder) {
        FragmentSet set;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() != ".xml") {
                continue;
            }
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            const std::string xml = text.str();
            std::string name;
            if (vp2host::isFragmentGraphXml(xml)) {
                vp2host::FragmentGraph graph = vp2host::parseFragmentGraph(xml);
                name = graph.name;
                set.graphs.emplace(name, std::move(graph));
            } else {
                vp2host::ShadeFragment fragment = vp2host::parseShadeFragment(xml);
                name = fragment.name;
                set.fragments.emplace(name, std::move(fragment));
            }
            set.texts.emplace(name, xml);
        }
        return set;
    }

    vp2host::FragmentLookup lookup() const {
        return [this](std::string_view name) -> const vp2host::ShadeFragment* {
            const auto it = fragments.find(std::string(name));
            return it != fragments.end() ? &it->second : nullptr;
        };
    }
};

// The folder the build writes them to.
inline const FragmentSet& builtFragments() {
    static const FragmentSet set = FragmentSet::load(LUMAVEIL_VIEWPORT_FRAGMENT_DIR);
    return set;
}

// The graphs of the two light APIs.
inline constexpr const char* lightApi1Graph = "lumaVeilSurface";
inline constexpr const char* lightApi2Graph = "lumaVeilSurfaceLightAPI2";

}  // namespace lumaveil::test
