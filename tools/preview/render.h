// Renders swatches through a deliverable in its host, split across threads.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "image.h"
#include "materialSettings.h"
#include "scene.h"

namespace lumaveil::preview {

// Shades samples of one swatch; each rendering thread has its own.
class SwatchShader {
public:
    virtual ~SwatchShader() = default;
    // The colour leaving the sample towards the eye, and how much of the
    // backdrop shows through it.
    virtual void shade(const SurfaceSample& sample, FloatVector& color,
                       FloatVector& transparency) = 0;
    // A shader that shades many samples at once, as a GPU does, says so:
    // renderSwatch then hands it each row's samples together, through
    // shadeRow, and never calls shade.
    virtual bool shadesRows() const { return false; }
    virtual void shadeRow(std::span<const SurfaceSample> samples, std::span<FloatVector> colors,
                          std::span<FloatVector> transparencies) {
        for (std::size_t i = 0; i < samples.size(); ++i) {
            shade(samples[i], colors[i], transparencies[i]);
        }
    }
};

// One deliverable, loaded into its host once, that shades the swatches.
class SwatchRenderer {
public:
    virtual ~SwatchRenderer() = default;
    virtual std::string name() const = 0;
    virtual std::unique_ptr<SwatchShader> newShader(const MaterialSettings& material,
                                                    const Scene& scene) = 0;
    // The most threads it shades on; 0 for as many as asked.
    virtual int maxThreads() const { return 0; }
};

struct RenderSettings {
    int width = 256;
    int height = 256;
    int samples = 4;  // a square number
    int threads = 1;
    // Called with the rows finished so far and the total, from any thread.
    std::function<void(int done, int total)> progress;
};

struct SwatchResult {
    Image image;
    long long shadedSamples = 0;  // samples that hit the sphere
    double seconds = 0.0;
    // The threads asked for (no more than the rows) and those that rendered:
    // fewer where a limit on processes or threads let no more start.
    int threadsWanted = 0;
    int threadsStarted = 0;
};

// The names of the renderers' hosts, in their order: "maya", "mentalray".
std::vector<std::string> hostNamesOf(std::span<const std::unique_ptr<SwatchRenderer>> renderers);

// Pixels depend only on their own samples, so the image is the same whatever
// the thread count, and the threads that could be started render it all.
// The per-thread shaders are made, and destroyed, on the calling thread.
SwatchResult renderSwatch(SwatchRenderer& renderer, const MaterialSettings& material,
                          const Scene& scene, const RenderSettings& settings);

// Copies a swatch into a larger image with its top-left corner at (x, y).
void place(Image& sheet, const Image& swatch, int x, int y);

}  // namespace lumaveil::preview
