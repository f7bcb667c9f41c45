#pragma once
#include <cstdint>

// The plug-in as its editor sees it, whatever the plug-in format: the VST plug-in object and the
// LV2 UI implement it. Parameters are the normalised values 0 to 1 of the parameter table.
// The names are the VST plug-in object's own, whose operations implement them directly.
class EditorClient {
public:
    // The current value of parameter index. Any thread.
    virtual float getParameter(std::int32_t index) = 0;
    // The user moved a knob: apply value and tell the host. User-interface thread.
    virtual void setParameterAutomated(std::int32_t index, float value) = 0;
    // Begin and end of the user's gesture on a knob, for the host to group its changes; true when
    // the host took note. User-interface thread.
    virtual bool beginEdit(std::int32_t index) = 0;
    virtual bool endEdit(std::int32_t index) = 0;
    // Asks the host to give the editor's window a new size (the editor's scale changed while it
    // is open); false when the host cannot, and the editor keeps its size. User-interface thread.
    virtual bool resizeEditor(std::int32_t width, std::int32_t height) = 0;

protected:
    ~EditorClient() = default;
};
