// Preloaded into lumaveil-preview by its tests: raises SIGTERM the moment the
// tool has created its Nth temporary (a ".partial" file; N from
// LUMAVEIL_RAISE_AT_TEMPORARY, 1 if unset), before the tool can record it.
// Only the tool's holding back of signals keeps that temporary from being
// left behind.
#undef _FORTIFY_SOURCE  // its inline openat would clash with this one
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

bool isTemporary(const char* path) {
    const std::size_t length = std::strlen(path);
    return length >= 8 && std::strcmp(path + length - 8, ".partial") == 0;
}

}  // namespace

extern "C" int openat(int folder, const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & (O_CREAT | O_TMPFILE)) != 0) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    using OpenAt = int (*)(int, const char*, int, ...);
    static const auto next = reinterpret_cast<OpenAt>(dlsym(RTLD_NEXT, "openat"));
    const int file = next(folder, path, flags, mode);
    static std::atomic<int> created{0};
    if (file >= 0 && (flags & O_CREAT) != 0 && isTemporary(path)) {
        const char* at = std::getenv("LUMAVEIL_RAISE_AT_TEMPORARY");
        if (++created == (at != nullptr ? std::atoi(at) : 1)) {
            raise(SIGTERM);
        }
    }
    return file;
}

// Where the headers name it so, as with 64-bit file offsets on a 32-bit build.
extern "C" int openat64(int, const char*, int, ...) __attribute__((alias("openat")));
