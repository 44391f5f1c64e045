// Counts the heap allocations of each thread, and can make them fail: an
// executable that includes this header once replaces the global operator new
// and delete.
#pragma once

#include <cstdlib>
#include <new>

namespace lumaveil::test {

// Allocations made so far by the calling thread.
inline thread_local long allocations = 0;

// While set, every allocation of the calling thread throws std::bad_alloc.
inline thread_local bool failAllocations = false;

}  // namespace lumaveil::test

// These replacements pair operator new with malloc and delete with free; GCC
// would take the free of a new'd pointer, once inlined, for a mismatch.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    ++lumaveil::test::allocations;
    void* const p = lumaveil::test::failAllocations ? nullptr : std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
