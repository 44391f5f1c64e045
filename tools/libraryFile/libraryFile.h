// Reading the headers of a shared library file, ELF or PE, without the
// loader: whether the loader may be handed it, and what it exports.
#pragma once

#include <set>
#include <stdexcept>
#include <string>

namespace lumaveil {

// A file that is not a whole library; the message says why, without the
// file's name.
struct LibraryFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Refuses a file the loader must not be handed: missing, not a regular file,
// not a shared library, or cut short (headers, program headers, sections or
// loaded segments reaching past its end, which the loader would map and the
// program would die on). Accepts whole ELF and PE images.
void checkLibraryFile(const std::string& path);

// What a file's header says it is built for: its format, word size, byte
// order and machine. Two files built for one kind of machine compare equal.
struct BinaryTarget {
    std::string format;  // "ELF" or "PE"
    int bits = 0;        // 32 or 64
    bool bigEndian = false;
    std::string machine;  // "x86-64", "aarch64", ... or "machine N"
    bool operator==(const BinaryTarget&) const = default;
    // As in "aarch64 (ELF 64-bit)".
    std::string description() const;
};

// The target of any ELF or PE file, program or library. Throws
// LibraryFileError for a file that is neither.
BinaryTarget binaryTargetOf(const std::string& path);

// The names of the symbols that a whole ELF library defines in its dynamic
// symbol table, global or weak: what it exports. Throws LibraryFileError for
// anything else.
std::set<std::string> definedDynamicSymbols(const std::string& path);

}  // namespace lumaveil
