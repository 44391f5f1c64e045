// lumaVeil's stand-in Arnold, for tests and tools: it loads a shader library
// by path as Arnold does (NodeLoader until it gives no more nodes, the
// version check, Parameters, Initialize and Update), keeps the node's
// parameter values, and calls Evaluate per shading point with the light
// samples the caller gives, handing them out through the light loop as
// Arnold's does. The library that holds this class is also the Arnold the
// shader links: it exports the Ai functions of the SDK's headers.
//
// Thread safety: once set up, a Shader and its Lights are only read while
// shading, so any number of threads may shade at once.
#pragma once

#include <ai.h>

#include <memory>
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
    std::vector<float> defaults;  // three for a colour or vector, one otherwise
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
// out (its Li is unoccluded * (1 - occlusion)).
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

private:
    std::vector<std::unique_ptr<AtNode>> nodes_;
};

// The geometry of one shading point, in world space.
struct ShadingPoint {
    AtVector P{0.0f, 0.0f, 0.0f};
    AtVector N{0.0f, 0.0f, 1.0f};
    AtVector Nf{0.0f, 0.0f, 1.0f};
    AtVector Ro{0.0f, 0.0f, 5.0f};  // the eye
    bool fhemi = true;              // as Arnold hands it to the shader
};

// What one Evaluate returned, and what the host saw during it.
struct ShadeResult {
    AtRGB emission{0.0f, 0.0f, 0.0f};      // the sum of the emission closures' weights
    AtRGB transparency{0.0f, 0.0f, 0.0f};  // the sum of the transparent closures' weights
    int emissionClosures = 0;
    int transparentClosures = 0;
    int otherClosures = 0;
    int samplesHandedOut = 0;
    bool fhemiRestored = true;  // fhemi on return was what it was on entry
    bool lightsPrepared = false;
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

    // The node's parameter values, from their defaults on. False for a name
    // the node lacks or of another type.
    bool setRGB(std::string_view parameter, AtRGB value);
    bool setFloat(std::string_view parameter, float value);

    // One call of Evaluate at the point, with these samples of these lights
    // (nlights is lights.size()).
    ShadeResult shade(const ShadingPoint& point, const Lights& lights,
                      const std::vector<LightSampleValues>& samples) const;
    // The same from caller-owned arrays, allocating nothing.
    ShadeResult shade(const ShadingPoint& point, const Lights& lights,
                      const LightSampleValues* samples, std::size_t sampleCount) const;

    // The Arnold version of these headers, which a library must not exceed.
    static const char* version();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace lumaveil::aihost
