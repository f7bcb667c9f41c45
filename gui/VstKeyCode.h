#pragma once
#include <cstdint>

// The VST 2.4 key record. plugin/aeffect.h declares the same record under the same guard,
// so a file that sees both has one VstKeyCode, with or without "using namespace VSTGUI".
#ifndef TARN_VST_KEY_CODE
#define TARN_VST_KEY_CODE
struct VstKeyCode {
    std::int32_t character;
    unsigned char virt;
    unsigned char modifier;
};
#endif

namespace VSTGUI {

using ::VstKeyCode;

// The virtual keys the platforms report, in the VST 2.4 numbering.
enum VstVirtualKey : unsigned char {
    VKEY_BACK = 1,
    VKEY_TAB,
    VKEY_CLEAR,
    VKEY_RETURN,
    VKEY_PAUSE,
    VKEY_ESCAPE,
    VKEY_SPACE,
    VKEY_NEXT,
    VKEY_END,
    VKEY_HOME,
    VKEY_LEFT,
    VKEY_UP,
    VKEY_RIGHT,
    VKEY_DOWN,
    VKEY_PAGEUP,
    VKEY_PAGEDOWN,
    VKEY_SELECT,
    VKEY_PRINT,
    VKEY_ENTER,
    VKEY_SNAPSHOT,
    VKEY_INSERT,
    VKEY_DELETE,
};

enum VstModifierKey : unsigned char {
    MODIFIER_SHIFT = 1 << 0,
    MODIFIER_ALTERNATE = 1 << 1,
    MODIFIER_COMMAND = 1 << 2,
    MODIFIER_CONTROL = 1 << 3,
};

} // namespace VSTGUI
