#include "editor/ZuVstGui.h"

#include <cmath>
#include <iterator>
#include <string>

#include "dsp/CompressorEngine.h"
#include "editor/ScaleSetting.h"
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
// The film strip holds 100 frames of 56 x 56 layout pixels.
constexpr int kKnobFrames = 100;
constexpr CCoord kKnobSize = 56;
// Label style: none of the optional features (shadow, 3D border, rounded corners).
constexpr int32_t kLabelStyle = 8;
const CColor kTransparent(0, 0, 0, 0);

// The film strip's frames are square: a strip of another width (one made for another scale) is
// resampled to frames of size pixels.
CAnimKnob* makeKnob(CBitmap* strip, CCoord x, CCoord y, CCoord size, int32_t tag, CControlListener* listener) {
    const bool loaded = strip->isLoaded();
    const auto frames = loaded ? static_cast<int32_t>(strip->getHeight() / strip->getWidth()) : kKnobFrames;
    auto* knob = new CAnimKnob(CRect(x, y, x + size, y + size), listener, tag, frames, size, strip, CPoint(0, 0));
    knob->setInsetValue(0);
    return knob;
}

CTextLabel* makeLabel(const CRect& size, const char* text, CFontDesc* font) {
    auto* label = new CTextLabel(size, text, nullptr, kLabelStyle);
    label->setFont(font);
    return label;
}

// The image of number (drawn for 1x) or of number + kDoubleImages (for 2x), whichever suits
// scale, resampled to width by height when its size differs.
SharedPointer<CBitmap> loadImage(int number, double scale, CCoord width, CCoord height) {
    SharedPointer<CBitmap> image;
    if (scale > 1.0) image = owned(new CBitmap(CResourceDescription(number + ZuVstGui::kDoubleImages)));
    if (!image || !image->isLoaded()) image = owned(new CBitmap(CResourceDescription(number)));
    if (!image->isLoaded() || (image->getWidth() == width && image->getHeight() == height)) return image;
    return image->scaledTo(width, height);
}

} // namespace

ZuVstGui::ZuVstGui(EditorClient& client, AudioEffectX* effect, tarn::Clock& clock)
    : AEffGUIEditor(effect), client(client), pacer(clock) {
    chooseScale();
}

void ZuVstGui::chooseScale() {
    double factor = userScale > 0.0   ? userScale
                    : hostScale > 0.0 ? hostScale
                    : systemScale > 0.0 ? systemScale
                                        : 1.0;
    if (!(factor >= kMinScale)) factor = kMinScale;
    if (factor > kMaxScale) factor = kMaxScale;
    if (factor != scale) {
        // Open, the host is asked for the new size first; one that cannot resize keeps the
        // window as it is until the next opening.
        if (frame && !plugin().resizeEditor(static_cast<int32_t>(std::round(kWidth * factor)),
                                            static_cast<int32_t>(std::round(kHeight * factor))))
            return;
        scale = factor;
        if (frame) rebuildViews();
    }
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(scaled(kHeight));
    rect.right = static_cast<VstInt16>(scaled(kWidth));
}

CCoord ZuVstGui::scaled(CCoord layout) const { return std::round(layout * scale); }

CRect ZuVstGui::scaled(const CRect& layout) const {
    return CRect(scaled(layout.left), scaled(layout.top), scaled(layout.right), scaled(layout.bottom));
}

void ZuVstGui::setHostScale(double factor) {
    hostScale = factor > 0.0 ? factor : 0.0;
    chooseScale();
}

ZuVstGui::~ZuVstGui() {
    if (frame) close();
}

void ZuVstGui::readScales(void* parent) {
    userScale = tarn::readChosenScale();
    systemScale = IPlatformFrame::systemScaleFactor(parent);
    chooseScale();
}

bool ZuVstGui::getRect(ERect** ppRect) {
    if (!frame) readScales(nullptr);
    return AEffGUIEditor::getRect(ppRect);
}

