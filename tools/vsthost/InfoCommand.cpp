#include <cstdio>

#include "tools/vsthost/Commands.h"
#include "tools/vsthost/Plugin.h"

namespace tarn {

namespace {

const char* categoryName(VstIntPtr category) {
    static const char* const names[] = {"unknown",     "effect",     "synth",      "analysis",
                                        "mastering",   "spacializer", "room fx",    "surround fx",
                                        "restoration", "offline process", "shell",  "generator"};
    if (category < 0 || category >= static_cast<VstIntPtr>(sizeof names / sizeof names[0])) return "?";
    return names[category];
}

// The four characters of an ID, printable ones as they are and others as \xNN.
std::string fourChars(VstInt32 id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<unsigned char>(static_cast<std::uint32_t>(id) >> shift);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            text += escaped;
        }
    }
    return text;
}

std::string flagNames(VstInt32 flags) {
    static const struct {
        VstInt32 bit;
        const char* name;
    } known[] = {{effFlagsHasEditor, "hasEditor"},
                 {effFlagsCanReplacing, "canReplacing"},
                 {effFlagsProgramChunks, "programChunks"},
                 {effFlagsIsSynth, "isSynth"},
                 {effFlagsCanDoubleReplacing, "canDoubleReplacing"}};
    std::string names;
    for (const auto& flag : known)
        if (flags & flag.bit) names += (names.empty() ? "" : " ") + std::string(flag.name);
    return names;
}

} // namespace

int runInfo(const std::vector<std::string>& args) {
    Arguments arguments;
    std::string error;
    if (!arguments.parse(args, {}, {}, error)) return usageError(error);
    if (arguments.positional().size() != 1) return usageError("usage: vsthost info <plugin> [index=value ...]");
    std::unique_ptr<Plugin> plugin = Plugin::load(arguments.positional()[0], error);
    if (!plugin) return fail(error);
    if (!plugin->setParameters(arguments.settings(), error)) return fail(error);

    AEffect& e = plugin->effect();
    const VstIntPtr category = plugin->dispatch(effGetPlugCategory);
    std::printf("effect name:    %s\n", plugin->text(effGetEffectName).c_str());
    std::printf("vendor:         %s\n", plugin->text(effGetVendorString).c_str());
    std::printf("product:        %s\n", plugin->text(effGetProductString).c_str());
    std::printf("vendor version: %ld\n", static_cast<long>(plugin->dispatch(effGetVendorVersion)));
    std::printf("VST version:    %ld\n", static_cast<long>(plugin->dispatch(effGetVstVersion)));
    std::printf("category:       %ld (%s)\n", static_cast<long>(category), categoryName(category));
    std::printf("unique ID:      %s (%ld)\n", fourChars(e.uniqueID).c_str(), static_cast<long>(e.uniqueID));
    std::printf("version:        %ld\n", static_cast<long>(e.version));
    std::printf("inputs:         %ld\n", static_cast<long>(e.numInputs));
    std::printf("outputs:        %ld\n", static_cast<long>(e.numOutputs));
    std::printf("programs:       %ld\n", static_cast<long>(e.numPrograms));
    std::printf("parameters:     %ld\n", static_cast<long>(e.numParams));
    std::printf("flags:          0x%lx (%s)\n", static_cast<unsigned long>(static_cast<std::uint32_t>(e.flags)),
                flagNames(e.flags).c_str());
    std::printf("initial delay:  %ld\n", static_cast<long>(e.initialDelay));
    std::printf("program:        %ld \"%s\"\n", static_cast<long>(plugin->dispatch(effGetProgram)),
                plugin->text(effGetProgramName).c_str());
    for (VstInt32 i = 0; i < e.numParams; ++i) {
        std::printf("parameter %ld: %.9g  name \"%s\" label \"%s\" display \"%s\"\n", static_cast<long>(i),
                    static_cast<double>(e.getParameter(&e, i)), plugin->text(effGetParamName, i).c_str(),
                    plugin->text(effGetParamLabel, i).c_str(), plugin->text(effGetParamDisplay, i).c_str());
    }
    return 0;
}

} // namespace tarn
