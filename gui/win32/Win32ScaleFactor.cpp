#include <windows.h>

#include "gui/IPlatformFrame.h"

namespace VSTGUI {

namespace {

// GetDpiForWindow arrived with Windows 10 (1607): looked up, so that older systems load us too.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

GetDpiForWindowFunction getDpiForWindow() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                  : nullptr;
}

} // namespace

double IPlatformFrame::systemScaleFactor(void* parent) {
    // The monitor's DPI where the host's window is DPI-aware; otherwise the system's, which is
    // 96 for windows the system scales itself.
    UINT dpi = 0;
    if (parent && IsWindow(static_cast<HWND>(parent)))
        if (GetDpiForWindowFunction function = getDpiForWindow()) dpi = function(static_cast<HWND>(parent));
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        if (screen) {
            dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
            ReleaseDC(nullptr, screen);
        }
    }
    return dpi > 0 ? dpi / 96.0 : 0;
}

} // namespace VSTGUI
