// lumaVeil's stand-in of the Arnold SDK: what a shader library declares of
// its nodes (the loader, the method tables and their macros), their
// parameters and metadata, and the evaluation of parameters.
#pragma once

#include <cstdint>

#include "ai_shaderglobals.h"
#include "ai_types.h"

#define AI_NODE_SHADER 0x0010

#define AI_TYPE_INT 0x01
#define AI_TYPE_BOOLEAN 0x03
#define AI_TYPE_FLOAT 0x04
#define AI_TYPE_RGB 0x05
#define AI_TYPE_VECTOR 0x07
#define AI_TYPE_STRING 0x0A
#define AI_TYPE_CLOSURE 0x10

// What NodeLoader(i, node) fills in for the library's i-th node.
struct AtNodeLib {
    int node_type;
    uint8_t output_type;
    const char* name;
    const void* methods;  // const AtNodeMethods*
    char version[32];     // AI_VERSION of the headers the library was built with
};

struct AtCommonMethods {
    bool (*PluginInitialize)(void** plugin_data);
    void (*PluginCleanup)(void* plugin_data);
    void (*Parameters)(AtList* params, AtNodeEntry* nentry);
    void (*Initialize)(AtRenderSession* render_session, AtNode* node);
    void (*Update)(AtRenderSession* render_session, AtNode* node);
    void (*Finish)(AtNode* node);
};

struct AtShaderNodeMethods {
    void (*Evaluate)(AtNode* node, AtShaderGlobals* sg);
};

struct AtNodeMethods {
    const AtCommonMethods* cmethods;
    const void* dmethods;  // const AtShaderNodeMethods* for a shader
};

#define node_parameters static void Parameters(AtList* params, AtNodeEntry* nentry)
#define node_initialize static void Initialize(AtRenderSession* render_session, AtNode* node)
#define node_update static void Update(AtRenderSession* render_session, AtNode* node)
#define node_finish static void Finish(AtNode* node)
#define shader_evaluate static void Evaluate(AtNode* node, AtShaderGlobals* sg)
#define node_loader extern "C" AI_EXPORT_LIB bool NodeLoader(int i, AtNodeLib* node)

#define AI_SHADER_NODE_EXPORT_METHODS(tag)                                    \
    node_parameters;                                                          \
    node_initialize;                                                          \
    node_update;                                                              \
    node_finish;                                                              \
    shader_evaluate;                                                          \
    static AtCommonMethods ai_common_mtds = {nullptr,    nullptr, Parameters, \
                                             Initialize, Update,  Finish};    \
    static AtShaderNodeMethods ai_shader_mtds = {Evaluate};                   \
    static AtNodeMethods ai_node_mtds = {&ai_common_mtds, &ai_shader_mtds};   \
    const AtNodeMethods* tag = &ai_node_mtds

// Functions of C linkage that return the SDK's small value types, as the
// SDK's own headers declare them.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" {
// Declares a parameter of the node in node_parameters; varoffset is -1.
AI_API void AiNodeParamRGB(AtList* params, int varoffset, const char* name, float r, float g,
                           float b);
AI_API void AiNodeParamFlt(AtList* params, int varoffset, const char* name, float value);
AI_API void AiNodeParamInt(AtList* params, int varoffset, const char* name, int value);
AI_API void AiNodeParamBool(AtList* params, int varoffset, const char* name, bool value);
AI_API void AiNodeParamVec(AtList* params, int varoffset, const char* name, float x, float y,
                           float z);
AI_API void AiNodeParamStr(AtList* params, int varoffset, const char* name, const char* value);

