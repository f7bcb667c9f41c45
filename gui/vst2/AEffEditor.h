#pragma once
#include <atomic>

#include "gui/vst2/aeffect.h"

class AudioEffect;

// The editor side of the host interface: the host's editor opcodes reach these operations.
// Threads: the host's user-interface thread; isOpen may be asked from any thread.
class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect = nullptr) : effect(effect) {}
    virtual ~AEffEditor() = default;

    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getRect(ERect** rect) {
        *rect = nullptr;
        return false;
    }
    virtual bool open(void* ptr) {
        systemWindow = ptr;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow.load() != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(::VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onKeyUp(::VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onWheel(float /*distance*/) { return false; }
    virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }

protected:
    AudioEffect* effect;
    // The host's window while open. The plug-in asks isOpen from the thread that sets a
    // parameter, which may be the audio thread.
    std::atomic<void*> systemWindow{nullptr};
};
