#pragma once
#include "plugin/aeffect.h"

namespace tarn {

// What vsthost answers a plug-in: version 2400, 0 to every capability question and to
// everything else. Safe to call from any thread.
VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt);

// How often plug-ins reported a parameter change or the start or end of an edit gesture.
struct HostCallCounts {
    long automate = 0;
    long beginEdit = 0;
    long endEdit = 0;
};
HostCallCounts hostCallCounts();

} // namespace tarn
