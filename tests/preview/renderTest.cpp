#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>

#include "deliverablePaths.h"
#include "folderTest.h"
#include "image.h"
#include "mayahost/host.h"
#include "model/shading.h"
#include "mrhost/renderer.h"
#include "options.h"
#include "outputFiles.h"
#include "shaderValues.h"
#include "swatchRenderers.h"
#include "toneCurve.h"

namespace lumaveil::preview {
namespace {

// 33 x 33 pixels with one sample each: the centre pixel's ray is -z exactly
// and meets the sphere at the point nearest the eye.
RenderSettings centreSettings() {
    RenderSettings settings;
    settings.width = settings.height = 33;
    settings.samples = 1;
    settings.threads = 2;
    return settings;
}

SurfaceSample centreSample(const Scene& scene) {
    const auto hit = hitSphere(scene, cameraRay(scene, 0.0f, 0.0f, 1.0f));
    EXPECT_TRUE(hit.has_value());
    return *hit;
}

MaterialSettings skin() {
    MaterialSettings material;
    applyMeasuredMaterial(*findMeasuredMaterial("skin1"), material);
    return material;
}

// The model's inputs a material sets, through the rows of its attributes.
ShadingInputs inputsOf(const MaterialSettings& material) {
    ShadingInputs inputs;
    for (const MaterialSettings::Entry& entry : material.entries()) {
        if (isNodeAttribute(*entry.attribute)) {
            setIn(inputs, *entry.attribute, entry.value);
        }
    }
    return inputs;
}

// Every host the tool renders through, in its order.
std::vector<std::unique_ptr<SwatchRenderer>> everyHost() {
    std::vector<std::unique_ptr<SwatchRenderer>> hosts;
    hosts.push_back(loadMayaSwatchRenderer(LUMAVEIL_PLUGIN_PATH));
    hosts.push_back(loadMentalraySwatchRenderer(QV7K_SHADER_PATH, builtRendererModulePath()));
    hosts.push_back(loadArnoldSwatchRenderer(LUMAVEIL_ARNOLD_SHADER_PATH));
    return hosts;
}

TEST(PreviewRender, MayaCentrePixelIsTheModelsColour) {
    const Scene scene = defaultScene();
    const MaterialSettings material = skin();
    auto host = loadMayaSwatchRenderer(LUMAVEIL_PLUGIN_PATH);
    const Image image = renderSwatch(*host, material, scene, centreSettings()).image;

    const SurfaceSample sample = centreSample(scene);
    ShadingInputs inputs = inputsOf(material);
    inputs.pointCamera = sample.point;
    inputs.normalCamera = sample.normal;
    std::vector<LightSample> lights;
    for (const SceneLight& light : scene.lights) {
        lights.push_back(mayaLightData(light, sample));
    }
    const FloatVector expected =
        evaluateShading(inputs, lights, static_cast<int>(lights.size())).outColor;
    EXPECT_EQ(image.at(16, 16), expected);
}

TEST(PreviewRender, RendererCentrePixelIsTheShadersColour) {
    const Scene scene = defaultScene();
    const MaterialSettings material = skin();
    auto host = loadMentalraySwatchRenderer(QV7K_SHADER_PATH, builtRendererModulePath());
    const Image image = renderSwatch(*host, material, scene, centreSettings()).image;

    const std::string shader = QV7K_SHADER_PATH;
    const mrhost::Renderer renderer(
        shader, std::filesystem::path(shader).replace_extension(".mi").string());
    mrhost::LightList lights;
    const SceneLight& key = scene.lights[0];
    const SceneLight& fill = scene.lights[1];
    const SceneLight& rim = scene.lights[2];
    auto rgb = [](FloatVector c) { return miColor{c.x, c.y, c.z, 1.0f}; };
    auto color = [&](const SceneLight& l) { return rgb(l.emitted()); };
    auto vector = [](FloatVector v) { return miVector{v.x, v.y, v.z}; };
    const FloatVector corner = fill.position - fill.edgeU * 0.5f - fill.edgeV * 0.5f;
    const std::vector<miTag> tags{
        lights.addPointLight(vector(key.position), color(key)),
        lights.addAreaLight(vector(corner), vector(fill.edgeU), vector(fill.edgeV), color(fill),
                            fill.samplesPerSide * fill.samplesPerSide),
        lights.addDirectionalLight(vector(rim.direction), color(rim))};
    mrhost::ParameterBlock parameters = renderer.makeParameters();
    parameters.setLights(tags);
    test::setMaterial(parameters, inputsOf(material));

    const SurfaceSample sample = centreSample(scene);
    const miColor expected =
        renderer.shade(lights, parameters,
                       {vector(sample.point), vector(sample.normal), vector(sample.rayDirection)});
    EXPECT_EQ(image.at(16, 16), (FloatVector{expected.r, expected.g, expected.b}));
}

// Under white lights of intensity 1, whose colour mean is their intensity,
// the Arnold half gives the Maya half's bits: the lights' samples carry what
// the node receives, with the sphere's shadow, and the transparency shows the
// backdrop alike. An area light's samples, each of pdf their count, add up
// to its whole light.
TEST(PreviewRender, ArnoldHalfIsMayasUnderWhiteLights) {
    Scene scene = defaultScene();
    for (SceneLight& light : scene.lights) {
        light.color = {1.0f, 1.0f, 1.0f};
        light.intensity = 1.0f;
        light.samplesPerSide = 1;
    }
    MaterialSettings material = skin();
    material.set(*materialAttributeNamed("transparency"), {0.25f, 0.5f, 0.0f});
    RenderSettings settings = centreSettings();
    const auto maya = loadMayaSwatchRenderer(LUMAVEIL_PLUGIN_PATH);
    const auto arnold = loadArnoldSwatchRenderer(LUMAVEIL_ARNOLD_SHADER_PATH);
    const Image expected = renderSwatch(*maya, material, scene, settings).image;
    EXPECT_EQ(renderSwatch(*arnold, material, scene, settings).image.pixels, expected.pixels);

    // The fill as four samples at its centre.
    SceneLight& fill = scene.lights[1];
    ASSERT_EQ(fill.kind, SceneLight::Kind::area);
    fill.samplesPerSide = 2;
    fill.edgeU = fill.edgeV = {};
    const Image four = renderSwatch(*arnold, material, scene, settings).image;
    for (std::size_t i = 0; i < expected.pixels.size(); ++i) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(four.pixels[i][k], expected.pixels[i][k], 1e-5f * expected.pixels[i][k])
                << "pixel " << i;
        }
    }
}

