// lumaveil-preview: renders a material swatch, a lit sphere in front of a
// plain backdrop, through the built Maya plug-in and renderer shader.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>

#include "hosts.h"
#include "labels.h"
#include "libraryChecks.h"
#include "options.h"
#include "outputFiles.h"
#include "sheet.h"
#include "toneCurve.h"

using namespace lumaveil::preview;

namespace {

constexpr const char* program = "lumaveil-preview";

int fail(const std::string& message) {
    std::cerr << program << ": error: " << message << '\n';
    return 2;
}

// What an output-only command printed must have reached its file.
int outputWritten() {
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        return fail(std::string("cannot write the output: ") + std::strerror(errno));
    }
    return 0;
}

void listPresets() {
    std::printf("%-11s %-22s %-25s %-22s %s\n", "preset", "scattering (sigma_s')",
                "absorption (sigma_a)", "color (dipole Rd)", "refractiveIndex");
    auto triple = [](lumaveil::FloatVector v, const char* format) {
        char text[64];
        std::snprintf(text, sizeof text, format, v.x, v.y, v.z);
        return std::string(text);
    };
    for (const MeasuredMaterial& material : measuredMaterials()) {
        std::printf("%-11s %-22s %-25s %-22s %.1f\n", material.name.c_str(),
                    triple(material.reducedScattering, "%.2f,%.2f,%.2f").c_str(),
                    triple(material.absorption, "%.4f,%.4f,%.4f").c_str(),
                    triple(reflectanceOf(material), "%.4f,%.4f,%.4f").c_str(),
                    static_cast<double>(material.refractiveIndex));
    }
}

// A bar on stderr while rows finish, only on a terminal.
class ProgressBar {
public:
    ProgressBar() : shown_(isatty(STDERR_FILENO)) {}
    // Rows finished so far, of the total; threads may report out of turn.
    void rowsDone(int done, int total) {
        if (!shown_) {
            return;
        }
        std::lock_guard lock(mutex_);
        const int percent = static_cast<int>(static_cast<long long>(done) * 100 / total);
        if (percent > lastPercent_) {
            lastPercent_ = percent;
            const int filled = percent * 40 / 100;
            std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                         std::string(40 - filled, ' ').c_str(), percent);
        }
    }
    void finish() {
        if (shown_) {
            std::fprintf(stderr, "\r%60s\r", "");
        }
    }

private:
    bool shown_;
    int lastPercent_ = -1;
    std::mutex mutex_;
};

long long countNonFinite(const Image& image) {
    return std::count_if(
        image.pixels.begin(), image.pixels.end(), [](const lumaveil::FloatVector& p) {
            return !std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z);
        });
}

