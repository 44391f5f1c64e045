#include "reports.h"

#include <algorithm>
#include <cstdio>

#include "materialInputs.h"
#include "model/physicalRange.h"
#include "numberText.h"
#include "visibleText.h"

namespace lumaveil::preview {

namespace {

constexpr const char* program = "lumaveil-preview";

// Items of a list, joined by a separator.
std::string joined(const std::vector<std::string>& items, const char* separator) {
    std::string text;
    for (const std::string& item : items) {
        text += (text.empty() ? "" : separator) + item;
    }
    return text;
}

// A value as --set takes it: one number where the channels are alike.
std::string settingText(const MaterialAttribute& attribute, FloatVector value) {
    if (attribute.components == 1 || (value.x == value.y && value.y == value.z)) {
        return shortestText(value.x);
    }
    return shortestText(value.x) + "," + shortestText(value.y) + "," + shortestText(value.z);
}

}  // namespace

void listPresets() {
    // Each column is headed by the attribute its quantity sets.
    const auto heading = [](MeasuredQuantity quantity, const char* symbol) {
        return std::string(attributeMeasuredAs(quantity).longName) + symbol;
    };
    std::printf("%-11s %-22s %-25s %-22s %s\n", "preset",
                heading(MeasuredQuantity::reducedScattering, " (sigma_s')").c_str(),
                heading(MeasuredQuantity::absorption, " (sigma_a)").c_str(),
                heading(MeasuredQuantity::diffuseReflectance, " (dipole Rd)").c_str(),
                heading(MeasuredQuantity::eta, "").c_str());
    for (const MeasuredMaterial& material : measuredMaterials()) {
        std::printf("%-11s %-22s %-25s %-22s %.1f\n", material.name.c_str(),
                    printed("%.2f,%.2f,%.2f", material.reducedScattering).c_str(),
                    printed("%.4f,%.4f,%.4f", material.absorption).c_str(),
                    printed("%.4f,%.4f,%.4f", reflectanceOf(material)).c_str(),
                    static_cast<double>(material.eta));
    }
}

void printRunSummary(const Options& options, const std::vector<SheetCell>& cells,
                     const std::vector<std::string>& hostNames, const SheetRender& render,
                     int threads) {
    const int hostCount = static_cast<int>(hostNames.size());
    double totalSeconds = 0.0;
    std::vector<std::string> rates;
    for (std::size_t h = 0; h < hostNames.size(); ++h) {
        const double seconds = render.seconds[h];
        totalSeconds += seconds;
        const double rate =
            seconds > 0.0 ? static_cast<double>(render.shadedSamples[h]) / seconds : 0.0;
        rates.push_back(hostNames[h] + printed(" %.0f samples/s", rate));
    }
    const std::string stem = visibleText(options.outputStem());
    std::printf(
        "%s: %dx%d image (%zu material%s x %d host%s), %d samples/pixel, %d threads, %.2f s; "
        "%s; %s tone curve at %+g EV; wrote %s.png and %s.exr\n",
        program, render.image.width, render.image.height, cells.size(),
        cells.size() == 1 ? "" : "s", hostCount, hostCount == 1 ? "" : "s", options.samples,
        threads, totalSeconds, joined(rates, ", ").c_str(),
        std::string(nameOf(options.toneCurve.map)).c_str(),
        static_cast<double>(options.toneCurve.exposure), stem.c_str(), stem.c_str());
    if (options.renders(Host::mentalray) && hostCount > 1) {
        std::printf(
            "%s: the halves differ by design: the mental ray shader does not divide by the light "
            "count, takes the channel mean of the diffusion values and its own phase weights, and "
            "has no transparency%s (docs/preview.md, \"Why the three differ\")\n",
            program,
            options.renders(Host::arnold)
                ? "; Arnold's glow takes each light's colour mean and the fill's own samples"
                : "");
    } else if (hostCount > 1 && options.renders(Host::arnold)) {
        std::printf(
            "%s: the halves differ by design: Arnold's glow takes each light's colour mean and "
            "the fill's own samples (docs/preview.md, \"Why the three differ\")\n",
            program);
    }
    if (options.renders(Host::viewport)) {
        std::printf(
            "%s: the Viewport 2.0 half draws the plug-in's fragments as Maya 2022.3 and later "
            "do, without shadows (docs/maya.md, \"Viewport 2.0\")\n",
            program);
    }
    if (options.grid) {
        std::vector<std::string> order;
        for (const MeasuredMaterial& material : measuredMaterials()) {
            order.push_back(material.name);
        }
        std::printf("%s: sheet order, left to right and top to bottom: %s\n", program,
                    joined(order, ", ").c_str());
    }
    if (options.sweep) {
        std::vector<std::string> steps;
        for (const SheetCell& cell : cells) {
            steps.push_back(cell.label);
        }
        std::printf("%s: %s from left to right: %s (rows, top to bottom: %s)\n", program,
                    std::string(options.sweep->attribute->longName).c_str(),
                    joined(steps, "; ").c_str(), joined(hostNames, ", ").c_str());
    }
}

void printNotes(const Options& options, const std::vector<std::string>& hostNames,
                const SheetRender& render, int labelsLeftOut) {
    if (options.sweep) {
        const MaterialAttribute& swept = *options.sweep->attribute;
        for (const std::string& host : hostNames) {
            const char* taker = host == "maya" && !isNodeAttribute(swept)     ? "the Maya node"
                                : host == "arnold" && !isNodeAttribute(swept) ? "the Arnold shader"
                                : host == "mentalray" && swept.rendererParameter.empty()
                                    ? "the mental ray shader"
                                    : nullptr;
            if (taker != nullptr) {
                std::printf("%s: note: %s takes no %s: the %s swatches are alike in every column\n",
                            program, taker, std::string(swept.longName).c_str(), host.c_str());
            }
        }
    }
    if (labelsLeftOut > 0) {
        std::printf(
            "%s: note: %d label%s left out where the swatches are too small to hold labels clear "
            "of the spheres; a larger --size shows every one\n",
            program, labelsLeftOut, labelsLeftOut == 1 ? "" : "s");
    }
    if (render.threadsStarted < render.threadsWanted) {
        std::printf(
            "%s: note: only %d of %d rendering threads could be started (a limit on processes or "
            "threads); the image is the same, only slower\n",
            program, render.threadsStarted, render.threadsWanted);
    }
}

std::string heldValuesText(const std::vector<SheetCell>& cells) {
    std::vector<std::string> held;
    for (const SheetCell& cell : cells) {
        for (const MaterialSettings::Entry& entry : cell.material.entries()) {
            if (!isNodeAttribute(*entry.attribute)) {
                continue;  // the renderer's normal offset has no range
            }
            const MaterialAttribute& attribute = *entry.attribute;
            const FloatVector used = heldAttributeValue(attribute, entry.value);
            if (used.x == entry.value.x && used.y == entry.value.y && used.z == entry.value.z) {
                continue;
            }
            const std::string text = std::string(attribute.longName) + " " +
                                     settingText(attribute, entry.value) + " held at " +
                                     settingText(attribute, used);
            if (std::find(held.begin(), held.end(), text) == held.end()) {
                held.push_back(text);
            }
        }
    }
    return joined(held, "; ");
}

long long holdPixels(Image& image) {
    long long changed = 0;
    for (FloatVector& pixel : image.pixels) {
        const FloatVector held = heldColour(pixel);
        if (!(held.x == pixel.x && held.y == pixel.y && held.z == pixel.z)) {
            pixel = held;
            ++changed;
        }
    }
    return changed;
}

}  // namespace lumaveil::preview