TEST(PreviewRender, ImageIsTheSameWhateverTheThreadCount) {
    const Scene scene = defaultScene();
    RenderSettings settings;
    settings.width = 24;
    settings.height = 20;
    settings.samples = 4;
    for (auto& host : everyHost()) {
        settings.threads = 1;
        const Image one = renderSwatch(*host, skin(), scene, settings).image;
        settings.threads = 3;
        const Image three = renderSwatch(*host, skin(), scene, settings).image;
        ASSERT_EQ(one.pixels.size(), three.pixels.size());
        EXPECT_EQ(std::memcmp(one.pixels.data(), three.pixels.data(),
                              one.pixels.size() * sizeof(FloatVector)),
                  0)
            << host->name();
    }
}

using PreviewFiles = test::FolderTest;

template <class Encode>
void writeFile(const std::string& path, Encode encode) {
    OutputFiles files({path});
    files.write(0, encode);
    files.commit();
}

TEST_F(PreviewFiles, ExrKeepsUnclampedLinearValues) {
    Image image(3, 2);
    image.at(0, 0) = {1.75f, -0.25f, 0.5f};
    image.at(2, 1) = {0.001f, 12.0f, 0.0f};
    const std::string path = (folder_ / "a.exr").string();
    writeFile(path, [&](int file) { writeExr(file, image); });
    const Image back = readExr(path);
    ASSERT_EQ(back.width, 3);
    ASSERT_EQ(back.height, 2);
    EXPECT_EQ(back.pixels, image.pixels);
}

TEST_F(PreviewFiles, PngHoldsTheCodesGiven) {
    DisplayImage image(2, 1);
    image.codes = {0, 128, 255, 7, 200, 31};
    const std::string path = (folder_ / "a.png").string();
    writeFile(path, [&](int file) { writePng(file, image); });
    const DisplayImage back = readPng(path);
    ASSERT_EQ(back.width, 2);
    EXPECT_EQ(back.codes, image.codes);
}

