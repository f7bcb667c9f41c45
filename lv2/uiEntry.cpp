// The LV2 UI's entry: the descriptor and its callbacks, the boundary to the host.
// Nothing throws across it.
#include <lv2/ui/ui.h>

#include <cstring>
#include <memory>

#include "lv2/Lv2EditorUi.h"
#include "lv2/Ports.h"

namespace {

using tarn::lv2::Lv2EditorUi;

Lv2EditorUi* uiOf(LV2UI_Handle handle) { return static_cast<Lv2EditorUi*>(handle); }

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, tarn::lv2::kPluginUri) != 0 || !write || !widget) return nullptr;
    try {
        auto ui = std::make_unique<Lv2EditorUi>(write, controller, features);
        if (!ui->open()) return nullptr;
        *widget = ui->widget();
        return ui.release();
    } catch (...) {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) {
    try {
        std::unique_ptr<Lv2EditorUi>{uiOf(handle)};
    } catch (...) {
    }
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    try {
        if (handle) uiOf(handle)->portEvent(port, size, format, buffer);
    } catch (...) {
    }
}

int idle(LV2UI_Handle handle) {
    try {
        if (handle) uiOf(handle)->idle();
    } catch (...) {
    }
    return 0;
}

const LV2UI_Idle_Interface kIdle = {idle};

// The host reads no option of ours.
uint32_t getOptions(LV2_Handle, LV2_Options_Option*) { return LV2_OPTIONS_ERR_UNKNOWN; }

// A new ui:scaleFactor while the UI is open.
uint32_t setOptions(LV2_Handle handle, const LV2_Options_Option* options) {
    try {
        if (!handle) return LV2_OPTIONS_ERR_UNKNOWN;
        return uiOf(handle)->setOptions(options);
    } catch (...) {
        return LV2_OPTIONS_ERR_UNKNOWN;
    }
}

const LV2_Options_Interface kOptions = {getOptions, setOptions};

const void* extensionData(const char* uri) {
    if (!uri) return nullptr;
    if (!std::strcmp(uri, LV2_UI__idleInterface)) return &kIdle;
    if (!std::strcmp(uri, LV2_OPTIONS__interface)) return &kOptions;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {tarn::lv2::kUiUri, instantiate, cleanup, portEvent, extensionData};

} // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
