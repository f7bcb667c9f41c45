#pragma once
// Waits in tests for what happens in its own time (a paint, a timer, another thread's progress):
// checks the condition after each step until it holds or the deadline passes. A cold or busy
// machine takes longer, but only a condition that never comes fails.
#include <chrono>
#include <thread>

namespace tarn::test {

constexpr std::chrono::seconds kDeadline{30};

// Answers whether done() held before the deadline.
template <typename Done, typename Step>
bool waitUntil(Done done, Step step, std::chrono::steady_clock::duration deadline = kDeadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return done();
        step();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

template <typename Done> bool waitUntil(Done done) {
    return waitUntil(done, [] {});
}

} // namespace tarn::test
