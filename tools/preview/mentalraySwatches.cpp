// Swatches through the renderer shader: the scene's lights become the
// renderer's lights, sampled through mi_sample_light, and the shader is called
// per sample with a state and a parameter block.
#include "deliverablePaths.h"
#include "mrhost/renderer.h"
#include "swatchRenderers.h"

namespace lumaveil::preview {

namespace {

miVector miVectorOf(FloatVector v) {
    return {v.x, v.y, v.z};
}
miColor miColorOf(FloatVector v) {
    return {v.x, v.y, v.z, 1.0f};
}

class MentalraySwatchShader final : public SwatchShader {
public:
    MentalraySwatchShader(const mrhost::Renderer& renderer, const MaterialSettings& material,
                          const Scene& scene)
        : renderer_(renderer), parameters_(renderer.makeParameters()) {
        std::vector<miTag> tags;
        for (const SceneLight& light : scene.lights) {
            const miColor color = miColorOf(light.emitted());
            switch (light.kind) {
                case SceneLight::Kind::directional:
                    tags.push_back(lights_.addDirectionalLight(miVectorOf(light.direction), color));
                    break;
                case SceneLight::Kind::point:
                    tags.push_back(lights_.addPointLight(miVectorOf(light.position), color));
                    break;
                case SceneLight::Kind::area: {
                    const FloatVector corner =
                        light.position - light.edgeU * 0.5f - light.edgeV * 0.5f;
                    tags.push_back(lights_.addAreaLight(
                        miVectorOf(corner), miVectorOf(light.edgeU), miVectorOf(light.edgeV), color,
                        light.samplesPerSide * light.samplesPerSide));
                    break;
                }
            }
        }
        parameters_.setLights(tags);
        for (const MaterialSettings::Entry& entry : material.entries()) {
            if (entry.attribute->rendererParameter.empty()) {
                continue;
            }
            const std::string name(entry.attribute->rendererParameter);
            if (isDirection(*entry.attribute)) {
                parameters_.setVector(name, miVectorOf(entry.value));
            } else if (entry.attribute->components == 3) {
                parameters_.setColor(name, miColorOf(entry.value));
            } else {
                parameters_.setScalar(name, entry.value.x);
            }
        }
    }

    void shade(const SurfaceSample& sample, FloatVector& color,
               FloatVector& transparency) override {
        const mrhost::SamplePoint point{miVectorOf(sample.point), miVectorOf(sample.normal),
                                        miVectorOf(sample.rayDirection)};
        const miColor result = renderer_.shade(lights_, parameters_, point);
        color = {result.r, result.g, result.b};
        transparency = {};
    }

private:
    const mrhost::Renderer& renderer_;
    mrhost::LightList lights_;
    mrhost::ParameterBlock parameters_;
};

class MentalraySwatchRenderer final : public SwatchRenderer {
public:
    MentalraySwatchRenderer(const std::string& shaderPath, const std::string& declarationPath,
                            const std::string& rendererModulePath)
        : renderer_(load(shaderPath, declarationPath, rendererModulePath)) {}
    std::string name() const override { return "mentalray"; }
    std::unique_ptr<SwatchShader> newShader(const MaterialSettings& material,
                                            const Scene& scene) override {
        return std::make_unique<MentalraySwatchShader>(*renderer_, material, scene);
    }

private:
    static std::unique_ptr<mrhost::Renderer> load(const std::string& shaderPath,
                                                  const std::string& declarationPath,
                                                  const std::string& rendererModulePath) {
        try {
            return std::make_unique<mrhost::Renderer>(shaderPath, declarationPath,
                                                      rendererModulePath);
        } catch (const std::exception& error) {
            throw cannotLoad("the renderer shader", shaderPath, error.what());
        }
    }
    std::unique_ptr<mrhost::Renderer> renderer_;
};

}  // namespace

std::unique_ptr<SwatchRenderer> loadMentalraySwatchRenderer(const std::string& shaderPath,
                                                            const std::string& rendererModulePath) {
    return std::make_unique<MentalraySwatchRenderer>(shaderPath, declarationPathOf(shaderPath),
                                                     rendererModulePath);
}

std::string builtRendererModulePath() {
    return mrhost::Renderer::modulePath();
}

}  // namespace lumaveil::preview
