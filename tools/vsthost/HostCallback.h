#pragma once
#include <functional>

#include "gui/vst2/aeffect.h"

namespace tarn {

// What vsthost answers a plug-in: version 2400; "sizeWindow" and audioMasterSizeWindow while a
// window handler is set; 0 to every other capability question and to everything else. Safe to
// call from any thread, but a window size only from the thread that set the handler.
VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt);

// How often plug-ins reported a parameter change or the start or end of an edit gesture.
struct HostCallCounts {
    long automate = 0;
    long beginEdit = 0;
    long endEdit = 0;
};
HostCallCounts hostCallCounts();

// Handles the plug-in's window size requests (width, height; true when done) until cleared
// with an empty function.
void setSizeWindowHandler(std::function<bool(int, int)> handler);

} // namespace tarn
