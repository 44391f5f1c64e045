// The node type's attributes as the host recorded them from initialize.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "pluginFixture.h"

namespace {

using mayahost::AttributeInfo;
using mayahost::AttributeKind;
using K = AttributeKind;
using T = MFnNumericData::Type;

struct Row {
    const char* longName;
    const char* shortName;
    AttributeKind kind;
    T type;
    const char* parent;
    double creationDefault;
};

constexpr T F = MFnNumericData::kFloat;
constexpr T F3 = MFnNumericData::k3Float;
constexpr T B = MFnNumericData::kBoolean;

// The 71 attributes in creation order.
const std::vector<Row> kRows = {
    {"colorR", "cr", K::Numeric, F, "color", 0.5},
    {"colorG", "cg", K::Numeric, F, "color", 0.5},
    {"colorB", "cb", K::Numeric, F, "color", 0.5},
    {"color", "c", K::NumericCompound, F3, "", 0},
    {"transparencyR", "itr", K::Numeric, F, "transparency", 0},
    {"transparencyG", "itg", K::Numeric, F, "transparency", 0},
    {"transparencyB", "itb", K::Numeric, F, "transparency", 0},
    {"transparency", "it", K::NumericCompound, F3, "", 0},
    {"ambientColorR", "ambCR", K::Numeric, F, "ambientColor", 0},
    {"ambientColorG", "ambCG", K::Numeric, F, "ambientColor", 0},
    {"ambientColorB", "ambCB", K::Numeric, F, "ambientColor", 0},
    {"ambientColor", "ambC", K::NumericCompound, F3, "", 0},
    {"incandescenceR", "ir", K::Numeric, F, "incandescence", 0},
    {"incandescenceG", "ig", K::Numeric, F, "incandescence", 0},
    {"incandescenceB", "ib", K::Numeric, F, "incandescence", 0},
    {"incandescence", "ic", K::NumericCompound, F3, "", 0},
    {"diffuse", "dfl", K::Numeric, F, "", 0},
    {"absorptionR", "abr", K::Numeric, F, "absorption", 0.5},
    {"absorptionG", "abg", K::Numeric, F, "absorption", 0.5},
    {"absorptionB", "abb", K::Numeric, F, "absorption", 0.5},
    {"absorption", "ab", K::NumericCompound, F3, "", 0},
    {"scatteringR", "str", K::Numeric, F, "scattering", 0.5},
    {"scatteringG", "stg", K::Numeric, F, "scattering", 0.5},
    {"scatteringB", "stb", K::Numeric, F, "scattering", 0.5},
    {"scattering", "st", K::NumericCompound, F3, "", 0},
    {"refractiveIndex", "rfi", K::Numeric, F, "", 0},
    {"anisotropy", "ani", K::Numeric, F, "", 0},
    {"diffuseReflection", "dflr", K::Numeric, F, "", 0},
    {"diffuseAnisotropy", "dflani", K::Numeric, F, "", 0},
    {"diffuseScatter", "dfst", K::Numeric, F, "", 0},
    {"eccentricity", "eccen", K::Numeric, F, "", 0},
    {"specularRollOff", "sro", K::Numeric, F, "", 0},
    {"specularColorR", "spcr", K::Numeric, F, "specularColor", 0.5},
    {"specularColorG", "spcg", K::Numeric, F, "specularColor", 0.5},
    {"specularColorB", "spcb", K::Numeric, F, "specularColor", 0.5},
    {"specularColor", "spc", K::NumericCompound, F3, "", 0},
    {"outColorR", "ocr", K::Numeric, F, "outColor", 0},
    {"outColorG", "ocg", K::Numeric, F, "outColor", 0},
    {"outColorB", "ocb", K::Numeric, F, "outColor", 0},
    {"outColor", "oc", K::NumericCompound, F3, "", 0},
    {"outTransparencyR", "otr", K::Numeric, F, "outTransparency", 0},
    {"outTransparencyG", "otg", K::Numeric, F, "outTransparency", 0},
    {"outTransparencyB", "otb", K::Numeric, F, "outTransparency", 0},
    {"outTransparency", "ot", K::NumericCompound, F3, "", 0},
    {"pointCameraX", "px", K::Numeric, F, "pointCamera", 1},
    {"pointCameraY", "py", K::Numeric, F, "pointCamera", 1},
    {"pointCameraZ", "pz", K::Numeric, F, "pointCamera", 1},
    {"pointCamera", "pc", K::NumericCompound, F3, "", 0},
    {"normalCameraX", "nx", K::Numeric, F, "normalCamera", 1},
    {"normalCameraY", "ny", K::Numeric, F, "normalCamera", 1},
    {"normalCameraZ", "nz", K::Numeric, F, "normalCamera", 1},
    {"normalCamera", "n", K::NumericCompound, F3, "", 0},
    {"rayDirectionX", "rdx", K::Numeric, F, "rayDirection", 1},
    {"rayDirectionY", "rdy", K::Numeric, F, "rayDirection", 1},
    {"rayDirectionZ", "rdz", K::Numeric, F, "rayDirection", 1},
    {"rayDirection", "rad", K::NumericCompound, F3, "", 0},
    {"lightDirectionX", "ldx", K::Numeric, F, "lightDirection", 0},
    {"lightDirectionY", "ldy", K::Numeric, F, "lightDirection", 0},
    {"lightDirectionZ", "ldz", K::Numeric, F, "lightDirection", 0},
    {"lightDirection", "ld", K::NumericCompound, F3, "lightDataArray", 0},
    {"lightIntensityR", "lir", K::Numeric, F, "lightIntensity", 0},
    {"lightIntensityG", "lig", K::Numeric, F, "lightIntensity", 0},
    {"lightIntensityB", "lib", K::Numeric, F, "lightIntensity", 0},
    {"lightIntensity", "li", K::NumericCompound, F3, "lightDataArray", 0},
    {"lightAmbient", "la", K::Numeric, B, "lightDataArray", 0},
    {"lightDiffuse", "ldf", K::Numeric, B, "lightDataArray", 0},
    {"lightSpecular", "ls", K::Numeric, B, "lightDataArray", 0},
    {"lightShadowFraction", "lsf", K::Numeric, F, "lightDataArray", 0},
    {"preShadowIntensity", "psi", K::Numeric, F, "lightDataArray", 0},
    {"lightBlindData", "lbld", K::Address, MFnNumericData::kAddr, "lightDataArray", 0},
    {"lightDataArray", "ltd", K::LightData, MFnNumericData::kInvalid, "", 0},
};

const std::set<std::string> kColourInputs = {"color",         "transparency", "ambientColor",
                                             "incandescence", "absorption",   "scattering",
                                             "specularColor"};
const std::set<std::string> kScalarInputs = {
    "diffuse",           "refractiveIndex", "anisotropy",   "diffuseReflection",
    "diffuseAnisotropy", "diffuseScatter",  "eccentricity", "specularRollOff"};

class SchemaTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        auto type = host.nodeType("lumaVeil");
        ASSERT_TRUE(type.has_value());
        info = *type;
    }
    const AttributeInfo& attr(const std::string& name) const {
        auto it = std::find_if(info.attributes.begin(), info.attributes.end(),
                               [&](const AttributeInfo& a) { return a.longName == name; });
        EXPECT_NE(it, info.attributes.end()) << name;
        return *it;
    }
    mayahost::NodeTypeInfo info;
};

