// Checks a library file before the loader maps it. The loader trusts the
// file's headers: a segment that reaches past the end of a truncated file is
// mapped all the same, and the first touch of its missing pages kills the
// process with SIGBUS. So every header, table and segment must lie within
// the file. Every read is bounded by the file, so the export table is read
// the same way.
#include "libraryFile.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <system_error>

namespace lumaveil {

namespace {

// Random reads of a file of known size; a read past the end gives nothing.
class FileReader {
public:
    FileReader(const std::string& path, std::uint64_t size)
        : file_(path, std::ios::binary), size_(size) {}
    bool isOpen() const { return file_.is_open(); }
    std::uint64_t size() const { return size_; }

    // An unsigned little- or big-endian number of `bytes` bytes at `offset`.
    std::optional<std::uint64_t> number(std::uint64_t offset, int bytes, bool bigEndian = false) {
        unsigned char data[8] = {};
        if (!within(offset, static_cast<std::uint64_t>(bytes))) {
            return std::nullopt;
        }
        file_.seekg(static_cast<std::streamoff>(offset));
        if (!file_.read(reinterpret_cast<char*>(data), bytes)) {
            file_.clear();
            return std::nullopt;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const int at = bigEndian ? i : bytes - 1 - i;
            value = value << 8 | data[at];
        }
        return value;
    }

    // The NUL-terminated text at offset, which must end before `end`.
    std::optional<std::string> text(std::uint64_t offset, std::uint64_t end) {
        std::string out;
        for (std::uint64_t at = offset; at < end; ++at) {
            const std::optional<std::uint64_t> c = number(at, 1);
            if (!c) {
                return std::nullopt;
            }
            if (*c == 0) {
                return out;
            }
            out.push_back(static_cast<char>(*c));
        }
        return std::nullopt;
    }

