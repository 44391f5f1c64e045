#include "inputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lumaveil {

namespace {

// What a file that is not a regular one is, in words.
std::string notRegular(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "it is a folder";
    }
    const char* kind = S_ISFIFO(mode)                   ? "a named pipe (FIFO)"
                       : S_ISSOCK(mode)                 ? "a socket"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                                                        : "a special file";
    return std::string("it is ") + kind + ", not a regular file";
}

// Why a path cannot be reached, from stat's error.
std::string unreachable(const std::string& path, int error) {
    struct stat link {};
    switch (error) {
        case ENOENT:
            return lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)
                       ? "it is a symbolic link to nothing"
                       : "no such file";
        case ELOOP:
            return "its symbolic links form a loop";
        case ENOTDIR:
            return "a folder on its path is not a folder";
        case EACCES:
            return "a folder on its path cannot be entered (permission denied)";
        case ENAMETOOLONG:
            return "the path is too long";
        default:
            return std::strerror(error);
    }
}

}  // namespace

InputFile::InputFile(const std::string& path) {
    if (path.empty()) {
        throw InputFileError("the path is empty");
    }
    // Looked at before it is opened: opening a named pipe would wait for a
    // writer, and a device may do anything.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        throw InputFileError(unreachable(path, errno));
    }
    if (!S_ISREG(status.st_mode)) {
        throw InputFileError(notRegular(status.st_mode));
    }
    // Links are followed: a library is often one. O_NONBLOCK keeps a pipe
    // swapped in since the look from blocking the open; the look at what was
    // opened refuses it.
    descriptor_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor_ < 0) {
        const int error = errno;
        throw InputFileError(error == EACCES
                                 ? "it cannot be read (permission denied)"
                                 : "it cannot be opened: " + std::string(std::strerror(error)));
    }
    if (fstat(descriptor_, &status) != 0) {
        const std::string reason = std::strerror(errno);
        close(descriptor_);
        throw InputFileError("it cannot be read: " + reason);
    }
    if (!S_ISREG(status.st_mode)) {
        close(descriptor_);
        throw InputFileError(notRegular(status.st_mode));
    }
    if (status.st_size == 0) {
        close(descriptor_);
        throw InputFileError("it is empty");
    }
    size_ = static_cast<std::uint64_t>(status.st_size);
}

InputFile::~InputFile() {
    close(descriptor_);
}

std::string InputFile::content() const {
    std::string text(size_, '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got =
            pread(descriptor_, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw InputFileError(std::string("it cannot be read: ") + std::strerror(errno));
        }
        if (got == 0) {
            throw InputFileError("it was cut short while it was read");
        }
        done += static_cast<std::size_t>(got);
    }
    return text;
}

}  // namespace lumaveil
