// Writes the node's icons into a folder, as Maya looks them up on its icon
// path (a module's icons/ folder is on it):
//     generate-node-icons <folder>
// render_lumaVeil.png, 32 x 32, for the Hypershade, and out_lumaVeil.png,
// 20 x 20, for the Outliner and the Node Editor. Each is a sphere of the
// node's default material under the preview's lights, shaded by the
// scattering model as the Maya node shades it, on a transparent background.
#include <cmath>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/materialAttributes.h"
#include "model/shading.h"
#include "rgbaPng.h"
#include "scene.h"
#include "toneCurve.h"

namespace fs = std::filesystem;
using namespace lumaveil;
using lumaveil::icons::RgbaImage;
using lumaveil::preview::Scene;

namespace {

constexpr int samplesPerSide = 8;

ShadingInputs defaultMaterial() {
    ShadingInputs inputs;
    for (const MaterialAttribute& a : materialAttributes) {
        setIn(inputs, a, {a.defaultValue[0], a.defaultValue[1], a.defaultValue[2]});
    }
    return inputs;
}

// The preview's scene, its view narrowed so that the sphere's outline stays
// three quarters of a pixel inside the icon's edge.
Scene iconScene(int size) {
    Scene scene = preview::defaultScene();
    const float half = 0.5f * static_cast<float>(size);
    const float outline = (half - 0.75f) / half;
    scene.imagePlaneHalfWidth *= preview::sphereOutlineRadius(scene) / outline;
    return scene;
}

// Each pixel from samplesPerSide^2 samples: its cover is the share of them
// that meets the sphere, less the material's transparency, and its colour
// the mean of what the model gives there.
RgbaImage renderIcon(int size) {
    const Scene scene = iconScene(size);
    const ShadingInputs material = defaultMaterial();
    const preview::ToneCurve curve;
    const int lightCount = static_cast<int>(scene.lights.size());
    std::vector<LightSample> lights(scene.lights.size());
    RgbaImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            FloatVector sum;
            float cover = 0.0f;
            for (int sy = 0; sy < samplesPerSide; ++sy) {
                for (int sx = 0; sx < samplesPerSide; ++sx) {
                    const float u = (x + (sx + 0.5f) / samplesPerSide) / size * 2.0f - 1.0f;
                    const float v = 1.0f - (y + (sy + 0.5f) / samplesPerSide) / size * 2.0f;
                    const auto hit =
                        preview::hitSphere(scene, preview::cameraRay(scene, u, v, 1.0f));
                    if (!hit) {
                        continue;
                    }
                    ShadingInputs inputs = material;
                    inputs.pointCamera = hit->point;
                    inputs.normalCamera = hit->normal;
                    for (int i = 0; i < lightCount; ++i) {
                        lights[i] = preview::mayaLightData(scene.lights[i], *hit);
                    }
                    const ShadingOutputs out = evaluateShading(
                        inputs, ArrayView<LightSample>(lights.data(), lights.size()), lightCount);
                    sum = sum + out.outColor;
                    const FloatVector& t = out.outTransparency;
                    cover += 1.0f - (t.x + t.y + t.z) / 3.0f;
                }
            }
            const float samples = static_cast<float>(samplesPerSide * samplesPerSide);
            std::uint8_t* pixel = image.at(x, y);
            if (cover > 0.0f) {
                // The sum holds the transparency's attenuation already.
                const FloatVector color = sum * (1.0f / cover);
                for (int k = 0; k < 3; ++k) {
                    pixel[k] = curve.code(color[k]);
                }
            }
            pixel[3] =
                static_cast<std::uint8_t>(std::lround(std::fmin(cover / samples, 1.0f) * 255.0f));
        }
    }
    return image;
}

// Written beside the target and renamed over it: a reader never meets half
// an icon.
void writeFile(const fs::path& path, const std::string& bytes) {
    fs::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temporary);
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    fs::rename(temporary, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: generate-node-icons <folder>\n";
        return 2;
    }
    try {
        const fs::path folder = argv[1];
        fs::create_directories(folder);
        writeFile(folder / "render_lumaVeil.png", icons::encodePng(renderIcon(32)));
        writeFile(folder / "out_lumaVeil.png", icons::encodePng(renderIcon(20)));
    } catch (const std::exception& error) {
        std::cerr << "generate-node-icons: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
