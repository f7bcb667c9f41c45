#include "vst3/Vst3EditorView.h"

#include <cmath>

#include <cstring>
#include <new>

#include "editor/ZuVstGui.h"
#include "vst3/Vst3Compressor.h"
#if defined(__linux__)
#include "gui/linux/X11Frame.h"
#endif

namespace tarn::vst3 {

namespace {

// A little faster than the editor's 60.8 refreshes per second, which it paces itself.
constexpr std::uint32_t kRefreshMs = 16;

#if defined(__linux__)
constexpr const char* kParentType = kPlatformTypeX11EmbedWindowID;
#else
constexpr const char* kParentType = kPlatformTypeHWND;
#endif

} // namespace

Vst3EditorView::Vst3EditorView(Vst3Compressor& plugin) : owner(plugin) { owner.addRef(); }

Vst3EditorView::~Vst3EditorView() {
    // A host that forgot removed() still gets its window back clean.
    detach();
    owner.release();
}

tresult Vst3EditorView::queryInterface(const TUID iid, void** obj) {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (FUnknown::iid == iid || IPlugView::iid == iid) *obj = static_cast<IPlugView*>(this);
    else if (IPlugViewContentScaleSupport::iid == iid) *obj = static_cast<IPlugViewContentScaleSupport*>(this);
#if defined(__linux__)
    else if (ITimerHandler::iid == iid) *obj = static_cast<ITimerHandler*>(this);
    else if (IEventHandler::iid == iid) *obj = static_cast<IEventHandler*>(this);
#endif
    else return kNoInterface;
    addRef();
    return kResultOk;
}

std::uint32_t Vst3EditorView::addRef() { return references.fetch_add(1, std::memory_order_relaxed) + 1; }

std::uint32_t Vst3EditorView::release() {
    const std::uint32_t left = references.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

tresult Vst3EditorView::isPlatformTypeSupported(FIDString type) {
    return type && std::strcmp(type, kParentType) == 0 ? kResultTrue : kResultFalse;
}

tresult Vst3EditorView::attached(void* parent, FIDString type) {
    if (attachedNow || !parent || isPlatformTypeSupported(type) != kResultTrue) return kResultFalse;
    ZuVstGui& gui = owner.editor();
    try {
        gui.open(parent);
    } catch (...) {
        return kResultFalse;
    }
    VSTGUI::CFrame* editorFrame = gui.getFrame();
    if (!editorFrame) return kResultFalse;
    attachedNow = true;
    owner.viewOpen.store(true);
    owner.shownView = this;
    for (int i = 0; i < kNumControls; ++i) gui.setParameter(i, owner.getParameter(i));
#if defined(__linux__)
    // The run loop comes with the frame; some hosts offer it with their context only.
    void* found = nullptr;
    if (frame && frame->queryInterface(IRunLoop::iid.bytes, &found) == kResultOk && found) {
        runLoop = static_cast<IRunLoop*>(found);
    } else if (FUnknown* context = owner.hostContext();
               context && context->queryInterface(IRunLoop::iid.bytes, &found) == kResultOk && found) {
        runLoop = static_cast<IRunLoop*>(found);
    }
    if (runLoop) {
        runLoop->registerTimer(this, kRefreshMs);
        auto* platform = static_cast<VSTGUI::X11Frame*>(editorFrame->getPlatformFrame());
        if (platform && platform->getDisplay())
            runLoop->registerEventHandler(this, ConnectionNumber(platform->getDisplay()));
    }
#else
    ticker = VSTGUI::owned(new VSTGUI::CVSTGUITimer([this](VSTGUI::CVSTGUITimer*) { owner.editor().idle(); }, kRefreshMs));
#endif
    return kResultOk;
}

void Vst3EditorView::detach() {
    if (!attachedNow) return;
#if defined(__linux__)
    if (runLoop) {
        runLoop->unregisterEventHandler(this);
        runLoop->unregisterTimer(this);
        runLoop->release();
        runLoop = nullptr;
    }
#else
    ticker = nullptr;
#endif
    owner.editor().close();
    owner.shownView = nullptr;
    owner.viewOpen.store(false);
    attachedNow = false;
}

tresult Vst3EditorView::removed() {
    detach();
    return kResultOk;
}

tresult Vst3EditorView::onWheel(float distance) {
    return attachedNow && owner.editor().onWheel(distance) ? kResultTrue : kResultFalse;
}

tresult Vst3EditorView::onKeyDown(char16, std::int16_t, std::int16_t) { return kResultFalse; }

tresult Vst3EditorView::onKeyUp(char16, std::int16_t, std::int16_t) { return kResultFalse; }

tresult Vst3EditorView::getSize(ViewRect* size) {
    if (!size) return kInvalidArgument;
    ERect* rect = nullptr;
    if (!owner.editor().getRect(&rect) || !rect) return kResultFalse;
    *size = ViewRect{0, 0, rect->right - rect->left, rect->bottom - rect->top};
    return kResultOk;
}

tresult Vst3EditorView::onSize(ViewRect* newSize) { return newSize ? kResultOk : kInvalidArgument; }

tresult Vst3EditorView::onFocus(TBool) { return kResultOk; }

tresult Vst3EditorView::setFrame(IPlugFrame* hostFrame) {
    frame = hostFrame;
    return kResultOk;
}

tresult Vst3EditorView::checkSizeConstraint(ViewRect* rect) {
    // The panel has one size.
    return getSize(rect);
}

// The host's scale; a scale the user chose in the editor wins over it.
tresult Vst3EditorView::setContentScaleFactor(float factor) {
    if (!std::isfinite(factor) || factor <= 0.0f) return kResultFalse;
    owner.editor().setHostScale(factor);
    return kResultOk;
}

bool Vst3EditorView::resizeTo(std::int32_t width, std::int32_t height) {
    ViewRect size{0, 0, width, height};
    return frame && frame->resizeView(this, &size) == kResultOk;
}

#if defined(__linux__)
void Vst3EditorView::onTimer() {
    if (attachedNow) owner.editor().idle();
}

void Vst3EditorView::onFDIsSet(int /*fd*/) {
    // Input only: the frame's idle reads the X events; refreshes stay the timer's.
    if (!attachedNow) return;
    if (VSTGUI::CFrame* editorFrame = owner.editor().getFrame()) editorFrame->idle();
}
#endif

} // namespace tarn::vst3
