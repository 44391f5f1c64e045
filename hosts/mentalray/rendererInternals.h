// What the stand-in renderer keeps behind the state and the shader record.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "hosts/mentalray/standInRenderer.h"

namespace lumaveil::mrhost {

enum class LightKind { directional, point, area };

struct Light {
    LightKind kind = LightKind::directional;
    miColor color{};
    miVector direction{};  // directional: unit, towards the light
    miVector position{};   // point and area (corner)
    miVector edgeU{};
    miVector edgeV{};
    int samples = 1;  // delivered per shading sample: 1 but for area lights
};

// The running shader as the renderer holds it: the record the shader sees
// through state->shader, and the block it belongs to.
struct HostFunction {
    miFunction function;
    ParameterBlock::Impl* block;
};

struct ParameterBlock::Impl {
    struct Driven {
        int offset;
        int size;
        Connection shader;
    };

    std::vector<DeclaredField> fields;
    int recordSize = 0;
    int elements = 1;                  // light-array elements laid out
    std::vector<std::uint32_t> words;  // parameters, then one ghost word each
    std::vector<Driven> driven;        // ghost word k drives driven[k - 1]
    HostFunction host{};

    int parameterBytes() const { return recordSize + 4 * (elements - 1); }
};

// The call trace of the calling thread, if its shader call records one.
CallTrace*& activeTrace();

// How many shader calls, on any thread, record a trace right now. While none
// does, the renderer functions need not look up the calling thread's trace.
extern std::atomic<int> tracedCalls;

// The calling thread's trace, or null without a thread-local look-up when no
// call records one.
inline CallTrace* currentTrace() {
    return tracedCalls.load(std::memory_order_relaxed) != 0 ? activeTrace() : nullptr;
}

// Makes room for the driven values of params on the calling thread, so that
// none moves during a shader call.
void reservePhenEvalScratch(const ParameterBlock& params);

}  // namespace lumaveil::mrhost

// Reached through state->options: the scene's lights and irradiance.
struct miOptions {
    std::vector<lumaveil::mrhost::Light> lights;
    miColor irradiance{0.0f, 0.0f, 0.0f, 0.0f};
};
