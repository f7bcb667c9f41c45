#pragma once
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <memory>

#include "editor/EditorClient.h"
#include "dsp/ParameterTable.h"

class ZuVstGui;

namespace tarn::lv2 {

class Lv2Compressor;

// The LV2 X11 UI: the plug-in's editor embedded in the host's parent window. Knobs write their
// control ports through the host, with touch gestures where the host offers them, and follow
// the host's port events. With instance access the graph shows the plug-in's engine; without
// it the graph stays empty. Threads: the host's user-interface thread only.
class Lv2EditorUi final : public EditorClient {
public:
    // Reads the host's features; throws std::bad_alloc when the editor cannot be allocated.
    Lv2EditorUi(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2_Feature* const* features);
    ~Lv2EditorUi();
    Lv2EditorUi(const Lv2EditorUi&) = delete;
    Lv2EditorUi& operator=(const Lv2EditorUi&) = delete;

    // Opens the editor in the host's parent window; false without a parent or a window.
    bool open();
    // The editor's own X window, the UI's widget.
    LV2UI_Widget widget() const;
    // A control port's new value from the host, in natural units.
    void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
    // One refresh of the editor, as the VST host's editor idle does it.
    void idle();
    // The host's options; the editor takes its scale from ui:scaleFactor. Answers the options
    // interface's status.
    std::uint32_t setOptions(const LV2_Options_Option* options);

    float getParameter(std::int32_t index) override;
    void setParameterAutomated(std::int32_t index, float value) override;
    bool beginEdit(std::int32_t index) override;
    bool endEdit(std::int32_t index) override;
    // Through the host's ui:resize where it passed one (the UI does not ask for it).
    bool resizeEditor(std::int32_t width, std::int32_t height) override;

private:
    bool touch(std::int32_t index, bool grabbed);

    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    void* parent = nullptr;
    Lv2Compressor* instance = nullptr;
    const LV2UI_Touch* touchFeature = nullptr;
    const LV2UI_Resize* resize = nullptr;
    // The address of ui:scaleFactor and of its type, atom:Float, in the host's map; 0 without one.
    LV2_URID scaleFactorKey = 0;
    LV2_URID floatType = 0;
    // Normalised values, and the natural values last written or received for each control.
    float values[kNumControls] = {};
    float naturals[kNumControls] = {};
    std::unique_ptr<ZuVstGui> gui;
};

} // namespace tarn::lv2
