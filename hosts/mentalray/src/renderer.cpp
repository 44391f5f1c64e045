// Loading the shader, binding the renderer module and calling the shader.
#include <stdexcept>

#include "activeTrace.h"
#include "dynamicLibrary.h"
#include "mrhost/renderer.h"
#include "parameterRecord.h"

namespace lumaveil::mrhost {

using hosts::closeLibrary;
using hosts::findSymbol;
using hosts::modulePathOf;
using hosts::openLibrary;

namespace {

// Stands in for the primitive that the ray hit.
const int hitPrimitive = 0;

template <class Function>
Function entryPoint(void* library, const char* name, const std::string& path) {
    void* address = findSymbol(library, name);
    if (address == nullptr) {
        throw std::runtime_error(path + " does not export " + name);
    }
    return reinterpret_cast<Function>(address);
}

}  // namespace

Renderer::Renderer(const std::string& shaderLibrary, const std::string& declarationPath,
                   const std::string& rendererModule)
    : declaration_(loadDeclaration(declarationPath)) {
    std::string error;
    shaderLibrary_ = openLibrary(shaderLibrary, error);
    if (shaderLibrary_ == nullptr) {
        throw std::runtime_error(error);
    }
    try {
        shader_ =
            entryPoint<ShaderFunction>(shaderLibrary_, declaration_.name.c_str(), shaderLibrary);
        version_ = entryPoint<VersionFunction>(
            shaderLibrary_, (declaration_.name + "_version").c_str(), shaderLibrary);
        setModuleHandle_ =
            entryPoint<SetModuleHandleFunction>(shaderLibrary_, "miSetModuleHandle", shaderLibrary);
        bind(rendererModule);
        if (version_() != declaration_.version) {
            throw std::runtime_error(shaderLibrary + " is version " + std::to_string(version_()) +
                                     ", its declaration version " +
                                     std::to_string(declaration_.version));
        }
    } catch (...) {
        closeLibrary(shaderLibrary_);
        for (void* module : modules_) {
            closeLibrary(module);
        }
        throw;
    }
}

Renderer::~Renderer() {
    closeLibrary(shaderLibrary_);
    for (void* module : modules_) {
        closeLibrary(module);
    }
}

void* Renderer::bind(const std::string& rendererModule) {
    std::string error;
    void* module = openLibrary(rendererModule, error);
    if (module == nullptr) {
        throw std::runtime_error(error);
    }
    modules_.push_back(module);
    setModuleHandle_(module);
    return module;
}

void Renderer::bindNullHandle() {
    setModuleHandle_(nullptr);
}

int Renderer::version() const {
    return version_();
}

const ShaderDeclaration& Renderer::declaration() const {
    return declaration_;
}

ParameterBlock Renderer::makeParameters() const {
    return ParameterBlock(declaration_);
}

miState Renderer::makeState(const LightList& lights, const ParameterBlock& params,
                            const SamplePoint& sample) {
    miState state{};
    state.options = lights.options();
    state.org = {sample.point.x - sample.dir.x, sample.point.y - sample.dir.y,
                 sample.point.z - sample.dir.z};
    state.dir = sample.dir;
    state.dist = 1.0;
    state.ior = 1.0f;
    state.ior_in = 1.0f;
    state.pri = const_cast<int*>(&hitPrimitive);
    state.bary[0] = 1.0f;
    state.point = sample.point;
    state.normal = sample.normal;
    state.normal_geom = sample.normal;
    state.dot_nd = -(sample.normal.x * sample.dir.x + sample.normal.y * sample.dir.y +
                     sample.normal.z * sample.dir.z);
    state.shader = params.function();
    return state;
}

bool Renderer::shade(miColor& result, miState& state, const ParameterBlock& params,
                     CallTrace* trace) const {
    ParameterBlock::Impl& block = *reinterpret_cast<const HostFunction*>(params.function())->block;
    // Only driven parameters take the thread's storage; a block without
    // them skips its thread-local look-up.
    if (!block.driven.empty()) {
        reservePhenEvalScratch(params);
    }
    void* const parameters = block.words.data();
    if (trace == nullptr) {
        return shader_(&result, &state, parameters) != miFALSE;
    }
    activeTrace = trace;
    const miBoolean done = shader_(&result, &state, parameters);
    activeTrace = nullptr;
    return done != miFALSE;
}

miColor Renderer::shade(const LightList& lights, const ParameterBlock& params,
                        const SamplePoint& sample) const {
    miState state = makeState(lights, params, sample);
    miColor result{0.0f, 0.0f, 0.0f, 0.0f};
    shade(result, state, params);
    return result;
}

std::string Renderer::modulePath() {
    return modulePathOf(reinterpret_cast<const void*>(&mi_sample_light));
}

}  // namespace lumaveil::mrhost
