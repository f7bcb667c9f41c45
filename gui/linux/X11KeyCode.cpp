#include "gui/linux/X11KeyCode.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace VSTGUI {

namespace {

unsigned char virtualKey(KeySym keySym) {
    switch (keySym) {
    case XK_BackSpace: return VKEY_BACK;
    case XK_Tab: return VKEY_TAB;
    case XK_Return: return VKEY_RETURN;
    case XK_Pause: return VKEY_PAUSE;
    case XK_Escape: return VKEY_ESCAPE;
    case XK_space: return VKEY_SPACE;
    case XK_End: return VKEY_END;
    case XK_Home: return VKEY_HOME;
    case XK_Left: return VKEY_LEFT;
    case XK_Up: return VKEY_UP;
    case XK_Right: return VKEY_RIGHT;
    case XK_Down: return VKEY_DOWN;
    case XK_Page_Up: return VKEY_PAGEUP;
    case XK_Page_Down: return VKEY_PAGEDOWN;
    case XK_KP_Enter: return VKEY_ENTER;
    case XK_Insert: return VKEY_INSERT;
    case XK_Delete: return VKEY_DELETE;
    default: return 0;
    }
}

} // namespace

VstKeyCode keyCodeFromX11(XKeyEvent& event) {
    VstKeyCode key{};
    char text[8] = {};
    KeySym keySym = NoSymbol;
    const int length = XLookupString(&event, text, sizeof(text) - 1, &keySym, nullptr);
    key.virt = virtualKey(keySym);
    if (key.virt == 0 && length == 1) key.character = static_cast<unsigned char>(text[0]);
    if (event.state & ShiftMask) key.modifier |= MODIFIER_SHIFT;
    if (event.state & Mod1Mask) key.modifier |= MODIFIER_ALTERNATE;
    if (event.state & ControlMask) key.modifier |= MODIFIER_CONTROL;
    return key;
}

} // namespace VSTGUI
