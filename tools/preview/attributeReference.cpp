#include "attributeReference.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "materials.h"

namespace lumaveil::preview {

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    std::string result = text;
    if (result.starts_with('-')) {
        result.replace(0, 1, "\u2212");  // a minus sign, as in print
    }
    return result;
}

std::string code(std::string_view text) {
    return "`" + std::string(text) + "`";
}

std::string triple(FloatVector v, const char* format) {
    char text[96];
    std::snprintf(text, sizeof text, format, static_cast<double>(v.x), static_cast<double>(v.y),
                  static_cast<double>(v.z));
    return text;
}

std::string softRange(const MaterialAttribute& attribute) {
    if (!attribute.softMin && !attribute.softMax) {
        return "\u2014";
    }
    return number(attribute.softMin.value_or(0.0)) + " to " +
           number(attribute.softMax.value_or(0.0));
}

std::string defaultText(const MaterialAttribute& attribute) {
    const std::string value = number(attribute.defaultValue);
    return attribute.components == 3 ? value + ", " + value + ", " + value : value;
}

}  // namespace

std::string attributeReferenceMarkdown() {
    std::string page =
        "<!-- Written by generate-attribute-reference from tools/preview/materials.h and\n"
        "     tools/preview/measuredMaterials.csv; do not edit it by hand. After changing\n"
        "     them, run: cmake --build build/default --target regenerate-attribute-reference "
        "-->\n"
        "\n"
        "# lumaVeil attributes\n"
        "\n"
        "The `lumaVeil` node's editable attributes, as Maya's Attribute Editor shows them and\n"
        "`lumaveil-preview --set NAME=VALUE` takes them (long or short name), with the\n"
        "`qv7k_lumaVeil` shader parameter of the same role in mental ray. Colours are three\n"
        "numbers, red, green and blue. A soft range is the slider's span in the Attribute\n"
        "Editor; values outside it are allowed. A hard limit holds everywhere: Maya keeps the\n"
        "value within it, and the preview refuses values beyond it.\n"
        "\n"
        "| attribute | short name | what it does in the image | default | soft range | "
        "hard limit | mental ray parameter |\n"
        "|---|---|---|---|---|---|---|\n";
    for (const MaterialAttribute& attribute : materialAttributes) {
        page += "| " + code(attribute.longName) + " | " + code(attribute.shortName) + " | " +
                std::string(attribute.effect) + " | " + defaultText(attribute) + " | " +
                softRange(attribute) + " | " +
                (attribute.hardMin ? "at least " + number(*attribute.hardMin) : "\u2014") + " | " +
                (attribute.rendererParameter.empty() ? "none" : code(attribute.rendererParameter)) +
                " |\n";
    }
    page +=
        "\n"
        "The two hosts use these values differently in places, by design; the README's section\n"
        "\"Why the two halves differ\" lists where.\n"
        "\n"
        "## Parameters of the mental ray shader alone\n"
        "\n"
        "| parameter | type | what it does |\n"
        "|---|---|---|\n";
    for (const RendererOnlyParameter& parameter : rendererOnlyParameters) {
        page += "| " + code(parameter.name) + " | " + std::string(parameter.type) + " | " +
                std::string(parameter.effect) + " |\n";
    }
    page +=
        "\n"
        "## Measured materials\n"
        "\n"
        "The presets (`lumaveil-preview --preset NAME`, and the node's Presets menu in Maya)\n"
        "are materials measured by Jensen, Marschner, Levoy and Hanrahan (\"A Practical Model\n"
        "for Subsurface Light Transport\", SIGGRAPH 2001). Each sets four attributes:\n"
        "\n"
        "- `scattering` is the measured reduced scattering coefficient \u03c3s\u2032 and "
        "`absorption`\n"
        "  the absorption coefficient \u03c3a, both per millimetre, per channel, as measured. "
        "The\n"
        "  shading uses only their ratio, the share of light scattered rather than absorbed,\n"
        "  \u03c3s\u2032 / (\u03c3s\u2032 + \u03c3a); so the unit does not matter, and scaling "
        "both alike changes nothing.\n"
        "- `color` is the total diffuse reflectance of each channel, computed from that share "
        "(the\n"
        "  reduced albedo) with the dipole diffusion formula at index 1.3, the formula that "
        "builds\n"
        "  the node's reflectance-to-albedo table. The node reads `color` back through that "
        "table,\n"
        "  so its diffusion term gets the measured albedo; and the colour the material shows is\n"
        "  close to the published reflectance (within about 0.01 for most channels; marble was\n"
        "  measured at index 1.5, and chicken1's blue lands at 0.13 against 0.10). Marble's\n"
        "  colour is computed at 1.3 too, as the table is.\n"
        "- `refractiveIndex` is the material's index (1.5 for marble, 1.3 for the rest).\n"
        "\n"
        "All other attributes keep their defaults; `--set` values apply on top.\n"
        "\n"
        "| preset | scattering \u03c3s\u2032 (1/mm) | absorption \u03c3a (1/mm) | color (computed) "
        "| "
        "published reflectance | refractiveIndex |\n"
        "|---|---|---|---|---|---|\n";
    for (const MeasuredMaterial& material : measuredMaterials()) {
        page += "| " + material.name + " | " +
                triple(material.reducedScattering, "%.2f, %.2f, %.2f") + " | " +
                triple(material.absorption, "%g, %g, %g") + " | " +
                triple(reflectanceOf(material), "%.3f, %.3f, %.3f") + " | " +
                triple(material.publishedReflectance, "%.2f, %.2f, %.2f") + " | " +
                number(material.refractiveIndex) + " |\n";
    }
    return page;
}

}  // namespace lumaveil::preview
