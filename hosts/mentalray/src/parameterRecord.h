// What the stand-in renderer keeps behind a parameter block and the shader
// record the shader sees through state->shader.
#pragma once

#include <shader.h>

#include <cstdint>
#include <vector>

#include "mrhost/parameterBlock.h"

namespace lumaveil::mrhost {

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

// Makes room for the driven values of params on the calling thread, so that
// none moves during a shader call.
void reservePhenEvalScratch(const ParameterBlock& params);

}  // namespace lumaveil::mrhost
