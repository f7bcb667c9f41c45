#pragma once
#include <memory>
#include <string>

namespace tarn {

// A top-level window of vsthost in which a plug-in opens its editor. Used on one thread.
class HostWindow {
public:
    // A shown window of the size; null with a one-line reason when the window system refuses.
    static std::unique_ptr<HostWindow> create(int width, int height, const std::string& title, std::string& error);

    virtual ~HostWindow() = default;
    // What effEditOpen takes: the platform's window handle.
    virtual void* handle() const = 0;
    // Handles the window's pending events.
    virtual void processEvents() = 0;
    // Gives the window's inside a new size (the plug-in asked with audioMasterSizeWindow); false
    // for a size that cannot be.
    virtual bool resize(int width, int height) = 0;
    // Writes what the window shows, the editor included, as a PNG file.
    virtual bool saveScreenshot(const std::string& path, std::string& error) = 0;

protected:
    // Whether a window of the size can be made; otherwise the reason, in one line.
    static bool usableSize(int width, int height, std::string& error) {
        if (width >= 1 && height >= 1 && width <= 16384 && height <= 16384) return true;
        error = "the editor's size " + std::to_string(width) + " x " + std::to_string(height) + " is unusable";
        return false;
    }
};

} // namespace tarn
