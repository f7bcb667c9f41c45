#pragma once
#include <memory>
#include <string>

#include "gui/vst2/aeffect.h"
#include "platform/SharedLibrary.h"
#include "tools/vsthost/Arguments.h"

namespace tarn {

using PluginEntry = AEffect*(VSTCALLBACK*)(audioMasterCallback audioMaster);

// One VST 2.4 plug-in library loaded by path, with one open instance of it; or a VST 3
// bundle, whose effect is presented as a VST 2.4 one (Vst3Effect.h).
class Plugin {
public:
    // Loads the library, finds its entry point (VSTPluginMain, else main), makes an instance
    // with vsthost's callback and sends effOpen. Null with a one-line reason otherwise.
    static std::unique_ptr<Plugin> load(const std::string& path, std::string& error);
    // Stops processing if needed, sends effClose, then releases the library.
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    AEffect& effect() { return *record; }
    // The library's entry point, for making further instances by hand; null for a VST 3 bundle.
    PluginEntry entry() const { return entryPoint; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    // The text a text opcode writes, read from a generous buffer so that plug-ins writing
    // past the standard's bounds do no harm.
    std::string text(VstInt32 opcode, VstInt32 index = 0);

    // Whether the plug-in has the replacing callback of that precision; a one-line reason if not.
    bool canReplace(bool doublePrecision, std::string& error) const;

    // Sets each parameter through the record; fails on an index the plug-in does not have.
    bool setParameters(const std::vector<ParameterSetting>& settings, std::string& error);

    // The host's sequence before the first block: sample rate, block size, precision,
    // mains on, start of processing.
    void start(float sampleRate, VstInt32 blockSize, bool doublePrecision);
    // Its sequence after the last block: end of processing, mains off.
    void stop();

    // With the plug-in's 32-bit or 64-bit callback.
    void process(float** inputs, float** outputs, VstInt32 frames);
    void process(double** inputs, double** outputs, VstInt32 frames);

private:
    Plugin(std::unique_ptr<SharedLibrary> library, PluginEntry entry, AEffect* record);

    std::unique_ptr<SharedLibrary> library;
    PluginEntry entryPoint;
    AEffect* record;
    bool running = false;
};

} // namespace tarn
