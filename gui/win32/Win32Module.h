#pragma once
#include <windows.h>

namespace VSTGUI {

// What the toolkit's windows share within this module: GDI+ and the window classes. The first
// holder starts GDI+ and registers the classes with the module's instance handle, the last
// one unregisters them and shuts GDI+ down. Frames, timers, bitmaps and drawing contexts each
// hold it for their lifetime.
class Win32Module {
public:
    // False when GDI+ or a window class could not be set up; then nothing is held.
    static bool acquire();
    static void release();

    static HINSTANCE instance();
    // Class names carry the module handle, so two modules built from this toolkit never
    // share one class.
    static const wchar_t* frameClass();
    static const wchar_t* openGLClass();
    static const wchar_t* timerClass();
};

// Holds the module for the life of an object; check held() after construction.
class Win32ModuleReference {
public:
    Win32ModuleReference() : holding(Win32Module::acquire()) {}
    ~Win32ModuleReference() {
        if (holding) Win32Module::release();
    }
    Win32ModuleReference(const Win32ModuleReference&) = delete;
    Win32ModuleReference& operator=(const Win32ModuleReference&) = delete;

    bool held() const { return holding; }

private:
    bool holding;
};

} // namespace VSTGUI