    // Whether [offset, offset + length) lies within the file, without overflow.
    bool within(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

private:
    std::ifstream file_;
    std::uint64_t size_;
};

[[noreturn]] void refuse(const std::string& reason) {
    throw LibraryFileError(reason);
}

std::string cutShort(const std::string& what, std::uint64_t end, std::uint64_t size) {
    return "the file is cut short: " + what + " ends at byte " + std::to_string(end) +
           ", the file has " + std::to_string(size);
}

// Checks a table of `count` entries of `entrySize` bytes at `offset`.
void checkTable(FileReader& file, const std::string& what, std::uint64_t offset,
                std::uint64_t count, std::uint64_t entrySize) {
    if (count > file.size() || !file.within(offset, count * entrySize)) {
        refuse(cutShort(what, offset + count * entrySize, file.size()));
    }
}

void checkElf(FileReader& file) {
    const std::uint64_t elfClass = file.number(4, 1).value_or(0);
    const std::uint64_t encoding = file.number(5, 1).value_or(0);
    if ((elfClass != 1 && elfClass != 2) || (encoding != 1 && encoding != 2)) {
        refuse("not a shared library: an ELF header of unknown class or byte order");
    }
    const bool wide = elfClass == 2;
    const bool big = encoding == 2;
    const std::uint64_t headerSize = wide ? 64 : 52;
    if (!file.within(0, headerSize)) {
        refuse(cutShort("the ELF header", headerSize, file.size()));
    }
    const int address = wide ? 8 : 4;
    auto read = [&](std::uint64_t offset, int bytes) {
        return file.number(offset, bytes, big).value_or(0);
    };
    if (read(16, 2) != 3) {  // ET_DYN
        refuse("not a shared library (ELF file type " + std::to_string(read(16, 2)) + ")");
    }
    const std::uint64_t programOffset = read(wide ? 32 : 28, address);
    const std::uint64_t sectionOffset = read(wide ? 40 : 32, address);
    const std::uint64_t programEntry = read(wide ? 54 : 42, 2);
    const std::uint64_t programCount = read(wide ? 56 : 44, 2);
    const std::uint64_t sectionEntry = read(wide ? 58 : 46, 2);
    std::uint64_t sectionCount = read(wide ? 60 : 48, 2);

    if (programCount == 0 || programEntry < (wide ? 56u : 32u)) {
        refuse("not a loadable library: it has no program headers");
    }
    checkTable(file, "the program header table", programOffset, programCount, programEntry);
    for (std::uint64_t i = 0; i < programCount; ++i) {
        const std::uint64_t entry = programOffset + i * programEntry;
        const std::uint64_t type = read(entry, 4);
        const std::uint64_t offset = read(entry + (wide ? 8 : 4), address);
        const std::uint64_t fileSize = read(entry + (wide ? 32 : 16), address);
        if (type != 0 && !file.within(offset, fileSize)) {
            refuse(cutShort(type == 1 ? "a loaded segment" : "a segment", offset + fileSize,
                            file.size()));
        }
    }

    if (sectionOffset == 0) {
        return;  // no section headers: the loader needs none
    }
    if (sectionEntry < (wide ? 64u : 40u)) {
        refuse("not a shared library: malformed section headers");
    }
    if (sectionCount == 0) {
        // Extended numbering: the count is the first section's size.
        checkTable(file, "the section header table", sectionOffset, 1, sectionEntry);
        sectionCount = read(sectionOffset + (wide ? 32 : 20), address);
    }
    checkTable(file, "the section header table", sectionOffset, sectionCount, sectionEntry);
    for (std::uint64_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t entry = sectionOffset + i * sectionEntry;
        const std::uint64_t type = read(entry + 4, 4);
        const std::uint64_t offset = read(entry + (wide ? 24 : 16), address);
        const std::uint64_t size = read(entry + (wide ? 32 : 20), address);
        if (type != 0 && type != 8 && !file.within(offset, size)) {  // not NULL, not NOBITS
            refuse(cutShort("a section", offset + size, file.size()));
        }
    }
}

void checkPe(FileReader& file) {
    if (!file.within(0x3c, 4)) {
        refuse(cutShort("the MZ header", 0x40, file.size()));
    }
    const std::uint64_t peOffset = file.number(0x3c, 4).value_or(0);
    if (file.number(peOffset, 4).value_or(0) != 0x00004550) {  // "PE\0\0"
        if (!file.within(peOffset, 4)) {
            refuse(cutShort("the PE header", peOffset + 4, file.size()));
        }
        refuse("not a shared library: an MZ file without a PE header");
    }
    const std::uint64_t coff = peOffset + 4;
    if (!file.within(coff, 20)) {
        refuse(cutShort("the COFF header", coff + 20, file.size()));
    }
    const std::uint64_t sectionCount = file.number(coff + 2, 2).value_or(0);
    const std::uint64_t optionalSize = file.number(coff + 16, 2).value_or(0);
    const std::uint64_t characteristics = file.number(coff + 18, 2).value_or(0);
    if ((characteristics & 0x2000) == 0) {  // IMAGE_FILE_DLL
        refuse("not a shared library: a PE image that is not a DLL");
    }
    const std::uint64_t optional = coff + 20;
    checkTable(file, "the optional header", optional, 1, optionalSize);
    const std::uint64_t magic = file.number(optional, 2).value_or(0);
    if ((magic != 0x10b && magic != 0x20b) || optionalSize < 64) {
        refuse("not a shared library: a PE image without a valid optional header");
    }
    const std::uint64_t headersSize = file.number(optional + 60, 4).value_or(0);
    if (headersSize > file.size()) {
        refuse(cutShort("the headers", headersSize, file.size()));
    }
    const std::uint64_t sections = optional + optionalSize;
    checkTable(file, "the section table", sections, sectionCount, 40);
    for (std::uint64_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t entry = sections + i * 40;
        const std::uint64_t rawSize = file.number(entry + 16, 4).value_or(0);
        const std::uint64_t rawOffset = file.number(entry + 20, 4).value_or(0);
        if (rawSize > 0 && !file.within(rawOffset, rawSize)) {
            refuse(cutShort("a section", rawOffset + rawSize, file.size()));
        }
    }
}

// Opens a regular file for reading, refusing anything else.
FileReader openFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) {
        refuse("no such file");
    }
    if (std::filesystem::is_directory(status)) {
        refuse("it is a folder, not a library file");
    }
    if (!std::filesystem::is_regular_file(status)) {
        refuse("not a regular file");
    }
    const std::uint64_t size = std::filesystem::file_size(path, error);
    FileReader file(path, error ? 0 : size);
    if (error || !file.isOpen()) {
        refuse("cannot read it");
    }
    return file;
}

bool isElf(FileReader& file) {
    return file.number(0, 4, true) == 0x7f454c46;  // "\x7f" "ELF"
}

// The machines a library is most likely built for, by the numbers ELF's
// e_machine and PE's COFF Machine give them.
struct MachineName {
    std::uint64_t number;
    const char* name;
};
constexpr MachineName elfMachines[] = {
    {3, "i386"}, {8, "mips"},    {20, "powerpc"},  {21, "powerpc64"}, {22, "s390"},
    {40, "arm"}, {62, "x86-64"}, {183, "aarch64"}, {243, "riscv"},    {258, "loongarch"},
};
constexpr MachineName peMachines[] = {
    {0x14c, "i386"}, {0x1c4, "arm"}, {0x8664, "x86-64"}, {0xaa64, "aarch64"}};

template <std::size_t N>
std::string machineName(const MachineName (&names)[N], std::uint64_t number) {
    for (const MachineName& known : names) {
        if (known.number == number) {
            return known.name;
        }
    }
    return "machine " + std::to_string(number);
}

}  // namespace

