#include "render.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace lumaveil::preview {

SwatchResult renderSwatch(SwatchRenderer& renderer, const MaterialSettings& material,
                          const Scene& scene, const RenderSettings& settings) {
    SwatchResult result;
    result.image = Image(settings.width, settings.height);
    Image& image = result.image;
    const int side = static_cast<int>(std::lround(std::sqrt(settings.samples)));
    const float weight = 1.0f / static_cast<float>(side * side);
    const float aspect = static_cast<float>(settings.width) / static_cast<float>(settings.height);
    int threadCount = std::max(1, std::min(settings.threads, settings.height));
    if (renderer.maxThreads() > 0) {
        threadCount = std::min(threadCount, renderer.maxThreads());
    }

    std::vector<std::unique_ptr<SwatchShader>> shaders;
    for (int i = 0; i < threadCount; ++i) {
        shaders.push_back(renderer.newShader(material, scene));
    }

    std::atomic<int> nextRow{0};
    std::atomic<int> rowsDone{0};
    std::atomic<long long> shadedSamples{0};
    std::exception_ptr failure;
    std::mutex failureMutex;

    auto work = [&](SwatchShader& shader) {
        long long shaded = 0;
        // A row's hits, for a shader that shades them together.
        std::vector<SurfaceSample> hits;
        std::vector<FloatVector> colors, transparencies;
        try {
            for (int y; (y = nextRow.fetch_add(1)) < settings.height;) {
                // Two passes for such a shader: the first gathers the row's
                // hits and shades them at once, the second adds them up.
                const bool byRow = shader.shadesRows();
                std::size_t next = 0;
                hits.clear();
                for (int pass = byRow ? 0 : 1; pass < 2; ++pass) {
                    if (pass == 1 && byRow) {
                        colors.assign(hits.size(), FloatVector{});
                        transparencies.assign(hits.size(), FloatVector{});
                        shader.shadeRow(hits, colors, transparencies);
                    }
                    for (int x = 0; x < settings.width; ++x) {
                        FloatVector sum;
                        // Stratified samples at the centres of a side x side grid.
                        for (int sy = 0; sy < side; ++sy) {
                            for (int sx = 0; sx < side; ++sx) {
                                const float px = (x + (sx + 0.5f) / side) / settings.width;
                                const float py = (y + (sy + 0.5f) / side) / settings.height;
                                const FloatVector ray =
                                    cameraRay(scene, px * 2.0f - 1.0f, 1.0f - py * 2.0f, aspect);
                                FloatVector value = scene.backdrop;
                                if (const auto hit = hitSphere(scene, ray)) {
                                    if (pass == 0) {
                                        hits.push_back(*hit);
                                        continue;
                                    }
                                    FloatVector color, transparency;
                                    if (byRow) {
                                        color = colors[next];
                                        transparency = transparencies[next];
                                        ++next;
                                    } else {
                                        shader.shade(*hit, color, transparency);
                                    }
                                    for (int k = 0; k < 3; ++k) {
                                        value[k] = color[k] + transparency[k] * scene.backdrop[k];
                                    }
                                    ++shaded;
                                }
                                sum = sum + value;
                            }
                        }
                        if (pass == 1) {
                            image.at(x, y) = sum * weight;
                        }
                    }
                }
                const int done = rowsDone.fetch_add(1) + 1;
                if (settings.progress) {
                    settings.progress(done, settings.height);
                }
            }
        } catch (...) {
            std::lock_guard lock(failureMutex);
            if (!failure) {
                failure = std::current_exception();
            }
            nextRow = settings.height;
        }
        shadedSamples += shaded;
    };

    const auto start = std::chrono::steady_clock::now();
    {
        // Joined however this block is left. The rows go to whichever thread
        // asks next, so those started render them all.
        std::vector<std::jthread> threads;
        threads.reserve(static_cast<std::size_t>(threadCount - 1));
        for (int i = 1; i < threadCount; ++i) {
            try {
                threads.emplace_back(work, std::ref(*shaders[i]));
            } catch (const std::system_error&) {
                break;  // a limit on processes or threads: no more will start
            }
        }
        result.threadsWanted = threadCount;
        result.threadsStarted = 1 + static_cast<int>(threads.size());
        work(*shaders[0]);
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.shadedSamples = shadedSamples;
    shaders.clear();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return result;
}

std::vector<std::string> hostNamesOf(std::span<const std::unique_ptr<SwatchRenderer>> renderers) {
    std::vector<std::string> names;
    for (const auto& renderer : renderers) {
        names.push_back(renderer->name());
    }
    return names;
}

void place(Image& sheet, const Image& swatch, int x0, int y0) {
    for (int y = 0; y < swatch.height; ++y) {
        for (int x = 0; x < swatch.width; ++x) {
            sheet.at(x0 + x, y0 + y) = swatch.at(x, y);
        }
    }
}

}  // namespace lumaveil::preview
