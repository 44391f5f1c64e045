// The GLSL that runs a fragment graph, assembled as Maya assembles an
// effect: its helper definitions, the declarations of the structures the
// graph instances, each fragment's GLSL once, and a main that calls the
// fragments in the graph's order, feeding each argument by position from a
// connection, a graph input, or the fragment's value.
#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "vp2host/glViewport.h"

namespace vp2host {

namespace {

// What Maya's GLSL effects define for fragments written for both languages.
constexpr const char* mayaHelpers = R"(
float saturate(float x) { return clamp(x, 0.0, 1.0); }
vec2 saturate(vec2 x) { return clamp(x, 0.0, 1.0); }
vec3 saturate(vec3 x) { return clamp(x, 0.0, 1.0); }
vec4 saturate(vec4 x) { return clamp(x, 0.0, 1.0); }
float lerp(float a, float b, float t) { return mix(a, b, t); }
vec2 lerp(vec2 a, vec2 b, float t) { return mix(a, b, t); }
vec3 lerp(vec3 a, vec3 b, float t) { return mix(a, b, t); }
vec4 lerp(vec4 a, vec4 b, float t) { return mix(a, b, t); }
vec4 mul(mat4 m, vec4 v) { return m * v; }
vec4 mul(vec4 v, mat4 m) { return v * m; }
)";

// The samples' texture: texel 0 of a row holds the light count, then one
// texel per sample input, then three per light.
constexpr const char* sampleAccess = R"(
uniform sampler2D lvSamples;
uniform int lvSampleCount;
uniform int lvOutputWidth;
uniform int lvLightBase;
int lvSample;
vec4 lvFetch(int texel) { return texelFetch(lvSamples, ivec2(texel, lvSample), 0); }
vec4 lvLightTexel(int light, int part) { return lvFetch(lvLightBase + 3 * light + part); }
)";

// Light API v2: Maya's light functions, as a stand-in that hands out the
// sample's lights.
constexpr const char* lightFunctions = R"(
struct irradiance {
    vec3 diffuseI;
    vec3 specularI;
    vec3 Ld;
    vec3 Ls;
    vec3 Lg;
    int lightType;
};
int mayaGetNumLights() { return int(lvFetch(0).x); }
irradiance mayaGetLightIrradiance(int lightIndex, vec3 Pw, vec3 Nw, vec3 Vw) {
    irradiance light;
    light.Ld = lvLightTexel(lightIndex, 0).xyz;
    light.diffuseI = lvLightTexel(lightIndex, 1).xyz;
    light.specularI = lvLightTexel(lightIndex, 2).xyz;
    light.Ls = light.Ld;
    light.Lg = vec3(0.0, 0.0, 0.0);
    light.lightType = 0;
    return light;
}
vec3 mayaGetSpecularEnvironment(vec3 Nw, vec3 Vw, float phongExponent) { return vec3(0.0, 0.0, 0.0); }
vec3 mayaGetIrradianceEnvironment(vec3 Nw) { return vec3(0.0, 0.0, 0.0); }
float mayaRoughnessToPhongExp(float roughness) { return 2.0 / max(roughness * roughness, 0.0001) - 2.0; }
)";

std::string glslType(const Property& p) {
    static const std::map<std::string, std::string> types = {
        {"float", "float"}, {"float2", "vec2"}, {"float3", "vec3"},  {"float4", "vec4"},
        {"int", "int"},     {"bool", "bool"},   {"float4x4", "mat4"}};
    if (p.type == "struct") {
        return p.structName;
    }
    const auto it = types.find(p.type);
    if (it == types.end()) {
        throw FragmentXmlError("the harness cannot pass a " + p.type + " (" + p.name + ")");
    }
    return it->second;
}

