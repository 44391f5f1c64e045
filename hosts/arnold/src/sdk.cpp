// The Arnold functions a shader calls, as the stand-in's library exports
// them. Each acts only on the call's own context or on data that is only
// read while shading, so calls on different threads do not interfere.
#include <ai.h>

#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "hostTypes.h"

using lumaveil::aihost::CallContext;
using lumaveil::aihost::MetaData;
using lumaveil::aihost::Parameter;
using lumaveil::aihost::ParameterValue;

namespace {

const char* textOf(const AtString& s) {
    return s.c_str() ? s.c_str() : "";
}

void declare(AtList* params, const char* name, int type, std::vector<float> defaults,
             const char* text = "") {
    if (params && params->entry && name) {
        params->entry->parameters.push_back({name, type, std::move(defaults), text ? text : ""});
    }
}

void setMetaData(AtNodeEntry* nentry, const AtString& param, const AtString& name, MetaData value) {
    if (nentry && nentry->entry) {
        value.parameter = textOf(param);
        value.name = textOf(name);
        nentry->entry->metadata.push_back(std::move(value));
    }
}

// The parameter pid of a shader node, if it has that type.
const ParameterValue* parameterOf(const AtNode* node, int pid, int type) {
    if (!node || node->kind != AtNode::Kind::shader || pid < 0 ||
        static_cast<std::size_t>(pid) >= node->values.size()) {
        return nullptr;
    }
    const ParameterValue& p = node->values[static_cast<std::size_t>(pid)];
    return p.type == type ? &p : nullptr;
}

// The parameter's value for this call: its link's where it is linked and the
// call gives the links, its stored one otherwise. Counted as an evaluation.
const float* evaluated(AtShaderGlobals* sg, const AtNode* node, int pid, int type) {
    const ParameterValue* p = parameterOf(node, pid, type);
    if (!p) {
        return nullptr;
    }
    if (sg && sg->priv) {
        CallContext& call = sg->priv->call;
        ++call.result->parameterEvaluations;
        if (p->linked && static_cast<std::size_t>(pid) < call.links.size()) {
            return call.links[static_cast<std::size_t>(pid)].data();
        }
    }
    return p->value;
}

// The parameter of that name and type, for AiNodeGet*; a read of a linked
// one is counted.
const ParameterValue* namedParameter(const AtNode* node, const AtString& name, int type) {
    if (!node || !node->entry || !name.c_str()) {
        return nullptr;
    }
    const auto& parameters = node->entry->parameters;
    for (std::size_t i = 0; i < parameters.size() && i < node->values.size(); ++i) {
        if (parameters[i].name == name.c_str()) {
            const ParameterValue& p = node->values[i];
            if (p.type != type) {
                return nullptr;
            }
            if (p.linked) {
                const_cast<AtNode*>(node)->linkedParameterReads.fetch_add(1);
            }
            return &p;
        }
    }
    return nullptr;
}

#if defined(__ELF__)
#define LUMAVEIL_AIHOST_TLS __attribute__((tls_model("initial-exec")))
#else
#define LUMAVEIL_AIHOST_TLS
#endif
thread_local int lightWeightCalls LUMAVEIL_AIHOST_TLS = 0;

const lumaveil::aihost::LightWeights* countedWeightsOf(const AtNode* light) {
    ++lightWeightCalls;
    return light && light->kind == AtNode::Kind::light ? &light->weights : nullptr;
}

// The RGB AOVs enabled, interned: written before rendering, only read while
// shading.
std::vector<const char*> enabledAOVs;

bool finite(float x) {
    return std::isfinite(x);
}

AtClosure newClosure(const AtShaderGlobals* sg, AtClosureBase::Kind kind, const AtRGB& weight) {
    if (!sg || !sg->priv || sg->priv->closuresUsed == AtShaderGlobalsPrivate::closureRoom) {
        return AtClosure();
    }
    AtClosureBase& closure = sg->priv->closures[sg->priv->closuresUsed++];
    closure = {kind, weight, nullptr};
    return AtClosure(&closure);
}

}  // namespace

namespace lumaveil::aihost {

int& lightWeightCallsOnThisThread() {
    return lightWeightCalls;
}

void enableAOVs(const std::vector<std::string>& rgbNames) {
    enabledAOVs.clear();
    for (const std::string& name : rgbNames) {
        enabledAOVs.push_back(AtString(name.c_str()).c_str());
    }
}

}  // namespace lumaveil::aihost

// Functions of C linkage that return the SDK's small value types, as the
// SDK's own headers declare them.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" {

const char* AiCreateAtStringData_private(const char* text) {
    static std::mutex mutex;
    static std::set<std::string> strings;
    const std::lock_guard<std::mutex> lock(mutex);
    return strings.insert(text).first->c_str();
}

