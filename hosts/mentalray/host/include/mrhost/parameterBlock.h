// A shader's parameters as the renderer hands them over: laid out from its
// declaration, with the ghost words that tell which are driven by shaders.
#pragma once

#include <shader.h>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "mrhost/api.h"
#include "mrhost/declaration.h"

namespace lumaveil::mrhost {

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

}  // namespace lumaveil::mrhost
