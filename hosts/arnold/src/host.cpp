// Loading a shader library as Arnold does, and calling its node.
#include "aihost/host.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "dynamicLibrary.h"
#include "hostTypes.h"

namespace lumaveil::aihost {

namespace {

using NodeLoaderFunction = bool (*)(int, AtNodeLib*);

// No library gives nearly so many nodes: a loader that goes on past them
// never ends, and would hold the host until memory ran out.
constexpr int mostNodesOfALibrary = 4096;

// "A.B.C.D" as four numbers; false for anything else.
bool parseVersion(const char* text, int (&parts)[4]) {
    char rest = 0;
    return std::sscanf(text, "%d.%d.%d.%d%c", &parts[0], &parts[1], &parts[2], &parts[3], &rest) ==
           4;
}

bool newer(const int (&a)[4], const int (&b)[4]) {
    for (int i = 0; i < 4; ++i) {
        if (a[i] != b[i]) {
            return a[i] > b[i];
        }
    }
    return false;
}

std::string hex(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(value));
    return text;
}

}  // namespace

Lights::Lights(const std::vector<LightWeights>& weights) {
    for (const LightWeights& w : weights) {
        auto node = std::make_unique<AtNode>();
        node->kind = AtNode::Kind::light;
        node->weights = w;
        nodes_.push_back(std::move(node));
    }
}

Lights::~Lights() = default;

std::size_t Lights::size() const {
    return nodes_.size();
}

const AtNode* Lights::node(std::size_t i) const {
    return i < nodes_.size() ? nodes_[i].get() : nullptr;
}

struct Shader::Impl {
    void* library = nullptr;
    NodeEntry entry;
    const AtCommonMethods* common = nullptr;
    const AtShaderNodeMethods* shader = nullptr;
    AtNode node;

    ~Impl() {
        if (common && common->Finish) {
            common->Finish(&node);
        }
        if (library) {
            hosts::closeLibrary(library);
        }
    }
};

Shader::Shader(const std::string& library, std::string_view nodeName)
    : impl_(std::make_unique<Impl>()) {
    std::string error;
    impl_->library = hosts::openLibrary(library, error);
    if (!impl_->library) {
        throw LoadError("cannot load " + library + ": " + error);
    }
    const auto loader =
        reinterpret_cast<NodeLoaderFunction>(hosts::findSymbol(impl_->library, "NodeLoader"));
    if (!loader) {
        throw LoadError(library + " exports no NodeLoader: it is no Arnold plug-in library");
    }
    // Every node the library gives, until its loader says there are no more.
    std::string given;
    const AtNodeLib* chosen = nullptr;
    AtNodeLib found{};
    for (int i = 0;; ++i) {
        AtNodeLib lib{};
        if (!loader(i, &lib)) {
            break;
        }
        if (i == mostNodesOfALibrary) {
            throw LoadError(library + ": its NodeLoader gives more than " +
                            std::to_string(mostNodesOfALibrary) + " nodes and no end of them");
        }
        lib.version[sizeof lib.version - 1] = '\0';
        const std::string name = lib.name ? lib.name : "";
        given += (given.empty() ? "" : ", ") + ("\"" + name + "\"");
        if (!chosen && name == nodeName) {
            found = lib;
            chosen = &found;
        }
    }
    if (given.empty()) {
        throw LoadError(library + ": its NodeLoader gives no node");
    }
    if (!chosen) {
        throw LoadError(library + " gives the node " + given + ", not \"" + std::string(nodeName) +
                        "\"");
    }
    if (chosen->node_type != AI_NODE_SHADER) {
        throw LoadError(library + ": its \"" + std::string(nodeName) + "\" is a node of type " +
                        hex(chosen->node_type) + ", not a shader (" + hex(AI_NODE_SHADER) + ")");
    }
    int built[4], ours[4];
    parseVersion(AI_VERSION, ours);
    if (!parseVersion(chosen->version, built)) {
        throw LoadError(library + ": its node's version '" + chosen->version +
                        "' is no Arnold version");
    }
    if (newer(built, ours)) {
        throw LoadError(library + " was built against Arnold " + chosen->version +
                        ", newer than this Arnold (" + AI_VERSION + ")");
    }
    const auto* methods = static_cast<const AtNodeMethods*>(chosen->methods);
    if (!methods || !methods->cmethods || !methods->dmethods ||
        !static_cast<const AtShaderNodeMethods*>(methods->dmethods)->Evaluate ||
        !methods->cmethods->Parameters) {
        throw LoadError(library + ": its \"" + std::string(nodeName) +
                        "\" has no Parameters or Evaluate method");
    }
    impl_->entry.name = std::string(nodeName);
    impl_->entry.nodeType = chosen->node_type;
    impl_->entry.outputType = chosen->output_type;
    impl_->entry.version = chosen->version;
    impl_->common = methods->cmethods;
    impl_->shader = static_cast<const AtShaderNodeMethods*>(methods->dmethods);

    AtList list{&impl_->entry};
    AtNodeEntry nentry{&impl_->entry};
    impl_->common->Parameters(&list, &nentry);
    impl_->node.kind = AtNode::Kind::shader;
    for (const Parameter& p : impl_->entry.parameters) {
        ParameterValue value;
        value.type = p.type;
        for (std::size_t k = 0; k < p.defaults.size() && k < 3; ++k) {
            value.value[k] = p.defaults[k];
        }
        impl_->node.values.push_back(value);
    }
    if (impl_->common->Initialize) {
        impl_->common->Initialize(nullptr, &impl_->node);
    }
    if (impl_->common->Update) {
        impl_->common->Update(nullptr, &impl_->node);
    }
}

