#pragma once
#include <cstdint>

// A test hook of the toolkit's OpenGL surfaces on Windows. wine draws OpenGL child windows off
// the screen, where neither GDI nor another context can read them, so a host that wants a
// picture of one sends it this registered message with a request in lParam: the surface has
// its view draw once (through drawOpenGL, else through the frame's drawing), copies its back
// buffer into the request with glReadPixels before swapping, and answers 1. Other windows answer 0 and leave the request alone.
namespace VSTGUI {

constexpr wchar_t kOpenGLReadbackMessage[] = L"tarnOpenGLReadback";

struct OpenGLReadback {
    int32_t width;   // of pixels, in pixels: the surface's client size
    int32_t height;
    uint32_t* pixels;  // width * height pixels, 0xAARRGGBB, bottom row first (OpenGL's order)
};

} // namespace VSTGUI