// Clip gives the plain sRGB codes; filmic keeps highlights apart well past 1
// and maps what is not a number to black or white, never to undefined codes.
TEST(PreviewToneCurve, ClipsOrKeepsHighlights) {
    const ToneCurve clip{ToneMap::clip, 0.0f};
    EXPECT_EQ(clip.code(0.2158605f), 128);
    EXPECT_EQ(clip.code(1.0f), 255);
    EXPECT_EQ(clip.code(-1.0f), 0);
    EXPECT_EQ((ToneCurve{ToneMap::clip, 1.0f}.code(0.5f)), 255);  // +1 EV doubles

    const ToneCurve filmic;
    int previous = -1;
    for (const float linear : {0.0f, 0.05f, 0.18f, 0.5f, 1.0f, 2.0f, 3.0f, 5.0f}) {
        const int code = filmic.code(linear);
        EXPECT_GT(code, previous) << linear;
        previous = code;
    }
    EXPECT_LT(filmic.code(5.0f), 255);
    EXPECT_EQ(filmic.code(11.2f), 255);
    EXPECT_EQ(filmic.code(std::numeric_limits<float>::infinity()), 255);
    EXPECT_EQ(filmic.code(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(filmic.code(-std::numeric_limits<float>::infinity()), 0);
}

// The sphere fits whatever the aspect: its outline stays inside a tall or a
// wide image.
TEST(PreviewScene, SphereFitsTallAndWideImages) {
    const Scene scene = defaultScene();
    for (const float aspect : {1.0f / 3.0f, 1.0f, 3.0f}) {
        EXPECT_TRUE(hitSphere(scene, cameraRay(scene, 0.0f, 0.0f, aspect)));
        for (const auto& [u, v] :
             {std::pair{1.0f, 0.0f}, {-1.0f, 0.0f}, {0.0f, 1.0f}, {0.0f, -1.0f}}) {
            EXPECT_FALSE(hitSphere(scene, cameraRay(scene, u, v, aspect)))
                << "aspect " << aspect << " at " << u << ", " << v;
        }
    }
}

// At the default tone curve no preset's sphere is more than 1% flat white in
// any half: mental ray's is brighter by design and must not clip.
TEST(PreviewToneCurve, NoPresetSphereIsFlatWhite) {
    const Scene scene = defaultScene();
    RenderSettings settings;
    settings.width = settings.height = 48;
    settings.samples = 4;
    settings.threads = 2;
    const std::vector<std::unique_ptr<SwatchRenderer>> hosts = everyHost();
    for (const MeasuredMaterial& preset : measuredMaterials()) {
        MaterialSettings material;
        applyMeasuredMaterial(preset, material);
        for (auto& host : hosts) {
            const DisplayImage image =
                toDisplay(renderSwatch(*host, material, scene, settings).image, ToneCurve{});
            int sphere = 0, white = 0;
            for (int y = 0; y < image.height; ++y) {
                for (int x = 0; x < image.width; ++x) {
                    const float u = (x + 0.5f) / image.width * 2.0f - 1.0f;
                    const float v = 1.0f - (y + 0.5f) / image.height * 2.0f;
                    if (hitSphere(scene, cameraRay(scene, u, v, 1.0f))) {
                        const unsigned char* code = image.at(x, y);
                        ++sphere;
                        white += code[0] == 255 && code[1] == 255 && code[2] == 255;
                    }
                }
            }
            EXPECT_LE(white * 100, sphere) << preset.name << " through " << host->name();
        }
    }
}

// When the EXR cannot take the place of its target, the PNG already renamed
// is put back: both targets stay as they were and no temporary is left.
TEST_F(PreviewFiles, APairReplacesItsTargetsWholeOrNotAtAll) {
    const std::string png = (folder_ / "a.png").string();
    const std::string exr = (folder_ / "a.exr").string();
    std::ofstream(png) << "previous";
    auto writeBoth = [&](OutputFiles& files) {
        files.write(0, [](int file) { writePng(file, DisplayImage(2, 2)); });
        files.write(1, [](int file) { writeExr(file, Image(2, 2)); });
    };
    {
        OutputFiles files({png, exr});
        writeBoth(files);
        std::filesystem::create_directory(exr);
        EXPECT_THROW(files.commit(), OutputError);
    }
    std::ifstream previous(png);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(previous), {}), "previous");
    std::filesystem::remove(exr);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
    {
        OutputFiles files({png, exr});
        writeBoth(files);
        files.commit();
    }
    EXPECT_EQ(readPng(png).width, 2);
    EXPECT_EQ(readExr(exr).width, 2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 2);
}

}  // namespace
}  // namespace lumaveil::preview

