#pragma once
// Waits in tests for what happens in its own time (a paint, a timer, another thread's progress),
// on what it happens through: a window's events, or a signal from the other thread. A cold or
// busy machine takes longer, but only a condition that never comes fails.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tarn::test {

constexpr std::chrono::seconds kDeadline{30};

// Answers whether done() held before the deadline. Each step waits for what may change the
// condition, such as the window's next event; it bounds that wait only for what arrives without
// one (a timer falling due, a renderer's thread finishing).
template <typename Done, typename Step>
bool waitUntil(Done done, Step step, std::chrono::steady_clock::duration deadline = kDeadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return done();
        step();
    }
    return true;
}

// Raised by one thread, waited for by another.
class Signal {
public:
    void raise() {
        {
            std::lock_guard<std::mutex> hold(mutex);
            raised = true;
        }
        changed.notify_all();
    }
    // Answers whether the signal was raised before the deadline.
    bool wait(std::chrono::steady_clock::duration deadline = kDeadline) {
        std::unique_lock<std::mutex> hold(mutex);
        return changed.wait_for(hold, deadline, [this] { return raised; });
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool raised = false;
};

} // namespace tarn::test
