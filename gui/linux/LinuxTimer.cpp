#include "gui/linux/LinuxTimer.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "gui/IPlatformTimer.h"

namespace VSTGUI {

namespace {

using Clock = std::chrono::steady_clock;

class LinuxTimer;

// The running timers of this thread: a timer fires on the thread that started it.
thread_local std::vector<LinuxTimer*> runningTimers;

class LinuxTimer : public IPlatformTimer {
public:
    explicit LinuxTimer(IPlatformTimerCallback* callback) : callback(callback) {}
    ~LinuxTimer() override { stop(); }

    bool start(uint32_t periodMs) override {
        stop();
        period = std::chrono::milliseconds(periodMs);
        due = Clock::now() + period;
        runningTimers.push_back(this);
        return true;
    }

    bool stop() override {
        auto it = std::find(runningTimers.begin(), runningTimers.end(), this);
        if (it == runningTimers.end()) return false;
        runningTimers.erase(it);
        return true;
    }

    // Fires at most once per call; a late timer is not made to catch up.
    void fireIfDue(Clock::time_point now) {
        if (now < due) return;
        due += period;
        if (due <= now) due = now + period;
        callback->fire();
    }

private:
    IPlatformTimerCallback* callback;
    Clock::duration period{};
    Clock::time_point due{};
};

} // namespace

std::unique_ptr<IPlatformTimer> IPlatformTimer::create(IPlatformTimerCallback* callback) {
    if (!callback) return nullptr;
    return std::make_unique<LinuxTimer>(callback);
}

void fireDueLinuxTimers() {
    const auto now = Clock::now();
    // A callback may stop or start timers: fire from a copy, skipping stopped ones.
    const std::vector<LinuxTimer*> current = runningTimers;
    for (LinuxTimer* timer : current) {
        if (std::find(runningTimers.begin(), runningTimers.end(), timer) != runningTimers.end())
            timer->fireIfDue(now);
    }
}

} // namespace VSTGUI
