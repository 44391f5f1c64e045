// lumaveil-preview: renders a material swatch, a lit sphere in front of a
// plain backdrop, through the built Maya plug-in and renderer shader.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#include "hosts.h"
#include "options.h"

using namespace lumaveil::preview;

namespace {

constexpr const char* program = "lumaveil-preview";

int fail(const std::string& message) {
    std::cerr << program << ": error: " << message << '\n';
    return 2;
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
    explicit ProgressBar(long long totalRows) : total_(totalRows), shown_(isatty(STDERR_FILENO)) {}
    void rowsDone(int rows) {
        if (!shown_) {
            return;
        }
        std::lock_guard lock(mutex_);
        done_ += rows;
        const int percent = static_cast<int>(done_ * 100 / total_);
        if (percent != lastPercent_) {
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
    long long total_;
    bool shown_;
    long long done_ = 0;
    int lastPercent_ = -1;
    std::mutex mutex_;
};

std::string stemOf(std::string output) {
    for (const char* extension : {".png", ".exr"}) {
        const std::string e = extension;
        if (output.size() > e.size() && output.ends_with(e)) {
            output.resize(output.size() - e.size());
        }
    }
    return output;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = parseOptions(std::vector<std::string_view>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        return fail(error.what());
    }
    if (options.help) {
        std::cout << usageText();
        return 0;
    }
    if (options.listPresets) {
        listPresets();
        return 0;
    }

    std::vector<std::unique_ptr<SwatchHost>> hosts;
    try {
        if (options.host != HostChoice::mentalray) {
            hosts.push_back(
                loadMayaHost(options.pluginPath.empty() ? builtPluginPath() : options.pluginPath));
        }
        if (options.host != HostChoice::maya) {
            hosts.push_back(loadMentalrayHost(
                options.shaderPath.empty() ? builtShaderPath() : options.shaderPath,
                options.rendererPath.empty() ? builtRendererModulePath() : options.rendererPath));
        }
    } catch (const HostLoadError& error) {
        return fail(error.what());
    }

    // One material, or every preset (with the --set values on top) as a sheet.
    std::vector<std::pair<std::string, MaterialSettings>> materials;
    if (options.grid) {
        for (const MeasuredMaterial& material : measuredMaterials()) {
            std::vector<std::string_view> arguments{"--preset", material.name};
            MaterialSettings settings;
            applyMeasuredMaterial(material, settings);
            for (const MaterialSettings::Entry& entry : options.material.entries()) {
                settings.set(*entry.attribute, entry.value);
            }
            materials.emplace_back(material.name, settings);
        }
    } else {
        materials.emplace_back(options.presetName.empty() ? "default" : options.presetName,
                               options.material);
    }

    const int hostCount = static_cast<int>(hosts.size());
    const int columns = options.grid ? 4 : 1;
    const int rows = (static_cast<int>(materials.size()) + columns - 1) / columns;
    const int cellWidth = options.width * hostCount;
    Image sheet(cellWidth * columns, options.height * rows);
    for (auto& pixel : sheet.pixels) {
        pixel = defaultScene().backdrop;
    }

    RenderSettings settings;
    settings.width = options.width;
    settings.height = options.height;
    settings.samples = options.samples;
    settings.threads = options.threads > 0
                           ? options.threads
                           : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    ProgressBar progress(static_cast<long long>(options.height) * hostCount *
                         static_cast<long long>(materials.size()));
    int lastDone = 0;
    settings.progress = [&](int done, int) {
        // Rows finish one at a time per swatch; count the step since the last.
        static std::mutex mutex;
        std::lock_guard lock(mutex);
        const int step = done > lastDone ? done - lastDone : done;
        lastDone = done;
        progress.rowsDone(step);
    };

    const lumaveil::preview::Scene scene = defaultScene();
    std::vector<double> seconds(hosts.size(), 0.0);
    std::vector<long long> shaded(hosts.size(), 0);
    try {
        for (std::size_t m = 0; m < materials.size(); ++m) {
            const int cellX = static_cast<int>(m) % columns * cellWidth;
            const int cellY = static_cast<int>(m) / columns * options.height;
            for (std::size_t h = 0; h < hosts.size(); ++h) {
                lastDone = 0;
                SwatchResult swatch = renderSwatch(*hosts[h], materials[m].second, scene, settings);
                place(sheet, swatch.image, cellX + static_cast<int>(h) * options.width, cellY);
                seconds[h] += swatch.seconds;
                shaded[h] += swatch.shadedSamples;
            }
        }
    } catch (const std::exception& error) {
        progress.finish();
        return fail(std::string("rendering failed: ") + error.what());
    }
    progress.finish();

    const std::string stem = stemOf(options.output);
    try {
        writePng(stem + ".png", sheet);
        writeExr(stem + ".exr", sheet);
    } catch (const std::exception& error) {
        return fail(error.what());
    }

    double totalSeconds = 0.0;
    std::string rates;
    for (std::size_t h = 0; h < hosts.size(); ++h) {
        totalSeconds += seconds[h];
        char rate[96];
        std::snprintf(rate, sizeof rate, "%s%s %.0f samples/s", rates.empty() ? "" : ", ",
                      hosts[h]->name().c_str(),
                      seconds[h] > 0.0 ? static_cast<double>(shaded[h]) / seconds[h] : 0.0);
        rates += rate;
    }
    std::printf(
        "%s: %dx%d image (%zu material%s x %d host%s), %d samples/pixel, %d threads, %.2f s; "
        "%s; wrote %s.png and %s.exr\n",
        program, sheet.width, sheet.height, materials.size(), materials.size() == 1 ? "" : "s",
        hostCount, hostCount == 1 ? "" : "s", options.samples, settings.threads, totalSeconds,
        rates.c_str(), stem.c_str(), stem.c_str());
    if (options.grid) {
        std::string order;
        for (const auto& [name, material] : materials) {
            order += (order.empty() ? "" : ", ") + name;
        }
        std::printf("%s: sheet order, left to right and top to bottom: %s\n", program,
                    order.c_str());
    }
    return 0;
}
