#pragma once
// A host for editor tests: creates the plug-in through its exported entry point, opens its editor
// in a real X window and records every call the plug-in makes back, with the parameter's value
// as the plug-in reports it at the moment of an automation call.
#include <X11/Xlib.h>

#include <mutex>
#include <string>
#include <vector>

#include "../gui/TestWindow.h"
#include "editor/ZuVstGui.h"
#include "vst2/ZuVstCore.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster);

struct RecordedCall {
    VstInt32 opcode;
    VstInt32 index;
    float opt;
    float parameterThen;
};

class EditorHost {
public:
    // At a scale other than 1 the host tells the plug-in its scale before anything else, as hosts
    // on high-resolution screens do, in a window as much larger.
    explicit EditorHost(double scale = 1.0)
        : scale(scale), window(static_cast<int>(600 * scale), static_cast<int>(400 * scale)),
          effect(VSTPluginMain(callback)) {
        calls().clear();
        if (scale != 1.0)
            dispatch(effVendorSpecific, CCONST('P', 'r', 'e', 'S'), CCONST('A', 'e', 'C', 's'), nullptr,
                     static_cast<float>(scale));
    }
    ~EditorHost() {
        if (effect) dispatch(effClose);
    }
    EditorHost(const EditorHost&) = delete;
    EditorHost& operator=(const EditorHost&) = delete;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    bool open() { return dispatch(effEditOpen, 0, 0, window.handle()) == 1; }
    void close() { dispatch(effEditClose); }
    void idle(int times = 1) {
        for (int i = 0; i < times; ++i) dispatch(effEditIdle);
    }
    void set(VstInt32 index, float value) { effect->setParameter(effect, index, value); }
    float get(VstInt32 index) { return effect->getParameter(effect, index); }
    ZuVstCore& core() { return *static_cast<ZuVstCore*>(effect->object); }
    ZuVstGui& gui() { return *static_cast<ZuVstGui*>(core().getEditor()); }
    std::string valueText(int index) { return gui().getValueLabel(index)->getText(); }

    // The editor's own window inside the host's.
    Window frameWindow() const {
        const std::vector<Window> children = window.children();
        return children.empty() ? 0 : children.front();
    }
    // A pointer event at x, y of the editor, delivered as the X server would, then handled.
    void pointer(int type, unsigned int button, unsigned int state, int x, int y) {
        XEvent event = TestWindow::pointerEvent(type, button, state, x, y);
        window.send(frameWindow(), event);
        gui().getFrame()->idle();
    }

    // Whether the host can size its window (audioMasterCanDo "sizeWindow", audioMasterSizeWindow).
    static bool& canSizeWindow() {
        static bool can = false;
        return can;
    }

    static std::vector<RecordedCall> recorded() {
        std::lock_guard<std::mutex> guard(mutex());
        return calls();
    }

    double scale;
    TestWindow window;
    AEffect* effect;

private:
    static VstIntPtr VSTCALLBACK callback(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                          float opt) {
        if (opcode == audioMasterVersion) return 2400;
        if (opcode == audioMasterCanDo) return canSizeWindow() && ptr && std::string(static_cast<char*>(ptr)) == "sizeWindow";
        const float then = e && opcode == audioMasterAutomate ? e->getParameter(e, index) : 0.f;
        std::lock_guard<std::mutex> guard(mutex());
        // A window size travels as width in index and height in value.
        calls().push_back({opcode, index, opcode == audioMasterSizeWindow ? static_cast<float>(value) : opt, then});
        return opcode == audioMasterSizeWindow && canSizeWindow();
    }
    static std::mutex& mutex() {
        static std::mutex m;
        return m;
    }
    static std::vector<RecordedCall>& calls() {
        static std::vector<RecordedCall> c;
        return c;
    }
};
