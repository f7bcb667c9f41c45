#include "tools/vsthost/Plugin.h"

#include <cstring>
#include <fstream>
#include <vector>

#include "tools/vsthost/HostCallback.h"
#include "tools/vsthost/Vst3Effect.h"

namespace tarn {

namespace {

constexpr VstInt32 kProcessPrecision32 = 0;
constexpr VstInt32 kProcessPrecision64 = 1;
constexpr std::size_t kTextBuffer = 1024;

} // namespace

std::unique_ptr<Plugin> Plugin::load(const std::string& path, std::string& error) {
    if (isVst3Path(path)) {
        AEffect* record = openVst3Effect(path, error);
        if (!record) return nullptr;
        std::unique_ptr<Plugin> plugin(new Plugin(nullptr, nullptr, record));
        plugin->dispatch(effOpen);
        return plugin;
    }
    if (!std::ifstream(path, std::ios::binary)) {
        error = "cannot open plug-in '" + path + "': no such file or not readable";
        return nullptr;
    }
    std::string reason;
    std::unique_ptr<SharedLibrary> library = SharedLibrary::open(path, reason);
    if (!library) {
        error = "cannot load plug-in '" + path + "': " + reason;
        return nullptr;
    }
    void* symbol = library->symbol("VSTPluginMain");
    if (!symbol) symbol = library->symbol("main");
    if (!symbol) {
        error = "'" + path + "' has no VST entry point (neither VSTPluginMain nor main)";
        return nullptr;
    }
    const auto entry = reinterpret_cast<PluginEntry>(symbol);
    AEffect* record = entry(hostCallback);
    if (!record) {
        error = "the entry point of '" + path + "' returned no effect";
        return nullptr;
    }
    if (record->magic != kEffectMagic) {
        error = "'" + path + "' returned a record that is not a VST effect (bad magic)";
        return nullptr;
    }
    std::unique_ptr<Plugin> plugin(new Plugin(std::move(library), entry, record));
    plugin->dispatch(effOpen);
    return plugin;
}

Plugin::Plugin(std::unique_ptr<SharedLibrary> library, PluginEntry entry, AEffect* record)
    : library(std::move(library)), entryPoint(entry), record(record) {}

Plugin::~Plugin() {
    if (running) stop();
    // The plug-in frees the record during effClose.
    dispatch(effClose);
}

VstIntPtr Plugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
}

std::string Plugin::text(VstInt32 opcode, VstInt32 index) {
    std::vector<char> buffer(kTextBuffer, '\0');
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return std::string(buffer.data());
}

bool Plugin::canReplace(bool doublePrecision, std::string& error) const {
    const bool can = doublePrecision ? (record->flags & effFlagsCanDoubleReplacing) && record->processDoubleReplacing
                                     : (record->flags & effFlagsCanReplacing) && record->processReplacing;
    if (!can)
        error = std::string("the plug-in cannot process ") + (doublePrecision ? "64-bit" : "32-bit") +
                " samples in place of its outputs (replacing)";
    return can;
}

bool Plugin::setParameters(const std::vector<ParameterSetting>& settings, std::string& error) {
    for (const ParameterSetting& setting : settings) {
        if (setting.index >= record->numParams) {
            error = "parameter index " + std::to_string(setting.index) + " out of range (the plug-in has " +
                    std::to_string(record->numParams) + ")";
            return false;
        }
        record->setParameter(record, setting.index, setting.value);
    }
    return true;
}

void Plugin::start(float sampleRate, VstInt32 blockSize, bool doublePrecision) {
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effSetProcessPrecision, 0, doublePrecision ? kProcessPrecision64 : kProcessPrecision32);
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    running = true;
}

void Plugin::stop() {
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    running = false;
}

void Plugin::process(float** inputs, float** outputs, VstInt32 frames) {
    record->processReplacing(record, inputs, outputs, frames);
}

void Plugin::process(double** inputs, double** outputs, VstInt32 frames) {
    record->processDoubleReplacing(record, inputs, outputs, frames);
}

} // namespace tarn
