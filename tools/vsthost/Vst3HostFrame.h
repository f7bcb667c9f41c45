#pragma once
#include <chrono>
#include <vector>

#include "tools/vsthost/Vst3HostObjects.h"

namespace tarn::vst3host {

// The host's frame around a plug-in view. On Linux it is the run loop too: the view's timers
// and file descriptors are served by runDue(), which the host calls from its user-interface
// thread as often as it idles.
class HostFrame final : public IPlugFrame
#if defined(__linux__)
    , public IRunLoop
#endif
{
public:
    tresult TARN_VST3_API queryInterface(const TUID iid, void** obj) override;
    std::uint32_t TARN_VST3_API addRef() override { return 1; }
    std::uint32_t TARN_VST3_API release() override { return 1; }

    tresult TARN_VST3_API resizeView(IPlugView* view, ViewRect* newSize) override;

#if defined(__linux__)
    tresult TARN_VST3_API registerEventHandler(IEventHandler* handler, int fd) override;
    tresult TARN_VST3_API unregisterEventHandler(IEventHandler* handler) override;
    tresult TARN_VST3_API registerTimer(ITimerHandler* handler, std::uint64_t milliseconds) override;
    tresult TARN_VST3_API unregisterTimer(ITimerHandler* handler) override;
#endif

    // Calls the handlers whose descriptor is readable and the timers that are due.
    void runDue();
    // Whether the view registered anything with the run loop (always true off Linux).
    bool served() const;

private:
    using Clock = std::chrono::steady_clock;
#if defined(__linux__)
    struct Timer {
        ITimerHandler* handler;
        Clock::duration period;
        Clock::time_point due;
    };
    std::vector<std::pair<IEventHandler*, int>> handlers;
    std::vector<Timer> timers;
#endif
};

} // namespace tarn::vst3host