namespace lumaveil::preview {
namespace {

// The tool's table of editable inputs, which the attribute reference is
// written from, must say what the node declares (names, defaults, ranges,
// hard limit) and name real shader parameters, and the shader's own
// parameters must be the rest of its declaration.
TEST(PreviewAttributes, MatchTheNodeSchemaAndTheShaderDeclaration) {
    mayahost::Host host;
    ASSERT_TRUE(host.loadPlugin(LUMAVEIL_PLUGIN_PATH));
    const auto type = host.nodeType("lumaVeil");
    ASSERT_TRUE(type.has_value());
    const std::string shader = QV7K_SHADER_PATH;
    const mrhost::ShaderDeclaration declaration =
        mrhost::loadDeclaration(std::filesystem::path(shader).replace_extension(".mi").string());
    std::vector<std::string_view> parameters;
    for (const MaterialAttribute& attribute : materialAttributes) {
        const auto found = std::find_if(
            type->attributes.begin(), type->attributes.end(),
            [&](const mayahost::AttributeInfo& a) { return a.longName == attribute.longName; });
        ASSERT_NE(found, type->attributes.end()) << attribute.longName;
        EXPECT_EQ(found->shortName, attribute.shortName);
        EXPECT_TRUE(found->keyable && found->storable && !found->hidden) << attribute.longName;
        EXPECT_EQ(found->children.size(), attribute.components == 3 ? 3u : 0u)
            << attribute.longName;
        EXPECT_EQ(found->defaults,
                  std::vector<double>(attribute.defaultValue.begin(),
                                      attribute.defaultValue.begin() + attribute.components))
            << attribute.longName;
        EXPECT_EQ(found->softMin, attribute.softMin) << attribute.longName;
        EXPECT_EQ(found->softMax, attribute.softMax) << attribute.longName;
        EXPECT_EQ(found->min, attribute.hardMin) << attribute.longName;
        if (!attribute.rendererParameter.empty()) {
            const mrhost::DeclaredField* field = declaration.find(attribute.rendererParameter);
            ASSERT_NE(field, nullptr) << attribute.rendererParameter;
            EXPECT_EQ(static_cast<float>(field->defaultValue.at(0)), attribute.defaultValue[0])
                << attribute.rendererParameter;
            parameters.push_back(attribute.rendererParameter);
        }
    }
    for (const RendererOnlyParameter& parameter : rendererOnlyParameters) {
        parameters.push_back(parameter.name);
    }
    std::vector<std::string_view> declared;
    for (const mrhost::DeclaredField& field : declaration.fields) {
        const bool arrayBookkeeping = field.name.starts_with("i_") || field.name.starts_with("n_");
        if (!arrayBookkeeping) {
            declared.push_back(field.name);
        }
    }
    std::sort(parameters.begin(), parameters.end());
    std::sort(declared.begin(), declared.end());
    EXPECT_EQ(parameters, declared);
}

TEST(PreviewHosts, DeclarationIsNamedAfterTheLibrary) {
    EXPECT_EQ(declarationFileName("/x/qv7k_lumaVeil.so"), "qv7k_lumaVeil.mi");
    EXPECT_EQ(declarationFileName("libm.so.6"), "libm.mi");
    EXPECT_EQ(declarationFileName("lib/shader.so.1.2"), "shader.mi");
    EXPECT_EQ(declarationFileName("C:/mr/qv7k_lumaVeil.dll"), "qv7k_lumaVeil.mi");
    EXPECT_EQ(declarationFileName("my.sophisticated.so"), "my.sophisticated.mi");
}

}  // namespace
}  // namespace lumaveil::preview
