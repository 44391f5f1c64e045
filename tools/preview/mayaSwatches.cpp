// Swatches through the Maya node: per sample the software renderer's
// geometry and light data go into the node's attributes and "outColor" and
// "outTransparency" are computed.
#include "mayahost/host.h"

#include "swatchRenderers.h"

namespace lumaveil::preview {

namespace {

constexpr const char* nodeTypeName = "lumaVeil";

std::array<float, 3> array3(FloatVector v) {
    return {v.x, v.y, v.z};
}
FloatVector vector3(const std::array<float, 3>& a) {
    return {a[0], a[1], a[2]};
}

class MayaSwatchShader final : public SwatchShader {
public:
    MayaSwatchShader(mayahost::Host& host, const MaterialSettings& material, const Scene& scene)
        : host_(host), scene_(scene) {
        MStatus status;
        node_ = host_.createNode(nodeTypeName, &status);
        if (!node_) {
            throw HostLoadError("the Maya plug-in registered no \"lumaVeil\" node type");
        }
        for (const MaterialSettings::Entry& entry : material.entries()) {
            if (!isNodeAttribute(*entry.attribute)) {
                continue;  // the renderer shader's alone
            }
            const mayahost::AttributeRef attribute = node_.attribute(entry.attribute->longName);
            const bool set = entry.attribute->components == 3
                                 ? node_.setFloat3(attribute, array3(entry.value))
                                 : node_.setFloat(attribute, entry.value.x);
            if (!set) {
                throw HostLoadError("the \"lumaVeil\" node has no attribute \"" +
                                    std::string(entry.attribute->longName) + "\"");
            }
        }
        node_.setLightCount(static_cast<int>(scene.lights.size()));
        outColor_ = node_.attribute("outColor");
        outTransparency_ = node_.attribute("outTransparency");
    }
    ~MayaSwatchShader() override { host_.destroyNode(node_); }

    void shade(const SurfaceSample& sample, FloatVector& color,
               FloatVector& transparency) override {
        node_.setSampleGeometry(array3(sample.point), array3(sample.normal),
                                array3(sample.rayDirection));
        for (std::size_t i = 0; i < scene_.lights.size(); ++i) {
            const LightSample data = mayaLightData(scene_.lights[i], sample);
            // Where the sphere shadows itself no light arrives.
            const bool lit = dot(data.lightIntensity, data.lightIntensity) > 0.0f;
            node_.setLight(static_cast<int>(i), {.direction = array3(data.lightDirection),
                                                 .intensity = array3(data.lightIntensity),
                                                 .ambient = data.lightAmbient,
                                                 .diffuse = data.lightDiffuse,
                                                 .specular = data.lightSpecular,
                                                 .shadowFraction = lit ? 0.0f : 1.0f,
                                                 .preShadowIntensity = data.preShadowIntensity});
        }
        node_.compute(outColor_);
        node_.compute(outTransparency_);
        color = vector3(node_.getFloat3(outColor_));
        transparency = vector3(node_.getFloat3(outTransparency_));
    }

private:
    mayahost::Host& host_;
    const Scene& scene_;
    mayahost::Node node_;
    mayahost::AttributeRef outColor_;
    mayahost::AttributeRef outTransparency_;
};

class MayaSwatchRenderer final : public SwatchRenderer {
public:
    explicit MayaSwatchRenderer(const std::string& pluginPath) : path_(pluginPath) {
        std::string error;
        if (!host_.loadPlugin(pluginPath, &error)) {
            throw cannotLoad("the Maya plug-in", pluginPath,
                             error.empty() ? "initializePlugin failed" : error);
        }
        // Found now, not when the first swatch asks for a node.
        if (!host_.nodeType(nodeTypeName)) {
            std::string registered;
            for (const std::string& name : host_.nodeTypeNames()) {
                registered += (registered.empty() ? "" : ", ") + name;
            }
            throw cannotLoad("the Maya plug-in", pluginPath,
                             std::string("it registers no \"") + nodeTypeName + "\" node type" +
                                 (registered.empty() ? "" : " (only " + registered + ")"));
        }
        host_.setCallLogEnabled(false);
    }
    std::string name() const override { return "maya"; }
    std::unique_ptr<SwatchShader> newShader(const MaterialSettings& material,
                                            const Scene& scene) override {
        return std::make_unique<MayaSwatchShader>(host_, material, scene);
    }

private:
    mayahost::Host host_;
    std::string path_;
};

}  // namespace

std::unique_ptr<SwatchRenderer> loadMayaSwatchRenderer(const std::string& pluginPath) {
    return std::make_unique<MayaSwatchRenderer>(pluginPath);
}

}  // namespace lumaveil::preview
