// A shader's declaration as the renderer reads it from a .mi file: its name,
// version and the layout of its parameter record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mrhost/api.h"

namespace lumaveil::mrhost {

enum class ParamType { boolean, integer, scalar, vector, color, light };

// One field of a parameter record. An array parameter x gives three fields:
// i_x and n_x (integers) and the one-element slot x (arrayElement).
struct DeclaredField {
    std::string name;
    ParamType type = ParamType::scalar;
    bool arrayElement = false;
    int offset = 0;
    int size = 0;
    std::vector<double> defaultValue;  // empty: zero
};

struct ShaderDeclaration {
    std::string name;
    std::string resultType;
    int version = 0;
    std::string apply;
    std::vector<DeclaredField> fields;
    int recordSize = 0;

    // The field of that name, or null.
    LUMAVEIL_MRHOST_API const DeclaredField* find(std::string_view fieldName) const;
};

// Reads a `declare shader ... end declare` block. Throws std::runtime_error
// on text it does not understand.
LUMAVEIL_MRHOST_API ShaderDeclaration parseDeclaration(std::string_view text);
LUMAVEIL_MRHOST_API ShaderDeclaration loadDeclaration(const std::string& path);

}  // namespace lumaveil::mrhost
