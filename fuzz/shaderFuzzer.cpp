// The renderer shader through the stand-in renderer, with arbitrary parameter
// values, ghost words, states, lights and sample counts. The light list stays
// inside the tag array the block lays out, as the renderer guarantees. The
// shader must return true, restore the state's primitive and set alpha to 1.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "FuzzInput.h"
#include "mrhost/renderer.h"

namespace {

using lumaveil::fuzz::FuzzInput;
using lumaveil::mrhost::LightList;
using lumaveil::mrhost::ParameterBlock;
using lumaveil::mrhost::Renderer;
using lumaveil::mrhost::SamplePoint;

Renderer& renderer() {
    static Renderer instance(QV7K_SHADER_PATH, QV7K_DECLARATION_PATH, MRHOST_MODULE_PATH);
    return instance;
}

miVector vectorOf(FuzzInput& in) {
    const float x = in.mixedFloat();
    const float y = in.mixedFloat();
    const float z = in.mixedFloat();
    return {x, y, z};
}

miColor colorOf(FuzzInput& in) {
    const miVector v = vectorOf(in);
    return {v.x, v.y, v.z, in.mixedFloat()};
}

int offsetOf(const char* name) {
    return renderer().declaration().find(name)->offset;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    Renderer& r = renderer();

    // The light database: a few lights of every kind, area lights with any
    // small number of samples.
    LightList scene;
    std::vector<miTag> known;
    for (unsigned int i = in.below(6); i > 0; --i) {
        switch (in.below(3)) {
            case 0:
                known.push_back(scene.addDirectionalLight(vectorOf(in), colorOf(in)));
                break;
            case 1:
                known.push_back(scene.addPointLight(vectorOf(in), colorOf(in)));
                break;
            default: {
                const miVector corner = vectorOf(in);
                const miVector edgeU = vectorOf(in);
                const miVector edgeV = vectorOf(in);
                const miColor color = colorOf(in);
                known.push_back(scene.addAreaLight(corner, edgeU, edgeV, color,
                                                   static_cast<int>(in.below(17))));
            }
        }
    }
    scene.setIrradiance(colorOf(in));

    // The tag array: known lights and stray tags, and a window into it.
    std::vector<miTag> tags(1 + in.below(8));
    for (miTag& tag : tags) {
        tag = !known.empty() && in.byte() < 200
                  ? known[in.below(static_cast<unsigned int>(known.size()))]
                  : in.word();
    }
    const int first = static_cast<int>(in.below(static_cast<unsigned int>(tags.size())));
    int count = static_cast<int>(in.below(static_cast<unsigned int>(tags.size()) - first + 1));
    if (in.byte() >= 240) {
        count = -static_cast<int>(in.word() & 0x7fffffffu);  // nothing to sample
    }

    ParameterBlock params = r.makeParameters();
    params.setLights(tags, first, count);

    // Drive a few parameters by shaders that write arbitrary values: any but
    // the light list, which nothing drives.
    const auto& fields = r.declaration().fields;
    const auto drivable =
        static_cast<unsigned int>(std::find_if(fields.begin(), fields.end(),
                                               [](const auto& f) { return f.name == "i_light"; }) -
                                  fields.begin());
    for (unsigned int i = in.below(4); i > 0; --i) {
        auto value = std::make_shared<std::vector<std::uint32_t>>(4);
        for (std::uint32_t& word : *value) {
            const float f = in.mixedFloat();
            std::memcpy(&word, &f, sizeof word);
        }
        const auto& field = fields[in.below(drivable)];
        const auto bytes = static_cast<std::size_t>(field.size);
        params.connect(field.name, [value, bytes](const miState&, void* out) {
            std::memcpy(out, value->data(), bytes);
        });
    }

    // Every word before the light list takes an arbitrary value, and so does
    // its ghost word; the light list's ghost words never name a driver, since
    // nothing drives a count or a tag.
    auto* words = static_cast<std::uint32_t*>(params.data());
    const int parameterWords = params.size() / 4;
    const int lightWords = offsetOf("i_light") / 4;
    for (int w = 0; w < lightWords; ++w) {
        if (in.byte() < 128) {
            const float f = in.mixedFloat();
            std::memcpy(&words[w], &f, sizeof f);
        }
        if (in.byte() >= 224) {
            words[parameterWords + w] = in.word();
        }
    }
    for (int w = lightWords; w < parameterWords; ++w) {
        if (in.byte() >= 240) {
            words[parameterWords + w] = in.word() | 0x80000000u;
        }
    }
    if (in.byte() >= 224) {
        params.setGhostOffset(0);
    }

    const SamplePoint sample{vectorOf(in), vectorOf(in), vectorOf(in)};
    miState state = Renderer::makeState(scene, params, sample);
    void* const pri = state.pri;
    miColor result = colorOf(in);

    // Now and then the renderer rebinds, or binds nothing, before the call.
    const std::uint8_t binding = in.byte();
    if (binding == 0xfe) {
        r.bindNullHandle();
    } else if (binding == 0xff) {
        r.bind(MRHOST_MODULE_PATH);
    }
    const bool done = r.shade(result, state, params);
    if (binding == 0xfe) {
        r.bind(MRHOST_MODULE_PATH);
    }

    if (!done || state.pri != pri || result.a != 1.0f) {
        std::abort();
    }
    for (const float channel : {result.r, result.g, result.b}) {
        if (!(channel >= 0.0f && channel <= std::numeric_limits<float>::max())) {
            std::abort();
        }
    }
    return 0;
}
