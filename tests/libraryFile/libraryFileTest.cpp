// The one reader of library files: what it refuses before the loader maps
// a file, and the export table it reads.
#include "libraryFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "folderTest.h"

namespace lumaveil {
namespace {

using LibraryFileTest = test::FolderTest;

// A minimal 32-bit PE DLL: headers, one section table entry and its 512
// bytes of raw data, 1024 bytes in all.
std::string smallDll() {
    std::string image(0x400, '\0');
    auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            image[at + i] = static_cast<char>(value >> (8 * i) & 0xff);
        }
    };
    put(0, 0x5a4d, 2);          // MZ
    put(0x3c, 0x40, 4);         // offset of the PE header
    put(0x40, 0x4550, 4);       // PE\0\0
    put(0x44, 0x14c, 2);        // i386
    put(0x46, 1, 2);            // one section
    put(0x54, 0xe0, 2);         // size of the optional header
    put(0x56, 0x2102, 2);       // DLL, 32-bit, executable
    put(0x58, 0x10b, 2);        // PE32 optional header
    put(0x58 + 60, 0x200, 4);   // size of the headers
    put(0x138 + 16, 0x200, 4);  // the section's raw size
    put(0x138 + 20, 0x200, 4);  // and offset
    return image;
}

// Whole libraries pass; anything the loader must not map is refused with
// the reason, before it could kill the process with SIGBUS.
TEST_F(LibraryFileTest, ChecksRefuseWhatTheLoaderMustNotMap) {
    const std::string dll = smallDll();
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;  // empty: accepted
    };
    std::vector<Case> cases = {
        {"whole.dll", dll, ""},
        {"mz.dll", dll.substr(0, 0x30), "cut short: the MZ header"},
        {"optional.dll", dll.substr(0, 0x100), "cut short: the optional header"},
        {"section.dll", dll.substr(0, 0x300), "cut short: a section"},
        {"text.so", "not a library\n", "not a shared library (no ELF or PE header)"},
        {"empty.so", "", "not a shared library"},
    };
#if defined(__linux__)
    // The built shader, whole and cut short where the loader would map
    // past the end.
    std::ifstream built(QV7K_SHADER_PATH, std::ios::binary);
    const std::string library((std::istreambuf_iterator<char>(built)),
                              std::istreambuf_iterator<char>());
    ASSERT_GT(library.size(), 10000u);
    cases.push_back({"whole.so", library, ""});
    cases.push_back({"header.so", library.substr(0, 40), "cut short: the ELF header"});
    cases.push_back({"head.so", library.substr(0, 5000), "cut short: a loaded segment"});
    cases.push_back(
        {"sections.so", library.substr(0, library.size() - 100), "cut short: the section header"});
#endif
    auto refusal = [](const std::filesystem::path& path) {
        try {
            checkLibraryFile(path.string());
        } catch (const LibraryFileError& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    for (const auto& c : cases) {
        std::ofstream(folder_ / c.name, std::ios::binary) << c.bytes;
        const std::string reason = refusal(folder_ / c.name);
        if (*c.reason == '\0') {
            EXPECT_EQ(reason, "") << c.name;
        } else {
            EXPECT_NE(reason.find(c.reason), std::string::npos) << c.name << ": " << reason;
        }
    }
    EXPECT_EQ(refusal(folder_), "it is a folder, not a library file");
    EXPECT_EQ(refusal(folder_ / "missing.so"), "no such file");
}

TEST_F(LibraryFileTest, ExportsAreReadFromElfLibrariesOnly) {
    const std::filesystem::path dll = folder_ / "small.dll";
    std::ofstream(dll, std::ios::binary) << smallDll();
    EXPECT_THROW(definedDynamicSymbols(dll.string()), LibraryFileError);
}

}  // namespace
}  // namespace lumaveil
