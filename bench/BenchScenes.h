// The scenes every benchmark shades: the same material, sample and lights
// for the model, the Maya node and the renderer shader, with 1 to 16 lights
// that set every flag.
//
// The model's scene needs the model alone. Each host's fixture below is there
// for the benchmarks that link that host: it sets the same scene up in the
// stand-in, as the host would hand it to the deliverable.
#pragma once

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/optics.h"
#include "model/shading.h"

namespace lumaveil::bench {

// The material (the node's defaults but for colour and diffuseAnisotropy)
// and the sample: a point in front of the eye, facing it.
inline ShadingInputs benchInputs() {
    ShadingInputs in;
    in.pointCamera = {0.1f, -0.2f, -5.0f};
    in.normalCamera = {0.0f, 0.0f, 1.0f};
    in.color = {0.8f, 0.45f, 0.35f};
    in.diffuseAnisotropy = 0.1f;
    return in;
}

// The eye ray's unit direction, from the eye at the origin to the point.
inline FloatVector benchRayDirection() {
    return unitVector(benchInputs().pointCamera);
}

// Unit directions spread over the upper hemisphere.
inline FloatVector benchLightDirection(int i) {
    const FloatVector d{0.1f * static_cast<float>(i % 8) - 0.35f, 0.3f, 0.9f};
    const float len = std::sqrt(dot(d, d));
    return d / len;
}

// White lights of intensity 1, every flag set.
inline std::vector<LightSample> benchLights(int count) {
    std::vector<LightSample> lights(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        LightSample& l = lights[static_cast<std::size_t>(i)];
        l.lightDirection = benchLightDirection(i);
        l.lightAmbient = l.lightDiffuse = l.lightSpecular = true;
    }
    return lights;
}

inline std::array<float, 3> array3(FloatVector v) {
    return {v.x, v.y, v.z};
}

}  // namespace lumaveil::bench

#if __has_include(<shader.h>) && defined(QV7K_SHADER_PATH)
#include "dynamicLibrary.h"
#include "mrhost/lightList.h"
#include "mrhost/parameterBlock.h"
#include "mrhost/renderer.h"
#include "shaderValues.h"

namespace lumaveil::bench {

// The scene in the stand-in renderer: the material as the shader's
// parameters (no normal offset: the state carries the normal), one
// directional light of one white sample per bench light, and the state of the
// sample as the renderer hands it to the shader, with the binding warm.
//
// shade() calls the shader's exported entry point with that state and
// parameter block, as a renderer's inner loop does once it has set a sample
// up; the stand-in's Renderer::shade adds its test features around the same
// call.
struct RendererBenchScene {
    using ShaderFunction = miBoolean (*)(miColor*, miState*, void*);

    explicit RendererBenchScene(int lightCount)
        : renderer(QV7K_SHADER_PATH, QV7K_DECLARATION_PATH, MRHOST_MODULE_PATH),
          params(renderer.makeParameters()) {
        const ShadingInputs in = benchInputs();
        test::setMaterial(params, in);
        params.setVector("normalCamera", {0.0f, 0.0f, 0.0f});
        params.setBoolean("useIrradiance", false);
        std::vector<miTag> tags;
        for (const LightSample& light : benchLights(lightCount)) {
            tags.push_back(lights.addDirectionalLight(test::mi(light.lightDirection),
                                                      test::rgba(light.lightIntensity)));
        }
        params.setLights(tags);
        state = mrhost::Renderer::makeState(
            lights, params,
            mrhost::SamplePoint{test::mi(in.pointCamera), test::mi(in.normalCamera),
                                test::mi(benchRayDirection())});
        parameters = params.data();
        // The entry point the renderer calls, in the library it has loaded;
        // the renderer's own reference keeps the library loaded.
        std::string error;
        void* const library = hosts::openLibrary(QV7K_SHADER_PATH, error);
        entryPoint =
            library == nullptr
                ? nullptr
                : reinterpret_cast<ShaderFunction>(hosts::findSymbol(library, "qv7k_lumaVeil"));
        if (library != nullptr) {
            hosts::closeLibrary(library);
        }
        if (entryPoint == nullptr) {
            std::abort();
        }
        // The first call binds the renderer's functions.
        miColor warm{};
        shade(warm);
    }

