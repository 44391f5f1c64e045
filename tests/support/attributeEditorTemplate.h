// The Attribute Editor template held against the node type's attributes as
// Maya recorded them: a control for every input the user edits, in the node's
// order, every hidden top-level attribute suppressed, nothing else named.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "mayahost/nodeTypeInfo.h"

namespace lumaveil::test {

inline void expectTemplateFitsTheNode(const std::string& text,
                                      const mayahost::NodeTypeInfo& schema) {
    EXPECT_NE(text.find("global proc AElumaVeilTemplate(string $nodeName)"), std::string::npos);
    auto attribute = [&](const std::string& name) -> const mayahost::AttributeInfo* {
        for (const auto& a : schema.attributes) {
            if (a.longName == name) {
                return &a;
            }
        }
        return nullptr;
    };

    const std::regex control(R"re(editorTemplate\s+-(addControl|suppress)\s+"([^"]*)")re");
    std::vector<std::string> added, suppressed;
    for (std::sregex_iterator it(text.begin(), text.end(), control), end; it != end; ++it) {
        ((*it)[1] == "addControl" ? added : suppressed).push_back((*it)[2]);
    }
    std::set<std::string> named;
    for (const auto* list : {&added, &suppressed}) {
        for (const std::string& name : *list) {
            const auto* a = attribute(name);
            ASSERT_NE(a, nullptr) << "'" << name << "' is no attribute of lumaVeil";
            EXPECT_TRUE(a->parent.empty()) << name << " is a child; name its compound";
            EXPECT_TRUE(named.insert(name).second) << name << " is named twice";
        }
    }
    // Every input the user edits has a control, in the node's order (the
    // order of the attribute reference); every hidden top-level attribute is
    // kept out of the extra controls.
    std::vector<std::string> inputs;
    for (const auto& a : schema.attributes) {
        if (a.parent.empty() && a.keyable) {
            inputs.push_back(a.longName);
        }
    }
    EXPECT_EQ(added, inputs);
    for (const auto& a : schema.attributes) {
        if (!a.parent.empty()) {
            continue;
        }
        if (a.keyable) {
            EXPECT_NE(std::find(added.begin(), added.end(), a.longName), added.end())
                << a.longName << " has no control";
        }
        if (a.hidden) {
            EXPECT_NE(std::find(suppressed.begin(), suppressed.end(), a.longName), suppressed.end())
                << a.longName << " is not suppressed";
        }
    }

    const auto count = [&](const std::string& word) {
        std::size_t n = 0;
        for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
            ++n;
        }
        return n;
    };
    // Its sections: colour, subsurface and specular.
    EXPECT_EQ(count("-beginLayout"), 3u);
    EXPECT_EQ(count("-endLayout"), 3u);
    EXPECT_EQ(count("-beginScrollLayout"), count("-endScrollLayout"));
}

}  // namespace lumaveil::test