// A parameter's value for this call, by its index in declaration order;
// connected parameters are evaluated through their links.
AI_API AtRGB AiShaderEvalParamFuncRGB(AtShaderGlobals* sg, const AtNode* node, int pid);
AI_API float AiShaderEvalParamFuncFlt(AtShaderGlobals* sg, const AtNode* node, int pid);
AI_API int AiShaderEvalParamFuncInt(AtShaderGlobals* sg, const AtNode* node, int pid);
AI_API bool AiShaderEvalParamFuncBool(AtShaderGlobals* sg, const AtNode* node, int pid);
AI_API AtString AiShaderEvalParamFuncStr(AtShaderGlobals* sg, const AtNode* node, int pid);
AI_API AtVector AiShaderEvalParamFuncVec(AtShaderGlobals* sg, const AtNode* node, int pid);

// Whether another node drives the parameter. An unlinked one has one value
// for the render, which AiNodeGet* reads; a linked one is evaluated per call.
AI_API bool AiNodeIsLinked(const AtNode* node, const char* input);
AI_API float AiNodeGetFlt(const AtNode* node, const AtString param);
AI_API AtRGB AiNodeGetRGB(const AtNode* node, const AtString param);
AI_API AtVector AiNodeGetVec(const AtNode* node, const AtString param);
AI_API AtString AiNodeGetStr(const AtNode* node, const AtString param);

// The node's own data: set in node_initialize or node_update, freed in
// node_finish.
AI_API void AiNodeSetLocalData(AtNode* node, void* data);
AI_API void* AiNodeGetLocalData(const AtNode* node);

// Metadata of the node (param null) or of one of its parameters; called only
// from node_parameters.
AI_API void AiMetaDataSetStr(AtNodeEntry* nentry, const AtString param, const AtString name,
                             AtString value);
AI_API void AiMetaDataSetInt(AtNodeEntry* nentry, const AtString param, const AtString name,
                             int value);
AI_API void AiMetaDataSetBool(AtNodeEntry* nentry, const AtString param, const AtString name,
                              bool value);
AI_API void AiMetaDataSetFlt(AtNodeEntry* nentry, const AtString param, const AtString name,
                             float value);
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

inline void AiMetaDataSetStr(AtNodeEntry* nentry, const char* param, const char* name,
                             const char* value) {
    AiMetaDataSetStr(nentry, AtString(param), AtString(name), AtString(value));
}
inline void AiMetaDataSetInt(AtNodeEntry* nentry, const char* param, const char* name, int value) {
    AiMetaDataSetInt(nentry, AtString(param), AtString(name), value);
}
inline void AiMetaDataSetBool(AtNodeEntry* nentry, const char* param, const char* name,
                              bool value) {
    AiMetaDataSetBool(nentry, AtString(param), AtString(name), value);
}
inline void AiMetaDataSetFlt(AtNodeEntry* nentry, const char* param, const char* name,
                             float value) {
    AiMetaDataSetFlt(nentry, AtString(param), AtString(name), value);
}

#define AiParameterRGB(n, r, g, b) AiNodeParamRGB(params, -1, n, r, g, b)
#define AiParameterFlt(n, v) AiNodeParamFlt(params, -1, n, v)
#define AiParameterInt(n, v) AiNodeParamInt(params, -1, n, v)
#define AiParameterBool(n, v) AiNodeParamBool(params, -1, n, v)
#define AiParameterVec(n, x, y, z) AiNodeParamVec(params, -1, n, x, y, z)
#define AiParameterStr(n, v) AiNodeParamStr(params, -1, n, v)

#define AiShaderEvalParamRGB(pid) AiShaderEvalParamFuncRGB(sg, node, pid)
#define AiShaderEvalParamFlt(pid) AiShaderEvalParamFuncFlt(sg, node, pid)
#define AiShaderEvalParamInt(pid) AiShaderEvalParamFuncInt(sg, node, pid)
#define AiShaderEvalParamBool(pid) AiShaderEvalParamFuncBool(sg, node, pid)
#define AiShaderEvalParamStr(pid) AiShaderEvalParamFuncStr(sg, node, pid)
#define AiShaderEvalParamVec(pid) AiShaderEvalParamFuncVec(sg, node, pid)
