// Swatches through Viewport 2.0: the plug-in's own fragments, as its build
// embeds them, run on the GPU at hand (Mesa's llvmpipe where there is none)
// through the stand-in Viewport 2.0. The graph is that of light API v2, as
// Maya 2022.3 and later draw it: every light through Maya's light functions,
// each with its diffuse and specular irradiance as Viewport 2.0 hands them
// over by default, without shadows: a light behind the sphere still reaches
// its front, as in the software render's glow. The swatch's colour is the one the graph hands its
// surface output, which Maya premultiplies by the opacity as the backdrop
// shows through.
#include "swatchRenderers.h"

#if defined(LUMAVEIL_PREVIEW_VIEWPORT)
#include <map>

#include "lumaVeilEmbeddedFragments.h"
#include "vp2host/glViewport.h"

namespace lumaveil::preview {

namespace {

constexpr const char* graphName = "lumaVeilSurfaceLightAPI2";

vp2host::Float3 array3(FloatVector v) {
    return {v.x, v.y, v.z};
}
FloatVector vector3(const vp2host::Float3& a) {
    return {a[0], a[1], a[2]};
}

// One EGL context and the graph's program, on one rendering thread: a
// context is current on one thread at a time, and llvmpipe spreads each draw
// over the cores itself.
class ViewportSwatchRenderer final : public SwatchRenderer {
public:
    ViewportSwatchRenderer() {
        for (const viewport::EmbeddedFragment& f : viewport::embeddedFragments) {
            if (f.isGraph) {
                graphs_.emplace(f.name, vp2host::parseFragmentGraph(f.xml));
            } else {
                fragments_.emplace(f.name, vp2host::parseShadeFragment(f.xml));
            }
        }
        program_ = std::make_unique<vp2host::GraphProgram>(
            graphs_.at(graphName),
            [this](std::string_view name) -> const vp2host::ShadeFragment* {
                const auto it = fragments_.find(std::string(name));
                return it != fragments_.end() ? &it->second : nullptr;
            },
            vp2host::glslVersions.back());
        gl_.release();
    }
    std::string name() const override { return "viewport"; }
    int maxThreads() const override { return 1; }
    std::unique_ptr<SwatchShader> newShader(const MaterialSettings& material,
                                            const Scene& scene) override;

    // The samples' colours and transparencies.
    void draw(std::span<const vp2host::Sample> samples, std::span<FloatVector> colors,
              std::span<FloatVector> transparencies) {
        gl_.makeCurrent();
        std::vector<vp2host::SampleResult> results;
        try {
            results = gl_.run(*program_, samples);
        } catch (...) {
            gl_.release();
            throw;
        }
        gl_.release();
        for (std::size_t i = 0; i < results.size(); ++i) {
            colors[i] = vector3(results[i].colour);
            transparencies[i] = vector3(results[i].transparency);
        }
    }

    const vp2host::GraphProgram& program() const { return *program_; }

private:
    std::map<std::string, vp2host::ShadeFragment> fragments_;
    std::map<std::string, vp2host::FragmentGraph> graphs_;
    vp2host::GlViewport gl_;
    std::unique_ptr<vp2host::GraphProgram> program_;
};

class ViewportSwatchShader final : public SwatchShader {
public:
    ViewportSwatchShader(ViewportSwatchRenderer& renderer, const MaterialSettings& material,
                         const Scene& scene)
        : renderer_(renderer), scene_(scene) {
        for (const std::string& input : renderer.program().sampleInputs()) {
            const MaterialAttribute* attribute = materialAttributeNamed(input);
            if (attribute != nullptr) {
                const FloatVector set = material.get(attribute->longName)
                                            .value_or(valueIn(ShadingInputs{}, *attribute));
                inputs_.push_back(array3(set));
            } else if (input == "Nw" || input == "Vw" || input == "Pw") {
                inputs_.push_back({});  // per sample
            } else {
                throw HostLoadError("the Viewport 2.0 graph asks for \"" + input +
                                    "\", which the preview cannot give");
            }
        }
    }

    void shade(const SurfaceSample& sample, FloatVector& color,
               FloatVector& transparency) override {
        shadeRow({&sample, 1}, {&color, 1}, {&transparency, 1});
    }
    bool shadesRows() const override { return true; }
    void shadeRow(std::span<const SurfaceSample> hits, std::span<FloatVector> colors,
                  std::span<FloatVector> transparencies) override {
        samples_.resize(hits.size());
        const std::vector<std::string>& names = renderer_.program().sampleInputs();
        for (std::size_t s = 0; s < hits.size(); ++s) {
            const SurfaceSample& hit = hits[s];
            vp2host::Sample& sample = samples_[s];
            sample.inputs = inputs_;
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (names[i] == "Nw") {
                    sample.inputs[i] = array3(hit.normal);
                } else if (names[i] == "Vw") {
                    sample.inputs[i] = array3(-hit.point);
                } else if (names[i] == "Pw") {
                    sample.inputs[i] = array3(hit.point);
                }
            }
            sample.lights.clear();
            for (const SceneLight& light : scene_.lights) {
                const LightSample data = mayaLightData(light, hit);
                sample.lights.push_back({array3(data.lightDirection), array3(light.emitted()),
                                         array3(light.emitted())});
            }
        }
        renderer_.draw(samples_, colors, transparencies);
    }

private:
    ViewportSwatchRenderer& renderer_;
    const Scene& scene_;
    std::vector<vp2host::Float3> inputs_;
    std::vector<vp2host::Sample> samples_;
};

std::unique_ptr<SwatchShader> ViewportSwatchRenderer::newShader(const MaterialSettings& material,
                                                                const Scene& scene) {
    if (scene.lights.size() > static_cast<std::size_t>(vp2host::maxLights)) {
        throw HostLoadError("Viewport 2.0 draws at most 16 lights");
    }
    return std::make_unique<ViewportSwatchShader>(*this, material, scene);
}

}  // namespace

std::unique_ptr<SwatchRenderer> loadViewportSwatchRenderer() {
    return std::make_unique<ViewportSwatchRenderer>();
}

}  // namespace lumaveil::preview

#else

namespace lumaveil::preview {

std::unique_ptr<SwatchRenderer> loadViewportSwatchRenderer() {
    throw HostLoadError("no EGL device: this build of the preview has no Viewport 2.0 half");
}

}  // namespace lumaveil::preview

#endif
