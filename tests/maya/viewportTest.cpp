// Viewport 2.0: the override through which it draws the node, registered and
// deregistered with the plug-in, and what a failed registration leaves.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "pluginFixture.h"

#if MAYA_API_VERSION >= 201600
#include <maya/MViewport2Renderer.h>

#include "mayahost/viewport.h"
#include "model/shading.h"
#endif

namespace {

#if MAYA_API_VERSION >= 201600

using lumaveil::test::mayaVector;
using Pairs = std::vector<std::pair<std::string, std::string>>;

const mayahost::DrawOverrideInfo kOverride{"drawdb/shader/surface/lumaVeil", "lumaVeilPlugin",
                                           kPluginPath};

// The registry's calls and the node type's deregistration, in order.
std::vector<std::string> registryCalls(const mayahost::Host& host) {
    std::vector<std::string> calls;
    for (const auto& call : host.callLog()) {
        if (call.function.starts_with("MDrawRegistry::") ||
            call.function == "MFnPlugin::deregisterNode") {
            calls.push_back(call.function + "(" + call.arguments + ")");
        }
    }
    return calls;
}

// Maya's Blinn fragment, fed by the node's attributes of the same names; the
// subsurface attributes have no part in it.
TEST_F(NodeTest, Viewport2DrawsTheNodeWithMayasBlinnFragment) {
    EXPECT_EQ(host.surfaceShadingNodeOverrides(), std::vector{kOverride});
    std::string error;
    const auto drawn = mayahost::createSurfaceShadingNodeOverride(node, &error);
    ASSERT_TRUE(drawn) << error;
    EXPECT_EQ(drawn->fragmentName, "mayaBlinnSurface");
    EXPECT_EQ(drawn->drawAPIs,
              MHWRender::kOpenGL | MHWRender::kOpenGLCoreProfile | MHWRender::kDirectX11);
    EXPECT_TRUE(drawn->customMappings.empty());
    // Every parameter of the fragment but these five is fed by the node's
    // attribute of its name: the Lambert part and the Blinn highlight.
    EXPECT_EQ(drawn->parametersAtDefaults,
              (std::vector<std::string>{"translucence", "translucenceDepth", "translucenceFocus",
                                        "reflectivity", "reflectedColor"}));
    for (const auto& [parameter, attribute] : drawn->parametersFromAttributes) {
        EXPECT_EQ(parameter, attribute);
        EXPECT_TRUE(node.attribute(attribute)) << attribute;
    }
    EXPECT_EQ(drawn->parametersFromAttributes.size(), 8u);
    EXPECT_EQ(drawn->parametersFromAttributes.front(),
              (std::pair<std::string, std::string>{"color", "color"}));
    EXPECT_EQ(drawn->primaryColorParameter, "color");
    EXPECT_EQ(drawn->transparencyParameter, "transparency");
    EXPECT_EQ(drawn->bumpAttribute, "normalCamera");
}

TEST_F(HostTest, UnloadDeregistersTheOverrideBeforeTheNodeTypeAndReloadRegistersItAgain) {
    ASSERT_TRUE(host.loadPlugin(kPluginPath));
    ASSERT_TRUE(host.unloadPlugin(kPluginPath));
    EXPECT_TRUE(host.surfaceShadingNodeOverrides().empty());
    EXPECT_EQ(
        registryCalls(host),
        (std::vector<std::string>{R"(MDrawRegistry::registerSurfaceShadingNodeOverrideCreator()"
                                  R"("drawdb/shader/surface/lumaVeil", "lumaVeilPlugin"))",
                                  R"(MDrawRegistry::deregisterSurfaceShadingNodeOverrideCreator()"
                                  R"("drawdb/shader/surface/lumaVeil", "lumaVeilPlugin"))",
                                  "MFnPlugin::deregisterNode(214825)"}));

    ASSERT_TRUE(host.loadPlugin(kPluginPath));
    EXPECT_EQ(host.surfaceShadingNodeOverrides(), std::vector{kOverride});
    EXPECT_TRUE(mayahost::createSurfaceShadingNodeOverride(host.createNode("lumaVeil")));
}

// Viewport 2.0 then draws its fallback, but the software renderer shades as
// ever: one line says so, and the load goes on.
TEST_F(HostTest, AFailedOverrideRegistrationIsReportedAndTheNodeStillComputes) {
    host.failCalls("MDrawRegistry::registerSurfaceShadingNodeOverrideCreator", "", MS::kFailure);
    testing::internal::CaptureStderr();
    const MStatus status = host.loadPlugin(kPluginPath);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "lumaVeil: no Viewport 2.0 override: registerSurfaceShadingNodeOverrideCreator: "
              "Unexpected Internal Failure\n");
    ASSERT_EQ(status, MS::kSuccess);
    EXPECT_TRUE(host.surfaceShadingNodeOverrides().empty());

