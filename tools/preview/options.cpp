#include "options.h"

#include "labels.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>

namespace lumaveil::preview {

namespace {

std::string inQuotes(std::string_view text) {
    return "'" + std::string(text) + "'";
}

float parseFloat(std::string_view text, std::string_view what) {
    // from_chars takes no plus sign; one before a digit or point is fine.
    std::string_view digits = text;
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-' && digits[1] != '+') {
        digits.remove_prefix(1);
    }
    float value = 0.0f;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc::result_out_of_range && end == digits.data() + digits.size()) {
        // A number too small for a float is taken as the float it rounds to
        // (zero or the nearest subnormal); one too large is refused below.
        const std::string whole(digits);
        value = std::strtof(whole.c_str(), nullptr);
        error = std::abs(value) <= std::numeric_limits<float>::min() ? std::errc{} : error;
    }
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
        !std::isfinite(value)) {
        throw UsageError(std::string(what) + ": " + inQuotes(text) + " is not a finite number");
    }
    return value;
}

int parseCount(std::string_view text, std::string_view option, int least, int most) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < least ||
        value > most) {
        throw UsageError(std::string(option) + " takes a whole number from " +
                         std::to_string(least) + " to " + std::to_string(most) + ", not " +
                         inQuotes(text));
    }
    return value;
}

std::string formatLimit(double limit) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", limit);
    return text;
}

// The input a --set or --sweep names, by its long or short name.
const MaterialAttribute& attributeNamed(std::string_view name, std::string_view option) {
    if (const MaterialAttribute* attribute = findMaterialAttribute(name)) {
        return *attribute;
    }
    if (const RendererOnlyParameter* parameter = findRendererOnlyParameter(name)) {
        throw UsageError(
            std::string(option) + " cannot take " + inQuotes(name) +
            ", a parameter of the renderer shader alone: " + std::string(parameter->notInSwatch));
    }
    std::string message = "unknown attribute " + inQuotes(name);
    const auto nearest = nearestAttributeNames(name);
    for (std::size_t i = 0; i < nearest.size(); ++i) {
        message += (i == 0 ? "; did you mean " : ", ") + inQuotes(nearest[i]);
    }
    throw UsageError(message + (nearest.empty() ? "" : "?"));
}

// One number, or r,g,b (x,y,z) for a colour (direction); one number sets
// every component alike.
FloatVector parseValue(const MaterialAttribute& attribute, std::string_view value) {
    std::vector<float> numbers;
    std::string_view rest = value;
    while (true) {
        const std::size_t comma = rest.find(',');
        numbers.push_back(parseFloat(rest.substr(0, comma), attribute.longName));
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    if (attribute.hardMin) {
        for (const float number : numbers) {
            if (number < *attribute.hardMin) {
                throw UsageError(std::string(attribute.longName) + " must be at least " +
                                 formatLimit(*attribute.hardMin) +
                                 ", the node's hard minimum, not " + inQuotes(value));
            }
        }
    }
    if (attribute.components == 3 && numbers.size() == 3) {
        return {numbers[0], numbers[1], numbers[2]};
    }
    if (numbers.size() == 1) {
        return {numbers[0], numbers[0], numbers[0]};
    }
    throw UsageError(std::string(attribute.longName) + " takes " +
                     (attribute.components == 1 ? "one number"
                      : attribute.direction     ? "one number or three (x,y,z)"
                                                : "one number or three (r,g,b)") +
                     ", not " + std::to_string(numbers.size()));
}

// NAME=VALUE.
void applySetting(std::string_view text, MaterialSettings& settings) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        throw UsageError("--set takes NAME=VALUE, not " + inQuotes(text));
    }
    const MaterialAttribute& attribute = attributeNamed(text.substr(0, equals), "--set");
    settings.set(attribute, parseValue(attribute, text.substr(equals + 1)));
}

// NAME=FROM:TO:COUNT, FROM and TO as --set takes a value.
Sweep parseSweep(std::string_view text) {
    const std::size_t equals = text.find('=');
    const std::size_t first = text.find(':', equals);
    const std::size_t second = text.find(':', first == std::string_view::npos ? first : first + 1);
    if (equals == std::string_view::npos || first == std::string_view::npos ||
        second == std::string_view::npos || text.find(':', second + 1) != std::string_view::npos) {
        throw UsageError("--sweep takes NAME=FROM:TO:COUNT, not " + inQuotes(text));
    }
    Sweep sweep;
    sweep.attribute = &attributeNamed(text.substr(0, equals), "--sweep");
    sweep.from = parseValue(*sweep.attribute, text.substr(equals + 1, first - equals - 1));
    sweep.to = parseValue(*sweep.attribute, text.substr(first + 1, second - first - 1));
    sweep.count = parseCount(text.substr(second + 1), "--sweep's COUNT", Sweep::fewestSteps,
                             Sweep::mostSteps);
    return sweep;
}

