#include "options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "defaultFont.h"
#include "numberText.h"

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
        // (zero or the nearest subnormal); one too large is refused.
        const std::string whole(digits);
        value = std::strtof(whole.c_str(), nullptr);
        if (std::abs(value) > std::numeric_limits<float>::min()) {
            throw UsageError(std::string(what) + ": " + inQuotes(text) +
                             " is too large for a float (at most about 3.4e38)");
        }
        error = std::errc{};
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
                                 printed("%g", *attribute.hardMin) +
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
                      : isDirection(attribute)  ? "one number or three (x,y,z)"
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

// What the arguments say, before the preset, the settings and the sweep are
// applied in their own order.
struct CommandLine {
    Options options;
    std::vector<std::string_view> settings;  // every --set, in order
    std::optional<std::string_view> sweep;
};

// One host, a comma list of them, or all; both, from before Arnold joined
// the two, is Maya and mental ray still. The swatches keep allHosts' order
// whatever the list's.
void readHost(std::string_view text, CommandLine& line) {
    std::vector<Host>& hosts = line.options.hosts;
    if (text == "all") {
        hosts.assign(defaultHosts.begin(), defaultHosts.end());
        return;
    }
    if (text == "both") {
        hosts = {Host::maya, Host::mentalray};
        return;
    }
    std::array<bool, allHosts.size()> chosen{};
    for (std::string_view rest = text;;) {
        const std::size_t comma = rest.find(',');
        const std::string_view name = rest.substr(0, comma);
        const auto host = std::find_if(allHosts.begin(), allHosts.end(),
                                       [&](Host h) { return hostName(h) == name; });
        if (host == allHosts.end()) {
            throw UsageError(
                "--host takes maya, mentalray, arnold, viewport, a comma list of them, all or "
                "both, not " +
                inQuotes(text));
        }
        chosen[static_cast<std::size_t>(host - allHosts.begin())] = true;
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    hosts.clear();
    for (std::size_t i = 0; i < allHosts.size(); ++i) {
        if (chosen[i]) {
            hosts.push_back(allHosts[i]);
        }
    }
}

void readPreset(std::string_view name, CommandLine& line) {
    line.options.presetName = name;
    if (!findMeasuredMaterial(name)) {
        std::string known;
        for (const MeasuredMaterial& material : measuredMaterials()) {
            known += (known.empty() ? "" : ", ") + material.name;
        }
        throw UsageError("unknown preset " + inQuotes(name) + " (known: " + known + ")");
    }
}

void readSize(std::string_view text, CommandLine& line) {
    Options& options = line.options;
    const std::size_t x = text.find('x');
    try {
        if (x == std::string_view::npos) {
            options.width = options.height = parseCount(text, "--size", 1, 8192);
        } else {
            options.width = parseCount(text.substr(0, x), "--size", 1, 8192);
            options.height = parseCount(text.substr(x + 1), "--size", 1, 8192);
        }
    } catch (const UsageError&) {
        throw UsageError(
            "--size takes N or WxH, whole numbers from 1 to 8192 such as 256 or 320x240, not " +
            inQuotes(text));
    }
}

void readSamples(std::string_view text, CommandLine& line) {
    const int samples = parseCount(text, "--samples", 1, 1024);
    const int side = static_cast<int>(std::lround(std::sqrt(samples)));
    if (side * side != samples) {
        throw UsageError("--samples takes a square number (1, 4, 9, 16, ...), not " +
                         std::to_string(samples));
    }
    line.options.samples = samples;
}

void readExposure(std::string_view text, CommandLine& line) {
    const float stops = parseFloat(text, "--exposure");
    if (stops < -20.0f || stops > 20.0f) {
        throw UsageError("--exposure takes stops from -20 to 20, not " + printed("%g", stops));
    }
    line.options.toneCurve.exposure = stops;
}

void readToneMap(std::string_view map, CommandLine& line) {
    if (map == "filmic") {
        line.options.toneCurve.map = ToneMap::filmic;
    } else if (map == "clip") {
        line.options.toneCurve.map = ToneMap::clip;
    } else {
        throw UsageError("--tonemap takes filmic or clip, not " + inQuotes(map));
    }
}

std::string nonEmptyPath(std::string_view path, std::string_view option) {
    if (path.empty()) {
        throw UsageError(std::string(option) + " needs a path");
    }
    return std::string(path);
}

// Every option, in the order --help lists them.
using Spec = OptionSpec<CommandLine>;
constexpr Spec optionSpecs[] = {
    {"--host", "", "HOSTS",
     "the renderers, side by side: maya, mentalray,\n"
     "arnold, viewport or a comma list of them (--host\n"
     "maya,arnold); all, the default, is the three\n"
     "renderers; both is maya,mentalray; viewport,\n"
     "Viewport 2.0 on the GPU (or Mesa's llvmpipe),\n"
     "only when named",
     readHost},
    {"--preset", "", "NAME", "a measured material (see --list-presets)", readPreset},
    {"--set", "", "NAME=VALUE",
     "a node attribute by long or short name; VALUE is a\n"
     "number or r,g,b (--set color=0.8,0.45,0.35 --set dfst=3);\n"
     "also the mental ray shader's normalCamera offset (x,y,z);\n"
     "see docs/attributes.md",
     [](std::string_view setting, CommandLine& line) { line.settings.push_back(setting); }, true},
    {"--list-presets", "", "", "print the measured materials and their values",
     [](std::string_view, CommandLine& line) { line.options.listPresets = true; }},
    {"--grid", "", "",
     "render every preset as a labelled contact sheet,\n"
     "four across; --set values apply to every cell",
     [](std::string_view, CommandLine& line) { line.options.grid = true; }},
    {"--sweep", "", "NAME=FROM:TO:COUNT",
     "render COUNT swatches (2 to 16) in a row, NAME\n"
     "stepping evenly from FROM to TO (a colour:\n"
     "r,g,b:r,g,b:COUNT), one row per host, each\n"
     "labelled with its value (--sweep dfst=0:10:6)",
     [](std::string_view sweep, CommandLine& line) { line.sweep = sweep; }, false,
     "a strip steps one input"},
    {"--size", "", "N | WxH",
     "size of one swatch in pixels (default 256); the\n"
     "sphere is fitted to the shorter side",
     readSize},
    {"--samples", "", "N", "samples per pixel, a square number (default 4)", readSamples},
    {"--threads", "", "N", "rendering threads (default: every core)",
     [](std::string_view threads, CommandLine& line) {
         line.options.threads = parseCount(threads, "--threads", 1, 1024);
     }},
    {"--exposure", "", "EV",
     "brighten (or darken, if negative) the PNG by EV stops\n"
     "before the tone curve (default 0)",
     readExposure},
    {"--tonemap", "", "filmic|clip",
     "the PNG's tone curve: filmic (default) keeps\n"
     "highlights above 1 apart; clip cuts them at 1",
     readToneMap},
    {"--output", "-o", "PATH",
     "write PATH.png (8-bit sRGB, tone-mapped, labelled) and\n"
     "PATH.exr (linear float, untouched); PATH names a file,\n"
     "not a folder (default: lumaveil-preview, so\n"
     "lumaveil-preview.png and .exr in the current folder)",
     [](std::string_view path, CommandLine& line) {
         line.options.output = nonEmptyPath(path, "--output");
     }},
    {"--font", "", "PATH",
     "TrueType or OpenType font for the labels (default\n"
     "{default font})",
     [](std::string_view path, CommandLine& line) {
         line.options.fontPath = nonEmptyPath(path, "--font");
     }},
    {"--plugin", "", "PATH", "",
     [](std::string_view path, CommandLine& line) {
         line.options.pluginPath = nonEmptyPath(path, "--plugin");
     }},
    {"--shader", "", "PATH", "",
     [](std::string_view path, CommandLine& line) {
         line.options.shaderPath = nonEmptyPath(path, "--shader");
     }},
    {"--renderer", "", "PATH", "",
     [](std::string_view path, CommandLine& line) {
         line.options.rendererPath = nonEmptyPath(path, "--renderer");
     }},
    {"--arnold-shader", "", "PATH", "libraries to load instead of the built ones",
     [](std::string_view path, CommandLine& line) {
         line.options.arnoldShaderPath = nonEmptyPath(path, "--arnold-shader");
     }},
    {"--help", "-h", "", "print this help",
     [](std::string_view, CommandLine& line) { line.options.help = true; }},
};

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
    return printed("%.0f", static_cast<double>(pixels) / 1e6);
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

// The preset first, then every --set in order, then the sweep over what they
// leave; the combinations that make no picture are refused.
Options applied(CommandLine line) {
    Options& options = line.options;
    if (options.grid && !options.presetName.empty()) {
        throw UsageError(
            "--grid renders every preset and takes no --preset; --set values apply "
            "to every cell");
    }
    if (options.grid && line.sweep) {
        throw UsageError("--grid and --sweep each make a sheet of their own; give one");
    }
    if (!options.presetName.empty()) {
        applyMeasuredMaterial(*findMeasuredMaterial(options.presetName), options.material);
    }
    for (std::string_view setting : line.settings) {
        applySetting(setting, options.material);
    }
    options.anySet = !line.settings.empty();
    if (line.sweep) {
        options.sweep = parseSweep(*line.sweep);
        const MaterialAttribute* swept = options.sweep->attribute;
        for (std::string_view setting : line.settings) {
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

}  // namespace

std::string_view hostName(Host host) {
    switch (host) {
        case Host::maya:
            return "maya";
        case Host::mentalray:
            return "mentalray";
        case Host::arnold:
            return "arnold";
        case Host::viewport:
            return "viewport";
    }
    return "";
}

bool Options::renders(Host host) const {
    return std::find(hosts.begin(), hosts.end(), host) != hosts.end();
}

std::string Options::outputStem() const {
    // One trailing .png or .exr, in any case, once: z.PNG gives z, and
    // x.png.exr gives x.png as y.exr.png gives y.exr.
    if (output.size() >= 4) {
        std::string extension = output.substr(output.size() - 4);
        for (char& c : extension) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (extension == ".png" || extension == ".exr") {
            return output.substr(0, output.size() - 4);
        }
    }
    return output;
}

SheetLayout sheetLayout(const Options& options) {
    const int cells = options.grid    ? static_cast<int>(measuredMaterials().size())
                      : options.sweep ? options.sweep->count
                                      : 1;
    return SheetLayout::of(options.width, options.height, options.hostCount(),
                           options.sweep.has_value(), cells, options.grid ? 4 : cells);
}

Options parseOptions(const std::vector<std::string_view>& arguments) {
    CommandLine line;
    readArguments<CommandLine>(optionSpecs, arguments, line);
    return applied(std::move(line));
}

std::string usageText() {
    std::string options = optionHelp<CommandLine>(optionSpecs);
    const std::string_view font = "{default font}";
    options.replace(options.find(font), font.size(), defaultFontPath());
    return "usage: lumaveil-preview [options]\n"
           "Renders a lumaVeil material swatch, a lit sphere, through the Maya node, the\n"
           "mental ray shader and the Arnold shader, left to right. They differ by design:\n"
           "see docs/preview.md (\"Why the three differ\").\n" +
           options +
           "Bad input gets a one-line error and exit status 2.\n"
           "docs/preview.md is this tool's guide and docs/attributes.md says what each\n"
           "attribute does. Both are installed in share/doc/lumaVeil/docs/ of the install\n"
           "prefix: ../../share/doc/lumaVeil/docs/ from the installed program's folder.\n";
}

}  // namespace lumaveil::preview
