// The one way the tools open a file they read: a library, a declaration, a
// font. Whatever is not a readable regular file with something in it is
// refused before anything reads it, so that a named pipe never blocks the
// tool and a folder or device is named as what it is.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace lumaveil {

// A file that cannot be read as an input; the message is the reason in a
// few words, without the path, which the caller names once.
struct InputFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A regular file open for reading. The path is looked at before it is
// opened, and what was opened is looked at again, so that nothing swapped in
// between is read either.
class InputFile {
public:
    // Throws InputFileError when the path is empty, names nothing (a loop of
    // links is named as one), is not a regular file (a folder, named pipe,
    // socket or device), cannot be read, or is empty.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::uint64_t size() const { return size_; }

    // The whole file. Throws InputFileError when it cannot be read.
    std::string content() const;

private:
    int descriptor_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace lumaveil
