#pragma once
// What an X window shows, read back in one piece (its child windows included), and saved as
// a PNG file for a person to look at.
#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "gui/CColor.h"

class WindowImage {
public:
    // The area of width x height at the window's top-left corner.
    WindowImage(Display* display, Window window, int width, int height);

    VSTGUI::CColor at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    bool savePNG(const std::string& path) const;

private:
    int width;
    int height;
    std::vector<VSTGUI::CColor> pixels;
};
