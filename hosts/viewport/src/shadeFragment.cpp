#include "vp2host/shadeFragment.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace vp2host {

namespace {

struct DocumentDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
using Document = std::unique_ptr<xmlDoc, DocumentDeleter>;

std::string nameOf(const xmlNode* node) {
    return reinterpret_cast<const char*>(node->name);
}

bool isElement(const xmlNode* node) {
    return node->type == XML_ELEMENT_NODE;
}

std::vector<const xmlNode*> childElements(const xmlNode* node) {
    std::vector<const xmlNode*> children;
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (isElement(child)) {
            children.push_back(child);
        }
    }
    return children;
}

[[noreturn]] void fail(const xmlNode* node, const std::string& what) {
    throw FragmentXmlError("line " + std::to_string(node->line) + ": " + what);
}

// The attribute's value; empty when it is absent.
std::string attribute(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (value == nullptr) {
        return {};
    }
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

bool hasAttribute(const xmlNode* node, const char* name) {
    return xmlHasProp(node, reinterpret_cast<const xmlChar*>(name)) != nullptr;
}

std::string required(const xmlNode* node, const char* name) {
    if (!hasAttribute(node, name)) {
        fail(node, "<" + nameOf(node) + "> has no " + name + "=\"...\"");
    }
    return attribute(node, name);
}

// The text and CDATA within the element.
std::string textOf(const xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    if (content == nullptr) {
        return {};
    }
    std::string text(reinterpret_cast<const char*>(content));
    xmlFree(content);
    return text;
}

std::vector<std::string> splitFlags(const std::string& flags) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= flags.size() && !flags.empty()) {
        const std::size_t comma = flags.find(',', start);
        std::string part = flags.substr(start, comma - start);
        part.erase(0, part.find_first_not_of(' '));
        part.erase(part.find_last_not_of(' ') + 1);
        if (!part.empty()) {
            parts.push_back(part);
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return parts;
}

// Parses the text; malformed XML throws with the parser's message and line.
// Neither the network nor entities are followed.
Document parse(std::string_view xml) {
    if (xml.size() > static_cast<std::size_t>(INT_MAX)) {
        throw FragmentXmlError("the XML is too large");
    }
    const std::unique_ptr<xmlParserCtxt, ContextDeleter> context(xmlNewParserCtxt());
    if (!context) {
        throw FragmentXmlError("no memory for the XML parser");
    }
    Document doc(xmlCtxtReadMemory(context.get(), xml.data(), static_cast<int>(xml.size()),
                                   "fragment.xml", nullptr,
                                   XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc) {
        const xmlError* error = xmlCtxtGetLastError(context.get());
        std::string message = error != nullptr && error->message != nullptr
                                  ? std::string(error->message)
                                  : std::string("not well-formed");
        while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
            message.pop_back();
        }
        throw FragmentXmlError("malformed XML" +
                               (error != nullptr ? " at line " + std::to_string(error->line) : "") +
                               ": " + message);
    }
    return doc;
}

const xmlNode* rootOf(const Document& doc, const char* element, const char* className) {
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (root == nullptr || nameOf(root) != element) {
        throw FragmentXmlError(std::string("the root element is not <") + element + ">");
    }
    if (required(root, "class") != className) {
        fail(root, std::string("<") + element + "> is not of class " + className);
    }
    return root;
}

// The children of the root, each named in `order` and in that order; those
// marked with a '?' may be absent, those with a '*' may repeat.
std::vector<const xmlNode*> sectionsInOrder(const xmlNode* root,
                                            const std::vector<std::string>& order) {
    std::vector<const xmlNode*> sections(order.size(), nullptr);
    std::size_t next = 0;
    for (const xmlNode* child : childElements(root)) {
        const std::string name = nameOf(child);
        std::size_t at = next;
        while (at < order.size() && order[at].substr(0, order[at].find_first_of("?*")) != name) {
            ++at;
        }
        if (at == order.size()) {
            fail(child, "<" + name + "> is not expected here in <" + nameOf(root) + ">");
        }
        for (std::size_t skipped = next; skipped < at; ++skipped) {
            if (order[skipped].find_first_of("?*") == std::string::npos &&
                sections[skipped] == nullptr) {
                fail(child, "<" + name + "> comes before <" + order[skipped] + ">");
            }
        }
        if (order[at].ends_with('*')) {
            next = at;
        } else {
            if (sections[at] != nullptr) {
                fail(child, "a second <" + name + ">");
            }
            next = at + 1;
        }
        sections[at] = child;
    }
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (sections[i] == nullptr && order[i].find_first_of("?*") == std::string::npos) {
            fail(root, "<" + nameOf(root) + "> has no <" + order[i] + ">");
        }
    }
    return sections;
}