void parseSize(std::string_view text, Options& options) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) {
        options.width = options.height = parseCount(text, "--size", 1, 8192);
    } else {
        options.width = parseCount(text.substr(0, x), "--size", 1, 8192);
        options.height = parseCount(text.substr(x + 1), "--size", 1, 8192);
    }
}

// The output must name a file: "out/", "." or "out/.png" would write hidden
// files named ".png" and ".exr", or "..png", beside or inside the folder.
void checkOutput(const Options& options) {
    const std::string stem = options.outputStem();
    const std::filesystem::path path(stem);
    const std::string name = path.filename().string();
    if (!name.empty() && name != "." && name != "..") {
        return;
    }
    const bool folder = name == "." || name == ".." || stem.ends_with('/');
    const std::filesystem::path example =
        (folder ? path / "swatch" : path.parent_path() / "swatch").lexically_normal();
    throw UsageError("--output " + inQuotes(options.output) +
                     (folder ? " names a folder" : " names no file") +
                     "; give a file name, such as " + inQuotes(example.string()));
}

std::string megapixels(std::int64_t pixels) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", static_cast<double>(pixels) / 1e6);
    return text;
}

void checkImageSize(const Options& options) {
    const SheetLayout layout = sheetLayout(options);
    const std::int64_t pixels = std::int64_t{layout.width} * layout.height;
    if (pixels > maxImagePixels) {
        throw UsageError("the image would be " + std::to_string(layout.width) + "x" +
                         std::to_string(layout.height) + " pixels (" + megapixels(pixels) +
                         " M, about " +
                         std::to_string((pixels * 27 + (std::int64_t{1} << 30) - 1) >> 30) +
                         " GB to render); the limit is " + megapixels(maxImagePixels) +
                         " M pixels: give a smaller --size");
    }
}

}  // namespace

std::string Options::outputStem() const {
    std::string stem = output;
    for (const std::string_view extension : {".png", ".exr"}) {
        if (stem.ends_with(extension)) {
            stem.resize(stem.size() - extension.size());
        }
    }
    return stem;
}

SheetLayout sheetLayout(const Options& options) {
    SheetLayout layout;
    layout.swatchWidth = options.width;
    layout.swatchHeight = options.height;
    layout.hostsStacked = options.sweep.has_value();
    const int hosts = options.hostCount();
    layout.cellWidth = options.width * (layout.hostsStacked ? 1 : hosts);
    layout.cellHeight = options.height * (layout.hostsStacked ? hosts : 1);
    const int cells = options.grid    ? static_cast<int>(measuredMaterials().size())
                      : options.sweep ? options.sweep->count
                                      : 1;
    layout.columns = options.grid ? 4 : cells;
    layout.rows = (cells + layout.columns - 1) / layout.columns;
    layout.width = layout.cellWidth * layout.columns;
    layout.height = layout.cellHeight * layout.rows;
    return layout;
}

