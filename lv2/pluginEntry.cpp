// The LV2 plug-in's entry: the descriptor and its callbacks, the boundary to the host.
// Nothing throws across it.
#include <lv2/core/lv2.h>

#include <memory>

#include "lv2/Lv2Compressor.h"

namespace {

using tarn::lv2::Lv2Compressor;

Lv2Compressor* instanceOf(LV2_Handle handle) { return static_cast<Lv2Compressor*>(handle); }

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*) {
    try {
        return std::make_unique<Lv2Compressor>(rate).release();
    } catch (...) {
        return nullptr;
    }
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    if (handle) instanceOf(handle)->connectPort(port, data);
}

// LV2 asks for a fresh start at every activation: the signal is forgotten, the settings stay.
void activate(LV2_Handle handle) {
    if (handle) instanceOf(handle)->activate();
}

void run(LV2_Handle handle, uint32_t frames) {
    if (handle) instanceOf(handle)->run(frames);
}

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle handle) { std::unique_ptr<Lv2Compressor>{instanceOf(handle)}; }

const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor kDescriptor = {tarn::lv2::kPluginUri, instantiate, connectPort, activate, run, deactivate,
                                    cleanup, extensionData};

} // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