TEST_F(SchemaTest, DeclaresTheSeventyOneAttributesInCreationOrder) {
    ASSERT_EQ(info.attributes.size(), kRows.size());
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const Row& row = kRows[i];
        const AttributeInfo& a = info.attributes[i];
        SCOPED_TRACE(row.longName);
        EXPECT_EQ(a.longName, row.longName);
        EXPECT_EQ(a.shortName, row.shortName);
        EXPECT_EQ(a.kind, row.kind);
        EXPECT_EQ(a.numericType, row.type);
        EXPECT_EQ(a.parent, row.parent);
        EXPECT_EQ(a.creationDefault, row.creationDefault);
    }
    EXPECT_EQ(attr("lightDataArray").children,
              (std::vector<std::string>{"lightDirection", "lightIntensity", "lightAmbient",
                                        "lightDiffuse", "lightSpecular", "lightShadowFraction",
                                        "preShadowIntensity", "lightBlindData"}));
    EXPECT_EQ(attr("color").children, (std::vector<std::string>{"colorR", "colorG", "colorB"}));
}

TEST_F(SchemaTest, InputsAreKeyableStoredAndCarryTheirDefaultsAndSoftRanges) {
    for (const auto& name : kColourInputs) {
        const AttributeInfo& a = attr(name);
        SCOPED_TRACE(name);
        EXPECT_TRUE(a.keyable && a.storable && a.usedAsColor && !a.hidden);
        const double v =
            (name == "transparency" || name == "ambientColor" || name == "incandescence") ? 0.0
                                                                                          : 0.5;
        EXPECT_EQ(a.defaults, (std::vector<double>{v, v, v}));
    }
    struct Scalar {
        const char* name;
        float value;
        double softMin, softMax;
    };
    for (const Scalar& s :
         {Scalar{"diffuse", 0.8f, 0, 1}, Scalar{"refractiveIndex", 1.333f, 1, 6},
          Scalar{"anisotropy", 0.2f, -1, 1}, Scalar{"diffuseReflection", 2.0f, 0, 10},
          Scalar{"diffuseAnisotropy", 0.2f, -1, 1}, Scalar{"diffuseScatter", 2.0f, 0, 10},
          Scalar{"eccentricity", 0.1f, 0, 1}, Scalar{"specularRollOff", 0.7f, 0, 1}}) {
        const AttributeInfo& a = attr(s.name);
        SCOPED_TRACE(s.name);
        EXPECT_TRUE(a.keyable && a.storable && !a.hidden);
        EXPECT_EQ(a.defaults, (std::vector<double>{static_cast<double>(s.value)}));
        EXPECT_EQ(a.softMin, s.softMin);
        EXPECT_EQ(a.softMax, s.softMax);
    }
}

