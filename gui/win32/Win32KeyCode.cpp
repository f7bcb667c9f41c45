#include "gui/win32/Win32KeyCode.h"

namespace VSTGUI {

namespace {

unsigned char virtualKey(WPARAM key) {
    switch (key) {
    case VK_BACK: return VKEY_BACK;
    case VK_TAB: return VKEY_TAB;
    case VK_CLEAR: return VKEY_CLEAR;
    case VK_RETURN: return VKEY_RETURN;
    case VK_PAUSE: return VKEY_PAUSE;
    case VK_ESCAPE: return VKEY_ESCAPE;
    case VK_SPACE: return VKEY_SPACE;
    case VK_END: return VKEY_END;
    case VK_HOME: return VKEY_HOME;
    case VK_LEFT: return VKEY_LEFT;
    case VK_UP: return VKEY_UP;
    case VK_RIGHT: return VKEY_RIGHT;
    case VK_DOWN: return VKEY_DOWN;
    case VK_PRIOR: return VKEY_PAGEUP;
    case VK_NEXT: return VKEY_PAGEDOWN;
    case VK_SELECT: return VKEY_SELECT;
    case VK_PRINT: return VKEY_PRINT;
    case VK_SNAPSHOT: return VKEY_SNAPSHOT;
    case VK_INSERT: return VKEY_INSERT;
    case VK_DELETE: return VKEY_DELETE;
    default: return 0;
    }
}

bool held(int key) { return (GetKeyState(key) & 0x8000) != 0; }

} // namespace

VstKeyCode keyCodeFromWin32(WPARAM key) {
    VstKeyCode code{};
    code.virt = virtualKey(key);
    if (code.virt == 0) {
        // Letters come as capitals whatever the shift state; the record carries them in lower case.
        const UINT character = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_CHAR) & 0x7fffffffu;
        code.character = static_cast<int32_t>(character >= 'A' && character <= 'Z' ? character - 'A' + 'a' : character);
    }
    if (held(VK_SHIFT)) code.modifier |= MODIFIER_SHIFT;
    if (held(VK_MENU)) code.modifier |= MODIFIER_ALTERNATE;
    if (held(VK_CONTROL)) code.modifier |= MODIFIER_CONTROL;
    return code;
}

} // namespace VSTGUI
