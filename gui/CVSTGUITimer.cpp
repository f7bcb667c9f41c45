#include "gui/CVSTGUITimer.h"

#include <chrono>

#include "gui/SharedPointer.h"

namespace VSTGUI {

CVSTGUITimer::CVSTGUITimer(CallbackFunc callback, uint32_t fireTime, bool doStart)
    : callback(std::move(callback)), fireTime(fireTime > 0 ? fireTime : 1) {
    if (doStart) start();
}

bool CVSTGUITimer::start() {
    if (running) return true;
    if (!platformTimer) platformTimer = IPlatformTimer::create(this);
    running = platformTimer && platformTimer->start(fireTime);
    return running;
}

bool CVSTGUITimer::stop() {
    if (!running) return false;
    platformTimer->stop();
    running = false;
    stretched = false;
    return true;
}

void CVSTGUITimer::fire() {
    if (!callback) return;
    // The callback may release the timer's last other reference.
    const SharedPointer<CVSTGUITimer> keep(this);
    const auto start = std::chrono::steady_clock::now();
    callback(this);
    if (!running) return;
    // After a callback longer than the period the next tick would be due at once, and a host
    // that empties its message queue before each idle would never find it empty: the next
    // tick waits as long as this one took, so the callback keeps to about half the thread.
    const auto took = std::chrono::ceil<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    if (took > static_cast<long long>(fireTime)) {
        platformTimer->start(static_cast<uint32_t>(took));
        stretched = true;
    } else if (stretched) {
        platformTimer->start(fireTime);
        stretched = false;
    }
}

} // namespace VSTGUI
