#include "render.h"

#include <atomic>
#include <cmath>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace lumaveil::preview {

Image renderSwatch(SwatchHost& host, const MaterialSettings& material, const Scene& scene,
                   const RenderSettings& settings) {
    Image image(settings.width, settings.height);
    const int side = static_cast<int>(std::lround(std::sqrt(settings.samples)));
    const float weight = 1.0f / static_cast<float>(side * side);
    const float aspect = static_cast<float>(settings.width) / static_cast<float>(settings.height);
    std::atomic<int> nextRow{0};
    std::atomic<int> rowsDone{0};
    std::exception_ptr failure;
    std::mutex failureMutex;

    auto work = [&] {
        try {
            std::unique_ptr<SwatchShader> shader = host.newShader(material, scene);
            for (int y; (y = nextRow.fetch_add(1)) < settings.height;) {
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
                                FloatVector color, transparency;
                                shader->shade(*hit, color, transparency);
                                for (int k = 0; k < 3; ++k) {
                                    value[k] = color[k] + transparency[k] * scene.backdrop[k];
                                }
                            }
                            sum = sum + value;
                        }
                    }
                    image.at(x, y) = sum * weight;
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
    };

    std::vector<std::thread> threads;
    for (int i = 1; i < settings.threads; ++i) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return image;
}

void place(Image& sheet, const Image& swatch, int x0, int y0) {
    for (int y = 0; y < swatch.height; ++y) {
        for (int x = 0; x < swatch.width; ++x) {
            sheet.at(x0 + x, y0 + y) = swatch.at(x, y);
        }
    }
}

}  // namespace lumaveil::preview
