// The shipped library's face: its export table, its version and the
// declaration that tells the renderer its parameter layout.
#include <cstddef>
#include <fstream>
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

// The declaration lays out the record the golden file promises; the shader's
// record (ShaderParams.h) is held to the same offsets at compile time.
TEST(LibraryTest, DeclarationLaysOutShaderParams) {
    const ShaderDeclaration decl = mrhost::loadDeclaration(QV7K_DECLARATION_PATH);
    EXPECT_EQ(decl.name, "qv7k_lumaVeil");
    EXPECT_EQ(decl.resultType, "color");
    EXPECT_EQ(decl.version, 1);
    EXPECT_EQ(decl.apply, "material");

    // Each field as the golden file words it: name type offset size.
    const char* const types[] = {"boolean", "integer", "scalar", "vector", "color", "light"};
    std::vector<std::string> declared;
    for (const DeclaredField& f : decl.fields) {
        declared.push_back(f.name + " " + types[static_cast<int>(f.type)] + " " +
                           std::to_string(f.offset) + " " + std::to_string(f.size));
    }
    std::ifstream golden(LUMAVEIL_PARAMETER_BLOCK_GOLDEN_PATH);
    ASSERT_TRUE(golden) << "cannot read " << LUMAVEIL_PARAMETER_BLOCK_GOLDEN_PATH;
    std::vector<std::string> promised;
    for (std::string line; std::getline(golden, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line[0] != '#') {
            promised.push_back(line);
        }
    }
    EXPECT_EQ(declared, promised);
    EXPECT_TRUE(decl.fields.back().arrayElement);
    EXPECT_EQ(static_cast<std::size_t>(decl.recordSize), sizeof(mr::ShaderParams));
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
