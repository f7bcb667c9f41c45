#include "gui/linux/LinuxTimer.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "gui/IPlatformTimer.h"

namespace VSTGUI {

namespace {

using Clock = std::chrono::steady_clock;

class LinuxTimer;

// The running timers of every thread. A timer fires on the thread that started it, but may be
// stopped or destroyed on any (a host that closes an instance from another thread than its
// user-interface thread). A thread holds the lock while it fires its timers, so that no timer
// goes away during its callback; callbacks may start and stop timers themselves.
std::recursive_mutex timersLock;
std::vector<LinuxTimer*> runningTimers;

bool isRunning(LinuxTimer* timer) {
    return std::find(runningTimers.begin(), runningTimers.end(), timer) != runningTimers.end();
}

class LinuxTimer : public IPlatformTimer {
public:
    explicit LinuxTimer(IPlatformTimerCallback* callback) : callback(callback) {}
    ~LinuxTimer() override { stop(); }

    bool start(uint32_t periodMs) override {
        std::lock_guard<std::recursive_mutex> hold(timersLock);
        stop();
        period = std::chrono::milliseconds(periodMs);
        due = Clock::now() + period;
        thread = std::this_thread::get_id();
        runningTimers.push_back(this);
        return true;
    }

    bool stop() override {
        std::lock_guard<std::recursive_mutex> hold(timersLock);
        auto it = std::find(runningTimers.begin(), runningTimers.end(), this);
        if (it == runningTimers.end()) return false;
        runningTimers.erase(it);
        return true;
    }

    // With timersLock held. Fires at most once per call; a late timer is not made to catch up.
    void fireIfDue(std::thread::id caller, Clock::time_point now) {
        if (caller != thread || now < due) return;
        due += period;
        if (due <= now) due = now + period;
        callback->fire();
    }

private:
    IPlatformTimerCallback* callback;
    Clock::duration period{};
    Clock::time_point due{};
    std::thread::id thread;
};

} // namespace

std::unique_ptr<IPlatformTimer> IPlatformTimer::create(IPlatformTimerCallback* callback) {
    if (!callback) return nullptr;
    return std::make_unique<LinuxTimer>(callback);
}

void fireDueLinuxTimers() {
    std::lock_guard<std::recursive_mutex> hold(timersLock);
    const auto now = Clock::now();
    const std::thread::id caller = std::this_thread::get_id();
    // A callback may stop or start timers: fire from a copy, skipping stopped ones.
    const std::vector<LinuxTimer*> current = runningTimers;
    for (LinuxTimer* timer : current)
        if (isRunning(timer)) timer->fireIfDue(caller, now);
}

} // namespace VSTGUI