std::vector<Property> propertiesOf(const xmlNode* section) {
    std::vector<Property> properties;
    for (const xmlNode* element : childElements(section)) {
        Property p;
        p.type = nameOf(element);
        p.name = required(element, "name");
        p.semantic = attribute(element, "semantic");
        p.flags = splitFlags(attribute(element, "flags"));
        p.structName = attribute(element, "struct_name");
        p.ref = attribute(element, "ref");
        if (p.type == "struct" && p.structName.empty()) {
            fail(element, "the struct property " + p.name + " has no struct_name");
        }
        const bool taken = std::any_of(properties.begin(), properties.end(),
                                       [&](const Property& q) { return q.name == p.name; });
        if (taken) {
            fail(element, "a second property " + p.name);
        }
        properties.push_back(std::move(p));
    }
    return properties;
}

std::vector<Value> valuesOf(const xmlNode* section) {
    std::vector<Value> values;
    if (section == nullptr) {
        return values;
    }
    for (const xmlNode* element : childElements(section)) {
        values.push_back({nameOf(element), required(element, "name"), required(element, "value")});
    }
    return values;
}

std::vector<Output> outputsOf(const xmlNode* section) {
    std::vector<Output> outputs;
    for (const xmlNode* element : childElements(section)) {
        outputs.push_back({nameOf(element), required(element, "name"),
                           attribute(element, "struct_name"), attribute(element, "ref")});
    }
    return outputs;
}

std::vector<Implementation> implementationsOf(const xmlNode* section) {
    std::vector<Implementation> implementations;
    for (const xmlNode* element : childElements(section)) {
        if (nameOf(element) != "implementation") {
            fail(element, "<" + nameOf(element) + "> in <implementation>");
        }
        Implementation i;
        i.render = required(element, "render");
        i.language = required(element, "language");
        i.languageVersion = required(element, "lang_version");
        bool named = false;
        for (const xmlNode* part : childElements(element)) {
            const std::string part_name = nameOf(part);
            if (part_name == "function_name") {
                i.functionName = required(part, "val");
                named = true;
            } else if (part_name == "source") {
                i.source = textOf(part);
            } else if (part_name == "declaration") {
                i.declarationName = required(part, "name");
                i.declaration = textOf(part);
            } else {
                fail(part, "<" + part_name + "> in an implementation");
            }
        }
        if (!named) {
            fail(element, "an implementation in " + i.language + " has no <function_name>");
        }
        implementations.push_back(std::move(i));
    }
    return implementations;
}

template <class Item>
const Item* findNamed(const std::vector<Item>& items, std::string_view name) {
    const auto it =
        std::find_if(items.begin(), items.end(), [&](const Item& i) { return i.name == name; });
    return it != items.end() ? &*it : nullptr;
}

// "instance.port" split at its last dot; false when there is none.
bool splitReference(const std::string& reference, std::string& instance, std::string& port) {
    const std::size_t dot = reference.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == reference.size()) {
        return false;
    }
    instance = reference.substr(0, dot);
    port = reference.substr(dot + 1);
    return true;
}

}  // namespace

