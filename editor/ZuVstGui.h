#pragma once
#include <atomic>
#include <cstdint>

#include "editor/EditorClient.h"
#include "editor/RefreshPacer.h"
#include "gui/vst2/AEffGUIEditor.h"
#include "gui/vstgui.h"

class ZuGLGraph;
class ZuMeter;
namespace tarn {
struct CompressorEngine;
}

// The plug-in's editor: seven knobs with their names and value texts, the level graph, the
// scale beside it and the sample-precision label, in a 550 x 375 panel times the scale.
// A right click on the background offers the scales 100% to 300%; the user's choice is kept in
// the user's settings and wins over the host's and the system's scale.
// Threads: the host's user-interface thread, except setParameter and showLater (any thread,
// see there), the one way in from other threads.
class ZuVstGui : public AEffGUIEditor, public VSTGUI::CControlListener, private VSTGUI::IMouseObserver {
public:
    static constexpr int kNumKnobs = 7;
    static constexpr int kBackgroundImage = 100;
    static constexpr int kKnobImage = 101;
    // The images drawn for twice the size have the numbers of the 1x ones plus this.
    static constexpr int kDoubleImages = 2;
    // The scales the editor can be shown at: device pixels per layout pixel.
    static constexpr double kMinScale = 1.0;
    static constexpr double kMaxScale = 3.0;

    // Edits client. A VST plug-in passes itself as effect too, which then owns the editor.
    // Refreshes are paced on clock.
    explicit ZuVstGui(EditorClient& client, AudioEffectX* effect = nullptr, tarn::Clock& clock = tarn::Clock::system());
    // Closes the window first if the host left it open.
    ~ZuVstGui() override;

    // Builds the window inside parent; answers true, also when an image is missing (that part
    // stays blank). Opening an open editor closes the old window first. When building fails
    // (std::bad_alloc) it throws, and the editor stays closed.
    bool open(void* parent) override;
    void close() override;
    // The rectangle at the scale chosen now (the system's scale is asked afresh while closed).
    bool getRect(ERect** ppRect) override;
    // One refresh: paced to 60.7777 per second, it copies the engine's levels into the graph
    // under the engine lock and shows the precision; then the frame's idle.
    void idle() override;
    // Shows a parameter's value on its knob and in its text. On the user-interface thread it does
    // so at once; from any other thread (the host's audio thread during automation) it neither
    // locks nor allocates: it marks the parameter, and the next idle shows its current value.
    // Indices outside 0 to 6 change nothing.
    void setParameter(VstInt32 index, float value) override;
    // Any thread, also with the engine lock held: marks a parameter, and the next idle shows
    // its current value. Neither locks nor allocates; indices outside 0 to 6 change nothing.
    void showLater(VstInt32 index);
    // A knob moved by the user: automates its parameter.
    void valueChanged(VSTGUI::CControl* control) override;
    // The window moved to a monitor of another DPI.
    void systemScaleFactorChanged(double factor) override;
    // The editor asks its client itself before the frame changes size.
    bool beforeSizeChange(const VSTGUI::CRect&, const VSTGUI::CRect&) override { return true; }
    // A knob's gesture, for the client to pass on to its host.
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;

    // The scales the background's menu offers.
    static constexpr double kScaleChoices[] = {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};

    // The scale the host asks for (0 or less, or not a number: none). The editor's scale is the
    // user's choice where there is one, else the host's, else the system's; it sets the rectangle
    // the host is given and the next opening's window. While the window is open a new scale asks
    // the client for the new size and, granted, rebuilds the window's contents at that size;
    // refused, the window stays as it is until it is opened again.
    void setHostScale(double factor);
    // Device pixels per pixel of the 550 x 375 layout, within kMinScale to kMaxScale.
    double getScale() const { return scale; }

    // The engine whose levels the graph shows; null stops the refresh from touching it or its lock.
    void setEngine(tarn::CompressorEngine* value) { engine = value; }

    // For tests and tools: the views of the open window (null while closed).
    VSTGUI::CAnimKnob* getKnob(int index) const { return knobs[index]; }
    VSTGUI::CTextLabel* getValueLabel(int index) const { return valueLabels[index]; }
    VSTGUI::CTextLabel* getIoLabel() const { return ioLabel; }
    ZuGLGraph* getGraph() const { return graph; }
    // The background's scale menu while it is shown, else null.
    VSTGUI::COptionMenu* getScaleMenu() const { return scaleMenu && scaleMenu->isOpen() ? scaleMenu.get() : nullptr; }
    ZuMeter* getMeter() const { return meter; }
    const RefreshPacer& getPacer() const { return pacer; }

private:
    VSTGUI::SharedPointer<VSTGUI::CFrame> buildFrame(void* parent);
    // Adds the background and every view at the current scale to into.
    void buildViews(VSTGUI::CFrame* into);
    // The open window at the current scale: a new size and new views.
    void rebuildViews();
    // Takes the scale from the user's, the host's or the system's factor, and places the rectangle.
    void chooseScale();
    // Reads the scales that may have changed while the window was closed: the user's and the system's.
    void readScales(void* parent);
    // A right click on the background shows the scale menu.
    VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CFrame* frame, const VSTGUI::CPoint& where,
                                          const VSTGUI::CButtonState& buttons) override;
    void chooseUserScale(double factor);
    VSTGUI::CCoord scaled(VSTGUI::CCoord layout) const;
    VSTGUI::CRect scaled(const VSTGUI::CRect& layout) const;
    // Forgets the pointers to the views of a window that is gone.
    void forgetViews();
    void showParameter(int index, float value);
    void showMarkedParameters();
    void refreshViews();
    EditorClient& plugin() const { return client; }

    EditorClient& client;
    VSTGUI::CAnimKnob* knobs[kNumKnobs] = {};
    VSTGUI::CTextLabel* nameLabels[kNumKnobs] = {};
    VSTGUI::CTextLabel* valueLabels[kNumKnobs] = {};
    VSTGUI::CTextLabel* ioLabel = nullptr;
    tarn::CompressorEngine* engine = nullptr;
    ZuMeter* meter = nullptr;
    ZuGLGraph* graph = nullptr;
    RefreshPacer pacer;
    double scale = 1.0;
    // The user's, the host's and the system's scale; 0 for none.
    double userScale = 0.0;
    double hostScale = 0.0;
    double systemScale = 0.0;
    VSTGUI::SharedPointer<VSTGUI::COptionMenu> scaleMenu;
    std::int32_t refreshCount = 0;
    float meterRange = 8.0f;
    // Parameters set from other threads, waiting for the next idle to be shown.
    std::atomic<bool> marked[kNumKnobs] = {};
    // The thread that opened the window; 0 while none did.
    std::atomic<std::uint64_t> uiThread{0};
};
