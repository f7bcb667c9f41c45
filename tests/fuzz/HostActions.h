#pragma once
#include <atomic>
#include <cstdint>

#include "gui/vst2/aeffect.h"
#include "tests/fuzz/ByteReader.h"

namespace tarn {
class HostWindow;
}

namespace tarn::fuzz {

using PluginEntry = AEffect*(VSTCALLBACK*)(audioMasterCallback audioMaster);

// A hostile but memory-correct host: decodes bytes into host actions and performs them on
// instances made through the entry point. Every action is one the VST 2.4 interface allows a
// host to make, with any numbers in it; pointers are null or point at valid memory:
// - dispatcher: opcodes -10 to 200 with any index, value and opt. Where an opcode takes a
//   pointer, ptr is null or a fresh heap buffer of any size and content, except that opcodes
//   that write a fixed amount get at least that much (texts their bound plus the terminator,
//   25 to 65 bytes; parameter texts 9; the rectangle, chunk and arrangement opcodes one
//   pointer), text inputs end with a terminator, effEditOpen gets the real parent window or
//   null, and the arrangement opcodes' value is 0 or the address of a pointer-sized buffer;
// - setParameter and getParameter with any index and value;
// - both processing callbacks, and the deprecated accumulating one, with 0 to 8192 frames or
//   a negative count, null arrays or channels, separate, in-place, crossed or shared buffers,
//   and any samples;
// - sample-rate and block-size changes; the editor opened on the parent window, idled and
//   closed, or left open until the instance closes; instances closed and made again, and
//   entry calls from a host that answers version 0.
// Checks after each action: no output sample is louder than its input through the gain stages
// or of the other sign, finite input gives finite output with no denormals, blocks that
// must do nothing write nothing, parameters read back as set, texts are terminated within
// their bound, fixed answers hold. A failed check prints a line and aborts.
class HostActions {
public:
    // `window` is the parent for the editor, or null when there is no window system.
    HostActions(PluginEntry entry, HostWindow* window);
    // Closes the instance still open, its editor with it.
    ~HostActions();
    HostActions(const HostActions&) = delete;
    HostActions& operator=(const HostActions&) = delete;

    // Performs actions until the bytes are used up; answers how many.
    std::uint64_t run(ByteReader& in);

    // Actions performed by every runner of the process so far.
    static std::uint64_t total() { return performed.load(); }

private:
    enum class Layout { Separate, InPlace, Crossed, SharedOutput, NullArray, NullChannel };

    void perform(ByteReader& in);
    void ensureInstance(ByteReader& in);
    void closeInstance();
    void dispatchAny(ByteReader& in);
    void setParameter(ByteReader& in);
    void getParameter(ByteReader& in);
    template <typename Sample> void process(ByteReader& in);
    void editor(ByteReader& in);
    void refusedEntry();
    void remember(VstInt32 index, float value);
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt);
    static VstIntPtr VSTCALLBACK oldHostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                 void* ptr, float opt);

    PluginEntry entry;
    HostWindow* window;
    AEffect* effect = nullptr;
    // What the host answers to the plug-in's calls other than the version query.
    VstIntPtr hostAnswer = 0;
    // The last value each parameter was given, by the host or by the editor's automation.
    float expected[9] = {};
    bool known[9] = {};
    // The input and output gains' normalised values in force.
    float gainValues[2] = {0.5f, 0.5f};
    static std::atomic<std::uint64_t> performed;
};

} // namespace tarn::fuzz
