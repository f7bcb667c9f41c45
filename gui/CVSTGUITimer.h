#pragma once
#include <functional>
#include <memory>

#include "gui/CBaseObject.h"
#include "gui/IPlatformTimer.h"

namespace VSTGUI {

// Calls a function every fireTime milliseconds on the user-interface thread. A call that takes
// longer than fireTime puts the next one off by as long as it took.
class CVSTGUITimer : public CBaseObject, private IPlatformTimerCallback {
public:
    using CallbackFunc = std::function<void(CVSTGUITimer*)>;

    CVSTGUITimer(CallbackFunc callback, uint32_t fireTime = 100, bool doStart = true);

    bool start();
    bool stop();
    bool isRunning() const { return running; }
    uint32_t getFireTime() const { return fireTime; }

    CLASS_METHODS_NOCOPY(CVSTGUITimer, CBaseObject)

protected:
    ~CVSTGUITimer() override = default;

private:
    void fire() override;

    CallbackFunc callback;
    uint32_t fireTime;
    bool running = false;
    // The platform timer runs with a longer period after a long call.
    bool stretched = false;
    std::unique_ptr<IPlatformTimer> platformTimer;
};

} // namespace VSTGUI
