#include "gui/win32/Win32Module.h"

#include <gdiplus.h>

#include <cstdio>
#include <mutex>

#include "gui/win32/WindowProcedures.h"
#include "platform/ModuleInstance.h"

namespace VSTGUI {

namespace {

std::mutex moduleLock;
int holders = 0;
ULONG_PTR gdiplusToken = 0;
wchar_t frameClassName[64];
wchar_t openGLClassName[64];
wchar_t timerClassName[64];

bool registerClass(const wchar_t* name, WNDPROC procedure, UINT style) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = Win32Module::instance();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0;
}

void unregisterClasses() {
    UnregisterClassW(frameClassName, Win32Module::instance());
    UnregisterClassW(openGLClassName, Win32Module::instance());
    UnregisterClassW(timerClassName, Win32Module::instance());
}

bool setUp() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok) return false;
    const auto id = reinterpret_cast<unsigned long long>(Win32Module::instance());
    std::swprintf(frameClassName, 64, L"tarnFrame%llx", id);
    std::swprintf(openGLClassName, 64, L"tarnOpenGL%llx", id);
    std::swprintf(timerClassName, 64, L"tarnTimer%llx", id);
    // The OpenGL surface keeps its device context, which holds its pixel format.
    if (registerClass(frameClassName, frameWindowProcedure, 0) &&
        registerClass(openGLClassName, openGLWindowProcedure, CS_OWNDC) &&
        registerClass(timerClassName, timerWindowProcedure, 0))
        return true;
    unregisterClasses();
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return false;
}

} // namespace

bool Win32Module::acquire() {
    std::lock_guard<std::mutex> guard(moduleLock);
    if (holders == 0 && !setUp()) return false;
    ++holders;
    return true;
}

void Win32Module::release() {
    std::lock_guard<std::mutex> guard(moduleLock);
    if (holders == 0 || --holders > 0) return;
    unregisterClasses();
    Gdiplus::GdiplusShutdown(gdiplusToken);
}

HINSTANCE Win32Module::instance() {
    // A program that links the toolkit has no module entry: its classes belong to the program.
    return tarn::moduleInstance ? static_cast<HINSTANCE>(tarn::moduleInstance) : GetModuleHandleW(nullptr);
}

const wchar_t* Win32Module::frameClass() { return frameClassName; }
const wchar_t* Win32Module::openGLClass() { return openGLClassName; }
const wchar_t* Win32Module::timerClass() { return timerClassName; }

} // namespace VSTGUI
