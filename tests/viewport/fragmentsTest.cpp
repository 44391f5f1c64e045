// The fragments as Maya reads them: each one's properties against its
// function's parameters in both languages (Maya binds them by position),
// each GLSL implementation compiled at the GLSL versions an effect may have,
// each HLSL one through glslangValidator's HLSL front end, and the constants
// of the GLSL against the model's.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <regex>
#include <string>
#include <vector>

#include "fragmentSet.h"
#include "model/albedo.h"
#include "model/floatMath.h"
#include "model/materialAttributes.h"
#include "vp2host/glViewport.h"

namespace lumaveil::test {
namespace {

using vp2host::Implementation;
using vp2host::Property;
using vp2host::ShadeFragment;

std::string trimmed(std::string s) {
    s.erase(0, s.find_first_not_of(" \t\r\n"));
    s.erase(s.find_last_not_of(" \t\r\n") + 1);
    return s;
}

struct Parameter {
    std::string type;
    std::string name;
};

struct Signature {
    std::string returned;
    std::vector<Parameter> parameters;
};

// The signature of `function` as its definition in `source` states it;
// qualifiers (in, out, const) are dropped.
std::optional<Signature> signatureOf(const std::string& source, const std::string& function) {
    const std::regex definition("([A-Za-z_][A-Za-z0-9_]*)\\s+" + function +
                                "\\s*\\(([^)]*)\\)\\s*\\{");
    std::smatch match;
    if (!std::regex_search(source, match, definition)) {
        return std::nullopt;
    }
    Signature s{match[1], {}};
    const std::string list = trimmed(match[2]);
    std::size_t start = 0;
    while (!list.empty() && start <= list.size()) {
        const std::size_t comma = list.find(',', start);
        std::vector<std::string> words;
        std::istringstream in(list.substr(start, comma - start));
        for (std::string word; in >> word;) {
            if (word != "in" && word != "out" && word != "inout" && word != "const") {
                words.push_back(word);
            }
        }
        s.parameters.push_back(
            {words.empty() ? "" : words.front(), words.size() < 2 ? "" : words.back()});
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return s;
}

// The type a property or output has in the language.
std::string typeIn(const std::string& language, const std::string& type,
                   const std::string& structName) {
    if (type == "struct") {
        return structName;
    }
    if (language == "GLSL" && type.starts_with("float") && type.size() == 6) {
        return "vec" + type.substr(5);
    }
    return type;
}

const FragmentSet& fragments() {
    return builtFragments();
}

TEST(ViewportFragments, AllAreBuiltAndTheGraphsNameOnlyThem) {
    const FragmentSet& set = fragments();
    EXPECT_EQ(set.fragments.size(), 8u);
    ASSERT_EQ(set.graphs.size(), 2u);
    for (const auto& [name, graph] : set.graphs) {
        EXPECT_EQ(vp2host::graphProblem(graph, set.lookup()), "") << name;
    }
}

// Binding is by position, so a property out of its function's order feeds
// the wrong argument without a word from Maya.
TEST(ViewportFragments, PropertiesAreTheirFunctionsParametersInOrderAndType) {
    for (const auto& [name, fragment] : fragments().fragments) {
        if (fragment.type == "accum") {
            EXPECT_TRUE(fragment.implementations.empty()) << name;
            continue;
        }
        for (const char* language : {"GLSL", "HLSL"}) {
            SCOPED_TRACE(name + " in " + language);
            const Implementation* implementation = fragment.implementation(language);
            ASSERT_NE(implementation, nullptr);
            if (fragment.type == "structure") {
                // The declaration's members are the outputs after the alias.
                std::string members;
                for (std::size_t i = 1; i < fragment.outputs.size(); ++i) {
                    members += typeIn(language, fragment.outputs[i].type, "") + " " +
                               fragment.outputs[i].name + "; ";
                }
                std::string declared =
                    std::regex_replace(implementation->declaration, std::regex("\\s+"), " ");
                EXPECT_NE(declared.find("struct " + fragment.name + " { " + members + "};"),
                          std::string::npos)
                    << declared;
                continue;
            }
            const auto signature =
                signatureOf(implementation->source, implementation->functionName);
            ASSERT_TRUE(signature) << "no definition of " << implementation->functionName;
            const vp2host::Output& output = fragment.outputs.front();
            EXPECT_EQ(signature->returned, typeIn(language, output.type, output.structName));
            // The names too: ours name each parameter as its property, but
            // where that is a word GLSL keeps for itself (input).
            std::vector<std::string> expected, actual;
            for (const Property& p : fragment.properties) {
                if (p.isArgument()) {
                    expected.push_back(typeIn(language, p.type, p.structName) +
                                       (p.name == "input" ? "" : " " + p.name));
                }
            }
            for (const Parameter& p : signature->parameters) {
                actual.push_back(p.type + (p.name == "value" ? "" : " " + p.name));
            }
            EXPECT_EQ(actual, expected);
        }
    }
}

std::string runCommand(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return "cannot run " + command;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    status = pclose(pipe);
    return output;
}

// A value of the parameter's type, for a call that makes the compiler check
// the whole fragment.
std::string zeroOf(const std::string& language, const Property& p) {
    if (p.type == "float") {
        return "0.0";
    }
    if (p.type == "int") {
        return "0";
    }
    if (p.type == "float3") {
        return typeIn(language, "float3", "") + "(0.0, 0.0, 0.0)";
    }
    ADD_FAILURE() << "no zero of " << p.type;
    return "0";
}

// The fragment's source with what Maya puts beside it: the structures of
// the graph, Maya's light functions where it asks for them, and a main that
// calls it.
std::string effectOf(const ShadeFragment& fragment, const std::string& language) {
    std::string effect;
    if (fragment.property("mayaExternalLightFunctions") != nullptr) {
        const std::string v = typeIn(language, "float3", "");
        effect += "struct irradiance { " + v + " diffuseI; " + v + " specularI; " + v + " Ld; " +
                  v + " Ls; " + v +
                  " Lg; int lightType; };\n"
                  "int mayaGetNumLights() { return 1; }\n"
                  "irradiance mayaGetLightIrradiance(int lightIndex, " +
                  v + " Pw, " + v + " Nw, " + v +
                  " Vw) {\n"
                  "    irradiance light;\n"
                  "    light.diffuseI = Pw; light.specularI = Nw; light.Ld = Vw;\n"
                  "    light.Ls = Vw; light.Lg = Vw; light.lightType = lightIndex;\n"
                  "    return light;\n}\n";
    }
    for (const auto& [name, other] : fragments().fragments) {
        if (other.type == "structure") {
            effect += other.implementation(language)->declaration + "\n";
        }
    }
    const Implementation& implementation = *fragment.implementation(language);
    effect += implementation.source + "\n";
    std::string arguments;
    for (const Property& p : fragment.properties) {
        if (p.isArgument()) {
            arguments += (arguments.empty() ? "" : ", ") + zeroOf(language, p);
        }
    }
    const std::string call = implementation.functionName + "(" + arguments + ")";
    if (language == "HLSL") {
        effect += "float4 lvMain() : SV_Target {\n    " + call +
                  ";\n    return float4(0.0, 0.0, 0.0, 1.0);\n}\n";
    } else {
        effect += "out vec4 lvPixel;\nvoid main() {\n    " + call +
                  ";\n    lvPixel = vec4(0.0, 0.0, 0.0, 1.0);\n}\n";
    }
    return effect;
}

TEST(ViewportFragments, EachHlslImplementationCompilesInGlslangsHlslFrontEnd) {
    const std::filesystem::path folder =
        std::filesystem::path(testing::TempDir()) / "lumaveil-viewport-hlsl";
    std::filesystem::create_directories(folder);
    for (const auto& [name, fragment] : fragments().fragments) {
        if (fragment.type == "accum" || fragment.type == "structure") {
            continue;
        }
        const std::filesystem::path file = folder / (name + ".hlsl");
        std::ofstream(file) << effectOf(fragment, "HLSL");
        int status = 0;
        const std::string output =
            runCommand(std::string(LUMAVEIL_GLSLANG_VALIDATOR) + " -D -V -S frag -e lvMain -o " +
                           (folder / (name + ".spv")).string() + " " + file.string(),
                       status);
        EXPECT_EQ(status, 0) << name << ":\n" << output;
    }
    std::filesystem::remove_all(folder);
}

TEST(ViewportFragments, EachGlslImplementationCompilesAtEachGlslVersion) {
    vp2host::GlViewport gl;
    for (const int version : vp2host::glslVersions) {
        for (const auto& [name, fragment] : fragments().fragments) {
            if (fragment.type == "accum" || fragment.type == "structure") {
                continue;
            }
            EXPECT_EQ(gl.compileFragmentShader("#version " + std::to_string(version) + "\n" +
                                               effectOf(fragment, "GLSL")),
                      "")
                << name << " at GLSL " << version;
        }
    }
}

// Every named constant of a fragment's GLSL: NAME -> its value's text, with
// the fragment's own prefix taken off.
std::map<std::string, std::string> constantsOf(const ShadeFragment& fragment) {
    const Implementation& glsl = *fragment.implementation("GLSL");
    std::map<std::string, std::string> constants;
    const std::regex constant("const (?:float|int) " + glsl.functionName +
                              "_([A-Za-z_]+) = ([^;]+);");
    for (auto it = std::sregex_iterator(glsl.source.begin(), glsl.source.end(), constant);
         it != std::sregex_iterator(); ++it) {
        constants[(*it)[1]] = (*it)[2];
    }
    return constants;
}

float parsed(const std::string& text) {
    return std::strtof(text.c_str(), nullptr);
}

// The fragments hold their own copies of the model's constants: these fail
// when one of them moves without the other.
TEST(ViewportFragments, TheirConstantsAreTheModels) {
    int checked = 0;
    for (const auto& [name, fragment] : fragments().fragments) {
        if (fragment.type == "accum" || fragment.type == "structure") {
            continue;
        }
        SCOPED_TRACE(name);
        const auto constants = constantsOf(fragment);
        if (constants.empty()) {
            continue;  // a pass-through
        }
        // Each attribute's default, where a value is not finite.
        for (const MaterialAttribute& a : materialAttributes) {
            const auto it = constants.find("DEFAULT_" + std::string(a.longName));
            ASSERT_NE(it, constants.end()) << a.longName;
            for (int k = 0; k < a.components; ++k) {
                EXPECT_EQ(parsed(it->second), a.defaultValue[static_cast<std::size_t>(k)])
                    << a.longName;
            }
        }
        // Each attribute's physical range, and no other.
        int ranges = 0;
        for (const MaterialAttribute& a : materialAttributes) {
            for (const auto& [prefix, bound] :
                 {std::pair{"MIN_", a.physicalMin}, std::pair{"MAX_", a.physicalMax}}) {
                const auto it = constants.find(prefix + std::string(a.longName));
                ASSERT_EQ(it != constants.end(), bound.has_value()) << prefix << a.longName;
                if (bound) {
                    EXPECT_EQ(parsed(it->second), *bound) << prefix << a.longName;
                    ++ranges;
                }
            }
        }
        for (const auto& [constant, value] : constants) {
            ranges -= constant.starts_with("MIN_") || constant.starts_with("MAX_") ? 1 : 0;
        }
        EXPECT_EQ(ranges, 0) << "a range the model does not have";
        EXPECT_EQ(parsed(constants.at("FLOAT_MAX")), std::numeric_limits<float>::max());
        EXPECT_EQ(parsed(constants.at("FLOAT_MIN")), std::numeric_limits<float>::min());
        if (constants.count("PI") != 0) {
            EXPECT_EQ(parsed(constants.at("PI")), pi);
            EXPECT_EQ(std::stoi(constants.at("ALBEDO_TABLE_SIZE")), albedoTableSize);
            EXPECT_EQ(parsed(constants.at("ALBEDO_INDEX_SCALE")),
                      static_cast<float>(albedoTableSize - 1));
            // The table, entry by entry.
            const std::string& source = fragment.implementation("GLSL")->source;
            const std::size_t start = source.find("float[2001](");
            ASSERT_NE(start, std::string::npos);
            std::istringstream entries(
                source.substr(start + 12, source.find(')', start) - start - 12));
            std::size_t i = 0;
            for (std::string entry; std::getline(entries, entry, ',');) {
                ASSERT_LT(i, albedoTable.size());
                EXPECT_EQ(parsed(trimmed(entry)), albedoTable[i]) << "entry " << i;
                ++i;
            }
            EXPECT_EQ(i, albedoTable.size());
        }
        ++checked;
    }
    EXPECT_EQ(checked, 5);
}

// What the XML gives an input that nothing feeds is the node's default.
TEST(ViewportFragments, TheirValuesAreTheNodesDefaults) {
    auto check = [](const std::string& owner, const std::vector<vp2host::Value>& values) {
        for (const vp2host::Value& v : values) {
            const MaterialAttribute* a = materialAttributeNamed(v.name);
            if (a == nullptr) {
                continue;
            }
            std::istringstream parts(v.value);
            int k = 0;
            for (std::string part; std::getline(parts, part, ','); ++k) {
                EXPECT_EQ(parsed(part), a->defaultValue[static_cast<std::size_t>(k)])
                    << owner << ": " << v.name;
            }
            EXPECT_EQ(k, a->components) << owner << ": " << v.name;
        }
    };
    for (const auto& [name, fragment] : fragments().fragments) {
        check(name, fragment.values);
    }
    for (const auto& [name, graph] : fragments().graphs) {
        check(name, graph.values);
        // Every attribute of the node feeds the graph, as a value of its shape.
        for (const MaterialAttribute& a : materialAttributes) {
            const auto p = std::find_if(graph.properties.begin(), graph.properties.end(),
                                        [&](const Property& q) { return q.name == a.longName; });
            ASSERT_NE(p, graph.properties.end()) << name << ": " << a.longName;
            EXPECT_EQ(p->type, a.isColour() ? "float3" : "float") << name << ": " << a.longName;
        }
    }
}

}  // namespace
}  // namespace lumaveil::test
