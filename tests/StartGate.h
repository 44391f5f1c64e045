// Holds threads until all of them have arrived, so that they start together.
//
// std::latch would do, but the waits of the C++ runtime of MinGW's GCC 12
// check the count before taking their lock and can miss the last arrival's
// wake-up, blocking for ever; this gate spins instead.
#pragma once

#include <atomic>
#include <thread>

namespace lumaveil::test {

class StartGate {
public:
    explicit StartGate(int count) : remaining_(count) {}

    void arriveAndWait() {
        remaining_.fetch_sub(1, std::memory_order_acq_rel);
        while (remaining_.load(std::memory_order_acquire) > 0) {
            std::this_thread::yield();
        }
    }

private:
    std::atomic<int> remaining_;
};

}  // namespace lumaveil::test
