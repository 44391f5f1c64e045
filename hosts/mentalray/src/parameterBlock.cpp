// Parameter blocks laid out from the shader's declaration, and the renderer's
// evaluation of driven parameters (mi_phen_eval).
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "activeTrace.h"
#include "mrhost/parameterBlock.h"
#include "parameterRecord.h"

namespace lumaveil::mrhost {

namespace {

const DeclaredField& fieldOf(const ParameterBlock::Impl& block, std::string_view name,
                             ParamType type) {
    for (const DeclaredField& f : block.fields) {
        if (f.name == name) {
            if (f.type != type) {
                throw std::invalid_argument("parameter " + std::string(name) + " has another type");
            }
            return f;
        }
    }
    throw std::invalid_argument("no parameter " + std::string(name));
}

void store(ParameterBlock::Impl& block, int offset, const void* value, std::size_t size) {
    std::memcpy(reinterpret_cast<unsigned char*>(block.words.data()) + offset, value, size);
}

// Lays the block out for `elements` light-array elements, keeping values and
// ghost words.
void relayout(ParameterBlock::Impl& block, int elements) {
    const int oldBytes = block.parameterBytes();
    const std::vector<std::uint32_t> old = std::move(block.words);
    block.elements = elements;
    const int bytes = block.parameterBytes();
    block.words.assign(static_cast<std::size_t>(2 * bytes / 4), 0u);
    const int kept = std::min(oldBytes, bytes) / 4;
    if (!old.empty()) {
        std::copy_n(old.begin(), kept, block.words.begin());
        std::copy_n(old.begin() + oldBytes / 4, kept, block.words.begin() + bytes / 4);
    }
    block.host.function.parameter_size = bytes;
    block.host.function.ghost_offs = bytes;
}

std::vector<std::uint32_t>& phenEvalScratch() {
    thread_local std::vector<std::uint32_t> scratch;
    return scratch;
}

}  // namespace

ParameterBlock::ParameterBlock(const ShaderDeclaration& declaration)
    : impl_(std::make_unique<Impl>()) {
    Impl& b = *impl_;
    b.fields = declaration.fields;
    b.recordSize = declaration.recordSize;
    b.host.block = &b;
    relayout(b, 1);
    for (const DeclaredField& f : b.fields) {
        for (std::size_t i = 0; i < f.defaultValue.size(); ++i) {
            const double v = f.defaultValue[i];
            if (f.type == ParamType::boolean || f.type == ParamType::integer) {
                const std::int32_t word = static_cast<std::int32_t>(v);
                store(b, f.offset + 4 * static_cast<int>(i), &word, 4);
            } else {
                const float word = static_cast<float>(v);
                store(b, f.offset + 4 * static_cast<int>(i), &word, 4);
            }
        }
    }
}

ParameterBlock::~ParameterBlock() = default;
ParameterBlock::ParameterBlock(ParameterBlock&&) noexcept = default;
ParameterBlock& ParameterBlock::operator=(ParameterBlock&&) noexcept = default;

void ParameterBlock::setScalar(std::string_view name, float value) {
    store(*impl_, fieldOf(*impl_, name, ParamType::scalar).offset, &value, sizeof value);
}

void ParameterBlock::setInteger(std::string_view name, int value) {
    const std::int32_t word = value;
    store(*impl_, fieldOf(*impl_, name, ParamType::integer).offset, &word, sizeof word);
}

void ParameterBlock::setBoolean(std::string_view name, bool value) {
    const std::int32_t word = value ? 1 : 0;
    store(*impl_, fieldOf(*impl_, name, ParamType::boolean).offset, &word, sizeof word);
}

void ParameterBlock::setVector(std::string_view name, miVector value) {
    store(*impl_, fieldOf(*impl_, name, ParamType::vector).offset, &value, sizeof value);
}

void ParameterBlock::setColor(std::string_view name, miColor value) {
    store(*impl_, fieldOf(*impl_, name, ParamType::color).offset, &value, sizeof value);
}

void ParameterBlock::setLights(const std::vector<miTag>& elements, int first, int count) {
    Impl& b = *impl_;
    const DeclaredField& slot = fieldOf(b, "light", ParamType::light);
    if (!slot.arrayElement || slot.offset + 4 != b.recordSize) {
        throw std::invalid_argument("the light array must close the record");
    }
    relayout(b, std::max<int>(1, static_cast<int>(elements.size())));
    std::fill_n(b.words.begin() + slot.offset / 4, b.elements, 0u);
    if (!elements.empty()) {
        store(b, slot.offset, elements.data(), elements.size() * sizeof(miTag));
    }
    setInteger("i_light", first);
    setInteger("n_light", count);
}

void ParameterBlock::setLights(const std::vector<miTag>& tags) {
    setLights(tags, 0, static_cast<int>(tags.size()));
}

void ParameterBlock::connect(std::string_view name, Connection shader) {
    Impl& b = *impl_;
    const DeclaredField* field = nullptr;
    for (const DeclaredField& f : b.fields) {
        if (f.name == name) {
            field = &f;
        }
    }
    if (field == nullptr || field->arrayElement) {
        throw std::invalid_argument("cannot drive parameter " + std::string(name));
    }
    b.driven.push_back({field->offset, field->size, std::move(shader)});
    b.words[static_cast<std::size_t>((field->offset + b.parameterBytes()) / 4)] =
        static_cast<std::uint32_t>(b.driven.size());
}

void ParameterBlock::setGhostOffset(miInteger offset) {
    impl_->host.function.ghost_offs = offset;
}

void* ParameterBlock::data() const {
    return impl_->words.data();
}

miFunction* ParameterBlock::function() const {
    return &impl_->host.function;
}

int ParameterBlock::size() const {
    return impl_->parameterBytes();
}

void reservePhenEvalScratch(const ParameterBlock& params) {
    std::vector<std::uint32_t>& scratch = phenEvalScratch();
    const std::size_t words = static_cast<std::size_t>(params.size() / 4);
    if (scratch.size() < words) {
        scratch.resize(words);
    }
}

}  // namespace lumaveil::mrhost

using namespace lumaveil::mrhost;

// The value of a driven parameter for this call: the connected shader writes
// it into storage of the calling thread, one place per parameter, which stays
// put until the thread's next shader call.
extern "C" LUMAVEIL_MRHOST_API void* mi_phen_eval(miState* state, void* parameter) {
    ParameterBlock::Impl& block = *reinterpret_cast<HostFunction*>(state->shader)->block;
    const std::uintptr_t base = reinterpret_cast<std::uintptr_t>(block.words.data());
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(parameter);
    const int bytes = block.parameterBytes();
    if (address < base || address >= base + static_cast<std::uintptr_t>(bytes)) {
        return parameter;
    }
    const int offset = static_cast<int>(address - base);
    if (CallTrace* trace = activeTrace) {
        ++trace->phenEvalCalls;
        trace->evaluatedOffsets.push_back(offset);
    }
    const std::uint32_t ghost = block.words[static_cast<std::size_t>((offset + bytes) / 4)];
    if (ghost == 0 || ghost > block.driven.size()) {
        return parameter;
    }
    const ParameterBlock::Impl::Driven& driven = block.driven[ghost - 1];
    std::vector<std::uint32_t>& scratch = phenEvalScratch();
    if (scratch.size() < block.words.size() / 2) {
        scratch.resize(block.words.size() / 2);
    }
    unsigned char* value = reinterpret_cast<unsigned char*>(scratch.data()) + offset;
    std::memcpy(value, parameter, static_cast<std::size_t>(driven.size));
    driven.shader(*state, value);
    return value;
}
