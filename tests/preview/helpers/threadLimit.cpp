// Preloaded into lumaveil-preview by its tests: a limit on processes or
// threads, as RLIMIT_NPROC or a container's pids limit sets one. While
// LUMAVEIL_THREADS_ALLOWED started threads run, pthread_create fails with
// EAGAIN, as it then does.
#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace {

std::atomic<int> running{0};

struct Start {
    void* (*routine)(void*);
    void* argument;
};

void* counted(void* start) {
    const Start what = *static_cast<Start*>(start);
    delete static_cast<Start*>(start);
    void* const result = what.routine(what.argument);
    --running;
    return result;
}

}  // namespace

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*routine)(void*), void* argument) {
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const auto next = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    const char* allowed = std::getenv("LUMAVEIL_THREADS_ALLOWED");
    if (allowed == nullptr) {
        return next(thread, attributes, routine, argument);
    }
    if (running.fetch_add(1) >= std::atoi(allowed)) {
        --running;
        return EAGAIN;
    }
    Start* const start = new Start{routine, argument};
    const int error = next(thread, attributes, counted, start);
    if (error != 0) {
        delete start;
        --running;
    }
    return error;
}
