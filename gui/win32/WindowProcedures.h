#pragma once
#include <type_traits>
#include <windows.h>

namespace VSTGUI {

// The window procedures of the toolkit's window classes. Each window keeps its object in
// GWLP_USERDATA, set from the creation parameter.
LRESULT CALLBACK frameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK openGLWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK timerWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// On 32-bit x86 a procedure with the wrong calling convention would corrupt the stack.
static_assert(std::is_same<decltype(&frameWindowProcedure), WNDPROC>::value, "frame procedure is a WNDPROC");
static_assert(std::is_same<decltype(&openGLWindowProcedure), WNDPROC>::value, "OpenGL procedure is a WNDPROC");
static_assert(std::is_same<decltype(&timerWindowProcedure), WNDPROC>::value, "timer procedure is a WNDPROC");

// Stores the object passed to CreateWindowEx at WM_NCCREATE and finds it afterwards.
template <typename T>
T* windowObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* object = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

} // namespace VSTGUI
