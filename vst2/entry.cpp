#include <new>

#include "vst2/ZuVstCore.h"

// The exported entry point: one call per instance the host wants.
extern "C" TARN_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster) {
    // A host that answers 0 to the version query is too old for us.
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        auto* instance = new ZuVstCore(audioMaster);
        return instance->getAeffect();
    } catch (...) {
        // Members already built are released by the failed constructor; the host gets no instance.
        return nullptr;
    }
}
