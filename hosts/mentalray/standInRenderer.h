// A stand-in for the renderer, for tests and tools: it loads a shader library
// by path, hands it a renderer module, builds parameter blocks from the
// shader's declaration, keeps a small light database and calls the shader per
// sample, as the renderer would.
//
// The renderer functions the shader reaches by name (mi_sample_light,
// mi_compute_irradiance, mi_phen_eval) are exported by this library, so its
// own file is the renderer module to bind; see Renderer::modulePath().
//
// Thread safety: once set up, a Renderer, a Scene and a ParameterBlock are only
// read while shading, so any number of threads may shade at once, each with
// its own state and result.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <shader.h>

#if defined(_WIN32)
#if defined(LUMAVEIL_MRHOST_BUILDING)
#define LUMAVEIL_MRHOST_API __declspec(dllexport)
#else
#define LUMAVEIL_MRHOST_API __declspec(dllimport)
#endif
#else
#define LUMAVEIL_MRHOST_API __attribute__((visibility("default")))
#endif

namespace lumaveil::mrhost {

// ---------------------------------------------------------------- declaration

enum class ParamType { boolean, integer, scalar, vector, color, light };

// One field of a parameter record. An array parameter x gives three fields:
// i_x and n_x (integers) and the one-element slot x (arrayElement).
struct DeclaredField {
    std::string name;
    ParamType type = ParamType::scalar;
    bool arrayElement = false;
    int offset = 0;
    int size = 0;
    std::vector<double> defaultValue;  // empty: zero
};

struct ShaderDeclaration {
    std::string name;
    std::string resultType;
    int version = 0;
    std::string apply;
    std::vector<DeclaredField> fields;
    int recordSize = 0;

    // The field of that name, or null.
    LUMAVEIL_MRHOST_API const DeclaredField* find(std::string_view fieldName) const;
};

// Reads a `declare shader ... end declare` block. Throws std::runtime_error
// on text it does not understand.
LUMAVEIL_MRHOST_API ShaderDeclaration parseDeclaration(std::string_view text);
LUMAVEIL_MRHOST_API ShaderDeclaration loadDeclaration(const std::string& path);

// ---------------------------------------------------------------- lights

// The light database and the irradiance the renderer reports. Lights deliver
// their colour unattenuated, from in front of the surface or behind it.
class LUMAVEIL_MRHOST_API Scene {
public:
    Scene();
    ~Scene();
    Scene(Scene&&) noexcept;
    Scene& operator=(Scene&&) noexcept;

    // One sample from the unit direction towardsLight.
    miTag addDirectionalLight(miVector towardsLight, miColor color);
    // One sample from the point towards position.
    miTag addPointLight(miVector position, miColor color);
    // `samples` samples spread over the parallelogram corner + u*edgeU +
    // v*edgeV; zero edges put every sample at the corner.
    miTag addAreaLight(miVector corner, miVector edgeU, miVector edgeV, miColor color, int samples);

    // What mi_compute_irradiance writes; black by default.
    void setIrradiance(miColor irradiance);

    const miOptions* options() const;

private:
    std::unique_ptr<miOptions> data_;
};

// ---------------------------------------------------------------- parameters

// A shader driving a parameter: it writes the parameter's value for this call
// (as many bytes as the field has) to value, which holds the stored value on
// entry.
using Connection = std::function<void(const miState& state, void* value)>;

// A parameter block laid out from a declaration, starting from its defaults,
// followed by its ghost words. Parameters are named as in the declaration.
// Setting a name the declaration lacks, or with another type, throws
// std::invalid_argument.
class LUMAVEIL_MRHOST_API ParameterBlock {
public:
    explicit ParameterBlock(const ShaderDeclaration& declaration);
    ~ParameterBlock();
    ParameterBlock(ParameterBlock&&) noexcept;
    ParameterBlock& operator=(ParameterBlock&&) noexcept;

    void setScalar(std::string_view name, float value);
    void setInteger(std::string_view name, int value);
    void setBoolean(std::string_view name, bool value);
    void setVector(std::string_view name, miVector value);
    void setColor(std::string_view name, miColor value);

    // The light array: elements laid out from the slot on, first as i_light
    // and count as n_light, so that elements[first] .. elements[first +
    // count - 1] are the lights used.
    void setLights(const std::vector<miTag>& elements, int first, int count);
    // All of tags, from element 0.
    void setLights(const std::vector<miTag>& tags);

    // Drives the named parameter by a shader, through its ghost word.
    void connect(std::string_view name, Connection shader);

    // The running shader's ghost offset; 0 tells the shader that nothing is
    // driven, whatever the ghost words hold. Reset by any change of layout.
    void setGhostOffset(miInteger offset);

    void* data() const;
    miFunction* function() const;
    int size() const;  // bytes of parameters, array elements included

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// ---------------------------------------------------------------- shading

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
    // ray direction, the scene's options, the block's function and a non-null
    // hit primitive.
    static miState makeState(const Scene& scene, const ParameterBlock& params,
                             const SamplePoint& sample);

    // Calls the shader once. With a trace, records what the renderer's
    // functions saw during the call.
    bool shade(miColor& result, miState& state, const ParameterBlock& params,
               CallTrace* trace = nullptr) const;
    // The colour of one sample, starting from black.
    miColor shade(const Scene& scene, const ParameterBlock& params,
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
