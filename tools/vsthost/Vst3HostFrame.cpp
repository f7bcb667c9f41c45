#include "tools/vsthost/Vst3HostFrame.h"

#include <algorithm>
#if defined(__linux__)
#include <poll.h>
#endif

namespace tarn::vst3host {

tresult HostFrame::queryInterface(const TUID iid, void** obj) {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (FUnknown::iid == iid || IPlugFrame::iid == iid) *obj = static_cast<IPlugFrame*>(this);
#if defined(__linux__)
    else if (IRunLoop::iid == iid) *obj = static_cast<IRunLoop*>(this);
#endif
    else return kNoInterface;
    return kResultOk;
}

tresult HostFrame::resizeView(IPlugView* view, ViewRect* newSize) {
    // vsthost's window has the size the view asked for at first; it tells the view so.
    return view && newSize ? view->onSize(newSize) : kInvalidArgument;
}

#if defined(__linux__)
tresult HostFrame::registerEventHandler(IEventHandler* handler, int fd) {
    if (!handler || fd < 0) return kInvalidArgument;
    handlers.emplace_back(handler, fd);
    return kResultOk;
}

tresult HostFrame::unregisterEventHandler(IEventHandler* handler) {
    handlers.erase(std::remove_if(handlers.begin(), handlers.end(), [handler](const auto& h) { return h.first == handler; }),
                   handlers.end());
    return kResultOk;
}

tresult HostFrame::registerTimer(ITimerHandler* handler, std::uint64_t milliseconds) {
    if (!handler || milliseconds == 0) return kInvalidArgument;
    const auto period = std::chrono::milliseconds(milliseconds);
    timers.push_back({handler, period, Clock::now() + period});
    return kResultOk;
}

tresult HostFrame::unregisterTimer(ITimerHandler* handler) {
    timers.erase(std::remove_if(timers.begin(), timers.end(), [handler](const Timer& t) { return t.handler == handler; }),
                 timers.end());
    return kResultOk;
}

void HostFrame::runDue() {
    // A handler may unregister itself or others: work on copies, checking each is still there.
    const auto current = handlers;
    for (const auto& [handler, fd] : current) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN)) continue;
        if (std::find(handlers.begin(), handlers.end(), std::make_pair(handler, fd)) != handlers.end())
            handler->onFDIsSet(fd);
    }
    const auto now = Clock::now();
    const auto dueTimers = timers;
    for (const Timer& timer : dueTimers) {
        if (timer.due > now) continue;
        auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.handler == timer.handler; });
        if (it == timers.end()) continue;
        it->due = std::max(it->due + it->period, now);
        timer.handler->onTimer();
    }
}

bool HostFrame::served() const { return !timers.empty(); }
#else
void HostFrame::runDue() {}

bool HostFrame::served() const { return true; }
#endif

} // namespace tarn::vst3host
