// The Arnold shader library as Arnold loads it: one node, its parameters and
// metadata, what it exports, the example scene, and the libraries Arnold
// refuses.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "aihost/host.h"
#include "libraryFile.h"
#include "model/materialAttributes.h"

namespace lumaveil::arnoldtest {
namespace {

// Maya's Arnold plug-in translates the Maya node of this name and id onto it.
TEST(ArnoldLibrary, GivesTheLumaVeilShaderWithMayasNameAndId) {
    const aihost::Shader shader(LUMAVEIL_ARNOLD_SHADER_PATH);
    const aihost::NodeEntry& node = shader.entry();
    EXPECT_EQ(node.name, "lumaVeil");
    EXPECT_EQ(node.nodeType, AI_NODE_SHADER);
    EXPECT_EQ(node.outputType, AI_TYPE_CLOSURE);
    EXPECT_EQ(node.version, aihost::Shader::version());
    const aihost::MetaData* name = node.find("", "maya.name");
    const aihost::MetaData* id = node.find("", "maya.id");
    const aihost::MetaData* attrs = node.find("", "maya.attrs");
    ASSERT_TRUE(name && id && attrs);
    EXPECT_EQ(name->type, "STRING");
    EXPECT_EQ(name->text, "lumaVeil");
    EXPECT_EQ(id->type, "INT");
    EXPECT_EQ(id->number, 214825.0f);
    EXPECT_EQ(attrs->type, "BOOL");
    EXPECT_EQ(attrs->number, 0.0f);
}

// A parameter per editable attribute, of its long name, in the node's order,
// RGB for a colour and float for a scalar, at the node's default.
TEST(ArnoldLibrary, ParametersAreTheNodesEditableAttributes) {
    const aihost::Shader shader(LUMAVEIL_ARNOLD_SHADER_PATH);
    const auto& parameters = shader.entry().parameters;
    ASSERT_EQ(parameters.size(), materialAttributes.size());
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const MaterialAttribute& a = materialAttributes[i];
        SCOPED_TRACE(std::string(a.longName));
        EXPECT_EQ(parameters[i].name, a.longName);
        EXPECT_EQ(parameters[i].type, a.isColour() ? AI_TYPE_RGB : AI_TYPE_FLOAT);
        EXPECT_EQ(
            parameters[i].defaults,
            std::vector<float>(a.defaultValue.begin(), a.defaultValue.begin() + a.components));
    }
}

#if defined(__linux__)
TEST(ArnoldLibrary, ExportsNodeLoaderAlone) {
    EXPECT_EQ(definedDynamicSymbols(LUMAVEIL_ARNOLD_SHADER_PATH),
              (std::set<std::string>{"NodeLoader"}));
}
#endif

// Every parameter the example scene sets is one of the node's, with as many
// values as its type has.
TEST(ArnoldLibrary, ExampleSceneSetsOnlyTheNodesParameters) {
    std::ifstream in(LUMAVEIL_ARNOLD_EXAMPLE_PATH);
    ASSERT_TRUE(in) << LUMAVEIL_ARNOLD_EXAMPLE_PATH;
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const std::regex block(R"(\blumaVeil\s*\{([^}]*)\})");
    std::smatch node;
    ASSERT_TRUE(std::regex_search(text, node, block));
    std::istringstream body(node[1].str());
    int set = 0;
    for (std::string line; std::getline(body, line);) {
        std::istringstream words(line);
        std::string parameter;
        if (!(words >> parameter) || parameter == "name") {
            continue;
        }
        const MaterialAttribute* a = materialAttributeNamed(parameter);
        ASSERT_TRUE(a && a->longName == parameter) << parameter << " is no parameter of lumaVeil";
        int values = 0;
        for (float value; words >> value;) {
            ++values;
        }
        EXPECT_TRUE(words.eof()) << line;
        EXPECT_EQ(values, a->components) << parameter;
        ++set;
    }
    EXPECT_GT(set, 3);
}

TEST(ArnoldLibrary, ArnoldRefusesWhatItCannotLoad) {
    const struct {
        const char* library;
        const char* message;
    } cases[] = {
        {MISFIT_NO_LOADER_PATH, " exports no NodeLoader: it is no Arnold plug-in library"},
        {MISFIT_NO_NODES_PATH, ": its NodeLoader gives no node"},
        {MISFIT_RUNAWAY_PATH, ": its NodeLoader gives more than 4096 nodes and no end of them"},
        {MISFIT_NAME_PATH, " gives the node \"otherShader\", not \"lumaVeil\""},
        {MISFIT_TYPE_PATH, ": its \"lumaVeil\" is a node of type 0x0001, not a shader (0x0010)"},
        {MISFIT_VERSION_PATH, " was built against Arnold 99.0.0.0, newer than this Arnold"},
        {"/nonexistent/lumaVeilArnold.so", "cannot load /nonexistent/lumaVeilArnold.so: "},
    };
    for (const auto& c : cases) {
        try {
            aihost::Shader shader(c.library);
            ADD_FAILURE() << c.library << " was loaded";
        } catch (const aihost::LoadError& error) {
            const std::string what = error.what();
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
            EXPECT_EQ(what.find('\n'), std::string::npos) << what;
        }
    }
}

}  // namespace
}  // namespace lumaveil::arnoldtest
