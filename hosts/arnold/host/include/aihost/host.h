// lumaVeil's stand-in Arnold, for tests and tools: it loads a shader library
// by path as Arnold does (NodeLoader until it gives no more nodes, the
// version check, Parameters, Initialize and Update), keeps the node's
// parameter values and links, runs Update again after every change, and
// calls Evaluate per shading point with the ray type, the linked parameters'
// values and the light samples the caller gives, handing the samples out
// through the light loop as Arnold's does and recording the AOVs written. The
// library that holds this class is also the Arnold the shader links: it
// exports the Ai functions of the SDK's headers.
//
// Thread safety: once set up, a Shader, its Lights and the enabled AOVs are
// only read while shading, so any number of threads may shade at once;
// changing any of them while a thread shades is a race, as in Arnold.
#pragma once

#include <ai.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "aihost/api.h"

namespace lumaveil::aihost {

// A library Arnold would refuse, in one line.
class LoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Parameter {
    std::string name;
    int type = 0;                 // AI_TYPE_RGB, AI_TYPE_FLOAT, ...
    std::vector<float> defaults;  // three for a colour or vector, none for a string, one otherwise
    std::string defaultText;      // a string's
};

// One metadata value, as a .mtd file writes it: `name TYPE value`.
struct MetaData {
    std::string parameter;  // empty: the node's own
    std::string name;
    std::string type;     // STRING, INT, BOOL or FLOAT
    std::string text;     // a STRING's value
    float number = 0.0f;  // an INT's, BOOL's (0 or 1) or FLOAT's value
};

// The node the library gave, as Arnold records it.
struct NodeEntry {
    std::string name;
    int nodeType = 0;
    int outputType = 0;
    std::string version;  // the AI_VERSION the library was built against
    std::vector<Parameter> parameters;
    std::vector<MetaData> metadata;

    const Parameter* parameter(std::string_view parameterName) const {
        for (const Parameter& p : parameters) {
            if (p.name == parameterName) {
                return &p;
            }
        }
        return nullptr;
    }
    // The metadata `key` of a parameter, or of the node for "".
    const MetaData* find(std::string_view parameterName, std::string_view key) const {
        for (const MetaData& m : metadata) {
            if (m.parameter == parameterName && m.name == key) {
                return &m;
            }
        }
        return nullptr;
    }
};

// A light of the scene, with the weights the shader reads for it.
struct LightWeights {
    float diffuse = 1.0f;
    float specular = 1.0f;
    float sss = 1.0f;
};

// One sample of one light at the shading point, as the light loop hands it
// out (its Li is unoccluded * (1 - occlusion)). Any values go: a pdf of 0,
// negative or NaN, and infinite or NaN radiance, as a broken light gives.
struct LightSampleValues {
    std::size_t light = 0;  // index into the call's lights
    AtVector direction{0.0f, 0.0f, 1.0f};
    float distance = 1.0f;
    AtRGB unoccluded{1.0f, 1.0f, 1.0f};
    AtRGB occlusion{0.0f, 0.0f, 0.0f};
    float pdf = 1.0f;
};

// The lights of a scene as Arnold nodes.
class LUMAVEIL_AIHOST_API Lights {
public:
    explicit Lights(const std::vector<LightWeights>& weights);
    ~Lights();
    Lights(const Lights&) = delete;
    Lights& operator=(const Lights&) = delete;
    std::size_t size() const;
    const AtNode* node(std::size_t i) const;
    // The nodes, size() of them.
    const AtNode* const* nodes() const;

private:
    std::vector<std::unique_ptr<AtNode>> owned_;
    std::vector<const AtNode*> nodes_;
};

// What a linked parameter's link gives at one point: a colour's or vector's
// three components, a float's first.
using LinkValue = std::array<float, 3>;

// Enables these RGB AOVs for every render that follows (none at first), as
// a render's outputs do; AiAOVEnabled answers from them.
LUMAVEIL_AIHOST_API void enableAOVs(const std::vector<std::string>& rgbNames);

// The geometry of one shading point, in world space, and the ray that hit it.
struct ShadingPoint {
    AtVector P{0.0f, 0.0f, 0.0f};
    AtVector N{0.0f, 0.0f, 1.0f};
    AtVector Nf{0.0f, 0.0f, 1.0f};
    AtVector Ro{0.0f, 0.0f, 5.0f};  // the ray's origin: the eye for a camera ray
    bool fhemi = true;              // as Arnold hands it to the shader
    uint8_t rayType = AI_RAY_CAMERA;
    // By parameter index, what the links give the linked parameters here;
    // empty: each linked parameter gives its stored value.
    std::span<const LinkValue> links;
};

// One AOV value stored by AiAOVSetRGB.
struct AOVWrite {
    const char* name = nullptr;
    AtRGB value{0.0f, 0.0f, 0.0f};
};

// What one Evaluate returned, and what the host saw during it.
struct ShadeResult {
    AtRGB emission{0.0f, 0.0f, 0.0f};      // the sum of the emission closures' weights
    AtRGB transparency{0.0f, 0.0f, 0.0f};  // the sum of the transparent closures' weights
    int emissionClosures = 0;
    int transparentClosures = 0;
    int otherClosures = 0;
    int samplesHandedOut = 0;
    bool fhemiRestored = true;    // fhemi on return was what it was on entry
    bool normalsRestored = true;  // so were N and Nf, bit for bit
    bool lightsPrepared = false;
    int parameterEvaluations = 0;  // AiShaderEvalParam* calls
    int lightWeightCalls = 0;      // AiLightGet* calls
    // The AOV writes stored, in order (the first aovRoom of them), and those
    // refused: of an AOV not enabled, or on a ray other than the camera's.
    static constexpr std::size_t aovRoom = 8;
    std::array<AOVWrite, aovRoom> aovs{};
    int aovsStored = 0;
    int aovWritesNotEnabled = 0;
    int aovWritesOffCamera = 0;
};

class LUMAVEIL_AIHOST_API Shader {
public:
    // Loads the library and the node named nodeName of shader type from it.
    // Throws LoadError, saying why in one line, where Arnold would refuse it.
    explicit Shader(const std::string& library, std::string_view nodeName = "lumaVeil");
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    const NodeEntry& entry() const;

