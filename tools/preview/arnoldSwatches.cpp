// Swatches through the Arnold shader: the stand-in Arnold loads the library
// as Arnold loads it, each rendering thread has a node of its own with the
// material as its parameters, and Evaluate is called per sample with the
// scene's lights as Arnold's light loop hands them out.
#include <cmath>
#include <optional>
#include <vector>

#include "aihost/host.h"
#include "model/optics.h"
#include "swatchRenderers.h"

namespace lumaveil::preview {

namespace {

constexpr const char* nodeName = "lumaVeil";
constexpr const char* what = "the Arnold shader";

// The distance Arnold gives the samples of a light at infinity.
constexpr float atInfinity = 1e30f;

AtVector atVector(FloatVector v) {
    return AtVector(v.x, v.y, v.z);
}
AtRGB atRGB(FloatVector c) {
    return AtRGB(c.x, c.y, c.z);
}

// The node lacks the attribute's parameter, or has it of another type.
HostLoadError noParameter(const std::string& library, const MaterialAttribute& attribute) {
    return cannotLoad(what, library,
                      "its \"lumaVeil\" node has no " +
                          std::string(attribute.isColour() ? "RGB" : "float") + " parameter \"" +
                          std::string(attribute.longName) + "\"");
}

// The stand-in's reasons begin with the library's path; the message names it
// once.
HostLoadError refused(const std::string& path, const aihost::LoadError& error) {
    std::string reason = error.what();
    if (const std::string loader = "cannot load " + path + ": "; reason.starts_with(loader)) {
        reason.erase(0, loader.size());
    } else if (reason.starts_with(path + " ")) {
        reason = "it" + reason.substr(path.size());
    }
    return cannotLoad(what, path, reason);
}

// The samples of the scene's lights as Arnold's light loop hands them out. A
// point or directional light gives one sample of pdf 1; an area light its
// samplesPerSide x samplesPerSide samples at the centres of a grid over its
// rectangle, their count folded into the pdf. Each carries the light's
// colour, as it leaves the light, unoccluded, and is occluded wholly where
// the sphere shadows itself, so that its Li is what the Maya node receives.
class SceneLightSamples {
public:
    explicit SceneLightSamples(const Scene& scene) {
        for (std::size_t index = 0; index < scene.lights.size(); ++index) {
            const SceneLight& light = scene.lights[index];
            aihost::LightSampleValues values;
            values.light = index;
            values.unoccluded = atRGB(light.emitted());
            switch (light.kind) {
                case SceneLight::Kind::directional:
                    values.direction = atVector(light.direction);
                    values.distance = atInfinity;
                    add(values, std::nullopt);
                    break;
                case SceneLight::Kind::point:
                    add(values, light.position);
                    break;
                case SceneLight::Kind::area: {
                    const int side = light.samplesPerSide;
                    values.pdf = static_cast<float>(side * side);
                    for (int j = 0; j < side; ++j) {
                        for (int i = 0; i < side; ++i) {
                            // Offsets from the centre: one sample per side lies on it.
                            const float u =
                                (static_cast<float>(i) + 0.5f) / static_cast<float>(side);
                            const float v =
                                (static_cast<float>(j) + 0.5f) / static_cast<float>(side);
                            add(values, light.position + light.edgeU * (u - 0.5f) +
                                            light.edgeV * (v - 0.5f));
                        }
                    }
                    break;
                }
            }
        }
    }

