// The Arnold functions a shader calls, as the stand-in's library exports
// them. Each acts only on the call's own context or on data that is only
// read while shading, so calls on different threads do not interfere.
#include <ai.h>

#include <cstring>
#include <mutex>
#include <set>
#include <string>

#include "hostTypes.h"

using lumaveil::aihost::MetaData;
using lumaveil::aihost::Parameter;
using lumaveil::aihost::ParameterValue;

namespace {

const char* textOf(const AtString& s) {
    return s.c_str() ? s.c_str() : "";
}

void declare(AtList* params, const char* name, int type, std::vector<float> defaults) {
    if (params && params->entry && name) {
        params->entry->parameters.push_back({name, type, std::move(defaults)});
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

const lumaveil::aihost::LightWeights* weightsOf(const AtNode* light) {
    return light && light->kind == AtNode::Kind::light ? &light->weights : nullptr;
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

AtRGB AiShaderEvalParamFuncRGB(AtShaderGlobals*, const AtNode* node, int pid) {
    const ParameterValue* p = parameterOf(node, pid, AI_TYPE_RGB);
    return p ? AtRGB(p->value[0], p->value[1], p->value[2]) : AI_RGB_BLACK;
}
float AiShaderEvalParamFuncFlt(AtShaderGlobals*, const AtNode* node, int pid) {
    const ParameterValue* p = parameterOf(node, pid, AI_TYPE_FLOAT);
    return p ? p->value[0] : 0.0f;
}
int AiShaderEvalParamFuncInt(AtShaderGlobals*, const AtNode* node, int pid) {
    const ParameterValue* p = parameterOf(node, pid, AI_TYPE_INT);
    return p ? static_cast<int>(p->value[0]) : 0;
}
bool AiShaderEvalParamFuncBool(AtShaderGlobals*, const AtNode* node, int pid) {
    const ParameterValue* p = parameterOf(node, pid, AI_TYPE_BOOLEAN);
    return p && p->value[0] != 0.0f;
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

void AiLightsPrepare(AtShaderGlobals* sg) {
    if (sg && sg->priv) {
        sg->priv->call.next = 0;
        sg->priv->call.prepared = true;
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
        sample.Lp = call.lights->node(v.light);
        sample.Ldist = v.distance;
        sample.Ld = v.direction;
        sample.Liu = v.unoccluded;
        sample.Lo = v.occlusion;
        sample.Li = v.unoccluded * (AI_RGB_WHITE - v.occlusion);
        sample.pdf = v.pdf;
        sample.trace_ray_types = 0;
        ++call.handedOut;
        return true;
    }
    return false;
}

float AiLightGetDiffuse(const AtNode* light) {
    const auto* w = weightsOf(light);
    return w ? w->diffuse : 0.0f;
}
float AiLightGetSpecular(const AtNode* light) {
    const auto* w = weightsOf(light);
    return w ? w->specular : 0.0f;
}
float AiLightGetSSS(const AtNode* light) {
    const auto* w = weightsOf(light);
    return w ? w->sss : 0.0f;
}
float AiLightGetTransmission(const AtNode* light) {
    return weightsOf(light) ? 1.0f : 0.0f;
}
float AiLightGetVolume(const AtNode* light) {
    return weightsOf(light) ? 1.0f : 0.0f;
}
float AiLightGetIntensity(const AtNode* light) {
    return weightsOf(light) ? 1.0f : 0.0f;
}
AtRGB AiLightGetColor(const AtNode* light) {
    return weightsOf(light) ? AI_RGB_WHITE : AI_RGB_BLACK;
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
