// Viewport 2.0: the override through which it draws the node and the
// plug-in's fragment graphs, registered and removed with the plug-in, and
// what a failed registration leaves.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "pluginFixture.h"

#if MAYA_API_VERSION >= 201600
#include <maya/MFragmentManager.h>
#include <maya/MViewport2Renderer.h>

#include <cstdlib>

#include "mayahost/viewport.h"
#include "model/materialAttributes.h"
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

// The plug-in's fragments and graphs, in the order of their registration:
// those of light API v1, then those of v2 from Maya 2022.3 on.
const std::vector<std::string> kLightApi1Fragments = {
    "lumaVeilFloat3PassThrough", "lumaVeilLightDiffuse", "lumaVeilLightSpecular",
    "lumaVeilLightAccum",        "lumaVeilCombine",      "lumaVeilSurfaceFinal",
    "lumaVeilSurfaceOutput",     "lumaVeilSurface"};
const std::vector<std::string> kAllFragments = {
    "lumaVeilFloat3PassThrough", "lumaVeilLightDiffuse",   "lumaVeilLightSpecular",
    "lumaVeilLightAccum",        "lumaVeilCombine",        "lumaVeilSurfaceFinal",
    "lumaVeilSurfaceOutput",     "lumaVeilLightFunctions", "lumaVeilSurface",
    "lumaVeilSurfaceLightAPI2"};

// The fragment manager's calls that change what is registered, in order.
std::vector<std::string> fragmentChanges(const mayahost::Host& host) {
    std::vector<std::string> calls;
    for (const auto& call : host.callLog()) {
        if (call.function.starts_with("MFragmentManager::add") ||
            call.function == "MFragmentManager::removeFragment") {
            calls.push_back(call.function.substr(18) + "(" + call.arguments + ")");
        }
    }
    return calls;
}

// Every attribute of the node feeds the graph's input of its name.
void expectTheNodesGraph(const mayahost::Node& node, const std::string& graph) {
    std::string error;
    const auto drawn = mayahost::createSurfaceShadingNodeOverride(node, &error);
    ASSERT_TRUE(drawn) << error;
    EXPECT_EQ(drawn->fragmentName, graph);
    EXPECT_TRUE(drawn->registeredGraph);
    EXPECT_EQ(drawn->drawAPIs,
              MHWRender::kOpenGL | MHWRender::kOpenGLCoreProfile | MHWRender::kDirectX11);
    EXPECT_TRUE(drawn->parametersAtDefaults.empty());
    Pairs expected;
    for (const lumaveil::MaterialAttribute& a : lumaveil::materialAttributes) {
        expected.emplace_back(a.longName, a.longName);
    }
    EXPECT_EQ(drawn->parametersFromAttributes, expected);
    EXPECT_EQ(drawn->primaryColorParameter, "color");
    EXPECT_EQ(drawn->transparencyParameter, "transparency");
    EXPECT_EQ(drawn->bumpAttribute, "normalCamera");
}

// Light API v2 from Maya 2022.3 on, v1 before it; the glow's attributes are
// the graph's inputs as much as the Blinn-like ones.
TEST_F(HostTest, Viewport2DrawsTheNodeWithThePlugInsGraphForTheRunningMayasLightApi) {
    ASSERT_TRUE(host.loadPlugin(kPluginPath));
    EXPECT_EQ(host.registeredFragments(), kAllFragments);
    expectTheNodesGraph(host.createNode("lumaVeil"), "lumaVeilSurfaceLightAPI2");
    ASSERT_TRUE(host.unloadPlugin(kPluginPath));

    host.setRunningApiVersion(20220200);
    ASSERT_TRUE(host.loadPlugin(kPluginPath));
    EXPECT_EQ(host.registeredFragments(), kLightApi1Fragments);
    expectTheNodesGraph(host.createNode("lumaVeil"), "lumaVeilSurface");
    EXPECT_TRUE(host.displayedWarnings().empty());
}

// Maya's Blinn fragment, fed by the node's attributes of the same names, as
// LUMAVEIL_VIEWPORT=approximate asks; the subsurface attributes have no part
// in it.
TEST_F(HostTest, Viewport2DrawsMayasBlinnFragmentWhenAskedTo) {
    setenv("LUMAVEIL_VIEWPORT", "approximate", 1);
    const MStatus status = host.loadPlugin(kPluginPath);
    unsetenv("LUMAVEIL_VIEWPORT");
    ASSERT_TRUE(status);
    EXPECT_TRUE(host.registeredFragments().empty());
    EXPECT_TRUE(host.displayedWarnings().empty());
    EXPECT_EQ(host.surfaceShadingNodeOverrides(), std::vector{kOverride});
    const mayahost::Node node = host.createNode("lumaVeil");
    std::string error;
    const auto drawn = mayahost::createSurfaceShadingNodeOverride(node, &error);
    ASSERT_TRUE(drawn) << error;
    EXPECT_EQ(drawn->fragmentName, "mayaBlinnSurface");
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
    EXPECT_EQ(drawn->primaryColorParameter, "color");
    EXPECT_EQ(drawn->transparencyParameter, "transparency");
}