    // The node's parameter values, from their defaults on, and whether each
    // is linked (none at first). Each change runs the node's Update, as
    // Arnold does before rendering again. False for a name the node lacks or
    // of another type.
    bool setRGB(std::string_view parameter, AtRGB value);
    bool setFloat(std::string_view parameter, float value);
    bool setVector(std::string_view parameter, AtVector value);
    bool setString(std::string_view parameter, std::string_view value);
    bool setLinked(std::string_view parameter, bool linked);
    // Index of the parameter of that name, or -1.
    int parameterIndex(std::string_view parameter) const;
    // How often the node's Update has run, and how often AiNodeGet* read a
    // parameter while it was linked (Arnold gives its stored value, not the
    // link's).
    int updates() const;
    int linkedParameterReads() const;

    // One call of Evaluate at the point, with these samples of these lights
    // (AiLightsPrepare sets nlights to lights.size(); it is 0 before).
    ShadeResult shade(const ShadingPoint& point, const Lights& lights,
                      const std::vector<LightSampleValues>& samples) const;
    // The same from caller-owned arrays, allocating nothing.
    ShadeResult shade(const ShadingPoint& point, const Lights& lights,
                      const LightSampleValues* samples, std::size_t sampleCount) const;

    // The Arnold version of these headers, which a library must not exceed.
    static const char* version();

private:
    friend class PreparedCall;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// One shading point set up once and evaluated again and again, as a
// renderer's inner loop calls a shader once it has set a sample up: each
// evaluate() resets what a call changes (the light loop, the closures, the
// AOV writes, nlights) and calls Evaluate, for the benchmarks. The shader,
// lights and samples must outlive it.
class LUMAVEIL_AIHOST_API PreparedCall {
public:
    PreparedCall(const Shader& shader, const ShadingPoint& point, const Lights& lights,
                 const LightSampleValues* samples, std::size_t sampleCount);
    ~PreparedCall();
    PreparedCall(const PreparedCall&) = delete;
    PreparedCall& operator=(const PreparedCall&) = delete;

    // The weight of the first closure returned (black for none), and how
    // many AOV writes were stored.
    AtRGB evaluate();
    int aovsStored() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace lumaveil::aihost
