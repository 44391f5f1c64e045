// Shared set-up of the plug-in tests: a fresh host per test, and the built
// lumaVeil plug-in loaded into it by path.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "mayaValues.h"
#include "mayahost/host.h"
#include "workedExample.h"

inline const std::string kPluginPath = LUMAVEIL_PLUGIN_PATH;

// The node type's classification; with Viewport 2.0 (devkits from Maya 2016
// on) it holds the draw classification of the node's override too.
#if MAYA_API_VERSION >= 201600
inline const std::string kClassification = "shader/surface:drawdb/shader/surface/lumaVeil";
#else
inline const std::string kClassification = "shader/surface";
#endif

class HostTest : public ::testing::Test {
protected:
    // The log entries of one function, as their attributes.
    std::vector<std::string> loggedAttributes(const std::string& function) const {
        std::vector<std::string> out;
        for (const auto& call : host.callLog()) {
            if (call.function == function) {
                out.push_back(call.attribute);
            }
        }
        return out;
    }
    int loggedCount(const std::string& function) const {
        return static_cast<int>(loggedAttributes(function).size());
    }
    // What an action on the host returns, and what was printed on stderr
    // while it ran.
    template <class Action>
    std::pair<MStatus, std::string> withStderr(Action action) {
        testing::internal::CaptureStderr();
        const MStatus status = action();
        return {status, testing::internal::GetCapturedStderr()};
    }

    mayahost::Host host;
};

class PluginTest : public HostTest {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(host.loadPlugin(kPluginPath, &error)) << error;
    }
};

// A node set up as the worked example of the shading model: defaults, the
// eye looking down -z at a surface facing it, one light straight ahead.
class NodeTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        node = host.createNode("lumaVeil");
        ASSERT_TRUE(node);
        using namespace lumaveil::test;
        node.setSampleGeometry(mayaVector(workedPoint), mayaVector(workedNormal),
                               mayaVector(workedRay));
        node.setLightCount(1);
        node.setLight(0, headOnLight(true));
    }

    // The worked light from straight above, as the node receives it.
    static mayahost::LightValues headOnLight(bool specular) {
        return lumaveil::test::mayaLight(lumaveil::test::workedLight({0.0f, 0.0f, 1.0f}, specular));
    }

    mayahost::Node node;
};