TEST_F(SchemaTest, OnlyRefractiveIndexHasAHardLimit) {
    for (const AttributeInfo& a : info.attributes) {
        SCOPED_TRACE(a.longName);
        EXPECT_FALSE(a.max.has_value());
        if (a.longName == "refractiveIndex") {
            EXPECT_EQ(a.min, 1.0);
        } else {
            EXPECT_FALSE(a.min.has_value());
        }
    }
}

TEST_F(SchemaTest, OutputsAreReadableNotWritableNotHidden) {
    for (const char* name : {"outColor", "outTransparency"}) {
        const AttributeInfo& a = attr(name);
        SCOPED_TRACE(name);
        EXPECT_TRUE(a.readable);
        EXPECT_FALSE(a.writable);
        EXPECT_FALSE(a.hidden);
        EXPECT_TRUE(a.defaults.empty());
    }
}

TEST_F(SchemaTest, SampleGeometryAndLightDataAreHiddenAndNotStored) {
    std::vector<std::string> names = {"pointCamera", "normalCamera", "rayDirection"};
    for (std::size_t i = 56; i < kRows.size(); ++i) {
        names.push_back(kRows[i].longName);
    }
    for (const auto& name : names) {
        const AttributeInfo& a = attr(name);
        SCOPED_TRACE(name);
        EXPECT_TRUE(a.hidden);
        EXPECT_FALSE(a.storable);
        EXPECT_FALSE(a.keyable);
    }
    EXPECT_TRUE(attr("lightDataArray").array);
    EXPECT_EQ(attr("lightDataArray").defaults,
              (std::vector<double>{0, 0, 0, 0, 0, 0, 1, 1, 0, 1, 1}));
    EXPECT_EQ(attr("lightSpecular").defaults, (std::vector<double>{0}));
    EXPECT_EQ(attr("lightDirection").defaults, (std::vector<double>{1, 1, 1}));
    EXPECT_TRUE(attr("lightBlindData").defaults.empty());
}