Options parseOptions(const std::vector<std::string_view>& arguments) {
    Options options;
    std::vector<std::string_view> settings;
    std::optional<std::string_view> sweep;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        std::string_view inlineValue;
        bool hasInlineValue = false;
        if (argument.starts_with("--")) {
            if (const std::size_t equals = argument.find('='); equals != std::string_view::npos) {
                inlineValue = argument.substr(equals + 1);
                argument = argument.substr(0, equals);
                hasInlineValue = true;
            }
        }
        auto value = [&]() -> std::string_view {
            if (hasInlineValue) {
                return inlineValue;
            }
            if (i + 1 >= arguments.size()) {
                throw UsageError(std::string(argument) + " needs a value");
            }
            return arguments[++i];
        };
        auto flag = [&] {
            if (hasInlineValue) {
                throw UsageError(std::string(argument) + " takes no value");
            }
        };
        if (argument == "--host") {
            const std::string_view host = value();
            if (host == "maya") {
                options.host = HostChoice::maya;
            } else if (host == "mentalray") {
                options.host = HostChoice::mentalray;
            } else if (host == "both") {
                options.host = HostChoice::both;
            } else {
                throw UsageError("--host takes maya, mentalray or both, not " + inQuotes(host));
            }
        } else if (argument == "--set") {
            settings.push_back(value());
        } else if (argument == "--preset") {
            options.presetName = value();
            if (!findMeasuredMaterial(options.presetName)) {
                std::string known;
                for (const MeasuredMaterial& material : measuredMaterials()) {
                    known += (known.empty() ? "" : ", ") + material.name;
                }
                throw UsageError("unknown preset " + inQuotes(options.presetName) +
                                 " (known: " + known + ")");
            }
        } else if (argument == "--list-presets") {
            flag();
            options.listPresets = true;
        } else if (argument == "--grid") {
            flag();
            options.grid = true;
        } else if (argument == "--sweep") {
            if (sweep) {
                throw UsageError("--sweep is given twice; a strip steps one input");
            }
            sweep = value();
        } else if (argument == "--size") {
            parseSize(value(), options);
        } else if (argument == "--samples") {
            options.samples = parseCount(value(), "--samples", 1, 1024);
            const int side = static_cast<int>(std::lround(std::sqrt(options.samples)));
            if (side * side != options.samples) {
                throw UsageError("--samples takes a square number (1, 4, 9, 16, ...), not " +
                                 std::to_string(options.samples));
            }
        } else if (argument == "--threads") {
            options.threads = parseCount(value(), "--threads", 1, 1024);
        } else if (argument == "--exposure") {
            const float stops = parseFloat(value(), "--exposure");
            if (stops < -20.0f || stops > 20.0f) {
                throw UsageError("--exposure takes stops from -20 to 20, not " +
                                 formatLimit(stops));
            }
            options.toneCurve.exposure = stops;
        } else if (argument == "--tonemap") {
            const std::string_view map = value();
            if (map == "filmic") {
                options.toneCurve.map = ToneMap::filmic;
            } else if (map == "clip") {
                options.toneCurve.map = ToneMap::clip;
            } else {
                throw UsageError("--tonemap takes filmic or clip, not " + inQuotes(map));
            }
        } else if (argument == "--output" || argument == "-o") {
            options.output = value();
            if (options.output.empty()) {
                throw UsageError("--output needs a path");
            }
        } else if (argument == "--font") {
            options.fontPath = value();
            if (options.fontPath.empty()) {
                throw UsageError("--font needs a path");
            }
        } else if (argument == "--plugin") {
            options.pluginPath = value();
        } else if (argument == "--shader") {
            options.shaderPath = value();
        } else if (argument == "--renderer") {
            options.rendererPath = value();
        } else if (argument == "--help" || argument == "-h") {
            flag();
            options.help = true;
        } else {
            throw UsageError("unknown option " + inQuotes(argument) + " (see --help)");
        }
    }
    if (options.grid && !options.presetName.empty()) {
        throw UsageError(
            "--grid renders every preset and takes no --preset; --set values apply "
            "to every cell");
    }
    if (options.grid && sweep) {
        throw UsageError("--grid and --sweep each make a sheet of their own; give one");
    }
    if (!options.presetName.empty()) {
        applyMeasuredMaterial(*findMeasuredMaterial(options.presetName), options.material);
    }
    for (std::string_view setting : settings) {
        applySetting(setting, options.material);
    }
    options.anySet = !settings.empty();
    if (sweep) {
        options.sweep = parseSweep(*sweep);
        const MaterialAttribute* swept = options.sweep->attribute;
        for (std::string_view setting : settings) {
            if (findMaterialAttribute(setting.substr(0, setting.find('='))) == swept) {
                throw UsageError("--sweep steps " + std::string(swept->longName) +
                                 ", which a --set also sets; give one");
            }
        }
    }
    checkOutput(options);
    checkImageSize(options);
    return options;
}

std::string usageText() {
    return R"(usage: lumaveil-preview [options]
Renders a lumaVeil material swatch, a lit sphere, through the Maya node (left)
and the renderer shader (right). The halves differ by design: see the README.
  --host maya|mentalray|both   which deliverable renders (default both, side by side)
  --preset NAME                a measured material (see --list-presets)
  --set NAME=VALUE             a node attribute by long or short name; VALUE is a
                               number or r,g,b (--set color=0.8,0.45,0.35 --set dfst=3);
                               also the renderer shader's normalCamera offset (x,y,z);
                               see docs/attributes.md
  --list-presets               print the measured materials and their values
  --grid                       render every preset as a labelled contact sheet,
                               four across; --set values apply to every cell
  --sweep NAME=FROM:TO:COUNT   render COUNT swatches (2 to 16) in a row, NAME
                               stepping evenly from FROM to TO (a colour:
                               r,g,b:r,g,b:COUNT), one row per host, each
                               labelled with its value (--sweep dfst=0:10:6)
  --size N | WxH               size of one swatch in pixels (default 256); the
                               sphere is fitted to the shorter side
  --samples N                  samples per pixel, a square number (default 4)
  --threads N                  rendering threads (default: every core)
  --exposure EV                brighten (or darken, if negative) the PNG by EV stops
                               before the tone curve (default 0)
  --tonemap filmic|clip        the PNG's tone curve: filmic (default) keeps
                               highlights above 1 apart; clip cuts them at 1
  -o, --output PATH            write PATH.png (8-bit sRGB, tone-mapped, labelled) and
                               PATH.exr (linear float, untouched); PATH names a file,
                               not a folder (default: lumaveil-preview, so
                               lumaveil-preview.png and .exr in the current folder)
  --font PATH                  TrueType or OpenType font for the labels (default
                               )" +
           defaultFontPath() + R"()
  --plugin PATH, --shader PATH, --renderer PATH
                               libraries to load instead of the built ones
  -h, --help                   print this help
Bad input gets a one-line error and exit status 2.
)";
}

}  // namespace lumaveil::preview
