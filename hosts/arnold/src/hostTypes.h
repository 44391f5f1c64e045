// What the stand-in Arnold keeps behind the SDK's opaque types.
#pragma once

#include <ai.h>

#include <cstddef>
#include <vector>

#include "aihost/host.h"

namespace lumaveil::aihost {

// The values of a shader node's parameters, in declaration order.
struct ParameterValue {
    int type = 0;
    float value[3] = {0.0f, 0.0f, 0.0f};
};

// What one call of Evaluate may use: its lights and their samples, the
// light loop's cursor, and room for the closures it returns.
struct CallContext {
    const Lights* lights = nullptr;
    const LightSampleValues* samples = nullptr;
    std::size_t sampleCount = 0;
    std::size_t next = 0;
    bool prepared = false;
    int handedOut = 0;
};

}  // namespace lumaveil::aihost

struct AtNode {
    enum class Kind { shader, light };
    Kind kind = Kind::light;
    // A shader's parameter values; a light's weights.
    std::vector<lumaveil::aihost::ParameterValue> values;
    lumaveil::aihost::LightWeights weights;
};

struct AtNodeEntry {
    lumaveil::aihost::NodeEntry* entry = nullptr;
};

struct AtList {
    lumaveil::aihost::NodeEntry* entry = nullptr;
};

// Set whole when a closure is made: the room for them is left unset.
struct AtClosureBase {
    enum class Kind { emission, transparent, matte };
    Kind kind;
    AtRGB weight;
    AtClosureBase* next;
};

// One call's context, with a fixed room for closures: a surface shader
// returns a few.
struct AtShaderGlobalsPrivate {
    static constexpr std::size_t closureRoom = 16;
    lumaveil::aihost::CallContext call;
    AtClosureBase closures[closureRoom];
    std::size_t closuresUsed = 0;
};
