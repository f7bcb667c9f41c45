#include "gui/CVSTGUITimer.h"

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
    return true;
}

void CVSTGUITimer::fire() {
    if (callback) callback(this);
}

} // namespace VSTGUI