bool Property::hasFlag(std::string_view flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

bool Property::isArgument() const {
    return !hasFlag("isRequirementOnly") && type != "undefined" && type != "string";
}

const Property* ShadeFragment::property(std::string_view n) const {
    return findNamed(properties, n);
}
const Output* ShadeFragment::output(std::string_view n) const {
    return findNamed(outputs, n);
}
const Value* ShadeFragment::value(std::string_view n) const {
    return findNamed(values, n);
}
const Implementation* ShadeFragment::implementation(std::string_view language) const {
    for (const Implementation& i : implementations) {
        if (i.language == language) {
            return &i;
        }
    }
    return nullptr;
}

const FragmentInstance* FragmentGraph::instance(std::string_view n) const {
    return findNamed(fragments, n);
}
const Value* FragmentGraph::value(std::string_view n) const {
    return findNamed(values, n);
}

bool isFragmentGraphXml(std::string_view xml) {
    try {
        const Document doc = parse(xml);
        const xmlNode* root = xmlDocGetRootElement(doc.get());
        return root != nullptr && nameOf(root) == "fragment_graph";
    } catch (const FragmentXmlError&) {
        return false;
    }
}

ShadeFragment parseShadeFragment(std::string_view xml) {
    const Document doc = parse(xml);
    const xmlNode* root = rootOf(doc, "fragment", "ShadeFragment");
    ShadeFragment f;
    f.name = required(root, "name");
    f.uiName = required(root, "uiName");
    f.type = required(root, "type");
    f.version = required(root, "version");
    const auto sections = sectionsInOrder(
        root, {"description?", "keyword*", "properties", "values", "outputs", "implementation"});
    if (sections[0] != nullptr) {
        f.description = textOf(sections[0]);
    }
    f.properties = propertiesOf(sections[2]);
    f.values = valuesOf(sections[3]);
    f.outputs = outputsOf(sections[4]);
    f.implementations = implementationsOf(sections[5]);
    for (const Value& v : f.values) {
        if (f.property(v.name) == nullptr) {
            throw FragmentXmlError(f.name + ": a value for " + v.name + ", which is no property");
        }
    }
    if (f.type != "accum" && f.outputs.empty()) {
        throw FragmentXmlError(f.name + ": no output");
    }
    return f;
}

FragmentGraph parseFragmentGraph(std::string_view xml) {
    const Document doc = parse(xml);
    const xmlNode* root = rootOf(doc, "fragment_graph", "FragmentGraph");
    FragmentGraph g;
    g.name = required(root, "name");
    g.version = required(root, "version");
    const auto sections =
        sectionsInOrder(root, {"fragments", "connections", "properties", "values?", "outputs"});
    for (const xmlNode* element : childElements(sections[0])) {
        if (nameOf(element) != "fragment_ref") {
            fail(element, "<" + nameOf(element) + "> in <fragments>");
        }
        FragmentInstance instance{required(element, "name"), required(element, "ref")};
        if (g.instance(instance.name) != nullptr) {
            fail(element, "a second instance " + instance.name);
        }
        g.fragments.push_back(std::move(instance));
    }
    for (const xmlNode* element : childElements(sections[1])) {
        if (nameOf(element) != "connect") {
            fail(element, "<" + nameOf(element) + "> in <connections>");
        }
        Connection c;
        if (!splitReference(required(element, "from"), c.fromInstance, c.fromOutput) ||
            !splitReference(required(element, "to"), c.toInstance, c.toInput)) {
            fail(element, "a connection's ends are not instance.port");
        }
        g.connections.push_back(std::move(c));
    }
    g.properties = propertiesOf(sections[2]);
    g.values = valuesOf(sections[3]);
    g.outputs = outputsOf(sections[4]);
    return g;
}

std::string graphProblem(const FragmentGraph& graph, const FragmentLookup& lookup) {
    const std::string about = "graph " + graph.name + ": ";
    auto fragmentOf = [&](const std::string& instance) -> const ShadeFragment* {
        const FragmentInstance* i = graph.instance(instance);
        return i != nullptr ? lookup(i->fragment) : nullptr;
    };
    for (const FragmentInstance& instance : graph.fragments) {
        if (lookup(instance.fragment) == nullptr) {
            return about + "the instance " + instance.name + " names " + instance.fragment +
                   ", which is no registered fragment";
        }
    }
    for (const Connection& c : graph.connections) {
        const ShadeFragment* from = fragmentOf(c.fromInstance);
        const ShadeFragment* to = fragmentOf(c.toInstance);
        if (from == nullptr || to == nullptr) {
            return about + "a connection names no instance of the graph: " + c.fromInstance +
                   " -> " + c.toInstance;
        }
        if (from->output(c.fromOutput) == nullptr) {
            return about + c.fromInstance + " (" + from->name + ") has no output " + c.fromOutput;
        }
        if (to->property(c.toInput) == nullptr) {
            return about + c.toInstance + " (" + to->name + ") has no input " + c.toInput;
        }
    }
    for (const Property& p : graph.properties) {
        std::string instance, input;
        if (!splitReference(p.ref, instance, input)) {
            return about + "the property " + p.name + " refers to no instance.input";
        }
        const ShadeFragment* f = fragmentOf(instance);
        if (f == nullptr || f->property(input) == nullptr) {
            return about + "the property " + p.name + " refers to " + p.ref +
                   ", which the graph does not have";
        }
        if (f->property(input)->type != p.type) {
            return about + "the property " + p.name + " is a " + p.type + ", " + p.ref + " a " +
                   f->property(input)->type;
        }
    }
    for (const Output& o : graph.outputs) {
        std::string instance, output;
        const ShadeFragment* f =
            splitReference(o.ref, instance, output) ? fragmentOf(instance) : nullptr;
        if (f == nullptr || f->output(output) == nullptr) {
            return about + "the output " + o.name + " refers to " + o.ref +
                   ", which the graph does not have";
        }
    }
    return {};
}

}  // namespace vp2host
