#pragma once
// Test doubles that record what the toolkit tells them; the toolkit itself is real.
#include <string>
#include <vector>

#include "gui/vstgui.h"

using namespace VSTGUI;

// Records the editor calls a frame makes, and answers a chosen knob mode.
class RecordingEditor : public VSTGUIEditorInterface {
public:
    int32_t getKnobMode() const override { return knobMode; }
    void beginEdit(int32_t index) override { log.push_back("begin " + std::to_string(index)); }
    void endEdit(int32_t index) override { log.push_back("end " + std::to_string(index)); }

    int32_t knobMode = kCircularMode;
    std::vector<std::string> log;
};

// Records value changes into the same log as the editor, so the order of both shows.
class RecordingListener : public CControlListener {
public:
    explicit RecordingListener(std::vector<std::string>& log) : log(log) {}
    void valueChanged(CControl* control) override {
        log.push_back("changed " + std::to_string(control->getTag()) + " " + std::to_string(control->getValue()));
    }

    std::vector<std::string>& log;
};

// A view that counts its drawings and logs them by name, and says when it is destroyed.
class CountingView : public CView {
public:
    CountingView(const CRect& size, std::string name, std::vector<std::string>* drawLog = nullptr,
                 bool* destroyed = nullptr)
        : CView(size), name(std::move(name)), drawLog(drawLog), destroyed(destroyed) {}

    void draw(CDrawContext* context) override {
        ++draws;
        if (drawLog) drawLog->push_back(name);
        context->setFillColor(color);
        context->drawRect(size, kDrawFilled);
    }
    CMouseEventResult onMouseDown(CPoint&, const CButtonState& buttons) override {
        lastButtons = buttons;
        ++presses;
        return handlesMouse ? kMouseEventHandled : kMouseEventNotHandled;
    }
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState&) override {
        lastMove = where;
        ++moves;
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseUp(CPoint&, const CButtonState&) override {
        ++releases;
        return kMouseEventHandled;
    }
    bool onWheel(const CPoint&, const float& distance, const CButtonState&) override {
        wheel += distance;
        return true;
    }
    int32_t onKeyDown(VstKeyCode& key) override {
        keys.push_back(key);
        return 1;
    }
    void onIdle() override { ++idles; }

    std::string name;
    std::vector<std::string>* drawLog;
    bool* destroyed;
    CColor color{kWhiteCColor};
    bool handlesMouse = true;
    int draws = 0;
    int presses = 0;
    int moves = 0;
    int releases = 0;
    int idles = 0;
    float wheel = 0;
    CButtonState lastButtons;
    CPoint lastMove;
    std::vector<VstKeyCode> keys;

protected:
    ~CountingView() override {
        if (destroyed) *destroyed = true;
    }
};

// A bitmap that says when it is destroyed.
class TrackedBitmap : public CBitmap {
public:
    TrackedBitmap(CCoord width, CCoord height, bool* destroyed) : CBitmap(width, height), destroyed(destroyed) {}

protected:
    ~TrackedBitmap() override { *destroyed = true; }

private:
    bool* destroyed;
};
