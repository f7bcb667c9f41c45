#include <windows.h>

#include <chrono>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "gui/win32/OpenGLReadback.h"
#include "tools/vsthost/HostWindow.h"
#include "tools/vsthost/win32/PngWriter.h"

namespace tarn {

namespace {

constexpr wchar_t kClassName[] = L"vsthostWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The window's client area as pixels, 0x00RRGGBB, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;
};

// What GDI shows of the window's client area.
bool readClientArea(HWND window, Pixels& pixels) {
    HDC windowDc = GetDC(window);
    if (!windowDc) return false;
    HDC memoryDc = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool read = false;
    if (memoryDc && bitmap) {
        HGDIOBJ old = SelectObject(memoryDc, bitmap);
        read = BitBlt(memoryDc, 0, 0, pixels.width, pixels.height, windowDc, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        const auto* source = static_cast<const uint32_t*>(bits);
        for (std::size_t i = 0; i < pixels.data.size(); ++i) pixels.data[i] = source[i] & 0xffffffu;
        SelectObject(memoryDc, old);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memoryDc) DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return read;
}

// Copies what an OpenGL surface of our toolkit shows into the pixels. wine draws OpenGL child
// windows off the screen, where GDI cannot see them, so the surface is asked for its pixels
// (gui/win32/OpenGLReadback.h); other windows do not answer and keep what GDI showed.
void readOpenGLChild(HWND top, HWND child, Pixels& pixels) {
    static const UINT readbackMessage = RegisterWindowMessageW(VSTGUI::kOpenGLReadbackMessage);
    RECT area{};
    GetClientRect(child, &area);
    const int width = area.right;
    const int height = area.bottom;
    if (width < 1 || height < 1) return;
    std::vector<uint32_t> read(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    VSTGUI::OpenGLReadback request{width, height, read.data()};
    if (SendMessageW(child, readbackMessage, 0, reinterpret_cast<LPARAM>(&request)) != 1) return;
    MapWindowPoints(child, top, reinterpret_cast<POINT*>(&area), 2);
    for (int y = 0; y < height; ++y) {
        const int row = area.top + y;
        if (row < 0 || row >= pixels.height) continue;
        // OpenGL's rows run from the bottom up.
        const uint32_t* source = read.data() + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            const int column = area.left + x;
            if (column < 0 || column >= pixels.width) continue;
            pixels.data[static_cast<std::size_t>(row) * static_cast<std::size_t>(pixels.width) +
                        static_cast<std::size_t>(column)] = source[x] & 0xffffffu;
        }
    }
}

struct ChildSearch {
    HWND top;
    Pixels* pixels;
};

BOOL CALLBACK copyOpenGLChild(HWND child, LPARAM lParam) {
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    if (IsWindowVisible(child)) readOpenGLChild(search->top, child, *search->pixels);
    return TRUE;
}

static_assert(std::is_same<decltype(&copyOpenGLChild), WNDENUMPROC>::value, "the child callback is a WNDENUMPROC");

// A top-level window; its messages go to the default procedure.
class Win32HostWindow : public HostWindow {
public:
    Win32HostWindow(HWND window, int width, int height) : window(window), width(width), height(height) {}
    ~Win32HostWindow() override {
        DestroyWindow(window);
        processEvents();
        UnregisterClassW(kClassName, GetModuleHandleW(nullptr));
    }
    Win32HostWindow(const Win32HostWindow&) = delete;
    Win32HostWindow& operator=(const Win32HostWindow&) = delete;

    void* handle() const override { return window; }

    // A timer whose handling takes longer than its period is due again at once, so the queue
    // may never run empty: this returns after 10 ms at most, as a host's loop gets on with
    // its own work.
    void processEvents() override {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(10);
        MSG message;
        while (std::chrono::steady_clock::now() < end && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    bool resize(int newWidth, int newHeight) override {
        std::string error;
        if (!usableSize(newWidth, newHeight, error)) return false;
        RECT frame{0, 0, newWidth, newHeight};
        AdjustWindowRect(&frame, kStyle, FALSE);
        if (!SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
            return false;
        width = newWidth;
        height = newHeight;
        return true;
    }

    bool saveScreenshot(const std::string& path, std::string& error) override {
        // Pending paints first, the editor's children included.
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        Pixels pixels;
        pixels.width = width;
        pixels.height = height;
        pixels.data.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
        if (!readClientArea(window, pixels)) {
            error = "cannot read the window's pixels";
            return false;
        }
        ChildSearch search{window, &pixels};
        EnumChildWindows(window, copyOpenGLChild, reinterpret_cast<LPARAM>(&search));
        return writePng(path, pixels.data.data(), width, height, error);
    }

private:
    HWND window;
    int width;
    int height;
};

} // namespace

std::unique_ptr<HostWindow> HostWindow::create(int width, int height, const std::string& title, std::string& error) {
    if (!usableSize(width, height, error)) return nullptr;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, kStyle, FALSE);
    std::wstring wideTitle(title.begin(), title.end());
    HWND window = CreateWindowExW(0, kClassName, wideTitle.c_str(), kStyle, 0, 0, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        error = "cannot open a window (error " + std::to_string(GetLastError()) + ")";
        UnregisterClassW(kClassName, GetModuleHandleW(nullptr));
        return nullptr;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return std::make_unique<Win32HostWindow>(window, width, height);
}

} // namespace tarn
