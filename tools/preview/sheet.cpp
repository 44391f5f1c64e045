#include "sheet.h"

#include <atomic>

#include "scene.h"
#include "toneCurve.h"

namespace lumaveil::preview {

std::vector<SheetCell> sheetCells(const Options& options) {
    std::vector<SheetCell> cells;
    if (options.grid) {
        // Every preset, with the --set values on top.
        for (const MeasuredMaterial& preset : measuredMaterials()) {
            MaterialSettings material;
            applyMeasuredMaterial(preset, material);
            for (const MaterialSettings::Entry& entry : options.material.entries()) {
                material.set(*entry.attribute, entry.value);
            }
            cells.push_back({options.anySet ? preset.name + ", edited" : preset.name, material});
        }
    } else if (options.sweep) {
        const Sweep& sweep = *options.sweep;
        const std::vector<std::string> labels = stepLabels(sweep);
        for (int i = 0; i < sweep.count; ++i) {
            MaterialSettings material = options.material;
            material.set(*sweep.attribute, sweep.step(i));
            cells.push_back({labels[static_cast<std::size_t>(i)], material});
        }
    } else {
        const std::string& preset = options.presetName;
        cells.push_back({preset.empty()   ? ""
                         : options.anySet ? preset + ", edited"
                                          : preset,
                         options.material});
    }
    return cells;
}

SheetRender renderSheet(const Options& options, const std::vector<SheetCell>& cells,
                        std::span<const std::unique_ptr<SwatchRenderer>> renderers,
                        RenderSettings settings) {
    const SheetLayout layout = sheetLayout(options);
    const Scene scene = defaultScene();
    SheetRender result;
    result.image = Image(layout.width, layout.height);
    for (FloatVector& pixel : result.image.pixels) {
        pixel = scene.backdrop;
    }
    result.seconds.assign(renderers.size(), 0.0);
    result.shadedSamples.assign(renderers.size(), 0);

    // Progress over the whole sheet: every swatch reports each row it finishes.
    const auto report = settings.progress;
    const int totalRows = options.height * static_cast<int>(cells.size() * renderers.size());
    std::atomic<int> rowsDone{0};
    if (report) {
        settings.progress = [&](int, int) { report(++rowsDone, totalRows); };
    }
    settings.width = options.width;
    settings.height = options.height;
    for (std::size_t m = 0; m < cells.size(); ++m) {
        for (std::size_t h = 0; h < renderers.size(); ++h) {
            const SwatchResult swatch =
                renderSwatch(*renderers[h], cells[m].material, scene, settings);
            place(result.image, swatch.image,
                  layout.swatchX(static_cast<int>(m), static_cast<int>(h)),
                  layout.swatchY(static_cast<int>(m), static_cast<int>(h)));
            result.seconds[h] += swatch.seconds;
            result.shadedSamples[h] += swatch.shadedSamples;
            if (result.threadsWanted == 0 || swatch.threadsStarted < result.threadsStarted) {
                result.threadsWanted = swatch.threadsWanted;
                result.threadsStarted = swatch.threadsStarted;
            }
        }
    }
    return result;
}

DisplayImage displaySheet(const Options& options, const Image& image,
                          const std::vector<SheetCell>& cells,
                          const std::vector<std::string>& hostNames, LabelFont* font,
                          int* labelsLeftOut) {
    DisplayImage display = toDisplay(image, options.toneCurve);
    const SheetLayout layout = sheetLayout(options);
    drawCellBorders(display, layout);
    if (font) {
        std::vector<std::string> labels;
        for (const SheetCell& cell : cells) {
            labels.push_back(cell.label);
        }
        const int leftOut = drawLabels(display, *font, layout, hostNames, labels);
        if (labelsLeftOut) {
            *labelsLeftOut = leftOut;
        }
    }
    return display;
}

}  // namespace lumaveil::preview