// A <values> entry as a GLSL literal of the property's type.
std::string literal(const Property& p, const std::string& value) {
    auto number = [](std::string n) {
        n.erase(0, n.find_first_not_of(' '));
        n.erase(n.find_last_not_of(' ') + 1);
        if (n.find_first_of(".eE") == std::string::npos) {
            n += ".0";
        }
        return n;
    };
    if (p.type == "float") {
        return number(value);
    }
    if (p.type == "int") {
        return value;
    }
    if (p.type == "bool") {
        return value == "true" ? "true" : "false";
    }
    std::string parts;
    std::stringstream in(value);
    for (std::string part; std::getline(in, part, ',');) {
        parts += (parts.empty() ? "" : ", ") + number(part);
    }
    return glslType(p) + "(" + parts + ")";
}

// A texel as a value of the property's type.
std::string fromTexel(const Property& p, const std::string& texel) {
    if (p.type == "float") {
        return texel + ".x";
    }
    if (p.type == "float3") {
        return texel + ".xyz";
    }
    if (p.type == "int") {
        return "int(" + texel + ".x)";
    }
    throw FragmentXmlError("the harness cannot supply the input " + p.name + " of type " + p.type);
}

struct Assembly {
    const FragmentGraph& graph;
    const FragmentLookup& lookup;
    std::vector<std::string> sampleInputs;
    std::ostringstream main;

    const ShadeFragment& fragmentOf(const std::string& instance) const {
        return *lookup(graph.instance(instance)->fragment);
    }
    bool isAccumulator(const std::string& instance) const {
        return fragmentOf(instance).type == "accum";
    }
    const Connection* connectionInto(const std::string& instance, const std::string& input) const {
        for (const Connection& c : graph.connections) {
            if (c.toInstance == instance && c.toInput == input) {
                return &c;
            }
        }
        return nullptr;
    }
    const Property* graphInputFor(const std::string& instance, const std::string& input) const {
        for (const Property& p : graph.properties) {
            if (p.ref == instance + "." + input) {
                return &p;
            }
        }
        return nullptr;
    }

    // The instances whose outputs feed this one's inputs.
    std::vector<std::string> sources(const std::string& instance) const {
        std::vector<std::string> from;
        for (const Connection& c : graph.connections) {
            if (c.toInstance == instance) {
                from.push_back(c.fromInstance);
            }
        }
        return from;
    }

    bool dependsOnLight(const std::string& instance) const {
        for (const Property& p : graph.properties) {
            if (p.ref.starts_with(instance + ".") && GraphProgram::isPerLightInput(p.name)) {
                return true;
            }
        }
        for (const std::string& from : sources(instance)) {
            if (!isAccumulator(from) && dependsOnLight(from)) {
                return true;
            }
        }
        return false;
    }

    // Every instance in an order that puts each after those feeding it.
    std::vector<std::string> ordered() const {
        std::vector<std::string> order;
        std::set<std::string> placed, visiting;
        std::function<void(const std::string&)> visit = [&](const std::string& instance) {
            if (placed.count(instance) != 0) {
                return;
            }
            if (!visiting.insert(instance).second) {
                throw FragmentXmlError("graph " + graph.name + ": a cycle through " + instance);
            }
            for (const std::string& from : sources(instance)) {
                visit(from);
            }
            visiting.erase(instance);
            placed.insert(instance);
            order.push_back(instance);
        };
        for (const FragmentInstance& i : graph.fragments) {
            visit(i.name);
        }
        return order;
    }

    std::string inputExpression(const Property& graphInput, const Property& parameter) {
        if (GraphProgram::isPerLightInput(graphInput.name)) {
            const int part = graphInput.name == "diffuseI"    ? 1
                             : graphInput.name == "specularI" ? 2
                                                              : 0;
            return fromTexel(parameter, "lvLightTexel(lvLight, " + std::to_string(part) + ")");
        }
        auto it = std::find(sampleInputs.begin(), sampleInputs.end(), graphInput.name);
        if (it == sampleInputs.end()) {
            sampleInputs.push_back(graphInput.name);
            it = sampleInputs.end() - 1;
        }
        const int texel = 1 + static_cast<int>(it - sampleInputs.begin());
        return fromTexel(parameter, "lvFetch(" + std::to_string(texel) + ")");
    }

