// A stand-in for the renderer, for tests and tools: it loads a shader library
// by path, hands it a renderer module, builds parameter blocks from the
// shader's declaration, keeps a small light database and calls the shader per
// sample, as the renderer would.
//
// The renderer functions the shader reaches by name (mi_sample_light,
// mi_compute_irradiance, mi_phen_eval) are exported by this library, so its
// own file is the renderer module to bind; see Renderer::modulePath().
//
// Thread safety: once set up, a Renderer, a LightList and a ParameterBlock are only
// read while shading, so any number of threads may shade at once, each with
// its own state and result.
#pragma once

#include <shader.h>

#include <string>
#include <vector>

#include "mrhost/api.h"
#include "mrhost/declaration.h"
#include "mrhost/lightList.h"
#include "mrhost/parameterBlock.h"

namespace lumaveil::mrhost {

// What the renderer saw during one shader call on the calling thread.
struct CallTrace {
    int phenEvalCalls = 0;
    std::vector<int> evaluatedOffsets;  // parameter offsets, in call order
    std::vector<miTag> sampledTags;     // the tag of every mi_sample_light call
    bool priSetWhileSampling = false;   // some mi_sample_light saw a non-null pri
    int irradianceCalls = 0;
    miState irradianceState{};  // as the last mi_compute_irradiance got it
};

struct SamplePoint {
    miVector point;
    miVector normal;
    miVector dir;  // ray direction, towards the point
};

class LUMAVEIL_MRHOST_API Renderer {
public:
    // Loads the shader library and its declaration, binds the renderer module
    // and checks the shader's version against the declaration's. Throws
    // std::runtime_error when any of it fails.
    Renderer(const std::string& shaderLibrary, const std::string& declarationPath,
             const std::string& rendererModule = modulePath());
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Hands the shader the handle of the module at path (miSetModuleHandle)
    // and returns that handle.
    void* bind(const std::string& rendererModule);
    // Hands the shader a null handle.
    void bindNullHandle();

    int version() const;
    const ShaderDeclaration& declaration() const;
    ParameterBlock makeParameters() const;

    // A state for one sample: point, normal (also the geometric normal) and
    // ray direction, the light list's options, the block's function and a non-null
    // hit primitive.
    static miState makeState(const LightList& lights, const ParameterBlock& params,
                             const SamplePoint& sample);

    // Calls the shader once. With a trace, records what the renderer's
    // functions saw during the call.
    bool shade(miColor& result, miState& state, const ParameterBlock& params,
               CallTrace* trace = nullptr) const;
    // The colour of one sample, starting from black.
    miColor shade(const LightList& lights, const ParameterBlock& params,
                  const SamplePoint& sample) const;

    // The file of this library, the renderer module to bind.
    static std::string modulePath();

private:
    using ShaderFunction = miBoolean (*)(miColor*, miState*, void*);
    using VersionFunction = int (*)();
    using SetModuleHandleFunction = int (*)(void*);

    ShaderDeclaration declaration_;
    void* shaderLibrary_ = nullptr;
    std::vector<void*> modules_;
    ShaderFunction shader_ = nullptr;
    VersionFunction version_ = nullptr;
    SetModuleHandleFunction setModuleHandle_ = nullptr;
};

}  // namespace lumaveil::mrhost
