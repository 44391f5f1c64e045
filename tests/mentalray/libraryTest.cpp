// The shipped library's face: its export table, its version and the
// declaration that tells the renderer its parameter layout.
#include <cstddef>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "mentalray/ShaderParams.h"
#include "tests/mentalray/standInFixture.h"

#if defined(__linux__)
#include <elf.h>
#endif

namespace lumaveil::mrtest {
namespace {

using mrhost::DeclaredField;
using mrhost::ParamType;
using mrhost::ShaderDeclaration;

#if defined(__linux__)
// Names of the functions a shared library defines in its dynamic symbol table.
template <class Ehdr, class Shdr, class Sym, unsigned char (*typeOf)(unsigned char)>
std::set<std::string> definedFunctions(const std::vector<char>& file) {
    std::set<std::string> names;
    const auto* header = reinterpret_cast<const Ehdr*>(file.data());
    const auto* sections = reinterpret_cast<const Shdr*>(file.data() + header->e_shoff);
    for (int s = 0; s < header->e_shnum; ++s) {
        if (sections[s].sh_type != SHT_DYNSYM) {
            continue;
        }
        const char* strings = file.data() + sections[sections[s].sh_link].sh_offset;
        const auto* symbols = reinterpret_cast<const Sym*>(file.data() + sections[s].sh_offset);
        const std::size_t count = sections[s].sh_size / sizeof(Sym);
        for (std::size_t i = 0; i < count; ++i) {
            if (symbols[i].st_shndx != SHN_UNDEF && typeOf(symbols[i].st_info) == STT_FUNC) {
                names.insert(strings + symbols[i].st_name);
            }
        }
    }
    return names;
}

unsigned char type32(unsigned char info) {
    return ELF32_ST_TYPE(info);
}
unsigned char type64(unsigned char info) {
    return ELF64_ST_TYPE(info);
}

TEST(LibraryTest, ExportsExactlyItsThreeEntryPoints) {
    std::ifstream in(QV7K_SHADER_PATH, std::ios::binary);
    const std::vector<char> file{std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>()};
    ASSERT_GT(file.size(), static_cast<std::size_t>(EI_NIDENT));
    const std::set<std::string> names =
        file[EI_CLASS] == ELFCLASS64
            ? definedFunctions<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym, type64>(file)
            : definedFunctions<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym, type32>(file);
    const std::set<std::string> expected = {"qv7k_lumaVeil", "qv7k_lumaVeil_version",
                                            "miSetModuleHandle"};
    EXPECT_EQ(names, expected);
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

}  // namespace
}  // namespace lumaveil::mrtest
