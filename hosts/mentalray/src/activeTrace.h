// The call trace that the renderer functions write to, when the shader call
// on the calling thread records one.
#pragma once

#include <atomic>

#include "mrhost/renderer.h"

namespace lumaveil::mrhost {

// The call trace of the calling thread, if its shader call records one.
CallTrace*& activeTrace();

// How many shader calls, on any thread, record a trace right now. While none
// does, the renderer functions need not look up the calling thread's trace.
extern std::atomic<int> tracedCalls;

// The calling thread's trace, or null without a thread-local look-up when no
// call records one.
inline CallTrace* currentTrace() {
    return tracedCalls.load(std::memory_order_relaxed) != 0 ? activeTrace() : nullptr;
}

}  // namespace lumaveil::mrhost
