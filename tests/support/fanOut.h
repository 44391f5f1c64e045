// Work fanned out over threads that start together.
//
// std::latch would do, but the waits of the C++ runtime of MinGW's GCC 12
// check the count before taking their lock and can miss the last arrival's
// wake-up, blocking for ever; this gate spins instead.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace lumaveil::test {

// Holds threads until all of them have arrived, so that they start together.
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

// Runs work(t) for t in [0, threads) on threads of its own, all released at
// once, and returns when every one has finished.
template <class Work>
void fanOut(int threads, Work&& work) {
    StartGate start(threads);
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&start, &work, t] {
            start.arriveAndWait();
            work(t);
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
}

}  // namespace lumaveil::test
