#pragma once
#include <cstdint>

namespace VSTGUI {

// Mouse buttons and modifier keys held during a mouse event.
enum CButton : int32_t {
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5,
    kAlt = 1 << 6,
};

class CButtonState {
public:
    CButtonState(int32_t state = 0) : state(state) {}

    int32_t getButtonState() const { return state & (kLButton | kMButton | kRButton); }
    int32_t getModifierState() const { return state & (kShift | kControl | kAlt); }
    bool isLeftButton() const { return (state & kLButton) != 0; }
    bool isRightButton() const { return (state & kRButton) != 0; }
    int32_t operator&(int32_t mask) const { return state & mask; }
    bool operator==(const CButtonState& other) const { return state == other.state; }
    bool operator!=(const CButtonState& other) const { return state != other.state; }
    operator int32_t() const { return state; }

private:
    int32_t state;
};

} // namespace VSTGUI