TEST_F(SchemaTest, AddsTwentyNineAttributesInOrder) {
    const std::vector<std::string> expected = {
        "color",           "transparency",        "ambientColor",       "incandescence",
        "diffuse",         "absorption",          "scattering",         "refractiveIndex",
        "anisotropy",      "diffuseReflection",   "diffuseAnisotropy",  "diffuseScatter",
        "eccentricity",    "specularRollOff",     "specularColor",      "outColor",
        "outTransparency", "rayDirection",        "pointCamera",        "normalCamera",
        "lightDirection",  "lightIntensity",      "lightAmbient",       "lightDiffuse",
        "lightSpecular",   "lightShadowFraction", "preShadowIntensity", "lightBlindData",
        "lightDataArray"};
    EXPECT_EQ(loggedAttributes("MPxNode::addAttribute"), expected);
    EXPECT_EQ(info.addedAttributes, expected);
}

TEST_F(SchemaTest, DeclaresSixtyThreeDependenciesInOrder) {
    std::vector<std::pair<std::string, std::string>> expected;
    auto affect = [&](std::vector<std::string> inputs, const std::string& output) {
        for (auto& input : inputs) {
            expected.emplace_back(input, output);
        }
    };
    auto triple = [](const std::string& n, const char* a, const char* b, const char* c) {
        return std::vector<std::string>{n + a, n + b, n + c, n};
    };
    affect(triple("color", "R", "G", "B"), "outColor");
    affect(triple("transparency", "R", "G", "B"), "outTransparency");
    affect(triple("transparency", "R", "G", "B"), "outColor");
    affect(triple("ambientColor", "R", "G", "B"), "outColor");
    affect(triple("incandescence", "R", "G", "B"), "outColor");
    affect({"diffuse"}, "outColor");
    affect(triple("absorption", "R", "G", "B"), "outColor");
    affect(triple("scattering", "R", "G", "B"), "outColor");
    affect({"refractiveIndex", "anisotropy", "diffuseReflection", "diffuseAnisotropy",
            "diffuseScatter", "eccentricity", "specularRollOff"},
           "outColor");
    affect(triple("specularColor", "R", "G", "B"), "outColor");
    affect(triple("rayDirection", "X", "Y", "Z"), "outColor");
    affect({"pointCamera", "pointCameraX", "pointCameraY", "pointCameraZ"}, "outColor");
    affect(triple("normalCamera", "X", "Y", "Z"), "outColor");
    affect(triple("lightDirection", "X", "Y", "Z"), "outColor");
    affect({"lightAmbient", "lightSpecular", "lightDiffuse", "lightShadowFraction",
            "preShadowIntensity", "lightBlindData", "lightDataArray"},
           "outColor");
    ASSERT_EQ(expected.size(), 63u);
    EXPECT_EQ(info.affects, expected);

    std::vector<std::pair<std::string, std::string>> logged;
    for (const auto& call : host.callLog()) {
        if (call.function == "MPxNode::attributeAffects") {
            const auto comma = call.arguments.find(", ");
            logged.emplace_back(call.arguments.substr(0, comma), call.arguments.substr(comma + 2));
        }
    }
    EXPECT_EQ(logged, expected);
}