void AiNodeParamRGB(AtList* params, int, const char* name, float r, float g, float b) {
    declare(params, name, AI_TYPE_RGB, {r, g, b});
}
void AiNodeParamFlt(AtList* params, int, const char* name, float value) {
    declare(params, name, AI_TYPE_FLOAT, {value});
}
void AiNodeParamInt(AtList* params, int, const char* name, int value) {
    declare(params, name, AI_TYPE_INT, {static_cast<float>(value)});
}
void AiNodeParamBool(AtList* params, int, const char* name, bool value) {
    declare(params, name, AI_TYPE_BOOLEAN, {value ? 1.0f : 0.0f});
}
void AiNodeParamVec(AtList* params, int, const char* name, float x, float y, float z) {
    declare(params, name, AI_TYPE_VECTOR, {x, y, z});
}

void AiNodeParamStr(AtList* params, int, const char* name, const char* value) {
    declare(params, name, AI_TYPE_STRING, {}, value);
}

AtRGB AiShaderEvalParamFuncRGB(AtShaderGlobals* sg, const AtNode* node, int pid) {
    const float* v = evaluated(sg, node, pid, AI_TYPE_RGB);
    return v ? AtRGB(v[0], v[1], v[2]) : AI_RGB_BLACK;
}
float AiShaderEvalParamFuncFlt(AtShaderGlobals* sg, const AtNode* node, int pid) {
    const float* v = evaluated(sg, node, pid, AI_TYPE_FLOAT);
    return v ? v[0] : 0.0f;
}
int AiShaderEvalParamFuncInt(AtShaderGlobals* sg, const AtNode* node, int pid) {
    const float* v = evaluated(sg, node, pid, AI_TYPE_INT);
    return v ? static_cast<int>(v[0]) : 0;
}
bool AiShaderEvalParamFuncBool(AtShaderGlobals* sg, const AtNode* node, int pid) {
    const float* v = evaluated(sg, node, pid, AI_TYPE_BOOLEAN);
    return v && v[0] != 0.0f;
}
AtVector AiShaderEvalParamFuncVec(AtShaderGlobals* sg, const AtNode* node, int pid) {
    const float* v = evaluated(sg, node, pid, AI_TYPE_VECTOR);
    return v ? AtVector(v[0], v[1], v[2]) : AI_V3_ZERO;
}
// A string's link gives its stored text: the stand-in's links carry numbers.
AtString AiShaderEvalParamFuncStr(AtShaderGlobals* sg, const AtNode* node, int pid) {
    if (!evaluated(sg, node, pid, AI_TYPE_STRING)) {
        return AtString();
    }
    return AtString(parameterOf(node, pid, AI_TYPE_STRING)->text);
}

bool AiNodeIsLinked(const AtNode* node, const char* input) {
    if (!node || !node->entry || !input) {
        return false;
    }
    const auto& parameters = node->entry->parameters;
    for (std::size_t i = 0; i < parameters.size() && i < node->values.size(); ++i) {
        if (parameters[i].name == input) {
            return node->values[i].linked;
        }
    }
    return false;
}
float AiNodeGetFlt(const AtNode* node, const AtString param) {
    const ParameterValue* p = namedParameter(node, param, AI_TYPE_FLOAT);
    return p ? p->value[0] : 0.0f;
}
AtRGB AiNodeGetRGB(const AtNode* node, const AtString param) {
    const ParameterValue* p = namedParameter(node, param, AI_TYPE_RGB);
    return p ? AtRGB(p->value[0], p->value[1], p->value[2]) : AI_RGB_BLACK;
}
AtVector AiNodeGetVec(const AtNode* node, const AtString param) {
    const ParameterValue* p = namedParameter(node, param, AI_TYPE_VECTOR);
    return p ? AtVector(p->value[0], p->value[1], p->value[2]) : AI_V3_ZERO;
}
AtString AiNodeGetStr(const AtNode* node, const AtString param) {
    const ParameterValue* p = namedParameter(node, param, AI_TYPE_STRING);
    return p ? AtString(p->text) : AtString();
}

void AiNodeSetLocalData(AtNode* node, void* data) {
    if (node) {
        node->localData = data;
    }
}
void* AiNodeGetLocalData(const AtNode* node) {
    return node ? node->localData : nullptr;
}

bool AiRGBIsFinite(const AtRGB& rgb) {
    return finite(rgb.r) && finite(rgb.g) && finite(rgb.b);
}
bool AiV3IsFinite(const AtVector& v) {
    return finite(v.x) && finite(v.y) && finite(v.z);
}

bool AiAOVEnabled(const AtString name, uint8_t type) {
    if (enabledAOVs.empty() || type != AI_TYPE_RGB) {
        return false;
    }
    for (const char* enabled : enabledAOVs) {
        if (enabled == name.c_str()) {
            return true;
        }
    }
    return false;
}