    // The samples at a point of the sphere; what does not depend on the
    // point is set once.
    const std::vector<aihost::LightSampleValues>& at(const SurfaceSample& sample) {
        for (std::size_t i = 0; i < samples_.size(); ++i) {
            aihost::LightSampleValues& values = samples_[i];
            FloatVector direction;
            if (positioned_[i]) {
                const FloatVector toLight = positions_[i] - sample.point;
                direction = normalizeVector(toLight);
                values.direction = atVector(direction);
                values.distance = std::sqrt(dot(toLight, toLight));
            } else {
                direction = {values.direction.x, values.direction.y, values.direction.z};
            }
            values.occlusion = litFrom(direction, sample) ? AtRGB(0.0f) : AtRGB(1.0f);
        }
        return samples_;
    }

private:
    // A sample from a point at `position`, or from its own direction when
    // none is given.
    void add(const aihost::LightSampleValues& values, std::optional<FloatVector> position) {
        samples_.push_back(values);
        positioned_.push_back(position.has_value());
        positions_.push_back(position.value_or(FloatVector{}));
    }

    std::vector<aihost::LightSampleValues> samples_;
    std::vector<bool> positioned_;
    std::vector<FloatVector> positions_;
};

class ArnoldSwatchShader final : public SwatchShader {
public:
    ArnoldSwatchShader(const std::string& library, const MaterialSettings& material,
                       const Scene& scene)
        : node_(load(library)),
          lights_(std::vector<aihost::LightWeights>(scene.lights.size())),
          samples_(scene) {
        for (const MaterialSettings::Entry& entry : material.entries()) {
            if (!isNodeAttribute(*entry.attribute)) {
                continue;  // mental ray's alone
            }
            const MaterialAttribute& attribute = *entry.attribute;
            const bool set = attribute.isColour()
                                 ? node_->setRGB(attribute.longName, atRGB(entry.value))
                                 : node_->setFloat(attribute.longName, entry.value.x);
            if (!set) {
                throw noParameter(library, attribute);
            }
        }
    }

    void shade(const SurfaceSample& sample, FloatVector& color,
               FloatVector& transparency) override {
        const std::vector<aihost::LightSampleValues>& samples = samples_.at(sample);
        // The camera is at the origin of the swatch's space, Arnold's world.
        aihost::ShadingPoint point;
        point.P = atVector(sample.point);
        point.N = point.Nf = atVector(sample.normal);
        point.Ro = AtVector(0.0f, 0.0f, 0.0f);
        point.fhemi = true;
        const aihost::ShadeResult result =
            node_->shade(point, lights_, samples.data(), samples.size());
        color = {result.emission.r, result.emission.g, result.emission.b};
        transparency = {result.transparency.r, result.transparency.g, result.transparency.b};
    }

    static std::unique_ptr<aihost::Shader> load(const std::string& library) {
        try {
            return std::make_unique<aihost::Shader>(library, nodeName);
        } catch (const aihost::LoadError& error) {
            throw refused(library, error);
        }
    }

private:
    std::unique_ptr<aihost::Shader> node_;
    aihost::Lights lights_;  // weights of 1
    SceneLightSamples samples_;
};

class ArnoldSwatchRenderer final : public SwatchRenderer {
public:
    explicit ArnoldSwatchRenderer(const std::string& library)
        : library_(library), loaded_(ArnoldSwatchShader::load(library)) {
        // Found now, not when the first swatch sets them.
        for (const MaterialAttribute& attribute : materialAttributes) {
            const aihost::Parameter* parameter = loaded_->entry().parameter(attribute.longName);
            if (parameter == nullptr ||
                parameter->type != (attribute.isColour() ? AI_TYPE_RGB : AI_TYPE_FLOAT)) {
                throw noParameter(library, attribute);
            }
        }
    }
    std::string name() const override { return "arnold"; }
    std::unique_ptr<SwatchShader> newShader(const MaterialSettings& material,
                                            const Scene& scene) override {
        return std::make_unique<ArnoldSwatchShader>(library_, material, scene);
    }

private:
    std::string library_;
    // Keeps the library loaded, as Arnold keeps it, while nodes come and go.
    std::unique_ptr<aihost::Shader> loaded_;
};

}  // namespace

std::unique_ptr<SwatchRenderer> loadArnoldSwatchRenderer(const std::string& shaderPath) {
    return std::make_unique<ArnoldSwatchRenderer>(shaderPath);
}

}  // namespace lumaveil::preview
