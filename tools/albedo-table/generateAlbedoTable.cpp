// Writes model/albedoTable.cpp from the table's rule. Run it after changing
// the rule: cmake --build build/default --target regenerate-albedo-table
#include <cstdio>
#include <cstring>

#include "albedoRule.h"

int main() {
    const auto table = lumaveil::albedo_rule::buildTable();
    std::printf(
        "// Written by tools/albedo-table/generateAlbedoTable.cpp from the table's rule;\n"
        "// do not edit by hand. Entry i is the reduced albedo for reflectance i/2000.\n"
        "#include \"model/albedo.h\"\n\n"
        "namespace lumaveil {\n\n"
        "namespace {\n\n"
        "// clang-format off\n"
        "constexpr std::array<float, albedoTableSize> albedoEntries() {\n"
        "    return {{\n");
    for (std::size_t i = 0; i < table.size(); ++i) {
        // Five significant digits name the stored float exactly.
        char literal[32];
        std::snprintf(literal, sizeof literal, "%.5g", static_cast<double>(table[i]));
        const char* point = std::strpbrk(literal, ".e") ? "" : ".0";
        std::printf("%s%s%sf,%s", i % 8 == 0 ? "    " : " ", literal, point,
                    i % 8 == 7 || i + 1 == table.size() ? "\n" : "");
    }
    std::printf(
        "    }};\n"
        "}\n"
        "// clang-format on\n\n"
        "// The entries are a constant expression, so albedoTable is constant-initialised:\n"
        "// in place before any code runs, whatever the order of the program's initialisers.\n"
        "static_assert(albedoEntries().front() == 0.0f && albedoEntries().back() == 1.0f,\n"
        "              \"the albedo table is constant data from 0 to 1\");\n\n"
        "}  // namespace\n\n"
        "const std::array<float, albedoTableSize> albedoTable = albedoEntries();\n\n"
        "}  // namespace lumaveil\n");
    return 0;
}
