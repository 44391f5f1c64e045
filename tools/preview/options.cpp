#include "options.h"

#include <charconv>
#include <cmath>

namespace lumaveil::preview {

namespace {

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

float parseFloat(std::string_view text, std::string_view what) {
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        throw UsageError(std::string(what) + ": " + quoted(text) + " is not a finite number");
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
                         quoted(text));
    }
    return value;
}

// NAME=VALUE, where VALUE is one number, or r,g,b for a colour.
void applySetting(std::string_view text, MaterialSettings& settings) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        throw UsageError("--set takes NAME=VALUE, not " + quoted(text));
    }
    const std::string_view name = text.substr(0, equals);
    const std::string_view value = text.substr(equals + 1);
    const MaterialAttribute* attribute = findMaterialAttribute(name);
    if (!attribute) {
        std::string message = "unknown attribute " + quoted(name);
        const auto nearest = nearestAttributeNames(name);
        for (std::size_t i = 0; i < nearest.size(); ++i) {
            message += (i == 0 ? "; did you mean " : ", ") + quoted(nearest[i]);
        }
        throw UsageError(message + (nearest.empty() ? "" : "?"));
    }
    std::vector<float> numbers;
    std::string_view rest = value;
    while (true) {
        const std::size_t comma = rest.find(',');
        numbers.push_back(parseFloat(rest.substr(0, comma), attribute->longName));
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    if (attribute->components == 3 && numbers.size() == 3) {
        settings.set(*attribute, {numbers[0], numbers[1], numbers[2]});
    } else if (numbers.size() == 1) {
        // A single number sets every channel of a colour.
        settings.set(*attribute, {numbers[0], numbers[0], numbers[0]});
    } else {
        throw UsageError(
            std::string(attribute->longName) + " takes " +
            (attribute->components == 3 ? "one number or three (r,g,b)" : "one number") + ", not " +
            std::to_string(numbers.size()));
    }
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

}  // namespace

Options parseOptions(const std::vector<std::string_view>& arguments) {
    Options options;
    std::vector<std::string_view> settings;
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
                throw UsageError("--host takes maya, mentalray or both, not " + quoted(host));
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
                throw UsageError("unknown preset " + quoted(options.presetName) +
                                 " (known: " + known + ")");
            }
        } else if (argument == "--list-presets") {
            flag();
            options.listPresets = true;
        } else if (argument == "--grid") {
            flag();
            options.grid = true;
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
        } else if (argument == "--output" || argument == "-o") {
            options.output = value();
            if (options.output.empty()) {
                throw UsageError("--output needs a path");
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
            throw UsageError("unknown option " + quoted(argument) + " (see --help)");
        }
    }
    if (!options.presetName.empty()) {
        applyMeasuredMaterial(*findMeasuredMaterial(options.presetName), options.material);
    }
    for (std::string_view setting : settings) {
        applySetting(setting, options.material);
    }
    return options;
}

std::string usageText() {
    return R"(usage: lumaveil-preview [options]
Renders a lumaVeil material swatch through the Maya node and the renderer shader.
  --host maya|mentalray|both   which deliverable renders (default both, side by side)
  --preset NAME                a measured material (see --list-presets)
  --set NAME=VALUE             a node attribute by long or short name; VALUE is a
                               number or r,g,b (--set color=0.8,0.45,0.35 --set dfst=3)
  --list-presets               print the measured materials and their values
  --grid                       render every preset as a contact sheet
  --size N | WxH               size of one swatch in pixels (default 256)
  --samples N                  samples per pixel, a square number (default 4)
  --threads N                  rendering threads (default: every core)
  --output PATH                write PATH.png (8-bit sRGB) and PATH.exr (linear float)
  --plugin PATH, --shader PATH, --renderer PATH
                               libraries to load instead of the built ones
)";
}

}  // namespace lumaveil::preview
