// The Arnold shader library as Arnold loads it: one node, its parameters and
// metadata, what it exports, the example scene, and the libraries Arnold
// refuses.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
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
// RGB for a colour and float for a scalar, at the node's default; then the
// bump's normal and the names of the AOVs.
TEST(ArnoldLibrary, ParametersAreTheNodesEditableAttributesThenTheBumpAndTheAOVs) {
    const aihost::Shader shader(LUMAVEIL_ARNOLD_SHADER_PATH);
    const auto& parameters = shader.entry().parameters;
    ASSERT_EQ(parameters.size(), materialAttributes.size() + 6);
    for (std::size_t i = 0; i < materialAttributes.size(); ++i) {
        const MaterialAttribute& a = materialAttributes[i];
        SCOPED_TRACE(std::string(a.longName));
        EXPECT_EQ(parameters[i].name, a.longName);
        EXPECT_EQ(parameters[i].type, a.isColour() ? AI_TYPE_RGB : AI_TYPE_FLOAT);
        EXPECT_EQ(
            parameters[i].defaults,
            std::vector<float>(a.defaultValue.begin(), a.defaultValue.begin() + a.components));
    }
    const aihost::Parameter* extra = &parameters[materialAttributes.size()];
    EXPECT_EQ(extra[0].name, "normal");
    EXPECT_EQ(extra[0].type, AI_TYPE_VECTOR);
    EXPECT_EQ(extra[0].defaults, std::vector<float>(3, 0.0f));
    const char* aovs[] = {"diffuse", "translucency", "specular", "ambient", "incandescence"};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(extra[k + 1].name, std::string("aov_") + aovs[k]);
        EXPECT_EQ(extra[k + 1].type, AI_TYPE_STRING);
        EXPECT_EQ(extra[k + 1].defaultText, std::string("lumaVeil_") + aovs[k]);
    }
}

