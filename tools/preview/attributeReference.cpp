#include "attributeReference.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "materials.h"
#include "options.h"
#include "sheet.h"

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

// The strips' ranges where an input has no soft range, and what to say
// beside a strip.
struct StripChoice {
    std::string_view name;
    std::string_view from, to;  // empty: the soft range
    std::string_view note;
};
constexpr StripChoice stripChoices[] = {
    {"color", "0", "1", "Grey: the three channels alike."},
    {"transparency", "0", "1", "Only Maya's row changes: the renderer shader is opaque."},
    {"ambientColor", "0", "1", ""},
    {"incandescence", "0", "1", ""},
    {"absorption", "0", "2.5", "Scattering stays at its default, 0.5."},
    {"scattering", "0", "2.5", "Absorption stays at its default, 0.5."},
    {"anisotropy", "", "",
     "Towards \u22121 and 1 the renderer's phase weight turns negative over much of the sphere: "
     "its result there falls below zero, shown black. Maya's weight falls to 0 at both "
     "ends."},
    {"diffuseAnisotropy", "", "",
     "Towards 1 the renderer's phase weight turns negative at the sphere's rim: its result there "
     "falls below zero, shown black. Maya's weight falls to 0 at both ends."},
    {"specularColor", "0", "1", ""},
    {"normalCamera", "-0.8,0,0", "0.8,0,0",
     "Only mental ray's row changes: the Maya node takes its normal from the geometry."},
};

// The swatch size of the strips: the sphere fills the width, leaving room
// above and below for the labels.
constexpr const char* stripSwatchSize = "96x120";

// An input's strip: its soft range or the range chosen above, in five steps
// when centred on 0 (so that 0 is one) and six otherwise.
struct Strip {
    std::string from, to;
    int count;
    bool softRange;
    std::string_view note;

    std::string sweepArgument(const MaterialAttribute& attribute) const {
        return std::string(attribute.longName) + "=" + from + ":" + to + ":" +
               std::to_string(count);
    }
};

Strip stripOf(const MaterialAttribute& attribute) {
    Strip strip{"", "", 6, false, ""};
    for (const StripChoice& choice : stripChoices) {
        if (choice.name == attribute.longName) {
            strip.from = choice.from;
            strip.to = choice.to;
            strip.note = choice.note;
        }
    }
    if (strip.from.empty() && attribute.softMin && attribute.softMax) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", *attribute.softMin);
        strip.from = text;
        std::snprintf(text, sizeof text, "%g", *attribute.softMax);
        strip.to = text;
        strip.softRange = true;
    }
    if (strip.from.empty()) {
        throw std::logic_error("the attribute reference has no strip range for " +
                               std::string(attribute.longName));
    }
    strip.count = strip.from == "-" + strip.to ? 5 : 6;
    return strip;
}

std::string pictureFile(const MaterialAttribute& attribute) {
    return std::string(attribute.longName) + ".png";
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
           ", Maya above and mental ray below](images/" + pictureFile(attribute) +
           ")\n\n`lumaveil-preview --sweep " + strip.sweepArgument(attribute) + " --size " +
           stripSwatchSize + "`\n";
}

Options parsedArguments(const std::vector<std::string>& arguments) {
    return parseOptions(std::vector<std::string_view>(arguments.begin(), arguments.end()));
}

SheetRender renderPicture(const Options& options, const std::vector<SheetCell>& cells,
                          std::span<const std::unique_ptr<SwatchHost>> hosts, int threads) {
    RenderSettings settings;
    settings.samples = options.samples;
    settings.threads = threads;
    return renderSheet(options, cells, hosts, settings);
}

std::vector<std::string> hostNamesOf(std::span<const std::unique_ptr<SwatchHost>> hosts) {
    std::vector<std::string> names;
    for (const auto& host : hosts) {
        names.push_back(host->name());
    }
    return names;
}

// FNV-1a, 64 bits, over the bits of the linear values and the 8-bit codes.
std::uint64_t fingerprint(const Image& linear, const DisplayImage& display) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    auto add = [&](const unsigned char* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            hash = (hash ^ bytes[i]) * 0x100000001b3u;
        }
    };
    for (const FloatVector& pixel : linear.pixels) {
        for (int k = 0; k < 3; ++k) {
            // The bits as the machine keeps them: little-endian on every
            // machine the preview is built for.
            const float value = pixel[k];
            unsigned char bytes[sizeof value];
            std::memcpy(bytes, &value, sizeof bytes);
            add(bytes, sizeof bytes);
        }
    }
    add(display.codes.data(), display.codes.size());
    return hash;
}

}  // namespace

