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
        nodes_.push_back(node.get());
        owned_.push_back(std::move(node));
    }
}

Lights::~Lights() = default;

std::size_t Lights::size() const {
    return nodes_.size();
}

const AtNode* Lights::node(std::size_t i) const {
    return i < nodes_.size() ? nodes_[i] : nullptr;
}

const AtNode* const* Lights::nodes() const {
    return nodes_.data();
}

struct Shader::Impl {
    void* library = nullptr;
    NodeEntry entry;
    const AtCommonMethods* common = nullptr;
    const AtShaderNodeMethods* shader = nullptr;
    AtNode node;
    int updates = 0;

    // Runs the node's Update, as Arnold does before rendering after a change.
    void update() {
        if (common->Update) {
            common->Update(nullptr, &node);
        }
        ++updates;
    }
    // The value of the parameter of that name and type, or null.
    ParameterValue* value(std::string_view parameter, int type) {
        for (std::size_t i = 0; i < entry.parameters.size(); ++i) {
            if (entry.parameters[i].name == parameter && node.values[i].type == type) {
                return &node.values[i];
            }
        }
        return nullptr;
    }

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
    impl_->node.entry = &impl_->entry;
    for (const Parameter& p : impl_->entry.parameters) {
        ParameterValue value;
        value.type = p.type;
        for (std::size_t k = 0; k < p.defaults.size() && k < 3; ++k) {
            value.value[k] = p.defaults[k];
        }
        if (p.type == AI_TYPE_STRING) {
            value.text = AtString(p.defaultText.c_str()).c_str();
        }
        impl_->node.values.push_back(value);
    }
    if (impl_->common->Initialize) {
        impl_->common->Initialize(nullptr, &impl_->node);
    }
    impl_->update();
}

Shader::~Shader() = default;

const NodeEntry& Shader::entry() const {
    return impl_->entry;
}

bool Shader::setRGB(std::string_view parameter, AtRGB value) {
    ParameterValue* p = impl_->value(parameter, AI_TYPE_RGB);
    if (!p) {
        return false;
    }
    p->value[0] = value.r;
    p->value[1] = value.g;
    p->value[2] = value.b;
    impl_->update();
    return true;
}

bool Shader::setFloat(std::string_view parameter, float value) {
    ParameterValue* p = impl_->value(parameter, AI_TYPE_FLOAT);
    if (!p) {
        return false;
    }
    p->value[0] = value;
    impl_->update();
    return true;
}

bool Shader::setVector(std::string_view parameter, AtVector value) {
    ParameterValue* p = impl_->value(parameter, AI_TYPE_VECTOR);
    if (!p) {
        return false;
    }
    p->value[0] = value.x;
    p->value[1] = value.y;
    p->value[2] = value.z;
    impl_->update();
    return true;
}

bool Shader::setString(std::string_view parameter, std::string_view value) {
    ParameterValue* p = impl_->value(parameter, AI_TYPE_STRING);
    if (!p) {
        return false;
    }
    p->text = AtString(std::string(value).c_str()).c_str();
    impl_->update();
    return true;
}

bool Shader::setLinked(std::string_view parameter, bool linked) {
    const int i = parameterIndex(parameter);
    if (i < 0) {
        return false;
    }
    impl_->node.values[static_cast<std::size_t>(i)].linked = linked;
    impl_->update();
    return true;
}

int Shader::parameterIndex(std::string_view parameter) const {
    for (std::size_t i = 0; i < impl_->entry.parameters.size(); ++i) {
        if (impl_->entry.parameters[i].name == parameter) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int Shader::updates() const {
    return impl_->updates;
}

int Shader::linkedParameterReads() const {
    return impl_->node.linkedParameterReads.load();
}

ShadeResult Shader::shade(const ShadingPoint& point, const Lights& lights,
                          const std::vector<LightSampleValues>& samples) const {
    return shade(point, lights, samples.data(), samples.size());
}

namespace {

// The shading globals of a call at the point, as Arnold fills them; nlights
// stays 0 until AiLightsPrepare counts the lights.
void fill(AtShaderGlobals& sg, const ShadingPoint& point, AtNode* node,
          AtShaderGlobalsPrivate& context) {
    sg.P = sg.Po = point.P;
    sg.N = sg.Ns = sg.Ng = point.N;
    sg.Nf = sg.Ngf = point.Nf;
    sg.Ro = point.Ro;
    sg.Rd = AiV3Normalize(point.P - point.Ro);
    sg.Rt = point.rayType;
    sg.fhemi = point.fhemi;
    sg.shader = node;
    sg.priv = &context;
    ::new (static_cast<void*>(&sg.out)) AtClosureList();
}

void setLightLoop(CallContext& call, const ShadingPoint& point, const Lights& lights,
                  const LightSampleValues* samples, std::size_t sampleCount) {
    call.lights = lights.nodes();
    call.lightCount = lights.size();
    call.samples = samples;
    call.sampleCount = sampleCount;
    call.links = point.links;
}

}  // namespace

ShadeResult Shader::shade(const ShadingPoint& point, const Lights& lights,
                          const LightSampleValues* samples, std::size_t sampleCount) const {
    ShadeResult result;
    AtShaderGlobalsPrivate context;
    setLightLoop(context.call, point, lights, samples, sampleCount);
    context.call.result = &result;
    AtShaderGlobals sg{};
    AtNode* node = const_cast<AtNode*>(&impl_->node);
    fill(sg, point, node, context);

    int& weightCalls = lightWeightCallsOnThisThread();
    const int weightCallsBefore = weightCalls;
    impl_->shader->Evaluate(node, &sg);
    result.lightWeightCalls = weightCalls - weightCallsBefore;

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
    result.fhemiRestored = sg.fhemi == point.fhemi;
    result.normalsRestored = std::memcmp(&sg.N, &point.N, sizeof sg.N) == 0 &&
                             std::memcmp(&sg.Nf, &point.Nf, sizeof sg.Nf) == 0;
    result.lightsPrepared = context.call.prepared;
    return result;
}

struct PreparedCall::Impl {
    const Shader::Impl* shader = nullptr;
    AtShaderGlobalsPrivate context;
    AtShaderGlobals sg{};
    ShadeResult result;
};

PreparedCall::PreparedCall(const Shader& shader, const ShadingPoint& point, const Lights& lights,
                           const LightSampleValues* samples, std::size_t sampleCount)
    : impl_(std::make_unique<Impl>()) {
    impl_->shader = shader.impl_.get();
    setLightLoop(impl_->context.call, point, lights, samples, sampleCount);
    impl_->context.call.result = &impl_->result;
    fill(impl_->sg, point, const_cast<AtNode*>(&impl_->shader->node), impl_->context);
}

PreparedCall::~PreparedCall() = default;

AtRGB PreparedCall::evaluate() {
    Impl& call = *impl_;
    call.context.call.next = 0;
    call.context.call.prepared = false;
    call.context.closuresUsed = 0;
    call.result.aovsStored = 0;
    call.sg.nlights = 0;
    call.sg.out.CLOSURE() = AtClosureList();
    call.shader->shader->Evaluate(call.sg.shader, &call.sg);
    const AtClosureBase* first = call.sg.out.CLOSURE().front().data();
    return first ? first->weight : AI_RGB_BLACK;
}

int PreparedCall::aovsStored() const {
    return impl_->result.aovsStored;
}

const char* Shader::version() {
    return AI_VERSION;
}

}  // namespace lumaveil::aihost