// Without a renderer (batch mode), where Maya refuses a fragment, and on the
// legacy OpenGL profile, for which the fragments have no implementation, the
// node is drawn with Maya's Blinn fragment; the first two say so in one
// warning line, and none of the plug-in's fragments stays registered.
TEST_F(HostTest, WithoutItsGraphViewport2FallsBackToMayasBlinnFragment) {
    auto fragmentDrawn = [&] {
        const auto drawn = mayahost::createSurfaceShadingNodeOverride(host.createNode("lumaVeil"));
        return drawn ? drawn->fragmentName : std::string("none");
    };
    host.setViewportRendererAvailable(false);
    ASSERT_TRUE(host.loadPlugin(kPluginPath));
    EXPECT_EQ(host.displayedWarnings(),
              std::vector<std::string>{"lumaVeil: no Viewport 2.0 renderer (batch mode); the "
                                       "viewport would draw the material with Maya's Blinn "
                                       "fragment"});
    EXPECT_TRUE(host.registeredFragments().empty());
    EXPECT_EQ(fragmentDrawn(), "mayaBlinnSurface");
    ASSERT_TRUE(host.unloadPlugin(kPluginPath));
    EXPECT_TRUE(fragmentChanges(host).empty());

    host.setViewportRendererAvailable(true);
    host.failCalls("MFragmentManager::addFragmentGraphFromBuffer", "", MS::kFailure);
    ASSERT_TRUE(host.loadPlugin(kPluginPath));
    EXPECT_EQ(host.displayedWarnings().back(),
              "lumaVeil: Viewport 2.0 refused the fragment lumaVeilSurface; the viewport draws "
              "the material with Maya's Blinn fragment");
    EXPECT_TRUE(host.registeredFragments().empty());
    EXPECT_EQ(fragmentDrawn(), "mayaBlinnSurface");
    ASSERT_TRUE(host.unloadPlugin(kPluginPath));

    host.clearCallFailures();
    ASSERT_TRUE(host.loadPlugin(kPluginPath));
    EXPECT_EQ(fragmentDrawn(), "lumaVeilSurfaceLightAPI2");
    host.setViewportDrawAPI(MHWRender::kOpenGL);
    EXPECT_EQ(fragmentDrawn(), "mayaBlinnSurface");
    EXPECT_EQ(host.displayedWarnings().size(), 2u);
}

// Registered once at load, leaves before the graphs that use them, removed at
// unload, graphs first: nothing is left behind, and a reload registers the
// same again.
TEST_F(HostTest, LoadUnloadAndReloadLeaveNoFragmentBehind) {
    ASSERT_TRUE(host.loadPlugin(kPluginPath));
    host.createNode("lumaVeil");
    ASSERT_TRUE(host.unloadPlugin(kPluginPath));
    EXPECT_TRUE(host.registeredFragments().empty());
    std::vector<std::string> expected;
    for (const std::string& name : kAllFragments) {
        expected.push_back(std::string(name.ends_with("Surface") || name.ends_with("API2")
                                           ? "addFragmentGraphFromBuffer"
                                           : "addShadeFragmentFromBuffer") +
                           "(\"" + name + "\")");
    }
    for (auto it = kAllFragments.rbegin(); it != kAllFragments.rend(); ++it) {
        expected.push_back("removeFragment(\"" + *it + "\")");
    }
    EXPECT_EQ(fragmentChanges(host), expected);

    host.clearCallLog();
    ASSERT_TRUE(host.loadPlugin(kPluginPath));
    EXPECT_EQ(host.registeredFragments(), kAllFragments);
    expectTheNodesGraph(host.createNode("lumaVeil"), "lumaVeilSurfaceLightAPI2");
    ASSERT_TRUE(host.unloadPlugin(kPluginPath));
    EXPECT_TRUE(host.registeredFragments().empty());
}

// The stand-in fragment manager takes only what Maya's would: well-formed
// fragments under free names, and graphs of registered fragments.
TEST_F(HostTest, TheStandInFragmentManagerRefusesWhatMayaWould) {
    MHWRender::MFragmentManager& manager =
        *MHWRender::MRenderer::theRenderer()->getFragmentManager();
    const std::string fragment =
        R"(<fragment uiName="f" name="f" type="plumbing" class="ShadeFragment" version="1.0">)"
        R"(<properties><float3 name="a"/></properties><values/><outputs><float3 name="f"/>)"
        R"(</outputs><implementation/></fragment>)";
    const std::string graph =
        R"(<fragment_graph name="g" ref="g" class="FragmentGraph" version="1.0"><fragments>)"
        R"(<fragment_ref name="x" ref="f"/></fragments><connections/><properties>)"
        R"(<float3 name="a" ref="x.a"/></properties><outputs><float3 name="o" ref="x.f"/>)"
        R"(</outputs></fragment_graph>)";
    EXPECT_EQ(manager.addFragmentGraphFromBuffer(graph.c_str()), "");  // f is unknown
    EXPECT_EQ(manager.addShadeFragmentFromBuffer(fragment.substr(0, 40).c_str(), false), "");
    EXPECT_EQ(manager.addShadeFragmentFromBuffer(graph.c_str(), false), "");
    EXPECT_EQ(manager.addShadeFragmentFromBuffer(fragment.c_str(), false), "f");
    EXPECT_EQ(manager.addShadeFragmentFromBuffer(fragment.c_str(), false), "");  // taken
    EXPECT_EQ(manager.addFragmentGraphFromBuffer(graph.c_str()), "g");
    EXPECT_TRUE(manager.hasFragment("g"));
    EXPECT_TRUE(manager.removeFragment("g"));
    EXPECT_FALSE(manager.removeFragment("g"));
    EXPECT_EQ(host.registeredFragments(), std::vector<std::string>{"f"});
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
