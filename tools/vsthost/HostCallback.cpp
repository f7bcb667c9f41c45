#include "tools/vsthost/HostCallback.h"

#include <atomic>

namespace tarn {

namespace {

std::atomic<long> automateCalls{0};
std::atomic<long> beginEditCalls{0};
std::atomic<long> endEditCalls{0};

} // namespace

VstIntPtr VSTCALLBACK hostCallback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/,
                                   void* /*ptr*/, float /*opt*/) {
    switch (opcode) {
    case audioMasterVersion: return kVstVersion;
    case audioMasterAutomate: automateCalls.fetch_add(1, std::memory_order_relaxed); return 0;
    case audioMasterBeginEdit: beginEditCalls.fetch_add(1, std::memory_order_relaxed); return 0;
    case audioMasterEndEdit: endEditCalls.fetch_add(1, std::memory_order_relaxed); return 0;
    case audioMasterCanDo: return 0;
    default: return 0;
    }
}

HostCallCounts hostCallCounts() {
    HostCallCounts counts;
    counts.automate = automateCalls.load(std::memory_order_relaxed);
    counts.beginEdit = beginEditCalls.load(std::memory_order_relaxed);
    counts.endEdit = endEditCalls.load(std::memory_order_relaxed);
    return counts;
}

} // namespace tarn
