#include <windows.h>

#include "platform/ModuleInstance.h"

// The module entry of a DLL. It lives in an object library linked straight into each DLL:
// nothing refers to it by name, so from a static archive the linker would take the C
// runtime's empty default instead.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
    tarn::moduleInstance = instance;
    return TRUE;
}
