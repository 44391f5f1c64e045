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
        "// clang-format off\n"
        "constinit const std::array<float, albedoTableSize> albedoTable = {\n");
    for (std::size_t i = 0; i < table.size(); ++i) {
        // Five significant digits name the stored float exactly.
        char literal[32];
        std::snprintf(literal, sizeof literal, "%.5g", static_cast<double>(table[i]));
        const char* point = std::strpbrk(literal, ".e") ? "" : ".0";
        std::printf("%s%s%sf,%s", i % 8 == 0 ? "    " : " ", literal, point,
                    i % 8 == 7 || i + 1 == table.size() ? "\n" : "");
    }
    std::printf("};\n// clang-format on\n\n}  // namespace lumaveil\n");
    return 0;
}
