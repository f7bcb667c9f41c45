#include "gui/vst2/aeffect.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster);

// Older hosts look for the entry point under the name "main". C++ does not allow a function
// of that name with this type, so the second export takes its name from an assembler label.
extern "C" TARN_EXPORT AEffect* vstMainAlias(audioMasterCallback audioMaster) __asm__("main");
extern "C" AEffect* vstMainAlias(audioMasterCallback audioMaster) { return VSTPluginMain(audioMaster); }