CMouseEventResult ZuVstGui::onMouseDown(CFrame* into, const CPoint& where, const CButtonState& buttons) {
    if (!buttons.isRightButton()) return kMouseEventNotHandled;
    scaleMenu = owned(new COptionMenu());
    for (double choice : kScaleChoices) scaleMenu->addEntry((std::to_string(std::lround(choice * 100)) + "%").c_str());
    for (int i = 0; i < static_cast<int>(std::size(kScaleChoices)); ++i)
        if (std::fabs(kScaleChoices[i] - scale) < 1e-6) scaleMenu->setCurrent(i);
    scaleMenu->setFont(owned(new CFontDesc(kSystemFont->getName(), kSystemFont->getSize() * scale)).get());
    scaleMenu->popup(into, where, [this](int32_t index) { chooseUserScale(kScaleChoices[index]); });
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void ZuVstGui::systemScaleFactorChanged(double factor) {
    systemScale = factor;
    chooseScale();
}

void ZuVstGui::chooseUserScale(double factor) {
    userScale = factor;
    // Unsaved, the choice holds for this editor only.
    tarn::writeChosenScale(factor);
    chooseScale();
}

bool ZuVstGui::open(void* parent) {
    if (frame) close();
    uiThread.store(tarn::currentThreadId());
    // Open before the values are read: the plug-in tells an open editor of every change, so a
    // value set from another thread from now on is marked for the next idle, and one set
    // before is read while building.
    AEffGUIEditor::open(parent);
    SharedPointer<CFrame> built;
    try {
        built = buildFrame(parent);
    } catch (...) {
        // The views went with the frame; no pointer to them stays behind.
        forgetViews();
        AEffGUIEditor::close();
        throw;
    }
    frame = built.get();
    frame->remember();
    return true;
}

SharedPointer<CFrame> ZuVstGui::buildFrame(void* parent) {
    readScales(parent);
    auto newFrame = owned(new CFrame(CRect(0, 0, scaled(kWidth), scaled(kHeight)), parent, this));
    newFrame->registerMouseObserver(this);
    buildViews(newFrame.get());
    return newFrame;
}

void ZuVstGui::rebuildViews() {
    frame->removeAll();
    forgetViews();
    frame->setSize(scaled(kWidth), scaled(kHeight));
    try {
        buildViews(frame);
    } catch (...) {
        // Without memory for the views the window goes.
        close();
        throw;
    }
    frame->invalidRect(frame->getViewSize());
}

void ZuVstGui::buildViews(CFrame* into) {
    // Every view belongs to the frame from its creation on, so that the frame's release
    // takes everything built before a failure with it. Everything is placed by the layout at
    // scale 1, times the scale.
    const CCoord width = scaled(kWidth);
    const CCoord height = scaled(kHeight);
    into->setBackground(loadImage(kBackgroundImage, scale, width, height).get());
    const CCoord knobSize = scaled(kKnobSize);
    auto strip = loadImage(kKnobImage, scale, knobSize, knobSize * kKnobFrames);
    auto font = owned(new CFontDesc(kSystemFont->getName(), kSystemFont->getSize() * scale));
    // Frames around the value texts: whole pixels stay crisp.
    const CCoord frameWidth = std::fmax(1.0, std::round(scale));

    CCoord x = 15;
    for (int i = 0; i < kNumKnobs; ++i) {
        knobs[i] = makeKnob(strip.get(), scaled(x), scaled(22), knobSize, i, this);
        into->addView(knobs[i]);
        knobs[i]->setZoomFactor(kZoomFactors[i]);
        knobs[i]->setDefaultValue(tarn::kParameters[i].defaultValue);
        x += kKnobSize + kColumnGap;
    }
    x = 15;
    for (int i = 0; i < kNumKnobs; ++i) {
        nameLabels[i] = makeLabel(scaled(CRect(x, 4, x + 56, 18)), tarn::kParameters[i].label, font.get());
        into->addView(nameLabels[i]);
        nameLabels[i]->setBackColor(kTransparent);
        nameLabels[i]->setFrameColor(kTransparent);
        x += 56 + kColumnGap;
    }
    x = 15;
    for (int i = 0; i < kNumKnobs; ++i) {
        valueLabels[i] = makeLabel(scaled(CRect(x, 78, x + 56, 92)), "", font.get());
        into->addView(valueLabels[i]);
        valueLabels[i]->setBackColor(kTransparent);
        valueLabels[i]->setFrameWidth(frameWidth);
        x += 56 + kColumnGap;
    }
    for (int i = 0; i < kNumKnobs; ++i) showParameter(i, plugin().getParameter(i));

    graph = new ZuGLGraph(scaled(CRect(5, 120, 365, 360)), scale);
    into->addView(graph);
    meter = new ZuMeter(scaled(CRect(370, 120, 540, 360)), this, scale);
    into->addView(meter);
    ioLabel = makeLabel(scaled(CRect(440, 120, 540, 140)), "", font.get());
    into->addView(ioLabel);
    ioLabel->setHoriAlign(kRightText);
    ioLabel->setBackColor(kTransparent);
    ioLabel->setFrameColor(kTransparent);
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
    scaleMenu = SharedPointer<COptionMenu>();
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
