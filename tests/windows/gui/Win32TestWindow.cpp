#include "tests/windows/gui/Win32TestWindow.h"

#include <cstdlib>

#include "gui/win32/OpenGLReadback.h"
#include "tests/WaitUntil.h"

namespace tarn {

namespace {

constexpr wchar_t kClassName[] = L"tarnTestWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION;

BOOL CALLBACK countChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

} // namespace

Win32TestWindow::Win32TestWindow(int width, int height) : width(width), height(height) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, kStyle, FALSE);
    window = CreateWindowExW(0, kClassName, L"test", kStyle, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    pumpMessages(10);
}

Win32TestWindow::~Win32TestWindow() {
    DestroyWindow(window);
    pumpMessages(1);
    UnregisterClassW(kClassName, GetModuleHandleW(nullptr));
}

int Win32TestWindow::childCount() const {
    int count = 0;
    EnumChildWindows(window, countChild, reinterpret_cast<LPARAM>(&count));
    return count;
}

std::vector<uint32_t> Win32TestWindow::snapshot() const {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = source[i] & 0xffffffu;
    SelectObject(memoryDc, old);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return pixels;
}

namespace {

// Dispatches what is queued now; a count bounds it, since a timer slower than its period keeps
// the queue from ever running empty.
void dispatchQueued() {
    MSG message;
    for (int i = 0; i < 64 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

void pumpMessages(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    // What a test posted is dispatched even when a busy machine used up the time before the first look.
    dispatchQueued();
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG message;
        while (static_cast<int>(end - GetTickCount()) > 0 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const int left = static_cast<int>(end - GetTickCount());
        if (left > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
}

bool pumpUntil(const std::function<bool()>& done, const std::function<void()>& step) {
    // Waits for the queue rather than for a time: wakes as soon as a message arrives (a paint, a
    // timer), or after 10 ms for what other threads do, and checks again after what came.
    return test::waitUntil(done, [&] {
        step();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        dispatchQueued();
    });
}

std::vector<uint32_t> readOpenGLSurface(HWND surface, int& width, int& height) {
    RECT client{};
    GetClientRect(surface, &client);
    width = client.right;
    height = client.bottom;
    std::vector<uint32_t> read(static_cast<size_t>(width) * static_cast<size_t>(height));
    VSTGUI::OpenGLReadback request{width, height, read.data()};
    const UINT message = RegisterWindowMessageW(VSTGUI::kOpenGLReadbackMessage);
    if (read.empty() || SendMessageW(surface, message, 0, reinterpret_cast<LPARAM>(&request)) != 1) return {};
    std::vector<uint32_t> pixels(read.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y * width + x)] = read[static_cast<size_t>((height - 1 - y) * width + x)] & 0xffffffu;
    return pixels;
}

std::string programFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    const std::string file(path);
    return file.substr(0, file.find_last_of('\\') + 1);
}

bool similar(uint32_t colour, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>((colour >> shift) & 0xff);
        const int b = static_cast<int>((expected >> shift) & 0xff);
        if (std::abs(a - b) > tolerance) return false;
    }
    return true;
}

} // namespace tarn
