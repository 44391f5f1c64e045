#include "shaderRecord.h"

#include <vector>

#include "shippedShaderDeclaration.h"

namespace lumaveil::preview {

namespace {

struct Parameter {
    std::string name;
    mrhost::ParamType type;
    bool array;
};

// The declared parameters: an array's count and index fields, which the
// declaration lays out before its element, belong to the array.
std::vector<Parameter> parametersOf(const mrhost::ShaderDeclaration& declaration) {
    std::vector<Parameter> parameters;
    for (const mrhost::DeclaredField& field : declaration.fields) {
        if (field.arrayElement && parameters.size() >= 2) {
            parameters.resize(parameters.size() - 2);
        }
        parameters.push_back({field.name, field.type, field.arrayElement});
    }
    return parameters;
}

std::string described(const Parameter& parameter) {
    static constexpr const char* typeNames[] = {"boolean", "integer", "scalar",
                                                "vector",  "color",   "light"};
    return std::string(parameter.array ? "array " : "") +
           typeNames[static_cast<int>(parameter.type)] + " \"" + parameter.name + "\"";
}

}  // namespace

std::string firstRecordDifference(const mrhost::ShaderDeclaration& declared) {
    static const std::vector<Parameter> record =
        parametersOf(mrhost::parseDeclaration(shippedShaderDeclaration));
    const std::vector<Parameter> given = parametersOf(declared);
    for (std::size_t i = 0; i < record.size() || i < given.size(); ++i) {
        const std::string place = "parameter " + std::to_string(i + 1);
        if (i >= given.size()) {
            return "it has no " + place + "; the shader reads " + described(record[i]) + " there";
        }
        if (i >= record.size()) {
            return place + ", " + described(given[i]) + ", is more than the shader reads";
        }
        if (described(given[i]) != described(record[i])) {
            return place + " is " + described(given[i]) + " where the shader reads " +
                   described(record[i]);
        }
    }
    return {};
}

}  // namespace lumaveil::preview
