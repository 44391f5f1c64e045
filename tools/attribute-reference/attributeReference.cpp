#include "attributeReference.h"

#include <span>
#include <string_view>
#include <vector>

#include "materialInputs.h"
#include "measuredMaterials.h"
#include "numberText.h"
#include "referencePictures.h"

namespace lumaveil::reference {

namespace {

// A number as print shows it, a minus sign for a hyphen.
std::string number(double value) {
    std::string result = printed("%g", value);
    if (result.starts_with('-')) {
        result.replace(0, 1, "\u2212");
    }
    return result;
}

std::string code(std::string_view text) {
    return "`" + std::string(text) + "`";
}

std::string softRange(const MaterialAttribute& attribute) {
    if (!attribute.softMin && !attribute.softMax) {
        return "\u2014";
    }
    return number(attribute.softMin.value_or(0.0)) + " to " +
           number(attribute.softMax.value_or(0.0));
}

std::string defaultText(const MaterialAttribute& attribute) {
    std::string text = number(attribute.defaultValue[0]);
    for (int k = 1; k < attribute.components; ++k) {
        text += ", " + number(attribute.defaultValue[k]);
    }
    return text;
}

// The strip under a heading of its own, with the command that renders it.
std::string stripSection(const MaterialAttribute& attribute) {
    const Strip strip = stripOf(attribute);
    auto shown = [](std::string text) {
        for (std::size_t at; (at = text.find('-')) != std::string::npos;) {
            text.replace(at, 1, "\u2212");
        }
        for (std::size_t at = 0; (at = text.find(',', at)) != std::string::npos; at += 2) {
            text.replace(at, 1, ", ");
        }
        return text;
    };
    const std::string range = shown(strip.from) + " to " + shown(strip.to);
    std::string caption =
        "From " + range + (strip.softRange ? ", the soft range." : " (it has no soft range).");
    if (!strip.note.empty()) {
        caption += " " + std::string(strip.note);
    }
    return "\n### " + code(attribute.longName) + "\n\n" + caption + "\n\n![" +
           std::string(attribute.longName) + " from " + range +
           ", Maya, mental ray and Arnold from top to bottom](images/" + strip.file +
           ")\n\n`lumaveil-preview --sweep " + strip.sweep + " --size " +
           std::string(stripSwatchSize) + "`\n";
}

// The strips of some inputs, each under a heading of its own.
std::string stripSections(std::span<const MaterialAttribute> inputs) {
    std::string sections;
    for (const MaterialAttribute& input : inputs) {
        sections += stripSection(input);
    }
    return sections;
}

// The page's head and the table of the node's attributes.
std::string attributeTable() {
    std::string page =
        "<!-- Written by generate-attribute-reference from model/materialAttributes.h and\n"
        "     tools/support/measuredMaterials.csv, with the pictures in images/ rendered\n"
        "     through the built plug-in and shaders; do not edit it by hand. After changing\n"
        "     them, the model or the preview, run:\n"
        "     cmake --build build/default --target regenerate-attribute-reference -->\n"
        "\n"
        "# lumaVeil attributes\n"
        "\n"
        "The `lumaVeil` node's editable attributes, as Maya's Attribute Editor shows them and\n"
        "`lumaveil-preview --set NAME=VALUE` takes them (long or short name), with the\n"
        "`qv7k_lumaVeil` shader parameter of the same role in mental ray. The Arnold shader\n"
        "`lumaVeil` reads every one of them, as a parameter of the same name. Colours are three\n"
        "numbers, red, green and blue. A soft range is the slider's span in the Attribute\n"
        "Editor; values outside it are allowed. A hard limit holds everywhere: Maya keeps the\n"
        "value within it, and the preview refuses values beyond it.\n"
        "\n"
        "| attribute | short name | what it does in the image | default | soft range | "
        "hard limit | mental ray parameter | Arnold parameter |\n"
        "|---|---|---|---|---|---|---|---|\n";
    for (const MaterialAttribute& attribute : materialAttributes) {
        page += "| " + code(attribute.longName) + " | " + code(attribute.shortName) + " | " +
                std::string(attribute.effect) + " | " + defaultText(attribute) + " | " +
                softRange(attribute) + " | " +
                (attribute.hardMin ? "at least " + number(*attribute.hardMin) : "\u2014") + " | " +
                (attribute.rendererParameter.empty() ? "none" : code(attribute.rendererParameter)) +
                " | " + code(attribute.longName) + " |\n";
    }
    return page;
}

// The renderer shader's parameters without a node attribute, and which of
// them a swatch shows.
std::string rendererOnlyTable() {
    std::string page =
        "\n"
        "## Parameters of the mental ray shader alone\n"
        "\n"
        "| parameter | type | what it does |\n"
        "|---|---|---|\n";
    for (const RendererOnlyParameter& parameter : rendererOnlyParameters) {
        page += "| " + code(parameter.name) + " | " + std::string(parameter.type) + " | " +
                std::string(parameter.effect) + " |\n";
    }
    std::vector<std::string> unseen;
    for (const RendererOnlyParameter& parameter : rendererOnlyParameters) {
        if (!parameter.notInSwatch.empty()) {
            unseen.push_back(code(parameter.name) + " (" + std::string(parameter.notInSwatch) +
                             ")");
        }
    }
    page += "\nOf these only " + code(rendererOnlyAttributes[0].longName) +
            " changes a swatch. No strip shows ";
    for (std::size_t i = 0; i < unseen.size(); ++i) {
        page += (i == 0 ? "" : i + 1 == unseen.size() ? " or " : ", ") + unseen[i];
    }
    page += ".\n";
    return page;
}

// The measured materials, their values and their contact sheet.
std::string measuredMaterialsSection() {
    const std::string index(attributeMeasuredAs(MeasuredQuantity::eta).longName);
    std::string page =
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
        "- " +
        code(index) +
        " is the material's index (1.5 for marble, 1.3 for the rest).\n"
        "\n"
        "All other attributes keep their defaults; `--set` values apply on top.\n"
        "\n"
        "| preset | scattering \u03c3s\u2032 (1/mm) | absorption \u03c3a (1/mm) | color (computed) "
        "| "
        "published reflectance | " +
        index +
        " |\n"
        "|---|---|---|---|---|---|\n";
    for (const MeasuredMaterial& material : measuredMaterials()) {
        page += "| " + material.name + " | " +
                printed("%.2f, %.2f, %.2f", material.reducedScattering) + " | " +
                printed("%g, %g, %g", material.absorption) + " | " +
                printed("%.3f, %.3f, %.3f", reflectanceOf(material)) + " | " +
                printed("%.2f, %.2f, %.2f", material.publishedReflectance) + " | " +
                number(material.eta) + " |\n";
    }
    const ReferencePicture sheet = referencePictures().back();
    std::string command = "lumaveil-preview";
    for (const std::string& argument : sheet.arguments) {
        command += " " + argument;
    }
    page +=
        "\n"
        "The twelve presets, each through Maya (left), mental ray (middle) and Arnold (right):\n"
        "\n"
        "![The twelve measured materials, each through Maya, mental ray and Arnold](images/" +
        sheet.file + ")\n\n" + code(command) + "\n";
    return page;
}

}  // namespace

std::string attributeReferenceMarkdown() {
    return attributeTable() +
           "\n"
           "The three hosts use these values differently in places, by design;\n"
           "[Why the three differ](preview.md#why-the-three-differ) in the preview's "
           "guide lists where.\n"
           "\n"
           "## What each attribute does to a swatch\n"
           "\n"
           "Every attribute above changes a swatch, so each has a strip. It steps the attribute\n"
           "evenly across its soft range, or a range given where it has none, with every other\n"
           "attribute at its default: Maya's swatches on top, mental ray's (brighter by design)\n"
           "in the middle and Arnold's at the bottom, each column labelled with its value. The "
           "command under a strip renders it\n"
           "again; a larger `--size` gives larger swatches.\n" +
           stripSections(materialAttributes) + rendererOnlyTable() +
           stripSections(rendererOnlyAttributes) + measuredMaterialsSection();
}

}  // namespace lumaveil::reference