// What every Arnold host reads: each parameter's help, slider and limits
// from its row, the node's help, group and GPU support, and the groups of
// the Attribute Editor's sections.
TEST(ArnoldLibrary, MetadataComesFromTheAttributeTable) {
    const aihost::Shader shader(LUMAVEIL_ARNOLD_SHADER_PATH);
    const aihost::NodeEntry& node = shader.entry();
    const auto text = [&](const std::string& parameter, const char* key) -> std::string {
        const aihost::MetaData* m = node.find(parameter, key);
        return m && m->type == "STRING" ? m->text : "(none)";
    };
    const auto number = [&](const std::string& parameter, const char* key,
                            const char* type) -> std::optional<float> {
        const aihost::MetaData* m = node.find(parameter, key);
        if (!m) {
            return std::nullopt;
        }
        EXPECT_EQ(m->type, type) << parameter << " " << key;
        return m->number;
    };
    for (const MaterialAttribute& a : materialAttributes) {
        const std::string name(a.longName);
        SCOPED_TRACE(name);
        EXPECT_EQ(text(name, "help"), a.effect);
        // Every scalar has a slider's range; a colour has its picker.
        EXPECT_EQ(a.softMin.has_value(), !a.isColour());
        EXPECT_EQ(number(name, "softmin", "FLOAT"), a.softMin);
        EXPECT_EQ(number(name, "softmax", "FLOAT"), a.softMax);
        EXPECT_EQ(number(name, "min", "FLOAT"), a.hardMin);
        EXPECT_EQ(number(name, "max", "FLOAT"), std::nullopt);
    }
    EXPECT_EQ(number("refractiveIndex", "min", "FLOAT"), 1.0f);

    EXPECT_NE(text("", "help").find("lumaVeil"), std::string::npos);
    EXPECT_EQ(text("", "category"), "Shading");
    EXPECT_EQ(number("", "gpu_support", "BOOL"), 0.0f);

    // The groups: the Attribute Editor template's sections, in its order.
    std::ifstream in(LUMAVEIL_AE_TEMPLATE_PATH);
    ASSERT_TRUE(in) << LUMAVEIL_AE_TEMPLATE_PATH;
    const std::string mel{std::istreambuf_iterator<char>(in), {}};
    const std::regex layout(R"re(-beginLayout\s+"([^"]+)"((?:.|\n)*?)-endLayout)re");
    const std::regex control(R"re(-addControl\s+"([^"]+)")re");
    std::string groups;
    for (std::sregex_iterator it(mel.begin(), mel.end(), layout), end; it != end; ++it) {
        groups += (groups.empty() ? "" : ",") + (*it)[1].str() + ":";
        const std::string body = (*it)[2].str();
        std::string names;
        for (std::sregex_iterator c(body.begin(), body.end(), control); c != end; ++c) {
            names += (names.empty() ? "" : " ") + (*c)[1].str();
        }
        groups += names;
    }
    EXPECT_EQ(text("", "ui.groups"), groups);

    // The bump comes through normalCamera in Maya: no attribute of its own.
    EXPECT_NE(text("normal", "help"), "(none)");
    EXPECT_EQ(number("normal", "maya.hide", "BOOL"), 1.0f);
    for (const char* aov :
         {"aov_diffuse", "aov_translucency", "aov_specular", "aov_ambient", "aov_incandescence"}) {
        SCOPED_TRACE(aov);
        EXPECT_NE(text(aov, "help"), "(none)");
        EXPECT_EQ(number(aov, "aov.type", "INT"), float(AI_TYPE_RGB));
    }
}

#if defined(__linux__)
TEST(ArnoldLibrary, ExportsNodeLoaderAlone) {
    EXPECT_EQ(definedDynamicSymbols(LUMAVEIL_ARNOLD_SHADER_PATH),
              (std::set<std::string>{"NodeLoader"}));
}
#endif

// Every parameter the example scene sets is one of the node's, with as many
// values as its type has, a text for a string, or a node of the scene linked.
TEST(ArnoldLibrary, ExampleSceneSetsOnlyTheNodesParameters) {
    const aihost::Shader shader(LUMAVEIL_ARNOLD_SHADER_PATH);
    std::ifstream in(LUMAVEIL_ARNOLD_EXAMPLE_PATH);
    ASSERT_TRUE(in) << LUMAVEIL_ARNOLD_EXAMPLE_PATH;
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const std::regex block(R"(\blumaVeil\s*\{([^}]*)\})");
    std::smatch node;
    ASSERT_TRUE(std::regex_search(text, node, block));
    std::istringstream body(node[1].str());
    std::set<int> types;
    for (std::string line; std::getline(body, line);) {
        std::istringstream words(line);
        std::string parameter;
        if (!(words >> parameter) || parameter == "name") {
            continue;
        }
        const aihost::Parameter* p = shader.entry().parameter(parameter);
        ASSERT_TRUE(p) << parameter << " is no parameter of lumaVeil";
        types.insert(p->type);
        std::string rest;
        std::getline(words >> std::ws, rest);
        if (p->type == AI_TYPE_STRING) {
            EXPECT_TRUE(std::regex_match(rest, std::regex(R"("[^"]+")"))) << line;
        } else if (std::regex_match(rest, std::regex(R"([A-Za-z_]\w*)"))) {
            EXPECT_TRUE(std::regex_search(text, std::regex("\\bname\\s+" + rest + "\\b")))
                << parameter << " is linked to " << rest << ", which the scene lacks";
        } else {
            std::istringstream values(rest);
            int count = 0;
            for (float value; values >> value;) {
                ++count;
            }
            EXPECT_TRUE(values.eof()) << line;
            EXPECT_EQ(count, static_cast<int>(p->defaults.size())) << parameter;
        }
    }
    EXPECT_EQ(types, (std::set<int>{AI_TYPE_RGB, AI_TYPE_FLOAT, AI_TYPE_VECTOR, AI_TYPE_STRING}));
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
