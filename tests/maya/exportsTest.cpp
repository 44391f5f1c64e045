// The plug-in library's dynamic symbol table holds the two entry points and
// the API version, and nothing else.
#include <gtest/gtest.h>

#if defined(__linux__)
#include <elf.h>
#endif

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "PluginTest.h"

namespace {

#if defined(__linux__) && defined(__LP64__)

// The names of the defined global and weak symbols of an ELF64 file's
// dynamic symbol table.
std::set<std::string> definedDynamicSymbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (bytes.size() < sizeof(Elf64_Ehdr)) {
        ADD_FAILURE() << "cannot read " << path;
        return names;
    }
    const auto* header = reinterpret_cast<const Elf64_Ehdr*>(bytes.data());
    const auto* sections = reinterpret_cast<const Elf64_Shdr*>(bytes.data() + header->e_shoff);
    for (int i = 0; i < header->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_DYNSYM) {
            continue;
        }
        const Elf64_Shdr& strings = sections[sections[i].sh_link];
        const auto* symbols =
            reinterpret_cast<const Elf64_Sym*>(bytes.data() + sections[i].sh_offset);
        const std::size_t count = sections[i].sh_size / sizeof(Elf64_Sym);
        for (std::size_t s = 0; s < count; ++s) {
            const Elf64_Sym& sym = symbols[s];
            const int binding = ELF64_ST_BIND(sym.st_info);
            if (sym.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK)) {
                continue;
            }
            names.insert(bytes.data() + strings.sh_offset + sym.st_name);
        }
    }
    return names;
}

TEST(PluginExports, ExactlyTheEntryPointsAndTheApiVersion) {
    EXPECT_TRUE(kPluginPath.ends_with("/lumaVeil.so")) << kPluginPath;
    EXPECT_EQ(definedDynamicSymbols(kPluginPath),
              (std::set<std::string>{"initializePlugin", "uninitializePlugin", "MApiVersion"}));
}

#endif

}  // namespace
