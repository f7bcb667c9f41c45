#include "gui/win32/Win32Frame.h"

#include <windowsx.h>

#include "gui/win32/GdiplusBitmap.h"
#include "gui/win32/WGLOpenGLView.h"
#include "gui/win32/Win32KeyCode.h"
#include "gui/win32/WindowProcedures.h"

namespace VSTGUI {

namespace {

bool held(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Modifiers from a mouse message's key flags; Alt is not among them.
int32_t modifiersOf(WPARAM keys) {
    int32_t buttons = 0;
    if (keys & MK_SHIFT) buttons |= kShift;
    if (keys & MK_CONTROL) buttons |= kControl;
    if (held(VK_MENU)) buttons |= kAlt;
    return buttons;
}

int32_t buttonsOf(WPARAM keys) {
    int32_t buttons = modifiersOf(keys);
    if (keys & MK_LBUTTON) buttons |= kLButton;
    if (keys & MK_MBUTTON) buttons |= kMButton;
    if (keys & MK_RBUTTON) buttons |= kRButton;
    return buttons;
}

CPoint pointOf(LPARAM lParam) { return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); }

} // namespace

std::unique_ptr<IPlatformFrame> IPlatformFrame::create(IPlatformFrameCallback* frame, const CRect& size,
                                                       void* parent) {
    auto platformFrame = std::make_unique<Win32Frame>(frame, size, static_cast<HWND>(parent));
    if (!platformFrame->isOpen()) return nullptr;
    return platformFrame;
}

Win32Frame::Win32Frame(IPlatformFrameCallback* callback, const CRect& size, HWND parent)
    : callback(callback), size(size) {
    const auto width = static_cast<int>(size.getWidth());
    const auto height = static_cast<int>(size.getHeight());
    if (!module.held() || !parent || !IsWindow(parent) || width < 1 || height < 1 || !createBuffer()) return;
    // Children (the OpenGL surfaces) paint themselves: the frame's painting leaves them out.
    window = CreateWindowExW(0, Win32Module::frameClass(), L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                             width, height, parent, nullptr, Win32Module::instance(), this);
    if (!window) return;
    ShowWindow(window, SW_SHOWNA);
}

Win32Frame::~Win32Frame() {
    if (window) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
}

bool Win32Frame::createBuffer() {
    bufferDrawn = false;
    auto bitmap = owned(new CBitmap(size.getWidth(), size.getHeight()));
    buffer = owned(COffscreenContext::create(bitmap.get()));
    return static_cast<bool>(buffer);
}

bool Win32Frame::setSize(const CRect& newSize) {
    if (!window || newSize.getWidth() < 1 || newSize.getHeight() < 1) return false;
    size = newSize;
    if (!createBuffer()) return false;
    SetWindowPos(window, nullptr, 0, 0, static_cast<int>(size.getWidth()), static_cast<int>(size.getHeight()),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool Win32Frame::invalidRect(const CRect& rect) {
    if (!window || !buffer) return false;
    // Drawn at once: an OpenGL view draws its surface from its draw, and the frame's painting
    // never reaches the area its child window covers. WM_PAINT then shows the buffer.
    if (!drawing && bufferDrawn) drawBuffer(rect);
    const RECT area{static_cast<LONG>(rect.left), static_cast<LONG>(rect.top), static_cast<LONG>(rect.right),
                    static_cast<LONG>(rect.bottom)};
    return InvalidateRect(window, &area, FALSE) != 0;
}

bool Win32Frame::getCurrentMousePosition(CPoint& where) const {
    POINT point{};
    if (!window || !GetCursorPos(&point) || !ScreenToClient(window, &point)) return false;
    where = CPoint(point.x, point.y);
    return true;
}

bool Win32Frame::getCurrentMouseButtons(CButtonState& buttons) const {
    if (!window) return false;
    int32_t state = 0;
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) state |= kLButton;
    if (GetAsyncKeyState(VK_MBUTTON) & 0x8000) state |= kMButton;
    if (GetAsyncKeyState(VK_RBUTTON) & 0x8000) state |= kRButton;
    if (held(VK_SHIFT)) state |= kShift;
    if (held(VK_CONTROL)) state |= kControl;
    if (held(VK_MENU)) state |= kAlt;
    buttons = CButtonState(state);
    return true;
}

std::unique_ptr<IPlatformOpenGLView> Win32Frame::createPlatformOpenGLView() {
    if (!window) return nullptr;
    return std::make_unique<WGLOpenGLView>(*this);
}

void Win32Frame::drawBuffer(const CRect& rect) {
    CRect area = rect;
    area.bound(CRect(0, 0, size.getWidth(), size.getHeight()));
    if (!buffer || area.isEmpty()) return;
    drawing = true;
    buffer->beginDraw();
    buffer->resetClipRect();
    callback->platformDrawRect(buffer.get(), area);
    buffer->endDraw();
    drawing = false;
}

void Win32Frame::paint() {
    PAINTSTRUCT paintStruct;
    HDC dc = BeginPaint(window, &paintStruct);
    if (!dc) return;
    // The first paint draws everything; later ones show what invalidRect drew.
    if (!bufferDrawn) {
        bufferDrawn = true;
        drawBuffer(size);
    }
    if (buffer) {
        // The whole buffer, a top-down DIB; the paint's clip region limits what reaches the window.
        const auto* bitmap = static_cast<const GdiplusBitmap*>(buffer->getBitmap()->getPlatformBitmap());
        const auto width = static_cast<LONG>(size.getWidth());
        const auto height = static_cast<LONG>(size.getHeight());
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                          static_cast<UINT>(height), bitmap->getPixels(), &info, DIB_RGB_COLORS);
    }
    EndPaint(window, &paintStruct);
}

void Win32Frame::mouseDown(int32_t button, WPARAM wParam, LPARAM lParam) {
    // Keys go to the window that was clicked; the drag keeps the mouse until released.
    if (GetFocus() != window) SetFocus(window);
    SetCapture(window);
    CPoint where = pointOf(lParam);
    callback->platformOnMouseDown(where, CButtonState(button | modifiersOf(wParam)));
}

void Win32Frame::mouseUp(int32_t button, WPARAM wParam, LPARAM lParam) {
    CPoint where = pointOf(lParam);
    callback->platformOnMouseUp(where, CButtonState(button | modifiersOf(wParam)));
    if (!(wParam & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) && GetCapture() == window) ReleaseCapture();
}

// WM_DPICHANGED_AFTERPARENT, which older headers lack.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

LRESULT Win32Frame::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: window = hwnd; break;
    case WM_PAINT: paint(); return 0;
    // Painting covers everything from the buffer: no background is erased first.
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: mouseDown(kLButton, wParam, lParam); return 0;
    case WM_MBUTTONDOWN: mouseDown(kMButton, wParam, lParam); return 0;
    case WM_RBUTTONDOWN: mouseDown(kRButton, wParam, lParam); return 0;
    case WM_LBUTTONUP: mouseUp(kLButton, wParam, lParam); return 0;
    case WM_MBUTTONUP: mouseUp(kMButton, wParam, lParam); return 0;
    case WM_RBUTTONUP: mouseUp(kRButton, wParam, lParam); return 0;
    case WM_MOUSEMOVE: {
        CPoint where = pointOf(lParam);
        callback->platformOnMouseMoved(where, CButtonState(buttonsOf(wParam)));
        return 0;
    }
    case WM_MOUSEWHEEL: {
        // The wheel's position is on the screen; one notch is WHEEL_DELTA.
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(window, &point);
        const float distance = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
        callback->platformOnMouseWheel(CPoint(point.x, point.y), distance,
                                       CButtonState(modifiersOf(GET_KEYSTATE_WPARAM(wParam))));
        return 0;
    }
    case WM_KEYDOWN: {
        VstKeyCode key = keyCodeFromWin32(wParam);
        if (callback->platformOnKeyDown(key)) return 0;
        break;
    }
    case WM_KEYUP: {
        VstKeyCode key = keyCodeFromWin32(wParam);
        if (callback->platformOnKeyUp(key)) return 0;
        break;
    }
    case kDpiChangedAfterParent:
        // The host's DPI-aware window moved to a monitor of another DPI (per-monitor v2).
        if (const double factor = systemScaleFactor(window); factor > 0) callback->platformOnScaleFactorChanged(factor);
        return 0;
    case WM_DESTROY:
        // The host destroyed its window and ours with it: nothing is drawn from now on.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window = nullptr;
        buffer = SharedPointer<COffscreenContext>();
        return 0;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK frameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* frame = windowObject<Win32Frame>(window, message, lParam);
    // Messages before WM_NCCREATE, and after the frame let go of its window.
    if (!frame) return DefWindowProcW(window, message, wParam, lParam);
    // The host's message loop calls this: nothing may throw into it.
    try {
        return frame->handleMessage(window, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace VSTGUI
