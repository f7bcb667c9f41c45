#pragma once
#include <atomic>

#include "gui/vst3/View.h"
#if !defined(__linux__)
#include "gui/CVSTGUITimer.h"
#include "gui/SharedPointer.h"
#endif

namespace tarn::vst3 {

class Vst3Compressor;

// The editor as a VST 3 view, in the host's window: an X11 window embedded in the host's on
// Linux, a child window on Windows. On Linux the host's run loop drives it: a timer makes the
// editor's refreshes, and the editor's X connection wakes it for input. It keeps its plug-in
// alive while it exists. Threads: the host's user-interface thread.
class Vst3EditorView final : public IPlugView, public IPlugViewContentScaleSupport
#if defined(__linux__)
    , public ITimerHandler, public IEventHandler
#endif
{
public:
    explicit Vst3EditorView(Vst3Compressor& owner);

    tresult TARN_VST3_API queryInterface(const TUID iid, void** obj) override;
    std::uint32_t TARN_VST3_API addRef() override;
    std::uint32_t TARN_VST3_API release() override;

    tresult TARN_VST3_API isPlatformTypeSupported(FIDString type) override;
    tresult TARN_VST3_API attached(void* parent, FIDString type) override;
    tresult TARN_VST3_API removed() override;
    tresult TARN_VST3_API onWheel(float distance) override;
    tresult TARN_VST3_API onKeyDown(char16 key, std::int16_t keyCode, std::int16_t modifiers) override;
    tresult TARN_VST3_API onKeyUp(char16 key, std::int16_t keyCode, std::int16_t modifiers) override;
    tresult TARN_VST3_API getSize(ViewRect* size) override;
    tresult TARN_VST3_API onSize(ViewRect* newSize) override;
    tresult TARN_VST3_API onFocus(TBool state) override;
    tresult TARN_VST3_API setFrame(IPlugFrame* frame) override;
    tresult TARN_VST3_API canResize() override { return kResultFalse; }
    tresult TARN_VST3_API checkSizeConstraint(ViewRect* rect) override;

    tresult TARN_VST3_API setContentScaleFactor(float factor) override;

    // Asks the host's frame for a new size; false without a frame or when the host refuses.
    bool resizeTo(std::int32_t width, std::int32_t height);

#if defined(__linux__)
    void TARN_VST3_API onTimer() override;
    void TARN_VST3_API onFDIsSet(int fd) override;
#endif

private:
    ~Vst3EditorView();
    void detach();

    std::atomic<std::uint32_t> references{1};
    Vst3Compressor& owner;
    IPlugFrame* frame = nullptr;
    bool attachedNow = false;
#if defined(__linux__)
    IRunLoop* runLoop = nullptr;
#else
    // Windows has no run loop to ask: the toolkit's own timer makes the refreshes.
    VSTGUI::SharedPointer<VSTGUI::CVSTGUITimer> ticker;
#endif
};

} // namespace tarn::vst3
