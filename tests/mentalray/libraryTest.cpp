// The shipped library's face: its export table, its version and the
// declaration that tells the renderer its parameter layout.
#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "libraryFile.h"
#include "mentalray/ShaderParams.h"
#include "model/materialAttributes.h"
#include "standInFixture.h"

namespace lumaveil::mrtest {
namespace {

using mrhost::DeclaredField;
using mrhost::ParamType;
using mrhost::ShaderDeclaration;

#if defined(__linux__)
TEST(LibraryTest, ExportsExactlyItsThreeEntryPoints) {
    const std::set<std::string> expected = {"qv7k_lumaVeil", "qv7k_lumaVeil_version",
                                            "miSetModuleHandle"};
    EXPECT_EQ(definedDynamicSymbols(QV7K_SHADER_PATH), expected);
}
#endif

TEST(LibraryTest, VersionIsOne) {
    mrhost::Renderer renderer(QV7K_SHADER_PATH, QV7K_DECLARATION_PATH, MRHOST_MODULE_PATH);
    EXPECT_EQ(renderer.version(), 1);
}

// The declaration and the record the shader reads cannot drift apart.
TEST(LibraryTest, DeclarationLaysOutShaderParams) {
    const ShaderDeclaration decl = mrhost::loadDeclaration(QV7K_DECLARATION_PATH);
    EXPECT_EQ(decl.name, "qv7k_lumaVeil");
    EXPECT_EQ(decl.resultType, "color");
    EXPECT_EQ(decl.version, 1);
    EXPECT_EQ(decl.apply, "material");

    using mr::ShaderParams;
    struct Expected {
        const char* name;
        ParamType type;
        std::size_t offset;
        std::size_t size;
    };
#define FIELD(name, type)                                                                \
    Expected {                                                                           \
#name, ParamType::type, offsetof(ShaderParams, name), sizeof(ShaderParams::name) \
    }
    const Expected record[] = {
        FIELD(color, color),
        FIELD(ambientColor, color),
        FIELD(incandescence, color),
        FIELD(normalCamera, vector),
        FIELD(diffuse, scalar),
        FIELD(absorption, color),
        FIELD(scattering, color),
        FIELD(refractiveIndex, scalar),
        FIELD(anisotropy, scalar),
        FIELD(diffuseReflection, scalar),
        FIELD(diffuseAnisotropy, scalar),
        FIELD(diffuseScatter, scalar),
        FIELD(eccentricity, scalar),
        FIELD(specularRollOff, scalar),
        FIELD(specularColor, color),
        FIELD(useIrradiance, boolean),
        FIELD(irradianceColor, color),
        FIELD(i_light, integer),
        FIELD(n_light, integer),
        FIELD(light, light),
    };
#undef FIELD
    ASSERT_EQ(decl.fields.size(), std::size(record));
    for (std::size_t i = 0; i < std::size(record); ++i) {
        const DeclaredField& f = decl.fields[i];
        EXPECT_EQ(f.name, record[i].name);
        EXPECT_EQ(f.type, record[i].type) << f.name;
        EXPECT_EQ(static_cast<std::size_t>(f.offset), record[i].offset) << f.name;
        EXPECT_EQ(static_cast<std::size_t>(f.size), record[i].size) << f.name;
    }
    EXPECT_TRUE(decl.fields.back().arrayElement);
    EXPECT_EQ(static_cast<std::size_t>(decl.recordSize), sizeof(ShaderParams));
}

// The parameters the shader shares with the node default to the node's
// defaults, an opaque alpha on colours.
TEST(LibraryTest, DeclarationDefaultsAreTheNodes) {
    const ShaderDeclaration decl = mrhost::loadDeclaration(QV7K_DECLARATION_PATH);
    for (const MaterialAttribute& a : materialAttributes) {
        if (a.rendererParameter.empty()) {
            continue;
        }
        const DeclaredField* field = decl.find(a.rendererParameter);
        ASSERT_NE(field, nullptr) << a.rendererParameter;
        std::vector<float> expected(a.defaultValue.begin(), a.defaultValue.begin() + a.components);
        if (a.isColour()) {
            expected.push_back(1.0f);
        }
        std::vector<float> declared;
        for (const double v : field->defaultValue) {
            declared.push_back(static_cast<float>(v));
        }
        EXPECT_EQ(declared, expected) << a.rendererParameter;
    }
}

}  // namespace
}  // namespace lumaveil::mrtest
