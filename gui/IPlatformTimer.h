#pragma once
#include <cstdint>
#include <memory>

namespace VSTGUI {

class IPlatformTimerCallback {
public:
    virtual void fire() = 0;

protected:
    virtual ~IPlatformTimerCallback() = default;
};

// A periodic timer of the window system; fire() runs on the user-interface thread. On
// Linux due timers fire from the frame's idle; on Windows from the host's message loop.
class IPlatformTimer {
public:
    static std::unique_ptr<IPlatformTimer> create(IPlatformTimerCallback* callback);

    virtual ~IPlatformTimer() = default;
    virtual bool start(uint32_t periodMs) = 0;
    virtual bool stop() = 0;
};

} // namespace VSTGUI