std::string BinaryTarget::description() const {
    return machine + " (" + format + " " + std::to_string(bits) + "-bit" +
           (bigEndian ? ", big-endian)" : ")");
}

BinaryTarget binaryTargetOf(const std::string& path) {
    FileReader file = openFile(path);
    BinaryTarget target;
    if (isElf(file)) {
        const std::uint64_t elfClass = file.number(4, 1).value_or(0);
        const std::uint64_t encoding = file.number(5, 1).value_or(0);
        if ((elfClass != 1 && elfClass != 2) || (encoding != 1 && encoding != 2)) {
            refuse("not a shared library: an ELF header of unknown class or byte order");
        }
        target.format = "ELF";
        target.bits = elfClass == 2 ? 64 : 32;
        target.bigEndian = encoding == 2;
        const std::optional<std::uint64_t> machine = file.number(18, 2, target.bigEndian);
        if (!machine) {
            refuse(cutShort("the ELF header", 20, file.size()));
        }
        target.machine = machineName(elfMachines, *machine);
        return target;
    }
    if (file.number(0, 2) == 0x5a4d) {  // "MZ"
        const std::uint64_t coff = file.number(0x3c, 4).value_or(0) + 4;
        const std::optional<std::uint64_t> machine = file.number(coff, 2);
        const std::uint64_t magic = file.number(coff + 20, 2).value_or(0);
        if (!machine || (magic != 0x10b && magic != 0x20b)) {
            refuse("not a shared library: a PE image without a valid optional header");
        }
        target.format = "PE";
        target.bits = magic == 0x20b ? 64 : 32;
        target.machine = machineName(peMachines, *machine);
        return target;
    }
    refuse("not a shared library (no ELF or PE header)");
}

void checkLibraryFile(const std::string& path) {
    FileReader file = openFile(path);
    if (isElf(file)) {
        checkElf(file);
    } else if (file.number(0, 2) == 0x5a4d) {  // "MZ"
        checkPe(file);
    } else {
        refuse("not a shared library (no ELF or PE header)");
    }
}

std::set<std::string> definedDynamicSymbols(const std::string& path) {
    FileReader file = openFile(path);
    if (!isElf(file)) {
        refuse("not an ELF library");
    }
    checkElf(file);
    const bool wide = file.number(4, 1) == 2;
    const bool big = file.number(5, 1) == 2;
    const int address = wide ? 8 : 4;
    auto read = [&](std::uint64_t offset, int bytes) {
        return file.number(offset, bytes, big).value_or(0);
    };
    const std::uint64_t sectionOffset = read(wide ? 40 : 32, address);
    const std::uint64_t sectionEntry = read(wide ? 58 : 46, 2);
    const std::uint64_t sectionCount = read(wide ? 60 : 48, 2);
    const std::uint64_t symbolSize = wide ? 24 : 16;
    std::set<std::string> names;
    for (std::uint64_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t entry = sectionOffset + i * sectionEntry;
        if (read(entry + 4, 4) != 11) {  // SHT_DYNSYM
            continue;
        }
        const std::uint64_t link = read(entry + (wide ? 40 : 24), 4);
        const std::uint64_t offset = read(entry + (wide ? 24 : 16), address);
        const std::uint64_t size = read(entry + (wide ? 32 : 20), address);
        if (link >= sectionCount) {
            refuse("not a shared library: malformed section headers");
        }
        const std::uint64_t strings = sectionOffset + link * sectionEntry;
        const std::uint64_t stringsOffset = read(strings + (wide ? 24 : 16), address);
        const std::uint64_t stringsEnd = stringsOffset + read(strings + (wide ? 32 : 20), address);
        for (std::uint64_t at = offset; at + symbolSize <= offset + size; at += symbolSize) {
            const std::uint64_t info = read(at + (wide ? 4 : 12), 1);
            const std::uint64_t sectionIndex = read(at + (wide ? 6 : 14), 2);
            const std::uint64_t binding = info >> 4;
            if (sectionIndex == 0 || (binding != 1 && binding != 2)) {  // undefined, or local
                continue;
            }
            const std::optional<std::string> name =
                file.text(stringsOffset + read(at, 4), stringsEnd);
            if (!name) {
                refuse("not a shared library: a symbol name outside its string table");
            }
            names.insert(*name);
        }
    }
    return names;
}

}  // namespace lumaveil