    mayahost::Node node = host.createNode("lumaVeil");
    std::string error;
    EXPECT_FALSE(mayahost::createSurfaceShadingNodeOverride(node, &error));
    EXPECT_TRUE(error.ends_with("draws its fallback")) << error;
    using namespace lumaveil::test;
    const lumaveil::LightSample light = workedLight();
    node.setSampleGeometry(mayaVector(workedPoint), mayaVector(workedNormal),
                           mayaVector(workedRay));
    node.setLightCount(1);
    node.setLight(0, mayaLight(light));
    ASSERT_EQ(node.compute("outColor"), MS::kSuccess);
    EXPECT_EQ(node.getFloat3("outColor"),
              mayaVector(lumaveil::evaluateShading(workedInputs(), {&light, 1}, 1).outColor));

    // Nothing to deregister at unload.
    EXPECT_TRUE(host.unloadPlugin(kPluginPath));
    EXPECT_EQ(registryCalls(host).size(), 2u);
}

// Maya would otherwise keep a creator that lies in an unloaded library: the
// plug-in stays loaded, whole, until the override goes.
TEST_F(PluginTest, AFailedOverrideDeregistrationKeepsThePlugInLoaded) {
    host.failCalls("MDrawRegistry::deregisterSurfaceShadingNodeOverrideCreator", "", MS::kFailure);
    testing::internal::CaptureStderr();
    EXPECT_EQ(host.unloadPlugin(kPluginPath), MS::kFailure);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "lumaVeil: deregisterSurfaceShadingNodeOverrideCreator: Unexpected Internal "
              "Failure\n");
    EXPECT_TRUE(host.isPluginLoaded(kPluginPath));
    EXPECT_TRUE(host.nodeType("lumaVeil"));
    EXPECT_EQ(host.surfaceShadingNodeOverrides(), std::vector{kOverride});

    host.clearCallFailures();
    EXPECT_TRUE(host.unloadPlugin(kPluginPath));
    EXPECT_TRUE(host.surfaceShadingNodeOverrides().empty());
}

// The stand-in's checks, against a plug-in that gets them wrong.
TEST_F(HostTest, TheStandInRefusesOverridesThatDoNotFitTheNode) {
    const std::string path = LUMAVEIL_VIEWPORT_MISUSE_PLUGIN_PATH;
    std::string error;
    ASSERT_TRUE(host.loadPlugin(path, &error)) << error;
    std::vector<MS::MStatusCode> registrations;
    for (const auto& call : host.callLog()) {
        if (call.function == "MDrawRegistry::registerSurfaceShadingNodeOverrideCreator") {
            registrations.push_back(call.status);
        }
    }
    // A draw classification that none of its node types has, then its own.
    EXPECT_EQ(registrations, (std::vector<MS::MStatusCode>{MS::kFailure, MS::kSuccess}));

    EXPECT_FALSE(mayahost::createSurfaceShadingNodeOverride(host.createNode("misuse"), &error));
    EXPECT_EQ(error,
              "the override for drawdb/shader/surface/misuse maps \"color\" to \"missingColor\", "
              "which misuse does not have");

    // Its uninitializePlugin leaves the override registered.
    EXPECT_FALSE(host.unloadPlugin(path, &error));
    EXPECT_EQ(error, path +
                         ": its Viewport 2.0 override for \"drawdb/shader/surface/misuse\" is "
                         "still registered");
    EXPECT_TRUE(host.isPluginLoaded(path));
}

#else

TEST(Viewport2, NeedsADevkitFromMaya2016On) {
    GTEST_SKIP() << "the classic devkit (API " << MAYA_API_VERSION
                 << ") has no Viewport 2.0: the plug-in registers no override";
}

#endif

}  // namespace