// Stored on the camera ray's own hit alone, as Arnold stores a write only in
// the trunk of the primary ray tree; the refusals are counted for the tests.
bool AiAOVSetRGB(AtShaderGlobals* sg, const AtString name, AtRGB val) {
    if (!sg || !sg->priv) {
        return false;
    }
    lumaveil::aihost::ShadeResult& result = *sg->priv->call.result;
    if (!(sg->Rt & AI_RAY_CAMERA) || (sg->Rt & AI_RAY_SHADOW)) {
        ++result.aovWritesOffCamera;
        return false;
    }
    if (!AiAOVEnabled(name, AI_TYPE_RGB)) {
        ++result.aovWritesNotEnabled;
        return false;
    }
    if (static_cast<std::size_t>(result.aovsStored) < result.aovs.size()) {
        result.aovs[static_cast<std::size_t>(result.aovsStored)] = {name.c_str(), val};
    }
    ++result.aovsStored;
    return true;
}

void AiMetaDataSetStr(AtNodeEntry* nentry, const AtString param, const AtString name,
                      AtString value) {
    setMetaData(nentry, param, name, {"", "", "STRING", textOf(value), 0.0f});
}
void AiMetaDataSetInt(AtNodeEntry* nentry, const AtString param, const AtString name, int value) {
    setMetaData(nentry, param, name, {"", "", "INT", "", static_cast<float>(value)});
}
void AiMetaDataSetBool(AtNodeEntry* nentry, const AtString param, const AtString name, bool value) {
    setMetaData(nentry, param, name, {"", "", "BOOL", "", value ? 1.0f : 0.0f});
}
void AiMetaDataSetFlt(AtNodeEntry* nentry, const AtString param, const AtString name, float value) {
    setMetaData(nentry, param, name, {"", "", "FLOAT", "", value});
}

// Counts the lights that reach the point into nlights, as a renderer may
// only here.
void AiLightsPrepare(AtShaderGlobals* sg) {
    if (sg && sg->priv) {
        sg->priv->call.next = 0;
        sg->priv->call.prepared = true;
        sg->nlights = static_cast<uint32_t>(sg->priv->call.lightCount);
    }
}

// The prepared samples in order; while fhemi is set, only those above the
// face-forward normal.
bool AiLightsGetSample(AtShaderGlobals* sg, AtLightSample& sample) {
    if (!sg || !sg->priv || !sg->priv->call.prepared) {
        return false;
    }
    lumaveil::aihost::CallContext& call = sg->priv->call;
    while (call.next < call.sampleCount) {
        const lumaveil::aihost::LightSampleValues& v = call.samples[call.next++];
        if (sg->fhemi && AiV3Dot(v.direction, sg->Nf) <= 0.0f) {
            continue;
        }
        sample.Lp = v.light < call.lightCount ? call.lights[v.light] : nullptr;
        sample.Ldist = v.distance;
        sample.Ld = v.direction;
        sample.Liu = v.unoccluded;
        sample.Lo = v.occlusion;
        sample.Li = v.unoccluded * (AI_RGB_WHITE - v.occlusion);
        sample.pdf = v.pdf;
        sample.trace_ray_types = 0;
        ++call.result->samplesHandedOut;
        return true;
    }
    return false;
}

float AiLightGetDiffuse(const AtNode* light) {
    const auto* w = countedWeightsOf(light);
    return w ? w->diffuse : 0.0f;
}
float AiLightGetSpecular(const AtNode* light) {
    const auto* w = countedWeightsOf(light);
    return w ? w->specular : 0.0f;
}
float AiLightGetSSS(const AtNode* light) {
    const auto* w = countedWeightsOf(light);
    return w ? w->sss : 0.0f;
}
float AiLightGetTransmission(const AtNode* light) {
    return countedWeightsOf(light) ? 1.0f : 0.0f;
}
float AiLightGetVolume(const AtNode* light) {
    return countedWeightsOf(light) ? 1.0f : 0.0f;
}
float AiLightGetIntensity(const AtNode* light) {
    return countedWeightsOf(light) ? 1.0f : 0.0f;
}
AtRGB AiLightGetColor(const AtNode* light) {
    return countedWeightsOf(light) ? AI_RGB_WHITE : AI_RGB_BLACK;
}

AtClosureBase* AiClosureListAdd(AtClosureBase* list, AtClosureBase* closure) {
    if (!list) {
        return closure;
    }
    AtClosureBase* last = list;
    while (last->next) {
        last = last->next;
    }
    last->next = closure;
    return list;
}

AtClosureBase* AiClosureListWeight(AtClosureBase* list, const AtRGB& weight) {
    for (AtClosureBase* c = list; c; c = c->next) {
        c->weight *= weight;
    }
    return list;
}

AtClosure AiClosureEmission(const AtShaderGlobals* sg, const AtRGB& weight) {
    return newClosure(sg, AtClosureBase::Kind::emission, weight);
}
AtClosure AiClosureTransparent(const AtShaderGlobals* sg, const AtRGB& weight, const AtClosureList,
                               int32_t) {
    return newClosure(sg, AtClosureBase::Kind::transparent, weight);
}
AtClosure AiClosureMatte(const AtShaderGlobals* sg, const AtRGB& weight) {
    return newClosure(sg, AtClosureBase::Kind::matte, weight);
}

}  // extern "C"
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