    // What feeds the instance's input, by connection, graph input or value.
    std::string argument(const std::string& instance, const Property& parameter) {
        if (const Connection* c = connectionInto(instance, parameter.name)) {
            if (isAccumulator(c->fromInstance)) {
                return "lvSum_" + c->fromInstance + "_" + c->fromOutput;
            }
            return "v_" + c->fromInstance;
        }
        if (const Property* input = graphInputFor(instance, parameter.name)) {
            return inputExpression(*input, parameter);
        }
        const ShadeFragment& f = fragmentOf(instance);
        if (const Value* v = f.value(parameter.name)) {
            return literal(parameter, v->value);
        }
        throw FragmentXmlError("graph " + graph.name + ": nothing feeds " + instance + "." +
                               parameter.name);
    }

    // One instance's call, as `type v_instance = function(arguments);`.
    void call(const std::string& instance, const std::string& indent) {
        const ShadeFragment& f = fragmentOf(instance);
        if (f.type == "structure") {
            const Property& s = f.properties.front();
            main << indent << s.structName << " v_" << instance << " = " << argument(instance, s)
                 << ";\n";
            return;
        }
        const Implementation* glsl = f.implementation("GLSL");
        if (glsl == nullptr) {
            throw FragmentXmlError(f.name + " has no GLSL implementation");
        }
        std::string arguments;
        for (const Property& p : f.properties) {
            if (p.isArgument()) {
                arguments += (arguments.empty() ? "" : ", ") + argument(instance, p);
            }
        }
        const Output& out = f.outputs.front();
        Property returned;
        returned.type = out.type;
        returned.name = out.name;
        const std::string type = out.type == "struct" ? out.structName : glslType(returned);
        main << indent << type << " v_" << instance << " = " << glsl->functionName << "("
             << arguments << ");\n";
    }
};

}  // namespace

bool GraphProgram::isPerLightInput(std::string_view name) {
    return name == "Lw" || name == "HLw" || name == "SLw" || name == "diffuseI" ||
           name == "specularI";
}