    bool shade(miColor& result) { return entryPoint(&result, &state, parameters) != miFALSE; }

    mrhost::Renderer renderer;
    mrhost::LightList lights;
    mrhost::ParameterBlock params;
    miState state{};
    void* parameters = nullptr;
    ShaderFunction entryPoint = nullptr;
};

}  // namespace lumaveil::bench
#endif

#if __has_include("mayahost/host.h") && defined(LUMAVEIL_PLUGIN_PATH)
#include "mayaValues.h"
#include "mayahost/host.h"
#include "mayahost/node.h"

namespace lumaveil::bench {

// The scene in the stand-in Maya: a lumaVeil node with the material, the
// sample geometry and the light elements the renderer sets, the call log off.
struct MayaBenchScene {
    explicit MayaBenchScene(int lightCount) {
        host.setCallLogEnabled(false);
        std::string error;
        if (!host.loadPlugin(LUMAVEIL_PLUGIN_PATH, &error)) {
            std::abort();
        }
        node = host.createNode("lumaVeil");
        const ShadingInputs in = benchInputs();
        test::setMaterial(node, in);
        node.setSampleGeometry(array3(in.pointCamera), array3(in.normalCamera),
                               array3(benchRayDirection()));
        setLights(lightCount);
        outColor = node.attribute("outColor");
    }

    void setLights(int count) {
        node.setLightCount(count);
        int i = 0;
        for (const LightSample& light : benchLights(count)) {
            node.setLight(i++, test::mayaLight(light));
        }
    }

    mayahost::Host host;
    mayahost::Node node;
    mayahost::AttributeRef outColor;
};

}  // namespace lumaveil::bench
#endif

#if __has_include("aihost/host.h") && defined(LUMAVEIL_ARNOLD_SHADER_PATH)
#include "aihost/host.h"
#include "arnoldValues.h"

namespace lumaveil::bench {

// The scene in the stand-in Arnold: the material as the node's parameters,
// the sample's point and normal with the eye at the origin, and from each
// bench light samplesPerLight white samples of weights 1, their count in the
// pdf (the samples of light i from the directions of bench lights
// i * samplesPerLight on). prepared() is a camera ray's call set up once.
struct ArnoldBenchScene {
    explicit ArnoldBenchScene(int lightCount, int samplesPerLight = 1)
        : shader(LUMAVEIL_ARNOLD_SHADER_PATH),
          lights(std::vector<aihost::LightWeights>(static_cast<std::size_t>(lightCount))) {
        const ShadingInputs in = benchInputs();
        test::setMaterial(shader, in);
        point.P = test::atVector(in.pointCamera);
        point.N = point.Nf = test::atVector(in.normalCamera);
        point.Ro = AtVector(0.0f, 0.0f, 0.0f);
        const std::vector<LightSample> directions = benchLights(lightCount * samplesPerLight);
        for (std::size_t i = 0; i < directions.size(); ++i) {
            aihost::LightSampleValues sample;
            sample.light = i / static_cast<std::size_t>(samplesPerLight);
            sample.direction = test::atVector(directions[i].lightDirection);
            sample.unoccluded = test::atRGB(directions[i].lightIntensity);
            sample.pdf = static_cast<float>(samplesPerLight);
            samples.push_back(sample);
        }
    }

    aihost::ShadeResult shade() const {
        return shader.shade(point, lights, samples.data(), samples.size());
    }
    aihost::PreparedCall prepared(uint8_t rayType = AI_RAY_CAMERA) const {
        aihost::ShadingPoint p = point;
        p.rayType = rayType;
        return aihost::PreparedCall(shader, p, lights, samples.data(), samples.size());
    }

    aihost::Shader shader;
    aihost::Lights lights;
    aihost::ShadingPoint point;
    std::vector<aihost::LightSampleValues> samples;
};

}  // namespace lumaveil::bench
#endif
