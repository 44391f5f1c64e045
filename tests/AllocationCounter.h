// Counts the heap allocations of each thread: an executable that includes
// this header once replaces the global operator new and delete.
#pragma once

#include <cstdlib>
#include <new>

namespace lumaveil::testing {

// Allocations made so far by the calling thread.
inline thread_local long allocations = 0;

}  // namespace lumaveil::testing

void* operator new(std::size_t size) {
    ++lumaveil::testing::allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
