#include "referencePictures.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <stdexcept>

#include "numberText.h"
#include "options.h"
#include "sheet.h"

namespace lumaveil::reference {

namespace {

using namespace preview;

Options parsedArguments(const std::vector<std::string>& arguments) {
    return parseOptions(std::vector<std::string_view>(arguments.begin(), arguments.end()));
}

// The picture the arguments ask for, linear, with its cells.
struct RenderedPicture {
    Options options;
    std::vector<SheetCell> cells;
    SheetRender render;
};

RenderedPicture renderPicture(const std::vector<std::string>& arguments,
                              std::span<const std::unique_ptr<SwatchRenderer>> renderers,
                              int threads) {
    RenderedPicture picture{parsedArguments(arguments), {}, {}};
    picture.cells = sheetCells(picture.options);
    RenderSettings settings;
    settings.samples = picture.options.samples;
    settings.threads = threads;
    picture.render = renderSheet(picture.options, picture.cells, renderers, settings);
    return picture;
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

Strip stripOf(const MaterialAttribute& attribute) {
    Strip strip;
    strip.file = std::string(attribute.longName) + ".png";
    strip.from = attribute.referenceStrip.from;
    strip.to = attribute.referenceStrip.to;
    strip.note = attribute.referenceStrip.note;
    if (strip.from.empty() && attribute.softMin && attribute.softMax) {
        strip.from = printed("%g", *attribute.softMin);
        strip.to = printed("%g", *attribute.softMax);
        strip.softRange = true;
    }
    if (strip.from.empty()) {
        throw std::logic_error("the attribute reference has no strip range for " +
                               std::string(attribute.longName));
    }
    strip.count = strip.from == "-" + strip.to ? 5 : 6;
    strip.sweep = std::string(attribute.longName) + "=" + strip.from + ":" + strip.to + ":" +
                  std::to_string(strip.count);
    return strip;
}

std::vector<ReferencePicture> referencePictures() {
    std::vector<ReferencePicture> pictures;
    for (std::size_t i = 0; i < materialInputCount; ++i) {
        const Strip strip = stripOf(materialInputAt(i));
        pictures.push_back(
            {strip.file, {"--sweep", strip.sweep, "--size", std::string(stripSwatchSize)}});
    }
    pictures.push_back({"presets.png", {"--grid", "--size", "112"}});
    return pictures;
}

DisplayImage renderReferencePicture(const ReferencePicture& picture,
                                    std::span<const std::unique_ptr<SwatchRenderer>> renderers,
                                    LabelFont& font, int threads) {
    const RenderedPicture rendered = renderPicture(picture.arguments, renderers, threads);
    return displaySheet(rendered.options, rendered.render.image, rendered.cells,
                        hostNamesOf(renderers), &font);
}

std::string pictureList(std::span<const std::unique_ptr<SwatchRenderer>> renderers, int threads) {
    std::string list =
        "# The pictures of docs/attributes.md, written with it by generate-attribute-reference;\n"
        "# do not edit. Per picture: its file, its size, a fingerprint of the same arguments\n"
        "# rendered at --size 16 (the page's test renders it again) and the lumaveil-preview\n"
        "# arguments that render it.\n";
    for (const ReferencePicture& picture : referencePictures()) {
        const SheetLayout layout = sheetLayout(parsedArguments(picture.arguments));
        // The same arguments at 16 pixels a swatch: the tool takes one --size.
        std::vector<std::string> coarse = picture.arguments;
        if (const auto size = std::find(coarse.begin(), coarse.end(), "--size");
            size != coarse.end() && std::next(size) != coarse.end()) {
            *std::next(size) = "16";
        } else {
            coarse.insert(coarse.end(), {"--size", "16"});
        }
        const RenderedPicture rendered = renderPicture(coarse, renderers, threads);
        const DisplayImage unlabelled =
            displaySheet(rendered.options, rendered.render.image, rendered.cells,
                         hostNamesOf(renderers), nullptr);
        char line[64];
        std::snprintf(
            line, sizeof line, "%dx%d %016llx", layout.width, layout.height,
            static_cast<unsigned long long>(fingerprint(rendered.render.image, unlabelled)));
        list += picture.file + " " + line;
        for (const std::string& argument : picture.arguments) {
            list += " " + argument;
        }
        list += "\n";
    }
    return list;
}

}  // namespace lumaveil::reference