Shader::~Shader() = default;

const NodeEntry& Shader::entry() const {
    return impl_->entry;
}

bool Shader::setRGB(std::string_view parameter, AtRGB value) {
    for (std::size_t i = 0; i < impl_->entry.parameters.size(); ++i) {
        if (impl_->entry.parameters[i].name == parameter &&
            impl_->node.values[i].type == AI_TYPE_RGB) {
            impl_->node.values[i].value[0] = value.r;
            impl_->node.values[i].value[1] = value.g;
            impl_->node.values[i].value[2] = value.b;
            return true;
        }
    }
    return false;
}

bool Shader::setFloat(std::string_view parameter, float value) {
    for (std::size_t i = 0; i < impl_->entry.parameters.size(); ++i) {
        if (impl_->entry.parameters[i].name == parameter &&
            impl_->node.values[i].type == AI_TYPE_FLOAT) {
            impl_->node.values[i].value[0] = value;
            return true;
        }
    }
    return false;
}

ShadeResult Shader::shade(const ShadingPoint& point, const Lights& lights,
                          const std::vector<LightSampleValues>& samples) const {
    return shade(point, lights, samples.data(), samples.size());
}

ShadeResult Shader::shade(const ShadingPoint& point, const Lights& lights,
                          const LightSampleValues* samples, std::size_t sampleCount) const {
    AtShaderGlobalsPrivate context;
    context.call.lights = &lights;
    context.call.samples = samples;
    context.call.sampleCount = sampleCount;

    AtShaderGlobals sg{};
    sg.P = sg.Po = point.P;
    sg.N = sg.Ns = sg.Ng = point.N;
    sg.Nf = sg.Ngf = point.Nf;
    sg.Ro = point.Ro;
    sg.Rd = AiV3Normalize(point.P - point.Ro);
    sg.fhemi = point.fhemi;
    sg.nlights = static_cast<uint32_t>(lights.size());
    sg.shader = const_cast<AtNode*>(&impl_->node);
    sg.priv = &context;
    ::new (static_cast<void*>(&sg.out)) AtClosureList();

    impl_->shader->Evaluate(const_cast<AtNode*>(&impl_->node), &sg);

    ShadeResult result;
    for (const AtClosureBase* c = sg.out.CLOSURE().front().data(); c; c = c->next) {
        switch (c->kind) {
            case AtClosureBase::Kind::emission:
                // One closure's weight exactly as the shader gave it.
                result.emission =
                    result.emissionClosures == 0 ? c->weight : result.emission + c->weight;
                ++result.emissionClosures;
                break;
            case AtClosureBase::Kind::transparent:
                result.transparency =
                    result.transparentClosures == 0 ? c->weight : result.transparency + c->weight;
                ++result.transparentClosures;
                break;
            case AtClosureBase::Kind::matte:
                ++result.otherClosures;
                break;
        }
    }
    result.samplesHandedOut = context.call.handedOut;
    result.fhemiRestored = sg.fhemi == point.fhemi;
    result.lightsPrepared = context.call.prepared;
    return result;
}

const char* Shader::version() {
    return AI_VERSION;
}

}  // namespace lumaveil::aihost