int run(const Options& options) {
    // The labels' font: one given on the command line must be usable; the
    // default one may be missing, and the swatch is then unlabelled.
    std::unique_ptr<LabelFont> font;
    try {
        font = std::make_unique<LabelFont>(options.fontPath.empty() ? defaultFontPath()
                                                                    : options.fontPath);
    } catch (const std::runtime_error& error) {
        if (!options.fontPath.empty()) {
            return fail(error.what());
        }
        std::cerr << program << ": warning: " << error.what() << "; the PNG is unlabelled\n";
    }

    // Every library is checked before any is loaded.
    std::vector<std::unique_ptr<SwatchHost>> hosts;
    try {
        const bool maya = options.host != HostChoice::mentalray;
        const bool mentalray = options.host != HostChoice::maya;
        const std::string plugin =
            options.pluginPath.empty() ? builtPluginPath() : options.pluginPath;
        const std::string shader =
            options.shaderPath.empty() ? builtShaderPath() : options.shaderPath;
        const std::string renderer =
            options.rendererPath.empty() ? builtRendererModulePath() : options.rendererPath;
        if (maya) {
            checkMayaPlugin(plugin);
        }
        if (mentalray) {
            checkRendererShader(shader);
            checkRendererModule(renderer);
        }
        if (maya) {
            hosts.push_back(loadMayaHost(plugin));
        }
        if (mentalray) {
            hosts.push_back(loadMentalrayHost(shader, renderer));
        }
    } catch (const HostLoadError& error) {
        return fail(error.what());
    }

    // The output's folder and targets are checked, and the files to write
    // are made, before the render.
    const std::string stem = options.outputStem();
    std::optional<OutputFiles> files;
    try {
        files.emplace(std::vector<std::string>{stem + ".png", stem + ".exr"});
    } catch (const OutputError& error) {
        return fail(error.what());
    }

    const std::vector<SheetCell> cells = sheetCells(options);
    RenderSettings settings;
    settings.samples = options.samples;
    settings.threads = options.threads > 0
                           ? options.threads
                           : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    ProgressBar progress;
    settings.progress = [&](int done, int total) { progress.rowsDone(done, total); };

    SheetRender render;
    try {
        render = renderSheet(options, cells, hosts, settings);
    } catch (const std::bad_alloc&) {
        progress.finish();
        throw;
    } catch (const std::exception& error) {
        progress.finish();
        return fail(std::string("rendering failed: ") + error.what());
    }
    progress.finish();
    const Image& sheet = render.image;

    std::vector<std::string> hostNames;
    for (const auto& host : hosts) {
        hostNames.push_back(host->name());
    }
    const DisplayImage display = displaySheet(options, sheet, cells, hostNames, font.get());

    try {
        files->write(0, [&](int file) { writePng(file, display); });
        files->write(1, [&](int file) { writeExr(file, sheet); });
        files->commit();
    } catch (const OutputError& error) {
        return fail(error.what());
    }

    const int hostCount = static_cast<int>(hosts.size());
    double totalSeconds = 0.0;
    std::string rates;
    for (std::size_t h = 0; h < hosts.size(); ++h) {
        const double seconds = render.seconds[h];
        totalSeconds += seconds;
        char rate[96];
        std::snprintf(rate, sizeof rate, "%s%s %.0f samples/s", rates.empty() ? "" : ", ",
                      hosts[h]->name().c_str(),
                      seconds > 0.0 ? static_cast<double>(render.shadedSamples[h]) / seconds : 0.0);
        rates += rate;
    }
    std::printf(
        "%s: %dx%d image (%zu material%s x %d host%s), %d samples/pixel, %d threads, %.2f s; "
        "%s; %s tone curve at %+g EV; wrote %s.png and %s.exr\n",
        program, sheet.width, sheet.height, cells.size(), cells.size() == 1 ? "" : "s", hostCount,
        hostCount == 1 ? "" : "s", options.samples, settings.threads, totalSeconds, rates.c_str(),
        std::string(nameOf(options.toneCurve.map)).c_str(),
        static_cast<double>(options.toneCurve.exposure), stem.c_str(), stem.c_str());
    if (hostCount == 2) {
        std::printf(
            "%s: the halves differ by design: the renderer shader does not divide by the light "
            "count, takes the channel mean of the diffusion values and its own phase weights, and "
            "has no transparency (README, \"Why the two halves differ\")\n",
            program);
    }
    if (options.grid) {
        std::string order;
        for (const MeasuredMaterial& material : measuredMaterials()) {
            order += (order.empty() ? "" : ", ") + material.name;
        }
        std::printf("%s: sheet order, left to right and top to bottom: %s\n", program,
                    order.c_str());
    }
    if (options.sweep) {
        std::string steps;
        for (const SheetCell& cell : cells) {
            steps += (steps.empty() ? "" : "; ") + cell.label;
        }
        std::string rows;
        for (const std::string& name : hostNames) {
            rows += (rows.empty() ? "" : ", ") + name;
        }
        std::printf("%s: %s from left to right: %s (rows, top to bottom: %s)\n", program,
                    std::string(options.sweep->attribute->longName).c_str(), steps.c_str(),
                    rows.c_str());
    }
    if (const long long nonFinite = countNonFinite(sheet); nonFinite > 0) {
        std::fflush(stdout);
        std::cerr << program << ": warning: " << nonFinite
                  << " pixels hold infinite or NaN values (kept in " << stem
                  << ".exr; white or black in the PNG)\n";
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    removeTemporariesOnSignals();
    try {
        Options options;
        try {
            options = parseOptions(std::vector<std::string_view>(argv + 1, argv + argc));
        } catch (const UsageError& error) {
            return fail(error.what());
        }
        if (options.help) {
            std::cout << usageText();
            return outputWritten();
        }
        if (options.listPresets) {
            listPresets();
            return outputWritten();
        }
        return run(options);
    } catch (const std::bad_alloc&) {
        return fail("out of memory: not enough memory for this image; give a smaller --size");
    } catch (const std::exception& error) {
        return fail(error.what());
    }
}
