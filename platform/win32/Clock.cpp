#include "platform/Clock.h"

#include <windows.h>

namespace tarn {

namespace {

class TickClock : public Clock {
public:
    std::uint32_t tickCount() override { return GetTickCount(); }
    void sleep(std::uint32_t milliseconds) override { Sleep(milliseconds); }
};

} // namespace

Clock& Clock::system() {
    static TickClock clock;
    return clock;
}

} // namespace tarn
