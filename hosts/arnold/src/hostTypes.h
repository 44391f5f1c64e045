// What the stand-in Arnold keeps behind the SDK's opaque types.
#pragma once

#include <ai.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <span>
#include <vector>

#include "aihost/host.h"

namespace lumaveil::aihost {

// The values of a shader node's parameters, in declaration order.
struct ParameterValue {
    int type = 0;
    float value[3] = {0.0f, 0.0f, 0.0f};
    const char* text = nullptr;  // a string's, interned
    bool linked = false;
};

// What one call of Evaluate may use: its lights and their samples, the
// light loop's cursor, the links' values, and what the call did that the
// host reports.
struct CallContext {
    const AtNode* const* lights = nullptr;
    std::size_t lightCount = 0;
    const LightSampleValues* samples = nullptr;
    std::size_t sampleCount = 0;
    std::size_t next = 0;
    bool prepared = false;
    std::span<const LinkValue> links;
    // Where the counts and the AOV writes go.
    ShadeResult* result = nullptr;
};

// The AiLightGet* calls made on this thread; the light functions see no
// call context.
int& lightWeightCallsOnThisThread();

}  // namespace lumaveil::aihost

struct AtNode {
    enum class Kind { shader, light };
    Kind kind = Kind::light;
    // A shader's parameters (their names) and values; a light's weights.
    const lumaveil::aihost::NodeEntry* entry = nullptr;
    std::vector<lumaveil::aihost::ParameterValue> values;
    lumaveil::aihost::LightWeights weights;
    void* localData = nullptr;
    std::atomic<int> linkedParameterReads{0};
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
