#include "editor/ZuVstGui.h"

#include <cmath>

#include "dsp/CompressorEngine.h"
#include "editor/ValueText.h"
#include "dsp/ParameterTable.h"
#include "platform/Thread.h"
#include "views/ZuGLGraph.h"
#include "views/ZuMeter.h"

using namespace VSTGUI;

namespace {

// In straight-line dragging, the factor by which Shift lengthens the drag for the full range.
constexpr float kZoomFactors[ZuVstGui::kNumKnobs] = {70.0f, 50.0f, 50.0f, 10.0f, 10.0f, 100.0f, 70.0f};

constexpr CCoord kWidth = 550;
constexpr CCoord kHeight = 375;
constexpr CCoord kColumnGap = 20;
// The film strip holds 100 frames; its size when it could not be loaded.
constexpr int kKnobFrames = 100;
constexpr CCoord kKnobSize = 56;
// Label style: none of the optional features (shadow, 3D border, rounded corners).
constexpr int32_t kLabelStyle = 8;
const CColor kTransparent(0, 0, 0, 0);

CAnimKnob* makeKnob(CBitmap* strip, CCoord x, CCoord y, int32_t tag, CControlListener* listener) {
    const bool loaded = strip->isLoaded();
    const CCoord width = loaded ? strip->getWidth() : kKnobSize;
    const CCoord height = loaded ? strip->getHeight() * 0.01 : kKnobSize;
    const CRect size(x, y, x + width, y + height);
    const auto frames = loaded && height > 0 ? static_cast<int32_t>(strip->getHeight() / height) : kKnobFrames;
    auto* knob = new CAnimKnob(size, listener, tag, frames, height, strip, CPoint(0, 0));
    knob->setInsetValue(0);
    return knob;
}

CTextLabel* makeLabel(CCoord width, CCoord height, CCoord x, CCoord y, const char* text) {
    return new CTextLabel(CRect(x, y, x + width, y + height), text, nullptr, kLabelStyle);
}

} // namespace

ZuVstGui::ZuVstGui(EditorClient& client, AudioEffectX* effect, tarn::Clock& clock)
    : AEffGUIEditor(effect), client(client), pacer(clock) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(kHeight);
    rect.right = static_cast<VstInt16>(kWidth);
}

ZuVstGui::~ZuVstGui() {
    if (frame) close();
}

bool ZuVstGui::open(void* parent) {
    if (frame) close();
    uiThread.store(tarn::currentThreadId());
    // Values set before this opening are read afresh below.
    for (auto& mark : marked) mark.store(false);
    SharedPointer<CFrame> built;
    try {
        built = buildFrame(parent);
    } catch (...) {
        // The views went with the frame; no pointer to them stays behind.
        forgetViews();
        throw;
    }
    AEffGUIEditor::open(parent);
    frame = built.get();
    frame->remember();
    return true;
}

SharedPointer<CFrame> ZuVstGui::buildFrame(void* parent) {
    // Every view belongs to the frame from its creation on, so that the frame's release
    // takes everything built before a failure with it.
    auto newFrame = owned(new CFrame(CRect(0, 0, kWidth, kHeight), parent, this));
    newFrame->setBackground(owned(new CBitmap(CResourceDescription(kBackgroundImage))).get());
    auto strip = owned(new CBitmap(CResourceDescription(kKnobImage)));

    CCoord x = 15;
    for (int i = 0; i < kNumKnobs; ++i) {
        knobs[i] = makeKnob(strip.get(), x, 22, i, this);
        newFrame->addView(knobs[i]);
        knobs[i]->setZoomFactor(kZoomFactors[i]);
        knobs[i]->setDefaultValue(tarn::kParameters[i].defaultValue);
        x += knobs[i]->getWidth() + kColumnGap;
    }
    x = 15;
    for (int i = 0; i < kNumKnobs; ++i) {
        nameLabels[i] = makeLabel(56, 14, x, 4, tarn::kParameters[i].label);
        newFrame->addView(nameLabels[i]);
        nameLabels[i]->setBackColor(kTransparent);
        nameLabels[i]->setFrameColor(kTransparent);
        x += nameLabels[i]->getWidth() + kColumnGap;
    }
    x = 15;
    for (int i = 0; i < kNumKnobs; ++i) {
        valueLabels[i] = makeLabel(56, 14, x, 78, "");
        newFrame->addView(valueLabels[i]);
        valueLabels[i]->setBackColor(kTransparent);
        x += valueLabels[i]->getWidth() + kColumnGap;
    }
    for (int i = 0; i < kNumKnobs; ++i) showParameter(i, plugin().getParameter(i));

    graph = new ZuGLGraph(CRect(5, 120, 365, 360));
    newFrame->addView(graph);
    meter = new ZuMeter(CRect(370, 120, 540, 360), this);
    newFrame->addView(meter);
    ioLabel = makeLabel(100, 20, 440, 120, "");
    newFrame->addView(ioLabel);
    ioLabel->setHoriAlign(kRightText);
    ioLabel->setBackColor(kTransparent);
    ioLabel->setFrameColor(kTransparent);
    return newFrame;
}

void ZuVstGui::forgetViews() {
    for (int i = 0; i < kNumKnobs; ++i) {
        knobs[i] = nullptr;
        nameLabels[i] = nullptr;
        valueLabels[i] = nullptr;
    }
    graph = nullptr;
    meter = nullptr;
    ioLabel = nullptr;
}

void ZuVstGui::close() {
    CFrame* old = frame;
    frame = nullptr;
    forgetViews();
    if (old) old->forget();
    AEffGUIEditor::close();
}

void ZuVstGui::idle() {
    if (engine) {
        pacer.pace();
        // The views exist only while the window is open.
        if (frame) refreshViews();
    }
    AEffGUIEditor::idle();
}

void ZuVstGui::refreshViews() {
    // Without the engine lock: the display fields are the audio thread's hand-off, which it
    // never waits for.
    graph->updateFromEngine(*engine);
    const bool io64Bit = engine->io64Bit.load(std::memory_order_relaxed);
    if (++refreshCount > 5) {
        ioLabel->setText(io64Bit ? "I/O 64bit" : "I/O 32bit");
        refreshCount = 0;
    }
    const float range = graph->getDisplayRange();
    if (std::fabs(meterRange - range) > 0.1f) {
        meter->setDisplayRange(range);
        meterRange = range;
    }
    showMarkedParameters();
}

void ZuVstGui::setParameter(VstInt32 index, float value) {
    if (index < 0 || index >= kNumKnobs) return;
    if (tarn::currentThreadId() == uiThread.load()) {
        if (frame) showParameter(index, value);
        return;
    }
    showLater(index);
}

void ZuVstGui::showLater(VstInt32 index) {
    if (index >= 0 && index < kNumKnobs) marked[index].store(true);
}

void ZuVstGui::showMarkedParameters() {
    for (int i = 0; i < kNumKnobs; ++i)
        if (marked[i].exchange(false)) showParameter(i, plugin().getParameter(i));
}

void ZuVstGui::showParameter(int index, float value) {
    // A frame index computed from a value that is not a number would lie outside the strip.
    if (std::isfinite(value)) knobs[index]->setValue(value);
    valueLabels[index]->setText(parameterText(index, value).text);
}

void ZuVstGui::valueChanged(CControl* control) {
    plugin().setParameterAutomated(control->getTag(), control->getValue());
}

void ZuVstGui::beginEdit(int32_t index) { plugin().beginEdit(index); }

void ZuVstGui::endEdit(int32_t index) { plugin().endEdit(index); }