TEST_F(SchemaTest, ProfileCallsFollowEachCreationInOrder) {
    // The calls of initialize that act on one attribute, as (function, arguments).
    auto callsOn = [&](const std::string& name) {
        std::vector<std::string> out;
        for (const auto& call : host.callLog()) {
            if (call.attribute == name && call.function != "MPxNode::addAttribute" &&
                call.function != "MPxNode::attributeAffects") {
                out.push_back(
                    call.function.substr(call.function.find("::") + 2) + "(" +
                    (call.function.find("create") != std::string::npos ? "" : call.arguments) +
                    ")");
            }
        }
        return out;
    };
    EXPECT_EQ(callsOn("refractiveIndex"),
              (std::vector<std::string>{"create()", "setKeyable(true)", "setStorable(true)",
                                        "setDefault(1.33299994)", "setSoftMin(1)", "setMin(1)",
                                        "setSoftMax(6)"}));
    EXPECT_EQ(callsOn("color"),
              (std::vector<std::string>{"create()", "setKeyable(true)", "setStorable(true)",
                                        "setDefault(0.5, 0.5, 0.5)", "setUsedAsColor(true)"}));
    EXPECT_EQ(callsOn("colorR"), (std::vector<std::string>{"create()"}));
    EXPECT_EQ(callsOn("outColor"),
              (std::vector<std::string>{"create()", "setHidden(false)", "setReadable(true)",
                                        "setWritable(false)"}));
    EXPECT_EQ(callsOn("normalCamera"),
              (std::vector<std::string>{"create()", "setStorable(false)", "setDefault(1, 1, 1)",
                                        "setHidden(true)"}));
    EXPECT_EQ(
        callsOn("lightAmbient"),
        (std::vector<std::string>{"create()", "setStorable(false)", "setHidden(true)",
                                  "setReadable(true)", "setWritable(false)", "setDefault(true)"}));
    EXPECT_EQ(callsOn("lightBlindData"),
              (std::vector<std::string>{"createAddr()", "setStorable(false)", "setHidden(true)",
                                        "setReadable(true)", "setWritable(false)"}));
    EXPECT_EQ(callsOn("lightDataArray"),
              (std::vector<std::string>{
                  "create()", "setArray(true)", "setStorable(false)", "setHidden(true)",
                  "setDefault(0, 0, 0, 0, 0, 0, true, true, false, 1, 1, null)"}));

    // The creations themselves, in table order.
    std::vector<std::string> created;
    for (const auto& call : host.callLog()) {
        if (call.function.find("::create") != std::string::npos) {
            created.push_back(call.attribute);
        }
    }
    ASSERT_EQ(created.size(), kRows.size());
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        EXPECT_EQ(created[i], kRows[i].longName);
    }
}

TEST_F(SchemaTest, NewNodeHoldsTheDefaults) {
    mayahost::Node node = host.createNode("lumaVeil");
    ASSERT_TRUE(node);
    using V = std::array<float, 3>;
    EXPECT_EQ(node.getFloat3("color"), (V{0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(node.getFloat3("transparency"), (V{0, 0, 0}));
    EXPECT_EQ(node.getFloat3("specularColor"), (V{0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(node.getFloat3("absorption"), (V{0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(node.getFloat3("scattering"), (V{0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(node.getFloat3("outColor"), (V{0, 0, 0}));
    EXPECT_EQ(node.getFloat3("pointCamera"), (V{1, 1, 1}));
    EXPECT_EQ(node.getFloat("diffuse"), 0.8f);
    EXPECT_EQ(node.getFloat("rfi"), 1.333f);
    EXPECT_EQ(node.getFloat("anisotropy"), 0.2f);
    EXPECT_EQ(node.getFloat("diffuseReflection"), 2.0f);
    EXPECT_EQ(node.getFloat("diffuseAnisotropy"), 0.2f);
    EXPECT_EQ(node.getFloat("diffuseScatter"), 2.0f);
    EXPECT_EQ(node.getFloat("eccentricity"), 0.1f);
    EXPECT_EQ(node.getFloat("specularRollOff"), 0.7f);
    EXPECT_EQ(node.getFloat("colorG"), 0.5f);
    // Values outside the soft ranges are legal.
    EXPECT_TRUE(node.setFloat("diffuseReflection", 25.0f));
    EXPECT_TRUE(node.setFloat("ani", -3.0f));
    EXPECT_EQ(node.getFloat("anisotropy"), -3.0f);
}

}  // namespace
