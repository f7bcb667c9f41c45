#include <memory>

#include "gui/IPlatformTimer.h"
#include "gui/win32/Win32Module.h"
#include "gui/win32/WindowProcedures.h"

namespace VSTGUI {

namespace {

// A window timer on a message-only window of its own: WM_TIMER reaches it through the
// message loop of the thread that created it, the host's user-interface thread.
class Win32Timer : public IPlatformTimer {
public:
    explicit Win32Timer(IPlatformTimerCallback* callback) : callback(callback) {
        if (module.held())
            window = CreateWindowExW(0, Win32Module::timerClass(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     Win32Module::instance(), this);
    }
    ~Win32Timer() override {
        if (!window) return;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;

    bool isOpen() const { return window != nullptr; }

    bool start(uint32_t periodMs) override {
        // SetTimer with the same identifier replaces a running timer.
        return window && SetTimer(window, kTimerId, periodMs, nullptr) != 0;
    }

    bool stop() override { return window && KillTimer(window, kTimerId); }

    void fire() { callback->fire(); }

private:
    static constexpr UINT_PTR kTimerId = 1;
    Win32ModuleReference module;
    IPlatformTimerCallback* callback;
    HWND window = nullptr;
};

} // namespace

LRESULT CALLBACK timerWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* timer = windowObject<Win32Timer>(window, message, lParam);
    if (message == WM_TIMER && timer) {
        // The host's message loop calls this: nothing may throw into it.
        try {
            timer->fire();
        } catch (...) {
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::unique_ptr<IPlatformTimer> IPlatformTimer::create(IPlatformTimerCallback* callback) {
    if (!callback) return nullptr;
    auto timer = std::make_unique<Win32Timer>(callback);
    if (!timer->isOpen()) return nullptr;
    return timer;
}

} // namespace VSTGUI