GraphProgram::GraphProgram(const FragmentGraph& graph, const FragmentLookup& lookup,
                           int glslVersion)
    : glslVersion_(glslVersion) {
    if (const std::string problem = graphProblem(graph, lookup); !problem.empty()) {
        throw FragmentXmlError(problem);
    }
    Assembly a{graph, lookup, {}, {}};
    const std::vector<std::string> order = a.ordered();

    // The accumulator, the instances upstream of it, which run per light.
    std::string accumulator;
    for (const std::string& instance : order) {
        if (a.isAccumulator(instance)) {
            if (!accumulator.empty()) {
                throw FragmentXmlError("graph " + graph.name + ": two accumulators");
            }
            accumulator = instance;
        }
    }
    std::set<std::string> perLight;
    if (!accumulator.empty()) {
        std::vector<std::string> pending = a.sources(accumulator);
        while (!pending.empty()) {
            const std::string instance = pending.back();
            pending.pop_back();
            if (perLight.insert(instance).second) {
                for (const std::string& from : a.sources(instance)) {
                    pending.push_back(from);
                }
            }
        }
    }

    if (!accumulator.empty()) {
        const ShadeFragment& accum = a.fragmentOf(accumulator);
        for (const Property& p : accum.properties) {
            if (p.type == "float3") {
                a.main << "    vec3 lvSum_" << accumulator << "_" << p.name
                       << " = vec3(0.0, 0.0, 0.0);\n";
            }
        }
        a.main << "    int lvLightCount = int(lvFetch(0).x);\n"
               << "    for (int lvLight = 0; lvLight < lvLightCount; ++lvLight) {\n";
        for (const std::string& instance : order) {
            if (perLight.count(instance) != 0) {
                a.call(instance, "        ");
            }
        }
        for (const Property& p : accum.properties) {
            if (const Connection* c = a.connectionInto(accumulator, p.name)) {
                const std::string sum = "lvSum_" + accumulator + "_" + p.name;
                a.main << "        " << sum << " = " << sum << " + v_" << c->fromInstance << ";\n";
            }
        }
        a.main << "    }\n";
    }
    for (const std::string& instance : order) {
        if (instance == accumulator) {
            continue;
        }
        if (a.dependsOnLight(instance)) {
            if (perLight.count(instance) == 0) {
                throw FragmentXmlError("graph " + graph.name + ": " + instance +
                                       " depends on a light and feeds no accumulator");
            }
            continue;
        }
        a.call(instance, "    ");
    }

    // The graph's struct output, and the colour handed to the fragment that
    // fills it.
    if (graph.outputs.size() != 1 || graph.outputs.front().type != "struct") {
        throw FragmentXmlError("graph " + graph.name + ": the harness reads one struct output");
    }
    const std::string outputInstance =
        graph.outputs.front().ref.substr(0, graph.outputs.front().ref.rfind('.'));
    const ShadeFragment& outputFragment = a.fragmentOf(outputInstance);
    const Connection* filled =
        outputFragment.type == "structure"
            ? a.connectionInto(outputInstance, outputFragment.properties.front().name)
            : nullptr;
    const Property* colourIn =
        filled != nullptr ? a.fragmentOf(filled->fromInstance).property("outColor") : nullptr;
    if (colourIn == nullptr) {
        throw FragmentXmlError("graph " + graph.name +
                               ": its output is filled by no fragment with an outColor input");
    }
    const std::string out = "v_" + outputInstance;
    a.main << "    lvColour = vec4(" << a.argument(filled->fromInstance, *colourIn) << ", 1.0);\n"
           << "    lvTransparency = vec4(" << out << ".outTransparency, 1.0);\n"
           << "    lvPremultiplied = vec4(" << out << ".outColor, 1.0);\n"
           << "    lvSurfaceFinal = " << out << ".outSurfaceFinal;\n";

    // The effect: helpers, declarations, each fragment's source once, main.
    std::ostringstream s;
    s << "#version " << glslVersion << "\n" << mayaHelpers << sampleAccess;
    bool needsLightFunctions = false;
    std::set<std::string> emitted;
    std::ostringstream declarations, sources;
    for (const std::string& instance : order) {
        const ShadeFragment& f = a.fragmentOf(instance);
        needsLightFunctions = needsLightFunctions || f.property("mayaExternalLightFunctions");
        if (!emitted.insert(f.name).second || f.type == "accum") {
            continue;
        }
        const Implementation* glsl = f.implementation("GLSL");
        if (glsl == nullptr) {
            throw FragmentXmlError(f.name + " has no GLSL implementation");
        }
        (f.type == "structure" ? declarations : sources)
            << "// " << f.name << "\n"
            << (f.type == "structure" ? glsl->declaration : glsl->source) << "\n";
    }
    if (needsLightFunctions) {
        s << lightFunctions;
    }
    s << declarations.str() << sources.str()
      << "out vec4 lvColour;\nout vec4 lvTransparency;\nout vec4 lvPremultiplied;\n"
         "out vec4 lvSurfaceFinal;\n"
         "void main() {\n"
         "    int lvIndex = int(gl_FragCoord.y) * lvOutputWidth + int(gl_FragCoord.x);\n"
         "    if (lvIndex >= lvSampleCount) {\n        discard;\n    }\n"
         "    lvSample = lvIndex;\n"
      << a.main.str() << "}\n";
    source_ = s.str();
    sampleInputs_ = a.sampleInputs;
}

}  // namespace vp2host
