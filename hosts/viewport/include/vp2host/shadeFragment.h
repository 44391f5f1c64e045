// Viewport 2.0's shade fragments and fragment graphs, as their XML states
// them: read with a real XML parser (libxml2), for the stand-in fragment
// manager and for the harness that runs their GLSL. Test-only and tool-only.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vp2host {

// One line: what is wrong with the XML, and where.
class FragmentXmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A property (an input) of a fragment or graph; a graph's names the
// instance and parameter it feeds in `ref`.
struct Property {
    std::string type;  // float, float3, int, bool, string, struct, undefined, ...
    std::string name;
    std::string semantic;
    std::vector<std::string> flags;
    std::string structName;
    std::string ref;

    bool hasFlag(std::string_view flag) const;
    // Whether it becomes an argument of the fragment's function: binding is
    // by position, skipping requirement-only, undefined and string ones.
    bool isArgument() const;
};

struct Value {
    std::string type;
    std::string name;
    std::string value;
};

// An output: one typed value, a struct, or an alias (of an accumulator's
// channel, or of a structure).
struct Output {
    std::string type;
    std::string name;
    std::string structName;
    std::string ref;  // graphs: instance.output
};

struct Implementation {
    std::string render;
    std::string language;  // GLSL, HLSL, Cg
    std::string languageVersion;
    std::string functionName;
    std::string source;
    std::string declarationName;  // a structure's
    std::string declaration;
};

struct ShadeFragment {
    std::string name;
    std::string uiName;
    std::string type;  // plumbing, structure, accum, ...
    std::string version;
    std::string description;
    std::vector<Property> properties;
    std::vector<Value> values;
    std::vector<Output> outputs;
    std::vector<Implementation> implementations;

    const Property* property(std::string_view name) const;
    const Output* output(std::string_view name) const;
    const Value* value(std::string_view name) const;
    // The implementation in that language, or null.
    const Implementation* implementation(std::string_view language) const;
};

struct FragmentInstance {
    std::string name;      // the instance's, within the graph
    std::string fragment;  // the registered fragment it instantiates
};

struct Connection {
    std::string fromInstance, fromOutput;
    std::string toInstance, toInput;
};

struct FragmentGraph {
    std::string name;
    std::string version;
    std::vector<FragmentInstance> fragments;
    std::vector<Connection> connections;
    std::vector<Property> properties;
    std::vector<Value> values;
    std::vector<Output> outputs;

    const FragmentInstance* instance(std::string_view name) const;
    const Value* value(std::string_view name) const;
};

// Whether the text's root element is a fragment graph's.
bool isFragmentGraphXml(std::string_view xml);

// Parses a <fragment class="ShadeFragment"> or a <fragment_graph
// class="FragmentGraph">. Malformed XML, another root, a missing required
// attribute or a child out of its place throws FragmentXmlError.
ShadeFragment parseShadeFragment(std::string_view xml);
FragmentGraph parseFragmentGraph(std::string_view xml);

// The fragment of that name, or null: what a graph's fragment_ref may name.
using FragmentLookup = std::function<const ShadeFragment*(std::string_view)>;

// Empty when every fragment the graph names is known and every connection
// and property ref names an instance of the graph and a property or output
// of its fragment; otherwise one line saying what is wrong.
std::string graphProblem(const FragmentGraph& graph, const FragmentLookup& lookup);

}  // namespace vp2host
