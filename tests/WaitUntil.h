#pragma once
// Waits in tests for what happens in its own time (a paint, a timer, another thread's progress):
// checks the condition after each step until it holds or the deadline passes. A cold or busy
// machine takes longer, but only a condition that never comes fails.
#include <chrono>
#include <thread>

namespace tarn::test {

constexpr std::chrono::seconds kDeadline{30};

// Answers whether done() held before the deadline. Unless the step itself waits for something
// (pass pollPause false then), the thread gives up the processor for a millisecond between
// checks, so that the threads it waits for can run: a poll interval, not a count of sleeps.
template <typename Done, typename Step>
bool waitUntil(Done done, Step step, std::chrono::steady_clock::duration deadline = kDeadline, bool pollPause = true) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return done();
        step();
        if (pollPause) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

template <typename Done> bool waitUntil(Done done) {
    return waitUntil(done, [] {});
}

} // namespace tarn::test
