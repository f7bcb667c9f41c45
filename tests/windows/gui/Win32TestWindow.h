#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarn {

// A shown top-level window at the screen's origin whose client area the tests read back, and
// the message pumping a host does.
class Win32TestWindow {
public:
    Win32TestWindow(int width, int height);
    ~Win32TestWindow();
    Win32TestWindow(const Win32TestWindow&) = delete;
    Win32TestWindow& operator=(const Win32TestWindow&) = delete;

    HWND handle() const { return window; }
    // The first child window (the editor's frame), or null.
    HWND child() const { return FindWindowExW(window, nullptr, nullptr, nullptr); }
    int childCount() const;

    // Pending paints done, then the client area as 0xRRGGBB pixels.
    std::vector<uint32_t> snapshot() const;
    uint32_t pixel(const std::vector<uint32_t>& pixels, int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }

private:
    HWND window = nullptr;
    int width;
    int height;
};

// Dispatches the messages already queued, then the thread's messages for about milliseconds.
void pumpMessages(int milliseconds);

// Dispatches the thread's messages, calling step between rounds, until done() answers true or
// the deadline passes; answers done(). For what wine and its drivers do in their own time.
bool pumpUntil(const std::function<bool()>& done, const std::function<void()>& step = [] {});

// What an OpenGL surface of the toolkit shows, through its readback request; empty when it does
// not answer. 0xRRGGBB pixels, top row first.
std::vector<uint32_t> readOpenGLSurface(HWND surface, int& width, int& height);

// The folder of this program, with a trailing backslash: the test DLLs lie beside it.
std::string programFolder();

// Whether two colours differ by at most tolerance in each of red, green and blue.
bool similar(uint32_t colour, uint32_t expected, int tolerance);

} // namespace tarn
