#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include <mayahost/Host.h>

#include "hosts.h"
#include "hosts/mentalray/standInRenderer.h"
#include "image.h"
#include "model/shading.h"

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

TEST(PreviewRender, MayaCentrePixelIsTheModelsColour) {
    const Scene scene = defaultScene();
    const MaterialSettings material = skin();
    auto host = loadMayaHost(LUMAVEIL_PLUGIN_PATH);
    const Image image = renderSwatch(*host, material, scene, centreSettings()).image;

    const SurfaceSample sample = centreSample(scene);
    ShadingInputs inputs;
    inputs.color = *material.get("color");
    inputs.scattering = *material.get("scattering");
    inputs.absorption = *material.get("absorption");
    inputs.refractiveIndex = material.get("refractiveIndex")->x;
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
    auto host = loadMentalrayHost(LUMAVEIL_SHADER_PATH, builtRendererModulePath());
    const Image image = renderSwatch(*host, material, scene, centreSettings()).image;

    const std::string shader = LUMAVEIL_SHADER_PATH;
    const mrhost::Renderer renderer(
        shader, std::filesystem::path(shader).replace_extension(".mi").string());
    mrhost::Scene lights;
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
    parameters.setColor("color", rgb(*material.get("color")));
    parameters.setColor("scattering", rgb(*material.get("scattering")));
    parameters.setColor("absorption", rgb(*material.get("absorption")));
    parameters.setScalar("refractiveIndex", material.get("refractiveIndex")->x);

    const SurfaceSample sample = centreSample(scene);
    const miColor expected =
        renderer.shade(lights, parameters,
                       {vector(sample.point), vector(sample.normal), vector(sample.rayDirection)});
    EXPECT_EQ(image.at(16, 16), (FloatVector{expected.r, expected.g, expected.b}));
}

TEST(PreviewRender, ImageIsTheSameWhateverTheThreadCount) {
    const Scene scene = defaultScene();
    RenderSettings settings;
    settings.width = 24;
    settings.height = 20;
    settings.samples = 4;
    std::vector<std::unique_ptr<SwatchHost>> hosts;
    hosts.push_back(loadMayaHost(LUMAVEIL_PLUGIN_PATH));
    hosts.push_back(loadMentalrayHost(LUMAVEIL_SHADER_PATH, builtRendererModulePath()));
    for (auto& host : hosts) {
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

class PreviewFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("lumaveil-preview-test-" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::filesystem::path folder_;
};

TEST_F(PreviewFiles, ExrKeepsUnclampedLinearValues) {
    Image image(3, 2);
    image.at(0, 0) = {1.75f, -0.25f, 0.5f};
    image.at(2, 1) = {0.001f, 12.0f, 0.0f};
    const std::string path = (folder_ / "a.exr").string();
    writeExr(path, image);
    const Image back = readExr(path);
    ASSERT_EQ(back.width, 3);
    ASSERT_EQ(back.height, 2);
    EXPECT_EQ(back.pixels, image.pixels);
}

TEST_F(PreviewFiles, PngHoldsClampedSrgbCodes) {
    Image image(2, 1);
    image.at(0, 0) = {0.0f, 0.2158605f, 1.0f};  // sRGB codes 0, 128, 255
    image.at(1, 0) = {-1.0f, 2.0f, 0.5f};
    const std::string path = (folder_ / "a.png").string();
    writePng(path, image);
    const Image back = readPng(path);
    EXPECT_EQ(srgbCode(back.at(0, 0).x), 0);
    EXPECT_EQ(srgbCode(back.at(0, 0).y), 128);
    EXPECT_EQ(srgbCode(back.at(0, 0).z), 255);
    EXPECT_EQ(back.at(1, 0).x, 0.0f);
    EXPECT_EQ(back.at(1, 0).y, 1.0f);
    EXPECT_NEAR(back.at(1, 0).z, 0.5f, 0.005f);
}

TEST_F(PreviewFiles, AFailedWriteLeavesNoFile) {
    Image image(2, 2);
    const std::filesystem::path missing = folder_ / "no-such-folder" / "a.png";
    EXPECT_THROW(writePng(missing.string(), image), std::runtime_error);
    EXPECT_THROW(writeExr((folder_ / "no-such-folder" / "a.exr").string(), image),
                 std::runtime_error);
    // Over an existing file, the old one stays until the new one is whole.
    const std::string path = (folder_ / "keep.png").string();
    writePng(path, image);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".partial"));
}

}  // namespace
}  // namespace lumaveil::preview

namespace lumaveil::preview {
namespace {

// The tool's table of editable inputs must name real node attributes and,
// where it says so, real shader parameters.
TEST(PreviewAttributes, MatchTheNodeSchemaAndTheShaderDeclaration) {
    mayahost::Host host;
    ASSERT_TRUE(host.loadPlugin(LUMAVEIL_PLUGIN_PATH));
    const auto type = host.nodeType("lumaVeil");
    ASSERT_TRUE(type.has_value());
    const std::string shader = LUMAVEIL_SHADER_PATH;
    const mrhost::ShaderDeclaration declaration =
        mrhost::loadDeclaration(std::filesystem::path(shader).replace_extension(".mi").string());
    for (const MaterialAttribute& attribute : materialAttributes) {
        const auto found = std::find_if(
            type->attributes.begin(), type->attributes.end(),
            [&](const mayahost::AttributeInfo& a) { return a.longName == attribute.longName; });
        ASSERT_NE(found, type->attributes.end()) << attribute.longName;
        EXPECT_EQ(found->shortName, attribute.shortName);
        EXPECT_TRUE(found->keyable && found->storable && !found->hidden) << attribute.longName;
        EXPECT_EQ(found->children.size(), attribute.components == 3 ? 3u : 0u)
            << attribute.longName;
        EXPECT_EQ(declaration.find(attribute.longName) != nullptr, attribute.shaderParameter)
            << attribute.longName;
    }
}

}  // namespace
}  // namespace lumaveil::preview
