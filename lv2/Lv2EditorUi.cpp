#include "lv2/Lv2EditorUi.h"

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "editor/ZuVstGui.h"
#include "gui/linux/X11Frame.h"
#include "lv2/Lv2Compressor.h"
#include "lv2/Ports.h"

namespace tarn::lv2 {

Lv2EditorUi::Lv2EditorUi(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2_Feature* const* features)
    : write(write), controller(controller) {
    for (int i = 0; i < kNumControls; ++i) {
        values[i] = defaultValue(i);
        naturals[i] = toNatural(i, values[i]);
    }
    const LV2_Options_Option* options = nullptr;
    for (const LV2_Feature* const* f = features; f && *f; ++f) {
        const char* uri = (*f)->URI;
        void* data = (*f)->data;
        if (!uri) continue;
        if (!std::strcmp(uri, LV2_UI__parent)) parent = data;
        else if (!std::strcmp(uri, LV2_OPTIONS__options)) options = static_cast<const LV2_Options_Option*>(data);
        else if (!std::strcmp(uri, LV2_URID__map)) {
            const auto* map = static_cast<const LV2_URID_Map*>(data);
            if (map && map->map) {
                scaleFactorKey = map->map(map->handle, LV2_UI__scaleFactor);
                floatType = map->map(map->handle, LV2_ATOM__Float);
            }
        }
        else if (!std::strcmp(uri, LV2_INSTANCE_ACCESS_URI)) instance = static_cast<Lv2Compressor*>(data);
        else if (!std::strcmp(uri, LV2_UI__touch)) touchFeature = static_cast<const LV2UI_Touch*>(data);
        else if (!std::strcmp(uri, LV2_UI__resize)) resize = static_cast<const LV2UI_Resize*>(data);
    }
    gui = std::make_unique<ZuVstGui>(*this);
    if (instance) gui->setEngine(&instance->getEngine());
    if (options) setOptions(options);
}

std::uint32_t Lv2EditorUi::setOptions(const LV2_Options_Option* options) {
    std::uint32_t status = LV2_OPTIONS_SUCCESS;
    // The list ends with an option of key 0 and no value.
    for (const LV2_Options_Option* o = options; o && (o->key || o->value); ++o) {
        if (!scaleFactorKey || o->key != scaleFactorKey) {
            status |= LV2_OPTIONS_ERR_BAD_KEY;
        } else if (o->type != floatType || o->size != sizeof(float) || !o->value) {
            status |= LV2_OPTIONS_ERR_BAD_VALUE;
        } else {
            float factor;
            std::memcpy(&factor, o->value, sizeof factor);
            gui->setHostScale(factor);
        }
    }
    return status;
}

Lv2EditorUi::~Lv2EditorUi() {
    gui->setEngine(nullptr);
    gui->close();
}

bool Lv2EditorUi::open() {
    if (!parent) return false;
    gui->open(parent);
    if (!widget()) return false;
    ERect* rect = nullptr;
    if (resize && resize->ui_resize && gui->getRect(&rect))
        resize->ui_resize(resize->handle, rect->right - rect->left, rect->bottom - rect->top);
    return true;
}

LV2UI_Widget Lv2EditorUi::widget() const {
    VSTGUI::CFrame* frame = gui->getFrame();
    auto* platform = frame ? static_cast<VSTGUI::X11Frame*>(frame->getPlatformFrame()) : nullptr;
    return platform ? reinterpret_cast<LV2UI_Widget>(static_cast<std::uintptr_t>(platform->getWindow())) : nullptr;
}

void Lv2EditorUi::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
    if (!isControl(port) || format != 0 || size != sizeof(float) || !buffer) return;
    const int index = static_cast<int>(port - kFirstControl);
    float natural;
    std::memcpy(&natural, buffer, sizeof natural);
    // Our own writes come back: the knob keeps the value it has.
    if (std::isnan(natural) || natural == naturals[index]) return;
    naturals[index] = natural;
    values[index] = toNormalised(index, natural);
    gui->setParameter(index, values[index]);
}

void Lv2EditorUi::idle() { gui->idle(); }

float Lv2EditorUi::getParameter(std::int32_t index) {
    return index >= 0 && index < kNumControls ? values[index] : 0.0f;
}

void Lv2EditorUi::setParameterAutomated(std::int32_t index, float value) {
    if (index < 0 || index >= kNumControls) return;
    values[index] = value;
    naturals[index] = toNatural(index, value);
    write(controller, kFirstControl + index, sizeof(float), 0, &naturals[index]);
    gui->setParameter(index, value);
}

bool Lv2EditorUi::beginEdit(std::int32_t index) { return touch(index, true); }

bool Lv2EditorUi::endEdit(std::int32_t index) { return touch(index, false); }

bool Lv2EditorUi::touch(std::int32_t index, bool grabbed) {
    if (!touchFeature || !touchFeature->touch || index < 0 || index >= kNumControls) return false;
    touchFeature->touch(touchFeature->handle, kFirstControl + index, grabbed);
    return true;
}

bool Lv2EditorUi::resizeEditor(std::int32_t width, std::int32_t height) {
    return resize && resize->ui_resize && resize->ui_resize(resize->handle, width, height) == 0;
}

} // namespace tarn::lv2
