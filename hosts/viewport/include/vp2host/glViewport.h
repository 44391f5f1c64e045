// A stand-in of Viewport 2.0's drawing: a fragment graph's GLSL, assembled as
// Maya assembles an effect, run on the GPU at hand through an EGL surfaceless
// context (Mesa's llvmpipe where there is no GPU). Test-only and tool-only.
//
// Each sample is one pixel: its graph inputs and lights come from a texture,
// the graph runs as Maya runs it (under light API v1 the fragments upstream
// of the accumulator once per light, summed; under v2 through a stand-in of
// Maya's light functions, written in GLSL), and the surface's outputs are
// read back.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "vp2host/shadeFragment.h"

namespace vp2host {

// One line: why no context could be made.
class NoGlDevice : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The GLSL versions an effect may be compiled at by Maya's core-profile
// device: the lowest core profile's and that of OpenGL 4.1, the newest that
// macOS has.
inline constexpr std::array<int, 2> glslVersions{150, 410};

// The most lights one sample takes: mayaLightSelector16's.
inline constexpr int maxLights = 16;

using Float3 = std::array<float, 3>;

// One light as Maya hands it to a fragment: the direction towards it (Lw and
// HLw under v1, Ld under v2) and its diffuse and specular irradiance.
struct Light {
    Float3 direction{};
    Float3 diffuseI{};
    Float3 specularI{};
};

struct Sample {
    // Per GraphProgram::sampleInputs(), in its order: a float3, or a float in
    // the first component.
    std::vector<Float3> inputs;
    std::vector<Light> lights;  // at most maxLights
};

struct SampleResult {
    Float3 colour{};         // handed to the surface output: the node's outColor
    Float3 transparency{};   // the surface's outTransparency
    Float3 premultiplied{};  // the surface's outColor
    std::array<float, 4> surfaceFinal{};
};

// The GLSL fragment shader that runs a graph, made from the fragments'
// GLSL implementations. Throws FragmentXmlError when the graph cannot run:
// a fragment without GLSL, an input with no value, a fragment that depends
// on a light and feeds no accumulator.
class GraphProgram {
public:
    GraphProgram(const FragmentGraph& graph, const FragmentLookup& lookup, int glslVersion);

    const std::string& source() const { return source_; }
    // The graph's inputs that each sample supplies; Maya's per-light inputs
    // come from the sample's lights instead.
    const std::vector<std::string>& sampleInputs() const { return sampleInputs_; }
    int glslVersion() const { return glslVersion_; }

    // The graph inputs Maya supplies per light (light API v1).
    static bool isPerLightInput(std::string_view name);

private:
    std::string source_;
    std::vector<std::string> sampleInputs_;
    int glslVersion_;
};

class GlViewport {
public:
    // An OpenGL core-profile context without a surface. Throws NoGlDevice.
    GlViewport();
    ~GlViewport();
    GlViewport(const GlViewport&) = delete;
    GlViewport& operator=(const GlViewport&) = delete;

    // GL_RENDERER, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)".
    std::string renderer() const;

    // Compiles a fragment shader alone; empty when it compiles, otherwise the
    // compiler's log.
    std::string compileFragmentShader(const std::string& source);

    // Runs the program for every sample. Throws std::runtime_error when the
    // program does not compile or link, with the log.
    std::vector<SampleResult> run(const GraphProgram& program, std::span<const Sample> samples);

    // The context is current on the calling thread between these; the
    // constructor leaves it current. Each call above needs it current.
    void makeCurrent();
    void release();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace vp2host
