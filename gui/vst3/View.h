#pragma once
// The VST 3 editor view, the host's frame around it, its content scale, and on Linux the
// host's run loop that stands in for the idle calls other formats have. Matches VST SDK 3.7.14.
#include "gui/vst3/Base.h"

namespace tarn::vst3 {

struct ViewRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// The parent window kinds attached() is given.
constexpr const char* kPlatformTypeHWND = "HWND";
constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";

class IPlugFrame;

class IPlugView : public FUnknown {
public:
    virtual tresult TARN_VST3_API isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult TARN_VST3_API attached(void* parent, FIDString type) = 0;
    virtual tresult TARN_VST3_API removed() = 0;
    virtual tresult TARN_VST3_API onWheel(float distance) = 0;
    virtual tresult TARN_VST3_API onKeyDown(char16 key, std::int16_t keyCode, std::int16_t modifiers) = 0;
    virtual tresult TARN_VST3_API onKeyUp(char16 key, std::int16_t keyCode, std::int16_t modifiers) = 0;
    virtual tresult TARN_VST3_API getSize(ViewRect* size) = 0;
    virtual tresult TARN_VST3_API onSize(ViewRect* newSize) = 0;
    virtual tresult TARN_VST3_API onFocus(TBool state) = 0;
    virtual tresult TARN_VST3_API setFrame(IPlugFrame* frame) = 0;
    virtual tresult TARN_VST3_API canResize() = 0;
    virtual tresult TARN_VST3_API checkSizeConstraint(ViewRect* rect) = 0;
    static constexpr Uid iid = makeUid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);

protected:
    ~IPlugView() = default;
};

class IPlugFrame : public FUnknown {
public:
    virtual tresult TARN_VST3_API resizeView(IPlugView* view, ViewRect* newSize) = 0;
    static constexpr Uid iid = makeUid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);

protected:
    ~IPlugFrame() = default;
};

class IPlugViewContentScaleSupport : public FUnknown {
public:
    virtual tresult TARN_VST3_API setContentScaleFactor(float factor) = 0;
    static constexpr Uid iid = makeUid(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);

protected:
    ~IPlugViewContentScaleSupport() = default;
};
// Linux only: the host calls these from its user-interface thread.
class IEventHandler : public FUnknown {
public:
    virtual void TARN_VST3_API onFDIsSet(int fd) = 0;
    static constexpr Uid iid = makeUid(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);

protected:
    ~IEventHandler() = default;
};

class ITimerHandler : public FUnknown {
public:
    virtual void TARN_VST3_API onTimer() = 0;
    static constexpr Uid iid = makeUid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);

protected:
    ~ITimerHandler() = default;
};

// Found through the view's frame (or the host context) with queryInterface.
class IRunLoop : public FUnknown {
public:
    virtual tresult TARN_VST3_API registerEventHandler(IEventHandler* handler, int fd) = 0;
    virtual tresult TARN_VST3_API unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult TARN_VST3_API registerTimer(ITimerHandler* handler, std::uint64_t milliseconds) = 0;
    virtual tresult TARN_VST3_API unregisterTimer(ITimerHandler* handler) = 0;
    static constexpr Uid iid = makeUid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);

protected:
    ~IRunLoop() = default;
};

} // namespace tarn::vst3