std::vector<ReferencePicture> referencePictures() {
    std::vector<ReferencePicture> pictures;
    auto addStrip = [&](const MaterialAttribute& attribute) {
        pictures.push_back(
            {pictureFile(attribute),
             {"--sweep", stripOf(attribute).sweepArgument(attribute), "--size", stripSwatchSize}});
    };
    for (const MaterialAttribute& attribute : materialAttributes) {
        addStrip(attribute);
    }
    for (const MaterialAttribute& attribute : rendererOnlyAttributes) {
        addStrip(attribute);
    }
    pictures.push_back({"presets.png", {"--grid", "--size", "112"}});
    return pictures;
}

DisplayImage renderReferencePicture(const ReferencePicture& picture,
                                    std::span<const std::unique_ptr<SwatchHost>> hosts,
                                    LabelFont& font, int threads) {
    const Options options = parsedArguments(picture.arguments);
    const std::vector<SheetCell> cells = sheetCells(options);
    const SheetRender render = renderPicture(options, cells, hosts, threads);
    return displaySheet(options, render.image, cells, hostNamesOf(hosts), &font);
}

std::string pictureList(std::span<const std::unique_ptr<SwatchHost>> hosts, int threads) {
    std::string list =
        "# The pictures of docs/attributes.md, written with it by generate-attribute-reference;\n"
        "# do not edit. Per picture: its file, its size, a fingerprint of the same arguments\n"
        "# rendered at --size 16 (the page's test renders it again) and the lumaveil-preview\n"
        "# arguments that render it.\n";
    for (const ReferencePicture& picture : referencePictures()) {
        const SheetLayout layout = sheetLayout(parsedArguments(picture.arguments));
        std::vector<std::string> coarse = picture.arguments;
        coarse.insert(coarse.end(), {"--size", "16"});
        const Options options = parsedArguments(coarse);
        const std::vector<SheetCell> cells = sheetCells(options);
        const SheetRender render = renderPicture(options, cells, hosts, threads);
        char line[64];
        std::snprintf(line, sizeof line, "%dx%d %016llx", layout.width, layout.height,
                      static_cast<unsigned long long>(
                          fingerprint(render.image, displaySheet(options, render.image, cells,
                                                                 hostNamesOf(hosts), nullptr))));
        list += picture.file + " " + line;
        for (const std::string& argument : picture.arguments) {
            list += " " + argument;
        }
        list += "\n";
    }
    return list;
}

std::string attributeReferenceMarkdown() {
    std::string page =
        "<!-- Written by generate-attribute-reference from tools/preview/materials.h and\n"
        "     tools/preview/measuredMaterials.csv, with the pictures in images/ rendered\n"
        "     through the built plug-in and shader; do not edit it by hand. After changing\n"
        "     them, the model or the preview, run:\n"
        "     cmake --build build/default --target regenerate-attribute-reference -->\n"
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
        "## What each attribute does to a swatch\n"
        "\n"
        "Every attribute above changes a swatch, so each has a strip. It steps the attribute\n"
        "evenly across its soft range, or a range given where it has none, with every other\n"
        "attribute at its default: Maya's swatches above, mental ray's below (brighter by\n"
        "design), each column labelled with its value. The command under a strip renders it\n"
        "again; a larger `--size` gives larger swatches.\n";
    for (const MaterialAttribute& attribute : materialAttributes) {
        page += stripSection(attribute);
    }
    page +=
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
    for (const MaterialAttribute& attribute : rendererOnlyAttributes) {
        page += stripSection(attribute);
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
    const ReferencePicture sheet = referencePictures().back();
    std::string command = "lumaveil-preview";
    for (const std::string& argument : sheet.arguments) {
        command += " " + argument;
    }
    page +=
        "\n"
        "The twelve presets, each through Maya (left) and mental ray (right):\n"
        "\n"
        "![The twelve measured materials, each through Maya and mental ray](images/" +
        sheet.file + ")\n\n" + code(command) + "\n";
    return page;
}

}  // namespace lumaveil::preview
