// The values a material sets on the inputs; the inputs left unset keep
// their defaults.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "materialInputs.h"
#include "model/FloatVector.h"

namespace lumaveil {

// Values set on the node's inputs and the renderer-only ones; unset inputs
// keep their defaults.
class MaterialSettings {
public:
    void set(const MaterialAttribute& attribute, FloatVector value);
    std::optional<FloatVector> get(std::string_view longName) const;

    struct Entry {
        const MaterialAttribute* attribute;
        FloatVector value;
    };
    // The inputs that were set, in the attribute order.
    std::vector<Entry> entries() const;

private:
    std::array<std::optional<FloatVector>, materialInputCount> values_;
};

}  // namespace lumaveil
